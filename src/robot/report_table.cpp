#include "robot/report_table.h"

#include <algorithm>

#include "core/path_text.h"
#include "core/text_util.h"
#include "core/time_values.h"

namespace robot {
namespace {

struct ColumnText {
  std::string_view header;
  std::string_view hint;
};

constexpr std::array<ColumnText, kReportFirstDayColumn> kColumns = {{
    {"Meno", "Meno a Priezvisko"},
    {"Os číslo", "Osobné císlo"},
    {"Oddelenie", "Oddelenie"},
    {"V práci", "Hodiny strávené na pracovisku\rpod1a dochádzkových hodín"},
    {"Prestavky", "Zákonné prestávky"},
    {"Odpracované", "Čisté hodiny\r = hodiny na pracovisku\r- minus zákonné prestávky"},
    {"Norma hodín", "Mesačná norma hodín"},
    {"Nadčas", "Nadčasy\r= Mesačná norma\r-Čiste\r-Dovolenky\r-PN\r-Lekár\r-Prekážky"},
    {"Prac.dni", "Odpracovane hodiny len v pracovných dnoch"},
    {"Sviatok", "Odpracované vo sviatok"},
    {"Soboty", "Odpracované v sobotu"},
    {"Nedele", "Odpracované v nedelu"},
    {"Denné", "Odpracované denné smeny"},
    {"Poobede", "Odpracované poobednajšie smeny"},
    {"Nocné", "Nocné smeny"},
    {"Služob", "Hodiny na služobnej ceste"},
    {"Lekár", "Hodiny u Lekára"},
    {"Dovolenka", "Dovolenka"},
    {"PN   ", "Práce neschopnost"},
    {"Prekážky", "Prekážky"},
}};

constexpr int kNameColumnWidth = 150;
constexpr int kNarrowShiftWidth = 10;

// Pixels for a text of n characters in the grid's font.
int WidthForLength(std::size_t n) { return std::max(20, static_cast<int>(n) * 7 + 8); }

}  // namespace

std::string_view ReportHeader(int col) {
  return col >= 0 && col < kReportFirstDayColumn ? kColumns[static_cast<std::size_t>(col)].header : std::string_view{};
}

std::string_view ReportColumnHint(int col) {
  return col >= 0 && col < kReportFirstDayColumn ? kColumns[static_cast<std::size_t>(col)].hint : std::string_view{};
}

std::uint32_t ReportColumnColour(const CombinedReport& report, int col) {
  if (col < 0 || col >= kReportColourCount) return kReportWhite;
  return report.columnColours[static_cast<std::size_t>(col)];
}

std::string ReportDayLabel(const MonthDays& days, int day, const core::MessageCatalogue& messages) {
  if (day < 1 || day > days.days) return {};
  if (days.kind[static_cast<std::size_t>(day)] == core::DayKind::Holiday) return "Sviatok";
  return std::to_string(day) + "-" + messages.dayName(days.weekday[static_cast<std::size_t>(day)]);
}

std::string ReportPaperHeader(const core::Grid& grid, int col) {
  const std::string& header = grid.cell(col, 0);
  if (col >= kReportFirstDayColumn && col < kReportFirstDayColumn + 31 && header == "Sviatok")
    return std::to_string(col - kReportFirstDayColumn + 1) + " Sviatok";
  return header;
}

std::string NormText(std::int64_t minutes) {
  if (minutes < 0) minutes = 0;
  const std::int64_t m = minutes % 60;
  return std::to_string(minutes / 60) + (m < 10 ? ":0" : ":") + std::to_string(m);
}

void RefreshDayKinds(CombinedReport& report) { report.days = ClassifyMonth(report.month, report.year, report.calendar); }

void ResetDayRecordLines(CombinedReport& report) {
  report.DayRecordLines.assign(static_cast<std::size_t>(report.dataRows()),
                               std::vector<std::string>(kReportDayEntries));
}

void BuildReportTable(CombinedReport& report, const ReportEnvironment& env) {
  const auto& employees = env.employees.employees();
  const int n = static_cast<int>(employees.size());

  report.caption = "Vykaz " + core::DisplayPath(report.monthLogFile);
  report.openedFile.clear();
  report.grid.clearCells();
  report.calendar.load(env.holidayFile, report.year, env.messages, env.op);

  report.grid.resize(kReportColumns, n + 1);
  report.grid.clearCells();
  ResetDayRecordLines(report);
  report.columnColours.fill(kReportWhite);

  for (int c = 0; c <= 2; ++c) report.columnColours[static_cast<std::size_t>(c)] = kReportSilver;
  for (int i = 0; i < n; ++i) {
    const auto& e = employees[static_cast<std::size_t>(i)];
    report.grid.setCell(rcol::Name, i + 1, e.name);
    report.grid.setCell(rcol::PersonalNumber, i + 1, e.personalNumber);
    report.grid.setCell(rcol::Department, i + 1, e.department);
  }
  for (int c = 3; c <= 5; ++c) report.columnColours[static_cast<std::size_t>(c)] = kReportYellow;
  for (int c = 0; c < kReportFirstDayColumn; ++c) report.grid.setCell(c, 0, std::string(ReportHeader(c)));

  RefreshDayKinds(report);
  for (int d = 1; d <= report.days.days; ++d) {
    const int col = kReportFirstDayColumn - 1 + d;
    report.grid.setCell(col, 0, ReportDayLabel(report.days, d, env.messages));
    std::uint32_t colour = kReportWhite;
    switch (report.days.kind[static_cast<std::size_t>(d)]) {
      case core::DayKind::WorkingDay: colour = kReportWhite; break;
      case core::DayKind::Holiday: colour = kReportHoliday; break;
      case core::DayKind::Saturday: colour = kReportSaturday; break;
      case core::DayKind::Sunday: colour = kReportSunday; break;
    }
    report.columnColours[static_cast<std::size_t>(col)] = colour;
  }

  for (int i = 0; i < n; ++i) {
    const auto& e = employees[static_cast<std::size_t>(i)];
    report.grid.setCell(rcol::Norm, i + 1, NormText(std::int64_t{e.workloadMinutes} * report.days.workingDays));
  }

  for (int c = 0; c < kReportColumns; ++c) {
    std::size_t longest = 0;
    for (int r = 0; r < report.grid.rowCount(); ++r) {
      longest = std::max(longest, core::utf8Length(report.grid.cell(c, r)));
    }
    report.grid.setColumnWidth(c, WidthForLength(longest));
  }
  report.grid.setColumnWidth(rcol::Name, kNameColumnWidth);

  report.statusHolidays = "Sviatky=" + std::to_string(report.days.holidays);
  report.statusWorkingDays = "PD=" + std::to_string(report.days.workingDays);
  report.statusRows.clear();

  // Without night work the shift columns only take room.
  if (!env.settings.nightflag) {
    for (int c = rcol::DayShift; c <= rcol::NightShift; ++c) report.grid.setColumnWidth(c, kNarrowShiftWidth);
  }
}

}  // namespace robot
