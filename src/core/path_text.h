#pragma once
// The one place where the program's UTF-8 text meets file-system paths. A
// std::filesystem::path built from a std::string reads its bytes in the
// system's narrow encoding, which on Windows is the ANSI code page, not
// UTF-8; going through char8_t keeps every letter on every platform.

#include <filesystem>
#include <string>
#include <string_view>

namespace core {

inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// A path as the operator reads it in a message or a listing: UTF-8 with the
// platform's own separators, so a Windows path never shows "...\Log/4_2021.txt".
inline std::string DisplayPath(const std::filesystem::path& path) {
  std::filesystem::path shown = path;
  shown.make_preferred();
  return Utf8FromPath(shown);
}

}  // namespace core
