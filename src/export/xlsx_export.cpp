#include <xlsxwriter.h>

#include <algorithm>
#include <atomic>
#include <chrono>

#include "core/atomic_file.h"
#include "core/path_text.h"
#include "core/platform.h"
#include "core/time_values.h"
#include "export/grid_export.h"

namespace exports {
namespace {

// The most characters a spreadsheet cell holds; longer texts are cut.
constexpr std::size_t kMaxCellChars = 32767;
constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

// Length of the valid UTF-8 sequence starting at s[i], or 0 when invalid.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
  const auto b = static_cast<unsigned char>(s[i]);
  std::size_t n = 0;
  unsigned cp = 0;
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2;
    cp = b & 0x1Fu;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3;
    cp = b & 0x0Fu;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4;
    cp = b & 0x07u;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0u) != 0x80u) return 0;
    cp = (cp << 6) | (c & 0x3Fu);
  }
  if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF)) {
    return 0;
  }
  return n;
}

// The workbook is XML: line breaks become LF (the spreadsheet's own line
// break), other control characters are dropped, broken UTF-8 becomes "?"
// and the text is cut to what a cell holds.
std::string CellText(std::string_view text, bool& multiLine) {
  std::string out;
  out.reserve(text.size());
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size() && chars < kMaxCellChars;) {
    const char c = text[i];
    if (c == '\r') {
      out += '\n';
      multiLine = true;
      i += (i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      ++chars;
      continue;
    }
    if (c == '\n') {
      out += '\n';
      multiLine = true;
      ++i;
      ++chars;
      continue;
    }
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
      ++i;
      continue;
    }
    const std::size_t n = Utf8SequenceLength(text, i);
    if (n == 0) {
      out += '?';
      ++i;
    } else {
      out.append(text.substr(i, n));
      i += n;
    }
    ++chars;
  }
  return out;
}

// Characters of the longest line of a cell text (UTF-8 sequences counted once).
std::size_t LongestLine(std::string_view text) {
  std::size_t longest = 0;
  std::size_t line = 0;
  for (const char c : text) {
    if (c == '\r' || c == '\n') {
      longest = std::max(longest, line);
      line = 0;
    } else if ((static_cast<unsigned char>(c) & 0xC0u) != 0x80u) {
      ++line;
    }
  }
  return std::max(longest, line);
}

// A column as wide as its longest text (0 for a column without text: the
// spreadsheet's default), whatever width the window happened to show it in,
// so that every front end writes the same workbook; a bound keeps a stray
// long comment from making a column of a whole screen.
constexpr double kMaxTextWidth = 120.0;

double ColumnWidth(const core::Grid& grid, int col, int lastRow) {
  std::size_t longest = 0;
  for (int r = 0; r <= lastRow; ++r) longest = std::max(longest, LongestLine(grid.cell(col, r)));
  return longest > 0 ? std::min(static_cast<double>(longest) + 2.0, kMaxTextWidth) : 0.0;
}

// Frozen header row and name column, landscape A4 one page wide with the
// header row repeated on every printed page.
void SetUpPage(lxw_worksheet* sheet, const core::Grid& grid) {
  worksheet_freeze_panes(sheet, 1, grid.columnCount() > 1 ? 1 : 0);
  worksheet_set_landscape(sheet);
  worksheet_set_paper(sheet, 9);  // A4
  worksheet_fit_to_pages(sheet, 1, 0);
  if (grid.rowCount() > 1) worksheet_repeat_rows(sheet, 0, 0);
}

std::filesystem::path ScratchWorkbookPath() {
  static std::atomic<unsigned> counter{0};
  std::error_code ec;
  auto dir = std::filesystem::temp_directory_path(ec);
  if (ec) dir = ".";
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  return dir / core::PathFromUtf8("vortane-export-" + std::to_string(core::platform::ProcessId()) + "-" +
                                  std::to_string(stamp) + "-" + std::to_string(counter++) + ".xlsx");
}

bool Fail(std::string* message, std::string* detail, const std::string& why) {
  if (message) *message = std::string(kXlsxFailedMessage);
  if (detail) *detail = why;
  return false;
}

// Hours as a number: "8:30" -> 8.5, "-1:30" -> -1.5, empty -> 0.
double HoursOf(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  const bool negative = i < text.size() && text[i] == '-';
  const int minutes = core::TimeTextToMinutes(negative ? text.substr(i + 1) : text);
  return (negative ? -minutes : minutes) / 60.0;
}

std::string WriteHoursSheet(lxw_workbook* workbook, const core::Grid& grid, const XlsxHoursSheet& hours) {
  lxw_worksheet* sheet = workbook_add_worksheet(workbook, hours.name);
  if (sheet == nullptr) return "cannot add a worksheet";
  lxw_format* twoDecimals = workbook_add_format(workbook);
  format_set_num_format(twoDecimals, "0.00");
  const int last = std::min(hours.lastHours, grid.columnCount() - 1);
  for (int c = 0; c <= last; ++c) {
    if (c >= hours.textColumns && c < hours.firstHours) continue;
    const double width = std::max(ColumnWidth(grid, c, 0), c >= hours.firstHours ? 8.0 : 0.0);
    const double names = c < hours.textColumns ? ColumnWidth(grid, c, grid.rowCount() - 1) : 0.0;
    if (std::max(width, names) > 0.0)
      worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), std::max(width, names),
                           nullptr);
  }
  SetUpPage(sheet, grid);
  for (int r = 0; r < grid.rowCount(); ++r) {
    for (int c = 0; c <= last; ++c) {
      const bool text = r == 0 || c < hours.textColumns;
      if (!text && c < hours.firstHours) continue;
      lxw_error err = LXW_NO_ERROR;
      if (text) {
        const std::string& cell = grid.cell(c, r);
        if (cell.empty()) continue;
        bool multiLine = false;
        err = worksheet_write_string(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c),
                                     CellText(cell, multiLine).c_str(), nullptr);
      } else {
        err = worksheet_write_number(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c),
                                     HoursOf(grid.cell(c, r)), twoDecimals);
      }
      if (err != LXW_NO_ERROR) return lxw_strerror(err);
    }
  }
  return {};
}

}  // namespace

std::string WorksheetName(std::string_view name) {
  std::string out;
  std::size_t chars = 0;
  for (std::size_t i = 0; i < name.size() && chars < 31;) {
    const char c = name[i];
    const std::size_t n = Utf8SequenceLength(name, i);
    if (n == 0 || static_cast<unsigned char>(c) < 0x20) {
      out += '_';
      ++i;
    } else if (std::string_view("[]:*?/\\").find(c) != std::string_view::npos) {
      out += '_';
      ++i;
    } else {
      out.append(name.substr(i, n));
      i += n;
    }
    ++chars;
  }
  // A spreadsheet refuses a name that begins or ends with an apostrophe.
  if (!out.empty() && out.front() == '\'') out.front() = '_';
  if (!out.empty() && out.back() == '\'') out.back() = '_';
  return out;
}

bool ExportXlsx(const std::filesystem::path& file, const core::Grid& grid, std::string* message, std::string* detail,
                const XlsxLayout& layout) {
  const XlsxHoursSheet* hours = layout.hours;
  if (grid.rowCount() > kMaxRows || grid.columnCount() > kMaxColumns) {
    return Fail(message, detail, "the table is larger than a worksheet");
  }
  // The library (1.1.4 has no output to memory) writes the whole zip to a
  // path of its own; it goes to a scratch file first and is then put in place
  // atomically, so a failure never leaves a half-written workbook under the
  // chosen name. Built with MinGW, the library opens that file and its own
  // temporary files with the C runtime's narrow fopen, which reads names in
  // the ANSI code page: a temporary folder "C:\Users\Ján\..." is handed over
  // in that code page, or in its short form when the code page lacks a letter.
  const auto scratch = ScratchWorkbookPath();
  lxw_workbook_options options{};
#if defined(_WIN32)
  const std::optional<std::string> narrowScratch = core::platform::NarrowFileName(scratch);
  if (!narrowScratch) return Fail(message, detail, "the temporary folder has no name the library can open");
  const std::string scratchName = *narrowScratch;
  const std::optional<std::string> libraryTemp = core::platform::NarrowFileName(scratch.parent_path());
  if (libraryTemp) options.tmpdir = const_cast<char*>(libraryTemp->c_str());
#else
  const std::string scratchName = core::Utf8FromPath(scratch);
#endif
  lxw_workbook* workbook = workbook_new_opt(scratchName.c_str(), &options);
  if (workbook == nullptr) return Fail(message, detail, "cannot create the workbook");
  const std::string sheetName = WorksheetName(layout.sheetName);
  lxw_worksheet* sheet = workbook_add_worksheet(workbook, sheetName.empty() ? nullptr : sheetName.c_str());
  lxw_format* wrap = workbook_add_format(workbook);
  format_set_text_wrap(wrap);
  std::string problem;
  if (sheet == nullptr) problem = "cannot add a worksheet";
  for (int c = 0; problem.empty() && c < grid.columnCount(); ++c) {
    const double width = ColumnWidth(grid, c, grid.rowCount() - 1);
    if (width > 0.0)
      worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), width, nullptr);
  }
  if (problem.empty()) SetUpPage(sheet, grid);
  for (int r = 0; problem.empty() && r < grid.rowCount(); ++r) {
    for (int c = 0; c < grid.columnCount(); ++c) {
      const std::string& text = grid.cell(c, r);
      if (text.empty()) continue;
      bool multiLine = false;
      const std::string value = CellText(text, multiLine);
      const lxw_error err = worksheet_write_string(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c),
                                                   value.c_str(), multiLine ? wrap : nullptr);
      if (err != LXW_NO_ERROR) {
        problem = lxw_strerror(err);
        break;
      }
    }
  }
  if (problem.empty() && hours != nullptr) problem = WriteHoursSheet(workbook, grid, *hours);
  const lxw_error closed = workbook_close(workbook);
  if (problem.empty() && closed != LXW_NO_ERROR) problem = lxw_strerror(closed);
  std::string bytes;
  if (problem.empty() && !core::ReadWholeFile(scratch, bytes, std::size_t{1} << 31)) {
    problem = "cannot read back the scratch workbook";
  }
  std::error_code ec;
  std::filesystem::remove(scratch, ec);
  if (!problem.empty()) return Fail(message, detail, problem);
  std::string writeError;
  if (!core::WriteFileAtomically(file, bytes, &writeError)) return Fail(message, detail, writeError);
  return true;
}

}  // namespace exports
