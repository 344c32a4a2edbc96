#pragma once
// Exports of a Grid (attendance sheet or combined report) to files other
// programs open: a spreadsheet workbook (.xlsx), CSV text and an HTML page.
// Every grid cell is exported as text, from the header row and column 0 on;
// nothing is ever turned into a number or a formula ("=8:30" stays "=8:30").
//
// Every export replaces its file atomically: a failed export leaves an
// existing file as it was.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/grid.h"

namespace exports {

// What the operator is told when the workbook cannot be written; the text the
// installation has always shown for a failed spreadsheet export.
inline constexpr std::string_view kXlsxFailedMessage = "Excel OLE server not found";

// Operator message for a CSV or HTML file that cannot be written.
std::string CannotWriteMessage(const std::filesystem::path& file);

// Workbook whose first worksheet holds every cell of the grid as a string,
// grid cell (col, row) at spreadsheet cell (row, col), A1 = (0, 0). Cells with
// line breaks wrap. On failure `message` gets kXlsxFailedMessage and `detail`
// the underlying reason.
// A further worksheet of numbers, so that a spreadsheet can sum what the
// text sheet shows: the header row and `textColumns` as text, the "h:mm"
// durations of grid columns `firstHours` to `lastHours` of the other rows
// as numbers of hours with two decimals (an empty duration is 0).
struct XlsxHoursSheet {
  const char* name;
  int textColumns;  // grid columns 0 .. textColumns - 1
  int firstHours;
  int lastHours;
};
// The combined report's "Hodiny": name, personal number and department, and
// the totals of columns 3 to 19.
inline constexpr XlsxHoursSheet kReportHoursSheet{"Hodiny", 3, 3, 19};

// How the workbook reads and prints in a spreadsheet program. Every worksheet
// keeps its header row and name column in view (frozen), prints landscape on
// A4 one page wide, and has each column as wide as its longest text (not as
// wide as a window showed it), so that day labels and a day's registrations
// read whole and every front end writes the same workbook.
struct XlsxLayout {
  // The first worksheet's name (empty: the library's "Sheet1"). Letters a
  // worksheet name cannot hold become "_", and it is cut to 31 characters.
  std::string sheetName;
  const XlsxHoursSheet* hours = nullptr;
};

bool ExportXlsx(const std::filesystem::path& file, const core::Grid& grid, std::string* message = nullptr,
                std::string* detail = nullptr, const XlsxLayout& layout = {});

// A worksheet name as a spreadsheet accepts it (see XlsxLayout::sheetName).
std::string WorksheetName(std::string_view name);

// The CSV text (UTF-8, without the byte-order mark): one line per grid row,
// CR LF after each, cells separated by ";". A cell is put in double quotes
// (inner quotes doubled) when it contains ";", ",", a double quote, a line
// break or a tab (a spreadsheet program may split at any of ";", "," and tab),
// starts or ends with a blank, or starts with "=", "+", "-" or "@" (so that a
// spreadsheet that honours quotes keeps it as text). Line breaks inside a
// quoted cell are written as CR LF.
std::string GridToCsv(const core::Grid& grid);
// Writes GridToCsv as UTF-8 with a byte-order mark, which spreadsheet
// programs use to recognise the encoding; Slovak letters stay intact.
bool ExportCsv(const std::filesystem::path& file, const core::Grid& grid, std::string* message = nullptr);

// A complete Slovak HTML page (<html lang="sk">, UTF-8 declared by <meta
// charset="utf-8">) with one table: row 0 in <th> cells, the others in
// <td>; every text escaped, line breaks inside a cell as <br>. `title` goes
// into <title> and a heading (omitted when empty).
std::string GridToHtml(const core::Grid& grid, std::string_view title = {});
bool ExportHtml(const std::filesystem::path& file, const core::Grid& grid, std::string_view title = {},
                std::string* message = nullptr);

enum class ExportFormat { Xlsx, Csv, Html };

// By the file's extension, without regard to case: .xlsx, .csv, .html or
// .htm. Anything else (.xls included: the workbook is not in that older
// format) gives no value.
std::optional<ExportFormat> FormatFromExtension(const std::filesystem::path& file);

// Dispatches on `format`; `message` as the export function gives it.
bool ExportGrid(const std::filesystem::path& file, const core::Grid& grid, ExportFormat format,
                std::string* message = nullptr, std::string_view title = {});

}  // namespace exports
