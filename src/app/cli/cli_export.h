#pragma once
// Writing a sheet or report grid to the file named by an --out option: the
// extension chooses the format.

#include <filesystem>
#include <string>

#include "core/grid.h"

namespace cli {

enum class GridKind {
  Sheet,   // also .dok (the sheet's own file, single-line cells)
  Report,  // also .zdr (the report's own file, multi-line cells)
};

// Writes `grid` to `file` as .xlsx, .csv, .html/.htm, or the kind's own file
// (.dok for a sheet, .zdr for a report). Returns kOk, kFailed (the message
// printed to stderr) or kBadArguments for an extension that names no format.
// `title` heads the HTML page.
int writeGridByExtension(const std::filesystem::path& file, const core::Grid& grid, GridKind kind,
                         const std::string& command, const std::string& title = {});

// Prints the grid to stdout: one line per row, cells tab-separated and
// escaped with escapeField.
void printGrid(const core::Grid& grid);

// Prints one line per cell comment: row, column, escaped text (tab-separated).
void printComments(const core::Grid& grid);

}  // namespace cli
