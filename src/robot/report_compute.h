#pragma once
// The combined report's computation: the attendance robot once per employee
// row (results into the row's day cells, warnings as cell comments) and the
// totals of a row from its day cells.

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "robot/report_table.h"

namespace robot {

inline constexpr std::string_view kReportNameNotFound = "Meno pracovnika nenajdene, interna chyba programu";
inline constexpr std::string_view kReportOverwriteQuestion = "POZOR! Želáte si prepísať bunky tabuľky";

// Index in the employee list of the employee that `row` belongs to: the
// employee at position row - 1 when its name equals the row's name (so two
// employees of the same name each get their own row), otherwise the first
// employee of that name (a saved report binds rows by name). No value when
// no employee has the name.
std::optional<std::size_t> FindReportEmployee(const core::EmployeeList& employees, const core::Grid& grid, int row);

// What a full computation keeps from row to row: the month's log read once
// and grouped by identifier, and one robot whose buffers every row reuses.
struct ReportRowCache {
  bool logReadable = false;
  std::unordered_map<std::uint16_t, core::LogEntries> byCard;
  AttendanceRobot engine;
};

// Reads report.monthLogFile once into `cache`.
void LoadReportLog(const CombinedReport& report, ReportRowCache& cache);

// The robot for one row. The row's DayRecordLines are rebuilt. Without a
// cache the employee's lines are read from the log directly. A row whose
// name matches no employee, or whose employee has identifier 0, shows
// kReportNameNotFound, sets StopRequested and returns false without
// touching the row. An unreadable log shows the robot's message for the row
// and leaves its cells as they are (returns true: the row was handled).
bool ComputeReportRow(CombinedReport& report, const ReportEnvironment& env, int row,
                      std::atomic<bool>& StopRequested, ReportRowCache* cache = nullptr);

// Totals of one row from its day cells (columns 3, 4, 5, 7 to 19). A row
// whose name matches no employee shows kReportNameNotFound, sets
// StopRequested and writes nothing (false).
bool RecalcReportRow(CombinedReport& report, const ReportEnvironment& env, int row, std::atomic<bool>& StopRequested);

// Removes the cell comments of rows 1 and below, columns 1 and right.
void ClearRobotComments(core::Grid& grid);

enum class ReportRun {
  Completed,  // every row computed
  Declined,   // the operator answered No to the overwrite question: nothing changed
  Stopped,    // StopRequested ended it before a row; earlier rows keep their results
};

// Called before each row with the row number and the number of data rows;
// the window advances its progress bar, shows "Výpočet riadku:" + row and
// lets the user interface run (where "Zrušiť" may set StopRequested).
using ReportProgress = std::function<void(int row, int rows)>;

// The full computation over every data row of the table. With
// reopenSavedReport the operator is asked kReportOverwriteQuestion first.
// StopRequested is tested (not cleared) before each row. The month's log is
// read once. Afterwards statusRows is "Riadkov:" + N and the day columns get
// widths fitting their texts.
ReportRun ComputeReport(CombinedReport& report, const ReportEnvironment& env, std::atomic<bool>& StopRequested,
                        const ReportProgress& progress = {});

// The window's "GO": clears StopRequested and every robot comment, takes
// the day kinds afresh and runs ComputeReport. ("Vypracuj Dochadzku" calls
// ComputeReport directly and clears neither.)
ReportRun GoComputeReport(CombinedReport& report, const ReportEnvironment& env, std::atomic<bool>& StopRequested,
                          const ReportProgress& progress = {});

// The registration lines of a data row and day for the window's hint and
// note panel; empty before a computation and for anything outside the table.
const std::string& ReportDayRecords(const CombinedReport& report, int row, int day);

}  // namespace robot
