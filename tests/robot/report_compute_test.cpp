#include <gtest/gtest.h>

#include <atomic>

#include "report_fixture.h"
#include "robot/sheet_robot.h"

namespace {

using report_test::Installation;
using namespace robot;

constexpr int M = 3;
constexpr int Y = 2005;

int DayCol(int day) { return 19 + day; }

// A plain working day: arrival and departure of type 0.
void Day(Installation& inst, std::uint16_t card, int day, int h1, int m1, int h2, int m2) {
  inst.reg(card, Y, M, day, h1, m1, 0);
  inst.reg(card, Y, M, day, h2, m2, 16);
}

ReportRun Compute(Installation& inst, CombinedReport& r, const ReportProgress& progress = {}) {
  std::atomic<bool> stop{false};
  return ComputeReport(r, inst.env(), stop, progress);
}

TEST(ReportCompute, DayResultsTotalsAndRegistrationLines) {
  Installation inst;
  inst.employee("Ján Novák", 11);
  Day(inst, 11, 1, 7, 0, 15, 30);   // 8:30
  Day(inst, 11, 2, 7, 0, 16, 0);    // 9:00
  Day(inst, 11, 5, 8, 0, 12, 0);    // Saturday 4:00
  inst.writeLog(M, Y);
  CombinedReport r = inst.build(M, Y);
  ASSERT_EQ(Compute(inst, r), ReportRun::Completed);

  EXPECT_EQ(r.grid.cell(DayCol(1), 1), "8:30");
  EXPECT_EQ(r.grid.cell(DayCol(2), 1), "9:00");
  EXPECT_EQ(r.grid.cell(DayCol(5), 1), "4:00");
  EXPECT_EQ(r.grid.cell(rcol::AtWork, 1), "21:30");
  EXPECT_EQ(r.grid.cell(rcol::Breaks, 1), "1:00");  // two days of at least SetPrestCond minutes
  EXPECT_EQ(r.grid.cell(rcol::Net, 1), "20:30");
  EXPECT_EQ(r.grid.cell(rcol::WorkingDays, 1), "16:30");
  EXPECT_EQ(r.grid.cell(rcol::Saturdays, 1), "4:00");
  EXPECT_EQ(r.grid.cell(rcol::Overtime, 1), "-166:30");  // 187:00 norm
  EXPECT_EQ(r.DayRecordLines[0][1], "PR Normalny 07:00\r\nOD Normalny 15:30\r\n");
  EXPECT_EQ(r.DayRecordLines[0][3], "");
  EXPECT_EQ(r.statusRows, "Riadkov:1");
  EXPECT_TRUE(inst.op.messages.empty());
}

TEST(ReportCompute, WarningsAreCellCommentsWithReportTexts) {
  Installation inst;
  inst.employee("A", 1);
  inst.settings.stopPDflag = true;  // presence after stopPD: not counted, no warning on the report
  inst.settings.stopPD = core::TimeOfDay::fromHm(15, 0);
  // Day 1: two departures in a row.
  inst.reg(1, Y, M, 1, 7, 0, 0);
  inst.reg(1, Y, M, 1, 12, 0, 16);
  inst.reg(1, Y, M, 1, 14, 0, 16);
  // Day 2: two arrivals in a row.
  inst.reg(1, Y, M, 2, 7, 0, 0);
  inst.reg(1, Y, M, 2, 9, 0, 0);
  inst.reg(1, Y, M, 2, 14, 0, 16);
  // Day 3: worked until 17:00 with stopPD 15:00.
  Day(inst, 1, 3, 7, 0, 17, 0);
  inst.writeLog(M, Y);
  CombinedReport r = inst.build(M, Y);
  ASSERT_EQ(Compute(inst, r), ReportRun::Completed);
  EXPECT_EQ(r.grid.comment(DayCol(1), 1), "POZOR: Dva odchody za sebou");
  EXPECT_EQ(r.grid.comment(DayCol(2), 1), "POZOR: Dva prichody za sebou");
  EXPECT_EQ(r.grid.cell(DayCol(3), 1), "8:00");
  EXPECT_EQ(r.grid.comment(DayCol(3), 1), "");
  // Comments never land anywhere else.
  for (int c = 0; c < 51; ++c) {
    if (c < DayCol(1) || c > DayCol(2)) {
      EXPECT_EQ(r.grid.comment(c, 1), "") << c;
    }
  }
}

TEST(ReportCompute, ProtectedCellKeepsTextWithoutComment) {
  Installation inst;
  inst.employee("A", 1);
  Day(inst, 1, 1, 7, 0, 15, 30);
  Day(inst, 1, 2, 7, 0, 15, 30);
  inst.writeLog(M, Y);
  CombinedReport r = inst.build(M, Y);
  r.grid.setCell(DayCol(2), 1, "=8:00");
  ASSERT_EQ(Compute(inst, r), ReportRun::Completed);
  EXPECT_EQ(r.grid.cell(DayCol(1), 1), "8:30");
  EXPECT_EQ(r.grid.cell(DayCol(2), 1), "=8:00");
  EXPECT_EQ(r.grid.comment(DayCol(2), 1), "");
  EXPECT_EQ(r.grid.cell(rcol::AtWork, 1), "16:30");
}

TEST(ReportCompute, MissingDepartureGetsWarningEightOnTheReport) {
  Installation inst;
  inst.employee("A", 1);
  inst.reg(1, Y, M, 1, 7, 0, 0);  // only an arrival
  Day(inst, 1, 2, 7, 0, 15, 30);
  inst.writeLog(M, Y);
  CombinedReport r = inst.build(M, Y);
  ASSERT_EQ(Compute(inst, r), ReportRun::Completed);
  EXPECT_EQ(r.grid.comment(DayCol(1), 1), "Nedal odchod");
  EXPECT_EQ(r.grid.cell(DayCol(2), 1), "8:30");
}

TEST(ReportCompute, TwoEmployeesOfTheSameNameEachGetTheirOwnRow) {
  Installation inst;
  inst.employee("Peter Kováč", 21);
  inst.employee("Peter Kováč", 22);
  Day(inst, 21, 1, 7, 0, 15, 0);  // 8:00
  Day(inst, 22, 1, 6, 0, 16, 0);  // 10:00
  inst.writeLog(M, Y);
  CombinedReport r = inst.build(M, Y);
  ASSERT_EQ(Compute(inst, r), ReportRun::Completed);
  EXPECT_EQ(r.grid.cell(DayCol(1), 1), "8:00");
  EXPECT_EQ(r.grid.cell(DayCol(1), 2), "10:00");

  // Bound by name when the positions no longer match (a saved report after
  // the list changed): the first employee of that name.
  const auto& list = inst.employees;
  core::Grid g(51, 4);
  g.setCell(0, 1, "Peter Kováč");
  g.setCell(0, 2, "Peter Kováč");
  g.setCell(0, 3, "Peter Kováč");
  EXPECT_EQ(FindReportEmployee(list, g, 1), 0u);
  EXPECT_EQ(FindReportEmployee(list, g, 2), 1u);
  EXPECT_EQ(FindReportEmployee(list, g, 3), 0u);
  g.setCell(0, 2, "Iný");
  EXPECT_FALSE(FindReportEmployee(list, g, 2));
}

TEST(ReportCompute, UnknownNameStopsBeforeTheNextRow) {
  Installation inst;
  inst.employee("A", 1);
  inst.employee("B", 2);
  inst.employee("C", 3);
  for (std::uint16_t card = 1; card <= 3; ++card) Day(inst, card, 1, 7, 0, 15, 0);
  inst.writeLog(M, Y);
  CombinedReport r = inst.build(M, Y);
  r.grid.setCell(0, 2, "Premenovaný");
  std::atomic<bool> stop{false};
  EXPECT_EQ(ComputeReport(r, inst.env(), stop), ReportRun::Stopped);
  EXPECT_TRUE(stop);
  EXPECT_EQ(inst.op.messages, std::vector<std::string>{"Meno pracovnika nenajdene, interna chyba programu"});
  EXPECT_EQ(r.grid.cell(DayCol(1), 1), "8:00");
  EXPECT_EQ(r.grid.cell(DayCol(1), 2), "");
  EXPECT_EQ(r.grid.cell(DayCol(1), 3), "");
  EXPECT_EQ(r.grid.cell(rcol::AtWork, 3), "");

  // F9 does not clear the flag: nothing is computed until something does.
  r.grid.setCell(0, 2, "B");
  EXPECT_EQ(ComputeReport(r, inst.env(), stop), ReportRun::Stopped);
  EXPECT_EQ(r.grid.cell(DayCol(1), 3), "");
  stop = false;
  EXPECT_EQ(ComputeReport(r, inst.env(), stop), ReportRun::Completed);
  EXPECT_EQ(r.grid.cell(DayCol(1), 3), "8:00");
}

TEST(ReportCompute, IdentifierZeroCountsAsNotFound) {
  Installation inst;
  inst.employee("Bez karty", 0);
  inst.writeLog(M, Y);
  CombinedReport r = inst.build(M, Y);
  std::atomic<bool> stop{false};
  EXPECT_FALSE(ComputeReportRow(r, inst.env(), 1, stop));
  EXPECT_TRUE(stop);
  EXPECT_EQ(inst.op.messages.size(), 1u);
  // The totals of a name-less row cannot be found either.
  r.grid.setCell(0, 1, "");
  stop = false;
  EXPECT_FALSE(RecalcReportRow(r, inst.env(), 1, stop));
  EXPECT_TRUE(stop);
}

// The robot refuses an employee without identifier, but the row is still
// the employee's: its totals are added up from what its day cells hold, and
// the computation stops before the next row.
TEST(ReportCompute, IdentifierZeroStopsAfterTheRowsTotals) {
  Installation inst;
  inst.employee("Bez karty", 0, false, false, 510, 0);
  inst.employee("B", 2);
  Day(inst, 2, 1, 7, 0, 15, 0);
  inst.writeLog(M, Y);
  CombinedReport r = inst.build(M, Y);
  r.grid.setCell(DayCol(4), 1, "8:00");  // e.g. kept from a reopened period
  std::atomic<bool> stop{false};
  EXPECT_EQ(ComputeReport(r, inst.env(), stop), ReportRun::Stopped);
  EXPECT_EQ(inst.op.messages, std::vector<std::string>{"Meno pracovnika nenajdene, interna chyba programu"});
  EXPECT_EQ(r.grid.cell(DayCol(4), 1), "8:00");
  EXPECT_EQ(r.grid.cell(rcol::AtWork, 1), "8:00");
  EXPECT_EQ(r.grid.cell(rcol::WorkingDays, 1), "8:00");
  EXPECT_EQ(r.grid.cell(rcol::Net, 1), "8:00");
  EXPECT_EQ(r.grid.cell(rcol::Overtime, 1), "-179:00");  // 187:00 norm
  EXPECT_EQ(r.grid.cell(DayCol(1), 2), "");
  EXPECT_EQ(r.grid.cell(rcol::AtWork, 2), "");
}

TEST(ReportCompute, CancelFromTheProgressStopsBeforeTheNextRow) {
  Installation inst;
  for (std::uint16_t card = 1; card <= 4; ++card) {
    inst.employee("E" + std::to_string(card), card);
    Day(inst, card, 1, 7, 0, 15, 0);
  }
  inst.writeLog(M, Y);
  CombinedReport r = inst.build(M, Y);
  std::atomic<bool> stop{false};
  std::vector<int> seen;
  const auto progress = [&](int row, int rows) {
    seen.push_back(row);
    EXPECT_EQ(rows, 4);
    if (row == 2) stop = true;  // "Zrušiť" pressed while row 2 is announced
  };
  EXPECT_EQ(ComputeReport(r, inst.env(), stop, progress), ReportRun::Stopped);
  EXPECT_EQ(seen, (std::vector<int>{1, 2}));
  EXPECT_EQ(r.grid.cell(DayCol(1), 1), "8:00");
  EXPECT_EQ(r.grid.cell(DayCol(1), 2), "");
  EXPECT_EQ(r.statusRows, "Riadkov:4");
}

TEST(ReportCompute, ReopenedPeriodAnsweredNoChangesNothing) {
  Installation inst;
  inst.employee("A", 1);
  Day(inst, 1, 1, 7, 0, 15, 0);
  inst.writeLog(M, Y);
  CombinedReport r = inst.build(M, Y);
  r.reopenSavedReport = true;
  r.grid.setCell(DayCol(1), 1, "5:00");
  r.grid.setComment(DayCol(2), 1, "poznámka");
  const core::Grid before = r.grid;
  inst.op.yesNoAnswers = {false};
  EXPECT_EQ(Compute(inst, r), ReportRun::Declined);
  EXPECT_EQ(r.grid, before);
  EXPECT_EQ(inst.op.questions, std::vector<std::string>{"POZOR! Želáte si prepísať bunky tabuľky"});
  inst.op.yesNoAnswers = {true};
  EXPECT_EQ(Compute(inst, r), ReportRun::Completed);
  EXPECT_EQ(r.grid.cell(DayCol(1), 1), "8:00");
}

TEST(ReportCompute, MissingLogGivesTheReportMessageForEveryRow) {
  Installation inst;
  inst.employee("A", 1);
  inst.employee("B", 2);
  CombinedReport r = inst.build(M, Y);
  r.grid.setCell(DayCol(1), 1, "8:00");
  EXPECT_EQ(Compute(inst, r), ReportRun::Completed);
  const std::string text = "Nie je možné otvoriť súbor LOG, kde sú zapísané príchody odchody";
  EXPECT_EQ(inst.op.messages, (std::vector<std::string>{text, text}));
  EXPECT_EQ(r.grid.cell(DayCol(1), 1), "8:00");
  EXPECT_EQ(r.grid.cell(rcol::AtWork, 1), "8:00");  // the totals still add up what the row holds
}

// The report parses O, Z and ST items as obstacles and plain work and SK as
// plain work only; the sheet does not count them by the day's kind.
TEST(ReportRecalc, ReportItemsCountedByTheDayKind) {
  struct Case {
    std::string cell;
    int day;
    std::string atWork, obstacles, saturdays, workingDays;
  };
  const Case cases[] = {
      {"O 4:00", 5, "4:00", "4:00", "4:00", ""},
      {"Z 4:00", 5, "4:00", "4:00", "4:00", ""},
      {"ST 2:00", 1, "2:00", "2:00", "", "2:00"},
      {"SK 3:00", 1, "3:00", "", "", "3:00"},
      {"8:00", 1, "8:00", "", "", "8:00"},
      {"V", 1, "", "", "", ""},
      {"=7:30", 5, "7:30", "", "7:30", ""},
  };
  for (const auto& c : cases) {
    Installation inst;
    inst.employee("A", 1, false, false, 510, 0);
    CombinedReport r = inst.build(M, Y);
    r.grid.setCell(DayCol(c.day), 1, c.cell);
    std::atomic<bool> stop{false};
    ASSERT_TRUE(RecalcReportRow(r, inst.env(), 1, stop));
    EXPECT_EQ(r.grid.cell(rcol::AtWork, 1), c.atWork) << c.cell;
    EXPECT_EQ(r.grid.cell(rcol::Obstacles, 1), c.obstacles) << c.cell;
    EXPECT_EQ(r.grid.cell(rcol::Saturdays, 1), c.saturdays) << c.cell;
    EXPECT_EQ(r.grid.cell(rcol::WorkingDays, 1), c.workingDays) << c.cell;
  }
}

TEST(ReportRecalc, NetAndOvertimeFromTheRowsColumns) {
  Installation inst;
  inst.employee("A", 1, false, false, 480, 30);
  CombinedReport r = inst.build(M, Y);  // norm 22 x 8:00 = 176:00
  int filled = 0;
  for (int d = 1; d <= 31 && filled < 20; ++d) {
    if (r.days.kind[static_cast<std::size_t>(d)] != core::DayKind::WorkingDay) continue;
    r.grid.setCell(DayCol(d), 1, "8:30");
    ++filled;
  }
  std::atomic<bool> stop{false};
  ASSERT_TRUE(RecalcReportRow(r, inst.env(), 1, stop));
  EXPECT_EQ(r.grid.cell(rcol::AtWork, 1), "170:00");
  EXPECT_EQ(r.grid.cell(rcol::Breaks, 1), "10:00");
  EXPECT_EQ(r.grid.cell(rcol::Net, 1), "160:00");
  EXPECT_EQ(r.grid.cell(rcol::Overtime, 1), "-16:00");
  // Two vacation days bring it to the norm.
  int vacation = 0;
  for (int d = 31; d >= 1 && vacation < 2; --d) {
    if (r.days.kind[static_cast<std::size_t>(d)] == core::DayKind::WorkingDay && r.grid.cell(DayCol(d), 1).empty()) {
      r.grid.setCell(DayCol(d), 1, "D=8:00");
      ++vacation;
    }
  }
  ASSERT_TRUE(RecalcReportRow(r, inst.env(), 1, stop));
  EXPECT_EQ(r.grid.cell(rcol::Vacation, 1), "16:00");
  EXPECT_EQ(r.grid.cell(rcol::Overtime, 1), "");
}

TEST(ReportCompute, GoClearsStopAndOldCommentsButF9KeepsThem) {
  Installation inst;
  inst.employee("A", 1);
  Day(inst, 1, 1, 7, 0, 15, 0);
  inst.writeLog(M, Y);
  CombinedReport r = inst.build(M, Y);
  r.grid.setComment(DayCol(9), 1, "stará poznámka");
  std::atomic<bool> stop{true};
  EXPECT_EQ(ComputeReport(r, inst.env(), stop), ReportRun::Stopped);
  EXPECT_EQ(r.grid.comment(DayCol(9), 1), "stará poznámka");
  EXPECT_EQ(GoComputeReport(r, inst.env(), stop), ReportRun::Completed);
  EXPECT_FALSE(stop);
  EXPECT_EQ(r.grid.comment(DayCol(9), 1), "");
  EXPECT_EQ(r.grid.cell(DayCol(1), 1), "8:00");
  EXPECT_EQ(ReportDayRecords(r, 1, 1), "PR Normalny 07:00\r\nOD Normalny 15:00\r\n");
  EXPECT_EQ(ReportDayRecords(r, 1, 2), "");
  EXPECT_EQ(ReportDayRecords(r, 0, 1), "");
  EXPECT_EQ(ReportDayRecords(r, 2, 1), "");
  EXPECT_EQ(ReportDayRecords(r, 1, 33), "");
}

TEST(ReportComments, ClearRobotCommentsKeepsHeaderRowAndColumnZero) {
  core::Grid g(51, 3);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 51; c += 10) g.setComment(c, r, "k");
  }
  ClearRobotComments(g);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 51; c += 10) {
      EXPECT_EQ(g.comment(c, r).empty(), r >= 1 && c >= 1) << r << "," << c;
    }
  }
}

// A realistic month of several employees: the log read once for the whole
// report gives exactly what reading it for each row alone gives.
void RealisticMonth(Installation& inst) {
  inst.settings.obedyflag = true;
  inst.employee("Ján Novák", 101);
  inst.employee("Eva Malá", 102, false, true, 480, 30);
  inst.employee("Igor Smena", 103, true, false, 480, 30);
  inst.employee("Nikto", 104);
  inst.employee("Dana Doktorová", 105, false, false, 510, 0);
  for (int d = 1; d <= 31; ++d) {
    const int wd = core::DayOfWeek(Y, M, d);
    if (wd == 1 || wd == 7 || d == 28) continue;
    if (d < 10) {
      inst.reg(101, Y, M, d, 7, d, 0);
      inst.reg(101, Y, M, d, 11, 30, 20);
      inst.reg(101, Y, M, d, 12, 0, 4);
      inst.reg(101, Y, M, d, 15, 30 + d, 16);
    } else if (d == 10) {
      inst.reg(101, Y, M, d, 7, 0, 0);
      inst.reg(101, Y, M, d, 16, 0, 24);  // vacation departure: the next days are vacation
    } else if (d >= 16) {
      inst.reg(101, Y, M, d, 7, 0, 0);
      inst.reg(101, Y, M, d, 15, 0, 16);
    }
    if (d % 3 == 0) {
      inst.reg(102, Y, M, d, 8, 0, 0);
      inst.reg(102, Y, M, d, 10, 0, 17);
      inst.reg(102, Y, M, d, 13, 0, 1);
      inst.reg(102, Y, M, d, 16, 30, 16);
    } else {
      inst.reg(102, Y, M, d, 8, 0, 0);
      inst.reg(102, Y, M, d, 16, 30, 16);
    }
    const int shift = (d / 7) % 3;
    const int start = shift == 0 ? 6 : shift == 1 ? 14 : 22;
    inst.reg(103, Y, M, d, start - 1, 55, 0);
    if (start == 22 && d < 31) {
      inst.reg(103, Y, M, d + 1, 6, 5, 16);
    } else if (start != 22) {
      inst.reg(103, Y, M, d, start + 8, 3, 16);
    }
    inst.reg(105, Y, M, d, 7, 30, 0);
    if (d == 15) {
      inst.reg(105, Y, M, d, 10, 0, 21);  // doctor, last of the day
    } else {
      inst.reg(105, Y, M, d, 16, 0, 16);
    }
  }
  inst.reg(999, Y, M, 2, 8, 0, 0);  // an identifier nobody has
  inst.reg(101, Y, M, 4, 10, 0, 16);  // a second departure on day 4
  inst.reg(102, Y, 4, 1, 8, 0, 0);    // dated in the next month: the month check complains
  inst.log += "nonsense without tabs\r\n05.03.2005 7:40\t105\t0\r\n\r\n";
  inst.writeLog(M, Y);
}

TEST(ReportCompute, LogReadOnceGivesTheSameAsReadingPerRow) {
  Installation inst;
  RealisticMonth(inst);
  CombinedReport once = inst.build(M, Y);
  ASSERT_EQ(Compute(inst, once), ReportRun::Completed);
  const auto messagesOnce = inst.op.messages;

  CombinedReport perRow = inst.build(M, Y);
  inst.op.messages.clear();
  ResetDayRecordLines(perRow);
  std::atomic<bool> stop{false};
  for (int row = 1; row <= perRow.dataRows(); ++row) {
    ASSERT_TRUE(ComputeReportRow(perRow, inst.env(), row, stop));  // reads the log itself
    ASSERT_TRUE(RecalcReportRow(perRow, inst.env(), row, stop));
  }
  EXPECT_EQ(inst.op.messages, messagesOnce);
  EXPECT_EQ(messagesOnce, std::vector<std::string>{"CHYBA v LOG subore\rZapisany nespravny mesiac"});
  for (int row = 1; row < once.grid.rowCount(); ++row) {
    for (int c = 0; c < 51; ++c) {
      EXPECT_EQ(once.grid.cell(c, row), perRow.grid.cell(c, row)) << row << "," << c;
      EXPECT_EQ(once.grid.comment(c, row), perRow.grid.comment(c, row)) << row << "," << c;
    }
  }
  EXPECT_EQ(once.DayRecordLines, perRow.DayRecordLines);
  EXPECT_NE(once.grid.cell(DayCol(1), 1), "");
  EXPECT_EQ(once.grid.cell(DayCol(1), 4), "");  // nobody's registrations for "Nikto"
}

// The report's row agrees with the sheet of the same employee: the same day
// results and totals, where none of the report's listed differences apply.
TEST(ReportCompute, RowsAgreeWithTheSheetsOfTheSameEmployees) {
  Installation inst;
  RealisticMonth(inst);
  CombinedReport r = inst.build(M, Y);
  ASSERT_EQ(Compute(inst, r), ReportRun::Completed);

  // Sheet summary row -> report column.
  const std::pair<int, int> totals[] = {{10, rcol::Norm},      {11, rcol::AtWork},         {12, rcol::Breaks},
                                        {13, rcol::Net},       {14, rcol::Overtime},       {16, rcol::DayShift},
                                        {17, rcol::AfternoonShift}, {18, rcol::NightShift}, {19, rcol::Saturdays},
                                        {20, rcol::Sundays},   {21, rcol::Holidays},       {22, rcol::Vacation},
                                        {23, rcol::Sick},      {24, rcol::Doctor},         {25, rcol::Business},
                                        {26, rcol::Obstacles}};
  for (int row = 1; row <= r.dataRows(); ++row) {
    const core::Employee& e = inst.employees.employees()[static_cast<std::size_t>(row - 1)];
    core::Grid sheet = NewSheetGrid();
    SheetState state;
    testing_support::ScriptedOperator sheetOp;
    RobotInputs in(inst.settings, r.calendar, e, M, Y, inst.logFile(M, Y));
    in.messages = &inst.messages;
    RunSheet(in, sheet, state, sheetOp);
    for (int d = 1; d <= 31; ++d) {
      EXPECT_EQ(r.grid.cell(DayCol(d), row), sheet.cell(4, d)) << e.name << " day " << d;
      const std::string& sheetComment = sheet.cell(5, d);
      if (!sheetComment.empty()) {
        const std::string expected =
            sheetComment.rfind("Dva ", 0) == 0 ? "POZOR: " + sheetComment : sheetComment;
        EXPECT_EQ(r.grid.comment(DayCol(d), row), expected) << e.name << " day " << d;
      }
    }
    for (const auto& [sheetRow, col] : totals) {
      EXPECT_EQ(r.grid.cell(col, row), sheet.cell(1, sheetRow)) << e.name << " total row " << sheetRow;
    }
  }
}

}  // namespace
