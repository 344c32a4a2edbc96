// vortane-cli sheet and log, run as the built program on program directories
// made for each test.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/grid.h"
#include "core/grid_text_file.h"
#include "support/test_support.h"

namespace {

using testing_support::TempDir;
using testing_support::WriteCp1250;

using CliRun = testing_support::CliResult;
CliRun RunCli(const TempDir& /*scratch*/, const std::vector<std::string>& args) {
  return testing_support::RunCli(args);
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> v;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = line.find('\t', start);
    v.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return v;
    start = end + 1;
  }
}

// A program directory with two employees named "Jan" (cards 7 and 8) and a
// March 2021 log.
struct Installation {
  TempDir dir;
  TempDir scratch;
  std::string d() const { return dir.path().string(); }
  Installation() {
    WriteCp1250(dir / "vortane.ini", "[GLOBAL]\r\n[CALC]\r\nokrpr=1\r\nokrod=1\r\nZAOKRPROD=3\r\n");
    WriteCp1250(dir / "prac.txt",
                ";Zoznam pracovnikov\r\nJan\t01\t7\tDielna\t0\t0\t100\t30\t\r\nJan\t02\t8\tSklad\t0\t0\t50\t0\t\r\n"
                "Mária Šťastná\t03\t9\tÚčtáreň\t0\t1\t7:30\t30\t\r\n");
    WriteCp1250(dir / "sviatky.txt", "15.3.2021\r\n");
    std::filesystem::create_directories(dir.path() / "Log");
    WriteCp1250(dir.path() / "Log" / "3_2021.txt",
                "1.3.2021 7:03:00\t7\t0\r\n"
                "1.3.2021 15:34:00\t7\t16\r\n"
                "2.3.2021 8:00:00\t8\t0\r\n"
                "2.3.2021 12:00:00\t8\t16\r\n"
                "3.3.2021 16:00:00\t7\t16\r\n"
                "3.3.2021 8:00:00\t7\t0\r\n"
                "3.3.2021 8:02:00\t7\t0\r\n"
                "4.3.2021\t7\t24\r\n"
                "1.3.2021 9:00:00\t9\t2\r\n"
                "1.3.2021 15:00:00\t9\t18\r\n");
  }
};

TEST(RobotCli, SheetPrintsTheComputedGrid) {
  Installation inst;
  const auto r = RunCli(inst.scratch, {"sheet", "--dir", inst.d(), "--card", "7", "--month", "3", "--year", "2021"});
  EXPECT_EQ(r.status, 0) << r.err;
  const auto lines = r.lines();
  ASSERT_EQ(lines.size(), 32u);
  for (const auto& l : lines) EXPECT_EQ(Split(l).size(), 6u) << l;
  EXPECT_EQ(lines[0], "Názov\tÚdaj\tDen\tDochádzka\tVýsledok\tKomentár");
  // 7:03..15:33 = 511 minutes, rounding 12 + 4.
  EXPECT_EQ(lines[1], "Meno\tJan\t1-Pon\t07:03 PR N - 15:34 OD N - \t8:15\t");
  EXPECT_EQ(lines[2], "Mesiac\t3\t2-Uto\t\t\t");
  // The 8:02 arrival corrects the 8:00 one; 8:02..15:59 less 13 of rounding.
  EXPECT_EQ(lines[3], "Rok\t2021\t3-Str\t08:02 PR N - 16:00 OD N - \t7:45\t");
  EXPECT_EQ(lines[4], "Os.číslo\t01\t4-Stv\t00:00 OD D - \t\t");
  EXPECT_EQ(lines[5], "Oddelenie\tDielna\t5-Pia\t\tD 08:30\tAutomatický výpocet Dovolenky");
  EXPECT_EQ(lines[7], "Prac.dni\t22\t7-Ned\t\t\t");
  EXPECT_EQ(lines[10], "Norma\t187:00\t10-Str\t\tD 08:30\tAutomatický výpocet Dovolenky");
  EXPECT_EQ(lines[11], "V práci\t16:00\t11-Stv\t\tD 08:30\tAutomatický výpocet Dovolenky");
  EXPECT_EQ(lines[15], "\t\t15-Pon SV\t\t\t");
  EXPECT_EQ(lines[31], "\t\t31-Str\t\tD 08:30\tAutomatický výpocet Dovolenky");
  EXPECT_EQ(r.err, "");
}

TEST(RobotCli, EmployeeByNameTakesTheFirst) {
  Installation inst;
  const auto r =
      RunCli(inst.scratch, {"sheet", "--dir", inst.d(), "--employee", "Jan", "--month", "3", "--year", "2021"});
  EXPECT_EQ(r.status, 0);
  const auto lines = r.lines();
  ASSERT_EQ(lines.size(), 32u);
  EXPECT_EQ(Split(lines[4])[1], "01");
  EXPECT_EQ(Split(lines[1])[4], "8:15");

  const auto second =
      RunCli(inst.scratch, {"sheet", "--dir", inst.d(), "--card", "8", "--month", "3", "--year", "2021"});
  const auto l2 = second.lines();
  ASSERT_EQ(l2.size(), 32u);
  EXPECT_EQ(Split(l2[2])[4], "4:00");
  // 50 % of 510 = 255 a day, 22 working days.
  EXPECT_EQ(Split(l2[10])[1], "93:30");

  const auto maria = RunCli(
      inst.scratch, {"sheet", "--dir", inst.d(), "--employee", "Mária Šťastná", "--month", "3", "--year", "2021"});
  const auto l3 = maria.lines();
  ASSERT_EQ(l3.size(), 32u);
  EXPECT_EQ(Split(l3[5])[1], "Účtáreň");
  // Business arrival at 9:00: 60 business minutes from startSL 8:00, work
  // 9:00..14:59; business departure at 15:00 adds 90 + 1 up to stopSL 16:30.
  EXPECT_EQ(Split(l3[1])[4], "6:00 sc 2:31");
}

TEST(RobotCli, FromStoredSheetKeepsProtectedCells) {
  Installation inst;
  core::Grid stored(6, 32);
  stored.setCell(4, 1, "=9:00");
  stored.setCell(5, 2, std::string("a\tb"));
  stored.setCell(4, 2, "8:00");
  ASSERT_TRUE(core::GridTextFile::Write(inst.scratch / "in.dok", stored));
  const auto r = RunCli(inst.scratch, {"sheet", "--dir", inst.d(), "--card", "7", "--month", "3", "--year", "2021",
                                       "--from", (inst.scratch / "in.dok").string()});
  EXPECT_EQ(r.status, 0) << r.err;
  const auto lines = r.lines();
  ASSERT_EQ(lines.size(), 32u);
  EXPECT_EQ(lines[1], "Meno\tJan\t1-Pon\t07:03 PR N - 15:34 OD N - \t=9:00\tRucne pocitane");
  // An unprotected result is rewritten; a comment survives, its tab escaped.
  EXPECT_EQ(lines[2], "Mesiac\t3\t2-Uto\t\t\ta\\tb");
  // Headers of a stored sheet are not rewritten (the stored one had none).
  EXPECT_EQ(lines[0], "\t\t\t\t\t");
}

TEST(RobotCli, OutWritesTheSheetFile) {
  Installation inst;
  const auto out = inst.scratch / "out.dok";
  const auto r = RunCli(inst.scratch, {"sheet", "--dir", inst.d(), "--card", "7", "--month", "3", "--year", "2021",
                                       "--out", out.string()});
  EXPECT_EQ(r.status, 0) << r.err;
  core::Grid back;
  std::string error;
  ASSERT_TRUE(core::GridTextFile::Read(out, back, core::GridTextFile::Cells::SingleLine, &error)) << error;
  EXPECT_EQ(back.columnCount(), 6);
  EXPECT_EQ(back.rowCount(), 32);
  EXPECT_EQ(back.columnWidth(3), 200);
  const auto lines = r.lines();
  ASSERT_EQ(lines.size(), 32u);
  for (int row = 0; row < 32; ++row) {
    const auto cells = Split(lines[static_cast<std::size_t>(row)]);
    for (int c = 0; c < 6; ++c) EXPECT_EQ(back.cell(c, row), cells[static_cast<std::size_t>(c)]) << c << "," << row;
  }
  const std::string bytes = testing_support::ReadBytes(out);
  EXPECT_EQ(bytes.rfind("6,32\r\ncw 0,120\r\n", 0), 0u);
}

TEST(RobotCli, Failures) {
  Installation inst;
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string errPart;
    std::size_t lines;
  };
  const std::string missingLog = (inst.dir.path() / "Log" / "4_2021.txt").string();
  const std::vector<Case> cases = {
      {{"sheet", "--dir", inst.d(), "--card", "7", "--month", "4", "--year", "2021"},
       1,
       "Nie je možné otvorit súbor: ",
       32},
      {{"sheet", "--dir", inst.d(), "--card", "99", "--month", "3", "--year", "2021"}, 1, "Vyberte pracovníka", 0},
      {{"sheet", "--dir", inst.d(), "--employee", "Nikto", "--month", "3", "--year", "2021"},
       1,
       "Vyberte pracovníka",
       0},
      {{"sheet", "--dir", inst.d(), "--card", "7", "--employee", "Jan", "--month", "3", "--year", "2021"}, 2, "", 0},
      {{"sheet", "--dir", inst.d(), "--month", "3", "--year", "2021"}, 2, "", 0},
      {{"sheet", "--dir", inst.d(), "--card", "7", "--month", "13", "--year", "2021"}, 2, "", 0},
      {{"sheet", "--card", "7", "--month", "3", "--year", "2021"}, 2, "", 0},
      {{"sheet", "--dir", (inst.dir.path() / "nowhere").string(), "--card", "7", "--month", "3", "--year", "2021"},
       2,
       "",
       0},
      {{"sheet", "--dir", inst.d(), "--card", "7", "--month", "3", "--year", "2021", "--from",
        (inst.scratch / "none.dok").string()},
       1,
       "not found",
       0},
      {{"sheet", "--dir", inst.d(), "--card", "7", "--month", "3", "--year", "2021", "--out",
        (inst.scratch / "x.txt").string()},
       2,
       "",
       0},
      {{"log", "--dir", inst.d(), "--month", "3", "--year", "2021"}, 2, "", 0},
      {{"log", "--dir", inst.d(), "--card", "7", "--month", "5", "--year", "2021"}, 1, "5_2021.txt", 0},
  };
  for (const Case& c : cases) {
    const auto r = RunCli(inst.scratch, c.args);
    std::string joined;
    for (const auto& a : c.args) joined += a + " ";
    EXPECT_EQ(r.status, c.status) << joined << "\n" << r.err;
    EXPECT_NE(r.err.find(c.errPart), std::string::npos) << joined << "\n" << r.err;
    EXPECT_EQ(r.lines().size(), c.lines) << joined;
  }
  const auto missing = RunCli(inst.scratch, cases[0].args);
  EXPECT_NE(missing.err.find(missingLog), std::string::npos) << missing.err;
  // The head is still there.
  EXPECT_EQ(missing.lines()[1], "Meno\tJan\t\t\t\t");
}

TEST(RobotCli, LogPrintsOrderedAndCorrectedRecords) {
  Installation inst;
  const auto r = RunCli(inst.scratch, {"log", "--dir", inst.d(), "--card", "7", "--month", "3", "--year", "2021"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "1.3.2021 7:03:00\t0\n"
            "1.3.2021 15:34:00\t16\n"
            "3.3.2021 8:02:00\t0\n"
            "3.3.2021 16:00:00\t16\n"
            "4.3.2021 0:00:00\t24\n");
  const auto other = RunCli(inst.scratch, {"log", "--dir", inst.d(), "--card", "1", "--month", "3", "--year", "2021"});
  EXPECT_EQ(other.status, 0);
  EXPECT_EQ(other.out, "");
}

TEST(RobotCli, LogReportsRecordsOfAnotherMonth) {
  Installation inst;
  WriteCp1250(inst.dir.path() / "Log" / "3_2021.txt", "31.3.2021 23:59:00\t7\t0\r\n2.4.2021 8:00:00\t7\t16\r\n");
  const auto r = RunCli(inst.scratch, {"log", "--dir", inst.d(), "--card", "7", "--month", "3", "--year", "2021"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "31.3.2021 23:59:00\t0\n2.4.2021 8:00:00\t16\n");
  EXPECT_NE(r.err.find("Zapisany nespravny mesiac"), std::string::npos) << r.err;
}

}  // namespace
