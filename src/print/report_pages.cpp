#include "print/report_pages.h"

#include <QDateTime>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRectF>
#include <algorithm>

#include "robot/report_table.h"

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
constexpr int kFontPixels = 11;
// The smallest body text fit to width may make.
constexpr double kMinPoints = 6.0;
// Room around a cell's text: the inner margin on both sides and the lines.
constexpr double kCellPadding = 9.0;

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

// Columns after column 0 that go on paper: up to the last one with text in
// the header or a shown row; those narrowed out of sight (the shift columns
// of an installation without night work) only when one of them holds a value
// in a shown row, and then all of them, so that the totals paid on stand
// beside each other.
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
  bool narrowedHold = false;
  for (int c = 1; c <= last && !narrowedHold; ++c) {
    if (grid.columnWidth(c) > kHiddenWidth) continue;
    for (int r = 1; r < grid.rowCount() && !narrowedHold; ++r)
      narrowedHold = !Hidden(hiddenRows, r) && !grid.cell(c, r).empty();
  }
  std::vector<int> cols;
  for (int c = 1; c <= last; ++c)
    if (grid.columnWidth(c) > kHiddenWidth || narrowedHold) cols.push_back(c);
  return cols;
}

QFont CellFont(bool bold) {
  QFont font;
  font.setPixelSize(kFontPixels);
  font.setBold(bold);
  return font;
}

QString HeaderText(const core::Grid& grid, int col) {
  return QString::fromStdString(robot::ReportPaperHeader(grid, col));
}

// Widest line of a cell text in window pixels; texts repeat (durations,
// codes), so each is measured once.
class TextWidths {
 public:
  double of(const std::string& text, bool bold) {
    if (text.empty()) return 0;
    QHash<QString, double>& cache = bold ? m_bold : m_regular;
    const QString key = QString::fromStdString(text);
    const auto found = cache.constFind(key);
    if (found != cache.constEnd()) return *found;
    double widest = 0;
    for (const QString& line : CellText(text).split(QLatin1Char('\n')))
      widest = std::max(widest, (bold ? m_boldMetrics : m_metrics).horizontalAdvance(line));
    cache.insert(key, widest);
    return widest;
  }

 private:
  QFontMetricsF m_metrics{CellFont(false)};
  QFontMetricsF m_boldMetrics{CellFont(true)};
  QHash<QString, double> m_regular;
  QHash<QString, double> m_bold;
};

// Printed widths of column 0 and of `cols`: the grid's width (a day column
// at least its label's), widened to the longest text of the header and of
// the shown rows.
std::vector<double> PrintWidths(const core::Grid& grid, const std::vector<bool>& hiddenRows,
                                const std::vector<int>& cols) {
  std::vector<double> widths(static_cast<std::size_t>(std::max(grid.columnCount(), 1)), 0.0);
  TextWidths measure;
  auto widen = [&](int col, double base, bool boldCells) {
    double w = std::max(base, measure.of(HeaderText(grid, col).toStdString(), true) + kCellPadding);
    for (int r = 1; r < grid.rowCount(); ++r) {
      if (Hidden(hiddenRows, r)) continue;
      w = std::max(w, measure.of(grid.cell(col, r), boldCells) + kCellPadding);
    }
    widths[static_cast<std::size_t>(col)] = w;
  };
  widen(0, NameWidth(grid), true);
  for (int c : cols) {
    const int w = grid.columnWidth(c);
    const double base = w <= kHiddenWidth ? 0.0 : grid.cell(c, 0).empty() ? w : std::max(w, kMinLabelledWidth);
    widen(c, base, false);
  }
  return widths;
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

QString BandDays(int firstColumn, int lastColumn) {
  const int firstDay = std::max(firstColumn, robot::kReportFirstDayColumn) - robot::kReportFirstDayColumn + 1;
  const int lastDay = std::min(lastColumn, robot::kReportFirstDayColumn + 30) - robot::kReportFirstDayColumn + 1;
  if (lastDay < firstDay) return {};
  return QStringLiteral("dni %1.-%2.").arg(firstDay).arg(lastDay);
}

ReportPagePlan PlanReportPages(const core::Grid& grid, const std::vector<bool>& hiddenRows,
                               const ReportPrintOptions& options, int pageWidth, int pageHeight, double dpi) {
  ReportPagePlan plan;
  const std::vector<int> cols = PrintedColumns(grid, hiddenRows);
  const int last = LastOf(cols);
  plan.widths = PrintWidths(grid, hiddenRows, cols);
  auto widthOf = [&](int col) { return plan.widths[static_cast<std::size_t>(col)]; };
  const double resolution = dpi > 0 ? dpi : kScreenDpi;
  double scale = resolution / kScreenDpi;
  const double nameWidth = widthOf(0);
  bool bands = !options.fitToWidth;
  if (options.fitToWidth) {
    double total = nameWidth;
    for (int c : cols) total += widthOf(c);
    const double fit = pageWidth / (scale * total);
    if (fit < 1.0) scale *= fit;
    // Below a readable size the table goes across in bands instead.
    const double readable = kMinPoints * resolution / (72.0 * kFontPixels);
    if (scale < readable) {
      scale = readable;
      bands = true;
    }
  }
  plan.scale = scale;
  const double width = pageWidth / scale;
  const double height = pageHeight / scale;

  // Bands of columns across.
  std::vector<std::pair<int, int>> columnBands;  // indexes into cols
  if (cols.empty()) {
    columnBands.emplace_back(0, -1);
  } else if (!bands) {
    columnBands.emplace_back(0, static_cast<int>(cols.size()) - 1);
  } else {
    const double room = std::max(1.0, width - nameWidth);
    std::size_t i = 0;
    while (i < cols.size()) {
      double used = 0;
      std::size_t j = i;
      while (j < cols.size() && (j == i || used + widthOf(cols[j]) <= room)) {
        used += widthOf(cols[j]);
        ++j;
      }
      columnBands.emplace_back(static_cast<int>(i), static_cast<int>(j) - 1);
      i = j;
    }
  }
  plan.banded = columnBands.size() > 1;

  // Bands of rows down; the footer line (page number, print date, days)
  // is on every page.
  const double headerRow = ReportRowHeight(grid, 0, last);
  const double room =
      std::max(1.0, height - (options.headerText.isEmpty() ? 0 : kTitleHeight) - kFooterHeight - headerRow);
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

  for (const auto& [first, lastIndex] : columnBands) {
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
  const QRectF inner = rect.adjusted(4, 1, -3, -1);
  painter.drawText(inner, Qt::AlignLeft | (Lines(text) > 1 ? Qt::AlignTop : Qt::AlignVCenter), CellText(text));
}

void PaintPage(QPainter& painter, const core::Grid& grid, const ReportPagePlan& plan, const ReportPage& page,
               const std::vector<int>& cols, int last, const ReportPrintOptions& options, const QString& stamp,
               const Geometry& g, int number, int count) {
  painter.save();
  painter.scale(g.scale, g.scale);
  QFont font = painter.font();
  font.setPixelSize(kFontPixels);
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
  auto widthOf = [&](int col) { return plan.widths[static_cast<std::size_t>(col)]; };
  const double nameWidth = std::min<double>(widthOf(0), g.width);
  auto drawRow = [&](int row, bool header) {
    const double h = ReportRowHeight(grid, row, last);
    DrawCell(painter, QRectF(0, y, nameWidth, h), grid.cell(0, row), true, true);
    double x = nameWidth;
    for (int c : shown) {
      const double w = std::min<double>(widthOf(c), g.width - x);
      if (w <= 0) break;
      DrawCell(painter, QRectF(x, y, w, h), header ? robot::ReportPaperHeader(grid, c) : grid.cell(c, row), header,
               header);
      x += w;
    }
    y += h;
  };
  drawRow(0, true);
  for (int r : page.rows) drawRow(r, false);
  painter.setFont(font);
  const QRectF footer(0, g.height - kFooterHeight, g.width, kFooterHeight);
  if (plan.banded) painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom, BandDays(page.firstColumn, page.lastColumn));
  if (options.pageNumbers)
    painter.drawText(footer, Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("%1 / %2").arg(number).arg(count));
  painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Vytlacené: ") + stamp);
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
  const QString stamp = options.printedAt.isEmpty() ? PrintStamp(QDateTime::currentDateTime()) : options.printedAt;
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
    PaintPage(painter, grid, plan, plan.pages[static_cast<std::size_t>(i)], cols, LastOf(cols), options, stamp, g, i + 1,
              count);
    ++out.pages;
  }
  if (!painter.end()) out.ok = false;
  return out;
}

}  // namespace print
