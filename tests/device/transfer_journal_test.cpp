// The transfer journal: what a cut-off journal file still says, going back to
// its last checkpoint, and how the commands use it.
#include <gtest/gtest.h>

#include "core/atomic_file.h"
#include "core/path_text.h"
#include "device/transfer_journal.h"
#include "device_fixture.h"

namespace {

namespace fs = std::filesystem;
using testing_support::AllLogRecords;
using testing_support::DeviceFixture;
using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::TerminalRecords;
using testing_support::WriteBytes;

// A journal as a transfer writes it: header at pointer 100, two logs (one
// there with 40 bytes, one new), a checkpoint at 110, a third log, a
// checkpoint at 120.
std::string WrittenJournal(const TempDir& dir) {
  const fs::path jnl = dir / "prenos.jnl";
  const fs::path march = dir / "3_2026.txt";
  const fs::path april = dir / "4_2026.txt";
  const fs::path may = core::PathFromUtf8(core::Utf8FromPath(dir.path()) + "/Dochádzka máj/5_2026.txt");
  WriteBytes(march, std::string(40, 'x'));
  device::TransferJournal j(jnl);
  EXPECT_TRUE(j.begin(4321, 100));
  const fs::path two[] = {march, april, march};
  EXPECT_TRUE(j.noteLogs(two));
  WriteBytes(march, std::string(60, 'x'));
  WriteBytes(april, std::string(7, 'x'));
  EXPECT_TRUE(j.checkpoint(110));
  const fs::path third[] = {may, april};
  fs::create_directories(may.parent_path());
  EXPECT_TRUE(j.noteLogs(third));
  WriteBytes(may, std::string(5, 'x'));
  EXPECT_TRUE(j.checkpoint(120));
  EXPECT_EQ(j.checkpoints(), 2);
  return ReadBytes(jnl);
}

TEST(TransferJournal, WhatAJournalCutOffAnywhereStillSays) {
  TempDir dir;
  const std::string whole = WrittenJournal(dir);
  // Line starts: header, 2 logs, checkpoint, log, checkpoint.
  std::vector<std::size_t> ends;
  for (std::size_t i = 0; i < whole.size(); ++i)
    if (whole[i] == '\n') ends.push_back(i + 1);
  ASSERT_EQ(ends.size(), 6u);

  struct Case {
    const char* name;
    std::string bytes;
    bool sound;
    long long pointer;
    std::vector<long long> sizes;
  };
  std::string flipped = whole;
  flipped[ends[3] + 12] ^= 0x01;  // a byte of the log line after the first checkpoint
  std::string badCount = whole.substr(0, ends[3]);
  {
    // A checkpoint that names fewer logs than were noted is not trusted.
    const std::string payload = "ok\t999\t60";
    char hex[12];
    std::uint32_t h = 2166136261u;
    for (unsigned char c : payload) h = (h ^ c) * 16777619u;
    std::snprintf(hex, sizeof hex, "%08x ", static_cast<unsigned>(h));
    badCount += hex + payload + "\r\n";
  }
  const std::vector<Case> cases = {
      {"whole", whole, true, 120, {60, 7, 5}},
      {"last line cut off", whole.substr(0, whole.size() - 3), true, 110, {60, 7, -1}},
      {"only the checkpoint's line end lost", whole.substr(0, whole.size() - 1), true, 110, {60, 7, -1}},
      {"up to the first checkpoint", whole.substr(0, ends[3]), true, 110, {60, 7}},
      {"logs noted, no checkpoint", whole.substr(0, ends[2]), true, 100, {40, -1}},
      {"header only", whole.substr(0, ends[0]), true, 100, {}},
      {"damaged line ends the reading", flipped, true, 110, {60, 7}},
      {"checkpoint with a size missing", badCount + whole.substr(ends[3]), true, 110, {60, 7}},
      {"header cut off", whole.substr(0, ends[0] - 2), false, 0, {}},
      {"empty", "", false, 0, {}},
      {"another file", "[REQPTR]\r\n4321=5\r\n", false, 0, {}},
  };
  for (const auto& c : cases) {
    const auto state = device::ParseJournal(c.bytes);
    ASSERT_EQ(state.has_value(), c.sound) << c.name;
    if (!state) continue;
    EXPECT_EQ(state->productionNumber, 4321) << c.name;
    EXPECT_EQ(state->pointer, c.pointer) << c.name;
    std::vector<long long> sizes;
    for (const auto& l : state->logs) sizes.push_back(l.size);
    EXPECT_EQ(sizes, c.sizes) << c.name;
  }
  // Cut off at any byte, the journal says the state of the last line that is
  // whole: never a pointer further on than the logs it names.
  for (std::size_t n = 0; n <= whole.size(); ++n) {
    const auto cut = device::ParseJournal(std::string_view(whole).substr(0, n));
    const long long expected = n < ends[0] ? -2 : n < ends[3] ? 100 : n < ends[5] ? 110 : 120;
    ASSERT_EQ(cut ? cut->pointer : -2, expected) << n;
    if (cut) {
      EXPECT_EQ(cut->logs.size(), n < ends[1] ? 0u : n < ends[2] ? 1u : n < ends[4] ? 2u : 3u) << n;
    }
  }
  // The path with a blank and Slovak letters comes back as it was.
  const auto state = device::ParseJournal(whole);
  ASSERT_EQ(state->logs.size(), 3u);
  EXPECT_EQ(core::Utf8FromPath(state->logs[2].path.parent_path().filename()), "Dochádzka máj");
}

TEST(TransferJournal, RestoreCutsBackRemovesWhatItCreatedAndLeavesTheRest) {
  TempDir dir;
  const fs::path grown = dir / "3_2026.txt";
  const fs::path created = dir / "4_2026.txt";
  const fs::path shorter = dir / "5_2026.txt";
  const fs::path folder = dir / "6_2026.txt";
  WriteBytes(grown, "line 1\r\nline 2\r\nline 3 cut of");
  WriteBytes(created, "new\r\n");
  WriteBytes(shorter, "ab");
  fs::create_directories(folder);
  device::JournalState state;
  state.logs = {{grown, 16}, {created, -1}, {shorter, 10}, {folder, -1}, {dir / "7_2026.txt", -1}};
  ASSERT_TRUE(device::RestoreLogs(state));
  EXPECT_EQ(ReadBytes(grown), "line 1\r\nline 2\r\n");
  EXPECT_FALSE(fs::exists(created));
  EXPECT_EQ(ReadBytes(shorter), "ab");
  EXPECT_TRUE(fs::is_directory(folder));
  // Again: nothing more to do.
  ASSERT_TRUE(device::RestoreLogs(state));
  EXPECT_EQ(ReadBytes(grown), "line 1\r\nline 2\r\n");
}

TEST(DurableFiles, FlushAndDurableAppend) {
  TempDir dir;
  const fs::path f = dir / "a.txt";
  EXPECT_FALSE(core::FlushToDisk(f));  // missing
  EXPECT_TRUE(core::AppendToFileDurably(f, "one\r\n"));
  EXPECT_TRUE(core::AppendToFileDurably(f, "two\r\n"));
  EXPECT_EQ(ReadBytes(f), "one\r\ntwo\r\n");
  EXPECT_TRUE(core::FlushToDisk(f));
  EXPECT_TRUE(core::FlushFolder(dir.path()));
  EXPECT_FALSE(core::FlushToDisk(dir.path()));  // a folder is no file
  EXPECT_FALSE(core::AppendToFileDurably(dir / "missing" / "b.txt", "x"));
}

class JournaledTransfer : public DeviceFixture {
 protected:
  fs::path journal() const { return device::JournalFileFor(iniFile(), 4321); }
  std::vector<device::TransferStep> steps;
};

TEST_F(JournaledTransfer, CheckpointsFollowTheIntervalAndTheJournalGoesAtTheEnd) {
  terminal.prefillRing(45, 0);
  ASSERT_TRUE(refreshStatus());
  struct Case {
    std::chrono::milliseconds interval;
    int checkpoints;
  };
  // Five blocks; the last one needs none, the end settles it.
  for (const Case c : {Case{std::chrono::milliseconds(0), 4}, Case{std::chrono::hours(1), 0}}) {
    fs::remove_all(logDir());
    ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 0));
    auto ctx = context();
    ctx.checkpointInterval = c.interval;
    steps.clear();
    ctx.onStep = [&](device::TransferStep s) {
      if (s != device::TransferStep::RecordAppended) {
        steps.push_back(s);
      } else {
        // While records are being appended the journal is there.
        EXPECT_TRUE(fs::exists(journal()));
      }
    };
    const auto out = device::NewRecordsCommand(ctx);
    EXPECT_TRUE(out.transfer.complete());
    EXPECT_EQ(out.transfer.blocks, 5);
    EXPECT_EQ(out.transfer.checkpoints, c.checkpoints);
    EXPECT_GT(out.transfer.journalTime.count(), 0);
    EXPECT_EQ(std::count(steps.begin(), steps.end(), device::TransferStep::Checkpointed), c.checkpoints);
    EXPECT_EQ(steps.front(), device::TransferStep::JournalStarted);
    EXPECT_EQ(std::vector<device::TransferStep>(steps.end() - 3, steps.end()),
              (std::vector<device::TransferStep>{device::TransferStep::LogsFlushed, device::TransferStep::PointerStored,
                                                 device::TransferStep::JournalCleared}));
    EXPECT_FALSE(fs::exists(journal()));
    EXPECT_EQ(storedPointer(), 45);
    EXPECT_EQ(AllLogRecords(logDir()), TerminalRecords(terminal));
  }
}

TEST_F(JournaledTransfer, AligningAfterACutOffTransferIsNotUndoneByItsJournal) {
  terminal.prefillRing(30, 0);
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 0));
  // A journal of a transfer cut off right after it began.
  device::TransferJournal cutOff(journal());
  ASSERT_TRUE(cutOff.begin(4321, 0));
  op.yesNoAnswers = {true};
  auto ctx = context();
  EXPECT_TRUE(device::AlignPointers(ctx));
  EXPECT_FALSE(fs::exists(journal()));
  EXPECT_EQ(storedPointer(), 30);
  EXPECT_EQ(device::NewRecordsCommand(ctx).transfer.requested, 0);
  EXPECT_EQ(op.messages.back(), "V prístroji nie sú žiadne nové záznamy o dochádzke");
}

TEST_F(JournaledTransfer, AJournalThatCannotBeWrittenStopsTheTransferBeforeAnyRecord) {
  terminal.prefillRing(12, 0);
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 0));
  // A folder with a file in it stands where the journal would be: it can
  // neither be written nor removed.
  fs::create_directories(journal());
  WriteBytes(journal() / "x", "x");
  auto ctx = context();
  for (auto command : {+[](device::DownloadContext& c) { return device::NewRecordsCommand(c); },
                       +[](device::DownloadContext& c) { return device::TransferAllCommand(c); },
                       +[](device::DownloadContext& c) { return device::AutomaticTransfer(c, 12); }}) {
    op.messages.clear();
    const auto out = command(ctx);
    EXPECT_TRUE(out.ran);
    EXPECT_TRUE(out.transfer.journalFailed);
    EXPECT_FALSE(out.transfer.complete());
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0], core::MonthLog::WriteErrorMessage(journal()));
    EXPECT_TRUE(AllLogRecords(logDir()).empty());
    EXPECT_EQ(storedPointer(), 0);
  }
  // Nor may the pointer be stored past a journal that cannot be settled.
  EXPECT_FALSE(device::StoreTransferPointer(iniFile(), 4321, 12));
  fs::remove_all(journal());
  EXPECT_TRUE(device::NewRecordsCommand(ctx).transfer.complete());
  EXPECT_EQ(AllLogRecords(logDir()), TerminalRecords(terminal));
}

TEST_F(JournaledTransfer, APointerThatCannotBeStoredLeavesTheJournalForTheNextTransfer) {
  terminal.prefillRing(25, 0);
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 0));
  auto ctx = context();
  ctx.checkpointInterval = std::chrono::milliseconds(0);
  // vortane.ini becomes unreadable (a folder) just before the pointer is stored.
  const std::string ini = ReadBytes(iniFile());
  ctx.onStep = [&](device::TransferStep s) {
    if (s == device::TransferStep::LogsFlushed) {
      fs::remove(iniFile());
      fs::create_directories(iniFile());
    }
  };
  auto out = device::NewRecordsCommand(ctx);
  EXPECT_TRUE(out.pointerWriteFailed);
  EXPECT_TRUE(fs::exists(journal()));
  EXPECT_EQ(AllLogRecords(logDir()).size(), 25u);
  fs::remove_all(iniFile());
  WriteBytes(iniFile(), ini);
  ctx.onStep = nullptr;
  // Back to the last checkpoint (20), then the rest again: each record once.
  out = device::NewRecordsCommand(ctx);
  EXPECT_TRUE(out.transfer.complete());
  EXPECT_EQ(out.transfer.requested, 5);
  EXPECT_EQ(storedPointer(), 25);
  EXPECT_EQ(AllLogRecords(logDir()), TerminalRecords(terminal));
}

}  // namespace
