// The language file on arbitrary bytes: every entry stays addressable and
// bounded.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/ini_file.h"
#include "core/messages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  core::MessageCatalogue m;
  m.loadFromBytes(input);
  const std::size_t limit = 4 * core::IniFile::kMaxValueChars + 64;
  for (int n = 0; n <= core::MessageCatalogue::kMessages + 1; ++n) {
    if (m.message(n).size() > limit) __builtin_trap();
  }
  for (int n = 0; n <= core::MessageCatalogue::kMenus + 1; ++n) {
    if (m.menu(n).size() > limit) __builtin_trap();
  }
  for (int n = 0; n <= core::MessageCatalogue::kDays + 1; ++n) {
    if (m.dayName(n).size() > limit) __builtin_trap();
  }
  return 0;
}
