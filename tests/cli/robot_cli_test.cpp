// vortane-cli sheet and log, run as the built program on program directories
// made for each test.
#include <gtest/gtest.h>

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

// Hand-worked days and months under settings other than the defaults, each in
// its own program directory, checked through the printed sheet. March 2021:
// Monday the 1st, 23 working days; April 2021: Thursday the 1st.
struct HandCase {
  std::string name;
  std::string calc;                                       // [CALC] lines of vortane.ini
  std::string employees;                                  // prac.txt lines after the header
  std::vector<std::pair<std::string, std::string>> logs;  // file name, lines
  std::string holidays;
  std::vector<std::string> select;                // --card N or --employee NAME, --month, --year
  std::vector<std::pair<int, std::string>> days;  // row: columns 2 to 5
  std::vector<std::pair<int, std::string>> head;  // row: column 1
};

std::string Lines(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += l + "\r\n";
  return s;
}

std::string DayPart(const std::string& line) {
  const auto cells = Split(line);
  if (cells.size() != 6) return "<" + line + ">";
  return cells[2] + "\t" + cells[3] + "\t" + cells[4] + "\t" + cells[5];
}

TEST(RobotCli, HandWorkedCasesUnderOwnSettings) {
  const std::string std1 = "Std\t1\t1\t\t0\t0\t100\t0\t\r\n";
  const std::string shf2 = "Shf\t2\t2\t\t1\t0\t100\t0\t\r\n";
  const std::vector<std::string> card1 = {"--card", "1", "--month", "3", "--year", "2021"};
  const std::vector<std::string> card2 = {"--card", "2", "--month", "3", "--year", "2021"};
  const std::string roundingLog = Lines(
      {"1.3.2021 7:40:31\t1\t0", "1.3.2021 16:20:29\t1\t16", "1.3.2021 5:50:00\t2\t0", "1.3.2021 14:20:00\t2\t16"});
  const std::string correctionLog =
      Lines({"1.3.2021 7:58:00\t1\t0", "1.3.2021 8:02:00\t1\t8", "1.3.2021 16:00:00\t1\t16", "2.3.2021 8:00:10\t1\t0",
             "2.3.2021 8:00:10\t1\t0", "2.3.2021 16:00:00\t1\t16"});
  const std::string lunchLog = Lines(
      {"1.3.2021 8:00:00\t1\t0", "1.3.2021 11:30:00\t1\t20", "1.3.2021 12:15:00\t1\t4", "1.3.2021 16:30:00\t1\t16"});
  const std::string lunchRegs = "08:00 PR N - 11:30 OD O - 12:15 PR O - 16:30 OD N - ";
  const std::vector<HandCase> cases = {
      // Step 30: arrival 7:40:31 taken at 7:41 loses 19, departure 16:20:29
      // at 16:20 loses 20; 7:41..16:19 is 519 minutes, 480 remain.
      {"Step30Standard",
       "okrpr=1\r\nokrod=1\r\nZAOKRPROD=4\r\n",
       std1 + shf2,
       {{"3_2021.txt", roundingLog}},
       "",
       card1,
       {{1, "1-Pon\t07:40 PR N - 16:20 OD N - \t8:00\t"}},
       {{11, "8:00"}, {13, "8:00"}, {8, "1"}}},
      // okrsm: the standard rules do not round at all.
      {"Step30StandardOnlyShifts",
       "okrpr=1\r\nokrod=1\r\nokrsm=1\r\nZAOKRPROD=4\r\n",
       std1 + shf2,
       {{"3_2021.txt", roundingLog}},
       "",
       card1,
       {{1, "1-Pon\t07:40 PR N - 16:20 OD N - \t8:39\t"}},
       {}},
      // Shift rules round with okrsm too: 5:50 moves to 6:00; 14:00..14:19 are
      // afternoon minutes that the departure at 14:20 takes back (860 mod 30).
      {"Step30ShiftOnlyShifts",
       "okrpr=1\r\nokrod=1\r\nokrsm=1\r\nZAOKRPROD=4\r\n",
       std1 + shf2,
       {{"3_2021.txt", roundingLog}},
       "",
       card2,
       {{1, "1-Pon\t05:50 PR N - 14:20 OD N - \t DS 8:00\t"}},
       {{16, "8:00"}, {17, ""}}},
      // Window 7:00..15:30 and step 15. Day 1: 6:45 is not rounded, counting
      // runs 7:00..15:29 (510), the departure after stopPD is not rounded; the
      // presence after 15:30 is the last warning. Day 2: 7:05 loses 10, 15:20
      // loses 5, 495 - 15.
      {"WorkingTimeWindowStep15",
       "okrpr=1\r\nokrod=1\r\nZAOKRPROD=3\r\nstartPDflag=1\r\nstartPD=7:00:00\r\nstopPDflag=1\r\nstopPD=15:30:00\r\n",
       std1,
       {{"3_2021.txt", Lines({"1.3.2021 6:45:00\t1\t0", "1.3.2021 16:10:00\t1\t16", "2.3.2021 7:05:00\t1\t0",
                              "2.3.2021 15:20:00\t1\t16"})}},
       "",
       card1,
       {{1, "1-Pon\t06:45 PR N - 16:10 OD N - \t8:30\tOdchod po konci prac.doby"},
        {2, "2-Uto\t07:05 PR N - 15:20 OD N - \t8:00\t"}},
       {{11, "16:30"}}},
      // Lunch inside working time, 45 minutes, obedcas 20: 210 + 20 + 255.
      {"LunchLongerThanAllowed",
       "obedyflag=1\r\nobedcas=20\r\nobedodpocet=1\r\n",
       std1,
       {{"3_2021.txt", lunchLog}},
       "",
       card1,
       {{1, "1-Pon\t" + lunchRegs + "\t8:05\t"}},
       {}},
      // Without the deduction all 45 lunch minutes count: 210 + 45 + 255.
      {"LunchNotDeducted",
       "obedyflag=1\r\nobedcas=20\r\nobedodpocet=0\r\n",
       std1,
       {{"3_2021.txt", lunchLog}},
       "",
       card1,
       {{1, "1-Pon\t" + lunchRegs + "\t8:30\t"}},
       {}},
      // 5:57..18:01 is 725 minutes, capped at maxPD 10:00, less the arrival
      // deduction of 3 at step 10.
      {"MaxShiftExceeded",
       "okrpr=1\r\nZAOKRPROD=2\r\nmaxPDflag=1\r\nmaxPD=10:00:00\r\n",
       std1,
       {{"3_2021.txt", Lines({"1.3.2021 5:57:00\t1\t0", "1.3.2021 18:02:00\t1\t16"})}},
       "",
       card1,
       {{1, "1-Pon\t05:57 PR N - 18:02 OD N - \t9:57\tPrekrocený maximálny cas smeny"}},
       {}},
      // corrtime 5: the vacation arrival at 8:02 replaces the 7:58 one; vacation
      // from dovPR 7:00 is 62 + 1, work 8:02..15:59. The two equal arrivals of
      // day 2 become one.
      {"Corrtime5",
       "corrtime=5\r\ndovflag=1\r\ndovprflag=1\r\ndovPR=7:00:00\r\n",
       std1,
       {{"3_2021.txt", correctionLog}},
       "",
       card1,
       {{1, "1-Pon\t08:02 PR D - 16:00 OD N - \t7:58 d 1:03\t"}, {2, "2-Uto\t08:00 PR N - 16:00 OD N - \t8:00\t"}},
       {{11, "15:58"}, {22, "1:03"}}},
      // corrtime 0: everything stays; the vacation arrival comes after 4
      // minutes of work and so counts no vacation; two arrivals in a row.
      {"Corrtime0",
       "corrtime=0\r\ndovflag=1\r\ndovprflag=1\r\ndovPR=7:00:00\r\n",
       std1,
       {{"3_2021.txt", correctionLog}},
       "",
       card1,
       {{1, "1-Pon\t07:58 PR N - 08:02 PR D - 16:00 OD N - \t8:02\tDva prichody za sebou"},
        {2, "2-Uto\t08:00 PR N - 08:00 PR N - 16:00 OD N - \t8:00\tDva prichody za sebou"}},
       {{22, ""}}},
      // Day 1: vacation departure at 11:00, part-day vacation to dovOD 15:00.
      // Day 2: doctor departure at 10:00 as last, doctor to stopLEK 14:30 = 270 + 1.
      // Day 3: arrival from the doctor at 9:15 counts from startLEK 7:30.
      // Day 4: doctor 9:00..10:29 between two stretches of work.
      {"VacationAndDoctorTimes",
       "dovflag=1\r\ndovodflag=1\r\ndovOD=15:00:00\r\nstopLEK=14:30:00\r\nstartLEK=7:30:00\r\n",
       std1,
       {{"3_2021.txt", Lines({"1.3.2021 7:00:00\t1\t0", "1.3.2021 11:00:00\t1\t24", "2.3.2021 7:00:00\t1\t0",
                              "2.3.2021 10:00:00\t1\t21", "3.3.2021 9:15:00\t1\t5", "3.3.2021 16:00:00\t1\t16",
                              "4.3.2021 7:00:00\t1\t0", "4.3.2021 9:00:00\t1\t21", "4.3.2021 10:30:00\t1\t5",
                              "4.3.2021 15:30:00\t1\t16"})}},
       "",
       card1,
       {{1, "1-Pon\t07:00 PR N - 11:00 OD D - \t4:00 d 4:00\t"},
        {2, "2-Uto\t07:00 PR N - 10:00 OD L - \t3:00 LK 4:31\t"},
        {3, "3-Str\t09:15 PR L - 16:00 OD N - \t6:45 LK 1:45\t"},
        {4, "4-Stv\t07:00 PR N - 09:00 OD L - 10:30 PR L - 15:30 OD N - \t7:00 LK 1:30\t"},
        {5, "5-Pia\t\t\t"}},
       {{11, "20:45"}, {22, "4:00"}, {24, "7:46"}, {8, "4"}}},
      // A night worker: 30th 21:45..21:59 afternoon, 22:00..23:59 night; the
      // 31st night to 6:00, 5 day-shift minutes (not shown), and from 21:50
      // 10 afternoon and 120 night minutes up to the month's end. 495 minutes
      // on the 31st exceed maxPD 8:00. Totals: NS 120 + 480 - 30 of breaks.
      {"OvernightShiftsToTheMonthEnd",
       "maxPDflag=1\r\nmaxPD=8:00:00\r\n",
       "Shf\t2\t2\t\t1\t0\t100\t30\t\r\n",
       {{"3_2021.txt", Lines({"30.3.2021 21:45:00\t2\t0", "31.3.2021 6:05:00\t2\t16", "31.3.2021 21:50:00\t2\t0"})},
        {"4_2021.txt", Lines({"1.4.2021 6:00:00\t2\t16"})}},
       "",
       card2,
       {{30, "30-Uto\t21:45 PR N - \t PS 0:15 NS 2:00\t"},
        {31, "31-Str\t06:05 OD N - 21:50 PR N - \t PS 0:10 NS 8:00\tPrekrocená max doba smeny"}},
       {{8, "2"},
        {10, "195:30"},
        {11, "10:25"},
        {12, "0:30"},
        {13, "9:55"},
        {14, "-185:35"},
        {16, ""},
        {17, "0:25"},
        {18, "9:30"}}},
      // Shift rounding at step 15 with corrtime 0: the 23:50 arrival moves to
      // midnight and counts into the 11th (night to 6:00; the 7 day-shift
      // minutes are taken back by the departure at 6:07). On the 12th the
      // arrival 13:58 moves to 14:00 and pushes the 13:59 departure to 14:01,
      // so the 22:10 departure finds nobody present. The 21:55 arrival of the
      // 31st moves to 22:00 and counts night minutes to the month's end.
      {"ShiftRoundingMovesAcrossMidnight",
       "okrpr=1\r\nokrod=1\r\nZAOKRPROD=3\r\ncorrtime=0\r\n",
       shf2,
       {{"3_2021.txt", Lines({"10.3.2021 23:50:00\t2\t0", "11.3.2021 6:07:00\t2\t16", "12.3.2021 13:58:00\t2\t0",
                              "12.3.2021 13:59:00\t2\t16", "12.3.2021 22:10:00\t2\t16", "31.3.2021 21:55:00\t2\t0"})}},
       "",
       card2,
       {{10, "10-Str\t23:50 PR N - \t\t"},
        {11, "11-Stv\t06:07 OD N - \t NS 6:00\t"},
        {12, "12-Pia\t13:58 PR N - 13:59 OD N - 22:10 OD N - \t\t"},
        {31, "31-Str\t21:55 PR N - \t NS 2:00\t"}},
       {{8, "2"}, {11, "8:00"}, {16, ""}, {17, ""}, {18, "8:00"}}},
      // Step 10 with stopPD 17:00 and 30 minutes of breaks; 15 March is a
      // holiday of every year. Saturday 8:03..12:03 less 7 + 4. The holiday's
      // 8:00 counts 7:30 after breaks. Two departures in a row on the 16th.
      // The 17th ends on an arrival after work with later days to come: work
      // 0, and the warning is not written beside an empty result. The 18th is
      // counted to stopPD; the departure after it is not rounded.
      {"WarningsWeekendAndHoliday",
       "okrpr=1\r\nokrod=1\r\nZAOKRPROD=2\r\nstopPDflag=1\r\nstopPD=17:00:00\r\n",
       "Std\t1\t1\t\t0\t0\t100\t30\t\r\n",
       {{"3_2021.txt", Lines({"6.3.2021 8:03:00\t1\t0", "6.3.2021 12:04:00\t1\t16", "15.3.2021 6:00:00\t1\t0",
                              "15.3.2021 14:00:00\t1\t16", "16.3.2021 7:00:00\t1\t0", "16.3.2021 12:00:00\t1\t16",
                              "16.3.2021 12:30:00\t1\t16", "17.3.2021 7:00:00\t1\t0", "17.3.2021 11:00:00\t1\t16",
                              "17.3.2021 12:00:00\t1\t0", "18.3.2021 7:00:00\t1\t0", "18.3.2021 18:00:00\t1\t16"})}},
       "15.3.1990\r\n",
       card1,
       {{6, "6-Sob\t08:03 PR N - 12:04 OD N - \t3:50\t"},
        {15, "15-Pon SV\t06:00 PR N - 14:00 OD N - \t8:00\t"},
        {16, "16-Uto\t07:00 PR N - 12:00 OD N - 12:30 OD N - \t5:00\tDva odchody za sebou"},
        {17, "17-Str\t07:00 PR N - 11:00 OD N - 12:00 PR N - \t\t"},
        {18, "18-Stv\t07:00 PR N - 18:00 OD N - \t10:00\tOdchod po konci prac.doby"}},
       {{7, "22"},
        {8, "4"},
        {9, "1"},
        {10, "187:00"},
        {11, "26:50"},
        {12, "1:00"},
        {13, "25:50"},
        {14, "-161:10"},
        {19, "3:50"},
        {21, "7:30"}}},
      // A whole April with normaPD 8:00, a 7:30 workload, 45 minutes of
      // breaks, business trips allowed and weekend hours not counted; Easter
      // Monday the 5th is a holiday. Empty days are filled from the
      // registrations around them; an obstacle fill wins over sick leave and
      // business; the Saturday's work is left out.
      {"WholeMonthFilled",
       "normaPD=8:00:00\r\nweekendflag=0\r\n",
       "Eva Malá\tE-1\t31\tSklad\t0\t1\t7:30\t45\t\r\n",
       {{"4_2021.txt", Lines({"6.4.2021 9:00:00\t31\t2", "6.4.2021 15:00:00\t31\t18", "9.4.2021 7:00:00\t31\t6",
                              "9.4.2021 11:00:00\t31\t22", "14.4.2021 8:00:00\t31\t7", "14.4.2021 16:00:00\t31\t16",
                              "15.4.2021 7:00:00\t31\t0", "15.4.2021 9:00:00\t31\t21", "20.4.2021 8:00:00\t31\t5",
                              "20.4.2021 16:30:00\t31\t24", "24.4.2021 8:00:00\t31\t0", "24.4.2021 12:00:00\t31\t16",
                              "26.4.2021 8:00:00\t31\t8", "26.4.2021 16:00:00\t31\t16"})}},
       "5.4.2021\r\n",
       {"--employee", "Eva Malá", "--month", "4", "--year", "2021"},
       {{1, "1-Stv\t\tsc 08:45\tAutomatický výpocet Služobnej cesty"},
        {2, "2-Pia\t\tsc 08:45\tAutomatický výpocet Služobnej cesty"},
        {3, "3-Sob\t\t\t"},
        {5, "5-Pon SV\t\t\t"},
        {6, "6-Uto\t09:00 PR S2 - 15:00 OD S2 - \t6:00 sc 2:31\t"},
        {7, "7-Str\t\tO 08:00\tAutomatický výpocet Prekážky"},
        {8, "8-Stv\t\tO 08:00\tAutomatický výpocet Prekážky"},
        {9, "9-Pia\t07:00 PR Pr - 11:00 OD Pr - \t4:00 O 4:01\t"},
        {12, "12-Pon\t\tO 08:00\tAutomatický výpocet Prekážky"},
        {13, "13-Uto\t\tO 08:00\tAutomatický výpocet Prekážky"},
        {14, "14-Str\t08:00 PR PN - 16:00 OD N - \t8:00\t"},
        {15, "15-Stv\t07:00 PR N - 09:00 OD L - \t2:00 LK 6:01\t"},
        {16, "16-Pia\t\tPN 08:00\tAutomatický výpocet PN"},
        {17, "17-Sob\t\t\t"},
        {19, "19-Pon\t\tPN 08:00\tAutomatický výpocet PN"},
        {20, "20-Uto\t08:00 PR L - 16:30 OD D - \t8:30\t"},
        {21, "21-Str\t\tD 08:00\tAutomatický výpocet Dovolenky"},
        {23, "23-Pia\t\tD 08:00\tAutomatický výpocet Dovolenky"},
        {24, "24-Sob\t08:00 PR N - 12:00 OD N - \t\t"},
        {26, "26-Pon\t08:00 PR D - 16:00 OD N - \t8:00\t"},
        {27, "27-Uto\t\t\t"},
        {30, "30-Pia\t\t\t"},
        {31, "\t\t\t"}},
       {{6, "7:30"},
        {7, "21"},
        {8, "8"},
        {9, "1"},
        {10, "157:30"},
        {11, "92:32"},
        {12, "4:30"},
        {13, "88:02"},
        {14, "-23:27"},
        {19, ""},
        {21, ""},
        {22, "24:00"},
        {23, "16:00"},
        {24, "6:01"},
        {25, "20:01"},
        {26, "36:01"}}},
  };
  for (const HandCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    WriteCp1250(dir / "vortane.ini", "[GLOBAL]\r\n[CALC]\r\n" + c.calc);
    WriteCp1250(dir / "prac.txt", ";Zoznam pracovnikov\r\n" + c.employees);
    WriteCp1250(dir / "sviatky.txt", c.holidays);
    std::filesystem::create_directories(dir.path() / "Log");
    for (const auto& [file, text] : c.logs) WriteCp1250(dir.path() / "Log" / file, text);
    std::vector<std::string> args = {"sheet", "--dir", dir.path().string()};
    args.insert(args.end(), c.select.begin(), c.select.end());
    const auto r = testing_support::RunCli(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto lines = r.lines();
    ASSERT_EQ(lines.size(), 32u);
    for (const auto& [row, text] : c.days) EXPECT_EQ(DayPart(lines[static_cast<std::size_t>(row)]), text) << row;
    for (const auto& [row, text] : c.head) EXPECT_EQ(Split(lines[static_cast<std::size_t>(row)])[1], text) << row;
  }
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
