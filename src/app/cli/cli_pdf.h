#pragma once
// PDF output of the command-line tool, through the same page drawing as the
// desktop program's printing. Needs Qt Gui: without it (VORTANE_HAVE_PRINT
// unset) a PDF is refused with a message.

#include <filesystem>
#include <functional>
#include <string>

#include "core/grid.h"

namespace cli {

// True when this build can write PDF files.
bool PdfSupported();

// Starts Qt's font and painting machinery without a display, once per run
// (the offscreen platform unless QT_QPA_PLATFORM says otherwise).
void EnsureGuiApplication();

// Sheets 0..count-1, one page each; `sheet(i)` computes sheet i. False with
// `error` when the file cannot be written.
bool WriteSheetsPdf(const std::filesystem::path& file, int count,
                    const std::function<const core::Grid*(int)>& sheet, const std::string& title,
                    std::string* error);

}  // namespace cli
