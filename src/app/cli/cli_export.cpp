#include "cli_export.h"

#include <cstdio>

#include "cli_common.h"
#include "core/path_text.h"

namespace cli {
namespace {

void Emit(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

}  // namespace

int writeDocumentByExtension(const std::filesystem::path& file, const exports::Document& document,
                             const std::string& command) {
  const auto format = exports::DocumentFormatOf(file, document.kind);
  if (!format) {
    const std::string own = document.kind == exports::DocumentKind::Sheet ? ".dok" : ".zdr";
    return usageError(command, "--out: unknown file type '" + core::Utf8FromPath(file.filename()) + "' (use " + own +
                                   ", .xlsx, .csv or .html)");
  }
  std::string message;
  std::string detail;
  if (exports::WriteDocument(file, document, *format, &message, &detail)) return kOk;
  if (!detail.empty()) message += " (" + detail + ")";
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
