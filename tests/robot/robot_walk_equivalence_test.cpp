// The walk passes over idle stretches; on random months under random rules
// it must give exactly what the plain minute-by-minute walk gives.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/holiday_calendar.h"
#include "core/time_values.h"
#include "robot/robot_engine.h"
#include "robot/sheet_robot.h"
#include "support/test_support.h"

namespace {

core::TimeOfDay RandomTime(std::mt19937& rng) {
  std::uniform_int_distribution<int> minute(0, 1439);
  std::uniform_int_distribution<int> seconds(0, 3);
  const int s = seconds(rng) == 0 ? (std::uniform_int_distribution<int>(0, 59)(rng)) : 0;
  return core::TimeOfDay{minute(rng) * 60 + s};
}

TEST(WalkEquivalence, SkippingIdleMinutesChangesNothing) {
  std::mt19937 rng(20210301);
  auto coin = [&rng] { return std::uniform_int_distribution<int>(0, 1)(rng) == 1; };
  core::HolidayCalendar calendar;
  calendar.setDates({{1990, 3, 15}, {2021, 3, 2}});
  const std::vector<int> steps = {0, 5, 10, 15, 30, 60, 7};
  const std::vector<int> codes = {0, 0, 0,  16, 16, 16, 1,  2,  3,  4,  5,  6,  7,
                                  8, 9, 12, 17, 18, 19, 20, 21, 22, 23, 24, 25, 28};
  for (int round = 0; round < 160; ++round) {
    core::ProgramSettings s;
    s.okrpr = coin();
    s.okrod = coin();
    s.okrsm = coin() && coin();
    s.ZAOKRPROD = steps[std::uniform_int_distribution<std::size_t>(0, steps.size() - 1)(rng)];
    s.startPDflag = coin();
    s.stopPDflag = coin();
    s.startPD = RandomTime(rng);
    s.stopPD = RandomTime(rng);
    s.obedyflag = coin();
    s.obedodpocet = coin();
    s.dovflag = coin();
    s.dovprflag = coin();
    s.dovodflag = coin();
    s.weekendflag = coin();
    s.maxPDflag = coin();
    s.USEDS = coin();
    s.USEPS = coin();
    s.USENS = coin();
    if (coin()) {
      s.startDS = RandomTime(rng);
      s.stopDS = RandomTime(rng);
      s.startPS = RandomTime(rng);
      s.stopPS = RandomTime(rng);
      s.startNS = RandomTime(rng);
      s.stopNS = RandomTime(rng);
    }
    s.corrtime = std::uniform_int_distribution<int>(0, 5)(rng);
    core::Employee e;
    e.card = 3;
    e.shiftsAllowed = round % 2 == 1;
    e.tripsAllowed = coin();
    e.workloadMinutes = 480;
    e.breaks = 30;

    core::LogEntries entries;
    const int count = std::uniform_int_distribution<int>(0, 90)(rng);
    for (int i = 0; i < count; ++i) {
      const int day = std::uniform_int_distribution<int>(0, 32)(rng);  // 0 and 32 fall outside March
      const int sec = std::uniform_int_distribution<int>(0, 86399)(rng);
      entries.times.push_back(core::DateTime::fromParts(2021, 3, 1).addSeconds((day - 1) * 86400LL + sec));
      entries.codes.push_back(codes[std::uniform_int_distribution<std::size_t>(0, codes.size() - 1)(rng)]);
    }

    const robot::MonthDays days = robot::ClassifyMonth(3, 2021, calendar);
    robot::EmployeeMonth in(s, e, e.workloadMinutes, days, {}, &entries);
    core::Grid start = robot::NewSheetGrid();
    start.setCell(4, 4, "=1:00");
    core::Grid grids[2] = {start, start};
    for (int skip = 0; skip < 2; ++skip) {
      testing_support::ScriptedOperator op;
      robot::AttendanceRobot engine;
      engine.setSkipIdleMinutes(skip == 1);
      robot::RobotTarget target;
      target.grid = &grids[skip];
      ASSERT_TRUE(engine.run(in, target, op));
    }
    ASSERT_EQ(grids[0], grids[1]) << "round " << round;
  }
}

}  // namespace
