// The desktop program's automatic transfer and a vortane-cli download from
// another terminal, into one program folder at the same moment, round after
// round: the month log holds every registration of both terminals once.

// The engine declares a member named like Qt's "emit" keyword: it must be
// read before any Qt header.
#include "engine/terminal.h"

#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <memory>
#include <random>

#include "cli/sim_programs.h"
#include "core/ini_file.h"
#include "core/month_log.h"
#include "device/transfer_journal.h"
#include "support/test_support.h"
#include "ui/main_window.h"
#include "main_window_installation.h"
#include "ui_sim_line.h"

namespace {

using testing_support::ReadBytes;
using testing_support::ScriptedOperator;

#if !defined(_WIN32)

TEST(SharedFolderWindow, AutomaticTransferBesideACliDownloadStoresEveryRegistrationOnce) {
  ui_test::MainWindowInstallation inst("Anna Horná\t\t101\t\t0\t0\t100\t0\t\r\n", "12_2026.txt", "",
                                       QDateTime(QDate(2026, 12, 9), QTime(6, 0)));
  const auto& tmp = inst.tmp;
  const auto dir = inst.dir;
  const auto ini = dir / "vortane.ini";
  ASSERT_TRUE(core::WriteProfileString(ini, "GLOBAL", "AUTODNL", "1"));
  ASSERT_TRUE(core::WriteProfileString(ini, "GLOBAL", "type", "1"));
  ASSERT_TRUE(core::WriteProfileString(ini, "REQPTR", "1", "0"));
  ASSERT_TRUE(core::WriteProfileString(ini, "REQPTR", "602", "0"));
  // The desktop program's terminal (production number 1), a fixed unit on RS485, in process.
  auto line = std::make_shared<ui_test::SimLine>(timeclock::Model::Rfid, timeclock::ConnectionType::Rs485);
  line->with([](timeclock::Terminal& t) { t.setClock(core::DateTime::fromParts(2026, 12, 9, 6, 0, 0)); });
  inst.line = line;
  inst.options.transportFactory = ui_test::FactoryFor(line);
  ScriptedOperator& op = inst.op;
  auto window = inst.window();
  ui::TForm1& w = *window;
  ASSERT_TRUE(w.FormCreate());
  ASSERT_TRUE(w.fixedMode());
  // The other terminal on a pseudo-terminal, for vortane-cli.
  cli_programs::Simulator sim(tmp.path() / "sim", {"--model", "rfid", "--production", "602", "--clock",
                                                   "9.12.2026 7:00:00"});
  ASSERT_FALSE(sim.port().empty()) << sim.errors();

  std::mt19937 random(1602);
  std::vector<std::string> mine;
  constexpr int kRounds = 8;
  for (int round = 0; round < kRounds; ++round) {
    line->with([&](timeclock::Terminal& t) {
      for (int i = 0; i < 40; ++i) {
        const auto when = core::DateTime::fromParts(2026, 12, 9 + round % 3, 6, 0, 0).secs + (round * 40 + i) * 60;
        t.addRegistration(static_cast<std::uint16_t>(101 + i % 5), core::DateTime{when}, i % 2 ? 16 : 0);
      }
    });
    for (int i = 0; i < 40; ++i)
      sim.send("add " + std::to_string(201 + std::uniform_int_distribution<int>(0, 4)(random)) + (i % 2 ? " out" : " in"));
    (void)sim.ring();
    cli_programs::Program cli(testing_support::BinaryDir() / "src/app/vortane-cli",
                              {"download", "--new", "--dir", dir.string(), "--port", sim.port()}, tmp.path() / "cli.out");
    ASSERT_TRUE(cli.started());
    // The heartbeat finds the new records and transfers them meanwhile.
    w.Timer1Timer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.tickRunning() && !w.busy() && w.worker()->pendingJobs() == 0; },
                                30000));
    w.Timer1Timer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.tickRunning() && !w.busy() && w.worker()->pendingJobs() == 0; },
                                30000));
    EXPECT_EQ(cli.wait(), 0) << ReadBytes(tmp.path() / "cli.out.err");
    EXPECT_EQ(core::ReadProfileInt(ini, "REQPTR", "1", -1), 40 * (round + 1)) << "round " << round;
  }
  for (const auto& r : line->with([](timeclock::Terminal& t) { return t.records(); }))
    mine.push_back(core::FormatLogDateTime(r.time) + "\t" + std::to_string(r.card) + "\t" + std::to_string(r.recordCode));
  auto all = sim.ring();
  all.insert(all.end(), mine.begin(), mine.end());
  std::sort(all.begin(), all.end());
  EXPECT_EQ(all.size(), 2u * 40 * kRounds);
  EXPECT_EQ(cli_programs::LogLines(dir / "Log"), all);
  EXPECT_TRUE(device::JournalFilesBeside(ini).empty());
  EXPECT_TRUE(op.messages.empty()) << op.messages.front();
}

#endif

}  // namespace
