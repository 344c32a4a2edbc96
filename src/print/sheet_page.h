#pragma once
// The printed attendance sheet: one page per sheet, laid out in units of a
// hundredth of the page width and a sixty-fifth of its height, drawn on any
// paged device (printer, PDF writer, print preview).

#include <QString>
#include <functional>

class QDateTime;

#include "core/grid.h"

class QPainter;
class QPagedPaintDevice;
class QRect;

namespace print {

// The date and time after "Vytlacené: " in the installation's own short
// format ("10.12.2026 02:36"), whatever the system's language.
QString PrintStamp(const QDateTime& when);

struct SheetPrintOptions {
  // After "Vytlacené: " (see PrintStamp); empty: the time the pages are drawn.
  QString printedAt;
  // Two signature lines below the grid ("Podpis pracovníka", "Podpis vedúceho").
  bool signatureLines = true;
};

// Draws one sheet (the 6 x 32 grid of the sheet window) into `page`, in the
// painter's device pixels. Every text stays inside its column: a text too
// long for it is set smaller, then on two lines, and only then cut short.
void printgrid(QPainter& painter, const QRect& page, const core::Grid& grid, const SheetPrintOptions& options);

struct PrintOutcome {
  int pages = 0;
  bool ok = false;         // the device accepted every page
  bool cancelled = false;  // `progress` asked to stop; the pages so far stay printed
};

// Sheets 0..count-1, one page each, in order, inside margins an office
// printer and a binder leave free (20 mm on the left, 10 mm elsewhere,
// counted from the paper's edge; a device's larger margins stay). `sheet(i)` gives the grid of
// sheet i (computed on demand; null skips it). `progress(i, count)` runs
// before each sheet and returns false to stop.
PrintOutcome PrintSheets(QPagedPaintDevice& device, int count, const std::function<const core::Grid*(int)>& sheet,
                         const SheetPrintOptions& options, const std::function<bool(int, int)>& progress = {});

}  // namespace print
