#pragma once
// The attendance robot's engine: one employee's month from the log to the
// day results, and the reader of result cells that turns them into monthly
// totals. Two callers share it:
//
//  - the attendance sheet (sheet_robot.h: inithead, initgrid, make_list,
//    recalc, RunSheet), which writes day d into row d of a 6 x 32 sheet grid:
//    result in column 4, warnings as text in column 5;
//  - the combined report, which writes day d of an employee into the cell
//    (19 + d, row) of its report grid, attaches warnings as cell comments and
//    fills the registration lines of its hint panel.
//
// How the combined report uses it, per employee row:
//
//    robot::MonthDays days = robot::ClassifyMonth(month, year, calendar);   // once per report
//    robot::AttendanceRobot engine;                                          // reuse for every row
//    robot::RobotTarget target;
//    target.mode = robot::RobotMode::Report;
//    target.grid = &reportGrid;
//    target.reportRow = row;
//    target.dayRecordLines = &dayRecordLines[row - 1];   // 33 texts, index = day; appended to
//    robot::EmployeeMonth input{settings, employee, dailyNorm, days};
//    input.logFile = logFileName;          // or: input.preRead = &entriesOfCard (see GroupLogByCard)
//    engine.run(input, target, op);        // false: log missing, message shown, nothing written
//
// and for the totals of a row:
//
//    robot::MonthTotals totals;
//    for (int d = 1; d <= days.days; ++d)
//      if (robot::ParseResultCell(grid.cell(19 + d, row), robot::RobotMode::Report, days.kind[d],
//                                 dailyNorm, employee.breaks, settings.SetPrestCond, totals))
//        totals.breaks += employee.breaks;
//    ... write the counters with core::MinutesToTimeText, then
//    robot::FinalTotals f = robot::ComputeFinalTotals(breaksText, normText, atWorkText,
//                                                    vacationText, doctorText, sickText);
//
// Differences of the report mode (RobotMode::Report) from the sheet mode:
//  - results go to (19 + d, reportRow); with shifts the row's unprotected day
//    cells (columns 20 to the last) are emptied before the walk;
//  - warnings are cell comments on the day's result cell, attached whatever
//    the cell holds; warnings 1 and 2 read "POZOR: Dva odchody za sebou" and
//    "POZOR: Dva prichody za sebou" (also the shift rules' two-arrivals note);
//  - a protected ("=") cell is kept without the "Rucne pocitane" note;
//  - presence outside the working-time window is not counted but gives no
//    warning 9 or 10;
//  - a day left with an arrival as its last registration gets warning 8
//    "Nedal odchod" whenever it had at least one registration;
//  - a log that cannot be opened: "Nie je možné otvoriť súbor LOG, kde sú
//    zapísané príchody odchody";
//  - no day labels, registration column or colours are written; instead each
//    registration of day d adds "PR "/"OD " + type name + " " + "hh:nn" + CR LF
//    to (*dayRecordLines)[d];
//  - the result-cell parser counts O, Z and ST items as obstacles and plain
//    work, and SK items as plain work only.
//
// Counters are 64-bit: totals above 65535 minutes are shown as they are.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/employee_list.h"
#include "core/grid.h"
#include "core/holiday_calendar.h"
#include "core/messages.h"
#include "core/month_log.h"
#include "core/operator.h"
#include "core/program_settings.h"
#include "core/time_values.h"

namespace robot {

enum class RobotMode { Sheet, Report };

// Texts the robot writes. Shared with the windows and the tests.
namespace text {
inline constexpr std::string_view kTwoDepartures = "Dva odchody za sebou";
inline constexpr std::string_view kTwoArrivals = "Dva prichody za sebou";
inline constexpr std::string_view kReportTwoDepartures = "POZOR: Dva odchody za sebou";
inline constexpr std::string_view kReportTwoArrivals = "POZOR: Dva prichody za sebou";
inline constexpr std::string_view kMaxShiftExceeded = "Prekrocený maximálny cas smeny";
inline constexpr std::string_view kAutoBusiness = "Automatický výpocet Služobnej cesty";
inline constexpr std::string_view kAutoVacation = "Automatický výpocet Dovolenky";
inline constexpr std::string_view kAutoSick = "Automatický výpocet PN";
inline constexpr std::string_view kAutoObstacle = "Automatický výpocet Prekážky";
inline constexpr std::string_view kNoDeparture = "Nedal odchod";
inline constexpr std::string_view kAfterWorkingTime = "Odchod po konci prac.doby";
inline constexpr std::string_view kBeforeWorkingTime = "Prichod pred začiatkom prac.doby";
inline constexpr std::string_view kHandMade = "Rucne pocitane";
inline constexpr std::string_view kShiftTooLong = "Prekrocená max doba smeny";
inline constexpr std::string_view kReportLogMissing =
    "Nie je možné otvoriť súbor LOG, kde sú zapísané príchody odchody";
}  // namespace text

// Comment text of RobotWarning 1..10 in the given mode; empty for other codes.
std::string_view WarningText(int warning, RobotMode mode);

// The days of one month: DayKind per day (index 1..31), the number of working
// days and of holidays (weekend holidays included).
struct MonthDays {
  int month = 1;
  int year = 2000;
  int days = 31;
  std::array<core::DayKind, 32> kind{};
  std::array<int, 32> weekday{};  // 1 = Sunday .. 7 = Saturday
  int workingDays = 0;
  int holidays = 0;
};
// A month outside 1..12 gives zero days.
MonthDays ClassifyMonth(int month, int year, const core::HolidayCalendar& calendar);

// The employee's registrations ordered by time with corrections merged, then
// one closing entry (time 0, code -1). Times in whole seconds.
struct MonthRecords {
  std::vector<core::DateTime> times;
  std::vector<int> codes;
  // Number of real entries (without the closing one).
  std::size_t size() const { return times.empty() ? 0 : times.size() - 1; }
};

// Orders by time (equal times: the one read first first; entries at or before
// the epoch and from 2050 on are left out) and merges corrections: an entry
// less than `corrtime` minutes after the last kept one replaces it.
// `corrtime` below 1 keeps everything.
MonthRecords OrderAndMerge(const core::LogEntries& entries, int corrtime);

// Entries of every card of one month log, read in one pass (file order kept
// within a card). Missing file: false, nothing shown.
bool GroupLogByCard(const std::filesystem::path& file, std::unordered_map<std::uint16_t, core::LogEntries>& out);

// Where one run writes.
struct RobotTarget {
  RobotMode mode = RobotMode::Sheet;
  core::Grid* grid = nullptr;
  int reportRow = 0;                                   // Report: the employee's row
  std::vector<std::string>* dayRecordLines = nullptr;  // Report: index = day (needs 32 entries at least)
  // Sheet: day colours of rows 0..31 (0x00BBGGRR), updated for the month's days.
  std::array<std::uint32_t, 32>* dayColour = nullptr;

  int resultColumn(int day) const { return mode == RobotMode::Sheet ? 4 : 19 + day; }
  int resultRow(int day) const { return mode == RobotMode::Sheet ? day : reportRow; }
};

inline constexpr std::uint32_t kColourWorkingDay = 0xFFFFFF;
inline constexpr std::uint32_t kColourHoliday = 0x00FF00;
inline constexpr std::uint32_t kColourSaturday = 0xFFFF00;
inline constexpr std::uint32_t kColourSunday = 0xC0C0C0;
std::uint32_t DayKindColour(core::DayKind kind);

// Everything one employee-month needs.
struct EmployeeMonth {
  EmployeeMonth(const core::ProgramSettings& s, const core::Employee& e, int norm, const MonthDays& d,
                std::filesystem::path log = {}, const core::LogEntries* entries = nullptr,
                const core::MessageCatalogue* catalogue = nullptr)
      : settings(s),
        employee(e),
        dailyNorm(norm),
        days(d),
        logFile(std::move(log)),
        preRead(entries),
        messages(catalogue) {}
  const core::ProgramSettings& settings;
  const core::Employee& employee;
  int dailyNorm;  // minutes: the employee's workloadMinutes
  const MonthDays& days;
  std::filesystem::path logFile;                     // read when preRead is null
  const core::LogEntries* preRead = nullptr;         // the card's entries, already read from the log
  const core::MessageCatalogue* messages = nullptr;  // day names; built-in names when null
};

// The robot for one employee-month at a time. Buffers are kept between runs,
// so one object serves a whole report. Not thread-safe; one run at a time.
class AttendanceRobot {
 public:
  AttendanceRobot();

  // Reads the log (or takes preRead), orders and merges, checks the month,
  // writes the registration descriptions (sheet: columns 2 and 3 and the day
  // colours; report: dayRecordLines) and evaluates every day into the target.
  // False when the log cannot be opened: the message is shown and nothing is
  // written.
  bool run(const EmployeeMonth& input, RobotTarget& target, core::Operator& op);

  // The same in separate steps (the tests measure the walk on its own).
  bool loadRecords(const EmployeeMonth& input, RobotMode mode, core::Operator& op);
  void describeDays(const EmployeeMonth& input, RobotTarget& target);
  // The minute walk with the day writers. Reads the target's result cells for
  // "=" but writes into internal per-day buffers only: it allocates nothing.
  void walk(const EmployeeMonth& input, const RobotTarget& target);
  // Copies the buffered day results and comments into the target.
  void applyDays(const EmployeeMonth& input, RobotTarget& target);

  const MonthRecords& records() const { return m_records; }

  // The walk passes over stretches in which the employee is away and nothing
  // can change (on by default); the result is the same minute by minute,
  // which the tests check by switching it off.
  void setSkipIdleMinutes(bool on) { m_skipIdleMinutes = on; }

  // What the walk decided for one day (index 1..31).
  struct DayOutput {
    bool resultSet = false;
    std::array<char, 160> result{};
    std::size_t resultLength = 0;
    std::string_view comment;  // last comment of the day; empty when none
    std::string_view resultText() const { return {result.data(), resultLength}; }
  };
  const DayOutput& dayOutput(int day) const { return m_out[static_cast<std::size_t>(day)]; }

 private:
  MonthRecords m_records;
  std::array<DayOutput, 33> m_out{};
  bool m_skipIdleMinutes = true;
};

// Monthly counters of the result-cell reader. 64-bit on purpose.
struct MonthTotals {
  std::int64_t atWork = 0;       // V práci
  std::int64_t breaks = 0;       // Prestávky (added by the caller per breakDay)
  std::int64_t workingDays = 0;  // worked time on working days (report column 8)
  std::int64_t holidays = 0;     // Odpr.sviatky
  std::int64_t saturdays = 0;
  std::int64_t sundays = 0;
  std::int64_t dayShift = 0;
  std::int64_t afternoonShift = 0;
  std::int64_t nightShift = 0;
  std::int64_t business = 0;
  std::int64_t doctor = 0;
  std::int64_t vacation = 0;
  std::int64_t sick = 0;
  std::int64_t obstacles = 0;
  std::int64_t reserve = 0;  // never increased
  std::int64_t workedDays = 0;
};

// Reads one result cell of a day of the given kind into the totals. Returns
// the cell's breakDay: the caller then adds the employee's breaks to
// totals.breaks. Items without a ":" are whole-day items worth `dailyNorm`;
// an item whose ":" is the last character reads as zero minutes.
bool ParseResultCell(std::string_view text, RobotMode mode, core::DayKind kind, int dailyNorm, int breaks,
                     int setPrestCond, MonthTotals& totals);

// A total read back from its text: "h:mm" with both parts decimal numbers
// gives hours * 60 + minutes (no upper limit), anything else 0.
std::int64_t ReadDurationText(std::string_view text);

// Net worked time and overtime from the texts of breaks, norm, time at work,
// vacation, doctor and sick leave. `net` is empty when breaks are not less
// than time at work (time at work then stands in for it); `overtime` is
// "-" + shortfall when short of the norm, else the overtime (empty for 0).
struct FinalTotals {
  std::string net;
  std::string overtime;
};
FinalTotals ComputeFinalTotals(std::string_view breaks, std::string_view norm, std::string_view atWork,
                               std::string_view vacation, std::string_view doctor, std::string_view sick);

}  // namespace robot
