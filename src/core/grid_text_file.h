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

std::string ToBytes(const Grid& grid);
// Atomic replacement; false with `error` on failure.
bool Write(const std::filesystem::path& file, const Grid& grid, std::string* error = nullptr);

// Discards the grid's content first. A missing file: "File <name> not found";
// zero columns or rows: "File contains no data or corrupt file <name>".
// Absurd sizes are refused the same way.
bool Read(const std::filesystem::path& file, Grid& grid, Cells cells, std::string* error);
bool FromBytes(std::string_view bytes, Grid& grid, Cells cells, const std::string& name, std::string* error);

}  // namespace GridTextFile

}  // namespace core
