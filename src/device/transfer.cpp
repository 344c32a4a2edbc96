#include "device/transfer.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "core/atomic_file.h"
#include "core/ini_file.h"
#include "core/record_types.h"
#include "core/text_util.h"
#include "device/protocol.h"
#include "device/record_codec.h"
#include "device/transfer_journal.h"

namespace device {
namespace {

constexpr int kBlockAttempts = 11;

std::string recordsText(const core::MessageCatalogue& messages, int count) {
  return std::to_string(count) + messages.message(core::msg::RecordsSuffix);
}

// Steps 2 and 3 of the manual commands: a terminal must have answered and its
// pointer must be sound.
bool terminalReady(DownloadContext& ctx) {
  if (!ctx.device.known || ctx.device.panptr.empty()) {
    ctx.op.showMessage(ctx.messages.message(core::msg::ConnectTerminal));
    return false;
  }
  if (ctx.device.panptr.find("CHYBA") != std::string::npos || ctx.device.PTR < 0 ||
      ctx.device.PTR > ctx.device.capacity()) {
    ctx.op.showMessage(ctx.messages.message(core::msg::TransferError) + "\r" +
                       ctx.messages.message(core::msg::PointerError) + "\r" +
                       ctx.messages.message(core::msg::PresentCard));
    return false;
  }
  return true;
}

void step(DownloadContext& ctx, TransferStep s) {
  if (ctx.onStep) ctx.onStep(s);
}

bool writePointer(const std::filesystem::path& iniFile, int productionNumber, long long value) {
  return core::WriteProfileInt(iniFile, "REQPTR", std::to_string(productionNumber), value);
}

void reportWriteError(DownloadContext& ctx, const std::filesystem::path& file) {
  ctx.op.showMessage(core::MonthLog::WriteErrorMessage(file));
}

// The folder's transfer lock for one command, waiting with the progress
// window (or, in fixed-unit mode, the main window's progress line) while
// another program holds it. Not held: the outcome says why, the operator has
// been told unless the wait was cancelled.
core::FolderLock lockTransfers(DownloadContext& ctx, CommandOutcome& out) {
  const auto folder = ctx.iniFile.parent_path().empty() ? std::filesystem::path(".") : ctx.iniFile.parent_path();
  auto lock = core::FolderLock::Acquire(folder, core::LockKind::Transfer, std::chrono::milliseconds(0));
  if (lock.held()) return lock;
  if (lock.status() != core::FolderLock::Status::Failed) {
    ctx.comm.StopRequested = false;
    if (!ctx.fixedUnit) ctx.progress.show("Prenos...");
    ctx.progress.setCaption("Prenos...");
    std::string shown;
    lock = core::FolderLock::Acquire(folder, core::LockKind::Transfer, ctx.lockWait, [&](const core::LockHolder& h) {
      const std::string text = TransferLockWaitText(h);
      if (text != shown) ctx.progress.setLabel(shown = text);
      return !ctx.comm.StopRequested.load();
    });
    if (!ctx.fixedUnit) ctx.progress.hide();
    if (lock.held()) return lock;
  }
  out.ran = true;
  out.lockNotHeld = true;
  switch (lock.status()) {
    case core::FolderLock::Status::Cancelled:
      out.transfer.stopped = true;
      break;
    case core::FolderLock::Status::TimedOut:
      if (ctx.fixedUnit) {
        // Nobody may sit at a fixed unit's PC: the next status reply tries again.
        ctx.text.addLine(ShortDateLongTimeText(ctx.now()) + "\t" + TransferLockBusyMessage(lock.holder()));
      } else {
        ctx.op.showMessage(TransferLockBusyMessage(lock.holder()));
      }
      break;
    default:
      ctx.op.showMessage("Nie je možné zamknúť adresár programu pre prenos:\r" + lock.error());
      break;
  }
  return lock;
}

// Before anything is stored: an interrupted transfer is taken back to its
// last checkpoint. When that fails, nothing may be appended (the logs would
// be cut under the new records later): the outcome says so.
bool settle(DownloadContext& ctx, CommandOutcome& out) {
  std::filesystem::path failed;
  if (RecoverInterruptedTransfer(ctx.iniFile, &failed)) return true;
  reportWriteError(ctx, failed);
  out.ran = true;
  out.transfer.journalFailed = true;
  return false;
}

// The journal side of one transfer into the logs: where a checkpoint puts the
// pointer, and when the next one is due.
struct JournalPlan {
  TransferJournal& journal;
  std::function<long long(int reached)> pointerFor;
  std::chrono::steady_clock::time_point last = std::chrono::steady_clock::now();
};

TransferResult runTransfer(DownloadContext& ctx, int n, bool storeToLog, JournalPlan* plan);

// A transfer into the logs under its journal, and the pointer rule of the
// command (`pointerFor` maps the position reached to the pointer to store).
// The order is what makes a cut-off transfer safe: journal first, records
// next, the logs flushed, the pointer stored, and only then the journal
// cleared. Nothing is written when the pointer would not move.
CommandOutcome journaledTransfer(DownloadContext& ctx, long long before, int n,
                                 std::function<long long(int)> pointerFor) {
  CommandOutcome out;
  out.ran = true;
  TransferJournal journal(JournalFileFor(ctx.iniFile, ctx.device.productionNumber));
  auto account = [&] {
    out.transfer.checkpoints = journal.checkpoints();
    out.transfer.journalTime = journal.spent();
  };
  if (!journal.begin(ctx.device.productionNumber, before)) {
    reportWriteError(ctx, journal.failedFile());
    out.transfer.requested = std::max(n, 0);
    out.transfer.journalFailed = true;
    account();
    return out;
  }
  step(ctx, TransferStep::JournalStarted);
  JournalPlan plan{journal, pointerFor};
  out.transfer = runTransfer(ctx, n, true, &plan);
  const long long target = pointerFor(out.transfer.resumePosition);
  if (!out.transfer.journalFailed && !journal.flushLogs()) out.transfer.journalFailed = true;
  if (out.transfer.journalFailed) {
    reportWriteError(ctx, journal.failedFile());
    // Back to the last checkpoint at once, so that the logs hold nothing the
    // pointer does not cover; if that fails too, the next transfer does it.
    RecoverInterruptedTransfer(ctx.iniFile);
    account();
    return out;
  }
  step(ctx, TransferStep::LogsFlushed);
  if (!out.transfer.stopped) out.statusText = recordsText(ctx.messages, out.transfer.RecordCount);
  if (target != before && !writePointer(ctx.iniFile, ctx.device.productionNumber, target)) {
    // The journal stays: the next transfer goes back to its last checkpoint.
    out.pointerWriteFailed = true;
    account();
    return out;
  }
  step(ctx, TransferStep::PointerStored);
  if (!journal.clear()) {
    reportWriteError(ctx, journal.failedFile());
    out.transfer.journalFailed = true;
  } else {
    step(ctx, TransferStep::JournalCleared);
  }
  account();
  return out;
}

CommandOutcome logTransfer(DownloadContext& ctx, long long S, int n) {
  return journaledTransfer(ctx, S, n, [](int reached) { return static_cast<long long>(reached); });
}

}  // namespace

int RingNext(int p, int capacity) { return p >= capacity ? 0 : p + 1; }
int RingPrev(int p, int capacity) { return p <= 0 ? capacity : p - 1; }

int NewRecordCount(long long S, int PTR, int capacity) {
  if (S == PTR) return 0;
  if (S < 0 || S > capacity) return PTR + 1;  // the first step goes to 0
  if (S < PTR) return static_cast<int>(PTR - S);
  return static_cast<int>(capacity - S + 1 + PTR);
}

std::string RecordLine(const core::AttendanceRecord& r, Model model, const core::EmployeeList& employees) {
  std::string line = ShortDateText(r.time.date()) + " " + core::ClockText(r.time) + "\t";
  if (const auto i = employees.findCard(r.card)) {
    const std::string& name = employees.employees()[*i].name;
    line += name.empty() ? "-----" : name;
  } else {
    line += "[" + std::to_string(r.card) + "]";
  }
  line += "\t";
  const bool arrival = r.code <= 15;
  if (model == Model::Rfid) {
    line += arrival ? "Pr " : "Od ";
    line += std::string(core::recordTypeName(core::recordTypeOf(r.code)));
  } else {
    line += arrival ? "PR" : "OD";
  }
  return line;
}

long long ReadTransferPointer(const std::filesystem::path& iniFile, int productionNumber) {
  return core::ReadProfileIntOrMissing(iniFile, "REQPTR", std::to_string(productionNumber));
}

std::string TransferLockWaitText(const core::LockHolder& holder) {
  return "Čaká sa na prenos z " + core::HolderText(holder) + "...";
}

std::string TransferLockBusyMessage(const core::LockHolder& holder) {
  std::string text = "Záznamy sa nepreniesli: prebieha prenos z " + core::HolderText(holder);
  if (!holder.since.empty()) text += " (od " + holder.since + ")";
  return text + ".\rSkúste to znova neskôr.";
}

namespace {
std::filesystem::path folderOf(const std::filesystem::path& iniFile) {
  return iniFile.parent_path().empty() ? std::filesystem::path(".") : iniFile.parent_path();
}
constexpr std::chrono::milliseconds kStorePointerLockWait{5000};
}  // namespace

bool StoreTransferPointer(const std::filesystem::path& iniFile, int productionNumber, long long value) {
  const auto lock = core::FolderLock::Acquire(folderOf(iniFile), core::LockKind::Transfer, kStorePointerLockWait);
  if (!lock.held()) return false;
  if (!RecoverInterruptedTransfer(iniFile)) return false;
  return writePointer(iniFile, productionNumber, value);
}

bool RecoverInterruptedTransfer(const std::filesystem::path& iniFile, std::filesystem::path* failed) {
  auto fail = [&](const std::filesystem::path& which) {
    if (failed) *failed = which;
    return false;
  };
  const std::filesystem::path folder = folderOf(iniFile);
  const auto lock = core::FolderLock::Acquire(folder, core::LockKind::Transfer, std::chrono::milliseconds(0));
  if (!lock.held()) return fail(core::LockFileOf(folder));
  for (const auto& file : JournalFilesBeside(iniFile)) {
    std::string bytes;
    if (!core::ReadWholeFile(file, bytes)) return fail(file);
    if (const auto state = ParseJournal(bytes)) {
      std::filesystem::path which;
      if (!RestoreLogs(*state, &which)) return fail(which);
      if (ReadTransferPointer(iniFile, state->productionNumber) != state->pointer &&
          !writePointer(iniFile, state->productionNumber, state->pointer)) {
        return fail(iniFile);
      }
    }
    // Without a sound header nothing was appended under this journal.
    if (!ClearJournal(file)) return fail(file);
  }
  return true;
}

int ProcessBlock(DownloadContext& ctx, int k, bool storeToLog, TransferResult& result, TransferJournal* journal) {
  const ModelParams& model = ctx.device.model;
  const std::string& buffer = ctx.comm.ReceiveBuffer;
  const std::size_t size = static_cast<std::size_t>(model.recordSize);
  k = std::clamp(k, 0, kBlockRecords);
  std::array<std::optional<core::AttendanceRecord>, kBlockRecords> records;
  int available = 0;
  for (; available < k; ++available) {
    const std::size_t at = 5 + static_cast<std::size_t>(available) * size;
    if (at + size > buffer.size()) break;  // never: ReadBlock checked the length
    records[available] = DecodeRecord(std::string_view(buffer).substr(at, size), model, ctx.CHGINOUT);
  }
  if (storeToLog && journal) {
    // The journal must know a log's size before the block's first record
    // goes to it; a block that crosses a month's end goes to two logs.
    std::vector<std::filesystem::path> logs;
    for (int i = 0; i < available; ++i) {
      if (!records[i]) continue;
      auto file = core::MonthLog::FileOf(ctx.logDir, *records[i]);
      if (std::find(logs.begin(), logs.end(), file) == logs.end()) logs.push_back(std::move(file));
    }
    if (!journal->noteLogs(logs)) {
      result.journalFailed = true;
      return 0;
    }
    step(ctx, TransferStep::LogsNoted);
  }
  for (int i = 0; i < available; ++i) {
    const auto& record = records[i];
    if (!record) continue;
    ++result.RecordCount;
    if (ctx.fixedUnit && ctx.presence) ctx.presence->UpdatePresence(record->card, record->time, record->code);
    if (!ctx.fixedUnit) ctx.text.addLine(RecordLine(*record, model.model, ctx.employees));
    if (storeToLog) {
      if (!core::MonthLog::Append(ctx.logDir, *record, ctx.messages, ctx.op)) {
        result.appendFailed = true;
        return i;
      }
      ++result.stored;
      step(ctx, TransferStep::RecordAppended);
    }
  }
  return available;
}

TransferResult TransferRecords(DownloadContext& ctx, int n, bool storeToLog) {
  return runTransfer(ctx, n, storeToLog, nullptr);
}

namespace {

TransferResult runTransfer(DownloadContext& ctx, int n, bool storeToLog, JournalPlan* plan) {
  TransferResult result;
  const int C = ctx.device.capacity();
  result.requested = std::max(n, 0);
  if (!ctx.fixedUnit) ctx.text.clear();
  ctx.comm.StopRequested = false;
  if (!ctx.fixedUnit) ctx.progress.show("Prenos...");
  ctx.progress.setCaption("Prenos...");
  ctx.progress.setLabel("0 / " + std::to_string(n));
  ctx.progress.setBar(0, std::max(n, 0));

  const int ptr = std::clamp(ctx.device.PTR, 0, C);
  const int positions = C + 1;
  const int back = std::clamp(n, 0, positions);
  int p = ((ptr - back) % positions + positions) % positions;
  result.resumePosition = p;

  while (result.done < result.requested && C > 0) {
    const int k = std::min({kBlockRecords, C - p + 1, result.requested - result.done});
    bool read = false;
    for (int attempt = 1;; ++attempt) {
      if (ReadBlock(ctx.comm, ctx.device.model, p)) {
        read = true;
        break;
      }
      if (attempt >= kBlockAttempts) {
        ctx.text.addLine("EEPR: " + std::to_string(p));
        result.unreadableBlock = true;
        break;
      }
      ctx.progress.setLabel("Timeout: " + std::to_string(attempt) + "/10");
      ctx.comm.Pause(100);
      if (ctx.comm.StopRequested.load()) {
        result.stopped = true;
        break;
      }
    }
    if (!read) break;
    ++result.blocks;
    const int handled = ProcessBlock(ctx, k, storeToLog, result, plan ? &plan->journal : nullptr);
    if (handled < k) {
      // The records before the failed one are in the log; the next transfer
      // starts with the one that is not.
      for (int i = 0; i < handled; ++i) p = RingNext(p, C);
      result.resumePosition = p;
      break;
    }
    result.done += k;
    p += k;
    if (p > C) p = 0;
    result.resumePosition = p;
    ctx.progress.setLabel(std::to_string(result.done) + " / " + std::to_string(n));
    ctx.progress.setBar(result.done, n);
    if (result.done < result.requested && ctx.comm.StopRequested.load()) {
      result.stopped = true;
      break;
    }
    // The end of the transfer settles everything anyway; a checkpoint in
    // between only bounds what a cut-off transfer fetches again.
    if (plan && result.done < result.requested) {
      const auto now = std::chrono::steady_clock::now();
      if (now - plan->last >= ctx.checkpointInterval) {
        if (!plan->journal.checkpoint(plan->pointerFor(result.resumePosition))) {
          result.journalFailed = true;
          break;
        }
        plan->last = now;
        step(ctx, TransferStep::Checkpointed);
      }
    }
  }
  ctx.comm.ClearReceiveBuffer();
  if (!ctx.fixedUnit) ctx.progress.hide();
  return result;
}

}  // namespace

CommandOutcome NewRecordsCommand(DownloadContext& ctx) {
  if (!terminalReady(ctx)) return {};
  CommandOutcome locked;
  const auto lock = lockTransfers(ctx, locked);
  if (!lock.held()) return locked;
  if (CommandOutcome out; !settle(ctx, out)) return out;
  const long long S = ReadTransferPointer(ctx.iniFile, ctx.device.productionNumber);
  if (S < 0 || S > ctx.device.capacity()) {
    CommandOutcome out;
    out.pointerWriteFailed = !HandleFirstUse(ctx);
    return out;
  }
  if (S == ctx.device.PTR) {
    ctx.op.showMessage(ctx.messages.message(core::msg::NoNewRecords));
    return {};
  }
  return logTransfer(ctx, S, NewRecordCount(S, ctx.device.PTR, ctx.device.capacity()));
}

CommandOutcome TransferCountCommand(DownloadContext& ctx) {
  if (!terminalReady(ctx)) return {};
  const auto answer = ctx.op.askText(ctx.messages.message(core::msg::TransferTitle),
                                     ctx.messages.message(core::msg::TransferCountPrompt));
  if (!answer || answer->empty()) return {};
  return TransferCountCommand(ctx, *answer);
}

CommandOutcome TransferCountCommand(DownloadContext& ctx, const std::string& answer) {
  if (!terminalReady(ctx)) return {};
  if (answer.empty()) return {};
  const auto n = core::parseDecimal(answer);
  if (!n) {
    ctx.op.showMessage("'" + answer + "' is not a valid integer value");
    return {};
  }
  if (*n > ctx.device.capacity()) {
    ctx.op.showMessage(ctx.messages.message(core::msg::MaxTransfer) + std::to_string(ctx.device.capacity()) +
                       ctx.messages.message(core::msg::RecordsSuffix));
    return {};
  }
  CommandOutcome out;
  out.ran = true;
  out.transfer = TransferRecords(ctx, static_cast<int>(std::max<long long>(*n, 0)), false);
  out.statusText = recordsText(ctx.messages, out.transfer.RecordCount);
  return out;
}

CommandOutcome TransferAllCommand(DownloadContext& ctx) {
  if (!ctx.device.known || ctx.device.Pansn.empty()) {
    ctx.op.showMessage(ctx.messages.message(core::msg::ConnectVortane));
    return {};
  }
  if (!terminalReady(ctx)) return {};
  CommandOutcome locked;
  const auto lock = lockTransfers(ctx, locked);
  if (!lock.held()) return locked;
  if (CommandOutcome out; !settle(ctx, out)) return out;
  const int C = ctx.device.capacity();
  const int PTR = ctx.device.PTR;
  const long long before = ReadTransferPointer(ctx.iniFile, ctx.device.productionNumber);
  // From the position after PTR (wrapping at the ring's end) the whole ring
  // except PTR itself: C records. The position after C is 0, so a terminal
  // whose PTR stands at the ring's end gets its records too, instead of a
  // first-use message and a pointer moved past records never fetched. A
  // pointer error is refused before anything is stored: the old pointer is
  // not replaced by the position after an invalid PTR.
  const int start = RingNext(PTR, C);
  // The pointer moves to where the transfer got, except while it has not yet
  // passed the old pointer: the records after the old pointer are then still
  // to come, and those before it were in the logs already. Checkpoints follow
  // the same rule, so a cut-off transfer leaves the pointer where a stopped
  // one would.
  return journaledTransfer(ctx, before, C, [=](int reached) -> long long {
    if (before >= 0 && before <= C &&
        NewRecordCount(start, reached, C) < NewRecordCount(start, static_cast<int>(before), C))
      return before;
    return reached;
  });
}

NewRecordsDecision CheckNewRecords(const DeviceState& device, long long storedPointer, bool fixedUnit, bool declined) {
  NewRecordsDecision d;
  if (!device.known || device.PTR < 0 || device.PTR > device.capacity()) return d;
  if (storedPointer < 0) {
    d.action = NewRecordsAction::FirstUse;
    return d;
  }
  d.Pannewr = "0";
  if (storedPointer == device.PTR) {
    d.action = NewRecordsAction::NothingNew;
    return d;
  }
  d.count = NewRecordCount(storedPointer, device.PTR, device.capacity());
  d.Pannewr = std::to_string(d.count);
  if (declined) {
    d.action = NewRecordsAction::Declined;
  } else {
    d.action = fixedUnit ? NewRecordsAction::Transfer : NewRecordsAction::Ask;
  }
  return d;
}

std::string NewRecordsQuestion() { return "V KAVEX sú nové záznamy\r\rChcete ich teraz preniesť ?"; }

std::string FirstUseMessage(const core::MessageCatalogue& messages) {
  return messages.message(core::msg::FirstTransfer) + "\r" + messages.message(core::msg::CannotTellNew);
}

bool HandleFirstUse(DownloadContext& ctx) {
  CommandOutcome locked;
  const auto lock = lockTransfers(ctx, locked);
  if (!lock.held()) return false;
  ctx.op.showMessage(FirstUseMessage(ctx.messages));
  return StoreTransferPointer(ctx.iniFile, ctx.device.productionNumber, ctx.device.PTR);
}

CommandOutcome AutomaticTransfer(DownloadContext& ctx, int n) {
  CommandOutcome locked;
  const auto lock = lockTransfers(ctx, locked);
  if (!lock.held()) return locked;
  const long long counted = ReadTransferPointer(ctx.iniFile, ctx.device.productionNumber);
  if (CommandOutcome out; !settle(ctx, out)) return out;
  const long long S = ReadTransferPointer(ctx.iniFile, ctx.device.productionNumber);
  // n was counted from the pointer before an interrupted transfer was taken
  // back to its last checkpoint; count again from where that left it.
  if (S != counted && S >= 0 && S <= ctx.device.capacity() && ctx.device.PTR >= 0)
    n = NewRecordCount(S, ctx.device.PTR, ctx.device.capacity());
  if (ctx.fixedUnit) {
    ctx.comm.StopRequested = false;
    ctx.text.addLine(ShortDateLongTimeText(ctx.now()) + "\tprenos... " + std::to_string(n));
  }
  CommandOutcome out = logTransfer(ctx, S, n);
  if (ctx.fixedUnit && ctx.presence && !ctx.presenceFile.empty()) {
    out.presenceWriteFailed = !ctx.presence->SavePresence(ctx.presenceFile);
  }
  return out;
}

bool AlignPointers(DownloadContext& ctx) {
  if (!ctx.device.known || ctx.device.PTR < 0) {
    ctx.op.showMessage("Pre túto operáciu musí byť prístroj pripojený na PC");
    return false;
  }
  if (!ctx.op.askYesNo("Údaje sa v prístroji nevymažú, len sa zrovnajú ukazovatele PC a prístroja\rOd vykonania "
                       "tejto operácie všetky ďalšie registrácie pracovníkov budú považované za nové\rŽeláte si "
                       "to urobiť?")) {
    return false;
  }
  CommandOutcome locked;
  const auto lock = lockTransfers(ctx, locked);
  if (!lock.held()) return false;
  if (!StoreTransferPointer(ctx.iniFile, ctx.device.productionNumber, ctx.device.PTR)) return false;
  ctx.op.showMessage("Vykonané");
  return true;
}

}  // namespace device
