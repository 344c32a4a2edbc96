#include "export/grid_export.h"

#include <cctype>

#include "core/atomic_file.h"
#include "core/path_text.h"

namespace exports {
namespace {

bool NeedsQuotes(std::string_view text) {
  if (text.empty()) return false;
  // The comma too: spreadsheet programs offer it as a separator beside ";"
  // and split an unquoted "Novák, Ján" in two.
  if (text.find_first_of(";,\"\r\n\t") != std::string_view::npos) return true;
  if (text.front() == ' ' || text.back() == ' ') return true;
  const char first = text.front();
  return first == '=' || first == '+' || first == '-' || first == '@';
}

// Inside quotes a line break is written as CR LF whatever the cell holds, so
// that every reader sees one kind of break.
void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      out += "\"\"";
    } else if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  out += '"';
}

void AppendHtmlEscaped(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      case '\r':
        out += "<br>";
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        break;
      case '\n': out += "<br>"; break;
      default:
        // Other control characters have no place in an HTML page.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
    }
  }
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string CannotWriteMessage(const std::filesystem::path& file) {
  return "Nie je možné zapísať súbor: " + core::DisplayPath(file);
}

std::string GridToCsv(const core::Grid& grid) {
  std::string out;
  for (int r = 0; r < grid.rowCount(); ++r) {
    for (int c = 0; c < grid.columnCount(); ++c) {
      if (c > 0) out += ';';
      const std::string& text = grid.cell(c, r);
      if (NeedsQuotes(text)) {
        AppendQuoted(out, text);
      } else {
        out += text;
      }
    }
    out += "\r\n";
  }
  return out;
}

bool ExportCsv(const std::filesystem::path& file, const core::Grid& grid, std::string* message) {
  const std::string bytes = "\xEF\xBB\xBF" + GridToCsv(grid);
  if (core::WriteFileAtomically(file, bytes)) return true;
  if (message) *message = CannotWriteMessage(file);
  return false;
}

std::string GridToHtml(const core::Grid& grid, std::string_view title) {
  std::string out =
      "<!DOCTYPE html>\r\n<html lang=\"sk\">\r\n<head>\r\n<meta charset=\"utf-8\">\r\n<title>";
  AppendHtmlEscaped(out, title);
  out +=
      "</title>\r\n<style>table{border-collapse:collapse}th,td{border:1px solid #808080;padding:1px 4px;"
      "vertical-align:top;white-space:nowrap}th{background:#ffff00}</style>\r\n</head>\r\n<body>\r\n";
  if (!title.empty()) {
    out += "<h3>";
    AppendHtmlEscaped(out, title);
    out += "</h3>\r\n";
  }
  out += "<table>\r\n";
  for (int r = 0; r < grid.rowCount(); ++r) {
    const char* tag = r == 0 ? "th" : "td";
    out += "<tr>";
    for (int c = 0; c < grid.columnCount(); ++c) {
      out += '<';
      out += tag;
      out += '>';
      AppendHtmlEscaped(out, grid.cell(c, r));
      out += "</";
      out += tag;
      out += '>';
    }
    out += "</tr>\r\n";
  }
  out += "</table>\r\n</body>\r\n</html>\r\n";
  return out;
}

bool ExportHtml(const std::filesystem::path& file, const core::Grid& grid, std::string_view title,
                std::string* message) {
  if (core::WriteFileAtomically(file, GridToHtml(grid, title))) return true;
  if (message) *message = CannotWriteMessage(file);
  return false;
}

std::optional<ExportFormat> FormatFromExtension(const std::filesystem::path& file) {
  const std::string ext = Lower(core::Utf8FromPath(file.extension()));
  if (ext == ".xlsx") return ExportFormat::Xlsx;
  if (ext == ".csv") return ExportFormat::Csv;
  if (ext == ".html" || ext == ".htm") return ExportFormat::Html;
  return std::nullopt;
}

bool ExportGrid(const std::filesystem::path& file, const core::Grid& grid, ExportFormat format,
                std::string* message, std::string_view title) {
  switch (format) {
    case ExportFormat::Xlsx: return ExportXlsx(file, grid, message);
    case ExportFormat::Csv: return ExportCsv(file, grid, message);
    case ExportFormat::Html: return ExportHtml(file, grid, title, message);
  }
  return false;
}

}  // namespace exports
