#include "print/sheet_page.h"

#include <QDateTime>
#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRect>
#include <algorithm>
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

constexpr double kSmallestPoints = 4.0;

QFont SizedFont(const QFont& base, double points, bool bold) {
  QFont font = base;
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

// The text inside `box` with its top-left corner where the canvas would put
// it: at `points` when it fits on one line; otherwise a little smaller; then
// on two lines; then at the smallest size, cut short with "…".
void TextIn(QPainter& painter, const QRectF& box, const QString& text, double points, bool bold) {
  if (text.isEmpty() || box.width() <= 0) return;
  const QFont base = painter.font();
  QPaintDevice* device = painter.device();
  auto fitsOnOneLine = [&](double size) {
    return QFontMetricsF(SizedFont(base, size, bold), device).horizontalAdvance(text) <= box.width();
  };
  auto draw = [&](double size, int flags, const QString& shown) {
    painter.setFont(SizedFont(base, size, bold));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | flags, shown);
  };
  // One line down to three quarters of the size reads better than two.
  for (double size = points; size >= std::max(kSmallestPoints, points * 0.75); size -= 0.25) {
    if (fitsOnOneLine(size)) return draw(size, Qt::TextSingleLine, text);
  }
  if (text.contains(QLatin1Char(' '))) {
    for (double size = points; size >= kSmallestPoints; size -= 0.25) {
      const QFontMetricsF metrics(SizedFont(base, size, bold), device);
      const QRectF needed = metrics.boundingRect(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
      if (needed.height() <= box.height() + 0.5 && needed.width() <= box.width() + 0.5)
        return draw(size, Qt::TextWordWrap, text);
    }
  }
  for (double size = points * 0.75; size >= kSmallestPoints; size -= 0.25) {
    if (fitsOnOneLine(size)) return draw(size, Qt::TextSingleLine, text);
  }
  const QFontMetricsF smallest(SizedFont(base, kSmallestPoints, bold), device);
  draw(kSmallestPoints, Qt::TextSingleLine, smallest.elidedText(text, Qt::ElideRight, box.width()));
}

constexpr double kLeftMarginMm = 20.0;
constexpr double kOtherMarginMm = 10.0;

// The part of the device's page inside the sheet's margins, in device pixels.
QRect SheetArea(const QPagedPaintDevice& device) {
  const QPageLayout layout = device.pageLayout();
  const QRectF paint = layout.paintRect(QPageLayout::Millimeter);
  const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
  const QRect whole(0, 0, device.width(), device.height());
  if (paint.width() <= 0 || paint.height() <= 0) return whole;
  const double perMmX = device.width() / paint.width();
  const double perMmY = device.height() / paint.height();
  const int left = static_cast<int>(std::max(0.0, kLeftMarginMm - margins.left()) * perMmX);
  const int right = static_cast<int>(std::max(0.0, kOtherMarginMm - margins.right()) * perMmX);
  const int top = static_cast<int>(std::max(0.0, kOtherMarginMm - margins.top()) * perMmY);
  const int bottom = static_cast<int>(std::max(0.0, kOtherMarginMm - margins.bottom()) * perMmY);
  return whole.adjusted(left, top, -right, -bottom);
}

}  // namespace

QString PrintStamp(const QDateTime& when) {
  // Day and month without leading zeros as the installation writes dates
  // elsewhere (d.M.yyyy), the time with two-digit hours.
  return QStringLiteral("%1.%2.%3 %4:%5")
      .arg(when.date().day())
      .arg(when.date().month())
      .arg(when.date().year())
      .arg(when.time().hour(), 2, 10, QLatin1Char('0'))
      .arg(when.time().minute(), 2, 10, QLatin1Char('0'));
}

void printgrid(QPainter& painter, const QRect& page, const core::Grid& grid, const SheetPrintOptions& options) {
  painter.save();
  painter.translate(page.topLeft());
  const int ux = page.width() / 100;
  const int uy = page.height() / 65;
  const std::array<int, 6> x = {0, 13 * ux, 26 * ux, 32 * ux, 75 * ux, 90 * ux};
  painter.setPen(QPen(Qt::black));
  painter.setBrush(Qt::white);

  // Each column's texts end a little before the next column begins, so that
  // neighbours stay apart; column 0 ends at the line drawn after it.
  const int gap = std::max(1, ux / 3);
  const std::array<int, 6> end = {12 * ux - gap, x[2] - gap, x[3] - gap, x[4] - gap, x[5] - gap, 100 * ux};
  auto cellBox = [&](int col, int row) {
    const auto c = static_cast<std::size_t>(col);
    return QRectF(x[c], (row + 1) * uy, end[c] - x[c], uy);
  };

  SetFont(painter, 8, true);
  TextIn(painter, QRectF(0, 0, 50 * ux - gap, uy),
         Cell(grid, 1, 1) + QStringLiteral("   ") + Cell(grid, 1, 2) + QLatin1Char('.') + Cell(grid, 1, 3) +
             QLatin1Char('.'),
         8, true);
  SetFont(painter, 6, false);
  const QString stamp = options.printedAt.isEmpty() ? PrintStamp(QDateTime::currentDateTime()) : options.printedAt;
  TextIn(painter, QRectF(50 * ux, 0, 50 * ux, uy), QStringLiteral("Vytlacené: ") + stamp, 6, false);

  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRect(QPoint(0, uy - 1), QPoint(100 * ux, 2 * uy - 1)));

  for (int col = 0; col <= 3; ++col) {
    for (int row = 0; row <= 32; ++row) {
      const double points = col == 3 && row > 0 ? 6 : 8;
      TextIn(painter, cellBox(col, row), Cell(grid, col, row), points, row == 0 || col == 0);
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
      const double points = col == 5 && row > 0 ? 6 : 8;
      TextIn(painter, cellBox(col, row), Cell(grid, col, row), points, row == 0);
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
  const QRect page = SheetArea(device);
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
