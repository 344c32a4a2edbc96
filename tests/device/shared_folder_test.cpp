// Transfers of several terminals into one program folder: a transfer waits
// for another one's folder lock (saying whom for, cancelled by "Zrušiť",
// given up after its time), and a terminal's cut-off journal is settled by
// the next transfer of any terminal before that one appends, cutting away
// only what the cut-off transfer appended.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/atomic_file.h"
#include "core/folder_lock.h"
#include "core/ini_file.h"
#include "core/platform.h"
#include "device/transfer_journal.h"
#include "device_fixture.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::AllLogRecords;
using testing_support::DeviceFixture;
using testing_support::ReadBytes;
using testing_support::TerminalRecords;
using testing_support::WriteBytes;

// Another thread of the program holds the folder's transfer lock, as another
// program's transfer would, until release() or `after` has passed.
class OtherTransfer {
 public:
  OtherTransfer(const fs::path& folder, std::function<void()> whileHeld = {},
                std::chrono::milliseconds after = 10s) {
    m_thread = std::thread([=, this] {
      auto lock = core::FolderLock::Acquire(folder, core::LockKind::Transfer, 0ms);
      m_held = lock.held();
      m_ready = true;
      const auto end = std::chrono::steady_clock::now() + after;
      bool done = false;
      while (!m_release && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(5ms);
        if (!done && whileHeld && std::chrono::steady_clock::now() > end - after + 150ms) {
          whileHeld();
          done = true;
        }
      }
    });
    while (!m_ready) std::this_thread::sleep_for(1ms);
  }
  ~OtherTransfer() { release(); }
  bool held() const { return m_held; }
  void release() {
    m_release = true;
    if (m_thread.joinable()) m_thread.join();
  }

 private:
  std::thread m_thread;
  std::atomic<bool> m_ready{false};
  std::atomic<bool> m_held{false};
  std::atomic<bool> m_release{false};
};

class SharedFolder : public DeviceFixture {
 protected:
  core::LockHolder me() const {
    core::LockHolder h;
    h.computer = core::platform::ComputerName();
    h.user = core::platform::UserName();
    return h;
  }
};

TEST_F(SharedFolder, ATransferWaitsForAnotherOneSayingWhomForAndIsCancelledByStop) {
  terminal.prefillRing(12, 0);
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 0));
  const std::string ini = ReadBytes(iniFile());
  struct Case {
    const char* name;
    std::function<device::CommandOutcome(device::DownloadContext&)> run;
    bool fixedUnit;
  };
  const Case cases[] = {
      {"new records", [](device::DownloadContext& c) { return device::NewRecordsCommand(c); }, false},
      {"all records", [](device::DownloadContext& c) { return device::TransferAllCommand(c); }, false},
      {"automatic", [](device::DownloadContext& c) { return device::AutomaticTransfer(c, 12); }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    progress.labels.clear();
    op.messages.clear();
    // "Zrušiť" is pressed while it waits.
    OtherTransfer other(dir.path(), [&] { comm.StopRequested = true; });
    ASSERT_TRUE(other.held());
    auto ctx = context(c.fixedUnit);
    const auto out = c.run(ctx);
    EXPECT_TRUE(out.lockNotHeld);
    EXPECT_TRUE(out.transfer.stopped);
    EXPECT_TRUE(op.messages.empty());
    ASSERT_FALSE(progress.labels.empty());
    EXPECT_EQ(progress.labels.front(), "Čaká sa na prenos z " + me().computer + " (" + me().user + ")...");
    EXPECT_FALSE(progress.shown);
    EXPECT_TRUE(AllLogRecords(logDir()).empty());
    EXPECT_EQ(ReadBytes(iniFile()), ini);
    EXPECT_TRUE(device::JournalFilesBeside(iniFile()).empty());
  }
}

TEST_F(SharedFolder, ATransferGivesUpAfterItsTimeAndLeavesEverythingAsItWas) {
  terminal.prefillRing(12, 0);
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 0));
  const std::string ini = ReadBytes(iniFile());
  {
    OtherTransfer other(dir.path());
    auto ctx = context(false);
    ctx.lockWait = 200ms;
    const auto start = std::chrono::steady_clock::now();
    auto out = device::NewRecordsCommand(ctx);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
    EXPECT_TRUE(out.lockNotHeld);
    EXPECT_FALSE(out.transfer.stopped);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].rfind("Záznamy sa nepreniesli: prebieha prenos z " + me().computer + " (" + me().user +
                                       ") (od ",
                                   0),
              0u)
        << op.messages[0];
    // At a fixed unit nobody may be there to answer: a line instead of a box.
    auto fixed = context(true);
    fixed.lockWait = 50ms;
    text.lines.clear();
    out = device::AutomaticTransfer(fixed, 12);
    EXPECT_TRUE(out.lockNotHeld);
    EXPECT_EQ(op.messages.size(), 1u);
    ASSERT_EQ(text.lines.size(), 1u);
    EXPECT_NE(text.lines[0].find("\tZáznamy sa nepreniesli: prebieha prenos z "), std::string::npos) << text.lines[0];
    // The first use and "Vymazať" wait for it too, and store nothing.
    EXPECT_FALSE(device::HandleFirstUse(fixed));
    EXPECT_TRUE(AllLogRecords(logDir()).empty());
    EXPECT_EQ(ReadBytes(iniFile()), ini);
  }
  // The other transfer has ended: the same command goes through.
  auto ctx = context(false);
  EXPECT_TRUE(device::NewRecordsCommand(ctx).transfer.complete());
  EXPECT_EQ(AllLogRecords(logDir()), TerminalRecords(terminal));
  EXPECT_EQ(storedPointer(), 12);
}

TEST_F(SharedFolder, ATransferThatWaitedGoesOnWhenTheOtherEnds) {
  terminal.prefillRing(25, 0);
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 0));
  OtherTransfer other(dir.path(), {}, 300ms);
  auto ctx = context(false);
  const auto out = device::NewRecordsCommand(ctx);
  EXPECT_FALSE(out.lockNotHeld);
  EXPECT_TRUE(out.transfer.complete());
  EXPECT_FALSE(progress.labels.empty());
  EXPECT_EQ(AllLogRecords(logDir()), TerminalRecords(terminal));
  EXPECT_EQ(storedPointer(), 25);
}

TEST_F(SharedFolder, AnotherTerminalsCutOffJournalIsSettledBeforeThisTerminalAppends) {
  terminal.prefillRing(12, 0);  // March 2026, into 3_2026.txt
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 0));
  ASSERT_TRUE(core::WriteProfileInt(iniFile(), "REQPTR", "555", 40));
  // Terminal 555's transfer stored five registrations for good, then began
  // another one and was cut off halfway through a line.
  fs::create_directories(logDir());
  const fs::path log = logDir() / "3_2026.txt";
  std::string stored;
  for (int i = 0; i < 5; ++i) stored += "2.3.2026 7:0" + std::to_string(i) + ":00\t2001\t0\r\n";
  WriteBytes(log, stored);
  device::TransferJournal cutOff(device::JournalFileFor(iniFile(), 555));
  ASSERT_TRUE(cutOff.begin(555, 40));
  const std::vector<fs::path> logs{log};
  ASSERT_TRUE(cutOff.noteLogs(logs));
  ASSERT_TRUE(core::AppendToFile(log, "3.3.2026 8:00:00\t2001\t0\r\n3.3.2026 8:0"));
  // An earlier version's single journal, cut off before its first record.
  device::TransferJournal legacy(dir / "prenos.jnl");
  ASSERT_TRUE(legacy.begin(777, 9));

  auto ctx = context(false);
  const auto out = device::NewRecordsCommand(ctx);
  EXPECT_TRUE(out.transfer.complete());
  EXPECT_TRUE(device::JournalFilesBeside(iniFile()).empty());
  EXPECT_EQ(core::ReadProfileInt(iniFile(), "REQPTR", "555", -1), 40);
  EXPECT_EQ(core::ReadProfileInt(iniFile(), "REQPTR", "777", -1), 9);
  EXPECT_EQ(storedPointer(), 12);
  // 555's stored registrations, then this terminal's: nothing of 555's
  // cut-off transfer, nothing of this one cut.
  const std::string bytes = ReadBytes(log);
  EXPECT_EQ(bytes.substr(0, stored.size()), stored);
  auto records = AllLogRecords(logDir());
  EXPECT_EQ(records.size(), 5u + 12u);
  std::erase_if(records, [](const auto& r) { return std::get<0>(r) == 2001; });
  EXPECT_EQ(records, TerminalRecords(terminal));
}

TEST_F(SharedFolder, EachTerminalKeepsAJournalOfItsOwn) {
  terminal.prefillRing(15, 0);
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 0));
  auto ctx = context(false);
  std::vector<fs::path> during;
  ctx.onStep = [&](device::TransferStep s) {
    if (s == device::TransferStep::JournalStarted) during = device::JournalFilesBeside(iniFile());
  };
  EXPECT_TRUE(device::NewRecordsCommand(ctx).transfer.complete());
  EXPECT_EQ(during, std::vector<fs::path>{device::JournalFileFor(iniFile(), 4321)});
  EXPECT_EQ(device::JournalFileFor(iniFile(), 4321).filename(), "prenos_4321.jnl");
  EXPECT_TRUE(device::JournalFilesBeside(iniFile()).empty());
}

}  // namespace
