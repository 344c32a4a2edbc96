#pragma once
// The combined report as PDF pages, drawn as the report window prints them.

#include <filesystem>
#include <string>

#include "core/grid.h"

namespace cli {

// True for a file name ending in ".pdf" (any case).
bool isPdfFile(const std::filesystem::path& file);

// Writes the pages (landscape A4, `header` on top of each page, page numbers)
// to `file`, replacing it atomically. Returns kOk, kFailed (message on stderr)
// or kBadArguments in a build without the Qt parts, which cannot draw pages.
int writeReportPdf(const std::filesystem::path& file, const core::Grid& grid, const std::string& header,
                   const std::string& command);

}  // namespace cli
