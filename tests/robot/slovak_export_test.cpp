// Exports and the combined report file under names with Slovak letters, for a
// user whose temporary folder lies below "Ján": the workbook library writes
// its scratch files there before the workbook is put in place.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/grid.h"
#include "core/path_text.h"
#include "export/grid_export.h"
#include "robot/report_files.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using core::PathFromUtf8;

core::Grid SmallReport() {
  core::Grid grid(3, 2);
  grid.setCell(0, 0, "Meno");
  grid.setCell(1, 0, "Odpracované");
  grid.setCell(0, 1, "Ján Kováč");
  grid.setCell(1, 1, "160:30");
  grid.setCell(2, 1, "Služobná cesta");
  return grid;
}

int RegularFilesIn(const fs::path& folder) {
  int n = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) n += entry.is_regular_file() ? 1 : 0;
  return n;
}

// "Ján" has letters of the western ANSI code page too; "Ľudovít Čierny" has
// letters that only Central European code pages have.
class SlovakExport : public ::testing::TestWithParam<const char*> {};

INSTANTIATE_TEST_SUITE_P(Users, SlovakExport, ::testing::Values("Ján", "Ľudovít Čierny"));

TEST_P(SlovakExport, EveryFormatUnderSlovakNames) {
  testing_support::TempDir temp;
  const fs::path user = temp.path() / PathFromUtf8(GetParam());
  const fs::path program = temp.path() / PathFromUtf8("Dochádzka");
  fs::create_directories(program);
  testing_support::ScopedUserFolder userFolder(user / "Temp");
  const core::Grid grid = SmallReport();

  struct Case {
    const char* name;
    const char* starts;  // the first bytes of a sound file
    const char* contains;
  };
  const Case cases[] = {
      {"výkaz.xlsx", "PK", nullptr},
      {"výkaz.csv", "\xEF\xBB\xBF", "Ján Kováč;160:30;Služobná cesta\r\n"},
      {"výkaz.html", "<!DOCTYPE", "Služobná cesta"},
      {"VÝKAZ.HTM", "<!DOCTYPE", "Ján Kováč"},
  };
  for (const Case& c : cases) {
    const fs::path file = program / PathFromUtf8(c.name);
    const auto format = exports::FormatFromExtension(file);
    ASSERT_TRUE(format.has_value()) << c.name;
    std::string message;
    // Twice: the second export replaces the first.
    ASSERT_TRUE(exports::ExportGrid(file, grid, *format, &message, "Výkaz")) << c.name << ": " << message;
    ASSERT_TRUE(exports::ExportGrid(file, grid, *format, &message, "Výkaz")) << c.name << ": " << message;
    const std::string bytes = testing_support::ReadBytes(file);
    EXPECT_EQ(bytes.rfind(c.starts, 0), 0u) << c.name;
    if (c.contains) {
      EXPECT_NE(bytes.find(c.contains), std::string::npos) << c.name;
    }
  }
  EXPECT_EQ(RegularFilesIn(program), 4);
  // No scratch workbook or temporary file stays behind in the user's folder.
  EXPECT_EQ(RegularFilesIn(user), 0);
}

TEST(SlovakReportFile, WrittenAndReadBack) {
  testing_support::TempDir temp;
  const fs::path file = temp.path() / PathFromUtf8("Dochádzka") / PathFromUtf8("výkaz apríl.zdr");
  fs::create_directories(file.parent_path());
  std::string error;
  ASSERT_TRUE(robot::WriteReportFile(file, SmallReport(), &error)) << error;
  core::Grid back;
  ASSERT_TRUE(robot::ReadReportFile(file, back, &error)) << error;
  EXPECT_EQ(back.cell(0, 1), "Ján Kováč");
  EXPECT_EQ(back.cell(2, 1), "Služobná cesta");
}

}  // namespace
