#include "core/grid_clipboard.h"

#include <algorithm>

namespace core {

namespace {
bool NeedsQuotes(const std::string& text) { return text.find_first_of("\t\r\n\"") != std::string::npos; }
}  // namespace

std::string GridRangeToText(const Grid& grid, int col0, int row0, int col1, int row1) {
  col0 = std::max(col0, 0);
  row0 = std::max(row0, 0);
  col1 = std::min(col1, grid.columnCount() - 1);
  row1 = std::min(row1, grid.rowCount() - 1);
  std::string out;
  for (int r = row0; r <= row1; ++r) {
    for (int c = col0; c <= col1; ++c) {
      if (c > col0) out += '\t';
      const std::string& text = grid.cell(c, r);
      if (!NeedsQuotes(text)) {
        out += text;
        continue;
      }
      out += '"';
      for (char ch : text) {
        if (ch == '"') out += '"';
        out += ch;
      }
      out += '"';
    }
    out += "\r\n";
  }
  return out;
}

std::vector<std::vector<std::string>> TextToCells(std::string_view text) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::string cell;
  bool rowStarted = false;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    rowStarted = true;
    if (cell.empty() && text[i] == '"') {
      // A quoted cell runs to the quote that is not doubled.
      std::size_t j = i + 1;
      std::string quoted;
      bool closed = false;
      while (j < n) {
        if (text[j] == '"') {
          if (j + 1 < n && text[j + 1] == '"') {
            quoted += '"';
            j += 2;
            continue;
          }
          closed = true;
          ++j;
          break;
        }
        quoted += text[j++];
      }
      if (closed && (j == n || text[j] == '\t' || text[j] == '\r' || text[j] == '\n')) {
        cell = std::move(quoted);
        i = j;
        continue;
      }
      // Not a quoted cell after all: the quote is an ordinary character.
    }
    const char ch = text[i];
    if (ch == '\t') {
      row.push_back(std::move(cell));
      cell.clear();
      ++i;
    } else if (ch == '\r' || ch == '\n') {
      row.push_back(std::move(cell));
      cell.clear();
      rows.push_back(std::move(row));
      row.clear();
      rowStarted = false;
      i += (ch == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
    } else {
      cell += ch;
      ++i;
    }
  }
  if (rowStarted) {
    row.push_back(std::move(cell));
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace core
