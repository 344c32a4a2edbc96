#pragma once
// Grid cells as clipboard text, the way spreadsheet programs exchange them:
// cells separated by tabs, CR LF after every row. A cell holding a tab, a line
// break or a double quote is put in double quotes with inner quotes doubled,
// so a multi-line report cell survives a copy and a paste.

#include <string>
#include <string_view>
#include <vector>

#include "core/grid.h"

namespace core {

// The cells of columns col0..col1 and rows row0..row1 (inclusive, clipped to the grid).
std::string GridRangeToText(const Grid& grid, int col0, int row0, int col1, int row1);

// Rows of cells from clipboard text (LF or CR LF row ends; a final row end
// adds no row; quoted cells as GridRangeToText writes them).
std::vector<std::vector<std::string>> TextToCells(std::string_view text);

}  // namespace core
