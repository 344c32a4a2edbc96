// The terminal emulation against hand-built frames: what a real terminal puts
// on the line for each command, byte for byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/terminal.h"

using timeclock::ConnectionType;
using timeclock::Model;
using timeclock::Terminal;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes frame(std::uint8_t cmd, std::uint8_t arg) {
  return {0x0D, 0x0A, cmd, arg, static_cast<std::uint8_t>(0xAA - cmd - arg)};
}

Bytes concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes send(Terminal& t, const Bytes& bytes) {
  t.receive(bytes);
  return t.takeOutput();
}

// A clock the test moves by hand.
struct FakeTime {
  timeclock::SteadyTime now{std::chrono::hours(500)};
  void attach(Terminal& t) {
    t.setTimeSource([this] { return now; });
  }
};

int word(const Bytes& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }

TEST(SimFrame, CheckByteMakesTheSum0xAA) {
  EXPECT_EQ(frame(10, 2), (Bytes{0x0D, 0x0A, 0x0A, 0x02, 0x9E}));
  const auto f = timeclock::MakeFrame(11, 0xF0);
  EXPECT_EQ(Bytes(f.begin(), f.end()), (Bytes{0x0D, 0x0A, 0x0B, 0xF0, 0xAF}));
}

TEST(SimDayNumber, CountsFromFirstJanuary2000) {
  struct Case {
    int day;
    int y, m, d;
  };
  const Case cases[] = {{0, 2000, 1, 1},   {1, 2000, 1, 2},    {59, 2000, 2, 29},    {60, 2000, 3, 1},
                        {366, 2001, 1, 1}, {8830, 2024, 3, 5}, {36524, 2099, 12, 31}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.day);
    EXPECT_EQ(timeclock::DayNumberOf(core::DateTime::fromParts(c.y, c.m, c.d, 13, 5)), c.day);
    EXPECT_EQ(timeclock::DateOfDayNumber(c.day), core::DateTime::fromParts(c.y, c.m, c.d));
  }
}

TEST(SimModels, CapacityRecordSizeAndBaseAddress) {
  const auto& d = timeclock::InfoOf(Model::Dallas);
  const auto& r = timeclock::InfoOf(Model::Rfid);
  EXPECT_EQ(d.code, 0x42);
  EXPECT_EQ(d.name, "VORT DALLAS");
  EXPECT_EQ(d.capacity, 5200);
  EXPECT_EQ(d.recordSize, 6);
  EXPECT_EQ(d.baseAddress, 1024);
  EXPECT_EQ(r.code, 0x43);
  EXPECT_EQ(r.name, "VORT RFID");
  EXPECT_EQ(r.capacity, 9350);
  EXPECT_EQ(r.recordSize, 7);
  EXPECT_EQ(r.baseAddress, 0);
  // The last ring position must still lie inside the 64 KiB address space.
  EXPECT_LE((r.capacity + 1) * r.recordSize + r.baseAddress - 1, 65535);
  EXPECT_LE((d.capacity + 1) * d.recordSize + d.baseAddress - 1, 65535);
}

TEST(SimEcho, LineReturnsSentBytesExceptOnUsb) {
  for (const auto type : {ConnectionType::Rs232, ConnectionType::Rs485, ConnectionType::Usb}) {
    SCOPED_TRACE(static_cast<int>(type));
    Terminal t(Model::Rfid, type);
    const Bytes out = send(t, frame(11, 0x20));
    const Bytes ack{0x0B, 0x20, 0xAA, 0x55};
    EXPECT_EQ(out, type == ConnectionType::Usb ? ack : concat(frame(11, 0x20), ack));
    // Bytes that are no frame are echoed too, and nothing else happens.
    const Bytes garbage{0x01, 0xAA, 0x55, 0x0A};
    EXPECT_EQ(send(t, garbage), type == ConnectionType::Usb ? Bytes{} : garbage);
  }
}

TEST(SimAcknowledgement, EveryParameterCommandIsAcknowledgedAndApplied) {
  Terminal t(Model::Rfid, ConnectionType::Usb);
  struct Case {
    std::uint8_t cmd, arg;
  };
  const Case cases[] = {{11, 0x00}, {11, 0xFF}, {13, 1}, {14, 1}, {15, 0x7F}, {16, 1},    {22, 5},
                        {23, 6},    {24, 7},    {25, 1}, {26, 2}, {32, 0x34}, {33, 0x12}, {34, 20}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.cmd));
    EXPECT_EQ(send(t, frame(c.cmd, c.arg)), (Bytes{c.cmd, c.arg, 0xAA, 0x55}));
  }
  EXPECT_EQ(t.productionNumber(), 0x1234);
  EXPECT_EQ(t.lockTime(), 20);
  EXPECT_EQ(t.batteryThreshold(), 0x7F);
  EXPECT_FALSE(t.antennaOn());
  const auto f = t.clockFields();
  EXPECT_EQ(f.second, 5);
  EXPECT_EQ(f.minute, 6);
  EXPECT_EQ(f.hour, 7);
  EXPECT_EQ(f.dayNumber, 0x0201);
}

TEST(SimAcknowledgement, WrongCheckByteAndUnknownCommandsGetNoAnswer) {
  Terminal t(Model::Rfid, ConnectionType::Usb);
  Bytes bad = frame(11, 5);
  bad[4] ^= 1;
  EXPECT_TRUE(send(t, bad).empty());
  EXPECT_TRUE(send(t, frame(10, 1)).empty());  // status wants ARG 2
  EXPECT_TRUE(send(t, frame(99, 0)).empty());
  EXPECT_EQ(t.framesAnswered(), 0);
}

TEST(SimFrame, FindsTheFrameAfterGarbageAndSplitDelivery) {
  Terminal t(Model::Rfid, ConnectionType::Usb);
  // A false start whose check fails, with the real frame beginning inside it.
  t.receive(Bytes{0x55, 0x0D, 0x0A, 0x0D, 0x0A, 0x0B});
  t.receive(Bytes{0x07});
  EXPECT_TRUE(t.takeOutput().empty());
  t.receive(Bytes{static_cast<std::uint8_t>(0xAA - 0x0B - 0x07)});
  EXPECT_EQ(t.takeOutput(), (Bytes{0x0B, 0x07, 0xAA, 0x55}));
  // A frame with a bad check byte followed at once by a good one.
  Bytes bad = frame(10, 2);
  bad[4] = 0;
  EXPECT_EQ(send(t, concat(bad, frame(34, 9))), (Bytes{0x22, 0x09, 0xAA, 0x55}));
}

TEST(SimFrame, PartialFrameIsAbandonedAfterAPause) {
  FakeTime time;
  Terminal t(Model::Rfid, ConnectionType::Usb);
  time.attach(t);
  const Bytes f = frame(11, 3);
  t.receive(Bytes(f.begin(), f.begin() + 3));
  time.now += std::chrono::milliseconds(500);
  t.receive(Bytes(f.begin() + 3, f.end()));
  EXPECT_TRUE(t.takeOutput().empty());
  EXPECT_EQ(send(t, f), (Bytes{0x0B, 0x03, 0xAA, 0x55}));
}

TEST(SimStatus, FieldsOfBothModels) {
  for (const Model m : {Model::Dallas, Model::Rfid}) {
    SCOPED_TRACE(static_cast<int>(m));
    FakeTime time;
    Terminal t(m, ConnectionType::Rs232);
    time.attach(t);
    t.setClock(core::DateTime::fromParts(2024, 3, 5, 14, 7, 33));
    t.setProductionNumber(0xBEEF);
    t.setLockTime(7);
    t.setPtr(0x0123);
    const Bytes out = send(t, frame(10, 2));
    ASSERT_EQ(out.size(), 29u);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 5), frame(10, 2));
    EXPECT_EQ(out[5], m == Model::Dallas ? 0x42 : 0x43);
    EXPECT_EQ(out[6], 33);
    EXPECT_EQ(out[7], 7);
    EXPECT_EQ(out[8], 14);
    EXPECT_EQ(word(out, 9), 8830);
    EXPECT_EQ(word(out, 11), 0x0123);
    EXPECT_EQ(word(out, 16), 0xBEEF);
    EXPECT_EQ(out[18], 7);
    // No identifier: DALLAS anything but 1; RFID neither 0 (card) nor 1 (battery).
    if (m == Model::Dallas) {
      EXPECT_NE(out[26], 1);
    } else {
      EXPECT_GT(out[26], 1);
    }
  }
}

TEST(SimStatus, UsbReplyIsTheTerminalsBytesOnly) {
  Terminal t(Model::Rfid, ConnectionType::Usb);
  const Bytes out = send(t, frame(10, 2));
  ASSERT_EQ(out.size(), 24u);
  EXPECT_EQ(out[0], 0x43);
}

TEST(SimStatus, PointerAboveCapacityIsReportedAsItIs) {
  Terminal t(Model::Rfid, ConnectionType::Rs232);
  t.setPtr(9351);
  EXPECT_EQ(word(send(t, frame(10, 2)), 11), 9351);
  t.setPtr(9350);
  EXPECT_EQ(word(send(t, frame(10, 2)), 11), 9350);
}

TEST(SimStatus, IdentifierReports) {
  struct Case {
    Model model;
    int replies;
    std::uint8_t state;
  };
  const Case cases[] = {{Model::Dallas, 1, 1}, {Model::Rfid, 1, 0}, {Model::Rfid, 3, 0}, {Model::Dallas, 2, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.replies);
    Terminal t(c.model, ConnectionType::Rs232);
    t.presentCard(0xA1B2, c.replies);
    for (int i = 0; i < c.replies; ++i) {
      const Bytes s = send(t, frame(10, 2));
      EXPECT_EQ(s[26], c.state);
      EXPECT_EQ(word(s, 27), 0xA1B2);
    }
    const Bytes after = send(t, frame(10, 2));
    EXPECT_NE(after[26], c.state) << "the report ends after the given replies";
  }
  // Card 0 is a real report on the card model.
  Terminal t(Model::Rfid, ConnectionType::Rs232);
  t.presentCard(0);
  const Bytes s = send(t, frame(10, 2));
  EXPECT_EQ(s[26], 0);
  EXPECT_EQ(word(s, 27), 0);
}

TEST(SimStatus, BatteryReportOnTheCardModel) {
  Terminal t(Model::Rfid, ConnectionType::Rs232);
  t.setBatteryThreshold(200);
  t.setBatteryLevel(230);
  EXPECT_NE(send(t, frame(10, 2))[26], 1);
  // "Bat_LO" asks for one report.
  send(t, frame(16, 1));
  Bytes s = send(t, frame(10, 2));
  EXPECT_EQ(s[26], 1);
  EXPECT_EQ(s[27], 200);
  EXPECT_EQ(s[28], 230);
  EXPECT_NE(send(t, frame(10, 2))[26], 1);
  // A low battery is reported in every reply, a card still wins.
  send(t, frame(15, 240));
  EXPECT_EQ(send(t, frame(10, 2))[26], 1);
  EXPECT_EQ(send(t, frame(10, 2))[27], 240);
  t.presentCard(77);
  EXPECT_EQ(send(t, frame(10, 2))[26], 0);
  EXPECT_EQ(send(t, frame(10, 2))[26], 1);
}

TEST(SimAntenna, PreambleIsEchoedAndTheStateFollowsTheCommands) {
  Terminal t(Model::Rfid, ConnectionType::Rs485);
  const Bytes pre{0x20, 0x20, 0x20, 0x20};
  EXPECT_EQ(send(t, concat(pre, frame(13, 1))), concat(concat(pre, frame(13, 1)), Bytes{0x0D, 0x01, 0xAA, 0x55}));
  EXPECT_TRUE(t.antennaOn());
  EXPECT_EQ(send(t, frame(10, 2))[13], 1) << "byte 13 carries the antenna state";
  send(t, concat(pre, frame(14, 1)));
  EXPECT_FALSE(t.antennaOn());
}

TEST(SimRecords, LayoutOfBothModels) {
  const core::DateTime when = core::DateTime::fromParts(2024, 3, 5, 14, 7, 45);
  struct Case {
    Model model;
    int code;
    bool swapped;
    Bytes expected;
  };
  const Case cases[] = {
      {Model::Rfid, 19, false, {0x07, 0x0E, 0x7E, 0x22, 0x13, 0x34, 0x12}},
      {Model::Rfid, 4, false, {0x07, 0x0E, 0x7E, 0x22, 0x04, 0x34, 0x12}},
      {Model::Dallas, 16, false, {0x07, 0x8E, 0x7E, 0x22, 0x34, 0x12}},
      {Model::Dallas, 0, false, {0x07, 0x0E, 0x7E, 0x22, 0x34, 0x12}},
      {Model::Dallas, 16, true, {0x07, 0x0E, 0x7E, 0x22, 0x34, 0x12}},
      {Model::Dallas, 5, true, {0x07, 0x8E, 0x7E, 0x22, 0x34, 0x12}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    Terminal t(c.model, ConnectionType::Rs232);
    t.setSwappedKeys(c.swapped);
    t.setPtr(3);
    t.addRegistration(0x1234, when, c.code);
    EXPECT_EQ(t.ptr(), 4);
    const auto& mi = t.info();
    const auto mem =
        t.memory().subspan(static_cast<std::size_t>(3 * mi.recordSize + mi.baseAddress), c.expected.size());
    EXPECT_EQ(Bytes(mem.begin(), mem.end()), c.expected);
    const auto back = t.recordAt(3);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->card, 0x1234);
    EXPECT_EQ(back->time, core::DateTime::fromParts(2024, 3, 5, 14, 7));
    EXPECT_EQ(back->recordCode, c.model == Model::Rfid ? c.code : (c.code >= 16 ? 16 : 0));
    EXPECT_FALSE(t.recordAt(2).has_value()) << "never written: all 0xFF";
  }
}

TEST(SimBlock, TenRecordsAndTheirSum) {
  struct Case {
    Model model;
    int position;
  };
  const Case cases[] = {{Model::Rfid, 0},   {Model::Rfid, 9341},   {Model::Rfid, 9350},
                        {Model::Dallas, 0}, {Model::Dallas, 5195}, {Model::Dallas, 5200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    Terminal t(c.model, ConnectionType::Rs232);
    t.fillRing(0);
    const auto& mi = t.info();
    const int address = c.position * mi.recordSize + mi.baseAddress;
    Bytes out = send(t, frame(11, static_cast<std::uint8_t>(address & 0xFF)));
    EXPECT_EQ(out.size(), 9u);
    out = send(t, frame(12, static_cast<std::uint8_t>(address >> 8)));
    const std::size_t n = 10 * static_cast<std::size_t>(mi.recordSize);
    ASSERT_EQ(out.size(), n + 6);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 5), frame(12, static_cast<std::uint8_t>(address >> 8)));
    const auto mem = t.memory().subspan(static_cast<std::size_t>(address), n);
    EXPECT_TRUE(std::equal(mem.begin(), mem.end(), out.begin() + 5));
    std::uint8_t sum = 0;
    for (std::size_t i = 5; i < 5 + n; ++i) sum = static_cast<std::uint8_t>(sum + out[i]);
    EXPECT_EQ(out.back(), sum);
    // The first record of the block is the one stored at that position.
    const auto first = t.recordAt(c.position);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(out[5], first->time.minute());
  }
}

TEST(SimRing, WrapsAfterTheCapacityAndKeepsOrder) {
  Terminal t(Model::Dallas, ConnectionType::Rs232);
  t.setPtr(5198);
  const core::DateTime base = core::DateTime::fromParts(2025, 1, 31, 23, 58);
  for (int i = 0; i < 5; ++i) t.addRegistration(static_cast<std::uint16_t>(500 + i), base.addSeconds(i * 60), 0);
  EXPECT_EQ(t.ptr(), 2);
  EXPECT_TRUE(t.recordAt(5200).has_value());
  EXPECT_TRUE(t.recordAt(0).has_value());
  const auto newest = t.newestRecords(5);
  ASSERT_EQ(newest.size(), 5u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(newest[static_cast<std::size_t>(i)].card, 500 + i);
  EXPECT_EQ(newest[4].time, core::DateTime::fromParts(2025, 2, 1, 0, 2));
  EXPECT_EQ(t.records().size(), 5u);
}

TEST(SimRing, FullRingAndPrefills) {
  struct Case {
    Model model;
    int endPtr;
  };
  for (const Case c : {Case{Model::Rfid, 0}, Case{Model::Rfid, 4675}, Case{Model::Dallas, 5200}}) {
    SCOPED_TRACE(c.endPtr);
    Terminal t(c.model, ConnectionType::Rs232);
    t.fillRing(c.endPtr);
    const int positions = t.info().capacity + 1;
    EXPECT_EQ(t.ptr(), c.endPtr);
    const auto all = t.records();
    ASSERT_EQ(static_cast<int>(all.size()), positions);
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.time < b.time; }));
    EXPECT_LT(all.back().time, t.clock());
  }
  Terminal t(Model::Rfid, ConnectionType::Rs232);
  const std::uint16_t cards[] = {7, 8};
  t.prefillRing(6, 9348, cards);
  EXPECT_EQ(t.ptr(), 3);
  const auto r = t.records();
  ASSERT_EQ(r.size(), 6u);
  const int codes[] = {0, 0, 16, 16, 0, 0};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(r[i].card, cards[i % 2]);
    EXPECT_EQ(r[i].recordCode & 16, codes[i]);
  }
}

TEST(SimClock, SetThroughTheLineAndRunsOn) {
  FakeTime time;
  Terminal t(Model::Rfid, ConnectionType::Usb);
  time.attach(t);
  const int day = timeclock::DayNumberOf(core::DateTime::fromParts(2026, 12, 9));
  for (const Bytes& f : {frame(22, 50), frame(23, 59), frame(24, 23), frame(25, static_cast<std::uint8_t>(day & 0xFF)),
                         frame(26, static_cast<std::uint8_t>(day >> 8))}) {
    EXPECT_EQ(send(t, f).size(), 4u);
  }
  EXPECT_EQ(t.clock(), core::DateTime::fromParts(2026, 12, 9, 23, 59, 50));
  time.now += std::chrono::seconds(11);
  const Bytes s = send(t, frame(10, 2));
  EXPECT_EQ(s[1], 1);
  EXPECT_EQ(s[2], 0);
  EXPECT_EQ(s[3], 0);
  EXPECT_EQ(word(s, 4), day + 1);
  // A registration is stamped with the terminal's clock, not the PC's.
  t.addRegistrationNow(42, 17);
  EXPECT_EQ(t.recordAt(0)->time, core::DateTime::fromParts(2026, 12, 10, 0, 0));
}

TEST(SimClock, OutOfRangeFieldStopsTheClockAndIsReported) {
  FakeTime time;
  Terminal t(Model::Dallas, ConnectionType::Usb);
  time.attach(t);
  t.setClock(core::DateTime::fromParts(2026, 1, 2, 3, 4, 5));
  send(t, frame(24, 30));
  time.now += std::chrono::seconds(90);
  Bytes s = send(t, frame(10, 2));
  EXPECT_EQ(s[3], 30);
  EXPECT_EQ(s[1], 5) << "a stopped clock does not count";
  send(t, frame(24, 12));
  time.now += std::chrono::seconds(2);
  s = send(t, frame(10, 2));
  EXPECT_EQ(s[3], 12);
  EXPECT_EQ(s[1], 7);
}

TEST(SimPacing, OutputLeavesAtTheLineRate) {
  FakeTime time;
  Terminal t(Model::Rfid, ConnectionType::Rs232);
  time.attach(t);
  t.setLineRate(1920);
  const auto byteTime = std::chrono::nanoseconds(1'000'000'000LL / 1920);
  const auto start = time.now;
  t.receive(frame(10, 2));
  EXPECT_TRUE(t.takeOutputDue(start).empty());
  ASSERT_TRUE(t.nextOutputTime().has_value());
  EXPECT_EQ(*t.nextOutputTime(), start + byteTime) << "the echo of the first byte";
  EXPECT_EQ(t.takeOutputDue(start + 5 * byteTime).size(), 5u);
  // The terminal answers after the whole frame, one byte time per byte.
  EXPECT_EQ(t.takeOutputDue(start + 17 * byteTime).size(), 12u);
  EXPECT_EQ(t.takeOutputDue(start + 29 * byteTime - std::chrono::nanoseconds(1)).size(), 11u);
  EXPECT_EQ(t.takeOutputDue(start + 29 * byteTime).size(), 1u);
  EXPECT_FALSE(t.nextOutputTime().has_value());
  // A block of the card model: 5 frame bytes and 71 reply bytes.
  time.now += std::chrono::seconds(1);
  const auto b = time.now;
  t.receive(frame(12, 0));
  EXPECT_EQ(t.takeOutputDue(b + 76 * byteTime - std::chrono::nanoseconds(1)).size(), 75u);
  EXPECT_EQ(t.takeOutputDue(b + 76 * byteTime).size(), 1u);
}

// A conversation that touches every kind of reply.
Bytes conversation(Terminal& t, int rounds) {
  Bytes all;
  for (int i = 0; i < rounds; ++i) {
    for (const Bytes& f : {frame(10, 2), frame(11, static_cast<std::uint8_t>(i * 7)), frame(12, 1), frame(34, 3)}) {
      const Bytes out = send(t, f);
      all.insert(all.end(), out.begin(), out.end());
    }
  }
  return all;
}

TEST(SimFaults, DamageIsOneByteOfAnAckOrBlockNeverTheStatus) {
  Terminal clean(Model::Rfid, ConnectionType::Usb);
  Terminal noisy(Model::Rfid, ConnectionType::Usb);
  clean.fillRing(0);
  noisy.fillRing(0);
  timeclock::FaultConfig f;
  f.seed = 7;
  f.damage = 1.0;
  noisy.setFaults(f);
  auto stop = clean.clock();
  noisy.setClock(stop);
  for (int i = 0; i < 30; ++i) {
    for (const Bytes& fr :
         {frame(11, static_cast<std::uint8_t>(i)), frame(12, static_cast<std::uint8_t>(i)), frame(10, 2)}) {
      const Bytes a = send(clean, fr);
      const Bytes b = send(noisy, fr);
      ASSERT_EQ(a.size(), b.size());
      int diff = 0;
      for (std::size_t k = 0; k < a.size(); ++k) diff += a[k] != b[k];
      if (fr[2] == 10) {
        // Only the clock may differ between the two terminals' status replies.
        EXPECT_TRUE(std::equal(a.begin() + 3, a.end(), b.begin() + 3));
      } else {
        EXPECT_EQ(diff, 1);
      }
    }
  }
  EXPECT_EQ(noisy.faultCounts().damaged, 60);
}

TEST(SimFaults, DroppedByteShortensTheReply) {
  Terminal t(Model::Dallas, ConnectionType::Rs232);
  timeclock::FaultConfig f;
  f.drop = 1.0;
  t.setFaults(f);
  EXPECT_EQ(send(t, frame(10, 2)).size(), 28u);
  EXPECT_EQ(send(t, frame(11, 0)).size(), 8u);
  EXPECT_EQ(send(t, frame(12, 4)).size(), 5u + 60u);
}

TEST(SimFaults, SilenceLeavesOnlyTheEchoAndChangesNothing) {
  Terminal t(Model::Rfid, ConnectionType::Rs232);
  timeclock::FaultConfig f;
  f.silence = 1.0;
  t.setFaults(f);
  EXPECT_EQ(send(t, frame(34, 9)), frame(34, 9));
  EXPECT_NE(t.lockTime(), 9);
  EXPECT_EQ(t.faultCounts().silenced, 1);
}

TEST(SimFaults, SameSeedSameFaultsOtherSeedOthers) {
  auto run = [](std::uint64_t seed) {
    FakeTime time;
    Terminal t(Model::Rfid, ConnectionType::Rs232);
    time.attach(t);
    t.setClock(core::DateTime::fromParts(2026, 5, 5, 5, 5, 5));
    t.prefillRing(300);
    timeclock::FaultConfig f;
    f.seed = seed;
    f.damage = 0.3;
    f.drop = 0.2;
    f.silence = 0.1;
    t.setFaults(f);
    return conversation(t, 40);
  };
  const Bytes a = run(11);
  EXPECT_EQ(a, run(11));
  EXPECT_NE(a, run(12));
}

TEST(SimFaults, DisconnectAfterNFramesAndReconnect) {
  Terminal t(Model::Rfid, ConnectionType::Rs232);
  timeclock::FaultConfig f;
  f.disconnectAfter = 2;
  t.setFaults(f);
  EXPECT_EQ(send(t, frame(10, 2)).size(), 29u);
  EXPECT_EQ(send(t, frame(11, 1)).size(), 9u);
  EXPECT_TRUE(send(t, frame(11, 1)).empty()) << "not even the echo";
  EXPECT_TRUE(t.disconnected());
  EXPECT_TRUE(send(t, frame(10, 2)).empty());
  t.reconnect();
  EXPECT_EQ(send(t, frame(10, 2)).size(), 29u);
}

TEST(SimModel, ChangingTheModelErasesTheRing) {
  Terminal t(Model::Rfid, ConnectionType::Rs232);
  t.prefillRing(20);
  t.setModel(Model::Dallas);
  EXPECT_EQ(t.ptr(), 0);
  EXPECT_TRUE(t.records().empty());
  EXPECT_EQ(send(t, frame(10, 2))[5], 0x42);
}

}  // namespace
