#pragma once
// The table view every grid window uses: a standard item view (so that a
// screen reader reads headers and cells), fixed row heights for thousands of
// rows, widths from the grid, copy as tab-separated text, paste from the
// current cell on (clipped at the grid's edge, read-only cells left alone),
// cut, select all, a corner mark on cells with a comment, hints on yellow, and
// a signal for the context menu of a cell. Edits go through the GridEditor.

#include <QStyledItemDelegate>
#include <QTableView>
#include <array>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "ui/grid_editor.h"
#include "ui/grid_model.h"

class QAbstractButton;

namespace ui {

// Paints the corner mark of cells with a comment.
class GridCellDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class GridView : public QTableView {
  Q_OBJECT
 public:
  explicit GridView(QWidget* parent = nullptr);

  // The model must outlive the view; the editor may be null (no paste or cut).
  void setGridModel(GridModel* model, GridEditor* editor);
  GridModel* gridModel() const { return m_model; }

  // Row height and the column widths stored in the grid (narrow ones too);
  // with a header column, the corner shows grid column 0's header and hint.
  void applyGeometry(int rowHeight);
  // Column widths the operator dragged go back into the grid (saved with the file).
  void storeColumnWidths();
  // A width for the view alone: the grid keeps the width it stores (a column
  // the window widens to its texts or to the window).
  void showColumnWidth(int section, int width);

  // Grid coordinates of the current cell.
  std::optional<std::pair<int, int>> currentCell() const;
  void selectCell(int col, int row);
  // Block commands (copy, cut, paste, clear, a menu over a block) act on the
  // rows the view shows: rows a filter hid are left out of the selection.
  bool isGridRowVisible(int row) const;
  // The bounding rectangle of the visible selection in grid coordinates
  // (col0, row0, col1, row1); empty without a selection.
  std::optional<std::array<int, 4>> selectionRect() const;
  std::vector<std::pair<int, int>> selectedCells() const;

  // The selection's visible rows as clipboard text (grid header row included
  // when the whole table is selected). Paste writes line k into the k-th
  // visible row from the current one.
  QString selectionText() const;

 public slots:
  void copySelection();
  void pasteClipboard();
  void cutSelection();
  void selectEverything();

 signals:
  // Grid coordinates; row 0 is the header row, column 0 with a header column.
  void cellContextMenu(int col, int row, const QPoint& globalPos);
  void currentCellChanged(int col, int row);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  void updateCorner();

  GridModel* m_model = nullptr;
  GridEditor* m_editor = nullptr;
  bool m_viewOnlyWidth = false;
  // Sections that show a width of the view alone, with that width: storing
  // the widths leaves them out until the operator resizes them.
  std::map<int, int> m_viewOnlyWidths;
  QAbstractButton* m_corner = nullptr;
};

}  // namespace ui
