#pragma once
// Initialization files ("vortane.ini", "vortane.lng") with the semantics of the
// Windows private-profile functions: section and key names match without
// regard to case, values are trimmed, a read returns at most 2047 characters,
// a write changes one value and keeps the rest of the file. Files are
// Windows-1250 on disk, UTF-8 here.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/folder_lock.h"
#include "core/time_values.h"

namespace core {

class IniFile {
 public:
  // Parses the file's bytes (Windows-1250). Absurd line counts/lengths are capped.
  static IniFile fromBytes(std::string_view bytes);
  // Missing or unreadable file: an empty IniFile.
  static IniFile load(const std::filesystem::path& path);

  bool hasSection(std::string_view section) const;
  std::optional<std::string> value(std::string_view section, std::string_view key) const;

  std::string readString(std::string_view section, std::string_view key, std::string_view def) const;
  // Decimal or 0x hexadecimal; empty or unparsable text gives def.
  long long readInt(std::string_view section, std::string_view key, long long def) const;
  // An integer; any non-zero value is true.
  bool readFlag(std::string_view section, std::string_view key, bool def) const;
  // A clock time; empty or unparsable text gives def.
  TimeOfDay readTime(std::string_view section, std::string_view key, TimeOfDay def) const;

  // Sets one value, adding the section or key at the end when missing; other
  // lines stay as they were.
  void setValue(std::string_view section, std::string_view key, std::string_view value);
  std::string toBytes() const;  // Windows-1250, CR LF
  // Atomic replacement of the file. Refused (false) when the content was cut
  // while parsing (see truncated()), so that saving never loses lines.
  bool save(const std::filesystem::path& path, std::string* error = nullptr) const;

  // True when parsing dropped lines or cut a line because of the size caps.
  bool truncated() const { return m_truncated; }

  static constexpr std::size_t kMaxFileBytes = 16u << 20;
  static constexpr std::size_t kMaxLines = 200000;
  static constexpr std::size_t kMaxLineBytes = 32768;
  static constexpr std::size_t kMaxValueChars = 2047;

 private:
  std::vector<std::string> m_lines;  // UTF-8, without line ends
  bool m_truncated = false;
};

// The private-profile calls: each opens the file afresh.
std::string ReadProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                              std::string_view def);
long long ReadProfileInt(const std::filesystem::path& file, std::string_view section, std::string_view key,
                         long long def);
// -1 when the section does not exist, otherwise the key's value with -1 as default.
long long ReadProfileIntOrMissing(const std::filesystem::path& file, std::string_view section, std::string_view key);
// How long a write waits for another program's write of the same file.
inline constexpr std::chrono::milliseconds kSettingsLockWait{10000};

// The settings lock of the file's folder (folder_lock.h), for a sequence of
// reads and writes that belong together; the writes below take it
// themselves (it is reentrant). Not held when another program kept it for
// kSettingsLockWait or the folder cannot be locked.
FolderLock LockSettingsOf(const std::filesystem::path& file);

// Under the settings lock, rewrites the file atomically with one value changed (file and section
// created when missing). False when the file exists but cannot be read in
// full, when section or key are empty or contain a line break, '[', ']' or
// (key) '=', when the lock is not to be had, or when the file cannot be written; the old file then stays as it
// was. Line breaks inside the value are written as blanks.
bool WriteProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                        std::string_view value);
bool WriteProfileInt(const std::filesystem::path& file, std::string_view section, std::string_view key,
                     long long value);

}  // namespace core
