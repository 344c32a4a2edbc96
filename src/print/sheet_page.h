#pragma once
// The printed attendance sheet: one page per sheet, laid out in units of a
// hundredth of the page width and a sixty-fifth of its height, drawn on any
// paged device (printer, PDF writer, print preview).

#include <QString>
#include <functional>

#include "core/grid.h"

class QPainter;
class QPagedPaintDevice;
class QRect;

namespace print {

struct SheetPrintOptions {
  // After "Vytlacené: "; the caller formats the current date and time in the
  // system's short format.
  QString printedAt;
  // Two signature lines below the grid ("Podpis pracovníka", "Podpis vedúceho").
  bool signatureLines = true;
};

// Draws one sheet (the 6 x 32 grid of the sheet window) into `page`, in the
// painter's device pixels.
void printgrid(QPainter& painter, const QRect& page, const core::Grid& grid, const SheetPrintOptions& options);

struct PrintOutcome {
  int pages = 0;
  bool ok = false;         // the device accepted every page
  bool cancelled = false;  // `progress` asked to stop; the pages so far stay printed
};

// Sheets 0..count-1, one page each, in order. `sheet(i)` gives the grid of
// sheet i (computed on demand; null skips it). `progress(i, count)` runs
// before each sheet and returns false to stop.
PrintOutcome PrintSheets(QPagedPaintDevice& device, int count, const std::function<const core::Grid*(int)>& sheet,
                         const SheetPrintOptions& options, const std::function<bool(int, int)>& progress = {});

}  // namespace print
