// Transfers killed outright: a child process runs a transfer against the
// terminal emulation and dies by SIGKILL, either at a step of the journal's
// order chosen by the seed (right after a record was appended, before the
// pointer is stored, ...) or after a random time. After every death the logs
// may hold fewer registrations than the ring, never one more; after the last
// one a clean transfer leaves every registration of the ring in the logs
// exactly once.
#include <gtest/gtest.h>

#include <random>
#include <thread>

#if !defined(_WIN32)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "device/transfer_journal.h"
#include "device_fixture.h"

namespace {

using testing_support::AllLogRecords;
using testing_support::DeviceFixture;
using testing_support::TerminalRecords;
using Step = device::TransferStep;

constexpr Step kSteps[] = {Step::JournalStarted, Step::LogsNoted,     Step::RecordAppended, Step::Checkpointed,
                           Step::LogsFlushed,    Step::PointerStored, Step::JournalCleared};

class TransferCrash : public DeviceFixture, public ::testing::WithParamInterface<timeclock::Model> {
 protected:
  TransferCrash() : DeviceFixture(GetParam()) {}

  // Registrations of one round, a few minutes apart; now and then one pressed
  // twice (same card, minute and code), which must stay twice.
  void addRound(std::mt19937_64& random, core::DateTime& t, int least) {
    const int count = std::uniform_int_distribution<int>(least, 25)(random);
    for (int i = 0; i < count; ++i) {
      t = t.addSeconds(60 * std::uniform_int_distribution<int>(1, 9)(random));
      const auto card = static_cast<std::uint16_t>(1001 + std::uniform_int_distribution<int>(0, 9)(random));
      const bool departure = std::uniform_int_distribution<int>(0, 1)(random) == 1;
      const int type = GetParam() == timeclock::Model::Dallas ? 0 : std::uniform_int_distribution<int>(0, 9)(random);
      const int code = (departure ? 16 : 0) + type;
      terminal.addRegistration(card, t, code);
      if (std::uniform_int_distribution<int>(0, 9)(random) == 0) terminal.addRegistration(card, t, code);
    }
  }
};

TEST_P(TransferCrash, KilledAtAnyMomentThenOneCleanTransferStoresEachRegistrationOnce) {
#if defined(_WIN32)
  GTEST_SKIP() << "needs fork() and SIGKILL, which Windows does not have";
#else
  std::mt19937_64 random(GetParam() == timeclock::Model::Dallas ? 52000 : 93500);
  ASSERT_TRUE(refreshStatus());
  ASSERT_TRUE(device::StoreTransferPointer(iniFile(), 4321, state.PTR));
  // The first round's block crosses the end of March, a later one the end of April.
  core::DateTime t = core::DateTime::fromParts(2026, 3, 31, 23, 40);
  constexpr int kRounds = 36;
  int killedAtStep = 0;
  int killedByTime = 0;
  int finished = 0;
  std::vector<int> hits(std::size(kSteps), 0);
  for (int round = 0; round < kRounds; ++round) {
    if (round == kRounds / 2) t = core::DateTime::fromParts(2026, 4, 30, 23, 30);
    const bool byStep = round % 3 != 2;
    const std::size_t kind = static_cast<std::size_t>(round / 3 * 2 + round % 3) % std::size(kSteps);
    // Steps that come once per transfer are hit at their first occurrence;
    // records and blocks somewhere along the way, in a transfer of at least
    // three blocks.
    int most = 1;
    if (kSteps[kind] == Step::RecordAppended) most = 21;
    if (kSteps[kind] == Step::LogsNoted || kSteps[kind] == Step::Checkpointed) most = 2;
    addRound(random, t, byStep && most > 1 ? 21 : 3);
    ASSERT_TRUE(refreshStatus());
    const int occurrence = std::uniform_int_distribution<int>(1, most)(random);
    // A transfer here takes some 10 to 30 ms, most of it waiting for the disk.
    const auto delay = std::chrono::microseconds(std::uniform_int_distribution<int>(0, 25000)(random));
    const bool automatic = round % 2 == 1;

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      auto ctx = context(automatic);
      ctx.checkpointInterval = std::chrono::milliseconds(0);
      int seen = 0;
      if (byStep) {
        ctx.onStep = [&](Step s) {
          if (s == kSteps[kind] && ++seen == occurrence) ::raise(SIGKILL);
        };
      }
      if (automatic) {
        // The way the main window and "watch" do it: decide from the stored
        // pointer, then transfer.
        const auto d = device::CheckNewRecords(state, device::ReadTransferPointer(iniFile(), 4321), true, false);
        if (d.action == device::NewRecordsAction::Transfer) device::AutomaticTransfer(ctx, d.count);
      } else {
        device::NewRecordsCommand(ctx);
      }
      ::_exit(0);
    }
    if (!byStep) {
      std::this_thread::sleep_for(delay);
      ::kill(child, SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (WIFSIGNALED(status)) {
      ASSERT_EQ(WTERMSIG(status), SIGKILL) << "round " << round;
      if (byStep) {
        ++killedAtStep;
        ++hits[kind];
      } else {
        ++killedByTime;
      }
    } else {
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
      ++finished;
    }
    // Whatever is in the logs now, nothing is there more often than in the ring.
    const auto logs = AllLogRecords(logDir());
    const auto ring = TerminalRecords(terminal);
    ASSERT_TRUE(std::includes(ring.begin(), ring.end(), logs.begin(), logs.end())) << "round " << round;
  }
  for (std::size_t i = 0; i < std::size(kSteps); ++i) EXPECT_GT(hits[i], 0) << "step " << i;
  EXPECT_GT(killedByTime, 0);
  EXPECT_GT(killedAtStep, kRounds / 3);

  ASSERT_TRUE(refreshStatus());
  auto ctx = context();
  const auto last = device::NewRecordsCommand(ctx);
  EXPECT_FALSE(last.transfer.journalFailed);
  EXPECT_EQ(storedPointer(), state.PTR);
  EXPECT_FALSE(std::filesystem::exists(device::JournalFileFor(iniFile(), 4321)));
  const auto ring = TerminalRecords(terminal);
  EXPECT_GT(ring.size(), 300u);
  EXPECT_EQ(AllLogRecords(logDir()), ring);
  // Whole lines only: every line of every log reads back as a registration.
  std::size_t lines = 0;
  for (const auto& e : std::filesystem::directory_iterator(logDir())) {
    const std::string bytes = testing_support::ReadBytes(e.path());
    lines += static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    EXPECT_TRUE(bytes.empty() || bytes.back() == '\n') << e.path();
  }
  EXPECT_EQ(lines, ring.size());
  EXPECT_TRUE(std::filesystem::exists(logDir() / "3_2026.txt"));
  EXPECT_TRUE(std::filesystem::exists(logDir() / "5_2026.txt"));
  std::printf("killed at a step %d, after a time %d, finished %d\n", killedAtStep, killedByTime, finished);
#endif
}

INSTANTIATE_TEST_SUITE_P(BothModels, TransferCrash, ::testing::Values(timeclock::Model::Rfid, timeclock::Model::Dallas),
                         [](const ::testing::TestParamInfo<timeclock::Model>& p) {
                           return std::string(p.param == timeclock::Model::Dallas ? "Dallas" : "Rfid");
                         });

}  // namespace
