// The presence status and its file stav.bin.
#include <gtest/gtest.h>

#include <bit>

#include "device/presence.h"
#include "support/test_support.h"

namespace {

core::EmployeeList makeList(const std::vector<std::tuple<std::string, int, std::string>>& people) {
  return testing_support::MakeEmployees(people);
}

TEST(Presence, FileLayoutByteForByte) {
  const auto list = makeList({{"Anna", 0x0102, "A"}, {"Boris", 65535, "B"}, {"Cyril", 7, ""}});
  device::PresenceStatus s;
  const core::DateTime init = core::DateTime::fromParts(2026, 3, 15, 6, 0, 0);
  s.InitPresence(list, init);
  const core::DateTime t = core::DateTime::fromParts(2026, 3, 15, 7, 30, 0);
  s.UpdatePresence(0x0102, t, 17);
  testing_support::TempDir dir;
  ASSERT_TRUE(s.SavePresence(dir / "stav.bin"));
  const std::string b = testing_support::ReadBytes(dir / "stav.bin");
  ASSERT_EQ(b.size(), 72u);
  auto u8 = [&](std::size_t i) { return static_cast<std::uint8_t>(b[i]); };
  auto f64 = [&](std::size_t at) {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<std::uint64_t>(u8(at + static_cast<std::size_t>(i))) << (8 * i);
    return std::bit_cast<double>(v);
  };
  // Record 0: identifier, six zero bytes, the time as days since 30.12.1899, state 17, four zero bytes.
  EXPECT_EQ(u8(0), 0x02);
  EXPECT_EQ(u8(1), 0x01);
  for (std::size_t i = 2; i < 8; ++i) EXPECT_EQ(u8(i), 0) << i;
  EXPECT_DOUBLE_EQ(f64(8), 46096.0 + 7.5 / 24.0);
  EXPECT_EQ(u8(16), 17);
  for (std::size_t i = 17; i < 24; ++i) EXPECT_EQ(u8(i), 0) << i;
  // Record 1: no record yet, state -1 and the initialisation time.
  EXPECT_EQ(u8(24), 0xFF);
  EXPECT_EQ(u8(25), 0xFF);
  EXPECT_DOUBLE_EQ(f64(32), 46096.25);
  for (std::size_t i = 40; i < 44; ++i) EXPECT_EQ(u8(i), 0xFF) << i;
  EXPECT_EQ(u8(48), 7);
}

TEST(Presence, LoadReadsAsFarAsTheFileGoes) {
  const auto list = makeList({{"Anna", 1, "A"}, {"Boris", 2, "B"}, {"Cyril", 3, "C"}});
  device::PresenceStatus written;
  written.InitPresence(list, core::DateTime::fromParts(2026, 1, 1));
  written.UpdatePresence(1, core::DateTime::fromParts(2026, 1, 2, 8, 0), 0);
  written.UpdatePresence(2, core::DateTime::fromParts(2026, 1, 2, 9, 0), 24);
  testing_support::TempDir dir;
  // Two records and a torn third one.
  testing_support::WriteBytes(dir / "stav.bin", written.toBytes().substr(0, 60));

  device::PresenceStatus s;
  s.InitPresence(list, core::DateTime::fromParts(2026, 5, 5));
  const auto before = s.entries()[2];
  EXPECT_EQ(s.LoadPresence(dir / "stav.bin"), 2u);
  EXPECT_EQ(s.entries()[0], written.entries()[0]);
  EXPECT_EQ(s.entries()[1], written.entries()[1]);
  EXPECT_EQ(s.entries()[2], before);

  // A missing file changes nothing; a longer file fills only the entries there are.
  EXPECT_EQ(s.LoadPresence(dir / "none.bin"), 0u);
  testing_support::WriteBytes(dir / "long.bin", written.toBytes() + written.toBytes());
  EXPECT_EQ(s.LoadPresence(dir / "long.bin"), 3u);
  EXPECT_EQ(s.entries().size(), 3u);

  // A damaged time does not break anything.
  std::string junk = written.toBytes();
  for (std::size_t i = 8; i < 16; ++i) junk[i] = '\xFF';
  testing_support::WriteBytes(dir / "junk.bin", junk);
  EXPECT_EQ(s.LoadPresence(dir / "junk.bin"), 3u);
}

TEST(Presence, BoardRows) {
  auto list = makeList(
      {{"Anna", 1, "Dielna"}, {"Boris", 2, "Sklad"}, {"Anna", 3, "Sklad"}, {"Cyril", 4, "X"}, {"Dana", 5, "X"}});
  device::PresenceStatus s;
  s.InitPresence(list, core::DateTime::fromParts(2026, 1, 1));
  s.UpdatePresence(1, core::DateTime::fromParts(2026, 1, 2, 8, 0, 0), 0);
  s.UpdatePresence(3, core::DateTime::fromParts(2026, 1, 2, 9, 15, 0), 4);
  s.UpdatePresence(2, core::DateTime::fromParts(2026, 1, 2, 16, 0, 0), 17);
  s.entries().pop_back();  // Dana has no entry (stav.bin of an older list)
  const auto rows = device::PresenceRows(list, s);
  ASSERT_EQ(rows.size(), 5u);
  // Both rows named "Anna" show the later Anna.
  for (std::size_t r : {0u, 2u}) {
    EXPECT_EQ(rows[r].time, "2.1.2026 9:15:00") << r;
    EXPECT_EQ(rows[r].state, "PR 4 Obed") << r;
    EXPECT_TRUE(rows[r].arrival) << r;
  }
  EXPECT_EQ(rows[0].department, "Dielna");
  EXPECT_EQ(rows[1].state, "OD 1 Sluzobne");
  EXPECT_FALSE(rows[1].arrival);
  EXPECT_EQ(rows[3].time, "---");
  EXPECT_EQ(rows[3].state, "");
  EXPECT_EQ(rows[4].time, "");
}

}  // namespace
