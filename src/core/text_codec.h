#pragma once
// Windows-1250 <-> UTF-8. Every data file of an installation is Windows-1250;
// in memory all text is UTF-8. Conversion happens only at the file boundary.

#include <string>
#include <string_view>

namespace core {

// Every byte has a meaning; the five bytes Windows-1250 leaves unassigned (0x81,
// 0x83, 0x88, 0x90, 0x98) map to the C1 control of the same value, so that a
// round trip keeps every byte.
std::string Cp1250ToUtf8(std::string_view bytes);

// Characters without a Windows-1250 form become '?'; `lossy` tells whether
// that happened. Malformed UTF-8 bytes also become '?'.
std::string Utf8ToCp1250(std::string_view text, bool* lossy = nullptr);

}  // namespace core
