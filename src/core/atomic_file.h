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

// Durability points for files that grow in place (month logs, the transfer
// journal). A power cut can undo anything the operating system still holds
// in its cache; after these return true the bytes, or the folder entries,
// are on the disk.

// Forces what was written to an existing file onto the disk (fsync;
// FlushFileBuffers on Windows). False when the file is missing, cannot be
// opened or the flush fails.
bool FlushToDisk(const std::filesystem::path& path);

// Makes files created, renamed or removed in `folder` durable. NTFS journals
// its own folder entries, so on Windows there is nothing to do.
bool FlushFolder(const std::filesystem::path& folder);

// Appends bytes (creating the file) and forces them onto the disk before
// returning; a write cut short is undone.
bool AppendToFileDurably(const std::filesystem::path& path, std::string_view bytes);

}  // namespace core
