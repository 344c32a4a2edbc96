#include "device/transfer_journal.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "core/atomic_file.h"
#include "core/path_text.h"
#include "core/text_util.h"

namespace fs = std::filesystem;

namespace device {
namespace {

constexpr std::string_view kHeader = "prenos";
constexpr std::string_view kFormat = "1";
constexpr std::string_view kLog = "log";
constexpr std::string_view kCheckpoint = "ok";

// FNV-1a: enough to tell a line cut off or half written from a whole one.
std::uint32_t checksum(std::string_view payload) {
  std::uint32_t h = 2166136261u;
  for (unsigned char c : payload) {
    h ^= c;
    h *= 16777619u;
  }
  return h;
}

std::string sealed(const std::string& payload) {
  char hex[12];
  std::snprintf(hex, sizeof hex, "%08x ", static_cast<unsigned>(checksum(payload)));
  return hex + payload + "\r\n";
}

// The payload of a whole line whose checksum matches.
std::optional<std::string_view> unsealed(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.size() < 9 || line[8] != ' ') return std::nullopt;
  unsigned value = 0;
  for (char c : line.substr(0, 8)) {
    int d;
    if (c >= '0' && c <= '9') {
      d = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      d = c - 'a' + 10;
    } else {
      return std::nullopt;
    }
    value = value * 16 + static_cast<unsigned>(d);
  }
  const std::string_view payload = line.substr(9);
  if (checksum(payload) != value) return std::nullopt;
  return payload;
}

std::vector<std::string_view> fields(std::string_view payload, std::size_t maxFields = std::string_view::npos) {
  std::vector<std::string_view> out;
  while (out.size() + 1 < maxFields) {
    const auto tab = payload.find('\t');
    if (tab == std::string_view::npos) break;
    out.push_back(payload.substr(0, tab));
    payload.remove_prefix(tab + 1);
  }
  out.push_back(payload);
  return out;
}

long long sizeOf(const fs::path& p) {
  std::error_code ec;
  const auto size = fs::file_size(p, ec);
  return ec ? -1 : static_cast<long long>(size);
}

class Stopwatch {
 public:
  explicit Stopwatch(std::chrono::nanoseconds& total) : m_total(total) {}
  ~Stopwatch() { m_total += std::chrono::steady_clock::now() - m_start; }

 private:
  std::chrono::nanoseconds& m_total;
  std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

}  // namespace

fs::path JournalFileFor(const fs::path& iniFile, int productionNumber) {
  return iniFile.parent_path() / ("prenos_" + std::to_string(productionNumber) + ".jnl");
}

std::vector<fs::path> JournalFilesBeside(const fs::path& iniFile) {
  std::vector<fs::path> out;
  const fs::path folder = iniFile.parent_path().empty() ? fs::path(".") : iniFile.parent_path();
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = core::Utf8FromPath(it->path().filename());
    const bool legacy = name == "prenos.jnl";
    const bool perTerminal = name.size() > 11 && name.compare(0, 7, "prenos_") == 0 &&
                             name.compare(name.size() - 4, 4, ".jnl") == 0 &&
                             core::parseDecimal(std::string_view(name).substr(7, name.size() - 11)).has_value();
    if (legacy || perTerminal) out.push_back(it->path());
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::optional<JournalState> ParseJournal(std::string_view bytes) {
  std::optional<JournalState> state;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const auto lf = bytes.find('\n', start);
    if (lf == std::string_view::npos) break;  // cut off
    const auto payload = unsealed(bytes.substr(start, lf - start));
    start = lf + 1;
    if (!payload) break;
    if (!state) {
      const auto f = fields(*payload);
      if (f.size() != 4 || f[0] != kHeader || f[1] != kFormat) return std::nullopt;
      const auto production = core::parseDecimal(f[2]);
      const auto pointer = core::parseDecimal(f[3]);
      if (!production || !pointer || *production < 0 || *production > 0xFFFF) return std::nullopt;
      state.emplace();
      state->productionNumber = static_cast<int>(*production);
      state->pointer = *pointer;
      continue;
    }
    const auto kind = fields(*payload, 2).front();
    if (kind == kLog) {
      const auto f = fields(*payload, 3);
      const auto size = f.size() == 3 ? core::parseDecimal(f[1]) : std::nullopt;
      if (!size || *size < -1 || f[2].empty()) break;
      state->logs.push_back({core::PathFromUtf8(f[2]), *size});
    } else if (kind == kCheckpoint) {
      const auto f = fields(*payload);
      // A checkpoint names the size of every log noted before it, in order.
      if (f.size() != state->logs.size() + 2) break;
      const auto pointer = core::parseDecimal(f[1]);
      if (!pointer) break;
      std::vector<long long> sizes;
      for (std::size_t i = 2; i < f.size(); ++i) {
        const auto size = core::parseDecimal(f[i]);
        if (!size || *size < -1) break;
        sizes.push_back(*size);
      }
      if (sizes.size() != state->logs.size()) break;
      state->pointer = *pointer;
      for (std::size_t i = 0; i < sizes.size(); ++i) state->logs[i].size = sizes[i];
      ++state->checkpoints;
    } else {
      break;
    }
  }
  return state;
}

bool RestoreLogs(const JournalState& state, fs::path* failed) {
  for (const auto& log : state.logs) {
    std::error_code ec;
    const auto status = fs::status(log.path, ec);
    if (status.type() == fs::file_type::not_found) continue;  // gone already
    if (ec) {
      if (failed) *failed = log.path;
      return false;
    }
    if (!fs::is_regular_file(status)) continue;
    const long long now = sizeOf(log.path);
    bool ok = true;
    if (log.size < 0) {
      ok = fs::remove(log.path, ec) && !ec;
      ok = ok && core::FlushFolder(log.path.parent_path());
    } else if (now > log.size) {
      fs::resize_file(log.path, static_cast<std::uintmax_t>(log.size), ec);
      ok = !ec && core::FlushToDisk(log.path);
    }
    if (!ok) {
      if (failed) *failed = log.path;
      return false;
    }
  }
  return true;
}

bool ClearJournal(const fs::path& file) {
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(file, ec))) return true;
  if (!fs::remove(file, ec) || ec) return false;
  return core::FlushFolder(file.parent_path());
}

bool TransferJournal::begin(int productionNumber, long long pointer) {
  Stopwatch watch(m_spent);
  m_logs.clear();
  m_checkpoints = 0;
  const std::string header = std::string(kHeader) + "\t" + std::string(kFormat) + "\t" +
                             std::to_string(productionNumber) + "\t" + std::to_string(pointer);
  if (!core::WriteFileAtomically(m_file, sealed(header))) {
    m_failed = m_file;
    return false;
  }
  return true;
}

bool TransferJournal::appendLine(const std::string& payload) {
  if (!core::AppendToFileDurably(m_file, sealed(payload))) {
    m_failed = m_file;
    return false;
  }
  return true;
}

bool TransferJournal::noteLogs(std::span<const fs::path> logs) {
  std::string lines;
  std::vector<Log> added;
  for (const auto& path : logs) {
    bool known = false;
    for (const auto& l : m_logs) known = known || l.path == path;
    for (const auto& l : added) known = known || l.path == path;
    if (known) continue;
    std::error_code ec;
    const auto status = fs::status(path, ec);
    // Only a log that is surely not there may be noted as one this transfer
    // creates: going back removes such a log.
    if (ec && status.type() != fs::file_type::not_found) {
      m_failed = path;
      return false;
    }
    long long size = -1;
    if (fs::exists(status)) {
      if (!fs::is_regular_file(status)) continue;
      size = sizeOf(path);
      if (size < 0) {
        m_failed = path;
        return false;
      }
    }
    const std::string text = core::Utf8FromPath(path);
    // A path the line format cannot carry is refused rather than garbled.
    if (text.find_first_of("\r\n") != std::string::npos) {
      m_failed = path;
      return false;
    }
    const bool folderExisted = fs::is_directory(path.parent_path(), ec);
    added.push_back({path, size, folderExisted});
    lines += sealed(std::string(kLog) + "\t" + std::to_string(size) + "\t" + text);
  }
  if (added.empty()) return true;
  Stopwatch watch(m_spent);
  if (!core::AppendToFileDurably(m_file, lines)) {
    m_failed = m_file;
    return false;
  }
  m_logs.insert(m_logs.end(), added.begin(), added.end());
  return true;
}

bool TransferJournal::flushLogs() {
  Stopwatch watch(m_spent);
  for (const auto& l : m_logs) {
    std::error_code ec;
    if (!fs::exists(l.path, ec)) continue;  // nothing was appended to it
    if (!core::FlushToDisk(l.path)) {
      m_failed = l.path;
      return false;
    }
    // A log this transfer created is only reachable once its folder entry is
    // on the disk too (and the folder's own, when the folder is new).
    if (l.size < 0) {
      const fs::path folder = l.path.parent_path();
      bool ok = core::FlushFolder(folder);
      if (ok && !l.folderExisted) ok = core::FlushFolder(folder.parent_path());
      if (!ok) {
        m_failed = folder;
        return false;
      }
    }
  }
  return true;
}

bool TransferJournal::checkpoint(long long pointer) {
  if (!flushLogs()) return false;
  Stopwatch watch(m_spent);
  std::string line = std::string(kCheckpoint) + "\t" + std::to_string(pointer);
  for (const auto& l : m_logs) {
    std::error_code ec;
    long long size = l.size;  // not there (any more): what it was when named
    if (fs::exists(l.path, ec)) {
      size = sizeOf(l.path);
      // A size that cannot be read must not be written as "created here":
      // going back would remove the whole log.
      if (size < 0) {
        m_failed = l.path;
        return false;
      }
    }
    line += "\t" + std::to_string(size);
  }
  if (!appendLine(line)) return false;
  ++m_checkpoints;
  return true;
}

bool TransferJournal::clear() {
  Stopwatch watch(m_spent);
  if (!ClearJournal(m_file)) {
    m_failed = m_file;
    return false;
  }
  return true;
}

}  // namespace device
