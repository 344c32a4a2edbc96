// Inspection commands: what the program reads from an installation's files.
//   employees --dir DIR                      one line per employee, list order
//   settings  --dir DIR                      key=value per setting as loaded
//   holidays  --dir DIR --month M --year Y   one line per day: day, DayKind name
// Fields are tab-separated, UTF-8; messages the desktop program would show in
// a box go to stderr.

#include <cstdio>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "cli_common.h"
#include "cli_installation.h"
#include "core/time_values.h"

namespace cli {
namespace {

void printLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
}

int RunEmployees(const Args& args) {
  core::CliOperator op;
  InstallationOptions options;
  options.employeeWarnings = true;
  int status = kOk;
  const auto inst = LoadInstallation(args, "employees", op, options, status);
  if (!inst) return status;
  for (const auto& e : inst->employees.employees()) {
    std::string line;
    line += escapeField(e.name) + '\t';
    line += escapeField(e.personalNumber) + '\t';
    line += std::to_string(e.card) + '\t';
    line += escapeField(e.department) + '\t';
    line += std::string(e.shiftsAllowed ? "1" : "0") + '\t';
    line += std::string(e.tripsAllowed ? "1" : "0") + '\t';
    line += escapeField(e.workload) + '\t';
    line += std::to_string(e.workloadMinutes) + '\t';
    line += std::to_string(e.breaks);
    printLine(line);
  }
  std::fflush(stdout);
  // An existing list without employees is a valid (empty) answer; a missing
  // prac.txt is not.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(inst->directory.employeeFile(), ec)) return kFailed;
  return kOk;
}

std::vector<std::pair<std::string, std::string>> SettingsLines(const core::ProgramSettings& s) {
  auto flag = [](bool b) { return std::string(b ? "1" : "0"); };
  auto time = [](core::TimeOfDay t) { return core::ClockText(t); };
  auto num = [](int v) { return std::to_string(v); };
  return {
      {"ComPort", num(s.ComPort)},
      {"Rate", num(s.Rate)},
      {"type", num(s.type)},
      {"CHGINOUT", num(s.CHGINOUT)},
      {"TESTBAT", flag(s.TESTBAT)},
      {"LOGDIR", s.LOGDIR},
      {"PortName", s.PortName},
      {"AUTODNL", flag(s.AUTODNL)},
      {"MINIMALIZE", flag(s.MINIMALIZE)},
      {"okrpr", flag(s.okrpr)},
      {"okrod", flag(s.okrod)},
      {"okrsm", flag(s.okrsm)},
      {"ZAOKRPROD", num(s.ZAOKRPROD)},
      {"startDS", time(s.startDS)},
      {"stopDS", time(s.stopDS)},
      {"startPS", time(s.startPS)},
      {"stopPS", time(s.stopPS)},
      {"startNS", time(s.startNS)},
      {"stopNS", time(s.stopNS)},
      {"USEDS", flag(s.USEDS)},
      {"USEPS", flag(s.USEPS)},
      {"USENS", flag(s.USENS)},
      {"normaPD", time(s.normaPD)},
      {"autoSL", flag(s.autoSL)},
      {"autodov", flag(s.autodov)},
      {"autoPN", flag(s.autoPN)},
      {"autoprek", flag(s.autoprek)},
      {"dovflag", flag(s.dovflag)},
      {"dovprflag", flag(s.dovprflag)},
      {"dovodflag", flag(s.dovodflag)},
      {"dovPR", time(s.dovPR)},
      {"dovOD", time(s.dovOD)},
      {"maxPDflag", flag(s.maxPDflag)},
      {"maxPD", time(s.maxPD)},
      {"startPDflag", flag(s.startPDflag)},
      {"startPD", time(s.startPD)},
      {"stopPDflag", flag(s.stopPDflag)},
      {"stopPD", time(s.stopPD)},
      {"obedyflag", flag(s.obedyflag)},
      {"obedcas", num(s.obedcas)},
      {"obedodpocet", flag(s.obedodpocet)},
      {"weekendflag", flag(s.weekendflag)},
      {"nightflag", flag(s.nightflag)},
      {"startSLflag", flag(s.startSLflag)},
      {"stopSLflag", flag(s.stopSLflag)},
      {"startSL", time(s.startSL)},
      {"stopSL", time(s.stopSL)},
      {"SetPrestCond", num(s.SetPrestCond)},
      {"startLEKflag", flag(s.startLEKflag)},
      {"stopLEKflag", flag(s.stopLEKflag)},
      {"startLEK", time(s.startLEK)},
      {"stopLEK", time(s.stopLEK)},
      {"corrtime", num(s.corrtime)},
      {"NAME", s.partner.NAME},
      {"LOCATION", s.partner.LOCATION},
      {"TEL", s.partner.TEL},
      {"FAX", s.partner.FAX},
      {"EMAIL", s.partner.EMAIL},
      {"WWW", s.partner.WWW},
      {"normaPD.minutes", num(s.normaPDminutes)},
  };
}

int RunSettings(const Args& args) {
  core::CliOperator op;
  InstallationOptions options;
  options.readEmployees = false;
  int status = kOk;
  const auto inst = LoadInstallation(args, "settings", op, options, status);
  if (!inst) return status;
  for (const auto& [key, value] : SettingsLines(inst->settings)) printLine(key + "=" + escapeField(value));
  std::fflush(stdout);
  return kOk;
}

int RunHolidays(const Args& args) {
  if (!args.has("dir")) return usageError("holidays", "--dir DIR is required");
  const auto month = args.integer("month", 1, 12);
  if (!month) return usageError("holidays", "--month must be a number from 1 to 12");
  const auto year = args.integer("year", 1900, 9999);
  if (!year) return usageError("holidays", "--year must be a number from 1900 to 9999");
  core::CliOperator op;
  InstallationOptions options;
  options.readEmployees = false;
  options.loadCalendar = true;
  int status = kOk;
  const auto inst = LoadInstallation(args, "holidays", op, options, status);
  if (!inst) return status;
  const int m = static_cast<int>(*month);
  const int y = static_cast<int>(*year);
  for (int d = 1; d <= core::DaysInMonth(m, y); ++d) {
    printLine(std::to_string(d) + "\t" + core::DayKindName(inst->calendar.dayKind(y, m, d)));
  }
  std::fflush(stdout);
  return kOk;
}

const Registrar kEmployees{{"employees", "--dir DIR", {}, RunEmployees}};
const Registrar kSettings{{"settings", "--dir DIR", {}, RunSettings}};
const Registrar kHolidays{{"holidays", "--dir DIR --month M --year Y", {}, RunHolidays}};

}  // namespace
}  // namespace cli
