#pragma once
// Whole-file replacement that never leaves a half-written file: the bytes go to
// a temporary file in the same folder, are flushed, and the temporary file is
// renamed over the old one.

#include <filesystem>
#include <string>
#include <string_view>

namespace core {

// True on success. On failure the old file is untouched, the temporary file is
// removed and `error` (if given) says what went wrong.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string* error = nullptr);

// Whole file as bytes; false when it cannot be opened or is larger than maxBytes.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::size_t maxBytes = 64u << 20);

// Appends bytes and flushes; false when the file cannot be opened or written.
bool AppendToFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace core
