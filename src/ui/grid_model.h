#pragma once
// One table model over a core::Grid, for every grid window (attendance
// sheet, combined report). The grid's row 0 is the view's horizontal header;
// optionally its column 0 is the vertical header, so that it stays in view
// while the rest scrolls. data() only reads: colours and hints come from
// functions the window sets, which look up tables filled when the grid was
// filled or recomputed. Every write goes through writeCells (or an edit
// handler that ends there), which signals the changed rectangle.

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/grid.h"

namespace ui {

struct CellChange {
  int col = 0;
  int row = 0;  // grid coordinates (row 0 is the header row)
  std::string before;
  std::string after;
};

struct GridModelConfig {
  // Grid column 0 shown as the vertical header instead of a model column.
  bool firstColumnAsHeader = false;
  // Cells keep their line breaks in the display (the report); otherwise a
  // cell shows its first line.
  bool multiLine = false;
  // Grid coordinates of data cells (row >= 1).
  std::function<bool(int col, int row)> editable;
  std::function<QColor(int col, int row)> background;
  std::function<QString(int col, int row)> toolTip;
  // Hint over the header of a grid column.
  std::function<QString(int col)> headerToolTip;
};

class GridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // True for a cell that carries a comment (drawn with a corner mark).
  static constexpr int HasCommentRole = Qt::UserRole + 1;

  explicit GridModel(QObject* parent = nullptr);

  void setConfig(GridModelConfig config);
  const GridModelConfig& config() const { return m_config; }
  // The grid stays owned by the window; the model resets.
  void setGrid(core::Grid* grid);
  core::Grid* grid() const { return m_grid; }
  // After the grid was replaced or resized as a whole.
  void reload();
  // After cells of the rectangle (grid coordinates, inclusive) changed
  // outside writeCells. Header cells (row 0, column 0 as header) are signalled
  // as header changes.
  void cellsChanged(int col0, int row0, int col1, int row1);
  // After colours or hints changed for every cell.
  void decorationChanged();

  // Writes `after` (or `before` when `undo`) of each change into the grid and
  // signals one rectangle per run of adjacent cells in a row.
  void writeCells(const std::vector<CellChange>& changes, bool undo = false);

  // Model edits (setData) are handed to this function instead of being
  // written directly; it returns false to refuse the edit.
  void setEditHandler(std::function<bool(std::vector<CellChange>)> handler) { m_editHandler = std::move(handler); }

  // Grid <-> model coordinates. Grid row 0 and (with firstColumnAsHeader)
  // grid column 0 have no model index.
  int gridRow(const QModelIndex& index) const { return index.row() + 1; }
  int gridColumn(const QModelIndex& index) const { return index.column() + columnOffset(); }
  int gridColumnOf(int modelColumn) const { return modelColumn + columnOffset(); }
  QModelIndex indexOf(int col, int row) const;
  bool isEditableCell(int col, int row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  int columnOffset() const { return m_config.firstColumnAsHeader ? 1 : 0; }
  QString displayText(const std::string& text) const;

  core::Grid* m_grid = nullptr;
  GridModelConfig m_config;
  std::function<bool(std::vector<CellChange>)> m_editHandler;
};

// "\r" and "\r\n" as line breaks, for hints and multi-line cells.
QString HintText(std::string_view text);
// 0x00BBGGRR as a colour.
QColor ColourFromBgr(std::uint32_t bgr);

}  // namespace ui
