// The inspection commands of vortane-cli, run as a program on crafted
// installations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "core/time_values.h"
#include "support/test_support.h"

using testing_support::BinaryDir;
using testing_support::ReadBytes;
using testing_support::SourceDir;
using testing_support::TempDir;
using testing_support::WriteBytes;
using testing_support::WriteCp1250;

namespace {

// A folder below `base` as the tool prints it: with the system's separator.
std::string FolderBelow(const std::string& base, const std::string& name) {
  const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
  return base + separator + name + separator;
}

using CliRun = testing_support::CliResult;
CliRun cli(const std::vector<std::string>& args) { return testing_support::RunCli(args); }

// A program directory with a vortane.ini, its Log folder and the given files.
struct Installation {
  TempDir dir;
  explicit Installation(const std::string& ini = "") {
    WriteCp1250(dir / "vortane.ini", ini);
    std::filesystem::create_directory(dir / "Log");
  }
  std::string path() const { return dir.path().string(); }
};

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

}  // namespace

TEST(InspectEmployees, PrintsEveryFieldInListOrder) {
  Installation inst("[CALC]\r\nnormaPD=8:00:00\r\n");
  WriteCp1250(inst.dir / "prac.txt",
              ";Zoznam pracovnikov\r\n"
              "Novák Ján\t123\t4711\tVýroba\t1\t0\t100\t30\t\r\n"
              "; komentár\r\n"
              "Šťastná Ľudmila\t\t12\t\t0\t1\t50\t0\t\r\n"
              "Bez prestávok\tX\t13\tSklad\t0\t0\t6:00\r\n"
              "Zlá karta\t\tabc\t\r\n"
              "Neúplný\t1\r\n");
  const CliRun r = cli({"employees", "--dir", inst.path()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.lines(), (std::vector<std::string>{"Novák Ján\t123\t4711\tVýroba\t1\t0\t100\t480\t30",
                                                 "Šťastná Ľudmila\t\t12\t\t0\t1\t50\t240\t0",
                                                 "Bez prestávok\tX\t13\tSklad\t0\t0\t\t480\t0",  // 6:00 had no tab
                                                 "Zlá karta\t\t0\t\t0\t0\t\t480\t0"}));
  EXPECT_EQ(r.err, "");
}

TEST(InspectEmployees, MissingOrEmptyList) {
  Installation inst;
  CliRun r = cli({"employees", "--dir", inst.path()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "POZOR zoznam pracovníkov je prázdny\n"
            "POZOR súbor pracovníkov: <prac.txt> neexistuje\\r\\rPreinštalujte program\n");
  WriteCp1250(inst.dir / "prac.txt", ";Zoznam pracovnikov\r\n");
  r = cli({"employees", "--dir", inst.path()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("POZOR zoznam pracovníkov je prázdny"), std::string::npos);
}

TEST(InspectCommands, BadArgumentsAndMissingIni) {
  TempDir noIni;
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* errPart;
  };
  const Case cases[] = {
      {{"employees"}, 2, "--dir"},
      {{"settings", "--dir", (noIni / "nowhere").string()}, 2, "not a directory"},
      {{"settings", "--dir", noIni.path().string()}, 1, "Neexistuje subor: <vortane.ini>"},
      {{"employees", "--dir", noIni.path().string()}, 1, "Neexistuje subor: <vortane.ini>"},
      {{"holidays", "--dir", noIni.path().string(), "--month", "0", "--year", "2024"}, 2, "--month"},
      {{"holidays", "--dir", noIni.path().string(), "--month", "2"}, 2, "--year"},
      {{"holidays", "--dir", noIni.path().string(), "--month", "2", "--year", "20x4"}, 2, "--year"},
  };
  for (const Case& c : cases) {
    const CliRun r = cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[0] << " " << r.err;
    EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

TEST(InspectSettings, EmptyIniGivesTheDefaults) {
  Installation inst;
  const CliRun r = cli({"settings", "--dir", inst.path()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::string logdir = FolderBelow(inst.path(), "Log");
  const std::string expected =
      "ComPort=2\nRate=19200\ntype=0\nCHGINOUT=0\nTESTBAT=0\nLOGDIR=" + logdir +
      "\nPortName=\nAUTODNL=0\nMINIMALIZE=0\n"
      "okrpr=0\nokrod=0\nokrsm=0\nZAOKRPROD=0\nstartDS=06:00\nstopDS=14:00\nstartPS=14:00\nstopPS=22:00\n"
      "startNS=22:00\nstopNS=06:00\nUSEDS=1\nUSEPS=1\nUSENS=1\nnormaPD=08:30\nautoSL=1\nautodov=1\nautoPN=1\n"
      "autoprek=1\ndovflag=0\ndovprflag=0\ndovodflag=0\ndovPR=08:00\ndovOD=16:30\nmaxPDflag=1\nmaxPD=16:00\n"
      "startPDflag=0\nstartPD=06:00\nstopPDflag=0\nstopPD=18:00\nobedyflag=0\nobedcas=30\nobedodpocet=1\n"
      "weekendflag=1\nnightflag=0\nstartSLflag=1\nstopSLflag=1\nstartSL=08:00\nstopSL=16:30\nSetPrestCond=360\n"
      "startLEKflag=1\nstopLEKflag=1\nstartLEK=08:00\nstopLEK=15:00\ncorrtime=5\n"
      "NAME=NONAME\nLOCATION=-----\nTEL=-----\nFAX=-----\nEMAIL=-----\nWWW=-----\nnormaPD.minutes=510\n";
  EXPECT_EQ(r.out, expected);
}

TEST(InspectSettings, DerivedValuesAndMissingLogDir) {
  Installation inst(
      "[GLOBAL]\r\ntype=1\r\nRate=19200\r\nLOGDIR=Zaznamy\\\r\n"
      "[CALC]\r\nZAOKRPROD=4\r\nnormaPD=7:30:00\r\nDOVPRFLAG=1\r\n"
      "[PARTNER]\r\nNAME=" +
      repeat("Ž", 40) + "\r\n");
  const CliRun r = cli({"settings", "--dir", inst.path()});
  ASSERT_EQ(r.status, 0);
  const auto lines = r.lines();
  auto has = [&lines](const std::string& l) { return std::find(lines.begin(), lines.end(), l) != lines.end(); };
  EXPECT_TRUE(has("Rate=9600"));
  EXPECT_TRUE(has("ZAOKRPROD=30"));
  EXPECT_TRUE(has("normaPD=07:30"));
  EXPECT_TRUE(has("normaPD.minutes=450"));
  EXPECT_TRUE(has("dovprflag=1"));
  EXPECT_TRUE(has("NAME=" + repeat("Ž", 32)));
  const std::string logdir = FolderBelow(inst.path(), "Zaznamy");
  EXPECT_TRUE(has("LOGDIR=" + logdir));
  EXPECT_EQ(r.err, "Adresár  " + logdir + "\\r pre zaznamy neexistuje\n");
}

TEST(InspectHolidays, MonthWithRecurringSingleAndYearlessDates) {
  const int thisYear = core::Now().date().year;
  Installation inst;
  WriteCp1250(inst.dir / "sviatky.txt",
              "; sviatky\r\n1.1.1900\r\n6.1.1900\r\n5.4.2021\r\n24.12\r\n1.5.1900 ; komentár\r\n");
  CliRun r = cli({"holidays", "--dir", inst.path(), "--month", "1", "--year", "2024"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto lines = r.lines();
  ASSERT_EQ(lines.size(), 31u);
  EXPECT_EQ(lines[0], "1\tHoliday");
  EXPECT_EQ(lines[1], "2\tWorkingDay");
  EXPECT_EQ(lines[5], "6\tHoliday");  // a Saturday holiday
  EXPECT_EQ(lines[6], "7\tSunday");
  EXPECT_EQ(lines[12], "13\tSaturday");
  EXPECT_EQ(r.err, "");

  r = cli({"holidays", "--dir", inst.path(), "--month", "4", "--year", "2022"});
  EXPECT_EQ(r.lines().at(4), "5\tWorkingDay");
  r = cli({"holidays", "--dir", inst.path(), "--month", "4", "--year", "2021"});
  EXPECT_EQ(r.lines().at(4), "5\tHoliday");
  r = cli({"holidays", "--dir", inst.path(), "--month", "5", "--year", "2024"});
  EXPECT_EQ(r.lines().at(0), "1\tWorkingDay");  // its line holds ";"
  r = cli({"holidays", "--dir", inst.path(), "--month", "12", "--year", std::to_string(thisYear)});
  EXPECT_EQ(r.lines().at(23), "24\tHoliday");
  r = cli({"holidays", "--dir", inst.path(), "--month", "12", "--year", std::to_string(thisYear + 1)});
  EXPECT_NE(r.lines().at(23), "24\tHoliday");
  r = cli({"holidays", "--dir", inst.path(), "--month", "2", "--year", "2024"});
  EXPECT_EQ(r.lines().size(), 29u);
}

TEST(InspectHolidays, MissingAndBadCalendarStillListTheWeekends) {
  Installation inst;
  CliRun r = cli({"holidays", "--dir", inst.path(), "--month", "1", "--year", "2024"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "Nesprávny dátum v súbore <sviatky.txt>\\rPreinštalujte program\n");
  EXPECT_EQ(r.lines().at(0), "1\tWorkingDay");
  EXPECT_EQ(r.lines().at(5), "6\tSaturday");

  WriteCp1250(inst.dir / "sviatky.txt", "1.1.1900\r\n31.2.2024\r\n6.1.1900\r\n");
  r = cli({"holidays", "--dir", inst.path(), "--month", "1", "--year", "2024"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "Nesprávny dátum v súbore <sviatky.txt>\n");
  EXPECT_EQ(r.lines().at(0), "1\tHoliday");
  EXPECT_EQ(r.lines().at(5), "6\tSaturday");  // after the bad line: not read
}

TEST(InspectSample, SampleInstallationLoadsWithoutMessages) {
  const auto sample = SourceDir() / "sample";
  if (!std::filesystem::exists(sample / "vortane.ini")) GTEST_SKIP() << "no sample directory";
  CliRun r = cli({"employees", "--dir", sample.string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_GE(r.lines().size(), 12u);
  r = cli({"settings", "--dir", sample.string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  r = cli({"holidays", "--dir", sample.string(), "--month", "4", "--year", "2025"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.lines().at(17), "18\tHoliday");  // Good Friday 2025
  EXPECT_EQ(r.lines().at(20), "21\tHoliday");  // Easter Monday 2025
}
