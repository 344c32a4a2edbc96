// One employee-month computed by the attendance robot, again and again.
// Items per second = employee-months per second.
//
//  BM_RobotEmployeeMonth/standard|shifts: registrations already read (as the
//      combined report hands them over); ordering, descriptive columns, the
//      minute walk, the day results and the totals into a sheet grid.
//  BM_RobotSheetRunWithLog: the sheet's whole robot run including reading
//      the month log file of a 40-employee installation.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

#include "core/employee_list.h"
#include "core/holiday_calendar.h"
#include "core/month_log.h"
#include "core/operator.h"
#include "core/program_settings.h"
#include "core/time_values.h"
#include "robot/robot_engine.h"
#include "robot/sheet_robot.h"

namespace {

class QuietOperator : public core::Operator {
 public:
  void showMessage(const std::string&) override {}
  bool askYesNo(const std::string&, const std::string&) override { return false; }
  std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
};

// A busy month: four registrations on every working day (arrival, lunch out
// and back, departure), some business errands, a doctor visit, a vacation week.
core::LogEntries MonthOf(int card, int month, int year) {
  core::LogEntries e;
  const int days = core::DaysInMonth(month, year);
  for (int d = 1; d <= days; ++d) {
    const int wd = core::DayOfWeek(year, month, d);
    if (wd == 1 || wd == 7) continue;
    if (d >= 22 && d <= 26) continue;  // vacation week
    const int jitter = (d * 7 + card) % 11;
    auto add = [&](int h, int m, int s, int code) {
      e.times.push_back(core::DateTime::fromParts(year, month, d, h, m, s));
      e.codes.push_back(code);
    };
    add(7, 50 + jitter % 9, jitter * 3, d % 5 == 0 ? 2 : 0);
    add(11, 30, 10, 20);
    add(12, 5 + jitter, 0, 0);
    if (d == 9) {
      add(13, 30, 0, 21);
    } else if (d == 19) {
      add(15, 0, 0, 24);
    } else {
      add(16, 20 + jitter, 45, d % 4 == 0 ? 17 : 16);
    }
  }
  return e;
}

core::ProgramSettings Settings() {
  core::ProgramSettings s;
  s.okrpr = true;
  s.okrod = true;
  s.ZAOKRPROD = 15;
  s.obedyflag = true;
  s.dovflag = true;
  s.startPDflag = true;
  s.stopPDflag = true;
  return s;
}

core::Employee Worker(bool shifts) {
  core::Employee e;
  e.name = "Bench Worker";
  e.card = 17;
  e.shiftsAllowed = shifts;
  e.tripsAllowed = true;
  e.workload = "100";
  e.workloadMinutes = 510;
  e.breaks = 30;
  return e;
}

void BM_RobotEmployeeMonth(benchmark::State& state) {
  const bool shifts = state.range(0) != 0;
  const core::ProgramSettings settings = Settings();
  core::HolidayCalendar calendar;
  calendar.setDates({{1990, 1, 1}, {1990, 5, 1}, {1990, 5, 8}});
  const core::Employee employee = Worker(shifts);
  const core::LogEntries entries = MonthOf(employee.card, 5, 2021);
  QuietOperator op;
  robot::SheetRobot sheet;
  core::Grid grid = robot::NewSheetGrid();
  robot::SheetState sheetState;
  robot::RobotInputs in(settings, calendar, employee, 5, 2021);
  in.preRead = &entries;
  for (auto _ : state) {
    sheet.inithead(5, 2021, calendar);
    sheet.initgrid(employee, grid, true);
    sheet.make_list(in, grid, sheetState, op);
    sheet.recalc(employee, settings, grid);
    benchmark::DoNotOptimize(grid.cell(1, 11).data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel("employee-months");
}
BENCHMARK(BM_RobotEmployeeMonth)->Arg(0)->Arg(1)->ArgNames({"shifts"})->Unit(benchmark::kMicrosecond);

void BM_RobotSheetRunWithLog(benchmark::State& state) {
  std::error_code ec;
  const auto dir = std::filesystem::temp_directory_path() / ("robot_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir, ec);
  const auto logFile = dir / "5_2021.txt";
  {
    std::ofstream out(logFile, std::ios::binary);
    for (int card = 1; card <= 40; ++card) {
      const core::LogEntries e = MonthOf(card, 5, 2021);
      for (std::size_t i = 0; i < e.times.size(); ++i)
        out << core::MonthLog::FormatLine({e.times[i], static_cast<std::uint16_t>(card), e.codes[i]}) << "\r\n";
    }
  }
  const core::ProgramSettings settings = Settings();
  core::HolidayCalendar calendar;
  core::Employee employee = Worker(false);
  employee.card = 17;
  QuietOperator op;
  robot::RobotInputs in(settings, calendar, employee, 5, 2021, logFile);
  for (auto _ : state) {
    core::Grid grid = robot::NewSheetGrid();
    robot::SheetState sheetState;
    robot::RunSheet(in, grid, sheetState, op);
    benchmark::DoNotOptimize(grid.cell(1, 11).data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel("employee-months");
  std::filesystem::remove_all(dir, ec);
}
BENCHMARK(BM_RobotSheetRunWithLog)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
