// The tips file on arbitrary bytes, drawn for every key with a scripted
// random source that also returns values out of range.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/tips.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t next = 0;
  core::TipDrawer drawer([&](int) {
    const int v = size > 0 ? static_cast<int>(static_cast<signed char>(data[next++ % size])) : 0;
    return v;
  });
  for (const char* key : {"[DAY", "[KARTA", "[TABDOCH", "[DAY", "["}) {
    const auto r = drawer.drawFromBytes(input, key);
    if (drawer.lastDraw() < 0) __builtin_trap();
    for (const auto& line : r.lines) {
      if (line.find('[') != std::string::npos) __builtin_trap();
    }
  }
  return 0;
}
