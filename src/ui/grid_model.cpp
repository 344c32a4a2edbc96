#include "ui/grid_model.h"

#include <QBrush>
#include <algorithm>

namespace ui {

QString HintText(std::string_view text) {
  QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

QColor ColourFromBgr(std::uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

void GridModel::setConfig(GridModelConfig config) {
  beginResetModel();
  m_config = std::move(config);
  endResetModel();
}

void GridModel::setGrid(core::Grid* grid) {
  beginResetModel();
  m_grid = grid;
  endResetModel();
}

void GridModel::reload() {
  beginResetModel();
  endResetModel();
}

int GridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || m_grid == nullptr) return 0;
  return std::max(0, m_grid->rowCount() - 1);
}

int GridModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid() || m_grid == nullptr) return 0;
  return std::max(0, m_grid->columnCount() - columnOffset());
}

QModelIndex GridModel::indexOf(int col, int row) const {
  if (m_grid == nullptr || row < 1 || col < columnOffset() || !m_grid->contains(col, row)) return {};
  return index(row - 1, col - columnOffset());
}

bool GridModel::isEditableCell(int col, int row) const {
  if (m_grid == nullptr || row < 1 || col < columnOffset() || !m_grid->contains(col, row)) return false;
  return !m_config.editable || m_config.editable(col, row);
}

QString GridModel::displayText(const std::string& text) const {
  if (m_config.multiLine) return HintText(text);
  const std::size_t end = text.find_first_of("\r\n");
  return QString::fromStdString(end == std::string::npos ? text : text.substr(0, end));
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (m_grid == nullptr || !index.isValid()) return {};
  const int col = gridColumn(index);
  const int row = gridRow(index);
  switch (role) {
    case Qt::DisplayRole:
      return displayText(m_grid->cell(col, row));
    case Qt::EditRole:
      return QString::fromStdString(m_grid->cell(col, row));
    case Qt::BackgroundRole:
      if (m_config.background) return QBrush(m_config.background(col, row));
      return {};
    case Qt::ForegroundRole:
      if (m_config.background) return QBrush(Qt::black);
      return {};
    case Qt::ToolTipRole: {
      QString tip = m_config.toolTip ? m_config.toolTip(col, row) : QString();
      const std::string& note = m_grid->comment(col, row);
      if (!note.empty()) tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + HintText(note);
      if (tip.isEmpty()) return {};
      return tip;
    }
    case HasCommentRole:
      return !m_grid->comment(col, row).empty();
    default:
      return {};
  }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (m_grid == nullptr || !index.isValid() || role != Qt::EditRole) return false;
  const int col = gridColumn(index);
  const int row = gridRow(index);
  if (!isEditableCell(col, row)) return false;
  CellChange change{col, row, m_grid->cell(col, row), value.toString().toStdString()};
  if (change.before == change.after) return true;
  if (m_editHandler) return m_editHandler({std::move(change)});
  writeCells({change});
  return true;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (m_grid == nullptr) return {};
  if (orientation == Qt::Horizontal) {
    const int col = gridColumnOf(section);
    if (role == Qt::DisplayRole) return displayText(m_grid->cell(col, 0));
    if (role == Qt::ToolTipRole && m_config.headerToolTip) {
      const QString tip = m_config.headerToolTip(col);
      if (!tip.isEmpty()) return tip;
    }
    return {};
  }
  const int row = section + 1;
  if (m_config.firstColumnAsHeader) {
    if (role == Qt::DisplayRole) return displayText(m_grid->cell(0, row));
    if (role == Qt::ToolTipRole && m_config.toolTip) return m_config.toolTip(0, row);
    if (role == Qt::BackgroundRole && m_config.background) return QBrush(m_config.background(0, row));
    return {};
  }
  if (role == Qt::DisplayRole) return section + 1;
  return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (isEditableCell(gridColumn(index), gridRow(index))) f |= Qt::ItemIsEditable;
  return f;
}

void GridModel::cellsChanged(int col0, int row0, int col1, int row1) {
  if (m_grid == nullptr) return;
  col1 = std::min(col1, m_grid->columnCount() - 1);
  row1 = std::min(row1, m_grid->rowCount() - 1);
  if (row0 == 0) {
    emit headerDataChanged(Qt::Horizontal, std::max(0, col0 - columnOffset()), std::max(0, col1 - columnOffset()));
    row0 = 1;
  }
  if (m_config.firstColumnAsHeader && col0 == 0) {
    if (row1 >= 1) emit headerDataChanged(Qt::Vertical, std::max(row0, 1) - 1, row1 - 1);
    col0 = 1;
  }
  if (row0 > row1 || col0 > col1) return;
  emit dataChanged(indexOf(col0, row0), indexOf(col1, row1),
                   {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole, HasCommentRole});
}

void GridModel::decorationChanged() {
  if (m_grid == nullptr || rowCount() == 0 || columnCount() == 0) return;
  emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                   {Qt::BackgroundRole, Qt::ToolTipRole, HasCommentRole});
  if (m_config.firstColumnAsHeader) emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

void GridModel::writeCells(const std::vector<CellChange>& changes, bool undo) {
  if (m_grid == nullptr) return;
  for (const CellChange& c : changes) m_grid->setCell(c.col, c.row, undo ? c.before : c.after);
  // One signal per run of adjacent cells in a row: a paste of a block is one
  // signal per row, a recomputed row one in all.
  std::size_t i = 0;
  while (i < changes.size()) {
    std::size_t j = i + 1;
    while (j < changes.size() && changes[j].row == changes[i].row && changes[j].col == changes[j - 1].col + 1) ++j;
    cellsChanged(changes[i].col, changes[i].row, changes[j - 1].col, changes[i].row);
    i = j;
  }
}

}  // namespace ui
