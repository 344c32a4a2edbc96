#include "core/text_codec.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace core {
namespace {

// Code points of the bytes 0x80..0xFF. The bytes the code page leaves
// unassigned carry the C1 control of their own value.
constexpr std::array<char16_t, 128> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

struct ReverseEntry {
  char16_t codePoint;
  unsigned char byte;
};

// The high half sorted by code point, for the way back.
const std::array<ReverseEntry, 128>& reverseTable() {
  static const std::array<ReverseEntry, 128> table = [] {
    std::array<ReverseEntry, 128> t{};
    for (std::size_t i = 0; i < kHigh.size(); ++i) t[i] = {kHigh[i], static_cast<unsigned char>(0x80 + i)};
    std::sort(t.begin(), t.end(),
              [](const ReverseEntry& a, const ReverseEntry& b) { return a.codePoint < b.codePoint; });
    return t;
  }();
  return table;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at `i`; advances `i` past it. Malformed input
// (stray continuation bytes, overlong forms, surrogates, truncated sequences)
// consumes one byte and yields no code point.
bool decodeUtf8(std::string_view s, std::size_t& i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    cp = b0;
    ++i;
    return true;
  }
  int extra;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1;
    cp = b0 & 0x1Fu;
    min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2;
    cp = b0 & 0x0Fu;
    min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3;
    cp = b0 & 0x07u;
    min = 0x10000;
  } else {
    ++i;
    return false;
  }
  if (i + static_cast<std::size_t>(extra) >= s.size()) {
    ++i;
    return false;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return false;
    }
    cp = (cp << 6) | (b & 0x3Fu);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return false;
  }
  i += static_cast<std::size_t>(extra) + 1;
  return true;
}

}  // namespace

std::string Cp1250ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80)
      out.push_back(c);
    else
      appendUtf8(out, kHigh[b - 0x80u]);
  }
  return out;
}

std::string Utf8ToCp1250(std::string_view text, bool* lossy) {
  std::string out;
  out.reserve(text.size());
  bool lost = false;
  const auto& table = reverseTable();
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t cp = 0;
    if (!decodeUtf8(text, i, cp)) {
      out.push_back('?');
      lost = true;
      continue;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    const auto it = std::lower_bound(table.begin(), table.end(), cp,
                                     [](const ReverseEntry& e, char32_t v) { return e.codePoint < v; });
    if (cp <= 0xFFFF && it != table.end() && it->codePoint == cp) {
      out.push_back(static_cast<char>(it->byte));
    } else {
      out.push_back('?');
      lost = true;
    }
  }
  if (lossy) *lossy = lost;
  return out;
}

}  // namespace core
