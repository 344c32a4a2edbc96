#include "export/document_export.h"

#include <cctype>

#include "core/grid_text_file.h"
#include "core/path_text.h"
#include "export/grid_export.h"
#include "robot/report_files.h"
#include "robot/report_table.h"

namespace exports {
namespace {

int Number(const std::string& text) {
  int value = 0;
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i == text.size()) return 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    if (value > 100000) return 0;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

std::string Period(const Document& d, char separator) {
  if (d.month <= 0 || d.year <= 0) return {};
  return std::to_string(d.month) + separator + std::to_string(d.year);
}

std::string Joined(std::string a, const std::string& b) {
  if (b.empty()) return a;
  return a + ' ' + b;
}

// The report as it goes on paper: holiday headers with their day.
core::Grid PaperReport(const core::Grid& grid) {
  core::Grid paper = grid;
  for (int c = robot::kReportFirstDayColumn; c < paper.columnCount(); ++c)
    paper.setCell(c, 0, robot::ReportPaperHeader(grid, c));
  return paper;
}

}  // namespace

Document SheetDocument(const core::Grid& sheet) {
  Document d;
  d.kind = DocumentKind::Sheet;
  d.grid = &sheet;
  d.name = sheet.cell(1, 1);
  d.month = Number(sheet.cell(1, 2));
  d.year = Number(sheet.cell(1, 3));
  if (d.month > 12) d.month = 0;
  return d;
}

Document ReportDocument(const core::Grid& report, int month, int year) {
  Document d;
  d.kind = DocumentKind::Report;
  d.grid = &report;
  d.month = month;
  d.year = year;
  return d;
}

std::optional<DocumentFormat> DocumentFormatOf(const std::filesystem::path& file, DocumentKind kind) {
  std::string ext = core::Utf8FromPath(file.extension());
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == (kind == DocumentKind::Sheet ? ".dok" : ".zdr")) return DocumentFormat::Own;
  const auto format = FormatFromExtension(file);
  if (!format) return std::nullopt;
  switch (*format) {
    case ExportFormat::Xlsx: return DocumentFormat::Xlsx;
    case ExportFormat::Csv: return DocumentFormat::Csv;
    case ExportFormat::Html: return DocumentFormat::Html;
  }
  return std::nullopt;
}

std::string DocumentTitle(const Document& d) {
  if (d.kind == DocumentKind::Report) return Joined("Výkaz dochádzky", Period(d, '/'));
  return Joined(Joined("Dochádzkový list", d.name), Period(d, '/'));
}

std::string DocumentSheetName(const Document& d) {
  if (d.kind == DocumentKind::Report) return Joined("Výkaz", Period(d, '-'));
  return Joined("List", d.name);
}

bool WriteDocument(const std::filesystem::path& file, const Document& d, DocumentFormat format, std::string* message,
                   std::string* detail) {
  static const core::Grid kEmpty;
  const core::Grid& grid = d.grid != nullptr ? *d.grid : kEmpty;
  if (format == DocumentFormat::Own) {
    std::string error;
    const bool ok = d.kind == DocumentKind::Sheet ? core::GridTextFile::Write(file, grid, &error)
                                                  : robot::WriteReportFile(file, grid, &error);
    if (!ok && message) *message = error.empty() ? CannotWriteMessage(file) : error;
    return ok;
  }
  const bool report = d.kind == DocumentKind::Report;
  const core::Grid paperReport = report ? PaperReport(grid) : core::Grid();
  const core::Grid& paper = report ? paperReport : grid;
  switch (format) {
    case DocumentFormat::Xlsx: {
      XlsxLayout layout;
      layout.sheetName = DocumentSheetName(d);
      if (report) layout.hours = &kReportHoursSheet;
      return ExportXlsx(file, paper, message, detail, layout);
    }
    case DocumentFormat::Csv: return ExportCsv(file, paper, message);
    case DocumentFormat::Html: return ExportHtml(file, paper, DocumentTitle(d), message);
    case DocumentFormat::Own: break;
  }
  return false;
}

}  // namespace exports
