#pragma once
// The attendance sheet's robot run: the 6 x 32 grid of one employee's month,
// label/value block in columns 0 and 1 (rows 1 to 26), day d in row d
// (columns 2 to 5), and the colour of every row.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>

#include "core/employee_list.h"
#include "core/grid.h"
#include "core/holiday_calendar.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/program_settings.h"
#include "robot/robot_engine.h"

namespace robot {

inline constexpr int kSheetColumns = 6;
inline constexpr int kSheetRows = 32;

// What the sheet window keeps between runs.
struct SheetState {
  std::array<std::uint32_t, kSheetRows> DayColour;  // 0x00BBGGRR per grid row
  bool openedFromFile = false;                      // the grid was loaded from a .dok file
  bool sheetModified = false;                       // cells were edited since the last run or save
  SheetState() { DayColour.fill(kColourWorkingDay); }
};

// Label of block row 1..31 (empty for 15 and 27 to 31).
std::string_view SheetLabel(int row);
// Hint of block row 1..26 ("\r" = line break); empty for other rows.
std::string_view SheetLabelHint(int row);

// Headers after a clear: "Názov", "Údaj", "Den", "Dochádzka", "Výsledok", "Komentár".
void WriteClearStateHeaders(core::Grid& grid);
// Headers while the window shows: "Údaj", "Hodnota", "Deň", "Dochádzka", "Výsledok", "Poznámka".
void WriteShowStateHeaders(core::Grid& grid);
// Widths 120, 80, 40, 200, 100, 100.
void SetSheetColumnWidths(core::Grid& grid);
// A fresh sheet: 6 x 32, widths, clear-state headers, nothing else.
core::Grid NewSheetGrid();

// What a robot run needs.
struct RobotInputs {
  RobotInputs(const core::ProgramSettings& s, const core::HolidayCalendar& c, const core::Employee& e, int m = 1,
              int y = 2000, std::filesystem::path log = {})
      : settings(s), calendar(c), employee(e), month(m), year(y), logFile(std::move(log)) {}
  const core::ProgramSettings& settings;
  const core::HolidayCalendar& calendar;
  const core::Employee& employee;
  int month = 1;
  int year = 2000;
  std::filesystem::path logFile;                     // LOGDIR + month + "_" + year + ".txt"
  const core::LogEntries* preRead = nullptr;         // instead of reading logFile
  const core::MessageCatalogue* messages = nullptr;  // day names; built-in when null
};

// One run of the sheet's robot routines; the pieces can also be called one by one.
class SheetRobot {
 public:
  // Day kinds and the working-day and holiday counts.
  void inithead(int month, int year, const core::HolidayCalendar& calendar);
  // The summary head: clears the grid first when `clear`, sets 32 rows,
  // writes the labels of rows 1 to 31 and the values of rows 1 to 7, 9 and
  // 10, and sets the run's daily norm to the employee's workloadMinutes.
  void initgrid(const core::Employee& employee, core::Grid& grid, bool clear);
  // Log, descriptive columns, colours and the day results. False when the
  // log cannot be read (message shown, no day touched).
  bool make_list(const RobotInputs& in, core::Grid& grid, SheetState& state, core::Operator& op);
  // Totals of column 1 from the result cells of rows 1 to the last day.
  void recalc(const core::Employee& employee, const core::ProgramSettings& settings, core::Grid& grid) const;

  const MonthDays& days() const { return m_days; }
  int dailyNorm() const { return m_dailyNorm; }
  AttendanceRobot& engine() { return m_engine; }

 private:
  MonthDays m_days;
  int m_dailyNorm = 0;
  AttendanceRobot m_engine;
};

// True when the grid holds the sheet of another employee, month or year than
// the given ones (its name, month and year in rows 1 to 3 of column 1); a
// grid that names none of them holds no sheet yet.
bool HoldsAnotherSheet(const core::Grid& grid, const core::Employee& employee, int month, int year);

// The sheet's robot command after its questions: day kinds, grid preparation
// (cleared unless the sheet came from a file or was edited, so "=" results
// and comments survive; always cleared when it holds another employee's or
// another month's sheet, whose cells would otherwise be counted in this
// one's totals), the robot, the totals. Returns false when the log
// could not be read (the head and the totals are written all the same).
// Captions, questions and the modified flag stay with the window.
bool RunSheet(const RobotInputs& in, core::Grid& grid, SheetState& state, core::Operator& op);

// Every employee's sheet of one month, one after another, as they are printed
// for signatures: the month's log is read once and each sheet takes its
// employee's lines from it.
class MonthSheets {
 public:
  MonthSheets(const core::ProgramSettings& settings, const core::HolidayCalendar& calendar,
              const core::EmployeeList& employees, const core::MessageCatalogue& messages, int month, int year,
              std::filesystem::path logFile);
  // Reads the log; false (with the robot's message for a missing log) when
  // it cannot be read.
  bool load(core::Operator& op);
  int count() const { return static_cast<int>(m_employees.size()); }
  // The computed sheet of employee i (valid until the next call).
  const core::Grid& sheet(int i, core::Operator& op);

 private:
  const core::ProgramSettings& m_settings;
  const core::HolidayCalendar& m_calendar;
  const core::EmployeeList& m_employees;
  const core::MessageCatalogue& m_messages;
  int m_month;
  int m_year;
  std::filesystem::path m_logFile;
  std::unordered_map<std::uint16_t, core::LogEntries> m_byCard;
  core::Grid m_grid;
};

// The totals step alone, for the window after an edited result cell.
void RecalcSheet(const core::Employee& employee, const core::ProgramSettings& settings,
                 const core::HolidayCalendar& calendar, int month, int year, core::Grid& grid);

}  // namespace robot
