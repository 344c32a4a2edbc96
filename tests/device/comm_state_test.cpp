// The link's waits: exact comparison, prompt end, stop requests, noise.
#include <gtest/gtest.h>

#include "device_fixture.h"

namespace {

using namespace std::chrono_literals;
using testing_support::SimTransport;

class CommStateTest : public ::testing::Test {
 protected:
  CommStateTest() : transport(terminal), comm(transport, device::ConnectionType::Portable) {
    terminal.disconnect();  // only injected bytes arrive
  }
  device::Micros elapsedSince(device::TimePoint start) {
    return std::chrono::duration_cast<device::Micros>(transport.manualClock().now() - start);
  }
  timeclock::Terminal terminal;
  SimTransport transport;
  device::CommState comm;
};

TEST_F(CommStateTest, WaitReplyComparesForEqualityNotPrefix) {
  struct Case {
    const char* name;
    std::vector<std::string> pieces;  // arriving 10 ms apart
    bool expected;
  };
  const std::vector<Case> cases = {
      {"exact in one piece", {"ABCD"}, true},  {"assembled from pieces in order", {"A", "BC", "D"}, true},
      {"one byte too many", {"ABCDE"}, false}, {"extra byte in a later piece", {"ABC", "DE"}, false},
      {"incomplete", {"ABC"}, false},          {"same length, other bytes", {"ABCX"}, false},
  };
  for (const auto& c : cases) {
    comm.ClearReceiveBuffer();
    comm.ExpectedReply = "ABCD";
    device::Micros at = 0us;
    for (const auto& p : c.pieces) transport.inject(p, at += 10ms);
    EXPECT_EQ(comm.WaitReply(100), c.expected) << c.name;
    comm.Pause(200);  // let the rest of the case arrive before the next one
  }
}

TEST_F(CommStateTest, WaitReplyEndsTheMomentTheReplyIsComplete) {
  comm.ExpectedReply = std::string("\x0D\x0A\x0B\x00\x9F\x0B\x00\xAA\x55", 9);
  transport.inject(comm.ExpectedReply.substr(0, 4), 3ms);
  transport.inject(comm.ExpectedReply.substr(4), 7ms);
  const auto start = transport.manualClock().now();
  EXPECT_TRUE(comm.WaitReply(100));
  // No polling step: the wait returns at the arrival of the last byte.
  EXPECT_EQ(elapsedSince(start), device::Micros(7ms));
}

TEST_F(CommStateTest, WaitReplyTimesOutAtItsDeadline) {
  comm.ExpectedReply = "OK";
  const auto start = transport.manualClock().now();
  EXPECT_FALSE(comm.WaitReply(100));
  EXPECT_EQ(elapsedSince(start), device::Micros(100ms));
}

TEST_F(CommStateTest, StopRequestedEndsAnIncompleteWaitButNotACompleteOne) {
  comm.ExpectedReply = "OK";
  comm.StopRequested = true;
  auto start = transport.manualClock().now();
  EXPECT_FALSE(comm.WaitReply(100));
  EXPECT_EQ(elapsedSince(start), device::Micros(0));  // on its first pass

  comm.ReceiveBuffer = "OK";
  EXPECT_TRUE(comm.WaitReply(100));
}

TEST_F(CommStateTest, StopRequestedDuringTheWaitIsNoticedPromptly) {
  comm.ExpectedReply = "OK";
  int reads = 0;
  transport.onRead = [&] {
    if (++reads == 3) comm.StopRequested = true;
  };
  const auto start = transport.manualClock().now();
  EXPECT_FALSE(comm.WaitReply(1000));
  EXPECT_LT(elapsedSince(start), device::Micros(100ms));
}

TEST_F(CommStateTest, PauseReceivesWhileItWaits) {
  transport.inject("xy", 20ms);
  transport.inject("z", 40ms);
  const auto start = transport.manualClock().now();
  comm.Pause(50);
  EXPECT_EQ(elapsedSince(start), device::Micros(50ms));
  EXPECT_EQ(comm.ReceiveBuffer, "xyz");
}

TEST_F(CommStateTest, ClearTakesInStaleBytesBeforeEmptying) {
  transport.inject("stale");
  comm.ClearReceiveBuffer();
  EXPECT_EQ(comm.ReceiveBuffer, "");
  comm.ExpectedReply = "new";
  transport.inject("new", 5ms);
  EXPECT_TRUE(comm.WaitReply(100));
}

TEST_F(CommStateTest, AFloodOfNoiseIsCutAndNeverMatches) {
  const std::string noise(3 * device::CommState::kReceiveLimit, '\x55');
  transport.inject(noise);
  comm.ExpectedReply = std::string(device::CommState::kReceiveLimit, '\x55');
  EXPECT_FALSE(comm.WaitReply(50));
  EXPECT_EQ(comm.ReceiveBuffer.size(), device::CommState::kReceiveLimit + 1);
  comm.ClearReceiveBuffer();
  EXPECT_TRUE(comm.ReceiveBuffer.empty());
}

TEST_F(CommStateTest, EveryByteValuePassesUnchanged) {
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  transport.inject(all);
  comm.ExpectedReply = all;
  EXPECT_TRUE(comm.WaitReply(10));
}

}  // namespace
