#include "cli_export.h"

#include <cctype>
#include <cstdio>

#include "cli_common.h"
#include "core/grid_text_file.h"
#include "core/path_text.h"
#include "export/grid_export.h"

namespace cli {
namespace {

std::string LowerExtension(const std::filesystem::path& file) {
  std::string ext = core::Utf8FromPath(file.extension());
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

void Emit(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

}  // namespace

int writeGridByExtension(const std::filesystem::path& file, const core::Grid& grid, GridKind kind,
                         const std::string& command, const std::string& title) {
  const std::string ext = LowerExtension(file);
  const std::string ownExtension = kind == GridKind::Sheet ? ".dok" : ".zdr";
  std::string message;
  if (ext == ownExtension) {
    if (core::GridTextFile::Write(file, grid, &message)) return kOk;
  } else if (const auto format = exports::FormatFromExtension(file)) {
    std::string detail;
    const bool ok = *format == exports::ExportFormat::Xlsx ? exports::ExportXlsx(file, grid, &message, &detail)
                                                           : exports::ExportGrid(file, grid, *format, &message, title);
    if (ok) return kOk;
    if (!detail.empty()) message += " (" + detail + ")";
  } else {
    return usageError(command, "--out: unknown file type '" + core::Utf8FromPath(file.filename()) + "' (use " + ownExtension +
                                   ", .xlsx, .csv or .html)");
  }
  std::fprintf(stderr, "%s\n", message.c_str());
  return kFailed;
}

void printGrid(const core::Grid& grid) {
  std::string out;
  for (int r = 0; r < grid.rowCount(); ++r) {
    for (int c = 0; c < grid.columnCount(); ++c) {
      if (c > 0) out += '\t';
      out += escapeField(grid.cell(c, r));
    }
    out += '\n';
    if (out.size() > (1u << 16)) {
      Emit(out);
      out.clear();
    }
  }
  Emit(out);
}

void printComments(const core::Grid& grid) {
  std::string out;
  for (int r = 0; r < grid.rowCount(); ++r) {
    for (int c = 0; c < grid.columnCount(); ++c) {
      const std::string& comment = grid.comment(c, r);
      if (comment.empty()) continue;
      out += std::to_string(r) + '\t' + std::to_string(c) + '\t' + escapeField(comment) + '\n';
    }
  }
  Emit(out);
}

}  // namespace cli
