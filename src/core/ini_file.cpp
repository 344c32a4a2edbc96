#include "core/ini_file.h"

#include "core/atomic_file.h"
#include "core/path_text.h"
#include "core/text_codec.h"
#include "core/text_util.h"

namespace core {
namespace {

// What one line of the file is.
struct LineInfo {
  enum Kind { Other, Section, Key } kind = Other;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // key value, trimmed
};

LineInfo classify(std::string_view line) {
  LineInfo info;
  const std::string_view t = trim(line);
  if (t.empty() || t[0] == ';') return info;
  if (t[0] == '[') {
    const auto close = t.find(']');
    info.kind = LineInfo::Section;
    info.name = trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return info;
  }
  const auto eq = t.find('=');
  if (eq == std::string_view::npos) return info;
  info.kind = LineInfo::Key;
  info.name = trim(t.substr(0, eq));
  info.value = trim(t.substr(eq + 1));
  return info;
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

bool validSection(std::string_view s) {
  return !trim(s).empty() && !hasLineBreak(s) && s.find_first_of("[]") == std::string_view::npos;
}

bool validKey(std::string_view k) {
  const auto t = trim(k);
  return !t.empty() && !hasLineBreak(k) && k.find('=') == std::string_view::npos && t[0] != ';' && t[0] != '[';
}

}  // namespace

IniFile IniFile::fromBytes(std::string_view bytes) {
  IniFile ini;
  for (std::string_view line : splitLines(bytes)) {
    if (ini.m_lines.size() >= kMaxLines) {
      ini.m_truncated = true;
      break;
    }
    if (line.size() > kMaxLineBytes) {
      line = line.substr(0, kMaxLineBytes);
      ini.m_truncated = true;
    }
    ini.m_lines.push_back(Cp1250ToUtf8(line));
  }
  return ini;
}

IniFile IniFile::load(const std::filesystem::path& path) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes, kMaxFileBytes)) return IniFile{};
  return fromBytes(bytes);
}

bool IniFile::hasSection(std::string_view section) const {
  const auto wanted = trim(section);
  for (const auto& line : m_lines) {
    const LineInfo info = classify(line);
    if (info.kind == LineInfo::Section && equalsNoCase(info.name, wanted)) return true;
  }
  return false;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
  const auto wantedSection = trim(section);
  const auto wantedKey = trim(key);
  bool inSection = false;
  bool seenSection = false;
  for (const auto& line : m_lines) {
    const LineInfo info = classify(line);
    if (info.kind == LineInfo::Section) {
      // Only the first section of a name counts; a repeated one is not merged.
      if (seenSection) return std::nullopt;
      inSection = equalsNoCase(info.name, wantedSection);
      seenSection = inSection;
    } else if (inSection && info.kind == LineInfo::Key && equalsNoCase(info.name, wantedKey)) {
      return cutUtf8(info.value, kMaxValueChars);
    }
  }
  return std::nullopt;
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view def) const {
  auto v = value(section, key);
  return v ? std::move(*v) : cutUtf8(def, kMaxValueChars);
}

long long IniFile::readInt(std::string_view section, std::string_view key, long long def) const {
  const auto v = value(section, key);
  if (!v) return def;
  const auto n = parseInteger(trim(*v));
  return n ? *n : def;
}

bool IniFile::readFlag(std::string_view section, std::string_view key, bool def) const {
  return readInt(section, key, def ? 1 : 0) != 0;
}

TimeOfDay IniFile::readTime(std::string_view section, std::string_view key, TimeOfDay def) const {
  const auto v = value(section, key);
  if (!v || trim(*v).empty()) return def;
  const auto t = ParseClockTime(*v);
  return t ? *t : def;
}

void IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
  const std::string cleanValue = replaceAll(replaceAll(replaceAll(value, "\r\n", " "), "\r", " "), "\n", " ");
  const auto wantedSection = trim(section);
  const auto wantedKey = trim(key);

  std::size_t sectionLine = m_lines.size();
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    const LineInfo info = classify(m_lines[i]);
    if (info.kind == LineInfo::Section && equalsNoCase(info.name, wantedSection)) {
      sectionLine = i;
      break;
    }
  }
  if (sectionLine == m_lines.size()) {
    if (!m_lines.empty() && !trim(m_lines.back()).empty()) m_lines.emplace_back();
    m_lines.push_back("[" + std::string(wantedSection) + "]");
    m_lines.push_back(std::string(wantedKey) + "=" + cleanValue);
    return;
  }
  // Within the section: replace the first line of the key, or add the key
  // after the section's last non-blank line (blank separators stay in place).
  std::size_t insertAt = sectionLine + 1;
  for (std::size_t i = sectionLine + 1; i < m_lines.size(); ++i) {
    const LineInfo info = classify(m_lines[i]);
    if (info.kind == LineInfo::Section) break;
    if (info.kind == LineInfo::Key && equalsNoCase(info.name, wantedKey)) {
      m_lines[i] = std::string(info.name) + "=" + cleanValue;
      return;
    }
    if (!trim(m_lines[i]).empty()) insertAt = i + 1;
  }
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::string(wantedKey) + "=" + cleanValue);
}

std::string IniFile::toBytes() const {
  std::string out;
  for (const auto& line : m_lines) {
    out += Utf8ToCp1250(line);
    out += "\r\n";
  }
  return out;
}

bool IniFile::save(const std::filesystem::path& path, std::string* error) const {
  if (m_truncated) {
    if (error) *error = "File too large to be rewritten safely: " + DisplayPath(path);
    return false;
  }
  return WriteFileAtomically(path, toBytes(), error);
}

std::string ReadProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                              std::string_view def) {
  return IniFile::load(file).readString(section, key, def);
}

long long ReadProfileInt(const std::filesystem::path& file, std::string_view section, std::string_view key,
                         long long def) {
  return IniFile::load(file).readInt(section, key, def);
}

long long ReadProfileIntOrMissing(const std::filesystem::path& file, std::string_view section, std::string_view key) {
  const IniFile ini = IniFile::load(file);
  if (!ini.hasSection(section)) return -1;
  return ini.readInt(section, key, -1);
}

bool WriteProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                        std::string_view value) {
  if (!validSection(section) || !validKey(key)) return false;
  // Read and replaced under the folder's settings lock: another program's
  // write between the two would otherwise be undone.
  const FolderLock lock = LockSettingsOf(file);
  if (!lock.held()) return false;
  IniFile ini;
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) {
    std::string bytes;
    // A file that exists but cannot be read must not be replaced by a file
    // holding only the new value.
    if (!ReadWholeFile(file, bytes, IniFile::kMaxFileBytes)) return false;
    ini = IniFile::fromBytes(bytes);
  } else if (ec) {
    return false;
  }
  ini.setValue(section, key, value);
  return ini.save(file);
}

FolderLock LockSettingsOf(const std::filesystem::path& file) {
  return FolderLock::Acquire(file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path(),
                             LockKind::Settings, kSettingsLockWait);
}

bool WriteProfileInt(const std::filesystem::path& file, std::string_view section, std::string_view key,
                     long long value) {
  return WriteProfileString(file, section, key, std::to_string(value));
}

}  // namespace core
