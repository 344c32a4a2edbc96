#pragma once
// Writing a sheet or report grid to the file named by an --out option: the
// extension chooses the format.

#include <filesystem>
#include <string>

#include "core/grid.h"
#include "export/document_export.h"

namespace cli {

// Writes the document to `file` as its extension says (the kind's own .dok
// or .zdr, .xlsx, .csv, .html/.htm), through the exports the windows use.
// Returns kOk, kFailed (the message printed to stderr) or kBadArguments for
// an extension that names no format.
int writeDocumentByExtension(const std::filesystem::path& file, const exports::Document& document,
                             const std::string& command);

// Prints the grid to stdout: one line per row, cells tab-separated and
// escaped with escapeField.
void printGrid(const core::Grid& grid);

// Prints one line per cell comment: row, column, escaped text (tab-separated).
void printComments(const core::Grid& grid);

}  // namespace cli
