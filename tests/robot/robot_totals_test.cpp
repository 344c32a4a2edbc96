// The result-cell reader, the final totals, the ordering of registrations,
// and monthly totals beyond the range of 16-bit counters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "robot/robot_engine.h"
#include "robot_fixture.h"

namespace {

using core::DayKind;
using robot::MonthTotals;
using robot::RobotMode;

struct CellCase {
  const char* name;
  const char* text;
  RobotMode mode;
  DayKind kind;
  bool breakDay;
  MonthTotals want;
};

void PrintTo(const CellCase& c, std::ostream* os) { *os << c.name; }

class ResultCell : public ::testing::TestWithParam<CellCase> {};

// Daily norm 510, breaks 30, SetPrestCond 360 in every case.
TEST_P(ResultCell, Counts) {
  const CellCase& c = GetParam();
  MonthTotals t;
  EXPECT_EQ(robot::ParseResultCell(c.text, c.mode, c.kind, 510, 30, 360, t), c.breakDay);
  const MonthTotals& w = c.want;
  EXPECT_EQ(t.atWork, w.atWork);
  EXPECT_EQ(t.breaks, 0);
  EXPECT_EQ(t.workingDays, w.workingDays);
  EXPECT_EQ(t.holidays, w.holidays);
  EXPECT_EQ(t.saturdays, w.saturdays);
  EXPECT_EQ(t.sundays, w.sundays);
  EXPECT_EQ(t.dayShift, w.dayShift);
  EXPECT_EQ(t.afternoonShift, w.afternoonShift);
  EXPECT_EQ(t.nightShift, w.nightShift);
  EXPECT_EQ(t.business, w.business);
  EXPECT_EQ(t.doctor, w.doctor);
  EXPECT_EQ(t.vacation, w.vacation);
  EXPECT_EQ(t.sick, w.sick);
  EXPECT_EQ(t.obstacles, w.obstacles);
  EXPECT_EQ(t.workedDays, w.workedDays);
}

constexpr RobotMode S = RobotMode::Sheet;
constexpr RobotMode R = RobotMode::Report;
constexpr DayKind W = DayKind::WorkingDay;

INSTANTIATE_TEST_SUITE_P(
    Items, ResultCell,
    ::testing::Values(
        CellCase{"PlainWorkingDay", "7:45", S, W, true, {.atWork = 465, .workingDays = 435, .workedDays = 1}},
        CellCase{"ShortDayNoBreak", "5:59", S, W, false, {.atWork = 359, .workingDays = 359, .workedDays = 1}},
        CellCase{"SeveralItems",
                 "7:45 sc 1:00 LK 0:30",
                 S,
                 W,
                 true,
                 {.atWork = 525, .workingDays = 435, .business = 60, .doctor = 30, .workedDays = 1}},
        CellCase{"VacationDay", "D 08:30", S, W, false, {.vacation = 510}},
        CellCase{"LowerCaseVacation", " d 2:00", S, W, false, {.vacation = 120}},
        CellCase{"SickWholeDay", "PN", S, W, false, {.sick = 510}},
        CellCase{"SickOS", "OS 4:00", S, W, false, {.sick = 240}},
        CellCase{
            "SaturdayWork", "4:00", S, DayKind::Saturday, false, {.atWork = 240, .saturdays = 240, .workedDays = 1}},
        CellCase{"SundayWork", "9:00", S, DayKind::Sunday, true, {.atWork = 540, .sundays = 510, .workedDays = 1}},
        CellCase{"HolidayWork", "2:30", S, DayKind::Holiday, false, {.atWork = 150, .holidays = 150, .workedDays = 1}},
        CellCase{"SingleMinuteDigit", "8:5", S, W, true, {.atWork = 530, .workingDays = 500, .workedDays = 1}},
        CellCase{"ColonLast", "8:", S, W, true, {.atWork = 480, .workingDays = 450, .workedDays = 1}},
        CellCase{"HoursAbove23", "25:00", S, W, false, {.workedDays = 1}},
        CellCase{"ThreeDigitHoursUseTwo", "125:00", S, W, false, {.workedDays = 1}},
        CellCase{"AbsenceMarkA", "8:00 A", S, W, false, {}}, CellCase{"AbsenceMarkNV", "NV 8:00", S, W, false, {}},
        CellCase{"AbsenceMarkVO", "vo 8:00", S, W, false, {}}, CellCase{"UnknownWholeDayStops", "xx", S, W, false, {}},
        CellCase{"HandMade", "=8:30", S, W, true, {.atWork = 510, .workingDays = 480, .workedDays = 1}},
        CellCase{"BusinessDay", "sc 09:00", S, W, true, {.atWork = 540, .business = 540, .workedDays = 1}},
        CellCase{"DayShiftLong",
                 " DS 8:00",
                 S,
                 W,
                 true,
                 {.atWork = 480, .workingDays = 450, .dayShift = 450, .workedDays = 1}},
        CellCase{"TwoShiftsShort",
                 " PS 0:10 NS 2:00",
                 S,
                 W,
                 false,
                 {.atWork = 130, .workingDays = 130, .afternoonShift = 10, .nightShift = 120, .workedDays = 1}},
        CellCase{"ObstacleSheet", "O 4:00", S, DayKind::Saturday, false, {.atWork = 240, .obstacles = 240}},
        CellCase{"ObstacleReport",
                 "O 4:00",
                 R,
                 DayKind::Saturday,
                 false,
                 {.atWork = 240, .saturdays = 240, .obstacles = 240, .workedDays = 1}},
        CellCase{"ObstacleZSheet", "Z 1:00", S, W, false, {.atWork = 60, .obstacles = 60}},
        CellCase{"ObstacleZReport",
                 "Z 7:00",
                 R,
                 W,
                 true,
                 {.atWork = 420, .workingDays = 390, .obstacles = 420, .workedDays = 1}},
        CellCase{"StSheet", "ST 2:00", S, W, false, {.atWork = 120, .obstacles = 120, .workedDays = 1}},
        CellCase{
            "StReport", "ST 2:00", R, W, false, {.atWork = 120, .workingDays = 120, .obstacles = 120, .workedDays = 1}},
        CellCase{"SkSheet", "SK 3:00", S, W, false, {.atWork = 180, .workedDays = 1}},
        CellCase{"SkReport", "SK 3:00", R, W, false, {.atWork = 180, .workingDays = 180, .workedDays = 1}},
        CellCase{"DoctorOnly", "LK 1:30", S, W, false, {.doctor = 90, .workedDays = 1}},
        CellCase{"EmptyCell", "", S, W, false, {}}),
    [](const auto& tp) { return std::string(tp.param.name); });

TEST(FinalTotals, OvertimeAndShortfall) {
  struct Case {
    const char* breaks;
    const char* norm;
    const char* atWork;
    const char* vacation;
    const char* doctor;
    const char* sick;
    const char* net;
    const char* overtime;
  };
  const std::vector<Case> cases = {
      {"", "176:00", "170:00", "8:00", "", "", "170:00", "2:00"},
      {"", "176:00", "160:00", "8:00", "", "", "160:00", "-8:00"},
      {"10:00", "176:00", "186:00", "", "", "", "176:00", ""},
      {"1:00", "100:00", "90:00", "2:00", "3:00", "4:00", "89:00", "-2:00"},
      // Breaks not below time at work: net left empty, time at work stands in.
      {"5:00", "10:00", "5:00", "", "", "", "", "-5:00"},
      {"", "0:00", "", "", "", "", "", ""},
      // Texts that are not "h:mm" read as zero.
      {"", "7:30:00", "1:00", "", "", "", "1:00", "1:00"},
      // Far beyond 16-bit minute counters.
      {"", "1200:00", "2230:27", "", "", "", "2230:27", "1030:27"},
  };
  for (const Case& c : cases) {
    const auto f = robot::ComputeFinalTotals(c.breaks, c.norm, c.atWork, c.vacation, c.doctor, c.sick);
    EXPECT_EQ(f.net, c.net) << c.norm << " " << c.atWork;
    EXPECT_EQ(f.overtime, c.overtime) << c.norm << " " << c.atWork;
  }
}

TEST(FinalTotals, ReadDurationText) {
  EXPECT_EQ(robot::ReadDurationText("8:30"), 510);
  EXPECT_EQ(robot::ReadDurationText("0:00"), 0);
  EXPECT_EQ(robot::ReadDurationText("70000:05"), 4200005);
  EXPECT_EQ(robot::ReadDurationText("7:30:00"), 0);
  EXPECT_EQ(robot::ReadDurationText("-8:00"), 0);
  EXPECT_EQ(robot::ReadDurationText(""), 0);
  EXPECT_EQ(robot::ReadDurationText("8"), 0);
  EXPECT_EQ(robot::ReadDurationText(":30"), 0);
}

// Hand-made results can exceed 65535 minutes in a month: shown as they are.
TEST(FinalTotals, NoOverflowOfMonthlyCounters) {
  robot_test::ProgramDir dir;
  dir.employee("A", 1);
  dir.emptyLog(3, 2021);
  auto r = dir.run(3, 2021);
  for (int d = 1; d <= 31; ++d) r.grid.setCell(4, d, "=23:59 23:59 23:59");
  testing_support::ScriptedOperator op;
  const auto l = dir.load(op);
  robot::RecalcSheet(l.employees.employees()[0], l.settings, l.calendar, 3, 2021, r.grid);
  // 31 x 3 x 1439 = 133827 minutes.
  EXPECT_EQ(r.grid.cell(1, 11), "2230:27");
  EXPECT_EQ(r.grid.cell(1, 13), "2230:27");
  // Norm 23 x 510 = 11730: 122097 minutes over.
  EXPECT_EQ(r.grid.cell(1, 14), "2034:57");
  EXPECT_EQ(r.grid.cell(1, 8), "31");
}

struct MergeCase {
  const char* name;
  int corrtime;
  std::vector<std::pair<int, int>> in;   // (seconds after 1.3.2021 8:00, code) in file order
  std::vector<std::pair<int, int>> out;  // the same after ordering and merging
};

TEST(OrderAndMerge, Table) {
  const std::vector<MergeCase> cases = {
      {"CorrectionWithinWindow", 5, {{0, 0}, {180, 16}}, {{180, 16}}},
      {"OutsideWindow", 5, {{0, 0}, {300, 16}}, {{0, 0}, {300, 16}}},
      {"JustInsideWindow", 5, {{0, 0}, {299, 16}}, {{299, 16}}},
      {"ChainLeavesLast", 5, {{0, 0}, {200, 1}, {400, 2}, {600, 3}}, {{600, 3}}},
      {"CorrectionsOff", 0, {{0, 0}, {0, 0}}, {{0, 0}, {0, 0}}},
      {"NegativeCorrtimeOff", -3, {{0, 0}, {60, 16}}, {{0, 0}, {60, 16}}},
      {"SortedByTime", 0, {{600, 16}, {0, 0}, {300, 4}}, {{0, 0}, {300, 4}, {600, 16}}},
      // Equal times: the one read first comes first.
      {"TiesKeepFileOrder", 0, {{60, 16}, {60, 24}, {0, 0}}, {{0, 0}, {60, 16}, {60, 24}}},
      {"TieCorrectedByLaterRead", 5, {{60, 16}, {60, 24}}, {{60, 24}}},
  };
  const core::DateTime base = core::DateTime::fromParts(2021, 3, 1, 8, 0, 0);
  for (const MergeCase& c : cases) {
    core::LogEntries e;
    for (const auto& [s, code] : c.in) {
      e.times.push_back(base.addSeconds(s));
      e.codes.push_back(code);
    }
    const auto m = robot::OrderAndMerge(e, c.corrtime);
    ASSERT_EQ(m.size(), c.out.size()) << c.name;
    for (std::size_t i = 0; i < c.out.size(); ++i) {
      EXPECT_EQ(m.times[i], base.addSeconds(c.out[i].first)) << c.name << " " << i;
      EXPECT_EQ(m.codes[i], c.out[i].second) << c.name << " " << i;
    }
    EXPECT_EQ(m.times.back().secs, 0) << c.name;
    EXPECT_EQ(m.codes.back(), -1) << c.name;
  }
}

TEST(OrderAndMerge, LeavesOutUnusableTimes) {
  core::LogEntries e;
  e.times = {core::DateTime{0}, core::DateTime::fromParts(2050, 1, 2), core::DateTime::fromParts(2021, 3, 1, 8)};
  e.codes = {0, 0, 16};
  const auto m = robot::OrderAndMerge(e, 5);
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m.codes[0], 16);
}

}  // namespace
