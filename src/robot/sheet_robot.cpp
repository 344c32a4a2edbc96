#include "robot/sheet_robot.h"

#include "core/month_log.h"

#include <algorithm>

namespace robot {
namespace {

constexpr std::array<std::string_view, 32> kLabels = {"",
                                                      "Meno",
                                                      "Mesiac",
                                                      "Rok",
                                                      "Os.číslo",
                                                      "Oddelenie",
                                                      "Uväzok",
                                                      "Prac.dni",
                                                      "Odprac.dni",
                                                      "Sviatky",
                                                      "Norma",
                                                      "V práci",
                                                      "Prestávky",
                                                      "Hodiny celkom",
                                                      "Nadčasy",
                                                      "",
                                                      "Denné smeny",
                                                      "Poobed.smeny",
                                                      "Nočné smeny",
                                                      "Soboty",
                                                      "Nedele",
                                                      "Odpr.sviatky",
                                                      "Dovolenky",
                                                      "PN",
                                                      "Lekár",
                                                      "Služ.cesty",
                                                      "Prekážky",
                                                      "",
                                                      "",
                                                      "",
                                                      "",
                                                      ""};

constexpr std::array<std::string_view, 27> kHints = {
    "",
    "MENO pracovníka",
    "Mesiac",
    "Rok",
    "Osobné císlo",
    "Oddelenie",
    "Uvazok v percentách alebo v hodinách",
    "Pocet pracovných dní",
    "Pocet odpracovaných dní",
    "Pocet sviatkov",
    "Kolko hodín by mal odpracovat\rZávisí od uvazku a poctu pracovnych dni",
    "Hodiny na pracovisku podla dochádzkových hodín",
    "Zákonné prestávky\rPre každého pracovníka môžu byt iné\rLen ak pracovník odpracuje viac ako nastavený čas",
    "Celkom odpracované\r=Hodiny na pracovisku\r- zákonné prestávky",
    "Nadčasy\r= Norma\r-Odpracované\r-PN\r-Lekár\r-Dovolenky\r-Prekážky",
    "rezerva",
    "Denne smeny\rMusí mat pracovník povolené v zozname pracovníkov",
    "Poobednnajšie smeny",
    "Nocné smeny",
    "Odpracované hodiny v sobotu",
    "Odpracované hodiny v nedelu",
    "Odpracované hodiny vo sviatok",
    "Dovolenky",
    "Hodiny na PN",
    "Hodiny u lekára",
    "Hodiny na sluzobných cestách",
    "Celkom Prekážky"};

constexpr std::array<std::string_view, 6> kClearHeaders = {"Názov", "Údaj", "Den", "Dochádzka", "Výsledok", "Komentár"};
constexpr std::array<std::string_view, 6> kShowHeaders = {"Údaj",      "Hodnota",  "Deň",
                                                          "Dochádzka", "Výsledok", "Poznámka"};
constexpr std::array<int, 6> kWidths = {120, 80, 40, 200, 100, 100};

}  // namespace

std::string_view SheetLabel(int row) {
  return row >= 0 && row < static_cast<int>(kLabels.size()) ? kLabels[static_cast<std::size_t>(row)]
                                                            : std::string_view();
}

std::string_view SheetLabelHint(int row) {
  return row >= 1 && row < static_cast<int>(kHints.size()) ? kHints[static_cast<std::size_t>(row)] : std::string_view();
}

void WriteClearStateHeaders(core::Grid& grid) {
  for (int c = 0; c < kSheetColumns; ++c) grid.setCell(c, 0, std::string(kClearHeaders[static_cast<std::size_t>(c)]));
}

void WriteShowStateHeaders(core::Grid& grid) {
  for (int c = 0; c < kSheetColumns; ++c) grid.setCell(c, 0, std::string(kShowHeaders[static_cast<std::size_t>(c)]));
}

void SetSheetColumnWidths(core::Grid& grid) {
  for (int c = 0; c < kSheetColumns; ++c) grid.setColumnWidth(c, kWidths[static_cast<std::size_t>(c)]);
}

core::Grid NewSheetGrid() {
  core::Grid grid(kSheetColumns, kSheetRows);
  SetSheetColumnWidths(grid);
  WriteClearStateHeaders(grid);
  return grid;
}

void SheetRobot::inithead(int month, int year, const core::HolidayCalendar& calendar) {
  // A month that cannot be classified leaves the previous day kinds and counts.
  if (core::DaysInMonth(month, year) <= 0) return;
  m_days = ClassifyMonth(month, year, calendar);
}

void SheetRobot::initgrid(const core::Employee& employee, core::Grid& grid, bool clear) {
  const bool fresh = grid.columnCount() < kSheetColumns;
  if (clear) {
    grid.clearCells();
    if (grid.columnCount() > 0) WriteClearStateHeaders(grid);
  }
  grid.resize(std::max(grid.columnCount(), kSheetColumns), kSheetRows);
  if (fresh) {
    SetSheetColumnWidths(grid);
    if (clear) WriteClearStateHeaders(grid);
  }
  for (int r = 1; r < kSheetRows; ++r) grid.setCell(0, r, std::string(SheetLabel(r)));
  grid.setCell(1, 1, employee.name);
  grid.setCell(1, 2, std::to_string(m_days.month));
  grid.setCell(1, 3, std::to_string(m_days.year));
  grid.setCell(1, 4, employee.personalNumber);
  grid.setCell(1, 5, employee.department);
  grid.setCell(1, 6, employee.workload);
  grid.setCell(1, 7, std::to_string(m_days.workingDays));
  grid.setCell(1, 9, std::to_string(m_days.holidays));
  grid.setCell(1, 10,
               core::MinutesToTimeText(static_cast<std::int64_t>(employee.workloadMinutes) * m_days.workingDays));
  m_dailyNorm = employee.workloadMinutes;
}

bool SheetRobot::make_list(const RobotInputs& in, core::Grid& grid, SheetState& state, core::Operator& op) {
  EmployeeMonth month{in.settings, in.employee, m_dailyNorm, m_days};
  month.logFile = in.logFile;
  month.preRead = in.preRead;
  month.messages = in.messages;
  RobotTarget target;
  target.mode = RobotMode::Sheet;
  target.grid = &grid;
  target.dayColour = &state.DayColour;
  return m_engine.run(month, target, op);
}

namespace {
void writeTotals(const MonthDays& days, int dailyNorm, const core::Employee& employee,
                 const core::ProgramSettings& settings, core::Grid& grid) {
  MonthTotals t;
  for (int d = 1; d <= days.days; ++d) {
    if (ParseResultCell(grid.cell(4, d), RobotMode::Sheet, days.kind[static_cast<std::size_t>(d)], dailyNorm,
                        employee.breaks, settings.SetPrestCond, t))
      t.breaks += employee.breaks;
  }
  grid.setCell(1, 8, std::to_string(t.workedDays));
  grid.setCell(1, 11, core::MinutesToTimeText(t.atWork));
  grid.setCell(1, 12, core::MinutesToTimeText(t.breaks));
  grid.setCell(1, 15, core::MinutesToTimeText(t.reserve));
  grid.setCell(1, 16, core::MinutesToTimeText(t.dayShift));
  grid.setCell(1, 17, core::MinutesToTimeText(t.afternoonShift));
  grid.setCell(1, 18, core::MinutesToTimeText(t.nightShift));
  grid.setCell(1, 19, core::MinutesToTimeText(t.saturdays));
  grid.setCell(1, 20, core::MinutesToTimeText(t.sundays));
  grid.setCell(1, 21, core::MinutesToTimeText(t.holidays));
  grid.setCell(1, 22, core::MinutesToTimeText(t.vacation));
  grid.setCell(1, 23, core::MinutesToTimeText(t.sick));
  grid.setCell(1, 24, core::MinutesToTimeText(t.doctor));
  grid.setCell(1, 25, core::MinutesToTimeText(t.business));
  grid.setCell(1, 26, core::MinutesToTimeText(t.obstacles));
  FinalTotals f = ComputeFinalTotals(grid.cell(1, 12), grid.cell(1, 10), grid.cell(1, 11), grid.cell(1, 22),
                                     grid.cell(1, 24), grid.cell(1, 23));
  grid.setCell(1, 13, std::move(f.net));
  grid.setCell(1, 14, std::move(f.overtime));
}
}  // namespace

void SheetRobot::recalc(const core::Employee& employee, const core::ProgramSettings& settings, core::Grid& grid) const {
  writeTotals(m_days, m_dailyNorm, employee, settings, grid);
}

bool HoldsAnotherSheet(const core::Grid& grid, const core::Employee& employee, int month, int year) {
  const std::string& name = grid.cell(1, 1);
  const std::string& m = grid.cell(1, 2);
  const std::string& y = grid.cell(1, 3);
  if (name.empty() && m.empty() && y.empty()) return false;
  return name != employee.name || m != std::to_string(month) || y != std::to_string(year);
}

bool RunSheet(const RobotInputs& in, core::Grid& grid, SheetState& state, core::Operator& op) {
  SheetRobot robot;
  robot.inithead(in.month, in.year, in.calendar);
  const bool keep =
      (state.openedFromFile || state.sheetModified) && !HoldsAnotherSheet(grid, in.employee, in.month, in.year);
  robot.initgrid(in.employee, grid, !keep);
  const bool ok = robot.make_list(in, grid, state, op);
  robot.recalc(in.employee, in.settings, grid);
  return ok;
}

void RecalcSheet(const core::Employee& employee, const core::ProgramSettings& settings,
                 const core::HolidayCalendar& calendar, int month, int year, core::Grid& grid) {
  if (core::DaysInMonth(month, year) <= 0) return;
  writeTotals(ClassifyMonth(month, year, calendar), employee.workloadMinutes, employee, settings, grid);
}

MonthSheets::MonthSheets(const core::ProgramSettings& settings, const core::HolidayCalendar& calendar,
                         const core::EmployeeList& employees, const core::MessageCatalogue& messages, int month,
                         int year, std::filesystem::path logFile)
    : m_settings(settings),
      m_calendar(calendar),
      m_employees(employees),
      m_messages(messages),
      m_month(month),
      m_year(year),
      m_logFile(std::move(logFile)) {}

bool MonthSheets::load(core::Operator& op) {
  m_byCard.clear();
  if (GroupLogByCard(m_logFile, m_byCard)) return true;
  core::LogEntries none;
  core::MonthLog::ReadEmployee(m_logFile, 0, none, op);  // the robot's own message for a missing log
  return false;
}

const core::Grid& MonthSheets::sheet(int i, core::Operator& op) {
  static const core::LogEntries kNone;
  const core::Employee& e = m_employees.employees()[static_cast<std::size_t>(i)];
  m_grid = NewSheetGrid();
  WriteShowStateHeaders(m_grid);
  SheetState state;
  RobotInputs in(m_settings, m_calendar, e, m_month, m_year, m_logFile);
  const auto it = m_byCard.find(e.card);
  in.preRead = it != m_byCard.end() ? &it->second : &kNone;
  in.messages = &m_messages;
  RunSheet(in, m_grid, state, op);
  return m_grid;
}

}  // namespace robot
