#pragma once
// Record download: reading the terminal's ring in blocks of ten, the lines of
// the main window's text area, the month logs, the presence status, and the
// transfer pointer kept per terminal in vortane.ini (section REQPTR).
//
// No registration is ever lost or stored twice: a transfer that is cancelled,
// meets a block it cannot read in 11 attempts, or cannot append a record to
// its month log stops there, and the transfer pointer is stored at the ring
// position of the first record that was not completely handled. The next
// new-record transfer continues exactly there.
//
// A transfer that is cut off without a chance to store its pointer (power
// loss, a killed process, a crash) is covered by its journal
// (transfer_journal.h): every command that stores records or a pointer first
// takes the month logs and the pointer back to the journal's last checkpoint,
// and fetches again from there.
//
// Several programs may share one program folder (two terminals on two PCs,
// a scheduled vortane-cli beside the desktop program): every command that
// stores records or a pointer holds the folder's transfer lock
// (core/folder_lock.h) from before it settles a journal until its own
// journal is cleared. A command that finds the lock held waits, showing
// "Čaká sa na prenos z <computer> (<user>)..." with its cancel button, for
// at most DownloadContext::lockWait; then it reports who holds it and
// leaves logs, pointer and journals as they were.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/employee_list.h"
#include "core/folder_lock.h"
#include "core/messages.h"
#include "core/month_log.h"
#include "core/operator.h"
#include "core/time_values.h"
#include "device/comm_state.h"
#include "device/device_state.h"
#include "device/presence.h"
#include "device/progress.h"

namespace device {

// The moments the journal's order of writes depends on (see ProcessBlock and
// the commands below), for tests that cut a transfer off there.
enum class TransferStep {
  JournalStarted,  // the journal holds the pointer before the transfer
  LogsNoted,       // the sizes of the logs a block goes to are in the journal
  RecordAppended,  // one record more in a month log (not yet flushed)
  Checkpointed,    // logs flushed, then the position reached recorded
  LogsFlushed,     // the end: every appended record is on the disk
  PointerStored,   // the end: the transfer pointer is in vortane.ini
  JournalCleared,  // the end: nothing left to go back to
};

// Everything a download works with. The operator, the text area and the
// progress sink are called from the thread that runs the download.
struct DownloadContext {
  DownloadContext(CommState& c, const DeviceState& d, const core::EmployeeList& e, const core::MessageCatalogue& m,
                  core::Operator& o, TextArea& t, Progress& p)
      : comm(c), device(d), employees(e), messages(m), op(o), text(t), progress(p) {}

  CommState& comm;
  const DeviceState& device;  // PTR, model, production number of the last usable status
  const core::EmployeeList& employees;
  const core::MessageCatalogue& messages;
  core::Operator& op;
  TextArea& text;
  Progress& progress;
  std::filesystem::path iniFile;  // vortane.ini
  std::filesystem::path logDir;   // LOGDIR
  int CHGINOUT = 0;
  // AUTODNL as loaded at start-up: records go to the presence status instead of
  // the text area, and stav.bin is written after automatic transfers.
  bool fixedUnit = false;
  PresenceStatus* presence = nullptr;  // required in fixed-unit mode
  std::filesystem::path presenceFile;  // stav.bin
  std::function<core::DateTime()> now = core::Now;
  // A long transfer into the logs records a checkpoint after the first block
  // that ends this long after the previous one. Each checkpoint flushes the
  // logs and the journal to the disk: two waits for the disk (7 to 20 ms
  // where it was measured) against some 95 ms that a block of ten takes on
  // the line, too much to pay after every block. A transfer cut off fetches
  // again what came after its last checkpoint, here at most some twenty
  // blocks. Zero: after every block.
  std::chrono::milliseconds checkpointInterval{2000};
  std::function<void(TransferStep)> onStep;  // test seam; may be empty
  // How long a command waits for another program's transfer into the same
  // folder. A whole VORT RFID ring takes some three minutes at 9600 baud.
  std::chrono::milliseconds lockWait{std::chrono::minutes(5)};
};

// The progress line while another program's transfer holds the folder.
std::string TransferLockWaitText(const core::LockHolder& holder);
// The message when the wait ended without the lock.
std::string TransferLockBusyMessage(const core::LockHolder& holder);

// Ring positions 0..capacity: the position after `p` and the one before it.
int RingNext(int p, int capacity);
int RingPrev(int p, int capacity);

// Records between a stored pointer S and PTR, stepping forward from S (a
// position above the capacity steps to 0). 0 when S equals PTR.
int NewRecordCount(long long S, int PTR, int capacity);

// The text-area line of one record: "d.M.yyyy hh:nn", tab, the name of the
// first employee with the identifier ("[n]" when there is none, "-----" when
// the name is empty), tab, "PR"/"OD" (VORT DALLAS) or "Pr "/"Od " and the type
// name (VORT RFID).
std::string RecordLine(const core::AttendanceRecord& r, Model model, const core::EmployeeList& employees);

// REQPTR of a production number: -1 when missing.
long long ReadTransferPointer(const std::filesystem::path& iniFile, int productionNumber);
// Stores REQPTR under the folder's transfer lock (waiting a few seconds for
// it unless the calling thread holds it already). An interrupted transfer's
// journal beside vortane.ini is settled first (RecoverInterruptedTransfer),
// so that it cannot later take the pointer back from the value stored here.
// False when the lock is not to be had or either step fails.
bool StoreTransferPointer(const std::filesystem::path& iniFile, int productionNumber, long long value);

// For every journal of an interrupted transfer beside vortane.ini (any
// terminal's): cuts the month logs back to its last checkpoint, stores that
// checkpoint's pointer for its terminal and removes the journal. Only with
// the folder's transfer lock, which the calling thread either holds or gets
// at once: a journal is never settled under a transfer that is still
// running. True when there was nothing to do or all of it succeeded;
// otherwise `failed` names the file that could not be changed (the lock
// file when the lock was held elsewhere), and the journals left stay for
// the next attempt.
bool RecoverInterruptedTransfer(const std::filesystem::path& iniFile, std::filesystem::path* failed = nullptr);

struct TransferResult {
  int requested = 0;
  int done = 0;                  // ring positions completely handled
  int RecordCount = 0;           // valid records decoded
  int stored = 0;                // records appended to the month logs
  bool stopped = false;          // StopRequested ended it
  bool unreadableBlock = false;  // a block failed 11 times ("EEPR: " line)
  bool appendFailed = false;     // a month-log append failed
  bool journalFailed = false;    // the journal could not be written or settled: see the operator's message
  // Ring position of the first record not completely handled; PTR after a
  // complete transfer. The transfer pointer is stored here.
  int resumePosition = 0;
  // What the journal cost: checkpoints written and the time spent waiting
  // for the disk on its account (noting logs, checkpoints, the final flush
  // and clearing), and the blocks read.
  int checkpoints = 0;
  std::chrono::nanoseconds journalTime{0};
  int blocks = 0;
  bool complete() const { return done >= requested && !appendFailed && !journalFailed; }
};

// Decodes the first `k` records of the block in ReceiveBuffer (echo in front)
// and dispatches them: RecordCount, presence (fixed-unit mode), text line
// (otherwise), month log (when storeToLog). Stops at the first record that
// cannot be appended; returns how many of the k records were handled before
// that (k when all were). With a journal, the logs the block goes to are
// noted in it before the first record is appended; when that fails nothing
// is handled (0, journalFailed).
class TransferJournal;
int ProcessBlock(DownloadContext& ctx, int k, bool storeToLog, TransferResult& result,
                 TransferJournal* journal = nullptr);

// Reads the n ring positions before PTR and processes them (see the header
// comment for how it ends early). Clears the text area unless in fixed-unit
// mode; clears StopRequested; progress "Prenos...", "done / n". Stores no
// pointer and keeps no journal: the commands below do.
TransferResult TransferRecords(DownloadContext& ctx, int n, bool storeToLog);

struct CommandOutcome {
  bool ran = false;  // a transfer was started
  TransferResult transfer;
  std::string statusText;            // status-bar panel 0 ("N záznamov"), empty when unchanged
  bool pointerWriteFailed = false;   // vortane.ini could not be written (also on first use)
  bool presenceWriteFailed = false;  // stav.bin could not be written after an automatic transfer
  // The folder's transfer lock was not had: another program kept it past
  // lockWait (reported), the wait was cancelled (transfer.stopped), or the
  // folder cannot be locked (reported). Nothing was changed.
  bool lockNotHeld = false;
};

// The three commands that store records (new records, all records, the
// automatic transfer) first settle an interrupted transfer's journal; when
// that is impossible they show the input/output error naming the file and
// transfer nothing (ran, journalFailed). Each keeps a journal of its own
// while it runs.
//
// "Prenos len nové záznamy" (act_newrecordsExecute).
CommandOutcome NewRecordsCommand(DownloadContext& ctx);
// "Preniesť počet záznamov": asks for the count through the operator; shows the
// records only (no log, no pointer).
CommandOutcome TransferCountCommand(DownloadContext& ctx);
// The same with the count already given (the question's answer as text).
CommandOutcome TransferCountCommand(DownloadContext& ctx, const std::string& answer);
// "Preniesť všetky záznamy": the whole ring except position PTR, from the
// position after PTR on (0 when PTR is at the ring's end), into the logs. Complete, the transfer pointer becomes
// PTR. Stopped early, it becomes the position reached, unless that lies
// before the old pointer, which then stays: the next new-record transfer
// neither misses the records after it nor fetches those before it again.
// Cut off, it is taken back to a checkpoint that followed the same rule.
CommandOutcome TransferAllCommand(DownloadContext& ctx);

// The automatic check after every usable status reply, as a decision: the
// caller does what it says (messages and questions belong to the window).
enum class NewRecordsAction {
  None,        // PTR invalid: nothing to do
  FirstUse,    // show the first-use message and store PTR (HandleFirstUse)
  NothingNew,  // S equals PTR
  Declined,    // new records, but the operator said No during this connection
  Ask,         // ask "V KAVEX sú nové záznamy\r\rChcete ich teraz preniesť ?"
  Transfer,    // fixed-unit mode: transfer now (AutomaticTransfer)
};
struct NewRecordsDecision {
  NewRecordsAction action = NewRecordsAction::None;
  int count = 0;                       // new records
  std::optional<std::string> Pannewr;  // new text of the new-records panel
};
NewRecordsDecision CheckNewRecords(const DeviceState& device, long long storedPointer, bool fixedUnit, bool declined);

// The question of the Ask decision.
std::string NewRecordsQuestion();
// The first-use message (messages 17 and 18).
std::string FirstUseMessage(const core::MessageCatalogue& messages);

// FirstUse: the message, then PTR stored as the transfer pointer. False when
// the pointer could not be written (the caller reports it).
bool HandleFirstUse(DownloadContext& ctx);

// The automatic transfer of n new records (after Transfer, or Ask answered
// Yes): into the logs; in fixed-unit mode the "prenos... " line, the presence
// status and stav.bin; the pointer stored by the rule above. When settling a
// journal moved the pointer, n is counted again from there.
CommandOutcome AutomaticTransfer(DownloadContext& ctx, int n);

// The settings dialog's "Vymazať": asks, then stores PTR as the transfer
// pointer ("Vykonané"). Without a terminal: "Pre túto operáciu musí byť
// prístroj pripojený na PC". True when the pointer was stored.
bool AlignPointers(DownloadContext& ctx);

}  // namespace device
