#include "print/sheet_page.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRect>
#include <array>

namespace print {

namespace {

QString Cell(const core::Grid& grid, int col, int row) {
  const std::string& text = grid.cell(col, row);
  // The sheet shows single-line cells; a stray line break would run into the next row.
  const std::size_t end = text.find_first_of("\r\n");
  return QString::fromStdString(end == std::string::npos ? text : text.substr(0, end));
}

void SetFont(QPainter& painter, int points, bool bold) {
  QFont font = painter.font();
  font.setPointSize(points);
  font.setBold(bold);
  painter.setFont(font);
}

// Text with its top-left corner at (x, y), not clipped, as a canvas draws it.
void TextOut(QPainter& painter, int x, int y, const QString& text) {
  if (text.isEmpty()) return;
  painter.drawText(QRect(x, y, 1, 1), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine, text);
}

}  // namespace

void printgrid(QPainter& painter, const QRect& page, const core::Grid& grid, const SheetPrintOptions& options) {
  painter.save();
  painter.translate(page.topLeft());
  const int ux = page.width() / 100;
  const int uy = page.height() / 65;
  const std::array<int, 6> x = {0, 13 * ux, 26 * ux, 32 * ux, 75 * ux, 90 * ux};
  painter.setPen(QPen(Qt::black));
  painter.setBrush(Qt::white);

  SetFont(painter, 8, true);
  TextOut(painter, 0, 0,
          Cell(grid, 1, 1) + QStringLiteral("   ") + Cell(grid, 1, 2) + QLatin1Char('.') + Cell(grid, 1, 3) +
              QLatin1Char('.'));
  SetFont(painter, 6, false);
  TextOut(painter, 50 * ux, 0, QStringLiteral("Vytlacené: ") + options.printedAt);

  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRect(QPoint(0, uy - 1), QPoint(100 * ux, 2 * uy - 1)));

  for (int col = 0; col <= 3; ++col) {
    for (int row = 0; row <= 32; ++row) {
      SetFont(painter, col == 3 && row > 0 ? 6 : 8, row == 0 || col == 0);
      TextOut(painter, x[static_cast<std::size_t>(col)], (row + 1) * uy, Cell(grid, col, row));
    }
  }

  // Long registration lists run into the result columns; blank that area
  // before the results are drawn.
  painter.setPen(QPen(Qt::white));
  painter.setBrush(Qt::white);
  painter.drawRect(QRect(QPoint(75 * ux - 5, 2 * uy), QPoint(100 * ux + 5, 32 * uy)));
  painter.setPen(QPen(Qt::black));

  for (int col = 4; col <= 5; ++col) {
    for (int row = 0; row <= 32; ++row) {
      SetFont(painter, col == 5 && row > 0 ? 6 : 8, row == 0);
      TextOut(painter, x[static_cast<std::size_t>(col)], (row + 1) * uy, Cell(grid, col, row));
    }
  }

  painter.drawLine(12 * ux, uy + uy / 10, 12 * ux, 30 * uy);

  if (options.signatureLines) {
    // Payroll files signed sheets: room for both signatures under the grid.
    const int lineY = 38 * uy;
    SetFont(painter, 8, false);
    painter.drawLine(5 * ux, lineY, 40 * ux, lineY);
    painter.drawLine(55 * ux, lineY, 90 * ux, lineY);
    TextOut(painter, 5 * ux, lineY + uy / 3, QStringLiteral("Podpis pracovníka"));
    TextOut(painter, 55 * ux, lineY + uy / 3, QStringLiteral("Podpis vedúceho"));
  }
  painter.restore();
}

PrintOutcome PrintSheets(QPagedPaintDevice& device, int count, const std::function<const core::Grid*(int)>& sheet,
                         const SheetPrintOptions& options, const std::function<bool(int, int)>& progress) {
  PrintOutcome out;
  QPainter painter;
  if (!painter.begin(&device)) return out;
  const QRect page(0, 0, device.width(), device.height());
  out.ok = true;
  for (int i = 0; i < count; ++i) {
    if (progress && !progress(i, count)) {
      out.cancelled = true;
      break;
    }
    const core::Grid* grid = sheet(i);
    if (grid == nullptr) continue;
    if (out.pages > 0 && !device.newPage()) {
      out.ok = false;
      break;
    }
    printgrid(painter, page, *grid, options);
    ++out.pages;
  }
  if (!painter.end()) out.ok = false;
  return out;
}

}  // namespace print
