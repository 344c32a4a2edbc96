// Two terminals feeding one program folder at the same moment: two
// vortane-cli downloads, each from its own simulated terminal, started
// together round after round, also with one of them killed at a random
// moment; then clean runs. Every registration of both rings is in the
// month logs exactly once, every line whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "cli/sim_programs.h"
#include "core/folder_lock.h"
#include "core/ini_file.h"
#include "device/transfer_journal.h"
#include "support/test_support.h"

namespace {

using namespace std::chrono_literals;
using testing_support::BinaryDir;
using testing_support::ReadBytes;
using testing_support::TempDir;

#if !defined(_WIN32)

using cli_programs::LogLines;
using cli_programs::Program;
using cli_programs::Simulator;

class SharedFolderCli : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(inst / "Log");
    std::string prac = ";Zoznam pracovnikov\r\n";
    for (int card = 101; card <= 112; ++card)
      prac += "Pracovnik " + std::to_string(card) + "\t\t" + std::to_string(card) + "\t\t0\t0\t100\t0\t\r\n";
    testing_support::WriteBytes(inst / "prac.txt", prac);
    testing_support::WriteBytes(inst / "vortane.ini", "[GLOBAL]\r\ntype=0\r\n[REQPTR]\r\n601=0\r\n602=0\r\n");
    for (int t = 0; t < 2; ++t) {
      sims.push_back(std::make_unique<Simulator>(
          dir / ("sim" + std::to_string(t)),
          std::vector<std::string>{"--model", "rfid", "--production", std::to_string(601 + t), "--clock",
                                   "9.12.2026 7:00:00"}));
      ASSERT_FALSE(sims.back()->port().empty()) << sims.back()->errors();
    }
  }

  // Registrations of the round: `n` on each terminal, its own cards.
  void registrations(int n, std::mt19937& random) {
    for (int t = 0; t < 2; ++t) {
      for (int i = 0; i < n; ++i) {
        const int card = 101 + 6 * t + std::uniform_int_distribution<int>(0, 5)(random);
        sims[t]->send("add " + std::to_string(card) + (i % 2 ? " out" : " in"));
      }
      if (i_round % 4 == 0) sims[t]->send("clock 9.12.2026 " + std::to_string(7 + i_round / 4) + ":00:00");
    }
  }

  std::vector<std::string> rings() {
    std::vector<std::string> all;
    for (auto& sim : sims) {
      const auto r = sim->ring();
      all.insert(all.end(), r.begin(), r.end());
    }
    std::sort(all.begin(), all.end());
    return all;
  }

  std::unique_ptr<Program> download(int t) {
    return std::make_unique<Program>(
        BinaryDir() / "src/app/vortane-cli",
        std::vector<std::string>{"download", "--new", "--dir", (inst).string(), "--port", sims[t]->port()},
        dir / ("cli" + std::to_string(t) + ".out"));
  }

  std::string errors(int t) { return ReadBytes(dir / ("cli" + std::to_string(t) + ".out.err")); }

  TempDir dir;
  std::filesystem::path inst = dir / "inst";
  std::vector<std::unique_ptr<Simulator>> sims;
  int i_round = 0;
};

TEST_F(SharedFolderCli, TwoDownloadsAtTheSameMomentStoreEveryRegistrationOnce) {
  std::mt19937 random(601);
  constexpr int kRounds = 12;
  for (i_round = 0; i_round < kRounds; ++i_round) {
    registrations(60, random);
    (void)rings();  // both simulators have taken the registrations in
    auto a = download(0);
    auto b = download(1);
    ASSERT_TRUE(a->started() && b->started());
    EXPECT_EQ(a->wait(), 0) << errors(0);
    EXPECT_EQ(b->wait(), 0) << errors(1);
    ASSERT_EQ(LogLines(inst / "Log"), rings()) << "round " << i_round;
  }
  EXPECT_EQ(rings().size(), 2u * 60 * kRounds);
  EXPECT_EQ(core::ReadProfileInt(inst / "vortane.ini", "REQPTR", "601", -1), 60 * kRounds);
  EXPECT_EQ(core::ReadProfileInt(inst / "vortane.ini", "REQPTR", "602", -1), 60 * kRounds);
  EXPECT_TRUE(device::JournalFilesBeside(inst / "vortane.ini").empty());
}

TEST_F(SharedFolderCli, OneOfTwoKilledAtRandomMomentsThenCleanRunsStoreEveryRegistrationOnce) {
  std::mt19937 random(602);
  constexpr int kRounds = 12;
  int killed = 0;
  for (i_round = 0; i_round < kRounds; ++i_round) {
    registrations(60, random);
    (void)rings();
    auto a = download(0);
    auto b = download(1);
    ASSERT_TRUE(a->started() && b->started());
    const int victim = std::uniform_int_distribution<int>(0, 1)(random);
    std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 400)(random)));
    killed += (victim == 0 ? a : b)->kill9();
    // The other one finishes whatever the victim left behind.
    EXPECT_EQ((victim == 0 ? b : a)->wait(), 0) << errors(1 - victim);
    // Nothing is in the logs more often than in the rings.
    const auto inRings = rings();
    const auto inLogs = LogLines(inst / "Log");
    ASSERT_TRUE(std::includes(inRings.begin(), inRings.end(), inLogs.begin(), inLogs.end())) << "round " << i_round;
  }
  EXPECT_GT(killed, kRounds / 3);
  // Clean runs, both at once: everything is there, once.
  auto a = download(0);
  auto b = download(1);
  EXPECT_EQ(a->wait(), 0) << errors(0);
  EXPECT_EQ(b->wait(), 0) << errors(1);
  EXPECT_EQ(LogLines(inst / "Log"), rings());
  EXPECT_EQ(rings().size(), 2u * 60 * kRounds);
  EXPECT_TRUE(device::JournalFilesBeside(inst / "vortane.ini").empty());
}

TEST_F(SharedFolderCli, ADownloadWaitsForAnotherProgramsTransferAndCanGiveUp) {
  std::mt19937 random(603);
  registrations(10, random);
  (void)rings();
  {
    // Another program's transfer holds the folder: this one waits and says
    // whom for, and after its time it gives up and leaves everything alone.
    auto held = core::FolderLock::Acquire(inst, core::LockKind::Transfer, 0ms);
    ASSERT_TRUE(held.held());
    const std::string ini = ReadBytes(inst / "vortane.ini");
    const auto r = testing_support::RunCli(
        {"download", "--new", "--dir", inst.string(), "--port", sims[0]->port(), "--lock-wait", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Čaká sa na prenos z "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Záznamy sa nepreniesli: prebieha prenos z "), std::string::npos) << r.err;
    EXPECT_TRUE(LogLines(inst / "Log").empty());
    EXPECT_EQ(ReadBytes(inst / "vortane.ini"), ini);
  }
  // Free again: the same download goes through.
  const auto r = testing_support::RunCli({"download", "--new", "--dir", inst.string(), "--port", sims[0]->port()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(LogLines(inst / "Log").size(), 10u);
}

#endif

}  // namespace
