// The simulator's operator commands, run against an in-process terminal.

#include <gtest/gtest.h>

#include <string>

#include "engine/commands.h"
#include "engine/terminal.h"

using timeclock::ExecuteCommand;
using timeclock::Model;
using timeclock::Terminal;

namespace {

struct SimCommands : ::testing::Test {
  SimCommands() {
    t.setTimeSource([this] { return now; });
    t.setClock(core::DateTime::fromParts(2026, 12, 9, 8, 30, 15));
  }
  timeclock::CommandOutcome run(const std::string& line) { return ExecuteCommand(t, line, cards); }

  timeclock::SteadyTime now{std::chrono::hours(10)};
  Terminal t{Model::Rfid, timeclock::ConnectionType::Rs232};
  std::vector<std::uint16_t> cards{31, 32};
};

TEST_F(SimCommands, AddStoresARegistrationStampedWithTheTerminalClock) {
  struct Case {
    const char* line;
    int code;
  };
  const Case cases[] = {
      {"add 7", 0}, {"add 8 out", 16}, {"add 9 in 5", 5}, {"add 10 out 8", 24}, {"  add\t11 out 0", 16}};
  int position = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const auto o = run(c.line);
    EXPECT_TRUE(o.ok) << o.text;
    const auto r = t.recordAt(position++);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->recordCode, c.code);
    EXPECT_EQ(r->time, core::DateTime::fromParts(2026, 12, 9, 8, 30));
  }
  EXPECT_EQ(t.ptr(), 5);
}

TEST_F(SimCommands, BadArgumentsAreRefusedWithoutTouchingTheTerminal) {
  const char* lines[] = {"add",
                         "add 70000",
                         "add 5 sideways",
                         "add 5 in 16",
                         "add 5 in 1 x",
                         "card",
                         "card -1",
                         "card 5 0",
                         "clock 31.2.2026 8:00:00",
                         "clock 1.1.1999 0:00:00",
                         "ptr 65536",
                         "ptr x",
                         "dump -1",
                         "prefill",
                         "prefill 5 9351",
                         "battery 256",
                         "production 65536",
                         "auto -1",
                         "sleep x",
                         "frobnicate"};
  for (const char* line : lines) {
    SCOPED_TRACE(line);
    const auto o = run(line);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.text.rfind("error: ", 0), 0u);
  }
  EXPECT_EQ(t.ptr(), 0);
  EXPECT_TRUE(t.records().empty());
  EXPECT_EQ(t.clock(), core::DateTime::fromParts(2026, 12, 9, 8, 30, 15));
}

TEST_F(SimCommands, ClockPtrDumpAndParameters) {
  EXPECT_EQ(run("clock 29.2.2028 23:59:58").text, "clock 29.2.2028 23:59:58\n");
  now += std::chrono::seconds(3);
  EXPECT_EQ(run("clock").text, "clock 1.3.2028 0:00:01\n");
  EXPECT_EQ(run("ptr 9350").text, "ptr 9350\n");
  run("add 5 out 3");
  run("add 6");
  EXPECT_EQ(t.ptr(), 1);
  EXPECT_EQ(run("dump 2").text,
            "9350\t5\t1.3.2028\tout\t19\n"
            "0\t6\t1.3.2028\tin\t0\n"
            "records 2 ptr 1\n");
  run("production 4321");
  run("battery 10");
  EXPECT_EQ(t.productionNumber(), 4321);
  EXPECT_EQ(t.batteryLevel(), 10);
  const auto s = run("status").text;
  EXPECT_NE(s.find("model VORT RFID capacity 9350"), std::string::npos);
  EXPECT_NE(s.find("ptr 1\n"), std::string::npos);
}

TEST_F(SimCommands, PrefillFullCardAndLineControl) {
  run("prefill 10 9345");
  EXPECT_EQ(t.ptr(), 4);
  ASSERT_EQ(t.records().size(), 10u);
  EXPECT_EQ(t.records().front().card, 31);
  run("full");
  EXPECT_EQ(t.ptr(), 4);
  EXPECT_EQ(t.records().size(), 9351u);
  run("card 4242 2");
  EXPECT_EQ(t.statusBytes()[22] | (t.statusBytes()[23] << 8), 4242);
  run("disconnect");
  EXPECT_TRUE(t.disconnected());
  run("reconnect");
  EXPECT_FALSE(t.disconnected());
}

TEST_F(SimCommands, ProgramLevelOutcomes) {
  EXPECT_TRUE(run("quit").quit);
  EXPECT_EQ(run("auto 2.5").autoSeconds, 2.5);
  EXPECT_EQ(run("sleep 0.25").sleepSeconds, 0.25);
  const auto blank = run("   ");
  EXPECT_TRUE(blank.ok);
  EXPECT_TRUE(blank.text.empty());
  EXPECT_TRUE(run("# a comment").text.empty());
}

TEST(SimCardList, ParsesCommaSeparatedCards) {
  EXPECT_EQ(timeclock::ParseCardList("1, 2,65535"), (std::vector<std::uint16_t>{1, 2, 65535}));
  EXPECT_FALSE(timeclock::ParseCardList("1,,2").has_value());
  EXPECT_FALSE(timeclock::ParseCardList("65536").has_value());
  EXPECT_FALSE(timeclock::ParseCardList("").has_value());
}

}  // namespace
