#include "core/grid.h"

namespace core {
namespace {
const std::string kEmpty;
}

void Grid::resize(int columns, int rows) {
  columns = columns < 0 ? 0 : columns;
  rows = rows < 0 ? 0 : rows;
  std::vector<std::string> cells(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
  std::vector<std::string> comments(cells.size());
  for (int r = 0; r < rows && r < m_rows; ++r) {
    for (int c = 0; c < columns && c < m_columns; ++c) {
      const std::size_t to = static_cast<std::size_t>(r) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(c);
      cells[to] = std::move(m_cells[index(c, r)]);
      comments[to] = std::move(m_comments[index(c, r)]);
    }
  }
  m_cells = std::move(cells);
  m_comments = std::move(comments);
  m_widths.resize(static_cast<std::size_t>(columns), 64);
  m_columns = columns;
  m_rows = rows;
}

void Grid::clearCells() {
  for (auto& s : m_cells) s.clear();
  for (auto& s : m_comments) s.clear();
}

const std::string& Grid::cell(int col, int row) const { return contains(col, row) ? m_cells[index(col, row)] : kEmpty; }

void Grid::setCell(int col, int row, std::string text) {
  if (contains(col, row)) m_cells[index(col, row)] = std::move(text);
}

const std::string& Grid::comment(int col, int row) const {
  return contains(col, row) ? m_comments[index(col, row)] : kEmpty;
}

void Grid::setComment(int col, int row, std::string text) {
  if (contains(col, row)) m_comments[index(col, row)] = std::move(text);
}

int Grid::columnWidth(int col) const {
  return col >= 0 && col < m_columns ? m_widths[static_cast<std::size_t>(col)] : 0;
}

void Grid::setColumnWidth(int col, int width) {
  if (col >= 0 && col < m_columns) m_widths[static_cast<std::size_t>(col)] = width;
}

}  // namespace core
