#pragma once
// An installation in a temporary folder for the combined report's tests:
// settings with LOGDIR in the folder, an employee list, a holiday file and a
// month log written line by line.

#include <string>

#include "core/employee_list.h"
#include "core/messages.h"
#include "core/month_log.h"
#include "core/program_settings.h"
#include "robot/report_compute.h"
#include "robot/report_files.h"
#include "robot/report_table.h"
#include "support/test_support.h"

namespace report_test {

struct Installation {
  testing_support::TempDir dir;
  core::ProgramSettings settings;
  core::EmployeeList employees;
  core::MessageCatalogue messages;
  testing_support::ScriptedOperator op;
  std::string log;

  Installation() {
    settings.LOGDIR = testing_support::FolderText(dir.path() / "logs");
    std::filesystem::create_directories(dir.path() / "logs");
    holidays("; sviatky\r\n1.1.1990\r\n28.3.2005\r\n");
  }

  core::ProgramDirectory programDir() const { return core::ProgramDirectory{dir.path()}; }
  std::filesystem::path holidayFile() const { return dir.path() / "sviatky.txt"; }

  void holidays(const std::string& text) { testing_support::WriteCp1250(holidayFile(), text); }

  core::Employee& employee(const std::string& name, std::uint16_t card, bool shifts = false, bool trips = false,
                           std::uint16_t workloadMinutes = 510, int breaks = 30) {
    core::Employee e;
    e.name = name;
    e.personalNumber = "P" + std::to_string(card);
    e.card = card;
    e.department = card % 2 ? "Výroba" : "Sklad";
    e.shiftsAllowed = shifts;
    e.tripsAllowed = trips;
    e.workload = "100";
    e.workloadMinutes = workloadMinutes;
    e.breaks = breaks;
    employees.employees().push_back(e);
    return employees.employees().back();
  }

  // One registration: card, date, time, recordCode.
  void reg(std::uint16_t card, int year, int month, int day, int hour, int minute, int code) {
    log += core::MonthLog::FormatLine({core::DateTime::fromParts(year, month, day, hour, minute), card, code}) + "\r\n";
  }

  std::filesystem::path logFile(int month, int year) const {
    return core::MonthLog::FileName(settings.logDir(), month, year);
  }
  void writeLog(int month, int year) { testing_support::WriteBytes(logFile(month, year), log); }

  robot::ReportEnvironment env() { return robot::ReportEnvironment{settings, employees, messages, op, holidayFile()}; }

  robot::CombinedReport build(int month, int year) {
    robot::CombinedReport r;
    r.month = month;
    r.year = year;
    r.monthLogFile = logFile(month, year);
    robot::BuildReportTable(r, env());
    return r;
  }
};

}  // namespace report_test
