#pragma once
// The write-ahead record of a transfer into the month logs ("prenos.jnl"
// beside vortane.ini). A transfer that is cut off at any instant (power loss,
// a killed process, a crash, a full disk) leaves logs that may hold records
// the transfer pointer does not yet cover. The journal says how far back to
// go: the pointer of the last durable checkpoint and the size every month log
// had then. Going back to that state and fetching again from there puts every
// registration into the logs exactly once, without guessing from the logs'
// content (two identical registrations stay two).
//
// The file is a short text: a header line written atomically when the
// transfer starts, then appended lines, each carrying a checksum, so a line
// cut off by a power loss is recognised and ignored:
//   header      "prenos", format 1, production number, pointer before the transfer
//   log         size before the transfer's first record went to it (-1: the
//               file did not exist), the log's path (UTF-8)
//   checkpoint  pointer reached, then the size of every log named before it
// Order of durability: a log is named (and flushed) before anything is
// appended to it; a checkpoint is written only after the logs are flushed.
//
// Several terminals may feed one program folder (each through its own PC or
// its own adapter), so each terminal has a journal of its own,
// "prenos_<production number>.jnl". Who settles a journal: transfers into a
// folder hold its transfer lock (core/folder_lock.h) from before they settle
// anything until their own journal is cleared, so a journal that a transfer
// finds on taking the lock belongs to one that is gone (killed, powered off)
// and nothing has been appended to the logs since it stopped. Such a
// transfer settles every journal it finds (its own terminal's and the
// others') before it appends a record, and it never settles one without
// the lock: a settled journal can only cut away what its own transfer
// appended. "prenos.jnl", the single journal of earlier versions, is settled
// the same way.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace device {

// "<folder of vortane.ini>/prenos_<production number>.jnl".
std::filesystem::path JournalFileFor(const std::filesystem::path& iniFile, int productionNumber);

// Every journal beside vortane.ini (of any terminal, and an earlier
// version's "prenos.jnl"), in name order.
std::vector<std::filesystem::path> JournalFilesBeside(const std::filesystem::path& iniFile);

// What a journal says to go back to.
struct JournalState {
  struct Log {
    std::filesystem::path path;
    long long size = -1;  // -1: the transfer created it
  };
  int productionNumber = 0;
  long long pointer = -1;  // REQPTR to store
  std::vector<Log> logs;
  int checkpoints = 0;  // valid checkpoint lines read
};

// Parses a journal's bytes. Reading stops at the first line that is cut off
// or whose checksum does not match. nullopt when not even the header is
// sound: then nothing was appended under this journal.
std::optional<JournalState> ParseJournal(std::string_view bytes);

// Cuts every log of the state back to its size (a log the transfer created is
// removed) and flushes what it changed. A log shorter than its recorded size
// or no longer a plain file is left alone. False on the first file that
// cannot be changed (`failed` names it); calling it again is harmless.
bool RestoreLogs(const JournalState& state, std::filesystem::path* failed = nullptr);

// Removes the journal durably. True when it is gone (or was never there).
bool ClearJournal(const std::filesystem::path& file);

// The writing side, used by one transfer.
class TransferJournal {
 public:
  explicit TransferJournal(std::filesystem::path file) : m_file(std::move(file)) {}

  // Replaces any journal by a new one holding the header. Durable when true.
  bool begin(int productionNumber, long long pointer);

  // Before records go to `logs`: notes the size of each log not named yet.
  // Durable when true. A path that exists but is not a plain file is not
  // named (appending to it fails anyway).
  bool noteLogs(std::span<const std::filesystem::path> logs);

  // Flushes the named logs to the disk (and the folders of logs this
  // transfer created).
  bool flushLogs();

  // Flushes the logs, then records that everything appended so far belongs
  // to `pointer`. Durable when true.
  bool checkpoint(long long pointer);

  // The transfer is settled (its pointer stored): the journal goes away.
  bool clear();

  const std::filesystem::path& file() const { return m_file; }
  // The file whose write or flush failed last.
  const std::filesystem::path& failedFile() const { return m_failed; }

  // What the journal cost: durable operations and the time they took.
  int checkpoints() const { return m_checkpoints; }
  std::chrono::nanoseconds spent() const { return m_spent; }

 private:
  struct Log {
    std::filesystem::path path;
    long long size;  // at naming; -1 absent
    bool folderExisted;
  };
  bool appendLine(const std::string& payload);

  std::filesystem::path m_file;
  std::filesystem::path m_failed;
  std::vector<Log> m_logs;
  int m_checkpoints = 0;
  std::chrono::nanoseconds m_spent{0};
};

}  // namespace device
