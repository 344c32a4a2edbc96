#pragma once
// The text format of sheets (.dok) and reports (.zdr): size line, column
// widths, one line per non-empty cell. Windows-1250, CR LF.

#include <filesystem>
#include <string>
#include <string_view>

#include "core/grid.h"

namespace core {

namespace GridTextFile {

enum class Cells {
  SingleLine,  // sheets: a cell keeps only its first line
  MultiLine,   // reports: line breaks are kept
};

// Sizes beyond these are refused as a corrupt file, so that a damaged size
// line cannot make the reader allocate without bound. The cell limit still
// admits a combined report (51 columns) of every employee the list can hold.
inline constexpr int kMaxColumns = 1000;
inline constexpr int kMaxRows = 100000;
inline constexpr long long kMaxCells = 51LL * 65537;

// A cell text containing a line break (CR or LF) is stored with every CR as
// a tab and every LF as a backspace, so that it stays on one line of the file.
// Cell comments are not stored.
std::string ToBytes(const Grid& grid);
// Atomic replacement; false with `error` on failure.
bool Write(const std::filesystem::path& file, const Grid& grid, std::string* error = nullptr);

// Discards the grid's content (texts and comments) and sets the size of the
// file's first line; cells the file does not list are empty afterwards. A
// missing file: "File <name> not found"; zero columns or rows, an unreadable
// size line or a size beyond the caps: "File contains no data or corrupt file
// <name>". On failure the grid is left as it was. Cell lines that do not
// parse, and cells or widths outside the grid, are skipped. SingleLine keeps
// a cell's text up to its first line break.
bool Read(const std::filesystem::path& file, Grid& grid, Cells cells, std::string* error);
bool FromBytes(std::string_view bytes, Grid& grid, Cells cells, const std::string& name, std::string* error);

}  // namespace GridTextFile

}  // namespace core
