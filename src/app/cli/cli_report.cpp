// vortane-cli report: the combined monthly report of an installation, as the
// report window computes it; and read-log, which only reads a month's log
// (the yardstick of the report benchmark).
#include <atomic>
#include <cstdio>
#include <unordered_map>

#include "cli_common.h"
#include "cli_export.h"
#include "cli_installation.h"
#include "cli_report_pdf.h"
#include "core/month_log.h"
#include "core/path_text.h"
#include "robot/report_compute.h"
#include "robot/report_files.h"
#include "robot/robot_engine.h"

namespace cli {
namespace {

struct Period {
  int month = 0;
  int year = 0;
};

std::optional<Period> PeriodOptions(const Args& args, const std::string& command, int& status) {
  const auto month = args.integer("month", 1, 12);
  const auto year = args.integer("year", 1000, 9999);
  if (!month || !year) {
    status = usageError(command, "--month 1..12 and --year YYYY are required");
    return std::nullopt;
  }
  return Period{static_cast<int>(*month), static_cast<int>(*year)};
}

int RunReport(const Args& args) {
  const std::string command = "report";
  int status = kOk;
  const auto period = PeriodOptions(args, command, status);
  if (!period) return status;
  if (args.has("out") && args.value("out")->empty()) return usageError(command, "--out needs a file name");

  // Every question of the report (reopen the saved period, overwrite its
  // cells) is answered Yes: the options already said what to do.
  core::CliOperator op;
  op.yesAnswer = true;
  InstallationOptions options;
  options.readEmployees = false;  // the period check loads the list afresh, as the dialog does
  auto inst = LoadInstallation(args, command, op, options, status);
  if (!inst) return status;

  if (!robot::CheckReportPeriod(inst->settings, inst->directory, period->month, period->year, inst->employees, op)) {
    return kFailed;
  }

  robot::CombinedReport report;
  report.month = period->month;
  report.year = period->year;
  report.monthLogFile = core::MonthLog::FileName(inst->settings.logDir(), period->month, period->year);
  report.reopenSavedReport = args.has("reopen");
  const robot::ReportEnvironment env{inst->settings, inst->employees, inst->messages, op,
                                     inst->directory.holidayFile()};
  robot::BuildReportTable(report, env);
  if (report.reopenSavedReport) robot::ReopenSavedPeriod(report, inst->directory.dir, op);

  std::atomic<bool> stop{false};
  const robot::ReportRun run = robot::ComputeReport(report, env, stop);

  int result = run == robot::ReportRun::Completed ? kOk : kFailed;
  if (args.has("save")) {
    std::string error;
    if (!robot::SaveReportOnClose(report, inst->directory.dir, &error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      result = kFailed;
    }
  }
  if (const auto out = args.value("out")) {
    const std::filesystem::path file = core::PathFromUtf8(*out);
    const int written =
        isPdfFile(file)
            ? writeReportPdf(file, report.grid,
                             exports::DocumentTitle(exports::ReportDocument(report.grid, report.month, report.year)),
                             command)
            : writeDocumentByExtension(file, exports::ReportDocument(report.grid, report.month, report.year), command);
    if (written != kOk) return written;
  }
  if (args.has("comments")) {
    printComments(report.grid);
  } else {
    printGrid(report.grid);
  }
  return result;
}

// Reads the month's log in one pass and groups it by identifier, as the
// report does before its first row; prints the number of identifiers.
int RunReadLog(const Args& args) {
  const std::string command = "read-log";
  int status = kOk;
  const auto period = PeriodOptions(args, command, status);
  if (!period) return status;
  core::CliOperator op;
  InstallationOptions options;
  options.readEmployees = false;
  const auto inst = LoadInstallation(args, command, op, options, status);
  if (!inst) return status;
  std::unordered_map<std::uint16_t, core::LogEntries> byCard;
  const auto file = core::MonthLog::FileName(inst->settings.logDir(), period->month, period->year);
  if (!robot::GroupLogByCard(file, byCard)) {
    std::fprintf(stderr, "cannot read %s\n", core::DisplayPath(file).c_str());
    return kFailed;
  }
  std::size_t records = 0;
  for (const auto& [card, entries] : byCard) records += entries.times.size();
  std::printf("%zu\t%zu\n", byCard.size(), records);
  return kOk;
}

const Registrar kReport{{"report",
                         "--dir DIR --month M --year YYYY [--reopen] [--out FILE.zdr|.xlsx|.csv|.html|.pdf] "
                         "[--comments] [--save]",
                         {"reopen", "comments", "save"},
                         RunReport}};

const Registrar kReadLog{{"read-log", "--dir DIR --month M --year YYYY", {}, RunReadLog}};

}  // namespace
}  // namespace cli
