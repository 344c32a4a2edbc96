// vortane-cli sheet: one employee's month computed by the attendance robot,
// printed as the sheet window shows it. vortane-cli log: the employee's
// registrations of a month after ordering and corrections.
#include <cstdio>
#include <optional>
#include <string>
#include <unordered_map>

#include "cli_common.h"
#include "cli_export.h"
#include "cli_installation.h"
#include "cli_pdf.h"
#include "core/grid_text_file.h"
#include "core/month_log.h"
#include "core/operator.h"
#include "core/path_text.h"
#include "export/document_export.h"
#include "robot/robot_engine.h"
#include "robot/sheet_robot.h"

namespace cli {
namespace {

struct Period {
  int month = 0;
  int year = 0;
};

std::optional<Period> readPeriod(const Args& args, const std::string& command, int& status) {
  const auto month = args.integer("month", 1, 12);
  const auto year = args.integer("year", 1901, 2099);
  if (!month) {
    status = usageError(command, "--month M (1..12) is required");
    return std::nullopt;
  }
  if (!year) {
    status = usageError(command, "--year Y (1901..2099) is required");
    return std::nullopt;
  }
  return Period{static_cast<int>(*month), static_cast<int>(*year)};
}

// Stores the computed sheet under the name given with --out. The extension
// chooses the format: the sheet's own .dok file, or an .xlsx, .csv or .html
// export.
bool isPdf(const std::filesystem::path& file) {
  std::string ext = core::Utf8FromPath(file.extension());
  for (auto& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return ext == ".pdf";
}

int storeSheet(const std::filesystem::path& file, const core::Grid& grid) {
  if (isPdf(file)) {
    std::string error;
    if (!WriteSheetsPdf(
            file, 1, [&grid](int) { return &grid; }, "Vortane " + core::Utf8FromPath(file), &error)) {
      core::CliOperator().showMessage(error);
      return kFailed;
    }
    return kOk;
  }
  return writeDocumentByExtension(file, exports::SheetDocument(grid), "sheet");
}

bool outputSupported(const std::filesystem::path& file) {
  std::string ext = core::Utf8FromPath(file.extension());
  for (auto& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return (ext == ".pdf" && PdfSupported()) || exports::DocumentFormatOf(file, exports::DocumentKind::Sheet).has_value();
}

void printSheet(const core::Grid& grid) {
  for (int r = 0; r < robot::kSheetRows; ++r) {
    std::string line;
    for (int c = 0; c < robot::kSheetColumns; ++c) {
      if (c > 0) line += '\t';
      line += escapeField(grid.cell(c, r));
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
}

int runSheet(const Args& args) {
  core::CliOperator op;
  int status = kOk;
  const auto period = readPeriod(args, "sheet", status);
  if (!period) return status;
  const bool byCard = args.has("card");
  const bool byName = args.has("employee");
  if (byCard == byName) return usageError("sheet", "give exactly one of --card N and --employee NAME");
  std::optional<long long> card;
  if (byCard) {
    card = args.integer("card", 0, 65535);
    if (!card) return usageError("sheet", "--card N must be a number 0..65535");
  }
  // An output name that names no format is refused before anything is computed.
  if (const auto out = args.value("out"); out && !outputSupported(core::PathFromUtf8(*out)))
    return usageError("sheet", "--out: unknown file type '" + core::Utf8FromPath(core::PathFromUtf8(*out).filename()) +
                                   "' (use .dok, .xlsx, .csv, .html or .pdf)");
  InstallationOptions options;
  options.loadCalendar = true;
  auto inst = LoadInstallation(args, "sheet", op, options, status);
  if (!inst) return status;

  const core::Employee* employee = nullptr;
  if (byCard) {
    if (const auto i = inst->employees.findCard(static_cast<std::uint16_t>(*card)))
      employee = &inst->employees.employees()[*i];
  } else {
    const std::string name = args.value("employee").value_or("");
    for (const auto& e : inst->employees.employees()) {
      if (e.name == name) {
        employee = &e;
        break;
      }
    }
  }
  if (!employee) {
    // The sheet window's answer when no employee is chosen.
    op.showMessage("Vyberte pracovníka");
    return kFailed;
  }

  core::Grid grid = robot::NewSheetGrid();
  robot::SheetState state;
  if (const auto from = args.value("from")) {
    std::string error;
    if (!core::GridTextFile::Read(core::PathFromUtf8(*from), grid, core::GridTextFile::Cells::SingleLine, &error)) {
      op.showMessage(error);
      return kFailed;
    }
    state.openedFromFile = true;
  }

  robot::RobotInputs in{inst->settings, inst->calendar, *employee};
  in.month = period->month;
  in.year = period->year;
  in.logFile = core::MonthLog::FileName(inst->settings.logDir(), period->month, period->year);
  in.messages = &inst->messages;
  const bool computed = robot::RunSheet(in, grid, state, op);

  printSheet(grid);
  if (const auto out = args.value("out")) {
    const int stored = storeSheet(core::PathFromUtf8(*out), grid);
    if (stored != kOk) return stored;
  }
  return computed ? kOk : kFailed;
}

int runLog(const Args& args) {
  core::CliOperator op;
  int status = kOk;
  const auto period = readPeriod(args, "log", status);
  if (!period) return status;
  const auto card = args.integer("card", 0, 65535);
  if (!card) return usageError("log", "--card N (0..65535) is required");
  InstallationOptions options;
  options.readEmployees = false;
  auto inst = LoadInstallation(args, "log", op, options, status);
  if (!inst) return status;

  core::LogEntries entries;
  const auto file = core::MonthLog::FileName(inst->settings.logDir(), period->month, period->year);
  if (!core::MonthLog::ReadEmployee(file, static_cast<std::uint16_t>(*card), entries, op)) return kFailed;
  const robot::MonthRecords records = robot::OrderAndMerge(entries, inst->settings.corrtime);
  std::vector<core::DateTime> times(records.times.begin(), records.times.begin() + static_cast<long>(records.size()));
  core::MonthLog::CheckMonth(times, period->month, period->year, op);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const core::DateTime t = records.times[i];
    const core::CivilDate d = t.date();
    std::printf("%d.%d.%d %d:%02d:%02d\t%d\n", d.day, d.month, d.year, t.hour(), t.minute(), t.second(),
                records.codes[i]);
  }
  return kOk;
}

// vortane-cli sheets: every employee's sheet of the month, one page each, in
// list order, as payroll prints them for signatures.
int runSheets(const Args& args) {
  core::CliOperator op;
  int status = kOk;
  const auto period = readPeriod(args, "sheets", status);
  if (!period) return status;
  const auto out = args.value("out");
  if (!out || !isPdf(core::PathFromUtf8(*out))) return usageError("sheets", "--out FILE.pdf is required");
  if (!PdfSupported()) return usageError("sheets", "this build writes no PDF (built without Qt)");
  InstallationOptions options;
  options.loadCalendar = true;
  auto inst = LoadInstallation(args, "sheets", op, options, status);
  if (!inst) return status;
  const auto logFile = core::MonthLog::FileName(inst->settings.logDir(), period->month, period->year);
  robot::MonthSheets sheets(inst->settings, inst->calendar, inst->employees, inst->messages, period->month,
                            period->year, logFile);
  if (!sheets.load(op)) return kFailed;
  auto sheetOf = [&](int i) -> const core::Grid* { return &sheets.sheet(i, op); };
  std::string error;
  const std::string title = "Vortane " + std::to_string(period->month) + "." + std::to_string(period->year);
  if (!WriteSheetsPdf(core::PathFromUtf8(*out), sheets.count(), sheetOf, title, &error)) {
    op.showMessage(error);
    return kFailed;
  }
  std::printf("%d\n", sheets.count());
  return kOk;
}

const Registrar sheetsCommand(Command{"sheets", "--dir DIR --month M --year Y --out FILE.pdf", {}, runSheets});

const Registrar sheetCommand(Command{
    "sheet",
    "--dir DIR (--card N | --employee NAME) --month M --year Y [--from IN.dok] [--out OUT.dok|.xlsx|.csv|.html|.pdf]",
    {},
    runSheet});
const Registrar logCommand(Command{"log", "--dir DIR --card N --month M --year Y", {}, runLog});

}  // namespace
}  // namespace cli
