// Record download against the terminal emulation: ring arithmetic, blocks,
// text-area lines, month logs, the transfer pointer, and that no registration
// is lost or stored twice whatever happens on the way.
#include <gtest/gtest.h>

#include <random>

#include "device_fixture.h"

namespace {

using testing_support::AllLogRecords;
using testing_support::DeviceFixture;
using testing_support::TerminalRecords;
using Records = std::vector<std::tuple<int, std::int64_t, int>>;

// Block reads seen by the terminal: the ring position each block started at.
class BlockWatcher {
 public:
  BlockWatcher(timeclock::Terminal& t) : m_terminal(t) {
    t.setFrameObserver([this](std::uint8_t cmd, std::uint8_t arg) {
      if (cmd == 11) m_low = arg;
      if (cmd == 12) {
        const auto& i = m_terminal.info();
        starts.push_back(((arg << 8 | m_low) - i.baseAddress) / i.recordSize);
        if (onBlock) onBlock(static_cast<int>(starts.size()));
      }
    });
  }
  std::vector<int> starts;
  std::function<void(int)> onBlock;

 private:
  timeclock::Terminal& m_terminal;
  int m_low = 0;
};

TEST(Ring, NewRecordCount) {
  struct Case {
    long long S;
    int PTR;
    int C;
    int count;
  };
  const Case cases[] = {
      {5195, 3, 5200, 9}, {3, 3, 5200, 0},    {0, 5200, 5200, 5200}, {5200, 0, 5200, 1},
      {1, 0, 5200, 5200}, {10, 20, 9350, 10}, {9351, 5, 9350, 6},    {99999, 0, 9350, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(device::NewRecordCount(c.S, c.PTR, c.C), c.count) << c.S << "->" << c.PTR;
  EXPECT_EQ(device::RingNext(5200, 5200), 0);
  EXPECT_EQ(device::RingPrev(0, 5200), 5200);
}

TEST(CheckNewRecords, Decisions) {
  device::DeviceState d;
  ASSERT_TRUE(device::ReadStatus(std::string(5, '\0') + std::string(1, '\x42') + std::string(23, '\0'), d));
  d.PTR = 100;
  using A = device::NewRecordsAction;
  struct Case {
    const char* name;
    int PTR;
    long long S;
    bool fixed;
    bool declined;
    A action;
    int count;
    std::optional<std::string> panel;
  };
  const std::vector<Case> cases = {
      {"pointer error", -1, 50, false, false, A::None, 0, std::nullopt},
      {"first use", 100, -1, false, false, A::FirstUse, 0, std::nullopt},
      {"nothing new", 100, 100, false, false, A::NothingNew, 0, "0"},
      {"ask", 100, 90, false, false, A::Ask, 10, "10"},
      {"automatic", 100, 90, true, false, A::Transfer, 10, "10"},
      {"declined", 100, 90, false, true, A::Declined, 10, "10"},
      {"wrapped", 2, 5199, true, false, A::Transfer, 4, "4"},
  };
  for (const auto& c : cases) {
    d.PTR = c.PTR;
    const auto r = device::CheckNewRecords(d, c.S, c.fixed, c.declined);
    EXPECT_EQ(r.action, c.action) << c.name;
    EXPECT_EQ(r.count, c.count) << c.name;
    EXPECT_EQ(r.Pannewr, c.panel) << c.name;
  }
}

class RfidTransfer : public DeviceFixture {};
class DallasTransfer : public DeviceFixture {
 protected:
  DallasTransfer() : DeviceFixture(timeclock::Model::Dallas) {}
};

TEST_F(DallasTransfer, WrappedRingReadsTheEndThenTheStart) {
  terminal.prefillRing(20, 5190);  // PTR ends at 9
  terminal.setPtr(3);
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 5195));
  BlockWatcher w(terminal);
  auto ctx = context();
  const auto out = device::NewRecordsCommand(ctx);
  EXPECT_EQ(w.starts, (std::vector<int>{5195, 0}));
  EXPECT_EQ(out.transfer.requested, 9);
  EXPECT_EQ(out.transfer.RecordCount, 9);
  EXPECT_EQ(out.statusText, "9 záznamov");
  EXPECT_EQ(storedPointer(), 3);
  EXPECT_EQ(text.lines.size(), 9u);
  Records expected;
  for (const auto& r : terminal.newestRecords(9)) expected.emplace_back(r.card, r.time.secs, r.recordCode);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(AllLogRecords(logDir()), expected);
}

TEST_F(DallasTransfer, DirectionBitAndSwappedKeys) {
  terminal.setSwappedKeys(true);
  terminal.addRegistration(1001, core::DateTime::fromParts(2026, 3, 14, 7, 5), 0);
  terminal.addRegistration(1001, core::DateTime::fromParts(2026, 3, 14, 15, 35), 16);
  ASSERT_TRUE(refreshStatus());
  auto ctx = context();
  ctx.CHGINOUT = 1;
  device::TransferCountCommand(ctx, "2");
  ASSERT_EQ(text.lines.size(), 2u);
  EXPECT_EQ(text.lines[0], "14.3.2026 07:05\tPracovnik 1\tPR");
  EXPECT_EQ(text.lines[1], "14.3.2026 15:35\tPracovnik 1\tOD");
}

TEST_F(DallasTransfer, SinglePositionBeforeZeroIsTheLastOne) {
  terminal.fillRing(0);
  ASSERT_TRUE(refreshStatus());
  ASSERT_EQ(state.PTR, 0);
  BlockWatcher w(terminal);
  auto ctx = context();
  const auto out = device::TransferCountCommand(ctx, "1");
  EXPECT_EQ(w.starts, std::vector<int>{5200});
  EXPECT_EQ(out.transfer.RecordCount, 1);
  EXPECT_EQ(out.statusText, "1 záznamov");
}

TEST_F(RfidTransfer, BlocksAndProgressOfTwentyFive) {
  terminal.prefillRing(40, 100);
  ASSERT_TRUE(refreshStatus());
  BlockWatcher w(terminal);
  auto ctx = context();
  const auto out = device::TransferCountCommand(ctx, "25");
  EXPECT_EQ(w.starts, (std::vector<int>{115, 125, 135}));
  EXPECT_EQ(progress.captions.front(), "Prenos...");
  EXPECT_EQ(progress.labels, (std::vector<std::string>{"0 / 25", "10 / 25", "20 / 25", "25 / 25"}));
  EXPECT_EQ(progress.bars.back(), std::make_pair(25, 25));
  EXPECT_EQ(progress.shows, 1);
  EXPECT_FALSE(progress.shown);
  EXPECT_EQ(out.transfer.RecordCount, 25);
  // Showing records changes neither the logs nor the pointer.
  EXPECT_TRUE(AllLogRecords(logDir()).empty());
  EXPECT_EQ(storedPointer(), -1);
}

TEST_F(RfidTransfer, TextAreaLines) {
  employees.employees()[2].name = "";
  terminal.addRegistration(1001, core::DateTime::fromParts(2026, 3, 2, 8, 0), 19);
  terminal.addRegistration(1003, core::DateTime::fromParts(2026, 3, 2, 8, 1), 0);
  terminal.addRegistration(777, core::DateTime::fromParts(2026, 3, 2, 23, 59), 5);
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 0));
  auto ctx = context();
  device::NewRecordsCommand(ctx);
  EXPECT_EQ(text.lines,
            (std::vector<std::string>{"2.3.2026 08:00\tPracovnik 1\tOd 3 sl.zahranic",
                                      "2.3.2026 08:01\t-----\tPr Normalny", "2.3.2026 23:59\t[777]\tPr 5 Lekar"}));
  // The unknown identifier is stored all the same.
  const auto log = AllLogRecords(logDir());
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(std::get<0>(log[0]), 777);
}

TEST_F(RfidTransfer, InvalidRecordsAreSkipped) {
  terminal.prefillRing(10, 0);
  const std::uint8_t bad[] = {0x3C, 0x05, 0x00, 0x00, 0x00, 0xE9, 0x03};  // minute 60
  terminal.writeMemory(3 * 7, bad);
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 0));
  auto ctx = context();
  const auto out = device::NewRecordsCommand(ctx);
  EXPECT_EQ(out.transfer.RecordCount, 9);
  EXPECT_EQ(AllLogRecords(logDir()).size(), 9u);
  EXPECT_EQ(storedPointer(), 10);
}

TEST_F(RfidTransfer, ManualCommandMessages) {
  auto ctx = context();
  // Before any status reply.
  device::NewRecordsCommand(ctx);
  device::TransferCountCommand(ctx, "5");
  device::TransferAllCommand(ctx);
  EXPECT_EQ(op.messages, (std::vector<std::string>{"Pripojte prístroj na PC", "Pripojte prístroj na PC",
                                                   "Pripojte VORTANE na COM Port"}));
  op.messages.clear();

  terminal.setPtr(9351);
  ASSERT_TRUE(refreshStatus());
  device::NewRecordsCommand(ctx);
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_EQ(op.messages[0],
            "CHYBA! Nie je možné preniesť záznamy o dochádzke z prístroja\rprístroj má chybu v ukazovateli "
            "záznamov\rPriložte kartu a stlačte príchod/odchod tlačidlo");
  op.messages.clear();

  terminal.prefillRing(30, 0);
  ASSERT_TRUE(refreshStatus());
  device::NewRecordsCommand(ctx);  // first use
  EXPECT_EQ(storedPointer(), 30);
  device::NewRecordsCommand(ctx);  // nothing new
  device::TransferCountCommand(ctx, "9351");
  device::TransferCountCommand(ctx, "abc");
  EXPECT_FALSE(device::TransferCountCommand(ctx, "").ran);
  EXPECT_EQ(op.messages, (std::vector<std::string>{
                             "POZOR prvýkrát ste na tomto PC použili prenos najnovších záznamov z "
                             "prístroja\rNie je možné určiť koľko je nových záznamov o dochádzke v prístroji",
                             "V prístroji nie sú žiadne nové záznamy o dochádzke",
                             "Maximálne je možné preniesť9350 záznamov", "'abc' is not a valid integer value"}));
  EXPECT_TRUE(AllLogRecords(logDir()).empty());

  // The count asked through the operator; Cancel does nothing.
  op.textAnswers = {std::nullopt, std::string("3")};
  EXPECT_FALSE(device::TransferCountCommand(ctx).ran);
  EXPECT_EQ(device::TransferCountCommand(ctx).transfer.RecordCount, 3);
  EXPECT_EQ(op.questions.back(), "Zadajte počet záznamov, ktoré chcete preniesť");
}

TEST_F(RfidTransfer, AllRecordsOfAFullRing) {
  for (int endPtr : {4000, 9350}) {
    terminal.fillRing(endPtr);
    ASSERT_TRUE(refreshStatus());
    std::filesystem::remove_all(logDir());
    auto ctx = context();
    const auto out = device::TransferAllCommand(ctx);
    EXPECT_EQ(out.transfer.RecordCount, 9350) << endPtr;
    EXPECT_EQ(storedPointer(), endPtr);
    // Everything but the record at PTR, which is the oldest and next to be overwritten.
    Records expected;
    for (const auto& r : terminal.newestRecords(9350)) expected.emplace_back(r.card, r.time.secs, r.recordCode);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(AllLogRecords(logDir()), expected) << endPtr;
  }
}

TEST_F(RfidTransfer, CancelledAllKeepsTheOldPointerUntilItIsPassed) {
  terminal.prefillRing(100, 0);
  ASSERT_TRUE(refreshStatus());
  BlockWatcher w(terminal);
  auto ctx = context();
  struct Case {
    long long before;  // the stored pointer
    int cancelAt;      // block during which the operator cancels
    long long after;
  };
  // The transfer starts at 101 and reaches 0 after 9250 positions (925 blocks).
  for (const Case c :
       {Case{95, 3, 95}, Case{100, 3, 100}, Case{-1, 3, 131}, Case{135, 3, 135}, Case{120, 3, 131}, Case{5, 926, 10}}) {
    ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, c.before));
    w.onBlock = [&](int n) {
      if (n == c.cancelAt) comm.StopRequested = true;
    };
    w.starts.clear();
    const auto out = device::TransferAllCommand(ctx);
    EXPECT_TRUE(out.transfer.stopped);
    EXPECT_EQ(storedPointer(), c.after) << c.before;
  }
  // Records after the old pointer then come with the next new-record transfer.
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 95));
  w.starts.clear();
  w.onBlock = [&](int n) {
    if (n == 2) comm.StopRequested = true;
  };
  device::TransferAllCommand(ctx);
  w.onBlock = nullptr;
  EXPECT_EQ(storedPointer(), 95);
  EXPECT_EQ(device::NewRecordsCommand(ctx).transfer.RecordCount, 5) << (op.messages.empty() ? "" : op.messages.back());
}

TEST_F(RfidTransfer, FixedUnitModeFeedsThePresenceStatus) {
  terminal.addRegistration(1002, core::DateTime::fromParts(2026, 3, 15, 7, 0), 0);
  terminal.addRegistration(1002, core::DateTime::fromParts(2026, 3, 15, 9, 0), 17);
  terminal.addRegistration(1005, core::DateTime::fromParts(2026, 3, 15, 9, 10), 4);
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 0));
  const auto decision = device::CheckNewRecords(state, storedPointer(), true, false);
  ASSERT_EQ(decision.action, device::NewRecordsAction::Transfer);
  auto ctx = context(true);
  const auto out = device::AutomaticTransfer(ctx, decision.count);
  EXPECT_EQ(out.statusText, "3 záznamov");
  EXPECT_EQ(text.lines, std::vector<std::string>{"15.3.2026 10:30:00\tprenos... 3"});
  EXPECT_EQ(text.clears, 0);
  EXPECT_EQ(progress.shows, 0);
  EXPECT_EQ(storedPointer(), 3);
  EXPECT_EQ(presence.entries()[1].state, 17);
  EXPECT_EQ(presence.entries()[1].time, core::DateTime::fromParts(2026, 3, 15, 9, 0));
  EXPECT_EQ(presence.entries()[4].state, 4);
  EXPECT_EQ(presence.entries()[0].state, -1);
  EXPECT_EQ(testing_support::ReadBytes(dir / "stav.bin"), presence.toBytes());
  EXPECT_EQ(AllLogRecords(logDir()).size(), 3u);
}

TEST_F(RfidTransfer, AlignPointers) {
  auto ctx = context();
  EXPECT_FALSE(device::AlignPointers(ctx));
  EXPECT_EQ(op.messages.back(), "Pre túto operáciu musí byť prístroj pripojený na PC");
  terminal.prefillRing(12, 0);
  ASSERT_TRUE(refreshStatus());
  op.yesNoAnswers = {false, true};
  EXPECT_FALSE(device::AlignPointers(ctx));
  EXPECT_EQ(storedPointer(), -1);
  EXPECT_TRUE(device::AlignPointers(ctx));
  EXPECT_EQ(storedPointer(), 12);
  EXPECT_EQ(op.messages.back(), "Vykonané");
}

// Files that cannot be written are reported, never passed over as success.
TEST_F(RfidTransfer, UnwritablePointerAndPresenceFilesAreReported) {
  terminal.addRegistration(1002, core::DateTime::fromParts(2026, 3, 15, 7, 0), 0);
  ASSERT_TRUE(refreshStatus());
  // A plain file stands where the folder of vortane.ini and stav.bin would be.
  testing_support::WriteBytes(dir / "blocked", "x");
  auto ctx = context(true);
  ctx.iniFile = dir / "blocked" / "vortane.ini";
  ctx.presenceFile = dir / "blocked" / "stav.bin";

  // A folder that cannot even be locked: reported, nothing stored.
  op.messages.clear();
  auto out = device::NewRecordsCommand(ctx);
  EXPECT_TRUE(out.ran);
  EXPECT_TRUE(out.lockNotHeld);
  EXPECT_FALSE(out.transfer.stopped);
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_EQ(op.messages[0].rfind("Nie je možné zamknúť adresár programu pre prenos:\r", 0), 0u) << op.messages[0];
  EXPECT_NE(op.messages[0].find("vortane.lck"), std::string::npos) << op.messages[0];
  EXPECT_FALSE(device::HandleFirstUse(ctx));

  // An automatic transfer whose stav.bin cannot be written.
  ctx.iniFile = iniFile();
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 0));
  out = device::AutomaticTransfer(ctx, 1);
  EXPECT_TRUE(out.transfer.complete());
  EXPECT_FALSE(out.pointerWriteFailed);
  EXPECT_TRUE(out.presenceWriteFailed);
  EXPECT_EQ(storedPointer(), 1);
  ctx.presenceFile = dir / "stav.bin";
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 0));
  EXPECT_FALSE(device::AutomaticTransfer(ctx, 1).presenceWriteFailed);
  EXPECT_TRUE(device::HandleFirstUse(ctx));
}

// ---- nothing lost, nothing twice ----

TEST_F(RfidTransfer, CancelStoresThePointerAfterTheLastCompleteBlock) {
  terminal.prefillRing(45, 9340);  // wraps: PTR ends at 34
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 9340));
  BlockWatcher w(terminal);
  w.onBlock = [&](int n) {
    if (n == 2) comm.StopRequested = true;  // the operator cancels during the second block
  };
  auto ctx = context();
  auto out = device::NewRecordsCommand(ctx);
  EXPECT_TRUE(out.transfer.stopped);
  EXPECT_EQ(out.statusText, "");
  EXPECT_EQ(out.transfer.done, 11);  // a block of 10 (9340..9349)... and one of 1 (9350)
  EXPECT_EQ(storedPointer(), 0);
  EXPECT_EQ(AllLogRecords(logDir()).size(), 11u);

  w.onBlock = nullptr;
  out = device::NewRecordsCommand(ctx);
  EXPECT_TRUE(out.transfer.complete());
  EXPECT_EQ(out.transfer.requested, 34);
  EXPECT_EQ(storedPointer(), 34);
  EXPECT_EQ(AllLogRecords(logDir()), TerminalRecords(terminal));
}

TEST_F(RfidTransfer, UnreadableBlockStopsTheTransferAndIsReadNextTime) {
  terminal.prefillRing(50, 0);
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 0));
  // The terminal goes quiet after its answer to the third block.
  BlockWatcher w(terminal);
  w.onBlock = [&](int n) {
    if (n == 3) terminal.disconnect();
  };
  auto ctx = context();
  auto out = device::NewRecordsCommand(ctx);
  EXPECT_TRUE(out.transfer.unreadableBlock);
  EXPECT_EQ(text.lines.back(), "EEPR: 30");
  EXPECT_EQ(std::count_if(progress.labels.begin(), progress.labels.end(),
                          [](const std::string& l) { return l.rfind("Timeout: ", 0) == 0; }),
            10);
  EXPECT_EQ(out.statusText, "30 záznamov");
  EXPECT_EQ(storedPointer(), 30);
  EXPECT_EQ(AllLogRecords(logDir()).size(), 30u);

  terminal.reconnect();
  w.onBlock = nullptr;
  ASSERT_TRUE(refreshStatus());
  out = device::NewRecordsCommand(ctx);
  EXPECT_TRUE(out.transfer.complete());
  EXPECT_EQ(storedPointer(), 50);
  EXPECT_EQ(AllLogRecords(logDir()), TerminalRecords(terminal));
}

TEST_F(RfidTransfer, FailedLogAppendStopsAtThatRecord) {
  for (int i = 0; i < 6; ++i) terminal.addRegistration(1001, core::DateTime::fromParts(2026, 2, 27, 8, i), 0);
  for (int i = 0; i < 6; ++i) terminal.addRegistration(1002, core::DateTime::fromParts(2026, 3, 2, 8, i), 0);
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 0));
  // March's log cannot be written: a folder stands where the file would be.
  std::filesystem::create_directories(logDir() / "3_2026.txt");
  auto ctx = context();
  auto out = device::NewRecordsCommand(ctx);
  EXPECT_TRUE(out.transfer.appendFailed);
  EXPECT_EQ(out.transfer.stored, 6);
  EXPECT_EQ(storedPointer(), 6);
  EXPECT_FALSE(op.messages.empty());  // the input/output error was reported
  EXPECT_EQ(AllLogRecords(logDir()).size(), 6u);

  std::filesystem::remove(logDir() / "3_2026.txt");
  out = device::NewRecordsCommand(ctx);
  EXPECT_TRUE(out.transfer.complete());
  EXPECT_EQ(storedPointer(), 12);
  EXPECT_EQ(AllLogRecords(logDir()), TerminalRecords(terminal));
}

TEST_F(RfidTransfer, FaultSoak) {
  // Twenty transfers over a noisy line with registrations arriving between
  // them and the operator cancelling at random; then one clean transfer. Every
  // registration of the terminal must be in the logs exactly once.
  terminal.prefillRing(200, 9300);
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, 9300));
  std::mt19937 random(20260315);
  BlockWatcher w(terminal);
  int cancels = 0;
  int faults = 0;
  auto ctx = context();
  for (int round = 0; round < 20; ++round) {
    timeclock::FaultConfig f;
    f.seed = static_cast<std::uint64_t>(round) + 1;
    f.damage = 0.08;
    f.drop = 0.05;
    f.silence = 0.05;
    terminal.setFaults(f);
    const int cancelAt = std::uniform_int_distribution<int>(1, 12)(random);
    w.onBlock = [&](int n) {
      if (n == cancelAt && round % 3 == 0) {
        comm.StopRequested = true;
        ++cancels;
      }
    };
    w.starts.clear();
    // Stray bytes from the line now and then, whoever is waiting.
    transport.onWrite = [&](std::string_view) {
      if (std::uniform_int_distribution<int>(0, 40)(random) == 0) {
        std::string junk(static_cast<std::size_t>(std::uniform_int_distribution<int>(1, 8)(random)), '\0');
        for (char& c : junk) c = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
        transport.inject(junk, std::chrono::microseconds(std::uniform_int_distribution<int>(0, 3000)(random)));
      }
    };
    for (int i = 0; i < 7; ++i) {
      terminal.addRegistrationNow(static_cast<std::uint16_t>(1001 + i), i % 2 ? 16 : 0);
    }
    for (int tries = 0; tries < 5 && !refreshStatus(); ++tries) {
    }
    device::NewRecordsCommand(ctx);
    // Never twice: the logs hold no record more often than the terminal does.
    const Records log = AllLogRecords(logDir());
    const Records all = TerminalRecords(terminal);
    EXPECT_TRUE(std::includes(all.begin(), all.end(), log.begin(), log.end())) << "round " << round;
    faults += terminal.faultCounts().damaged + terminal.faultCounts().dropped + terminal.faultCounts().silenced;
  }
  EXPECT_GT(cancels, 0);
  EXPECT_GT(faults, 20);
  terminal.setFaults({});
  w.onBlock = nullptr;
  transport.onWrite = nullptr;
  comm.Pause(100);
  ASSERT_TRUE(refreshStatus());
  const auto last = device::NewRecordsCommand(ctx);
  EXPECT_TRUE(last.transfer.complete());
  EXPECT_EQ(storedPointer(), state.PTR);
  EXPECT_EQ(AllLogRecords(logDir()), TerminalRecords(terminal));
}

}  // namespace
