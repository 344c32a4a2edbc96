#include "robot/report_files.h"

#include <cctype>
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

namespace {

// Month and year from the end of a file name's stem: "32005", "122005",
// "vykaz_3_2005", "3-2005".
std::optional<ReportPeriod> PeriodFromFileName(const std::filesystem::path& file) {
  const std::string stem = core::Utf8FromPath(file.stem());
  std::size_t end = stem.size();
  std::size_t begin = end;
  while (begin > 0 && std::isdigit(static_cast<unsigned char>(stem[begin - 1]))) --begin;
  std::string digits = stem.substr(begin, end - begin);
  std::string monthText;
  std::string yearText;
  if (digits.size() == 5 || digits.size() == 6) {
    yearText = digits.substr(digits.size() - 4);
    monthText = digits.substr(0, digits.size() - 4);
  } else if (digits.size() == 4 && begin >= 2 && (stem[begin - 1] == '_' || stem[begin - 1] == '-')) {
    yearText = digits;
    std::size_t m = begin - 1;
    while (m > 0 && std::isdigit(static_cast<unsigned char>(stem[m - 1]))) --m;
    monthText = stem.substr(m, begin - 1 - m);
    if (monthText.empty() || monthText.size() > 2) return std::nullopt;
    // A longer run of digits before the month is a date or a number, not a month.
  } else {
    return std::nullopt;
  }
  if (begin > 0 && digits.size() >= 5 && std::isdigit(static_cast<unsigned char>(stem[begin - 1]))) return std::nullopt;
  return ParseReportPeriod(monthText, yearText);
}

constexpr int kMaxDays = 31;

// The day labels of the header row: empty when the file has none at all.
// No value when they are not the labels of some month (a gap, more than 31,
// fewer than 28).
std::optional<std::vector<std::string>> DayLabels(const core::Grid& grid) {
  std::vector<std::string> labels;
  bool any = false;
  int count = 0;
  for (int d = 1; d <= kMaxDays; ++d) {
    const int col = kReportFirstDayColumn - 1 + d;
    const std::string label(col < grid.columnCount() && grid.rowCount() > 0 ? core::trim(grid.cell(col, 0))
                                                                             : std::string_view{});
    if (!label.empty()) {
      if (count != d - 1) return std::nullopt;
      any = true;
      ++count;
    }
    labels.push_back(label);
  }
  if (!any) return std::vector<std::string>{};
  if (count < 28) return std::nullopt;
  labels.resize(static_cast<std::size_t>(count));
  return labels;
}

bool LabelsFit(const std::vector<std::string>& labels, int month, int year, const core::MessageCatalogue& messages) {
  static const core::HolidayCalendar none;
  const MonthDays days = ClassifyMonth(month, year, none);
  if (days.days != static_cast<int>(labels.size())) return false;
  for (int d = 1; d <= days.days; ++d) {
    const std::string& label = labels[static_cast<std::size_t>(d - 1)];
    if (label == "Sviatok") continue;
    if (label != std::to_string(d) + "-" + messages.dayName(days.weekday[static_cast<std::size_t>(d)])) return false;
  }
  return true;
}

// The day kinds of the month as the labels show them: "Sviatok" a holiday,
// other days by their weekday.
MonthDays DaysFromLabels(const std::vector<std::string>& labels, int month, int year) {
  static const core::HolidayCalendar none;
  MonthDays days = ClassifyMonth(month, year, none);
  days.workingDays = 0;
  days.holidays = 0;
  for (int d = 1; d <= days.days; ++d) {
    auto& kind = days.kind[static_cast<std::size_t>(d)];
    if (labels[static_cast<std::size_t>(d - 1)] == "Sviatok") kind = core::DayKind::Holiday;
    if (kind == core::DayKind::Holiday) ++days.holidays;
    if (kind == core::DayKind::WorkingDay) ++days.workingDays;
  }
  return days;
}

}  // namespace

std::optional<OpenedReportPeriod> PeriodOfOpenedReport(const std::filesystem::path& file, const core::Grid& grid,
                                                       const std::filesystem::path& holidayFile,
                                                       const core::MessageCatalogue& messages, core::Operator& op,
                                                       int nearMonth, int nearYear) {
  const auto labels = DayLabels(grid);
  const auto named = PeriodFromFileName(file);
  if (named && labels && labels->empty()) {
    core::HolidayCalendar calendar;
    calendar.load(holidayFile, named->year, messages, op);
    return OpenedReportPeriod{named->month, named->year, ClassifyMonth(named->month, named->year, calendar)};
  }
  if (!labels || labels->empty()) return std::nullopt;
  if (named && LabelsFit(*labels, named->month, named->year, messages))
    return OpenedReportPeriod{named->month, named->year, DaysFromLabels(*labels, named->month, named->year)};
  // The labels alone: the nearest month with that calendar, going back as
  // far as the calendar repeats (28 years) and a year ahead.
  const int near = nearYear * 12 + (nearMonth - 1);
  for (int distance = 0; distance <= 12 * 28; ++distance) {
    for (const int index : {near - distance, near + distance}) {
      if (index > near + 12) continue;
      const int month = index % 12 + 1;
      const int year = index / 12;
      if (LabelsFit(*labels, month, year, messages))
        return OpenedReportPeriod{month, year, DaysFromLabels(*labels, month, year)};
    }
  }
  return std::nullopt;
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
