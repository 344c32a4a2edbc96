// vortane-cli "download --new" and "watch" killed by SIGKILL at random
// moments while they transfer from the simulator program on a
// pseudo-terminal, with registrations arriving between the runs; then one
// clean transfer: the month logs hold each registration of the ring once.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#if !defined(_WIN32)
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#include "core/ini_file.h"
#include "device/transfer_journal.h"
#include "cli/sim_programs.h"
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

class TransferCrashCli : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir / "inst" / "Log");
    testing_support::WriteBytes(dir / "inst" / "prac.txt",
                                ";Zoznam pracovnikov\r\nPracovnik 1\t\t101\t\t0\t0\t100\t0\t\r\n");
    testing_support::WriteBytes(dir / "inst" / "vortane.ini", "[GLOBAL]\r\ntype=0\r\n[REQPTR]\r\n513=0\r\n");
    // 300 registrations seven minutes apart up to 1 April 0:13: a block of
    // ten ends in April.
    sim = std::make_unique<Simulator>(dir.path(), std::vector<std::string>{"--model", GetParam(), "--prefill", "300",
                                                                          "--clock", "1.4.2026 0:20:00",
                                                                          "--production", "513"});
    port = sim->port();
    ASSERT_FALSE(port.empty()) << sim->errors();
  }

  std::vector<std::string> ring() { return sim->ring(); }
  std::vector<std::string> logs() { return LogLines(dir / "inst" / "Log"); }

  std::unique_ptr<Program> cli(const std::vector<std::string>& command) {
    std::vector<std::string> args = command;
    args.insert(args.end(), {"--dir", (dir / "inst").string(), "--port", port});
    return std::make_unique<Program>(BinaryDir() / "src/app/vortane-cli", args, dir / "cli.out");
  }

  TempDir dir;
  std::unique_ptr<Simulator> sim;
  std::string port;
};

#else

class TransferCrashCli : public ::testing::TestWithParam<const char*> {};

#endif

TEST_P(TransferCrashCli, DownloadAndWatchKilledAtRandomThenOneCleanDownload) {
#if defined(_WIN32)
  GTEST_SKIP() << "needs a pseudo-terminal and SIGKILL, which Windows does not have";
#else
  std::mt19937 random(std::string(GetParam()) == "dallas" ? 5200 : 9350);
  int killed = 0;
  for (int round = 0; round < 10; ++round) {
    const bool watch = round % 2 == 1;
    auto run = cli(watch ? std::vector<std::string>{"watch"} : std::vector<std::string>{"download", "--new"});
    ASSERT_TRUE(run->started());
    // The first run has 300 records to fetch (about 1.5 s), later ones a few.
    const int most = round == 0 ? 1500 : 600;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(50, most)(random)));
    killed += run->kill9();
    // Meanwhile employees register, one of them twice within a minute.
    const int n = std::uniform_int_distribution<int>(2, 14)(random);
    for (int i = 0; i < n; ++i) {
      const int card = 101 + std::uniform_int_distribution<int>(0, 5)(random);
      sim->send("add " + std::to_string(card) + (i % 2 ? " out" : " in"));
    }
    if (round % 3 == 0) {
      sim->send("add 104 in");
      sim->send("add 104 in");
    }
    // Nothing is in the logs more often than in the ring.
    const auto inRing = ring();
    const auto inLogs = logs();
    ASSERT_TRUE(std::includes(inRing.begin(), inRing.end(), inLogs.begin(), inLogs.end())) << "round " << round;
  }
  EXPECT_GT(killed, 4);
  auto last = cli({"download", "--new"});
  EXPECT_EQ(last->wait(), 0) << ReadBytes(dir / "cli.out.err");
  const auto inRing = ring();
  EXPECT_GE(inRing.size(), 320u);
  EXPECT_EQ(logs(), inRing);
  EXPECT_FALSE(std::filesystem::exists(dir / "inst" / "prenos_513.jnl"));
  EXPECT_TRUE(device::JournalFilesBeside(dir / "inst" / "vortane.ini").empty());
  EXPECT_TRUE(std::filesystem::exists(dir / "inst" / "Log" / "4_2026.txt"));
#endif
}

INSTANTIATE_TEST_SUITE_P(BothModels, TransferCrashCli, ::testing::Values("rfid", "dallas"),
                         [](const ::testing::TestParamInfo<const char*>& p) { return std::string(p.param); });

}  // namespace
