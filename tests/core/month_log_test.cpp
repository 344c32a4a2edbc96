#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/messages.h"
#include "core/month_log.h"
#include "core/path_text.h"
#include "support/test_support.h"

using namespace core;
using testing_support::ReadBytes;
using testing_support::ScriptedOperator;
using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

DateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return DateTime::fromParts(y, mo, d, h, mi, s); }

TEST(MonthLog, FileNames) {
  EXPECT_EQ(MonthLog::FileName("/x/Log", 3, 2005), std::filesystem::path("/x/Log/3_2005.txt"));
  EXPECT_EQ(MonthLog::FileName("/x/Log/", 12, 2005), std::filesystem::path("/x/Log/12_2005.txt"));
  EXPECT_EQ(MonthLog::FileName("Log", 1, 2024).filename(), "1_2024.txt");
}

TEST(MonthLog, FormatsLines) {
  struct Case {
    AttendanceRecord record;
    const char* line;
  };
  const Case cases[] = {
      {{at(2005, 3, 31, 23, 59, 0), 7, 24}, "31.3.2005 23:59:00\t7\t24"},
      {{at(2005, 4, 1), 7, 0}, "1.4.2005\t7\t0"},  // midnight: the date alone
      {{at(2005, 12, 9, 8, 5, 7), 65535, 16}, "9.12.2005 8:05:07\t65535\t16"},
      {{at(2005, 1, 2, 0, 0, 1), 0, 9}, "2.1.2005 0:00:01\t0\t9"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MonthLog::FormatLine(c.record), c.line);
  }
}

TEST(MonthLog, AppendGoesToTheRecordsOwnMonthAndCreatesTheFolder) {
  TempDir dir;
  const auto logDir = dir / "data" / "Log";
  MessageCatalogue messages;
  ScriptedOperator op;
  ASSERT_TRUE(MonthLog::Append(logDir, {at(2005, 3, 31, 23, 59), 7, 24}, messages, op));
  ASSERT_TRUE(MonthLog::Append(logDir, {at(2005, 4, 1), 7, 0}, messages, op));
  ASSERT_TRUE(MonthLog::Append(logDir, {at(2005, 3, 1, 7, 58, 30), 12, 0}, messages, op));
  EXPECT_TRUE(op.messages.empty());
  EXPECT_EQ(ReadBytes(logDir / "3_2005.txt"), "31.3.2005 23:59:00\t7\t24\r\n1.3.2005 7:58:30\t12\t0\r\n");
  EXPECT_EQ(ReadBytes(logDir / "4_2005.txt"), "1.4.2005\t7\t0\r\n");

  // Midnight comes back as midnight.
  LogEntries entries;
  ASSERT_TRUE(MonthLog::ReadEmployee(logDir / "4_2005.txt", 7, entries, op));
  ASSERT_EQ(entries.times.size(), 1u);
  EXPECT_EQ(entries.times[0], at(2005, 4, 1));
  EXPECT_EQ(entries.codes[0], 0);
}

TEST(MonthLog, AppendNeverJoinsAnUnfinishedLastLine) {
  TempDir dir;
  MessageCatalogue messages;
  ScriptedOperator op;
  WriteBytes(dir / "3_2005.txt", "1.3.2005 8:00:00\t7\t0\r\n1.3.2005 16:0");  // cut off mid-line
  ASSERT_TRUE(MonthLog::Append(dir.path(), {at(2005, 3, 2, 8), 7, 0}, messages, op));
  EXPECT_EQ(ReadBytes(dir / "3_2005.txt"), "1.3.2005 8:00:00\t7\t0\r\n1.3.2005 16:0\r\n2.3.2005 8:00:00\t7\t0\r\n");
  LogEntries entries;
  ASSERT_TRUE(MonthLog::ReadEmployee(dir / "3_2005.txt", 7, entries, op));
  EXPECT_EQ(entries.times, (std::vector<DateTime>{at(2005, 3, 1, 8), at(2005, 3, 2, 8)}));
  WriteBytes(dir / "4_2005.txt", "");
  ASSERT_TRUE(MonthLog::Append(dir.path(), {at(2005, 4, 2, 8), 7, 0}, messages, op));
  EXPECT_EQ(ReadBytes(dir / "4_2005.txt"), "2.4.2005 8:00:00\t7\t0\r\n");
  EXPECT_TRUE(op.messages.empty());
}

TEST(MonthLog, FailedAppendReportsAndReturnsFalse) {
  TempDir dir;
  MessageCatalogue messages;
  WriteBytes(dir / "file", "x");
  {
    // The log folder cannot exist: its parent is a regular file.
    ScriptedOperator op;
    const auto logDir = dir / "file" / "Log";
    EXPECT_FALSE(MonthLog::Append(logDir, {at(2005, 3, 2, 8), 7, 0}, messages, op));
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[0], "Nie je možné otvoriť adresár /LOG, závažná chyba");
    EXPECT_EQ(op.messages[1], MonthLog::WriteErrorMessage(logDir / "3_2005.txt"));
  }
  {
    // The folder is there but the month's file cannot be opened.
    ScriptedOperator op;
    std::filesystem::create_directories(dir / "Log" / "3_2005.txt");
    EXPECT_FALSE(MonthLog::Append(dir / "Log", {at(2005, 3, 2, 8), 7, 0}, messages, op));
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0],
              "Chyba vstupu/výstupu pri zápise do súboru: " + core::DisplayPath(dir / "Log" / "3_2005.txt"));
  }
}

TEST(MonthLog, LineRules) {
  struct Case {
    const char* line;
    bool taken;  // as a line of identifier 7
    DateTime time;
    int code;
  };
  const Case cases[] = {
      {"2.3.2005 8:00:00\t7\t0", true, at(2005, 3, 2, 8), 0},
      {"02.03.2005 08:00:05\t7\t16", true, at(2005, 3, 2, 8, 0, 5), 16},  // leading zeros
      {"2. 3. 2005 8:00:00\t7\t4", true, at(2005, 3, 2, 8), 4},           // blanks after the dots
      {"2.3.2005 13:45\t7\t20", true, at(2005, 3, 2, 13, 45), 20},        // no seconds
      {"2.3.2005\t7\t24", true, at(2005, 3, 2), 24},                      // midnight
      {"2.3.2005 8:00:00\t 7 \t 24 ", true, at(2005, 3, 2, 8), 24},       // blanks around numbers
      {"2.3.2005 8:00:00\t7\t12", true, at(2005, 3, 2, 8), 12},           // meaningless code is kept
      {"2.3.2005 8:00:00\t8\t0", false, {}, 0},                           // another employee
      {"2.3.2005 8:00:00\tabc\t0", false, {}, 0},
      {"2.3.2005 8:00:00\t65543\t0", false, {}, 0},  // 7 + 65536 is not 7
      {"2.3.2005 8:00:00\t\t0", false, {}, 0},
      {"2.3.2005 8:00:00\t7", false, {}, 0},        // one tab only
      {"2.3.2005 8:00:00 7 0", false, {}, 0},       // no tab
      {"2.3.2005 8:00:00\t7\tx", false, {}, 0},     // code not a number
      {"2.3.2005 8:00:00\t7\t1\t2", false, {}, 0},  // code is the whole remainder
      {"2.3.2005 8:00:00\t7\t", false, {}, 0},
      {"31.2.2005 8:00:00\t7\t0", false, {}, 0},  // no such day
      {"2.3.2005 25:00:00\t7\t0", false, {}, 0},
      {"2.3.2005 8.00.00\t7\t0", false, {}, 0},
      {"\t7\t0", false, {}, 0},
      {"", false, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    for (const char* end : {"\r\n", "\n", ""}) {
      LogEntries entries;
      MonthLog::ParseEmployee(std::string(c.line) + end, 7, entries);
      ASSERT_EQ(entries.times.size(), c.taken ? 1u : 0u);
      ASSERT_EQ(entries.codes.size(), entries.times.size());
      if (c.taken) {
        EXPECT_EQ(entries.times[0], c.time);
        EXPECT_EQ(entries.codes[0], c.code);
      }
    }
  }
}

TEST(MonthLog, ReadsManyLinesInFileOrder) {
  TempDir dir;
  std::string bytes;
  for (int i = 0; i < 250; ++i) {
    const int day = 28 - i % 28;  // not chronological
    bytes += MonthLog::FormatLine({at(2005, 3, day, i % 24, i % 60), 7, i % 2 ? 16 : 0}) + "\r\n";
    bytes += MonthLog::FormatLine({at(2005, 3, day, 12), 8, 0}) + "\r\n";  // interleaved colleague
    if (i % 50 == 0) bytes += "garbage line\r\n\r\n";
  }
  WriteBytes(dir / "3_2005.txt", bytes);
  ScriptedOperator op;
  LogEntries entries;
  entries.times.push_back(at(2001, 1, 1));  // emptied first
  ASSERT_TRUE(MonthLog::ReadEmployee(dir / "3_2005.txt", 7, entries, op));
  EXPECT_TRUE(op.messages.empty());
  ASSERT_EQ(entries.times.size(), 250u);
  ASSERT_EQ(entries.codes.size(), 250u);
  for (int i = 0; i < 250; i += 37) {
    EXPECT_EQ(entries.times[static_cast<std::size_t>(i)], at(2005, 3, 28 - i % 28, i % 24, i % 60));
    EXPECT_EQ(entries.codes[static_cast<std::size_t>(i)], i % 2 ? 16 : 0);
  }

  std::vector<AttendanceRecord> all;
  MonthLog::ParseAll(bytes + "2.3.2005\t70000\t0\r\n2.3.2005\t-1\t0\r\n", all);
  ASSERT_EQ(all.size(), 500u);
  EXPECT_EQ(all[0], (AttendanceRecord{at(2005, 3, 28, 0, 0), 7, 0}));
  EXPECT_EQ(all[1], (AttendanceRecord{at(2005, 3, 28, 12), 8, 0}));
}

TEST(MonthLog, MissingFileIsReported) {
  TempDir dir;
  ScriptedOperator op;
  LogEntries entries;
  const auto file = dir / "Log" / "3_2005.txt";
  EXPECT_FALSE(MonthLog::ReadEmployee(file, 7, entries, op));
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_EQ(op.messages[0],
            "Nie je možné otvorit súbor: " + core::DisplayPath(file) + "\rv subore sú zapísané príchody odchody");
  EXPECT_TRUE(entries.times.empty());
}

TEST(MonthLog, CheckMonthReportsEveryStrayEntry) {
  struct Case {
    const char* name;
    std::vector<DateTime> times;
    std::vector<std::string> messages;
  };
  const std::string year = "CHYBA v LOG subore\rZapisany nespravny rok";
  const std::string month = "CHYBA v LOG subore\rZapisany nespravny mesiac";
  const Case cases[] = {
      {"all in March", {at(2005, 3, 1, 8), at(2005, 3, 31, 23, 59)}, {}},
      {"one April record", {at(2005, 3, 1, 8), at(2005, 4, 1, 0, 1), at(2005, 3, 2, 8)}, {month}},
      {"other year, same month", {at(2004, 3, 5, 8)}, {year}},
      {"both differ", {at(2004, 4, 5, 8), at(2006, 3, 1)}, {year, month, year}},
      {"unused slot", {DateTime{}}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedOperator op;
    MonthLog::CheckMonth(c.times, 3, 2005, op);
    EXPECT_EQ(op.messages, c.messages);
  }
}

}  // namespace
