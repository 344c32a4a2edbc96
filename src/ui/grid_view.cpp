#include "ui/grid_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QToolTip>
#include <algorithm>
#include <array>

#include "core/grid_clipboard.h"

namespace ui {

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  if (!index.data(GridModel::HasCommentRole).toBool()) return;
  // The mark spreadsheets use for a cell note: a small red triangle in the
  // top right corner.
  const QRect r = option.rect;
  const int s = std::min(6, std::min(r.width(), r.height()) / 2);
  const QPoint pts[3] = {QPoint(r.right() - s, r.top()), QPoint(r.right(), r.top()), QPoint(r.right(), r.top() + s)};
  painter->save();
  painter->setPen(Qt::NoPen);
  painter->setBrush(QColor(200, 0, 0));
  painter->drawPolygon(pts, 3);
  painter->restore();
}

GridView::GridView(QWidget* parent) : QTableView(parent) {
  setItemDelegate(new GridCellDelegate(this));
  setWordWrap(false);
  setTabKeyNavigation(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setHighlightSections(true);
  // Hints of the grid windows are drawn on yellow. (Through the tooltip
  // palette: a style sheet on the view would make every repaint of a large
  // grid several times slower.)
  QPalette tips = QToolTip::palette();
  tips.setColor(QPalette::ToolTipBase, QColor(255, 255, 0));
  tips.setColor(QPalette::ToolTipText, Qt::black);
  QToolTip::setPalette(tips);
  // Only the column that was resized is stored: the others may show a width
  // of the view alone.
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
    if (m_viewOnlyWidth || m_model == nullptr || m_model->grid() == nullptr) return;
    m_viewOnlyWidths.erase(section);
    m_model->grid()->setColumnWidth(m_model->gridColumnOf(section), size);
  });
}

void GridView::setGridModel(GridModel* model, GridEditor* editor) {
  m_model = model;
  m_editor = editor;
  setModel(model);
}

void GridView::applyGeometry(int rowHeight) {
  verticalHeader()->setMinimumSectionSize(std::min(rowHeight, verticalHeader()->minimumSectionSize()));
  verticalHeader()->setDefaultSectionSize(rowHeight);
  if (m_model == nullptr || m_model->grid() == nullptr) return;
  const core::Grid& grid = *m_model->grid();
  const QSignalBlocker block(horizontalHeader());
  m_viewOnlyWidths.clear();
  // Narrow widths (a shift column narrowed out of the way) are kept, not
  // raised to the style's minimum and then stored back.
  for (int section = 0; section < m_model->columnCount(); ++section) {
    const int width = grid.columnWidth(m_model->gridColumnOf(section));
    if (width > 0 && width < horizontalHeader()->minimumSectionSize()) horizontalHeader()->setMinimumSectionSize(width);
  }
  for (int section = 0; section < m_model->columnCount(); ++section) {
    const int width = grid.columnWidth(m_model->gridColumnOf(section));
    if (width > 0) setColumnWidth(section, width);
  }
  if (m_model->config().firstColumnAsHeader) {
    if (grid.columnWidth(0) > 0) verticalHeader()->setFixedWidth(grid.columnWidth(0));
    updateCorner();
  }
}

void GridView::updateCorner() {
  if (m_corner == nullptr) {
    m_corner = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (m_corner == nullptr) return;
    m_corner->installEventFilter(this);
  }
  const core::Grid* grid = m_model != nullptr ? m_model->grid() : nullptr;
  const QString text = grid != nullptr && grid->rowCount() > 0 ? QString::fromStdString(grid->cell(0, 0)) : QString();
  const QString hint = m_model != nullptr && m_model->config().headerToolTip ? m_model->config().headerToolTip(0) : QString();
  m_corner->setText(text);
  m_corner->setAccessibleName(text);
  m_corner->setToolTip(hint);
  m_corner->setAccessibleDescription(hint);
  m_corner->update();
}

bool GridView::eventFilter(QObject* watched, QEvent* event) {
  // The corner above the header column is the header of the grid's column 0
  // (the frozen name column): drawn as a header section with its caption.
  if (watched == m_corner && event->type() == QEvent::Paint) {
    QPainter painter(m_corner);
    QStyleOptionHeader option;
    option.initFrom(m_corner);
    option.rect = m_corner->rect();
    option.text = m_corner->text();
    option.textAlignment = Qt::AlignCenter;
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.orientation = Qt::Horizontal;
    option.state |= QStyle::State_Raised | QStyle::State_Horizontal;
    if (m_corner->isDown()) option.state |= QStyle::State_Sunken;
    painter.setFont(horizontalHeader()->font());
    option.fontMetrics = painter.fontMetrics();
    m_corner->style()->drawControl(QStyle::CE_Header, &option, &painter, m_corner);
    return true;
  }
  return QTableView::eventFilter(watched, event);
}

void GridView::storeColumnWidths() {
  if (m_model == nullptr || m_model->grid() == nullptr) return;
  core::Grid& grid = *m_model->grid();
  for (int section = 0; section < m_model->columnCount(); ++section) {
    const auto shown = m_viewOnlyWidths.find(section);
    if (shown != m_viewOnlyWidths.end() && shown->second == columnWidth(section)) continue;
    grid.setColumnWidth(m_model->gridColumnOf(section), columnWidth(section));
  }
}

void GridView::showColumnWidth(int section, int width) {
  const bool was = m_viewOnlyWidth;
  m_viewOnlyWidth = true;
  setColumnWidth(section, width);
  m_viewOnlyWidth = was;
  m_viewOnlyWidths[section] = columnWidth(section);
}

std::optional<std::pair<int, int>> GridView::currentCell() const {
  const QModelIndex index = currentIndex();
  if (m_model == nullptr || !index.isValid()) return std::nullopt;
  return std::make_pair(m_model->gridColumn(index), m_model->gridRow(index));
}

void GridView::selectCell(int col, int row) {
  if (m_model == nullptr) return;
  const QModelIndex index = m_model->indexOf(col, row);
  if (!index.isValid()) return;
  setCurrentIndex(index);
  scrollTo(index);
}

bool GridView::isGridRowVisible(int row) const { return row >= 1 && !isRowHidden(row - 1); }

std::optional<std::array<int, 4>> GridView::selectionRect() const {
  if (m_model == nullptr || selectionModel() == nullptr) return std::nullopt;
  const QModelIndexList indexes = selectionModel()->selectedIndexes();
  std::array<int, 4> r{INT32_MAX, INT32_MAX, -1, -1};
  for (const QModelIndex& i : indexes) {
    if (!isGridRowVisible(m_model->gridRow(i))) continue;
    r[0] = std::min(r[0], m_model->gridColumn(i));
    r[1] = std::min(r[1], m_model->gridRow(i));
    r[2] = std::max(r[2], m_model->gridColumn(i));
    r[3] = std::max(r[3], m_model->gridRow(i));
  }
  if (r[2] < 0) return std::nullopt;
  return r;
}

std::vector<std::pair<int, int>> GridView::selectedCells() const {
  std::vector<std::pair<int, int>> out;
  if (m_model == nullptr || selectionModel() == nullptr) return out;
  // A filter only hides rows: a block drawn over them, or Ctrl+A, still
  // holds them in the selection model, and the clerk must never change
  // cells he cannot see.
  for (const QModelIndex& i : selectionModel()->selectedIndexes())
    if (isGridRowVisible(m_model->gridRow(i))) out.emplace_back(m_model->gridColumn(i), m_model->gridRow(i));
  std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) {
    return a.second != b.second ? a.second < b.second : a.first < b.first;
  });
  return out;
}

QString GridView::selectionText() const {
  const auto rect = selectionRect();
  if (!rect || m_model == nullptr || m_model->grid() == nullptr) return {};
  const core::Grid& grid = *m_model->grid();
  int col0 = (*rect)[0];
  int row0 = (*rect)[1];
  int firstVisible = 1;
  while (firstVisible < grid.rowCount() && !isGridRowVisible(firstVisible)) ++firstVisible;
  int lastVisible = grid.rowCount() - 1;
  while (lastVisible > 0 && !isGridRowVisible(lastVisible)) --lastVisible;
  // A selection of the whole table takes the header row and the header column along.
  bool withHeader = false;
  if (row0 == firstVisible && (*rect)[3] == lastVisible &&
      col0 == (m_model->config().firstColumnAsHeader ? 1 : 0) && (*rect)[2] == grid.columnCount() - 1) {
    withHeader = true;
    col0 = 0;
  }
  std::string text;
  if (withHeader) text += core::GridRangeToText(grid, col0, 0, (*rect)[2], 0);
  for (int row = row0; row <= (*rect)[3]; ++row)
    if (isGridRowVisible(row)) text += core::GridRangeToText(grid, col0, row, (*rect)[2], row);
  return QString::fromStdString(text);
}

void GridView::copySelection() {
  const QString text = selectionText();
  if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

void GridView::pasteClipboard() {
  if (m_model == nullptr || m_editor == nullptr || m_model->grid() == nullptr) return;
  const auto start = currentCell();
  if (!start) return;
  const auto rows = core::TextToCells(QApplication::clipboard()->text().toStdString());
  const core::Grid& grid = *m_model->grid();
  std::vector<CellChange> changes;
  // Line k goes into the k-th row the clerk sees from the current one on.
  int row = start->second - 1;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    do {
      ++row;
    } while (row < grid.rowCount() && !isGridRowVisible(row));
    if (row >= grid.rowCount()) break;
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      const int col = start->first + static_cast<int>(c);
      if (col >= grid.columnCount()) break;
      if (!m_model->isEditableCell(col, row)) continue;
      changes.push_back({col, row, grid.cell(col, row), rows[r][c]});
    }
  }
  m_editor->apply(std::move(changes), QStringLiteral("Vložiť"));
}

void GridView::cutSelection() {
  if (m_model == nullptr || m_editor == nullptr) return;
  copySelection();
  std::vector<std::pair<int, int>> cells;
  for (const auto& cell : selectedCells())
    if (m_model->isEditableCell(cell.first, cell.second)) cells.push_back(cell);
  m_editor->apply(m_editor->changesTo(cells, std::string()), QStringLiteral("Vystrihnúť"));
}

void GridView::selectEverything() { selectAll(); }

void GridView::contextMenuEvent(QContextMenuEvent* event) {
  if (m_model == nullptr) return;
  // The keyboard's menu key means the current cell, wherever the pointer rests.
  const QModelIndex index = event->reason() == QContextMenuEvent::Keyboard
                                ? QModelIndex()
                                : indexAt(viewport()->mapFromGlobal(event->globalPos()));
  if (index.isValid()) {
    if (event->reason() == QContextMenuEvent::Mouse) setCurrentIndex(index);
    emit cellContextMenu(m_model->gridColumn(index), m_model->gridRow(index), event->globalPos());
    return;
  }
  // The keyboard's menu key: the current cell's menu beside the cell.
  if (event->reason() == QContextMenuEvent::Keyboard) {
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return;
    const QRect r = visualRect(current);
    emit cellContextMenu(m_model->gridColumn(current), m_model->gridRow(current),
                         viewport()->mapToGlobal(r.bottomLeft()));
  }
}

void GridView::keyPressEvent(QKeyEvent* event) {
  // Tab moves between cells; Ctrl+Tab and Ctrl+Shift+Tab leave the grid
  // for the window's next or previous control.
  if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
      (event->modifiers() & Qt::ControlModifier)) {
    const bool back = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
    QWidget::focusNextPrevChild(!back);
    event->accept();
    return;
  }
  if (state() != QAbstractItemView::EditingState) {
    if (event->matches(QKeySequence::Copy)) {
      copySelection();
      return;
    }
    if (event->matches(QKeySequence::Paste) && m_editor != nullptr) {
      pasteClipboard();
      return;
    }
    if (event->matches(QKeySequence::Cut) && m_editor != nullptr) {
      cutSelection();
      return;
    }
  }
  QTableView::keyPressEvent(event);
}

void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (m_model != nullptr && current.isValid())
    emit currentCellChanged(m_model->gridColumn(current), m_model->gridRow(current));
}

}  // namespace ui
