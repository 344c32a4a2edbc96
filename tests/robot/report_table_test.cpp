#include <gtest/gtest.h>

#include "report_fixture.h"

namespace {

using report_test::Installation;
using namespace robot;

TEST(ReportTable, HeadersRowsNormAndStatusOfMarch2005) {
  Installation inst;
  inst.employee("Ján Novák", 11);
  inst.employee("Eva Malá", 12, false, false, 255, 0);
  inst.employee("Nula", 13, false, false, 0, 0);
  const CombinedReport r = inst.build(3, 2005);

  ASSERT_EQ(r.grid.columnCount(), 51);
  ASSERT_EQ(r.grid.rowCount(), 4);
  EXPECT_EQ(r.caption, "Vykaz " + core::DisplayPath(inst.logFile(3, 2005)));
  const char* headers[] = {"Meno",     "Os číslo", "Oddelenie", "V práci", "Prestavky", "Odpracované", "Norma hodín",
                           "Nadčas",   "Prac.dni", "Sviatok",   "Soboty",  "Nedele",    "Denné",       "Poobede",
                           "Nocné",    "Služob",   "Lekár",     "Dovolenka", "PN   ",   "Prekážky"};
  for (int c = 0; c < 20; ++c) EXPECT_EQ(r.grid.cell(c, 0), headers[c]) << c;
  EXPECT_EQ(ReportColumnHint(3), "Hodiny strávené na pracovisku\rpod1a dochádzkových hodín");
  EXPECT_EQ(ReportColumnHint(20), "");

  // 1 March 2005 was a Tuesday; 28 March (Easter Monday) is in the calendar.
  EXPECT_EQ(r.grid.cell(20, 0), "1-Uto");
  EXPECT_EQ(r.grid.cell(24, 0), "5-Sob");
  EXPECT_EQ(r.grid.cell(25, 0), "6-Ned");
  EXPECT_EQ(r.grid.cell(19 + 28, 0), "Sviatok");
  EXPECT_EQ(r.grid.cell(50, 0), "31-Stv");
  EXPECT_EQ(r.days.workingDays, 22);
  EXPECT_EQ(r.days.holidays, 1);
  EXPECT_EQ(r.statusWorkingDays, "PD=22");
  EXPECT_EQ(r.statusHolidays, "Sviatky=1");

  EXPECT_EQ(r.grid.cell(0, 1), "Ján Novák");
  EXPECT_EQ(r.grid.cell(1, 1), "P11");
  EXPECT_EQ(r.grid.cell(2, 1), "Výroba");
  EXPECT_EQ(r.grid.cell(6, 1), "187:00");  // 510 x 22
  EXPECT_EQ(r.grid.cell(6, 2), "93:30");   // 255 x 22
  EXPECT_EQ(r.grid.cell(6, 3), "0:00");    // the norm column shows a zero norm
  for (int c = 3; c < 51; ++c) {
    if (c != 6) {
      EXPECT_EQ(r.grid.cell(c, 1), "") << c;
    }
  }
  EXPECT_EQ(r.grid.columnWidth(0), 150);
  EXPECT_EQ(r.DayRecordLines.size(), 3u);
  EXPECT_EQ(r.DayRecordLines[2].size(), 33u);
}

TEST(ReportTable, ColumnColoursByColumnAndDayKind) {
  Installation inst;
  inst.employee("A", 1);
  const CombinedReport r = inst.build(3, 2005);
  struct Case {
    int col;
    std::uint32_t colour;
  };
  const Case cases[] = {{0, 0xC0C0C0},  {1, 0xC0C0C0},  {2, 0xC0C0C0},  {3, 0x00FFFF},  {5, 0x00FFFF},
                        {6, 0xFFFFFF},  {19, 0xFFFFFF}, {20, 0xFFFFFF}, {24, 0xFEDAE0}, {25, 0xCAC4FF},
                        {47, 0x80FFFF}, {50, 0xFFFFFF}, {51, 0xFFFFFF}, {100, 0xFFFFFF}, {-1, 0xFFFFFF},
                        {101, 0xFFFFFF}};
  for (const auto& c : cases) {
    EXPECT_EQ(ReportColumnColour(r, c.col), c.colour) << c.col;
  }
}

TEST(ReportTable, ShortMonthLeavesLastColumnsEmptyAndHolidayOnWeekendCounts) {
  Installation inst;
  inst.holidays("1.5.2004\r\n");  // a Saturday
  inst.employee("A", 1);
  const CombinedReport april = inst.build(4, 2004);
  EXPECT_EQ(april.grid.cell(49, 0), "30-Pia");
  EXPECT_EQ(april.grid.cell(50, 0), "");
  const CombinedReport may = inst.build(5, 2004);
  EXPECT_EQ(may.grid.cell(20, 0), "Sviatok");
  EXPECT_EQ(may.days.holidays, 1);
  EXPECT_EQ(ReportColumnColour(may, 20), 0x80FFFFu);
  const CombinedReport feb = inst.build(2, 2004);
  EXPECT_EQ(feb.grid.cell(48, 0), "29-Ned");
  EXPECT_EQ(feb.grid.cell(49, 0), "");
}

TEST(ReportTable, ShiftColumnsNarrowUnlessNightWorkIsOn) {
  Installation inst;
  inst.employee("A", 1);
  inst.settings.nightflag = false;
  const CombinedReport narrow = inst.build(3, 2005);
  for (int c = 12; c <= 14; ++c) EXPECT_EQ(narrow.grid.columnWidth(c), 10);
  EXPECT_GT(narrow.grid.columnWidth(11), 10);
  inst.settings.nightflag = true;
  const CombinedReport wide = inst.build(3, 2005);
  for (int c = 12; c <= 14; ++c) EXPECT_GT(wide.grid.columnWidth(c), 10);
}

TEST(ReportTable, RebuildDiscardsOldContent) {
  Installation inst;
  inst.employee("A", 1);
  inst.employee("B", 2);
  CombinedReport r = inst.build(3, 2005);
  r.grid.setCell(22, 2, "=8:00");
  r.grid.setComment(22, 2, "x");
  r.openedFile = "other.zdr";
  inst.employees.employees().pop_back();
  BuildReportTable(r, inst.env());
  EXPECT_EQ(r.grid.rowCount(), 2);
  EXPECT_EQ(r.grid.cell(22, 1), "");
  EXPECT_TRUE(r.openedFile.empty());
}

}  // namespace
