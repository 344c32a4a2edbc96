#pragma once
// Locks that keep programs sharing one program folder out of each other's
// way: several desktop programs and command-line runs, on this computer or on
// others reaching the folder over a file share.
//
// Two locks live in the folder's "vortane.lck", each an operating-system
// lock of its own byte of that file, never a test whether a file exists:
// - Transfer: held by a transfer into the month logs for as long as it writes
//   (the logs, the transfer pointer, its journal), so transfers into one
//   folder run one after the other.
// - Settings: held for every read-modify-write of vortane.ini; the file is
//   read again inside it, so no program writes back another one's old values.
//   A transfer takes it inside its own lock to store the pointer, never the
//   other way round.
// The system releases a lock when its holder dies (power loss, a killed
// process), so a stale lock never blocks the next program. The holder writes
// a note (computer, user, process, since when) into the file for whoever
// waits; the note is only information, the lock is the byte.
//
// Within one process the locks are reentrant for the thread that holds them,
// and other threads wait as other processes do.

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace core {

enum class LockKind { Transfer = 0, Settings = 1 };

// Who holds a lock, as its note says.
struct LockHolder {
  std::string computer;
  std::string user;
  long process = 0;
  std::string since;  // "d.M.yyyy H:mm:ss", local time of the holder's computer
  bool known() const { return !computer.empty(); }
};

// "<computer> (<user>)", or "iný program" when the note cannot be read.
std::string HolderText(const LockHolder& holder);

// The message when a lock could not be had: who keeps the folder's files.
std::string LockBusyText(const LockHolder& holder);

// "<folder>/vortane.lck".
std::filesystem::path LockFileOf(const std::filesystem::path& folder);

// The note of the current holder of `kind`; empty when there is none to read.
LockHolder ReadLockHolder(const std::filesystem::path& folder, LockKind kind);

class FolderLock {
 public:
  enum class Status { Acquired, TimedOut, Cancelled, Failed };

  // Takes `kind` of `folder`, waiting at most `wait` while another program
  // (or another thread of this one) holds it; a zero wait tries once.
  // `waiting` is called about every 50 ms with the holder while it waits;
  // when it returns false the wait ends with Cancelled.
  static FolderLock Acquire(const std::filesystem::path& folder, LockKind kind, std::chrono::milliseconds wait,
                            const std::function<bool(const LockHolder&)>& waiting = {});

  FolderLock() = default;
  FolderLock(FolderLock&& other) noexcept;
  FolderLock& operator=(FolderLock&& other) noexcept;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock() { release(); }

  bool held() const { return m_status == Status::Acquired && !m_key.empty(); }
  Status status() const { return m_status; }
  // Not acquired: who held it when the wait ended (TimedOut, Cancelled).
  const LockHolder& holder() const { return m_holder; }
  // Failed: why ("<path>: <reason>").
  const std::string& error() const { return m_error; }
  void release();

 private:
  std::string m_key;
  Status m_status = Status::Failed;
  LockHolder m_holder;
  std::string m_error;
};

}  // namespace core
