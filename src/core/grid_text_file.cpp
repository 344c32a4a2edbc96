#include "core/grid_text_file.h"

#include <optional>
#include <system_error>

#include "core/atomic_file.h"
#include "core/path_text.h"
#include "core/text_codec.h"
#include "core/text_util.h"

namespace core {
namespace GridTextFile {
namespace {

std::string encodeCell(const std::string& text) {
  if (text.find_first_of("\r\n") == std::string::npos) return text;
  std::string out = text;
  for (char& c : out) {
    if (c == '\r')
      c = '\t';
    else if (c == '\n')
      c = '\b';
  }
  return out;
}

// Only a text with a backspace was encoded, so only then are tabs taken back
// for carriage returns; a cell whose sole line break was a bare carriage
// return therefore comes back with a tab in its place (older files depend on
// tabs staying tabs when there is no backspace).
std::string decodeCell(std::string text, Cells cells) {
  if (text.find('\b') != std::string::npos) {
    for (char& c : text) {
      if (c == '\t')
        c = '\r';
      else if (c == '\b')
        c = '\n';
    }
  }
  if (cells == Cells::SingleLine) {
    const auto br = text.find_first_of("\r\n");
    if (br != std::string::npos) text.erase(br);
  }
  return text;
}

std::optional<int> parseIntField(std::string_view s) {
  const auto v = parseDecimal(trim(s));
  if (!v || *v < -1000000000LL || *v > 1000000000LL) return std::nullopt;
  return static_cast<int>(*v);
}

std::string corrupt(const std::string& name) { return "File contains no data or corrupt file " + name; }

}  // namespace

std::string ToBytes(const Grid& grid) {
  std::string out;
  out += std::to_string(grid.columnCount()) + "," + std::to_string(grid.rowCount()) + "\r\n";
  for (int c = 0; c < grid.columnCount(); ++c) {
    out += "cw " + std::to_string(c) + "," + std::to_string(grid.columnWidth(c)) + "\r\n";
  }
  for (int r = 0; r < grid.rowCount(); ++r) {
    for (int c = 0; c < grid.columnCount(); ++c) {
      const std::string& text = grid.cell(c, r);
      if (text.empty()) continue;
      out += std::to_string(c) + "," + std::to_string(r) + "," + Utf8ToCp1250(encodeCell(text)) + "\r\n";
    }
  }
  return out;
}

bool Write(const std::filesystem::path& file, const Grid& grid, std::string* error) {
  return WriteFileAtomically(file, ToBytes(grid), error);
}

bool FromBytes(std::string_view bytes, Grid& grid, Cells cells, const std::string& name, std::string* error) {
  // Walks the lines without collecting them: a file of many short lines must
  // not cost a multiple of its size.
  std::size_t pos = 0;
  const auto nextLine = [&](std::string_view& line) {
    if (pos >= bytes.size()) return false;
    const auto lf = bytes.find('\n', pos);
    std::size_t end = lf == std::string_view::npos ? bytes.size() : lf;
    line = bytes.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos = lf == std::string_view::npos ? bytes.size() : lf + 1;
    return true;
  };

  std::string_view line;
  if (!nextLine(line)) {
    if (error) *error = corrupt(name);
    return false;
  }
  const auto comma = line.find(',');
  const auto columns = comma == std::string_view::npos ? std::nullopt : parseIntField(line.substr(0, comma));
  const auto rows = comma == std::string_view::npos ? std::nullopt : parseIntField(line.substr(comma + 1));
  if (!columns || !rows || *columns <= 0 || *rows <= 0 || *columns > kMaxColumns || *rows > kMaxRows ||
      static_cast<long long>(*columns) * *rows > kMaxCells) {
    if (error) *error = corrupt(name);
    return false;
  }

  grid.clearCells();
  grid.resize(*columns, *rows);
  while (nextLine(line)) {
    if (line.empty()) continue;
    if (line.size() >= 2 && line[0] == 'c' && line[1] == 'w') {
      const auto wc = line.find(',');
      if (wc == std::string_view::npos || wc < 3) continue;
      const auto col = parseIntField(line.substr(3, wc - 3));
      const auto width = parseIntField(line.substr(wc + 1));
      if (col && width && *width >= 0 && *width <= 100000) grid.setColumnWidth(*col, *width);
      continue;
    }
    const auto c1 = line.find(',');
    if (c1 == std::string_view::npos) continue;
    const auto c2 = line.find(',', c1 + 1);
    if (c2 == std::string_view::npos) continue;
    const auto col = parseIntField(line.substr(0, c1));
    const auto row = parseIntField(line.substr(c1 + 1, c2 - c1 - 1));
    if (!col || !row || !grid.contains(*col, *row)) continue;
    grid.setCell(*col, *row, decodeCell(Cp1250ToUtf8(line.substr(c2 + 1)), cells));
  }
  return true;
}

bool Read(const std::filesystem::path& file, Grid& grid, Cells cells, std::string* error) {
  const std::string name = DisplayPath(file);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    if (error) *error = "File " + name + " not found";
    return false;
  }
  std::string bytes;
  if (!ReadWholeFile(file, bytes)) {
    if (error) *error = corrupt(name);
    return false;
  }
  return FromBytes(bytes, grid, cells, name, error);
}

}  // namespace GridTextFile
}  // namespace core
