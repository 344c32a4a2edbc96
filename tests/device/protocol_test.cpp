// Frames, acknowledgements, status and block replies, record layouts and day
// numbers, against the terminal emulation.
#include <gtest/gtest.h>

#include <random>

#include "device/terminal_commands.h"
#include "device_fixture.h"

namespace {

using namespace std::chrono_literals;
using testing_support::DeviceFixture;

std::string bytes(std::initializer_list<int> v) {
  std::string s;
  for (int b : v) s.push_back(static_cast<char>(b));
  return s;
}

TEST(Frame, CheckByteMakesTheSumAA) {
  EXPECT_EQ(device::MakeFrame(10, 2), bytes({0x0D, 0x0A, 0x0A, 0x02, 0x9E}));
  EXPECT_EQ(device::MakeFrame(11, 0xF0), bytes({0x0D, 0x0A, 0x0B, 0xF0, 0xAF}));
  EXPECT_EQ(device::MakeFrame(0, 0), bytes({0x0D, 0x0A, 0x00, 0x00, 0xAA}));
  EXPECT_EQ(device::MakeFrame(255, 255), bytes({0x0D, 0x0A, 0xFF, 0xFF, 0xAC}));
  for (auto [cmd, arg] : std::vector<std::pair<int, int>>{{-1, 0}, {256, 0}, {0, -1}, {0, 256}, {34, 1000}}) {
    EXPECT_FALSE(device::MakeFrame(cmd, arg).has_value()) << cmd << " " << arg;
  }
}

TEST(DayNumber, BothWays) {
  struct Case {
    int day;
    core::CivilDate date;
  };
  const Case cases[] = {
      {0, {2000, 1, 1}},      {59, {2000, 2, 29}},  {60, {2000, 3, 1}},    {365, {2000, 12, 31}},   {366, {2001, 1, 1}},
      {1460, {2003, 12, 31}}, {1461, {2004, 1, 1}}, {9570, {2026, 3, 15}}, {36524, {2099, 12, 31}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(device::DayNumberToDate(c.day), c.date) << c.day;
    EXPECT_EQ(device::DateToDayNumber(c.date), c.day) << c.day;
  }
  // Every day number survives the round trip.
  for (int d = 0; d <= 65535; d += 7) EXPECT_EQ(device::DateToDayNumber(device::DayNumberToDate(d)), d);
  EXPECT_FALSE(device::DateToDayNumber({1999, 12, 31}).has_value());
  EXPECT_FALSE(device::DateToDayNumber({2001, 2, 29}).has_value());
  EXPECT_FALSE(device::DateToDayNumber({2200, 1, 1}).has_value());
}

TEST(DecodeRecord, BothModels) {
  const auto& dallas = device::kDallasParams;
  const auto& rfid = device::kRfidParams;
  struct Case {
    const char* name;
    std::string raw;
    const device::ModelParams* model;
    int chginout;
    bool valid;
    int card;
    int code;
    core::DateTime time;
  };
  const core::DateTime t = core::DateTime::fromParts(2000, 2, 29, 7, 45);
  const std::vector<Case> cases = {
      {"dallas arrival", bytes({45, 7, 59, 0, 0x39, 0x30}), &dallas, 0, true, 12345, 0, t},
      {"dallas direction bit", bytes({45, 0x87, 59, 0, 0x39, 0x30}), &dallas, 0, true, 12345, 16, t},
      {"dallas swapped keys", bytes({45, 0x87, 59, 0, 0x39, 0x30}), &dallas, 1, true, 12345, 0, t},
      {"dallas swapped, no bit", bytes({45, 7, 59, 0, 0x39, 0x30}), &dallas, 2, true, 12345, 16, t},
      {"rfid code 19", bytes({45, 7, 59, 0, 19, 1, 0}), &rfid, 0, true, 1, 19, t},
      {"rfid ignores bit 7 of the hour", bytes({45, 0x87, 59, 0, 3, 1, 0}), &rfid, 1, true, 1, 3, t},
      {"rfid erased", bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), &rfid, 0, false, 0, 0, {}},
      {"dallas erased", bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), &dallas, 0, false, 0, 0, {}},
      {"minute 60", bytes({60, 7, 59, 0, 0, 1, 0}), &rfid, 0, false, 0, 0, {}},
      {"hour 24", bytes({0, 24, 59, 0, 0, 1, 0}), &rfid, 0, false, 0, 0, {}},
      {"short", bytes({0, 7, 59, 0, 0, 1}), &rfid, 0, false, 0, 0, {}},
      {"long", bytes({0, 7, 59, 0, 0, 1, 0}), &dallas, 0, false, 0, 0, {}},
  };
  for (const auto& c : cases) {
    const auto r = device::DecodeRecord(c.raw, *c.model, c.chginout);
    ASSERT_EQ(r.has_value(), c.valid) << c.name;
    if (!r) continue;
    EXPECT_EQ(r->card, c.card) << c.name;
    EXPECT_EQ(r->code, c.code) << c.name;
    EXPECT_EQ(r->time, c.time) << c.name;
    EXPECT_EQ(device::EncodeRecord(*r, *c.model, c.chginout).size(), c.raw.size()) << c.name;
  }
}

// The 24 status bytes after the echo, with fields to vary.
std::string statusReply(int model, int sec, int min, int hour, int day, int ptr, int production, int lock, int state,
                        int b27, int b28) {
  std::string s = device::MakeFrame(10, 2).value();
  s += bytes(
      {model,           sec,  min, hour, day & 0xFF, day >> 8, ptr & 0xFF, ptr >> 8, 0, 0,     0,   production & 0xFF,
       production >> 8, lock, 0,   0,    0,          0,        0,          0,        0, state, b27, b28});
  return s;
}

TEST(ReadStatus, PanelsAndDeviceState) {
  struct Case {
    const char* name;
    std::string reply;
    bool usable;
    std::string PanName, PanTime, panptr, Pansn;
    int PTR;
    device::IdentifierReport::Kind report;
    int number;
  };
  using K = device::IdentifierReport::Kind;
  const std::vector<Case> cases = {
      {"rfid", statusReply(0x43, 5, 4, 13, 9570, 9350, 513, 3, 2, 0, 0), true, "VORT RFID", "15.3.2026 13:04:05",
       "9350", "513", 9350, K::None, 0},
      {"rfid PTR above capacity", statusReply(0x43, 5, 4, 13, 9570, 9351, 1, 3, 2, 0, 0), true, "VORT RFID",
       "15.3.2026 13:04:05", "!CHYBA!", "1", -1, K::None, 0},
      {"dallas PTR 5201", statusReply(0x42, 0, 0, 0, 0, 5201, 7, 3, 0, 0, 0), true, "VORT DALLAS", "1.1.2000 0:00:00",
       "!CHYBA!", "7", -1, K::None, 0},
      {"clock fields out of range", statusReply(0x42, 60, 0, 0, 0, 12, 7, 3, 0, 0, 0), true, "VORT DALLAS",
       "!! CHYBA !!", "12", "7", 12, K::None, 0},
      {"hour 24", statusReply(0x43, 0, 0, 24, 0, 0, 7, 3, 5, 0, 0), true, "VORT RFID", "!! CHYBA !!", "0", "7", 0,
       K::None, 0},
      {"dallas key", statusReply(0x42, 1, 2, 3, 366, 1, 7, 3, 1, 0x39, 0x30), true, "VORT DALLAS", "1.1.2001 3:02:01",
       "1", "7", 1, K::Card, 12345},
      {"rfid card 0", statusReply(0x43, 1, 2, 3, 366, 1, 7, 3, 0, 0, 0), true, "VORT RFID", "1.1.2001 3:02:01", "1",
       "7", 1, K::Card, 0},
      {"rfid battery", statusReply(0x43, 1, 2, 3, 366, 1, 7, 3, 1, 200, 150), true, "VORT RFID", "1.1.2001 3:02:01",
       "1", "7", 1, K::Battery, 0},
      {"unknown model", statusReply(0x44, 1, 2, 3, 366, 1, 7, 3, 1, 200, 150), false, "ERROR", "", "", "", -1, K::None,
       0},
      {"short reply", statusReply(0x43, 1, 2, 3, 366, 1, 7, 3, 1, 200, 150).substr(0, 28), false, "", "", "", "", -1,
       K::None, 0},
  };
  for (const auto& c : cases) {
    device::DeviceState s;
    EXPECT_EQ(device::ReadStatus(c.reply, s), c.usable) << c.name;
    EXPECT_EQ(s.PanName, c.PanName) << c.name;
    EXPECT_EQ(s.PanTime, c.PanTime) << c.name;
    EXPECT_EQ(s.panptr, c.panptr) << c.name;
    EXPECT_EQ(s.Pansn, c.Pansn) << c.name;
    EXPECT_EQ(s.PTR, c.PTR) << c.name;
    EXPECT_EQ(s.report.kind, c.report) << c.name;
    if (c.report == K::Card) {
      EXPECT_EQ(s.report.number, c.number) << c.name;
    }
    EXPECT_EQ(s.known, c.usable) << c.name;
  }
}

TEST(ReadStatus, UnusableReplyKeepsTheLastDeviceState) {
  device::DeviceState s;
  ASSERT_TRUE(device::ReadStatus(statusReply(0x42, 1, 2, 3, 366, 17, 7, 3, 0, 0, 0), s));
  EXPECT_FALSE(device::ReadStatus("garbage", s));
  EXPECT_FALSE(device::ReadStatus(statusReply(0x01, 1, 2, 3, 366, 99, 8, 3, 0, 0, 0), s));
  EXPECT_EQ(s.PTR, 17);
  EXPECT_EQ(s.model.capacity, 5200);
  EXPECT_EQ(s.Pansn, "7");
}

TEST(BadInput, RandomBytesNeverBreakTheDecoders) {
  std::mt19937 random(7);
  device::DeviceState s;
  int usable = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string b(static_cast<std::size_t>(std::uniform_int_distribution<int>(0, 90)(random)), '\0');
    for (char& c : b) c = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
    if (i % 2 == 0 && b.size() > 5) b[5] = static_cast<char>(0x42 + i % 4 / 2);  // a known model half the time
    if (device::ReadStatus(b, s)) {
      ++usable;
      EXPECT_TRUE(s.PTR == -1 || (s.PTR >= 0 && s.PTR <= s.capacity()));
      EXPECT_TRUE(s.clockValid || s.PanTime == "!! CHYBA !!");
    }
    for (const auto* m : {&device::kDallasParams, &device::kRfidParams}) {
      const auto r = device::DecodeRecord(std::string_view(b).substr(0, std::min<std::size_t>(b.size(), 7)), *m, 0);
      if (r) {
        EXPECT_TRUE(r->time.hour() < 24 && r->time.minute() < 60);
      }
    }
  }
  EXPECT_GT(usable, 1000);
}

TEST(ConnectionMonitor, FourthUnusableTickLosesTheTerminal) {
  device::ConnectionMonitor m;
  m.Declined = true;
  m.BatteryWarned = true;
  EXPECT_FALSE(m.tick(false));
  EXPECT_FALSE(m.tick(false));
  EXPECT_FALSE(m.tick(false));
  EXPECT_TRUE(m.Declined);
  EXPECT_TRUE(m.tick(false));
  EXPECT_FALSE(m.Declined);
  EXPECT_FALSE(m.BatteryWarned);
  EXPECT_TRUE(m.tick(false));
  EXPECT_FALSE(m.tick(true));
  EXPECT_EQ(m.FailCount, 0);
}

class ProtocolTest : public DeviceFixture {};

class UsbProtocolTest : public DeviceFixture {
 protected:
  UsbProtocolTest() : DeviceFixture(timeclock::Model::Rfid, timeclock::ConnectionType::Usb) {}
};

TEST_F(ProtocolTest, StatusOverTheLine) {
  terminal.setPtr(1234);
  ASSERT_TRUE(refreshStatus());
  EXPECT_EQ(state.PTR, 1234);
  EXPECT_EQ(state.productionNumber, 4321);
  EXPECT_EQ(state.PanName, "VORT RFID");
  EXPECT_EQ(state.PanTime.substr(0, 10), "15.3.2026 ");
}

TEST_F(UsbProtocolTest, TheEchoIsPutInFrontOnUsb) {
  terminal.setPtr(77);
  ASSERT_TRUE(refreshStatus());
  EXPECT_EQ(state.PTR, 77);
  EXPECT_EQ(comm.ReceiveBuffer.substr(0, 5), device::MakeFrame(10, 2).value());
  EXPECT_EQ(device::SendAcked(comm, 34, 5), device::AckResult::Acknowledged);
  EXPECT_EQ(terminal.lockTime(), 5);
  EXPECT_TRUE(device::AntennaCommand(comm, true));
  EXPECT_TRUE(terminal.antennaOn());
}

TEST_F(ProtocolTest, HeartbeatReadsThePreviousRequestsReply) {
  EXPECT_FALSE(device::StatusTick(comm, state));  // nothing asked yet
  comm.Pause(700);
  EXPECT_TRUE(device::StatusTick(comm, state));
  terminal.disconnect();
  comm.Pause(700);
  EXPECT_TRUE(device::StatusTick(comm, state));  // the reply to the request sent before
  comm.Pause(700);
  EXPECT_FALSE(device::StatusTick(comm, state));
}

TEST_F(ProtocolTest, AcknowledgedCommandAndItsRetries) {
  EXPECT_EQ(device::SendParameter(comm, 2, 7), device::AckResult::Acknowledged);
  EXPECT_EQ(terminal.lockTime(), 7);

  // A silent terminal: 7 sendings, 6 waits of 100 ms, each after a 50 ms pause.
  terminal.disconnect();
  transport.clearWritten();
  const auto start = transport.manualClock().now();
  int sends = 0;
  EXPECT_EQ(device::SendAcked(comm, 15, 100, [&] { ++sends; }), device::AckResult::GivenUp);
  EXPECT_EQ(sends, 7);
  EXPECT_EQ(transport.written().size(), 35u);
  EXPECT_EQ(transport.manualClock().now() - start, std::chrono::milliseconds(7 * 50 + 6 * 100));
}

TEST_F(ProtocolTest, AcknowledgementWithAnExtraByteIsSentAgain) {
  // A scripted line: the first acknowledgement trails one byte, the second is exact.
  terminal.disconnect();
  int sent = 0;
  transport.onWrite = [&](std::string_view b) {
    const std::string echo(b);
    transport.inject(echo + device::AckBytes(22, 30) + (++sent == 1 ? "\x01" : ""), 2ms);
  };
  EXPECT_EQ(device::SendAcked(comm, 22, 30), device::AckResult::Acknowledged);
  EXPECT_EQ(sent, 2);
}

TEST_F(ProtocolTest, StopRequestedGivesUpSilently) {
  terminal.disconnect();
  comm.StopRequested = true;
  int sends = 0;
  EXPECT_EQ(device::SendAcked(comm, 16, 1, [&] { ++sends; }), device::AckResult::Stopped);
  EXPECT_EQ(sends, 1);
}

TEST_F(ProtocolTest, OutOfRangeArgumentsNeverReachTheLine) {
  transport.clearWritten();
  EXPECT_EQ(device::SendAcked(comm, 15, 256), device::AckResult::BadArgument);
  EXPECT_EQ(device::SendParameter(comm, 3, 1), device::AckResult::BadArgument);
  EXPECT_FALSE(device::SendFrame(comm, 12, -1));
  device::NullProgress p;
  EXPECT_EQ(device::WriteProductionNumber(comm, p, 65536), device::CommandResult::BadArgument);
  EXPECT_EQ(device::WriteProductionNumber(comm, p, -1), device::CommandResult::BadArgument);
  EXPECT_EQ(device::SendLockTimeAndThreshold(comm, p, 21, 100).lockTime, device::CommandResult::BadArgument);
  const auto r = device::SendLockTimeAndThreshold(comm, p, 3, 300);
  EXPECT_EQ(r.threshold, device::CommandResult::BadArgument);
  // Only the valid lock time went out.
  EXPECT_EQ(transport.written(), device::MakeFrame(34, 3).value());
  EXPECT_FALSE(device::ReadBlock(comm, device::kRfidParams, 9351));
  EXPECT_FALSE(device::ReadBlock(comm, device::kRfidParams, -1));
  EXPECT_EQ(transport.written(), device::MakeFrame(34, 3).value());
}

TEST_F(ProtocolTest, ReadBlockChecksTheSum) {
  terminal.prefillRing(30, 0);
  ASSERT_TRUE(refreshStatus());
  const auto start = transport.manualClock().now();
  ASSERT_TRUE(device::ReadBlock(comm, state.model, 10));
  EXPECT_LT(transport.manualClock().now() - start, std::chrono::milliseconds(60));  // no polling delay
  EXPECT_EQ(comm.ReceiveBuffer.size(), 76u);
  const auto rec = device::DecodeRecord(comm.ReceiveBuffer.substr(5, 7), state.model, 0);
  ASSERT_TRUE(rec);
  EXPECT_EQ(rec->card, terminal.recordAt(10)->card);

  // A scripted line whose block carries a sum byte off by `sumError`.
  terminal.disconnect();
  for (int sumError : {0, 1, -1, 128}) {
    transport.onWrite = [&](std::string_view b) {
      const std::string echo(b);
      if (b.size() != 5) return;
      if (b[2] == 11) transport.inject(echo + device::AckBytes(11, static_cast<std::uint8_t>(b[3])), 1ms);
      if (b[2] == 12) {
        std::string data;
        unsigned sum = 0;
        for (int i = 0; i < 70; ++i) {
          data.push_back(static_cast<char>(i * 7));
          sum += static_cast<unsigned>(i * 7) & 0xFF;
        }
        transport.inject(echo + data + static_cast<char>((sum + static_cast<unsigned>(sumError)) & 0xFF), 5ms);
      }
    };
    EXPECT_EQ(device::ReadBlock(comm, state.model, 10), sumError == 0) << sumError;
  }
}

TEST_F(ProtocolTest, IncompleteBlockFailsAfterAbout550ms) {
  terminal.prefillRing(30, 0);
  ASSERT_TRUE(refreshStatus());
  timeclock::FaultConfig f;
  f.drop = 1.0;
  terminal.setFaults(f);
  // Every reply loses a byte: the address is never acknowledged.
  EXPECT_FALSE(device::ReadBlock(comm, state.model, 0));
  terminal.setFaults({});

  // A scripted line that delivers a block in pieces, `delivered` bytes of it in all.
  terminal.disconnect();
  struct Case {
    std::size_t delivered;
    int lastPieceMs;
    bool ok;
  };
  for (const Case c : {Case{76, 540, true}, Case{75, 100, false}, Case{76, 560, false}, Case{77, 100, true}}) {
    transport.onWrite = [&](std::string_view b) {
      const std::string echo(b);
      if (b.size() != 5) return;
      if (b[2] == 11) transport.inject(echo + device::AckBytes(11, static_cast<std::uint8_t>(b[3])), 1ms);
      if (b[2] == 12) {
        std::string reply = echo + std::string(70, '\0') + std::string(1, '\0') + std::string(1, '\x33');
        reply.resize(c.delivered);
        transport.inject(reply.substr(0, 40), 10ms);
        transport.inject(reply.substr(40), std::chrono::milliseconds(c.lastPieceMs));
      }
    };
    const auto start = transport.manualClock().now();
    EXPECT_EQ(device::ReadBlock(comm, state.model, 0), c.ok) << c.delivered << " " << c.lastPieceMs;
    const auto took = transport.manualClock().now() - start;
    if (!c.ok) {
      EXPECT_GE(took, std::chrono::milliseconds(550 + 50));
      EXPECT_LT(took, std::chrono::milliseconds(700));
    }
    comm.Pause(600);
  }
}

TEST_F(ProtocolTest, AntennaCommandExpectsThePreambleEcho) {
  transport.clearWritten();
  EXPECT_TRUE(device::AntennaCommand(comm, true));
  EXPECT_TRUE(terminal.antennaOn());
  EXPECT_EQ(transport.written(), std::string(4, ' ') + device::MakeFrame(13, 1).value());
  EXPECT_EQ(comm.ExpectedReply.size(), 13u);
  EXPECT_TRUE(device::AntennaCommand(comm, false));
  EXPECT_FALSE(terminal.antennaOn());
  terminal.disconnect();
  EXPECT_FALSE(device::AntennaCommand(comm, true));
}

TEST_F(ProtocolTest, SetDeviceClockFromThePc) {
  testing_support::RecordingProgress p;
  const core::DateTime pc = core::DateTime::fromParts(2027, 1, 2, 3, 4, 5);
  ASSERT_EQ(device::SetDeviceClock(comm, p, [&] { return pc; }), device::CommandResult::Done);
  const auto f = terminal.clockFields();
  EXPECT_EQ(f.dayNumber, device::DateToDayNumber({2027, 1, 2}).value());
  EXPECT_EQ(f.hour, 3);
  EXPECT_EQ(f.minute, 4);
  EXPECT_GE(f.second, 5);
  EXPECT_EQ(p.captions.front(), "Komunikácia...");
  EXPECT_EQ(p.labels.front(), "Odosielam čas");
  EXPECT_EQ(p.bars.back(), std::make_pair(90, 100));
  EXPECT_FALSE(p.shown);

  terminal.disconnect();
  EXPECT_EQ(device::SetDeviceClock(comm, p, [&] { return pc; }), device::CommandResult::NotCommunicating);
  EXPECT_EQ(device::SetDeviceClock(comm, p, [] { return core::DateTime::fromParts(1999, 5, 5); }),
            device::CommandResult::NotCommunicating);  // the time went first and was not acknowledged
  terminal.reconnect();
  EXPECT_EQ(device::SetDeviceClock(comm, p, [] { return core::DateTime::fromParts(1999, 5, 5); }),
            device::CommandResult::BadArgument);
}

TEST_F(ProtocolTest, TerminalParameters) {
  device::NullProgress p;
  auto r = device::SendLockTimeAndThreshold(comm, p, 12, std::nullopt);
  EXPECT_EQ(r.lockTime, device::CommandResult::Done);
  EXPECT_FALSE(r.threshold.has_value());
  EXPECT_EQ(terminal.lockTime(), 12);
  r = device::SendLockTimeAndThreshold(comm, p, 0, 150);
  EXPECT_EQ(r.threshold, device::CommandResult::Done);
  EXPECT_EQ(terminal.batteryThreshold(), 150);
  EXPECT_EQ(device::WriteProductionNumber(comm, p, 0x1234), device::CommandResult::Done);
  EXPECT_EQ(terminal.productionNumber(), 0x1234);
  EXPECT_EQ(device::SendBatLo(comm), device::CommandResult::Done);
  EXPECT_TRUE(device::IsServicePassword("517402"));
  EXPECT_FALSE(device::IsServicePassword("517402 "));

  terminal.disconnect();
  r = device::SendLockTimeAndThreshold(comm, p, 4, 100);
  EXPECT_EQ(r.lockTime, device::CommandResult::NotCommunicating);
  EXPECT_FALSE(r.threshold.has_value());  // a failed lock time skips the threshold
  EXPECT_EQ(device::SendBatLo(comm), device::CommandResult::NotCommunicating);
}

TEST_F(ProtocolTest, ReadCardWaitsForAPresentedCard) {
  testing_support::RecordingProgress p;
  int statusFrames = 0;
  terminal.setFrameObserver([&](std::uint8_t cmd, std::uint8_t) {
    if (cmd == 10 && ++statusFrames == 3) terminal.presentCard(4242);
  });
  const auto r = device::ReadCard(comm, p);
  EXPECT_EQ(r.outcome, device::CardReadResult::Outcome::Read);
  EXPECT_EQ(r.number, 4242);
  EXPECT_FALSE(terminal.antennaOn());
  EXPECT_EQ(p.labels.front(), "Zapínam Anténu VORTANE");
  EXPECT_EQ(p.labels.back(), "Vypínam Anténu VORTANE");
}

TEST_F(ProtocolTest, ReadCardStopsOnCancelAndSwitchesTheAntennaOff) {
  device::NullProgress p;
  int statusFrames = 0;
  terminal.setFrameObserver([&](std::uint8_t cmd, std::uint8_t) {
    if (cmd == 10 && ++statusFrames == 5) comm.StopRequested = true;
  });
  const auto r = device::ReadCard(comm, p);
  EXPECT_EQ(r.outcome, device::CardReadResult::Outcome::Stopped);
  EXPECT_FALSE(terminal.antennaOn());
}

TEST_F(ProtocolTest, ReadCardGivesUpAfterElevenUnansweredAntennaCommands) {
  terminal.disconnect();
  device::NullProgress p;
  int antenna = 0;
  transport.onWrite = [&](std::string_view b) {
    if (b.size() == 5 && b[2] == 13) ++antenna;
  };
  EXPECT_EQ(device::ReadCard(comm, p).outcome, device::CardReadResult::Outcome::NotCommunicating);
  EXPECT_EQ(antenna, 11);
}

TEST_F(ProtocolTest, ReadCardCancelledWhileSwitchingOnStillSwitchesOff) {
  terminal.disconnect();
  device::NullProgress p;
  int on = 0;
  int off = 0;
  transport.onWrite = [&](std::string_view b) {
    if (b.size() != 5) return;
    if (b[2] == 13 && ++on == 2) comm.StopRequested = true;
    if (b[2] == 14) ++off;
  };
  EXPECT_EQ(device::ReadCard(comm, p).outcome, device::CardReadResult::Outcome::Stopped);
  EXPECT_EQ(on, 2);
  EXPECT_EQ(off, 1);
}

class DallasProtocolTest : public DeviceFixture {
 protected:
  DallasProtocolTest() : DeviceFixture(timeclock::Model::Dallas) {}
};

TEST_F(DallasProtocolTest, ACardReadNeverEndsOnVortDallas) {
  device::NullProgress p;
  terminal.presentCard(5, 100);
  const auto r = device::ReadCard(comm, p, 5000);
  EXPECT_EQ(r.outcome, device::CardReadResult::Outcome::TimedOut);
}

}  // namespace
