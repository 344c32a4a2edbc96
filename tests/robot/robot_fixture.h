#pragma once
// A program directory built in a temporary folder for one robot test:
// vortane.ini, prac.txt, sviatky.txt and the month logs, written as the
// installation writes them (Windows-1250, CR LF), then loaded the way the
// program loads them and handed to the sheet's robot run.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/employee_list.h"
#include "core/grid.h"
#include "core/holiday_calendar.h"
#include "core/messages.h"
#include "core/program_settings.h"
#include "robot/sheet_robot.h"
#include "support/test_support.h"

namespace robot_test {

struct SheetResult {
  core::Grid grid;
  robot::SheetState state;
  std::vector<std::string> messages;
  bool ok = false;
  const std::string& result(int day) const { return grid.cell(4, day); }
  const std::string& comment(int day) const { return grid.cell(5, day); }
  const std::string& value(int row) const { return grid.cell(1, row); }
};

class ProgramDir {
 public:
  ProgramDir() { holidays(""); }

  // One CALC key of vortane.ini ("okrpr", "1").
  ProgramDir& calc(const std::string& key, const std::string& value) {
    m_calc += key + "=" + value + "\r\n";
    return *this;
  }
  // One employee line of prac.txt.
  ProgramDir& employee(const std::string& name, int card, bool shifts = false, bool trips = false,
                       const std::string& workload = "100", int breaks = 0, const std::string& personal = "",
                       const std::string& department = "") {
    m_employees += name + "\t" + personal + "\t" + std::to_string(card) + "\t" + department + "\t" +
                   (shifts ? "1" : "0") + "\t" + (trips ? "1" : "0") + "\t" + workload + "\t" + std::to_string(breaks) +
                   "\t\r\n";
    return *this;
  }
  // The whole of sviatky.txt (lines separated by "\n").
  ProgramDir& holidays(const std::string& lines) {
    m_holidays.clear();
    std::size_t start = 0;
    while (start < lines.size()) {
      std::size_t end = lines.find('\n', start);
      if (end == std::string::npos) end = lines.size();
      m_holidays += lines.substr(start, end - start) + "\r\n";
      start = end + 1;
    }
    return *this;
  }
  // One log line "d.M.yyyy H:mm:ss<TAB>card<TAB>code" into the log of month/year.
  ProgramDir& log(int month, int year, const std::string& when, int card, int code) {
    m_logs[{month, year}] += when + "\t" + std::to_string(card) + "\t" + std::to_string(code) + "\r\n";
    return *this;
  }
  // A raw log line (no line end added).
  ProgramDir& logRaw(int month, int year, const std::string& line) {
    m_logs[{month, year}] += line;
    return *this;
  }
  // The log file exists even when it holds no line.
  ProgramDir& emptyLog(int month, int year) {
    m_logs[{month, year}] += "";
    return *this;
  }

  void write() const {
    testing_support::WriteCp1250(m_dir / "vortane.ini", "[GLOBAL]\r\n[CALC]\r\n" + m_calc);
    testing_support::WriteCp1250(m_dir / "prac.txt", ";Zoznam pracovnikov\r\n" + m_employees);
    testing_support::WriteCp1250(m_dir / "sviatky.txt", m_holidays);
    std::filesystem::create_directories(m_dir.path() / "Log");
    for (const auto& [key, text] : m_logs) {
      testing_support::WriteCp1250(
          m_dir.path() / "Log" / (std::to_string(key.first) + "_" + std::to_string(key.second) + ".txt"), text);
    }
  }

  struct Loaded {
    core::MessageCatalogue messages;
    core::ProgramSettings settings;
    core::EmployeeList employees;
    core::HolidayCalendar calendar;
  };
  Loaded load(testing_support::ScriptedOperator& op, int currentYear = 2021) const {
    write();
    Loaded l;
    core::ProgramDirectory pd{m_dir.path()};
    l.settings = core::LoadSettings(pd, l.messages, op);
    l.employees.read(pd.employeeFile(), l.settings.normaPDminutes);
    l.calendar.load(pd.holidayFile(), currentYear, l.messages, op);
    return l;
  }

  // A robot run for the employee at `index` as the sheet window does it.
  // `start` is the grid before the run (a stored sheet); a fresh sheet when null.
  SheetResult run(int month, int year, std::size_t index = 0, const core::Grid* start = nullptr,
                  bool modified = false) const {
    testing_support::ScriptedOperator op;
    const Loaded l = load(op, year);
    SheetResult r;
    r.grid = start ? *start : robot::NewSheetGrid();
    r.state.openedFromFile = start != nullptr;
    r.state.sheetModified = modified;
    const core::Employee& e = l.employees.employees().at(index);
    robot::RobotInputs in(l.settings, l.calendar, e, month, year,
                          core::MonthLog::FileName(l.settings.logDir(), month, year));
    in.messages = &l.messages;
    r.ok = robot::RunSheet(in, r.grid, r.state, op);
    r.messages = op.messages;
    return r;
  }

  const std::filesystem::path& path() const { return m_dir.path(); }

 private:
  testing_support::TempDir m_dir;
  std::string m_calc;
  std::string m_employees;
  std::string m_holidays;
  std::map<std::pair<int, int>, std::string> m_logs;
};

// "d.M.yyyy H:mm:ss" of a day of March 2021 (the month most tests use:
// Monday the 1st; weekends 6-7, 13-14, 20-21, 27-28).
inline std::string Mar(int day, const std::string& time) { return std::to_string(day) + ".3.2021 " + time; }

}  // namespace robot_test
