#include "core/folder_lock.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "core/atomic_file.h"
#include "core/path_text.h"
#include "core/platform.h"
#include "core/text_util.h"
#include "core/time_values.h"

namespace fs = std::filesystem;

namespace core {
namespace {

// The note of each lock at the start of the file, the locked bytes well
// behind it, so that reading a note never touches a locked byte.
constexpr std::uint64_t kNoteSize = 256;
constexpr std::uint64_t kLockedByte = 4096;

std::uint64_t noteOffset(LockKind kind) { return static_cast<std::uint64_t>(kind) * kNoteSize; }
std::uint64_t lockOffset(LockKind kind) { return kLockedByte + static_cast<std::uint64_t>(kind); }

std::string clean(std::string text, std::size_t most) {
  for (char& c : text) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  if (text.size() > most) text.resize(most);
  return text;
}

std::string noteOf(const LockHolder& h) {
  std::string note = clean(h.computer, 80) + "\t" + clean(h.user, 80) + "\t" + std::to_string(h.process) + "\t" +
                     clean(h.since, 40);
  note.resize(kNoteSize - 2, ' ');
  return note + "\r\n";
}

LockHolder holderOf(std::string_view note) {
  LockHolder h;
  while (!note.empty() && (note.back() == ' ' || note.back() == '\n' || note.back() == '\r' || note.back() == '\0'))
    note.remove_suffix(1);
  std::vector<std::string_view> f;
  for (;;) {
    const auto tab = note.find('\t');
    f.push_back(note.substr(0, tab));
    if (tab == std::string_view::npos) break;
    note.remove_prefix(tab + 1);
  }
  if (f.size() != 4 || f[0].empty()) return h;
  h.computer = std::string(f[0]);
  h.user = std::string(f[1]);
  h.process = static_cast<long>(parseDecimal(f[2]).value_or(0));
  h.since = std::string(f[3]);
  return h;
}

LockHolder thisProgram() {
  LockHolder h;
  h.computer = platform::ComputerName();
  h.user = platform::UserName();
  h.process = platform::ProcessId();
  h.since = FormatLogDateTime(Now());
  return h;
}

// The locks this process holds: the thread, how often it took the lock, the
// open lock file.
struct Held {
  std::thread::id owner;
  int depth = 0;
  platform::LockHandle handle = platform::kNoLockHandle;
  LockKind kind = LockKind::Transfer;
  LockHolder holder;
};

std::mutex g_mutex;
std::condition_variable g_released;
std::map<std::string, Held>& heldLocks() {
  static std::map<std::string, Held> held;
  return held;
}

std::string keyOf(const fs::path& folder, LockKind kind) {
  std::error_code ec;
  fs::path p = fs::weakly_canonical(fs::absolute(folder, ec), ec);
  if (ec || p.empty()) p = folder.lexically_normal();
  return Utf8FromPath(p) + "|" + std::to_string(static_cast<int>(kind));
}

}  // namespace

std::string HolderText(const LockHolder& holder) {
  if (!holder.known()) return "iný program";
  return holder.computer + " (" + holder.user + ")";
}

std::string LockBusyText(const LockHolder& holder) {
  std::string text = "Súbory programu práve zapisuje " + HolderText(holder);
  if (!holder.since.empty()) text += " od " + holder.since;
  return text + ".\rSkúste to znova o chvíľu.";
}

fs::path LockFileOf(const fs::path& folder) { return folder / "vortane.lck"; }

LockHolder ReadLockHolder(const fs::path& folder, LockKind kind) {
  std::string bytes;
  if (!ReadWholeFile(LockFileOf(folder), bytes, 2 * kLockedByte)) return {};
  const std::uint64_t at = noteOffset(kind);
  if (bytes.size() < at + kNoteSize) return {};
  return holderOf(std::string_view(bytes).substr(at, kNoteSize));
}

FolderLock FolderLock::Acquire(const fs::path& folder, LockKind kind, std::chrono::milliseconds wait,
                               const std::function<bool(const LockHolder&)>& waiting) {
  FolderLock lock;
  const std::string key = keyOf(folder, kind);
  const auto deadline = std::chrono::steady_clock::now() + wait;
  const auto self = std::this_thread::get_id();
  for (;;) {
    LockHolder other;
    {
      std::unique_lock guard(g_mutex);
      auto& held = heldLocks();
      if (auto it = held.find(key); it != held.end()) {
        if (it->second.owner == self) {
          ++it->second.depth;
          lock.m_key = key;
          lock.m_status = Status::Acquired;
          return lock;
        }
        other = it->second.holder;
      } else {
        std::string error;
        const platform::LockHandle handle = platform::OpenLockFile(LockFileOf(folder), error);
        if (handle == platform::kNoLockHandle) {
          lock.m_error = error;
          lock.m_status = Status::Failed;
          return lock;
        }
        const auto attempt = platform::TryLockByte(handle, lockOffset(kind), error);
        if (attempt == platform::LockAttempt::Taken) {
          Held h;
          h.owner = self;
          h.depth = 1;
          h.handle = handle;
          h.kind = kind;
          h.holder = thisProgram();
          // The note only informs whoever waits; a lock without it still holds.
          (void)platform::WriteLockNote(handle, noteOffset(kind), noteOf(h.holder));
          held.emplace(key, std::move(h));
          lock.m_key = key;
          lock.m_status = Status::Acquired;
          return lock;
        }
        platform::CloseLockFile(handle);
        if (attempt == platform::LockAttempt::Failed) {
          lock.m_error = DisplayPath(LockFileOf(folder)) + ": " + error;
          lock.m_status = Status::Failed;
          return lock;
        }
      }
    }
    if (!other.known()) other = ReadLockHolder(folder, kind);
    lock.m_holder = other;
    if (std::chrono::steady_clock::now() >= deadline) {
      lock.m_status = Status::TimedOut;
      return lock;
    }
    if (waiting && !waiting(other)) {
      lock.m_status = Status::Cancelled;
      return lock;
    }
    std::unique_lock guard(g_mutex);
    g_released.wait_for(guard, std::chrono::milliseconds(50));
  }
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : m_key(std::move(other.m_key)),
      m_status(other.m_status),
      m_holder(std::move(other.m_holder)),
      m_error(std::move(other.m_error)) {
  other.m_key.clear();
  other.m_status = Status::Failed;
}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  if (this != &other) {
    release();
    m_key = std::move(other.m_key);
    m_status = other.m_status;
    m_holder = std::move(other.m_holder);
    m_error = std::move(other.m_error);
    other.m_key.clear();
    other.m_status = Status::Failed;
  }
  return *this;
}

void FolderLock::release() {
  if (m_key.empty()) return;
  {
    std::lock_guard guard(g_mutex);
    auto& held = heldLocks();
    if (auto it = held.find(m_key); it != held.end() && --it->second.depth == 0) {
      platform::UnlockByte(it->second.handle, lockOffset(it->second.kind));
      platform::CloseLockFile(it->second.handle);
      held.erase(it);
    }
  }
  g_released.notify_all();
  m_key.clear();
  m_status = Status::Failed;
}

}  // namespace core
