#pragma once
// The printed combined report: the grid cut into pages as spreadsheets print
// a wide table. The header row and column 0 (the names) are repeated on
// every page and printed on yellow, so that every page can be read on its
// own; rows the department filter hides are left out. Pages run down the
// rows first, then across to the next band of columns. Drawn on any paged
// device (printer, PDF writer, print preview) in units of the window's
// pixels, scaled to the device's resolution.

#include <QPageLayout>
#include <QString>
#include <functional>
#include <vector>

#include "core/grid.h"
#include "print/sheet_page.h"

class QPagedPaintDevice;
class QPainter;

namespace print {

enum class HeaderAlignment { Left, Centre, Right };

struct ReportPrintOptions {
  // One line above the table on every page (empty: none).
  QString headerText;
  HeaderAlignment headerAlignment = HeaderAlignment::Centre;
  // "n / m" below the table.
  bool pageNumbers = true;
  QPageLayout::Orientation orientation = QPageLayout::Landscape;
  // All columns in one band across the page, scaled down as needed, but never
  // below a readable size (about 6 pt): a table wider than that is printed
  // in bands.
  bool fitToWidth = false;
  // After "Vytlacené: " below the table (see PrintStamp); empty: the time
  // the pages are drawn.
  QString printedAt;
};

// One printed page: the data rows (grid rows) and the columns after column 0
// it shows.
struct ReportPage {
  std::vector<int> rows;
  int firstColumn = 1;
  int lastColumn = 1;
};

struct ReportPagePlan {
  std::vector<ReportPage> pages;
  // Window pixels -> device pixels.
  double scale = 1.0;
  // Printed width of each grid column in window pixels (0: not printed).
  std::vector<double> widths;
  // The columns go across in more than one band of pages; each page then
  // says which days it holds.
  bool banded = false;
};

// "dni 1.-5." ("dni 7.-7." for one day): the days of the report's day
// columns among grid columns first..last; empty when the range holds none.
QString BandDays(int firstColumn, int lastColumn);

// Height of a grid row on paper, in window pixels: 17 per line of its
// tallest cell.
int ReportRowHeight(const core::Grid& grid, int row, int lastColumn);

// Lays the grid out on pages of `pageWidth` x `pageHeight` device pixels at
// `dpi`. `hiddenRows[r]` true leaves grid row r out (a shorter vector hides
// nothing beyond its end). The empty columns after the last one with text
// are not printed, nor columns 10 pixels wide or less (narrowed out of
// sight) unless one of them holds a value in a printed row: then they are
// all printed (the shift totals of an installation without night work). A
// column is printed at least as wide as its longest text, so that headers
// and cells read whole and apart. A grid without data rows still gives one
// page with the header row.
ReportPagePlan PlanReportPages(const core::Grid& grid, const std::vector<bool>& hiddenRows,
                               const ReportPrintOptions& options, int pageWidth, int pageHeight, double dpi);

// Plans and paints the report on `device`. The caller sets the device's
// page size and orientation (see ApplyReportPageLayout). `progress(page,
// pages)` runs before each page and returns false to stop.
PrintOutcome PrintReport(QPagedPaintDevice& device, const core::Grid& grid, const std::vector<bool>& hiddenRows,
                         const ReportPrintOptions& options, const std::function<bool(int, int)>& progress = {});

// A4 in the options' orientation with 10 mm margins.
void ApplyReportPageLayout(QPagedPaintDevice& device, const ReportPrintOptions& options);

}  // namespace print
