#pragma once
// The combined monthly report: one grid for one month with a row per
// employee. Columns 0 to 2 identify the employee, 3 to 19 hold the month's
// totals, column 19 + d the result text of day d. Row 0 is the header row.
//
// The report's data lives in CombinedReport; the functions here and in
// report_compute.h / report_files.h work on it. The window shows
// CombinedReport::grid, paints data rows with ReportColumnColour and shows
// DayRecordLines in its hints.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/employee_list.h"
#include "core/grid.h"
#include "core/holiday_calendar.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/program_settings.h"
#include "robot/robot_engine.h"

namespace robot {

inline constexpr int kReportColumns = 51;
inline constexpr int kReportFirstDayColumn = 20;  // day d is column 19 + d
inline constexpr int kReportColourCount = 101;
inline constexpr int kReportDayEntries = 33;  // DayRecordLines texts per employee, index = day

// Column numbers of the totals.
namespace rcol {
inline constexpr int Name = 0;
inline constexpr int PersonalNumber = 1;
inline constexpr int Department = 2;
inline constexpr int AtWork = 3;
inline constexpr int Breaks = 4;
inline constexpr int Net = 5;
inline constexpr int Norm = 6;
inline constexpr int Overtime = 7;
inline constexpr int WorkingDays = 8;
inline constexpr int Holidays = 9;
inline constexpr int Saturdays = 10;
inline constexpr int Sundays = 11;
inline constexpr int DayShift = 12;
inline constexpr int AfternoonShift = 13;
inline constexpr int NightShift = 14;
inline constexpr int Business = 15;
inline constexpr int Doctor = 16;
inline constexpr int Vacation = 17;
inline constexpr int Sick = 18;
inline constexpr int Obstacles = 19;
}  // namespace rcol

// Background colours of the data rows (0x00BBGGRR).
inline constexpr std::uint32_t kReportWhite = 0xFFFFFF;
inline constexpr std::uint32_t kReportSilver = 0xC0C0C0;
inline constexpr std::uint32_t kReportYellow = 0x00FFFF;
inline constexpr std::uint32_t kReportHoliday = 0x80FFFF;
inline constexpr std::uint32_t kReportSaturday = 0xFEDAE0;
inline constexpr std::uint32_t kReportSunday = 0xCAC4FF;

// Header text of columns 0 to 19 ("PN   " keeps its three blanks); empty
// for other columns.
std::string_view ReportHeader(int col);
// Hint of columns 0 to 19 ("\r" is a line break); empty for other columns.
std::string_view ReportColumnHint(int col);

// Everything the report needs from the program's shared data.
struct ReportEnvironment {
  const core::ProgramSettings& settings;
  const core::EmployeeList& employees;
  const core::MessageCatalogue& messages;
  core::Operator& op;
  std::filesystem::path holidayFile;  // sviatky.txt of the program directory
};

struct CombinedReport {
  // The period chosen before the table is built.
  int month = 0;
  int year = 0;
  std::filesystem::path monthLogFile;
  bool reopenSavedReport = false;

  core::Grid grid;
  // Registrations per data row and day: DayRecordLines[row - 1][day], one
  // line "PR "/"OD " + type name + " " + "hh:nn" + CR LF per registration.
  // Filled by a computation only.
  std::vector<std::vector<std::string>> DayRecordLines;
  std::array<std::uint32_t, kReportColourCount> columnColours{};
  core::HolidayCalendar calendar;
  MonthDays days;  // day kinds, working days and holidays of the period

  // Texts for the window: caption and status panels 1 to 3.
  std::string caption;
  std::string statusRows;         // "Riadkov:" + N after a computation
  std::string statusWorkingDays;  // "PD=" + working days
  std::string statusHolidays;     // "Sviatky=" + holidays

  // A report read with "Otvoriť" from another file: its path. Such a table is
  // not the period's own and is never written to the period file.
  std::filesystem::path openedFile;

  int dataRows() const { return grid.rowCount() > 0 ? grid.rowCount() - 1 : 0; }
};

// Background of data-row cells in `col` (white outside 0..100).
std::uint32_t ReportColumnColour(const CombinedReport& report, int col);

// Day label of the header: "d-" + short day name, or "Sviatok" for a holiday.
std::string ReportDayLabel(const MonthDays& days, int day, const core::MessageCatalogue& messages);

// Header of `col` on paper and in exports: a holiday's "Sviatok" keeps its
// day ("17 Sviatok"), so that a printed page or a worksheet is read without
// counting columns; the window shows "Sviatok" alone. Other headers as they
// stand.
std::string ReportPaperHeader(const core::Grid& grid, int col);

// "h:mm" with the hours unbounded and the minutes always two digits; 0 -> "0:00".
std::string NormText(std::int64_t minutes);

// Builds the table for report.month / report.year / report.monthLogFile:
// caption, holiday calendar (loaded from env.holidayFile), one row per
// employee (name, personal number, department, norm), headers, day labels,
// colours, column widths, day kinds and the status texts. Discards whatever
// the table held, the period file included.
void BuildReportTable(CombinedReport& report, const ReportEnvironment& env);

// Day kinds and counts of the period again (the calendar as loaded).
void RefreshDayKinds(CombinedReport& report);

// Empties DayRecordLines to one entry per data row, 33 empty texts each.
void ResetDayRecordLines(CombinedReport& report);

}  // namespace robot
