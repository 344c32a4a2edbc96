#include "print/report_pages.h"

#include <QFont>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRectF>
#include <algorithm>

namespace print {

namespace {

constexpr double kScreenDpi = 96.0;
constexpr int kLineHeight = 17;
constexpr int kTitleHeight = 22;
constexpr int kFooterHeight = 20;
constexpr int kDefaultNameWidth = 150;
const QColor kYellow(0xFF, 0xFF, 0x00);
constexpr int kHiddenWidth = 10;
constexpr int kMinLabelledWidth = 38;

QString CellText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

int Lines(const std::string& text) {
  if (text.empty()) return 1;
  int lines = 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      ++lines;
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (text[i] == '\n') {
      ++lines;
    }
  }
  // A cell ending in a line break shows no further line.
  if (text.back() == '\n' || text.back() == '\r') --lines;
  return std::max(lines, 1);
}

bool Hidden(const std::vector<bool>& hiddenRows, int row) {
  return row >= 0 && static_cast<std::size_t>(row) < hiddenRows.size() && hiddenRows[static_cast<std::size_t>(row)];
}

int NameWidth(const core::Grid& grid) {
  const int w = grid.columnWidth(0);
  return w > 0 ? w : kDefaultNameWidth;
}

// Width of a printed column: a day column narrowed to its short texts still
// shows its whole day label.
int PrintWidth(const core::Grid& grid, int col) {
  const int w = grid.columnWidth(col);
  return grid.cell(col, 0).empty() ? w : std::max(w, kMinLabelledWidth);
}

// Columns after column 0 that go on paper: up to the last one with text in
// the header or a shown row, without those narrowed out of sight (the shift
// columns of an installation without night work).
std::vector<int> PrintedColumns(const core::Grid& grid, const std::vector<bool>& hiddenRows) {
  int last = 0;
  for (int r = 0; r < grid.rowCount(); ++r) {
    if (r > 0 && Hidden(hiddenRows, r)) continue;
    for (int c = grid.columnCount() - 1; c > last; --c) {
      if (!grid.cell(c, r).empty()) {
        last = c;
        break;
      }
    }
  }
  std::vector<int> cols;
  for (int c = 1; c <= last; ++c)
    if (grid.columnWidth(c) > kHiddenWidth) cols.push_back(c);
  return cols;
}

int LastOf(const std::vector<int>& cols) { return cols.empty() ? 0 : cols.back(); }

struct Geometry {
  double scale = 1.0;
  double width = 0;  // page in window pixels
  double height = 0;
};

}  // namespace

int ReportRowHeight(const core::Grid& grid, int row, int lastColumn) {
  int lines = 1;
  for (int c = 0; c <= lastColumn && c < grid.columnCount(); ++c) lines = std::max(lines, Lines(grid.cell(c, row)));
  return kLineHeight + (lines - 1) * (kLineHeight - 3);
}

ReportPagePlan PlanReportPages(const core::Grid& grid, const std::vector<bool>& hiddenRows,
                               const ReportPrintOptions& options, int pageWidth, int pageHeight, double dpi) {
  ReportPagePlan plan;
  const std::vector<int> cols = PrintedColumns(grid, hiddenRows);
  const int last = LastOf(cols);
  double scale = (dpi > 0 ? dpi : kScreenDpi) / kScreenDpi;
  const int nameWidth = NameWidth(grid);
  if (options.fitToWidth) {
    long total = nameWidth;
    for (int c : cols) total += PrintWidth(grid, c);
    const double fit = pageWidth / (scale * static_cast<double>(total));
    if (fit < 1.0) scale *= fit;
  }
  plan.scale = scale;
  const double width = pageWidth / scale;
  const double height = pageHeight / scale;

  // Bands of columns across.
  std::vector<std::pair<int, int>> bands;  // indexes into cols
  if (cols.empty()) {
    bands.emplace_back(0, -1);
  } else if (options.fitToWidth) {
    bands.emplace_back(0, static_cast<int>(cols.size()) - 1);
  } else {
    const double room = std::max(1.0, width - nameWidth);
    std::size_t i = 0;
    while (i < cols.size()) {
      double used = 0;
      std::size_t j = i;
      while (j < cols.size() && (j == i || used + PrintWidth(grid, cols[j]) <= room)) {
        used += PrintWidth(grid, cols[j]);
        ++j;
      }
      bands.emplace_back(static_cast<int>(i), static_cast<int>(j) - 1);
      i = j;
    }
  }

  // Bands of rows down.
  const double headerRow = ReportRowHeight(grid, 0, last);
  const double room = std::max(1.0, height - (options.headerText.isEmpty() ? 0 : kTitleHeight) -
                                        (options.pageNumbers ? kFooterHeight : 0) - headerRow);
  std::vector<std::vector<int>> rowBands;
  std::vector<int> current;
  double used = 0;
  for (int r = 1; r < grid.rowCount(); ++r) {
    if (Hidden(hiddenRows, r)) continue;
    const double h = ReportRowHeight(grid, r, last);
    if (!current.empty() && used + h > room) {
      rowBands.push_back(std::move(current));
      current.clear();
      used = 0;
    }
    current.push_back(r);
    used += h;
  }
  if (!current.empty() || rowBands.empty()) rowBands.push_back(std::move(current));

  for (const auto& [first, lastIndex] : bands) {
    for (const auto& rows : rowBands) {
      ReportPage page;
      page.rows = rows;
      page.firstColumn = lastIndex >= first ? cols[static_cast<std::size_t>(first)] : 1;
      page.lastColumn = lastIndex >= first ? cols[static_cast<std::size_t>(lastIndex)] : 0;
      plan.pages.push_back(std::move(page));
    }
  }
  return plan;
}

void ApplyReportPageLayout(QPagedPaintDevice& device, const ReportPrintOptions& options) {
  device.setPageLayout(
      QPageLayout(QPageSize(QPageSize::A4), options.orientation, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
}

namespace {

void DrawCell(QPainter& painter, const QRectF& rect, const std::string& text, bool yellow, bool bold) {
  painter.fillRect(rect, yellow ? kYellow : QColor(Qt::white));
  painter.drawRect(rect);
  if (text.empty()) return;
  QFont font = painter.font();
  font.setBold(bold);
  painter.setFont(font);
  const QRectF inner = rect.adjusted(2, 1, -2, -1);
  painter.drawText(inner, Qt::AlignLeft | (Lines(text) > 1 ? Qt::AlignTop : Qt::AlignVCenter), CellText(text));
}

void PaintPage(QPainter& painter, const core::Grid& grid, const ReportPage& page, const std::vector<int>& cols,
               int last, const ReportPrintOptions& options, const Geometry& g, int number, int count) {
  painter.save();
  painter.scale(g.scale, g.scale);
  QFont font = painter.font();
  font.setPixelSize(11);
  painter.setFont(font);
  painter.setPen(QPen(Qt::black, 0.5));
  double y = 0;
  if (!options.headerText.isEmpty()) {
    const Qt::Alignment align = options.headerAlignment == HeaderAlignment::Left    ? Qt::AlignLeft
                                : options.headerAlignment == HeaderAlignment::Right ? Qt::AlignRight
                                                                                    : Qt::AlignHCenter;
    QFont title = font;
    title.setPixelSize(13);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRectF(0, 0, g.width, kTitleHeight), align | Qt::AlignVCenter, options.headerText);
    painter.setFont(font);
    y = kTitleHeight;
  }
  std::vector<int> shown;
  for (int c : cols)
    if (c >= page.firstColumn && c <= page.lastColumn) shown.push_back(c);
  const double nameWidth = std::min<double>(NameWidth(grid), g.width);
  auto drawRow = [&](int row, bool header) {
    const double h = ReportRowHeight(grid, row, last);
    DrawCell(painter, QRectF(0, y, nameWidth, h), grid.cell(0, row), true, true);
    double x = nameWidth;
    for (int c : shown) {
      const double w = std::min<double>(PrintWidth(grid, c), g.width - x);
      if (w <= 0) break;
      DrawCell(painter, QRectF(x, y, w, h), grid.cell(c, row), header, header);
      x += w;
    }
    y += h;
  };
  drawRow(0, true);
  for (int r : page.rows) drawRow(r, false);
  if (options.pageNumbers) {
    painter.setFont(font);
    painter.drawText(QRectF(0, g.height - kFooterHeight, g.width, kFooterHeight), Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("%1 / %2").arg(number).arg(count));
  }
  painter.restore();
}

}  // namespace

PrintOutcome PrintReport(QPagedPaintDevice& device, const core::Grid& grid, const std::vector<bool>& hiddenRows,
                         const ReportPrintOptions& options, const std::function<bool(int, int)>& progress) {
  PrintOutcome out;
  QPainter painter;
  if (!painter.begin(&device)) return out;
  const double dpi = device.logicalDpiX();
  const ReportPagePlan plan = PlanReportPages(grid, hiddenRows, options, device.width(), device.height(), dpi);
  const std::vector<int> cols = PrintedColumns(grid, hiddenRows);
  const Geometry g{plan.scale, device.width() / plan.scale, device.height() / plan.scale};
  const int count = static_cast<int>(plan.pages.size());
  out.ok = true;
  for (int i = 0; i < count; ++i) {
    if (progress && !progress(i, count)) {
      out.cancelled = true;
      break;
    }
    if (i > 0 && !device.newPage()) {
      out.ok = false;
      break;
    }
    PaintPage(painter, grid, plan.pages[static_cast<std::size_t>(i)], cols, LastOf(cols), options, g, i + 1, count);
    ++out.pages;
  }
  if (!painter.end()) out.ok = false;
  return out;
}

}  // namespace print
