#include <gtest/gtest.h>

#include "report_fixture.h"

namespace {

using report_test::Installation;
using testing_support::ReadBytes;
using testing_support::WriteBytes;
using namespace robot;

TEST(ReportFiles, PeriodFileNames) {
  struct Case {
    int month, year;
    const char* name;
  };
  const Case cases[] = {{3, 2005, "32005.zdr"}, {12, 2005, "122005.zdr"}, {1, 2024, "12024.zdr"}};
  for (const auto& c : cases) {
    EXPECT_EQ(PeriodFileName("/prog/", c.month, c.year), std::filesystem::path("/prog/") / c.name);
  }
  EXPECT_EQ(ReopenQuestion(3, 2005), "Už ste obdobie: 3-2005 spracovávali, želáte si tabuľku vyplniť údajmi");
}

TEST(ReportFiles, RoundTripKeepsMultiLineCellsAndWidths) {
  Installation inst;
  inst.employee("Ján Novák", 1);
  CombinedReport r = inst.build(3, 2005);
  r.grid.setCell(21, 1, "SC 4:00\r\nD 4:00");
  r.grid.setCell(22, 1, "=8:30, ručne");
  r.grid.setComment(21, 1, "comments are not stored");
  const auto file = inst.dir / "r.zdr";
  std::string error;
  ASSERT_TRUE(WriteReportFile(file, r.grid, &error)) << error;
  const std::string bytes = ReadBytes(file);
  EXPECT_EQ(bytes.substr(0, 6), "51,2\r\n");
  EXPECT_NE(bytes.find("21,1,SC 4:00\t\bD 4:00\r\n"), std::string::npos);

  core::Grid back;
  ASSERT_TRUE(ReadReportFile(file, back, &error)) << error;
  ASSERT_EQ(back.columnCount(), 51);
  ASSERT_EQ(back.rowCount(), 2);
  for (int c = 0; c < 51; ++c) {
    EXPECT_EQ(back.cell(c, 0), r.grid.cell(c, 0));
    EXPECT_EQ(back.cell(c, 1), r.grid.cell(c, 1));
    EXPECT_EQ(back.columnWidth(c), r.grid.columnWidth(c));
  }
  EXPECT_EQ(back.comment(21, 1), "");
}

TEST(ReportFiles, BadFilesAreRefusedOrReadAsFarAsValid) {
  Installation inst;
  core::Grid keep(51, 2);
  keep.setCell(0, 1, "stay");
  struct Case {
    const char* name;
    std::string bytes;
    bool ok;
    int rows;
    int col = 0;
    const char* text = "";
  };
  const Case cases[] = {
      {"zero.zdr", "0,0\r\n", false, 0},
      {"garbage.zdr", "\x01\x02garbage\r\n", false, 0},
      {"huge.zdr", "51,999999999999\r\n", false, 0},
      {"truncated.zdr", "51,5\r\ncw 0,150\r\n", false, 0},
      {"sheet.dok", "6,3\r\ncw 0,120\r\n0,1,Meno\r\n5,2,koment\r\n", true, 3, 0, "Meno"},
      {"wide.zdr", "80,2\r\n70,1,far\r\n1,1,near\r\n", true, 2, 1, "near"},
      {"broken.zdr", "51,3\r\n0,1,Jan\r\nnot a cell line\r\n0,999,out\r\n0,2,Eva\r\n", true, 3, 0, "Jan"},
  };
  for (const auto& c : cases) {
    const auto file = inst.dir / c.name;
    WriteBytes(file, c.bytes);
    core::Grid g = keep;
    std::string error;
    const bool ok = ReadReportFile(file, g, &error);
    EXPECT_EQ(ok, c.ok) << c.name;
    if (!ok) {
      EXPECT_FALSE(error.empty()) << c.name;
      EXPECT_EQ(g, keep) << c.name;
      continue;
    }
    EXPECT_EQ(g.columnCount(), 51) << c.name;
    EXPECT_EQ(g.rowCount(), c.rows) << c.name;
    EXPECT_EQ(g.cell(c.col, 1), c.text) << c.name;
  }
  std::string error;
  core::Grid g = keep;
  EXPECT_FALSE(ReadReportFile(inst.dir / "missing.zdr", g, &error));
  EXPECT_NE(error.find("missing.zdr"), std::string::npos);
}

TEST(ReportFiles, ReopeningTheSavedPeriod) {
  Installation inst;
  inst.employee("A", 1);
  CombinedReport saved = inst.build(3, 2005);
  saved.grid.setCell(20, 1, "=8:30");
  ASSERT_TRUE(SaveReportOnClose(saved, inst.dir.path()));
  ASSERT_TRUE(std::filesystem::exists(inst.dir / "32005.zdr"));

  // Yes: the table is filled from the file.
  CombinedReport r = inst.build(3, 2005);
  inst.op.yesNoAnswers = {true};
  EXPECT_EQ(ReopenSavedPeriod(r, inst.dir.path(), inst.op), ReopenOutcome::Filled);
  EXPECT_EQ(r.grid.cell(20, 1), "=8:30");
  EXPECT_EQ(inst.op.questions.back(), "Už ste obdobie: 3-2005 spracovávali, želáte si tabuľku vyplniť údajmi");

  // No: the built table stays.
  CombinedReport declined = inst.build(3, 2005);
  inst.op.yesNoAnswers = {false};
  EXPECT_EQ(ReopenSavedPeriod(declined, inst.dir.path(), inst.op), ReopenOutcome::Declined);
  EXPECT_EQ(declined.grid.cell(20, 1), "");

  // Another period has no file.
  CombinedReport april = inst.build(4, 2005);
  EXPECT_EQ(ReopenSavedPeriod(april, inst.dir.path(), inst.op), ReopenOutcome::NoSavedTable);
  EXPECT_EQ(inst.op.messages.back(), "Tabulka za vybrane obdobie nebola vypracovana, Otvarame novu tabulku");

  // An unreadable file: the message, and the built table stays.
  WriteBytes(inst.dir / "32005.zdr", "0,0\r\n");
  CombinedReport broken = inst.build(3, 2005);
  const core::Grid built = broken.grid;
  inst.op.yesNoAnswers = {true};
  EXPECT_EQ(ReopenSavedPeriod(broken, inst.dir.path(), inst.op), ReopenOutcome::ReadFailed);
  EXPECT_EQ(inst.op.messages.back(), "CHYBA pri otvarani tabulky zo suboru");
  EXPECT_EQ(broken.grid, built);
}

TEST(ReportFiles, AnotherOpenedReportNeverOverwritesThePeriodFile) {
  Installation inst;
  inst.employee("A", 1);
  CombinedReport period = inst.build(3, 2005);
  period.grid.setCell(20, 1, "8:00");
  ASSERT_TRUE(SaveReportOnClose(period, inst.dir.path()));
  const std::string periodBytes = ReadBytes(inst.dir / "32005.zdr");

  core::Grid other(51, 2);
  other.setCell(0, 1, "Iný report");
  ASSERT_TRUE(WriteReportFile(inst.dir / "other.zdr", other));

  CombinedReport r = inst.build(3, 2005);
  ASSERT_TRUE(OpenReportFile(r, inst.dir / "other.zdr", inst.op));
  // The caption is "Report" and the path run together, as the window has always shown it.
  EXPECT_EQ(r.caption, "Report" + core::DisplayPath(inst.dir / "other.zdr"));
  EXPECT_EQ(r.grid.cell(0, 1), "Iný report");
  ASSERT_TRUE(SaveReportOnClose(r, inst.dir.path()));
  EXPECT_EQ(ReadBytes(inst.dir / "32005.zdr"), periodBytes);

  // A file that cannot be read: the reader's message, nothing changes.
  const core::Grid before = r.grid;
  EXPECT_FALSE(OpenReportFile(r, inst.dir / "nope.zdr", inst.op));
  EXPECT_NE(inst.op.messages.back().find("nope.zdr"), std::string::npos);
  EXPECT_EQ(r.grid, before);
}

TEST(ReportPeriod, DialogChecks) {
  Installation inst;
  core::EmployeeList loaded;
  // No log for the month.
  EXPECT_FALSE(CheckReportPeriod(inst.settings, inst.programDir(), 4, 2022, loaded, inst.op));
  EXPECT_EQ(inst.op.messages.back(), "Nemame žiadne záznamy pre zvolený mesiac\rVyberte iný mesiac");
  // A log but no employee file, then an employee file without employees.
  inst.writeLog(4, 2022);
  EXPECT_FALSE(CheckReportPeriod(inst.settings, inst.programDir(), 4, 2022, loaded, inst.op));
  EXPECT_EQ(inst.op.messages.back(), "Subor pracovnikov je prazdny alebo neexistuje");
  testing_support::WriteCp1250(inst.dir / "prac.txt", ";Zoznam pracovnikov\r\n");
  EXPECT_FALSE(CheckReportPeriod(inst.settings, inst.programDir(), 4, 2022, loaded, inst.op));
  EXPECT_EQ(inst.op.messages.size(), 3u);
  // A list with an employee: accepted and loaded afresh.
  testing_support::WriteCp1250(inst.dir / "prac.txt", ";Zoznam pracovnikov\r\nJán\tP1\t7\tVýroba\t0\t0\t100\t30\t\r\n");
  EXPECT_TRUE(CheckReportPeriod(inst.settings, inst.programDir(), 4, 2022, loaded, inst.op));
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded.employees()[0].name, "Ján");
  EXPECT_EQ(inst.op.messages.size(), 3u);
}

TEST(ReportPeriod, TextsOfTheDialog) {
  struct Case {
    const char* month;
    const char* year;
    bool ok;
  };
  const Case cases[] = {{"3", "2005", true},  {" 12 ", "2024", true}, {"0", "2005", false}, {"13", "2005", false},
                        {"", "2005", false},  {"3", "", false},       {"x", "2005", false}, {"3", "20o5", false},
                        {"3", "999", false},  {"3", "10000", false},  {"3.5", "2005", false}};
  for (const auto& c : cases) {
    const auto p = ParseReportPeriod(c.month, c.year);
    EXPECT_EQ(p.has_value(), c.ok) << c.month << "/" << c.year;
  }
  const auto p = ParseReportPeriod("03", "2031");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->month, 3);
  EXPECT_EQ(p->year, 2031);
}

}  // namespace
