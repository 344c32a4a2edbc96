#pragma once
// A table of texts: the attendance sheet and the combined report are both one
// of these. Robot code fills it, the windows show it through a model, and
// GridTextFile stores it.

#include <cstdint>
#include <string>
#include <vector>

namespace core {

class Grid {
 public:
  Grid() = default;
  Grid(int columns, int rows) { resize(columns, rows); }

  int columnCount() const { return m_columns; }
  int rowCount() const { return m_rows; }

  // Keeps the texts of cells that stay inside the new size.
  void resize(int columns, int rows);
  // Empties every cell and comment; keeps size and widths.
  void clearCells();

  bool contains(int col, int row) const { return col >= 0 && row >= 0 && col < m_columns && row < m_rows; }

  // Cells outside the grid read as empty and ignore writes.
  const std::string& cell(int col, int row) const;
  void setCell(int col, int row, std::string text);

  // A note attached to a cell (shown as a tooltip / cell comment).
  const std::string& comment(int col, int row) const;
  void setComment(int col, int row, std::string text);

  int columnWidth(int col) const;
  void setColumnWidth(int col, int width);

  bool operator==(const Grid&) const = default;

 private:
  std::size_t index(int col, int row) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columns) + static_cast<std::size_t>(col);
  }

  int m_columns = 0;
  int m_rows = 0;
  std::vector<std::string> m_cells;     // row-major
  std::vector<std::string> m_comments;  // row-major, parallel to m_cells
  std::vector<int> m_widths;
};

}  // namespace core
