// vortane-cli report and read-log, run as a program on crafted installations.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>

#include "core/month_log.h"
#include "core/time_values.h"
#include "support/test_support.h"

using testing_support::BinaryDir;
using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;
using testing_support::WriteCp1250;

namespace {

using testing_support::CliResult;
CliResult Cli(const std::vector<std::string>& args) { return testing_support::RunCli(args); }

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    const auto tab = line.find('\t', start);
    out.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) return out;
    start = tab + 1;
  }
}

std::set<std::string> Listing(const std::filesystem::path& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
    names.insert(e.path().lexically_relative(dir).string() + ":" +
                 (e.is_regular_file() ? std::to_string(e.file_size()) : "dir"));
  }
  return names;
}

// Two employees in March 2005: Ján works days 1 and 2, Eva day 1.
struct Installation {
  TempDir dir;
  Installation() {
    WriteCp1250(dir / "vortane.ini", "[GLOBAL]\r\nLOGDIR=Log\r\n");
    std::filesystem::create_directory(dir / "Log");
    WriteCp1250(dir / "sviatky.txt", "1.1.1990\r\n28.3.2005\r\n");
    WriteCp1250(dir / "prac.txt",
                ";Zoznam pracovnikov\r\n"
                "Ján Novák\t101\t11\tVýroba\t0\t0\t100\t30\t\r\n"
                "Eva Malá\t102\t12\tSklad\t0\t0\t100\t0\t\r\n");
    std::string log;
    const auto reg = [&](int card, int day, int h, int m, int code) {
      log += core::MonthLog::FormatLine(
                 {core::DateTime::fromParts(2005, 3, day, h, m), static_cast<std::uint16_t>(card), code}) +
             "\r\n";
    };
    reg(11, 1, 7, 0, 0);
    reg(12, 1, 6, 0, 0);
    reg(11, 1, 12, 0, 16);
    reg(11, 1, 13, 0, 16);  // a second departure: a warning comment
    reg(12, 1, 14, 0, 16);
    reg(11, 2, 7, 0, 0);
    reg(11, 2, 15, 30, 16);
    WriteBytes(dir / "Log" / "3_2005.txt", log);
  }
  std::string path() const { return dir.path().string(); }
  std::vector<std::string> args(std::vector<std::string> extra = {}) const {
    std::vector<std::string> a = {"report", "--dir", path(), "--month", "3", "--year", "2005"};
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
  }
};

TEST(ReportCli, PrintsTheComputedGrid) {
  Installation inst;
  const auto before = Listing(inst.dir.path());
  const CliResult r = Cli(inst.args());
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = r.lines();
  ASSERT_EQ(lines.size(), 3u);
  for (const auto& line : lines) EXPECT_EQ(Fields(line).size(), 51u) << line;
  const auto header = Fields(lines[0]);
  EXPECT_EQ(header[0], "Meno");
  EXPECT_EQ(header[18], "PN   ");
  EXPECT_EQ(header[20], "1-Uto");
  EXPECT_EQ(header[47], "Sviatok");
  const auto jan = Fields(lines[1]);
  EXPECT_EQ(jan[0], "Ján Novák");
  EXPECT_EQ(jan[20], "5:00");
  EXPECT_EQ(jan[21], "8:30");
  EXPECT_EQ(jan[3], "13:30");
  EXPECT_EQ(jan[6], "187:00");
  const auto eva = Fields(lines[2]);
  EXPECT_EQ(eva[20], "8:00");
  // Without --save the program directory stays as it was.
  EXPECT_EQ(Listing(inst.dir.path()), before);
}

TEST(ReportCli, CommentsOnePerLine) {
  Installation inst;
  const CliResult r = Cli(inst.args({"--comments"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "1\t20\tPOZOR: Dva odchody za sebou\n");
}

TEST(ReportCli, SaveWritesThePeriodFileAndReopenKeepsHandMadeCells) {
  Installation inst;
  ASSERT_EQ(Cli(inst.args({"--save"})).status, 0);
  const auto periodFile = inst.dir / "32005.zdr";
  ASSERT_TRUE(std::filesystem::exists(periodFile));

  // The clerk protected day 3 of Ján with a hand-made result.
  std::string bytes = ReadBytes(periodFile);
  const auto pos = bytes.find("0,2,");
  ASSERT_NE(pos, std::string::npos);
  bytes.insert(pos, "22,1,=8:30\r\n");
  WriteBytes(periodFile, bytes);

  const CliResult fresh = Cli(inst.args());
  ASSERT_EQ(fresh.status, 0);
  EXPECT_EQ(Fields(fresh.lines()[1])[22], "");

  const CliResult reopened = Cli(inst.args({"--reopen"}));
  ASSERT_EQ(reopened.status, 0) << reopened.err;
  const auto jan = Fields(reopened.lines()[1]);
  EXPECT_EQ(jan[22], "=8:30");
  EXPECT_EQ(jan[21], "8:30");
  EXPECT_EQ(jan[3], "22:00");
  EXPECT_NE(reopened.err.find("Už ste obdobie: 3-2005 spracovávali"), std::string::npos);
  EXPECT_NE(reopened.err.find("POZOR! Želáte si prepísať bunky tabuľky"), std::string::npos);
  // Without --save the reopened period file is left alone.
  EXPECT_NE(ReadBytes(periodFile).find("22,1,=8:30"), std::string::npos);
}

TEST(ReportCli, OutWritesEveryFormatByExtension) {
  Installation inst;
  TempDir out;
  for (const char* name : {"r.zdr", "r.xlsx", "r.csv", "r.html"}) {
    const auto file = out / name;
    const CliResult r = Cli(inst.args({"--out", file.string()}));
    EXPECT_EQ(r.status, 0) << name << r.err;
    EXPECT_TRUE(std::filesystem::exists(file)) << name;
  }
  EXPECT_EQ(ReadBytes(out / "r.zdr").substr(0, 6), "51,3\r\n");
  EXPECT_NE(ReadBytes(out / "r.zdr").find("0,1,J\xE1n Nov\xE1k\r\n"), std::string::npos);  // Windows-1250
  EXPECT_EQ(ReadBytes(out / "r.xlsx").substr(0, 2), "PK");
  EXPECT_NE(ReadBytes(out / "r.csv").find("Ján Novák;101;Výroba;"), std::string::npos);
  EXPECT_NE(ReadBytes(out / "r.html").find("<td>Ján Novák</td>"), std::string::npos);

  const CliResult bad = Cli(inst.args({"--out", (out / "r.xls").string()}));
  EXPECT_EQ(bad.status, 2);
  EXPECT_FALSE(std::filesystem::exists(out / "r.xls"));
  const CliResult unwritable = Cli(inst.args({"--out", (out / "no" / "r.xlsx").string()}));
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.err.find("Excel OLE server not found"), std::string::npos);
}

TEST(ReportCli, RefusesAsThePeriodDialogDoes) {
  Installation inst;
  const CliResult noLog = Cli({"report", "--dir", inst.path(), "--month", "4", "--year", "2022"});
  EXPECT_EQ(noLog.status, 1);
  EXPECT_NE(noLog.err.find("Nemame žiadne záznamy pre zvolený mesiac\\rVyberte iný mesiac"), std::string::npos);
  EXPECT_EQ(noLog.out, "");

  WriteCp1250(inst.dir / "prac.txt", ";Zoznam pracovnikov\r\n");
  const CliResult empty = Cli(inst.args());
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(empty.err.find("Subor pracovnikov je prazdny alebo neexistuje"), std::string::npos);

  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"report", "--dir", inst.path(), "--year", "2005"},
        std::vector<std::string>{"report", "--dir", inst.path(), "--month", "13", "--year", "2005"},
        std::vector<std::string>{"report", "--month", "3", "--year", "2005"}}) {
    EXPECT_EQ(Cli(bad).status, 2);
  }
}

TEST(ReportCli, ReadLogCountsIdentifiersAndRegistrations) {
  Installation inst;
  const CliResult r = Cli({"read-log", "--dir", inst.path(), "--month", "3", "--year", "2005"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "2\t7\n");
  EXPECT_EQ(Cli({"read-log", "--dir", inst.path(), "--month", "4", "--year", "2005"}).status, 1);
}

TEST(SheetCli, OutExportsTheSheetByExtension) {
  Installation inst;
  TempDir out;
  const std::vector<std::string> sheet = {"sheet", "--dir", inst.path(), "--card", "11", "--month", "3", "--year", "2005"};
  for (const char* name : {"s.dok", "s.xlsx", "s.csv", "s.html"}) {
    auto args = sheet;
    args.push_back("--out");
    args.push_back((out / name).string());
    const CliResult r = Cli(args);
    EXPECT_EQ(r.status, 0) << name << r.err;
  }
  EXPECT_EQ(ReadBytes(out / "s.dok").substr(0, 6), "6,32\r\n");
  EXPECT_EQ(ReadBytes(out / "s.xlsx").substr(0, 2), "PK");
  const std::string csv = ReadBytes(out / "s.csv");
  std::size_t lines = 0;
  for (std::size_t p = csv.find("\r\n"); p != std::string::npos; p = csv.find("\r\n", p + 2)) ++lines;
  EXPECT_EQ(lines, 32u);
  EXPECT_NE(csv.find("Meno;Ján Novák;"), std::string::npos);
  EXPECT_NE(ReadBytes(out / "s.html").find("<td>Ján Novák</td>"), std::string::npos);
  auto bad = sheet;
  bad.push_back("--out");
  bad.push_back((out / "s.zdr").string());
  EXPECT_EQ(Cli(bad).status, 2);
}

}  // namespace
