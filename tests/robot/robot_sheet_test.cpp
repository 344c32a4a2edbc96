// The sheet after a robot run: head, labels, day columns, colours, stored
// sheets, and whole months worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "robot_fixture.h"

namespace {

using robot_test::Mar;
using robot_test::ProgramDir;

struct Totals {
  const char* workedDays;
  const char* atWork;
  const char* breaks;
  const char* net;
  const char* overtime;
  const char* dayShift;
  const char* afternoonShift;
  const char* nightShift;
  const char* saturdays;
  const char* sundays;
  const char* holidays;
  const char* vacation;
  const char* sick;
  const char* doctor;
  const char* business;
  const char* obstacles;
};

void ExpectTotals(const robot_test::SheetResult& r, const Totals& t) {
  EXPECT_EQ(r.value(8), t.workedDays);
  EXPECT_EQ(r.value(11), t.atWork);
  EXPECT_EQ(r.value(12), t.breaks);
  EXPECT_EQ(r.value(13), t.net);
  EXPECT_EQ(r.value(14), t.overtime);
  EXPECT_EQ(r.value(15), "");
  EXPECT_EQ(r.value(16), t.dayShift);
  EXPECT_EQ(r.value(17), t.afternoonShift);
  EXPECT_EQ(r.value(18), t.nightShift);
  EXPECT_EQ(r.value(19), t.saturdays);
  EXPECT_EQ(r.value(20), t.sundays);
  EXPECT_EQ(r.value(21), t.holidays);
  EXPECT_EQ(r.value(22), t.vacation);
  EXPECT_EQ(r.value(23), t.sick);
  EXPECT_EQ(r.value(24), t.doctor);
  EXPECT_EQ(r.value(25), t.business);
  EXPECT_EQ(r.value(26), t.obstacles);
}

TEST(SheetHead, FreshSheetLayout) {
  ProgramDir dir;
  dir.employee("Eva Mala", 3, false, false, "50", 15, "P-17", "Sklad");
  dir.emptyLog(3, 2021);
  const auto r = dir.run(3, 2021);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.grid.columnCount(), 6);
  EXPECT_EQ(r.grid.rowCount(), 32);
  const std::vector<std::string> headers = {"Názov", "Údaj", "Den", "Dochádzka", "Výsledok", "Komentár"};
  const std::vector<int> widths = {120, 80, 40, 200, 100, 100};
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(r.grid.cell(c, 0), headers[static_cast<std::size_t>(c)]);
    EXPECT_EQ(r.grid.columnWidth(c), widths[static_cast<std::size_t>(c)]);
  }
  const std::vector<std::string> labels = {"",
                                           "Meno",
                                           "Mesiac",
                                           "Rok",
                                           "Os.číslo",
                                           "Oddelenie",
                                           "Uväzok",
                                           "Prac.dni",
                                           "Odprac.dni",
                                           "Sviatky",
                                           "Norma",
                                           "V práci",
                                           "Prestávky",
                                           "Hodiny celkom",
                                           "Nadčasy",
                                           "",
                                           "Denné smeny",
                                           "Poobed.smeny",
                                           "Nočné smeny",
                                           "Soboty",
                                           "Nedele",
                                           "Odpr.sviatky",
                                           "Dovolenky",
                                           "PN",
                                           "Lekár",
                                           "Služ.cesty",
                                           "Prekážky",
                                           "",
                                           "",
                                           "",
                                           "",
                                           ""};
  for (int row = 1; row < 32; ++row) EXPECT_EQ(r.grid.cell(0, row), labels[static_cast<std::size_t>(row)]) << row;
  EXPECT_EQ(r.value(1), "Eva Mala");
  EXPECT_EQ(r.value(2), "3");
  EXPECT_EQ(r.value(3), "2021");
  EXPECT_EQ(r.value(4), "P-17");
  EXPECT_EQ(r.value(5), "Sklad");
  EXPECT_EQ(r.value(6), "50");
  EXPECT_EQ(r.value(7), "23");
  EXPECT_EQ(r.value(8), "0");
  EXPECT_EQ(r.value(9), "0");
  // 50 % of 510 = 255 minutes a day, 23 working days.
  EXPECT_EQ(r.value(10), "97:45");
  // Nothing worked: the whole norm is missing.
  EXPECT_EQ(r.value(13), "");
  EXPECT_EQ(r.value(14), "-97:45");
  EXPECT_EQ(r.grid.cell(2, 1), "1-Pon");
  EXPECT_EQ(r.grid.cell(2, 6), "6-Sob");
  EXPECT_EQ(r.grid.cell(2, 7), "7-Ned");
  EXPECT_EQ(r.grid.cell(2, 31), "31-Str");
}

TEST(SheetHead, DayKindsAndColours) {
  ProgramDir dir;
  // A Sunday holiday (recurring form) and a weekday holiday of 2021 only.
  dir.holidays("7.3.1990\n; 8.3.2021 is a comment line\n15.3.2021\n16.3.2020");
  dir.employee("A", 1);
  dir.emptyLog(3, 2021);
  const auto r = dir.run(3, 2021);
  EXPECT_EQ(r.grid.cell(2, 7), "7-Ned SV");
  EXPECT_EQ(r.grid.cell(2, 8), "8-Pon");
  EXPECT_EQ(r.grid.cell(2, 15), "15-Pon SV");
  EXPECT_EQ(r.grid.cell(2, 16), "16-Uto");
  EXPECT_EQ(r.value(7), "22");
  EXPECT_EQ(r.value(9), "2");
  EXPECT_EQ(r.state.DayColour[0], 0xFFFFFFu);
  EXPECT_EQ(r.state.DayColour[1], 0xFFFFFFu);
  EXPECT_EQ(r.state.DayColour[6], 0xFFFF00u);
  EXPECT_EQ(r.state.DayColour[7], 0x00FF00u);
  EXPECT_EQ(r.state.DayColour[14], 0xC0C0C0u);
  EXPECT_EQ(r.state.DayColour[15], 0x00FF00u);
  EXPECT_EQ(r.state.DayColour[31], 0xFFFFFFu);
}

TEST(SheetHead, RecurringAndOneOffHolidays) {
  core::HolidayCalendar cal;
  cal.setDates({{1990, 1, 1}, {2004, 5, 1}});
  EXPECT_EQ(robot::ClassifyMonth(1, 2024, cal).kind[1], core::DayKind::Holiday);
  EXPECT_EQ(robot::ClassifyMonth(5, 2004, cal).kind[1], core::DayKind::Holiday);
  // 1 May 2005 is a Sunday and no holiday that year.
  EXPECT_EQ(robot::ClassifyMonth(5, 2005, cal).kind[1], core::DayKind::Sunday);
  EXPECT_EQ(robot::ClassifyMonth(5, 2005, cal).holidays, 0);
}

TEST(SheetHead, LeapFebruaryFillsTwentyNineRows) {
  ProgramDir dir;
  dir.employee("A", 1);
  dir.log(2, 2004, "27.2.2004 8:00:00", 1, 0).log(2, 2004, "27.2.2004 16:00:00", 1, 16);
  const auto fresh = dir.run(2, 2004);
  EXPECT_EQ(fresh.grid.cell(2, 29), "29-Ned");
  EXPECT_EQ(fresh.result(27), "8:00");
  for (int row = 30; row <= 31; ++row)
    for (int c = 2; c <= 5; ++c) EXPECT_EQ(fresh.grid.cell(c, row), "") << c << "," << row;
  EXPECT_EQ(fresh.value(7), "20");

  // On a stored sheet rows 30 and 31 keep what they held.
  core::Grid stored = robot::NewSheetGrid();
  for (int row = 30; row <= 31; ++row)
    for (int c = 2; c <= 5; ++c) stored.setCell(c, row, "old " + std::to_string(c));
  const auto kept = dir.run(2, 2004, 0, &stored);
  for (int row = 30; row <= 31; ++row)
    for (int c = 2; c <= 5; ++c) EXPECT_EQ(kept.grid.cell(c, row), "old " + std::to_string(c));
}

TEST(SheetDays, RegistrationColumn) {
  ProgramDir dir;
  dir.employee("A", 1);
  dir.log(3, 2021, Mar(1, "7:58:00"), 1, 0)
      .log(3, 2021, Mar(1, "16:30:00"), 1, 16)
      .log(3, 2021, Mar(2, "9:00:00"), 1, 1)
      .log(3, 2021, Mar(2, "10:00:00"), 1, 13)
      .log(3, 2021, Mar(2, "11:00:00"), 1, 29)
      .log(3, 2021, Mar(2, "15:00:00"), 1, 24)
      .log(3, 2021, Mar(2, "15:10:00"), 2, 16);  // another employee
  const auto r = dir.run(3, 2021);
  EXPECT_EQ(r.grid.cell(3, 1), "07:58 PR N - 16:30 OD N - ");
  EXPECT_EQ(r.grid.cell(3, 2), "09:00 PR S1 - 10:00 PR  - 11:00 OD  - 15:00 OD D - ");
  EXPECT_EQ(r.grid.cell(3, 3), "");
}

TEST(SheetDays, MissingLog) {
  ProgramDir dir;
  dir.employee("A", 1, false, false, "100", 30);
  testing_support::ScriptedOperator op;
  const auto r = dir.run(4, 2021);
  EXPECT_FALSE(r.ok);
  ASSERT_EQ(r.messages.size(), 1u);
  const auto file = core::MonthLog::FileName(dir.path() / "Log", 4, 2021);
  EXPECT_EQ(r.messages[0],
            "Nie je možné otvorit súbor: " + core::DisplayPath(file) + "\rv subore sú zapísané príchody odchody");
  EXPECT_EQ(r.grid.cell(2, 1), "");
  EXPECT_EQ(r.value(1), "A");
  EXPECT_EQ(r.value(8), "0");
  EXPECT_EQ(r.value(10), "187:00");
}

TEST(SheetDays, RecordsOfAnotherMonthAreReportedAndPassedOver) {
  ProgramDir dir;
  dir.employee("A", 1);
  dir.log(3, 2021, "28.2.2021 8:00:00", 1, 0)
      .log(3, 2021, Mar(1, "8:00:00"), 1, 0)
      .log(3, 2021, Mar(1, "16:00:00"), 1, 16)
      .log(3, 2021, "1.4.2022 8:00:00", 1, 0);
  const auto r = dir.run(3, 2021);
  ASSERT_TRUE(r.ok);
  const std::vector<std::string> expected = {"CHYBA v LOG subore\rZapisany nespravny mesiac",
                                             "CHYBA v LOG subore\rZapisany nespravny rok",
                                             "CHYBA v LOG subore\rZapisany nespravny mesiac"};
  EXPECT_EQ(r.messages, expected);
  EXPECT_EQ(r.result(1), "8:00");
  EXPECT_EQ(r.comment(1), "");
}

TEST(SheetStored, ProtectedResultsAndCommentsSurvive) {
  ProgramDir dir;
  dir.employee("A", 1);
  dir.log(3, 2021, Mar(1, "8:00:00"), 1, 0)
      .log(3, 2021, Mar(1, "12:00:00"), 1, 16)
      .log(3, 2021, Mar(3, "8:00:00"), 1, 0)
      .log(3, 2021, Mar(3, "16:00:00"), 1, 16)
      .log(3, 2021, Mar(4, "8:00:00"), 1, 0)
      .log(3, 2021, Mar(4, "9:00:00"), 1, 0)
      .log(3, 2021, Mar(4, "16:00:00"), 1, 16);
  core::Grid stored = robot::NewSheetGrid();
  stored.setCell(4, 1, "=8:30");
  stored.setCell(5, 2, "moja poznamka");
  stored.setCell(4, 3, "8:30");
  stored.setCell(4, 4, "=8:00");
  stored.setCell(4, 6, "sobota");
  const auto r = dir.run(3, 2021, 0, &stored);
  EXPECT_EQ(r.result(1), "=8:30");
  EXPECT_EQ(r.comment(1), "Rucne pocitane");
  EXPECT_EQ(r.result(2), "");
  EXPECT_EQ(r.comment(2), "moja poznamka");
  EXPECT_EQ(r.result(3), "8:00");
  // A warning of the day replaces the hand-made note.
  EXPECT_EQ(r.result(4), "=8:00");
  EXPECT_EQ(r.comment(4), "Dva prichody za sebou");
  // A Saturday without work keeps its text.
  EXPECT_EQ(r.result(6), "sobota");
  // Totals read the protected cells: 8:30 + 8:00 + 8:00.
  EXPECT_EQ(r.value(11), "24:30");
  EXPECT_EQ(r.value(8), "3");

  // A modified sheet is not cleared either.
  const auto modified = dir.run(3, 2021, 0, &stored, true);
  EXPECT_EQ(modified.result(1), "=8:30");

  // A fresh run clears everything first.
  testing_support::ScriptedOperator op;
  const auto l = dir.load(op);
  core::Grid grid = stored;
  robot::SheetState state;
  robot::RobotInputs in(l.settings, l.calendar, l.employees.employees()[0], 3, 2021,
                        core::MonthLog::FileName(l.settings.logDir(), 3, 2021));
  ASSERT_TRUE(robot::RunSheet(in, grid, state, op));
  EXPECT_EQ(grid.cell(4, 1), "4:00");
  EXPECT_EQ(grid.cell(5, 1), "");
  EXPECT_EQ(grid.cell(5, 2), "");
  EXPECT_EQ(grid.cell(4, 6), "");
  EXPECT_EQ(grid.cell(0, 0), "Názov");
}

TEST(SheetStored, RecalcAfterEdit) {
  ProgramDir dir;
  dir.employee("A", 1, false, false, "100", 30);
  dir.emptyLog(3, 2021);
  auto r = dir.run(3, 2021);
  testing_support::ScriptedOperator op;
  const auto l = dir.load(op);
  r.grid.setCell(4, 1, "7:45");
  r.grid.setCell(4, 2, "D=8:30");
  r.grid.setCell(4, 6, "4:00");
  robot::RecalcSheet(l.employees.employees()[0], l.settings, l.calendar, 3, 2021, r.grid);
  EXPECT_EQ(r.grid.cell(1, 8), "2");
  EXPECT_EQ(r.grid.cell(1, 11), "11:45");
  EXPECT_EQ(r.grid.cell(1, 12), "0:30");
  EXPECT_EQ(r.grid.cell(1, 13), "11:15");
  EXPECT_EQ(r.grid.cell(1, 19), "4:00");
  EXPECT_EQ(r.grid.cell(1, 22), "8:30");
  // 195:30 - 11:15 - 8:30 = 175:45 short.
  EXPECT_EQ(r.grid.cell(1, 14), "-175:45");
}

// A month of ordinary days: 22 working days 7:00-15:30, one Saturday
// morning, a Friday holiday.
TEST(SheetMonth, NormalMonth) {
  ProgramDir dir;
  dir.holidays("19.3.2021");
  dir.employee("Jan Novak", 12, false, false, "100", 30, "0012", "Vyroba");
  const std::vector<int> weekend = {6, 7, 13, 14, 19, 20, 21, 27, 28};
  for (int d = 1; d <= 31; ++d) {
    if (std::find(weekend.begin(), weekend.end(), d) != weekend.end()) continue;
    dir.log(3, 2021, Mar(d, "7:00:00"), 12, 0).log(3, 2021, Mar(d, "15:30:00"), 12, 16);
  }
  dir.log(3, 2021, Mar(13, "8:00:00"), 12, 0).log(3, 2021, Mar(13, "12:00:00"), 12, 16);
  const auto r = dir.run(3, 2021);
  ASSERT_TRUE(r.ok);
  for (int d = 1; d <= 31; ++d) {
    std::string want = "8:30";
    if (d == 13) want = "4:00";
    if (std::find(weekend.begin(), weekend.end(), d) != weekend.end() && d != 13) want = "";
    EXPECT_EQ(r.result(d), want) << d;
    EXPECT_EQ(r.comment(d), "") << d;
  }
  EXPECT_EQ(r.grid.cell(2, 19), "19-Pia SV");
  EXPECT_EQ(r.value(7), "22");
  EXPECT_EQ(r.value(9), "1");
  EXPECT_EQ(r.value(10), "187:00");
  // 22 x 510 + 240 = 11460 at work; 22 x 30 breaks; 11220 - 10800 short.
  ExpectTotals(r, {"23", "191:00", "11:00", "180:00", "-7:00", "", "", "", "4:00", "", "", "", "", "", "", ""});
}

// Overnight shifts: Monday 21:50 to Tuesday 6:10, Tuesday 22:00 to Wednesday
// 6:00, Thursday day shift, Friday afternoon shift.
TEST(SheetMonth, ShiftWorker) {
  ProgramDir dir;
  dir.employee("Peter Nocny", 5, true, false, "100", 30);
  dir.log(3, 2021, Mar(1, "21:50:00"), 5, 0)
      .log(3, 2021, Mar(2, "6:10:00"), 5, 16)
      .log(3, 2021, Mar(2, "22:00:00"), 5, 0)
      .log(3, 2021, Mar(3, "6:00:00"), 5, 16)
      .log(3, 2021, Mar(4, "6:00:00"), 5, 0)
      .log(3, 2021, Mar(4, "14:00:00"), 5, 16)
      .log(3, 2021, Mar(5, "14:00:00"), 5, 0)
      .log(3, 2021, Mar(5, "22:00:00"), 5, 16);
  const auto r = dir.run(3, 2021);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.result(1), " PS 0:10 NS 2:00");
  EXPECT_EQ(r.result(2), " DS 0:10 NS 8:00");
  EXPECT_EQ(r.result(3), " NS 6:00");
  EXPECT_EQ(r.result(4), " DS 8:00");
  EXPECT_EQ(r.result(5), " PS 8:00");
  for (int d = 6; d <= 31; ++d) EXPECT_EQ(r.result(d), "") << d;
  for (int d = 1; d <= 31; ++d) EXPECT_EQ(r.comment(d), "") << d;
  // Shift rows lose the breaks on days of 6 hours or more: DS 10 + 450,
  // PS 10 + 450, NS 120 + 450 + 330. At work 130 + 490 + 360 + 480 + 480.
  ExpectTotals(r, {"5", "32:20", "2:00", "30:20", "-165:10", "7:40", "7:40", "15:00", "", "", "", "", "", "", "", ""});
}

// Vacation, sick leave, doctor, business trips and an obstacle day around
// weekends and a Monday holiday (15 March, recurring entry).
TEST(SheetMonth, AbsencesAcrossWeekendsAndHolidays) {
  ProgramDir dir;
  dir.holidays("15.3.1990");
  dir.employee("Zuzana Cestovna", 9, false, true, "100", 30);
  auto day = [&](int d, const char* in, int inCode, const char* out, int outCode) {
    dir.log(3, 2021, Mar(d, in), 9, inCode).log(3, 2021, Mar(d, out), 9, outCode);
  };
  day(1, "8:00:00", 0, "16:30:00", 16);
  day(2, "8:00:00", 0, "12:00:00", 24);  // off on vacation
  day(8, "8:00:00", 0, "16:30:00", 16);
  day(9, "8:00:00", 0, "10:00:00", 21);  // to the doctor, then sick
  day(12, "8:00:00", 0, "16:30:00", 16);
  day(18, "10:00:00", 2, "15:00:00", 18);  // back from a business trip, off again
  day(22, "8:00:00", 8, "16:30:00", 16);   // back from vacation
  day(23, "8:00:00", 0, "16:30:00", 16);
  day(26, "8:00:00", 7, "16:30:00", 16);  // back from sick leave
  day(30, "8:00:00", 6, "16:30:00", 16);  // back from an obstacle
  const auto r = dir.run(3, 2021);
  ASSERT_TRUE(r.ok);
  const std::string vac = "Automatický výpocet Dovolenky";
  const std::string sick = "Automatický výpocet PN";
  const std::string trip = "Automatický výpocet Služobnej cesty";
  const std::string obst = "Automatický výpocet Prekážky";
  const std::vector<std::pair<std::string, std::string>> want = {
      {"", ""},
      {"8:30", ""},          // 1
      {"4:00", ""},          // 2
      {"D 08:30", vac},      // 3
      {"D 08:30", vac},      // 4
      {"D 08:30", vac},      // 5
      {"", ""},              // 6 Sat
      {"", ""},              // 7 Sun
      {"8:30", ""},          // 8
      {"2:00 LK 5:01", ""},  // 9
      {"PN 08:30", sick},    // 10
      {"PN 08:30", sick},    // 11
      {"8:30", ""},          // 12
      {"", ""},              // 13
      {"", ""},              // 14
      {"", ""},              // 15 holiday
      {"sc 09:00", trip},    // 16
      {"sc 09:00", trip},    // 17
      {"5:00 sc 3:31", ""},  // 18
      {"D 08:30", vac},      // 19: the vacation arrival wins over the trip
      {"", ""},              // 20
      {"", ""},              // 21
      {"8:30", ""},          // 22
      {"8:30", ""},          // 23
      {"PN 08:30", sick},    // 24
      {"PN 08:30", sick},    // 25
      {"8:30", ""},          // 26
      {"", ""},              // 27
      {"", ""},              // 28
      {"O 08:30", obst},     // 29
      {"8:30", ""},          // 30
      {"", ""},              // 31
  };
  for (int d = 1; d <= 31; ++d) {
    EXPECT_EQ(r.result(d), want[static_cast<std::size_t>(d)].first) << d;
    EXPECT_EQ(r.comment(d), want[static_cast<std::size_t>(d)].second) << d;
  }
  EXPECT_EQ(r.grid.cell(2, 15), "15-Pon SV");
  EXPECT_EQ(r.value(7), "22");
  EXPECT_EQ(r.value(9), "1");
  EXPECT_EQ(r.value(10), "187:00");
  ExpectTotals(r, {"12", "100:31", "4:30", "96:01", "-17:58", "", "", "", "", "", "", "34:00", "34:00", "5:01", "21:31",
                   "8:30"});
}

}  // namespace
