// Every byte string survives the way to UTF-8 and back unchanged, and any
// text converted to the code page converts back to a stable form.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/text_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  const std::string utf8 = core::Cp1250ToUtf8(input);
  bool lossy = true;
  if (core::Utf8ToCp1250(utf8, &lossy) != input || lossy) __builtin_trap();

  bool lost = false;
  const std::string bytes = core::Utf8ToCp1250(input, &lost);
  if (bytes.size() > input.size()) __builtin_trap();
  if (!lost && core::Cp1250ToUtf8(bytes) != input) __builtin_trap();
  if (core::Utf8ToCp1250(core::Cp1250ToUtf8(bytes)) != bytes) __builtin_trap();
  return 0;
}
