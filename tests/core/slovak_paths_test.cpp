// An installation whose folders carry Slovak letters: the program folder
// "Dochádzka", the log folder "Záznamy", a user "Ján" (the temporary folder and
// the home folder lie below it) and files named "výkaz". Every file of the
// installation is written and read back through those names, on every
// platform: on Windows a name converted through the ANSI code page instead of
// UTF-8 is not found again.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/atomic_file.h"
#include "core/employee_list.h"
#include "core/grid.h"
#include "core/grid_text_file.h"
#include "core/holiday_calendar.h"
#include "core/ini_file.h"
#include "core/messages.h"
#include "core/month_log.h"
#include "core/path_text.h"
#include "core/program_settings.h"
#include "core/tips.h"
#include "support/test_support.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// The header maps the name of the system's own profile function onto the
// ANSI one; the program's reader of the same name is meant here.
#undef WriteProfileString
#endif

namespace {

namespace fs = std::filesystem;
using core::PathFromUtf8;
using core::Utf8FromPath;
using testing_support::ReadBytes;
using testing_support::WriteCp1250;

class SlovakInstallation : public ::testing::Test {
 protected:
  SlovakInstallation()
      : program(temp.path() / PathFromUtf8("Dochádzka")),
        user(temp.path() / PathFromUtf8("Ján")),
        userFolder(user / PathFromUtf8("Temp")) {
    fs::create_directories(program / PathFromUtf8("Záznamy"));
    WriteCp1250(program / "vortane.ini", "[GLOBAL]\r\nComPort=2\r\nLOGDIR=Záznamy\r\n");
  }

  core::ProgramDirectory open() {
    const auto choice = core::ChooseProgramDirectory({Utf8FromPath(program)}, temp.path(), messages);
    EXPECT_FALSE(choice.fatalMessage.has_value()) << choice.fatalMessage.value_or("");
    return choice.directory;
  }

  testing_support::TempDir temp;
  fs::path program;
  fs::path user;
  testing_support::ScopedUserFolder userFolder;
  core::MessageCatalogue messages;
  testing_support::ScriptedOperator op;
};

TEST_F(SlovakInstallation, SettingsFindTheProgramAndLogFolders) {
  const core::ProgramDirectory dir = open();
  EXPECT_TRUE(fs::is_regular_file(dir.iniFile()));
  const core::ProgramSettings settings = core::LoadSettings(dir, messages, op);
  EXPECT_TRUE(op.messages.empty()) << op.messages.front();
  EXPECT_EQ(settings.ComPort, 2);
  EXPECT_EQ(settings.LOGDIR, testing_support::FolderText(program / PathFromUtf8("Záznamy")));
  EXPECT_TRUE(fs::is_directory(settings.logDir()));
  // The user's temporary folder is below "Ján" for the rest of these tests.
  EXPECT_NE(Utf8FromPath(fs::temp_directory_path()).find("Ján"), std::string::npos);

  // One value changed in place keeps the others; the rewrite goes through a
  // temporary file beside it and leaves none behind.
  ASSERT_TRUE(core::WriteProfileString(dir.iniFile(), "GLOBAL", "PortName", "Ľavý port"));
  EXPECT_EQ(core::ReadProfileString(dir.iniFile(), "GLOBAL", "PortName", ""), "Ľavý port");
  EXPECT_EQ(core::ReadProfileString(dir.iniFile(), "GLOBAL", "LOGDIR", ""), "Záznamy");
  int files = 0;
  // (vortane.lck stays: the lock of the folder's writers.)
  for (const auto& entry : fs::directory_iterator(program))
    files += entry.is_regular_file() && entry.path().filename() != "vortane.lck" ? 1 : 0;
  EXPECT_EQ(files, 1);
}

TEST_F(SlovakInstallation, MonthLogAppendedAndReadBack) {
  const core::ProgramSettings settings = core::LoadSettings(open(), messages, op);
  const core::AttendanceRecord arrival{core::DateTime::fromParts(2021, 4, 7, 7, 58, 0), 321, 0};
  const core::AttendanceRecord departure{core::DateTime::fromParts(2021, 4, 7, 16, 2, 30), 321, 16};
  ASSERT_TRUE(core::MonthLog::Append(settings.logDir(), arrival, messages, op));
  ASSERT_TRUE(core::MonthLog::Append(settings.logDir(), departure, messages, op));
  const fs::path log = program / PathFromUtf8("Záznamy") / "4_2021.txt";
  EXPECT_EQ(ReadBytes(log), "7.4.2021 7:58:00\t321\t0\r\n7.4.2021 16:02:30\t321\t16\r\n");
  core::LogEntries entries;
  ASSERT_TRUE(core::MonthLog::ReadEmployee(core::MonthLog::FileName(settings.logDir(), 4, 2021), 321, entries, op));
  EXPECT_EQ(entries.codes, (std::vector<int>{0, 16}));
  EXPECT_TRUE(op.messages.empty());
}

TEST_F(SlovakInstallation, EmployeeListHolidaysTipsAndLanguageFile) {
  const core::ProgramDirectory dir = open();
  core::EmployeeList list = testing_support::MakeEmployees({{"Ján Kováč", 321, "Účtáreň"}});
  std::string error;
  ASSERT_TRUE(list.write(dir.employeeFile(), &error)) << error;
  core::EmployeeList back;
  ASSERT_EQ(back.read(dir.employeeFile(), 480), 1);
  ASSERT_EQ(back.employees().size(), 1u);
  EXPECT_EQ(back.employees()[0].name, "Ján Kováč");
  EXPECT_EQ(back.employees()[0].department, "Účtáreň");

  // The employee table as the list window exports and imports it.
  const fs::path csv = program / PathFromUtf8("zamestnanci výkaz.csv");
  ASSERT_TRUE(core::WriteFileAtomically(csv, core::EmployeesToCsv(list.employees()), &error)) << error;
  std::string bytes;
  ASSERT_TRUE(core::ReadWholeFile(csv, bytes));
  const auto imported = core::EmployeesFromCsv(bytes, 480);
  ASSERT_EQ(imported.size(), 1u);
  EXPECT_EQ(imported[0].name, "Ján Kováč");

  WriteCp1250(dir.holidayFile(), "; sviatky\r\n1.5.2021\r\n");
  core::HolidayCalendar calendar;
  EXPECT_TRUE(calendar.load(dir.holidayFile(), 2021, messages, op));
  EXPECT_TRUE(calendar.isHoliday(2021, 5, 1));
  EXPECT_FALSE(calendar.isHoliday(2021, 5, 3));

  WriteCp1250(dir.tipsFile(), "[Tip1]\r\nPrvý tip\r\n[Tip2]\r\nŤuknite dvakrát\r\n");
  core::TipDrawer tips([](int) { return 1; });
  const auto tip = tips.draw(dir.tipsFile(), "Tip");
  EXPECT_EQ(tip.lines, (std::vector<std::string>{"Ťuknite dvakrát"}));

  // The language file lies beside the executable, here a folder with Slovak letters too.
  const fs::path exeDir = user / PathFromUtf8("Programy Účtárne");
  WriteCp1250(exeDir / "vortane.lng", "[AMESSAGES]\r\nLmess1=Žiadny záznam\r\n");
  core::MessageCatalogue language;
  language.load(exeDir / "vortane.lng");
  EXPECT_EQ(language.message(1), "Žiadny záznam");
  EXPECT_TRUE(op.messages.empty());
}

TEST_F(SlovakInstallation, SheetFileWrittenAndReadBack) {
  core::Grid grid(3, 2);
  grid.setCell(0, 0, "Dátum");
  grid.setCell(1, 1, "8:30");
  grid.setCell(2, 1, "Služobná cesta");
  const fs::path sheet = user / PathFromUtf8("výkaz.dok");
  std::string error;
  ASSERT_TRUE(core::GridTextFile::Write(sheet, grid, &error)) << error;
  ASSERT_TRUE(core::GridTextFile::Write(sheet, grid, &error)) << error;  // over the old one
  core::Grid back;
  ASSERT_TRUE(core::GridTextFile::Read(sheet, back, core::GridTextFile::Cells::SingleLine, &error)) << error;
  EXPECT_EQ(back.cell(0, 0), "Dátum");
  EXPECT_EQ(back.cell(2, 1), "Služobná cesta");
}

// A reader of a missing file names it in the message with the platform's
// separators and the letters as they are.
TEST_F(SlovakInstallation, MissingFileNamedInTheMessage) {
  const core::ProgramSettings settings = core::LoadSettings(open(), messages, op);
  core::LogEntries entries;
  EXPECT_FALSE(core::MonthLog::ReadEmployee(core::MonthLog::FileName(settings.logDir(), 5, 2021), 1, entries, op));
  ASSERT_EQ(op.messages.size(), 1u);
  const std::string expected = core::DisplayPath(program / PathFromUtf8("Záznamy") / "5_2021.txt");
  EXPECT_NE(op.messages[0].find(expected), std::string::npos) << op.messages[0];
#if defined(_WIN32)
  EXPECT_EQ(op.messages[0].find('/'), std::string::npos) << op.messages[0];
#endif
}

// A spreadsheet program that has the file open keeps it locked; the
// replacement gives up after a few retries, says so and leaves the old file.
TEST_F(SlovakInstallation, ReplacementOfAFileOpenInAnotherProgram) {
#if !defined(_WIN32)
  GTEST_SKIP() << "POSIX renames over a file that another program has open; only Windows locks it";
#else
  const fs::path target = user / PathFromUtf8("výkaz.zdr");
  testing_support::WriteBytes(target, "old");
  const HANDLE held = ::CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string error;
  const bool written = core::WriteFileAtomically(target, "new", &error);
  ::CloseHandle(held);
  EXPECT_FALSE(written);
  EXPECT_NE(error.find(core::DisplayPath(target)), std::string::npos) << error;
  EXPECT_NE(error.find("je otvorený v inom programe"), std::string::npos) << error;
  EXPECT_EQ(ReadBytes(target), "old");
  int files = 0;
  for (const auto& entry : fs::directory_iterator(user)) files += entry.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 1);
  // Once the other program lets go, the same write succeeds.
  ASSERT_TRUE(core::WriteFileAtomically(target, "new", &error)) << error;
  EXPECT_EQ(ReadBytes(target), "new");
#endif
}

}  // namespace
