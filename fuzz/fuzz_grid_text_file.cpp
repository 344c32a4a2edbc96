// The sheet/report reader on arbitrary bytes, both variants: no crash,
// bounded sizes, and a grid read, written and read again stays the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/grid_text_file.h"

using core::GridTextFile::Cells;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  for (Cells cells : {Cells::SingleLine, Cells::MultiLine}) {
    core::Grid grid(2, 2);
    std::string error;
    if (!core::GridTextFile::FromBytes(input, grid, cells, "fuzz", &error)) {
      if (error.empty()) __builtin_trap();
      continue;
    }
    if (grid.columnCount() > core::GridTextFile::kMaxColumns || grid.rowCount() > core::GridTextFile::kMaxRows)
      __builtin_trap();
    const std::string bytes = core::GridTextFile::ToBytes(grid);
    core::Grid second;
    if (!core::GridTextFile::FromBytes(bytes, second, Cells::MultiLine, "fuzz", &error)) __builtin_trap();
    const std::string again = core::GridTextFile::ToBytes(second);
    core::Grid third;
    if (!core::GridTextFile::FromBytes(again, third, Cells::MultiLine, "fuzz", &error)) __builtin_trap();
    if (!(third == second)) __builtin_trap();
  }
  return 0;
}
