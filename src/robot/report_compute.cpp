#include "robot/report_compute.h"

#include <algorithm>

#include "core/text_util.h"
#include "core/time_values.h"

namespace robot {
namespace {

const core::LogEntries kNoEntries;
const std::string kNoText;

// Day-column width from the longest text in it.
int DayColumnWidth(std::size_t longest) {
  if (longest < 4) return 20;
  if (longest <= 5) return 35;
  return 6 * static_cast<int>(longest);
}

void FitDayColumns(CombinedReport& report) {
  for (int c = kReportFirstDayColumn; c < report.grid.columnCount(); ++c) {
    std::size_t longest = 0;
    for (int r = 1; r < report.grid.rowCount(); ++r) {
      longest = std::max(longest, core::utf8Length(report.grid.cell(c, r)));
    }
    report.grid.setColumnWidth(c, DayColumnWidth(longest));
  }
}

void EnsureDayRecordLines(CombinedReport& report, int row) {
  const auto need = static_cast<std::size_t>(std::max(report.dataRows(), row));
  if (report.DayRecordLines.size() < need) {
    report.DayRecordLines.resize(need, std::vector<std::string>(kReportDayEntries));
  }
}

}  // namespace

std::optional<std::size_t> FindReportEmployee(const core::EmployeeList& employees, const core::Grid& grid, int row) {
  const std::string& name = grid.cell(rcol::Name, row);
  const auto& list = employees.employees();
  if (row >= 1 && static_cast<std::size_t>(row - 1) < list.size() &&
      list[static_cast<std::size_t>(row - 1)].name == name) {
    return static_cast<std::size_t>(row - 1);
  }
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].name == name) return i;
  }
  return std::nullopt;
}

void LoadReportLog(const CombinedReport& report, ReportRowCache& cache) {
  cache.byCard.clear();
  cache.logReadable = GroupLogByCard(report.monthLogFile, cache.byCard);
}

bool ComputeReportRow(CombinedReport& report, const ReportEnvironment& env, int row, std::atomic<bool>& StopRequested,
                      ReportRowCache* cache) {
  const auto index = row >= 1 && row < report.grid.rowCount() ? FindReportEmployee(env.employees, report.grid, row)
                                                               : std::nullopt;
  if (!index || env.employees.employees()[*index].card == 0) {
    env.op.showMessage(std::string(kReportNameNotFound));
    StopRequested = true;
    return false;
  }
  const core::Employee& employee = env.employees.employees()[*index];

  EnsureDayRecordLines(report, row);
  auto& lines = report.DayRecordLines[static_cast<std::size_t>(row - 1)];
  lines.assign(kReportDayEntries, std::string());

  EmployeeMonth input{env.settings, employee, employee.workloadMinutes, report.days, report.monthLogFile, nullptr,
                      &env.messages};
  // A missing log is left to the robot, which tells the operator for this
  // row exactly as it would when reading the log for the row alone.
  if (cache != nullptr && cache->logReadable) {
    const auto it = cache->byCard.find(employee.card);
    input.preRead = it != cache->byCard.end() ? &it->second : &kNoEntries;
  }

  RobotTarget target;
  target.mode = RobotMode::Report;
  target.grid = &report.grid;
  target.reportRow = row;
  target.dayRecordLines = &lines;

  if (cache != nullptr) {
    cache->engine.run(input, target, env.op);
  } else {
    AttendanceRobot engine;
    engine.run(input, target, env.op);
  }
  return true;
}

bool RecalcReportRow(CombinedReport& report, const ReportEnvironment& env, int row, std::atomic<bool>& StopRequested) {
  const auto index = row >= 1 && row < report.grid.rowCount() ? FindReportEmployee(env.employees, report.grid, row)
                                                               : std::nullopt;
  if (!index) {
    env.op.showMessage(std::string(kReportNameNotFound));
    StopRequested = true;
    return false;
  }
  const core::Employee& employee = env.employees.employees()[*index];
  const int dailyNorm = employee.workloadMinutes;

  MonthTotals totals;
  for (int d = 1; d <= report.days.days; ++d) {
    if (ParseResultCell(report.grid.cell(kReportFirstDayColumn - 1 + d, row), RobotMode::Report,
                        report.days.kind[static_cast<std::size_t>(d)], dailyNorm, employee.breaks,
                        env.settings.SetPrestCond, totals)) {
      totals.breaks += employee.breaks;
    }
  }

  core::Grid& g = report.grid;
  const auto put = [&](int col, std::int64_t minutes) { g.setCell(col, row, core::MinutesToTimeText(minutes)); };
  put(rcol::AtWork, totals.atWork);
  put(rcol::Breaks, totals.breaks);
  put(rcol::WorkingDays, totals.workingDays);
  put(rcol::Holidays, totals.holidays);
  put(rcol::Saturdays, totals.saturdays);
  put(rcol::Sundays, totals.sundays);
  put(rcol::DayShift, totals.dayShift);
  put(rcol::AfternoonShift, totals.afternoonShift);
  put(rcol::NightShift, totals.nightShift);
  put(rcol::Business, totals.business);
  put(rcol::Doctor, totals.doctor);
  put(rcol::Vacation, totals.vacation);
  put(rcol::Sick, totals.sick);
  put(rcol::Obstacles, totals.obstacles);

  const FinalTotals f = ComputeFinalTotals(g.cell(rcol::Breaks, row), g.cell(rcol::Norm, row),
                                           g.cell(rcol::AtWork, row), g.cell(rcol::Vacation, row),
                                           g.cell(rcol::Doctor, row), g.cell(rcol::Sick, row));
  g.setCell(rcol::Net, row, f.net);
  g.setCell(rcol::Overtime, row, f.overtime);
  return true;
}

void ClearRobotComments(core::Grid& grid) {
  for (int r = 1; r < grid.rowCount(); ++r) {
    for (int c = 1; c < grid.columnCount(); ++c) {
      if (!grid.comment(c, r).empty()) grid.setComment(c, r, std::string());
    }
  }
}

ReportRun ComputeReport(CombinedReport& report, const ReportEnvironment& env, std::atomic<bool>& StopRequested,
                        const ReportProgress& progress) {
  if (report.reopenSavedReport && !env.op.askYesNo(std::string(kReportOverwriteQuestion))) {
    return ReportRun::Declined;
  }
  const int rows = report.dataRows();
  ResetDayRecordLines(report);

  ReportRowCache cache;
  LoadReportLog(report, cache);

  ReportRun outcome = ReportRun::Completed;
  for (int r = 1; r <= rows; ++r) {
    if (progress) progress(r, rows);
    if (StopRequested) {
      outcome = ReportRun::Stopped;
      break;
    }
    // An employee without identifier is refused by the robot, but the row is
    // still theirs and gets the totals of what its cells hold. A row whose
    // name is in no list has already said so; its totals would only repeat
    // the message.
    const bool computed = ComputeReportRow(report, env, r, StopRequested, &cache);
    if (computed || FindReportEmployee(env.employees, report.grid, r)) RecalcReportRow(report, env, r, StopRequested);
  }
  if (outcome == ReportRun::Completed && StopRequested) outcome = ReportRun::Stopped;

  report.statusRows = "Riadkov:" + std::to_string(rows);
  FitDayColumns(report);
  return outcome;
}

ReportRun GoComputeReport(CombinedReport& report, const ReportEnvironment& env, std::atomic<bool>& StopRequested,
                          const ReportProgress& progress) {
  StopRequested = false;
  ClearRobotComments(report.grid);
  RefreshDayKinds(report);
  return ComputeReport(report, env, StopRequested, progress);
}

const std::string& ReportDayRecords(const CombinedReport& report, int row, int day) {
  if (row < 1 || day < 0 || day >= kReportDayEntries) return kNoText;
  const auto index = static_cast<std::size_t>(row - 1);
  if (index >= report.DayRecordLines.size()) return kNoText;
  const auto& days = report.DayRecordLines[index];
  return static_cast<std::size_t>(day) < days.size() ? days[static_cast<std::size_t>(day)] : kNoText;
}

}  // namespace robot
