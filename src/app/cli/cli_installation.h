#pragma once
// One installation (a program directory) loaded the way the desktop program
// loads it at start, for every command of the command-line tool that works on
// an installation's files.
//
// Order: message catalogue (language file "vortane.lng" taken from the tool's
// own folder, as the desktop program takes it from its own), program
// directory, settings, employee list, and, when asked for, the holiday
// calendar. Messages the desktop program would show in a box go to the given
// Operator.

#include <filesystem>
#include <optional>
#include <string>

#include "cli_common.h"
#include "core/employee_list.h"
#include "core/holiday_calendar.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/program_settings.h"

namespace cli {

struct Installation {
  core::MessageCatalogue messages;
  core::ProgramDirectory directory;  // directory.dir ends with a separator
  core::ProgramSettings settings;
  core::EmployeeList employees;
  int employeeReadResult = -1;  // what EmployeeList::read returned: 1, or -1 (empty or missing)
  core::HolidayCalendar calendar;
  bool calendarLoaded = false;  // true when sviatky.txt was read without a message
};

struct InstallationOptions {
  bool readEmployees = true;
  // The desktop program warns at start when the list is empty ("POZOR zoznam
  // pracovníkov je prázdny", then "POZOR súbor pracovníkov: <prac.txt>
  // neexistuje\r\rPreinštalujte program"); set to show these warnings too.
  bool employeeWarnings = false;
  bool loadCalendar = false;
  int currentYear = 0;  // year of holiday dates written without one; 0 = this year
};

// Loads the installation in `dir`. On failure returns no value after printing
// what went wrong, and `exitStatus` says how the command must end:
// kBadArguments when `dir` is empty or is not an existing directory, kFailed
// when it holds no vortane.ini ("Neexistuje subor: <vortane.ini>" through `op`).
std::optional<Installation> LoadInstallation(const std::string& dir, core::Operator& op,
                                             const InstallationOptions& options, int& exitStatus);

// The same with the directory taken from the required option "--dir";
// `command` names the command in a usage error.
std::optional<Installation> LoadInstallation(const Args& args, const std::string& command, core::Operator& op,
                                             const InstallationOptions& options, int& exitStatus);

// Folder of the running executable (for the language file).
std::filesystem::path ExecutableDir();

}  // namespace cli
