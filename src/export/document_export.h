#pragma once
// The one place that decides what a sheet or a report becomes in each file
// type, for the windows and the command-line tool alike: so that whichever
// front end writes it, a workbook, a CSV text or an HTML page of the same
// document is the same file.

#include <filesystem>
#include <optional>
#include <string>

#include "core/grid.h"

namespace exports {

enum class DocumentKind {
  Sheet,   // one employee's attendance sheet (6 x 32)
  Report,  // the combined report of a month
};

struct Document {
  DocumentKind kind = DocumentKind::Sheet;
  const core::Grid* grid = nullptr;
  // The document's own period and, for a sheet, its employee.
  int month = 0;
  int year = 0;
  std::string name;
};

// A sheet knows its employee and period: the name, month and year its robot
// run wrote into rows 1 to 3 of the value column.
Document SheetDocument(const core::Grid& sheet);
Document ReportDocument(const core::Grid& report, int month, int year);

enum class DocumentFormat {
  Own,   // the kind's own file: .dok for a sheet, .zdr for a report
  Xlsx,  // workbook: the grid's texts; a report adds the "Hodiny" worksheet of numbers
  Csv,
  Html,
};

// By the file's extension, without regard to case: the kind's own (.dok or
// .zdr), .xlsx, .csv, .html or .htm; no value for anything else.
std::optional<DocumentFormat> DocumentFormatOf(const std::filesystem::path& file, DocumentKind kind);

// "Dochádzkový list <name> 11/2026" / "Výkaz dochádzky 11/2026": the HTML
// page's title and heading.
std::string DocumentTitle(const Document& document);
// "List <name>" / "Výkaz 11-2026": the workbook's first worksheet.
std::string DocumentSheetName(const Document& document);

// Writes the document in `format`, replacing the file atomically. On paper
// and in exports a report's holiday column keeps its day ("17 Sviatok").
// False with the operator's message: kXlsxFailedMessage for a workbook
// (`detail` then says why), the cannot-write message otherwise.
bool WriteDocument(const std::filesystem::path& file, const Document& document, DocumentFormat format,
                   std::string* message = nullptr, std::string* detail = nullptr);

}  // namespace exports
