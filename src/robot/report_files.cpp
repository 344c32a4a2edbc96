#include "robot/report_files.h"

#include <cstdio>
#include <system_error>

#include "core/grid_text_file.h"
#include "core/month_log.h"
#include "core/path_text.h"
#include "core/text_util.h"

namespace robot {

// A saved report of a full employee list (65535 employees and the header row)
// must read back.
static_assert(core::GridTextFile::kMaxCells >= 51LL * 65536);

std::filesystem::path PeriodFileName(const std::filesystem::path& programDir, int month, int year) {
  char name[48];
  std::snprintf(name, sizeof name, "%d%04d.zdr", month, year);
  return programDir / name;
}

std::string ReopenQuestion(int month, int year) {
  return "Už ste obdobie: " + std::to_string(month) + "-" + std::to_string(year) +
         " spracovávali, želáte si tabuľku vyplniť údajmi";
}

bool ReadReportFile(const std::filesystem::path& file, core::Grid& grid, std::string* error) {
  core::Grid read;
  if (!core::GridTextFile::Read(file, read, core::GridTextFile::Cells::MultiLine, error)) return false;
  // A report always names its columns and employees: a file that sets a size
  // but holds no cell at all was cut off while it was written (or is not a
  // report), and taking it would replace the table with an empty one.
  bool anyCell = false;
  for (int r = 0; r < read.rowCount() && !anyCell; ++r)
    for (int c = 0; c < read.columnCount() && !anyCell; ++c) anyCell = !read.cell(c, r).empty();
  if (!anyCell) {
    if (error) *error = "File contains no data or corrupt file " + core::DisplayPath(file);
    return false;
  }
  // A report table always has its 51 columns, whatever the file says (a
  // sheet file opened by mistake has 6).
  if (read.columnCount() != kReportColumns) read.resize(kReportColumns, read.rowCount());
  grid = std::move(read);
  return true;
}

bool WriteReportFile(const std::filesystem::path& file, const core::Grid& grid, std::string* error) {
  return core::GridTextFile::Write(file, grid, error);
}

ReopenOutcome ReopenSavedPeriod(CombinedReport& report, const std::filesystem::path& programDir, core::Operator& op) {
  const auto file = PeriodFileName(programDir, report.month, report.year);
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) {
    op.showMessage(std::string(kPeriodNotComputed));
    return ReopenOutcome::NoSavedTable;
  }
  if (!op.askYesNo(ReopenQuestion(report.month, report.year))) return ReopenOutcome::Declined;
  std::string error;
  if (!ReadReportFile(file, report.grid, &error)) {
    op.showMessage(std::string(kPeriodFileUnreadable));
    return ReopenOutcome::ReadFailed;
  }
  ResetDayRecordLines(report);
  return ReopenOutcome::Filled;
}

bool OpenReportFile(CombinedReport& report, const std::filesystem::path& file, core::Operator& op) {
  std::string error;
  if (!ReadReportFile(file, report.grid, &error)) {
    op.showMessage(error);
    return false;
  }
  ResetDayRecordLines(report);
  report.openedFile = file;
  report.caption = "Report" + core::DisplayPath(file);
  return true;
}

bool SaveReportOnClose(const CombinedReport& report, const std::filesystem::path& programDir, std::string* error) {
  if (!report.openedFile.empty()) return true;
  return WriteReportFile(PeriodFileName(programDir, report.month, report.year), report.grid, error);
}

std::optional<ReportPeriod> ParseReportPeriod(std::string_view monthText, std::string_view yearText) {
  const auto month = core::parseDecimal(core::trim(monthText));
  const auto year = core::parseDecimal(core::trim(yearText));
  if (!month || !year || *month < 1 || *month > 12 || *year < 1000 || *year > 9999) return std::nullopt;
  return ReportPeriod{static_cast<int>(*month), static_cast<int>(*year)};
}

bool CheckReportPeriod(const core::ProgramSettings& settings, const core::ProgramDirectory& dir, int month, int year,
                       core::EmployeeList& employees, core::Operator& op) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(core::MonthLog::FileName(settings.logDir(), month, year), ec)) {
    op.showMessage(std::string(kNoRecordsForMonth));
    return false;
  }
  employees = core::EmployeeList();
  if (employees.read(dir.employeeFile(), settings.normaPDminutes) != 1 || employees.empty()) {
    op.showMessage(std::string(kEmployeeFileEmpty));
    return false;
  }
  return true;
}

}  // namespace robot
