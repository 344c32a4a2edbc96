// The engine writing into a combined-report row, one log read for all
// employees, and the minute walk's promise not to allocate.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "robot/robot_engine.h"
#include "robot_fixture.h"

// The replacement below pairs malloc with free on purpose.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
std::atomic<long> g_allocations{0};
std::atomic<bool> g_counting{false};
}  // namespace

// Counts allocations while g_counting is set (this test executable only).
void* operator new(std::size_t n) {
  if (g_counting.load(std::memory_order_relaxed)) g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
  throw std::bad_alloc();
}
// The non-throwing form must come from the same pool: library code (e.g. the
// temporary buffer of std::stable_sort) allocates with it and frees with the
// plain delete.
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  if (g_counting.load(std::memory_order_relaxed)) g_allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(n == 0 ? 1 : n);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

using robot_test::Mar;
using robot_test::ProgramDir;

constexpr int kReportColumns = 51;

struct ReportRun {
  core::Grid grid{kReportColumns, 3};
  std::vector<std::string> lines = std::vector<std::string>(33);
  std::vector<std::string> messages;
  bool ok = false;
  const std::string& day(int d) const { return grid.cell(19 + d, 1); }
  const std::string& note(int d) const { return grid.comment(19 + d, 1); }
};

ReportRun RunReport(const ProgramDir& dir, int month, int year, const core::Grid* start = nullptr,
                    bool preRead = false) {
  testing_support::ScriptedOperator op;
  const auto l = dir.load(op, year);
  ReportRun r;
  if (start) r.grid = *start;
  const core::Employee& e = l.employees.employees()[0];
  const robot::MonthDays days = robot::ClassifyMonth(month, year, l.calendar);
  const auto file = core::MonthLog::FileName(l.settings.logDir(), month, year);
  std::unordered_map<std::uint16_t, core::LogEntries> byCard;
  robot::EmployeeMonth in(l.settings, e, e.workloadMinutes, days, file);
  static const core::LogEntries kNone;
  if (preRead) {
    EXPECT_TRUE(robot::GroupLogByCard(file, byCard));
    const auto it = byCard.find(e.card);
    in.preRead = it != byCard.end() ? &it->second : &kNone;
  }
  robot::RobotTarget target;
  target.mode = robot::RobotMode::Report;
  target.grid = &r.grid;
  target.reportRow = 1;
  target.dayRecordLines = &r.lines;
  robot::AttendanceRobot engine;
  r.ok = engine.run(in, target, op);
  r.messages = op.messages;
  return r;
}

void StandardMonth(ProgramDir& dir, bool shifts) {
  dir.calc("startPDflag", "1");
  dir.employee("R", 4, shifts, false, "100", 0);
  dir.employee("Other", 5);
  dir.log(3, 2021, Mar(1, "8:00:00"), 4, 0)
      .log(3, 2021, Mar(1, "12:00:00"), 4, 16)
      .log(3, 2021, Mar(1, "16:00:00"), 4, 16)
      .log(3, 2021, Mar(1, "9:00:00"), 5, 0)
      .log(3, 2021, Mar(2, "5:40:00"), 4, 0)
      .log(3, 2021, Mar(2, "14:00:00"), 4, 16)
      .log(3, 2021, Mar(3, "8:00:00"), 4, 0)
      .log(3, 2021, Mar(3, "8:30:00"), 4, 0)
      .log(3, 2021, Mar(3, "16:00:00"), 4, 16)
      .log(3, 2021, Mar(4, "8:00:00"), 4, 0)
      .log(3, 2021, Mar(5, "8:00:00"), 4, 0)
      .log(3, 2021, Mar(5, "16:00:00"), 4, 16);
}

TEST(ReportMode, ResultsAndNotesGoToTheRow) {
  ProgramDir dir;
  StandardMonth(dir, false);
  core::Grid start(kReportColumns, 3);
  start.setCell(22, 1, "=8:00");   // day 3, protected
  start.setCell(28, 1, "old");     // day 9, no registration: rewritten
  start.setCell(26, 1, "sobota");  // day 7 (Sunday) without work: kept
  const ReportRun r = RunReport(dir, 3, 2021, &start);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.day(1), "4:00");
  EXPECT_EQ(r.note(1), "POZOR: Dva odchody za sebou");
  // Presence before startPD is not counted and not noted.
  EXPECT_EQ(r.day(2), "8:00");
  EXPECT_EQ(r.note(2), "");
  // Protected: kept, and its warning is still attached to the cell.
  EXPECT_EQ(r.day(3), "=8:00");
  EXPECT_EQ(r.note(3), "POZOR: Dva prichody za sebou");
  // A lone arrival: no departure, noted although the result is empty.
  EXPECT_EQ(r.day(4), "");
  EXPECT_EQ(r.note(4), "Nedal odchod");
  EXPECT_EQ(r.day(5), "8:00");
  EXPECT_EQ(r.day(9), "");
  EXPECT_EQ(r.day(7), "sobota");
  // Nothing goes to the sheet's columns of the row, nor to other rows.
  for (int c = 0; c < 20; ++c) EXPECT_EQ(r.grid.cell(c, 1), "") << c;
  for (int c = 0; c < kReportColumns; ++c) EXPECT_EQ(r.grid.cell(c, 2), "") << c;
  EXPECT_EQ(r.lines[1], "PR Normalny 08:00\r\nOD Normalny 12:00\r\nOD Normalny 16:00\r\n");
  EXPECT_EQ(r.lines[4], "PR Normalny 08:00\r\n");
  EXPECT_EQ(r.lines[6], "");
}

TEST(ReportMode, SameMonthOnTheSheet) {
  ProgramDir dir;
  StandardMonth(dir, false);
  const auto s = dir.run(3, 2021);
  EXPECT_EQ(s.result(1), "4:00");
  EXPECT_EQ(s.comment(1), "Dva odchody za sebou");
  EXPECT_EQ(s.comment(2), "Prichod pred začiatkom prac.doby");
  EXPECT_EQ(s.result(4), "");
  EXPECT_EQ(s.comment(4), "");
}

TEST(ReportMode, ShiftRowIsEmptiedExceptProtectedCells) {
  ProgramDir dir;
  dir.employee("S", 4, true);
  dir.log(3, 2021, Mar(2, "6:00:00"), 4, 0)
      .log(3, 2021, Mar(2, "7:00:00"), 4, 0)
      .log(3, 2021, Mar(2, "14:00:00"), 4, 16);
  core::Grid start(kReportColumns, 3);
  start.setCell(20, 1, "=8:00");
  start.setCell(50, 1, "old");
  start.setCell(3, 1, "totals stay");
  const ReportRun r = RunReport(dir, 3, 2021, &start);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.day(1), "=8:00");
  EXPECT_EQ(r.note(1), "");
  EXPECT_EQ(r.day(2), " DS 8:00");
  EXPECT_EQ(r.note(2), "POZOR: Dva prichody za sebou");
  EXPECT_EQ(r.day(31), "");
  EXPECT_EQ(r.grid.cell(3, 1), "totals stay");
}

TEST(ReportMode, MissingLog) {
  ProgramDir dir;
  dir.employee("S", 4);
  const ReportRun r = RunReport(dir, 6, 2021);
  EXPECT_FALSE(r.ok);
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0], "Nie je možné otvoriť súbor LOG, kde sú zapísané príchody odchody");
}

TEST(ReportMode, OneReadForAllCardsGivesTheSameRow) {
  ProgramDir dir;
  StandardMonth(dir, false);
  const ReportRun fromFile = RunReport(dir, 3, 2021);
  const ReportRun grouped = RunReport(dir, 3, 2021, nullptr, true);
  EXPECT_EQ(fromFile.grid, grouped.grid);
  EXPECT_EQ(fromFile.lines, grouped.lines);
  EXPECT_EQ(fromFile.messages, grouped.messages);
}

// Everything the walk needs is prepared before it starts.
TEST(MinuteWalk, AllocatesNothing) {
  for (const bool shifts : {false, true}) {
    ProgramDir dir;
    dir.calc("okrpr", "1").calc("okrod", "1").calc("ZAOKRPROD", "3").calc("dovflag", "1");
    dir.employee("W", 4, shifts, true, "100", 30);
    for (int d = 1; d <= 31; ++d) {
      dir.log(3, 2021, Mar(d, "7:03:00"), 4, d % 3 == 0 ? 2 : 0)
          .log(3, 2021, Mar(d, "11:00:00"), 4, 20)
          .log(3, 2021, Mar(d, "11:40:00"), 4, 0)
          .log(3, 2021, Mar(d, "15:34:00"), 4, 16 + d % 9);
    }
    testing_support::ScriptedOperator op;
    const auto l = dir.load(op);
    const core::Employee& e = l.employees.employees()[0];
    const robot::MonthDays days = robot::ClassifyMonth(3, 2021, l.calendar);
    robot::EmployeeMonth in(l.settings, e, e.workloadMinutes, days,
                            core::MonthLog::FileName(l.settings.logDir(), 3, 2021));
    core::Grid grid = robot::NewSheetGrid();
    grid.setCell(4, 2, "=4:00");
    robot::RobotTarget target;
    target.grid = &grid;
    robot::AttendanceRobot engine;
    ASSERT_TRUE(engine.loadRecords(in, robot::RobotMode::Sheet, op));
    engine.describeDays(in, target);
    g_allocations = 0;
    g_counting = true;
    engine.walk(in, target);
    g_counting = false;
    EXPECT_EQ(g_allocations.load(), 0) << (shifts ? "shift rules" : "standard rules");
    // The walk did produce the month.
    EXPECT_FALSE(engine.dayOutput(1).resultText().empty());
  }
}

}  // namespace
