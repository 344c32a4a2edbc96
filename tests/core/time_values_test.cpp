#include <gtest/gtest.h>

#include "core/record_types.h"
#include "core/time_values.h"

using namespace core;

namespace {

TEST(RecordCode, DecodesDirectionAndType) {
  struct Case {
    int code;
    bool departure;
    int type;
    std::string_view name;
  };
  const Case cases[] = {
      {0, false, 0, "Normalny"}, {16, true, 0, "Normalny"}, {15, false, 15, ""},
      {24, true, 8, "8 Dovolenka"}, {9, false, 9, "9 Neplat.voln"}, {25, true, 9, "9 Neplat.voln"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(isDeparture(c.code), c.departure);
    EXPECT_EQ(recordTypeOf(c.code), c.type);
    EXPECT_EQ(recordTypeName(recordTypeOf(c.code)), c.name);
  }
  EXPECT_EQ(recordCode(true, Vacation), 24);
  EXPECT_EQ(recordCode(false, Doctor), 5);
  EXPECT_EQ(recordTypeAbbreviation(6), "Pr");
}

TEST(MinutesToTimeText, Table) {
  const std::pair<int, const char*> cases[] = {{0, ""},        {-5, ""},       {59, "0:59"},
                                               {600, "10:00"}, {65, "1:05"},   {2000, "33:20"},
                                               {1, "0:01"},    {70000, "1166:40"}};
  for (const auto& [m, text] : cases) EXPECT_EQ(MinutesToTimeText(m), text) << m;
}

TEST(TimeTextToMinutes, Table) {
  const std::pair<const char*, int> cases[] = {
      {"8:00", 480}, {" 8 : 30 ", 510}, {"8", 0},       {"8:3", 483},      {"7:75", 495}, {"7:30:00", 0},
      {"", 0},       {":30", 0},        {"8:", 0},      {"-1:00", 0},      {"+2:05", 125}, {"1093:00", 65535},
      {"x:10", 0},   {"1092:15", 65535}, {"0:-5", 0},   {"99999999999999999999:00", 0},
      // Numbers that fit in 64 bits but overflow once turned into minutes.
      {"999999999999999999:00", 65535}, {"-999999999999999999:00", 0}, {"1:9223372036854775807", 65535},
      {"-1:-9223372036854775807", 0},   {"-999999999999999999:9223372036854775807", 0},
      {"153722867280912931:-9223372036854775807", 53},
  };
  for (const auto& [text, m] : cases) EXPECT_EQ(TimeTextToMinutes(text), m) << text;
}

TEST(MinutesBetween, TruncatesTowardZero) {
  const auto t = [](int h, int m, int s) { return DateTime::fromParts(2005, 3, 1, h, m, s); };
  EXPECT_EQ(MinutesBetween(t(10, 0, 59), t(10, 0, 0)), 0);
  EXPECT_EQ(MinutesBetween(t(10, 2, 0), t(10, 0, 30)), 1);
  EXPECT_EQ(MinutesBetween(t(10, 0, 30), t(10, 2, 0)), -1);
  EXPECT_EQ(MinutesBetween(t(10, 0, 0), t(10, 0, 59)), 0);
  EXPECT_EQ(MinutesBetween(DateTime::fromParts(2005, 3, 2), DateTime::fromParts(2005, 3, 1)), 1440);
}

TEST(DaysInMonth, Table) {
  EXPECT_EQ(DaysInMonth(2, 2004), 29);
  EXPECT_EQ(DaysInMonth(2, 2005), 28);
  EXPECT_EQ(DaysInMonth(1, 2005), 31);
  EXPECT_EQ(DaysInMonth(4, 2005), 30);
  EXPECT_EQ(DaysInMonth(12, 2099), 31);
  EXPECT_EQ(DaysInMonth(0, 2005), 0);
  EXPECT_EQ(DaysInMonth(13, 2005), 0);
}

TEST(DayOfWeek, SundayIsOne) {
  EXPECT_EQ(DayOfWeek(2024, 1, 7), 1);   // Sunday
  EXPECT_EQ(DayOfWeek(2024, 1, 1), 2);   // Monday
  EXPECT_EQ(DayOfWeek(2005, 3, 31), 5);  // Thursday
  EXPECT_EQ(DayOfWeek(2024, 2, 29), 5);  // Thursday
  EXPECT_EQ(DayOfWeek(1899, 12, 30), 7); // Saturday
}

TEST(DateTime, DayNumbersAndParts) {
  EXPECT_EQ(DateTime::fromParts(1899, 12, 30).toDayNumber(), 0.0);
  EXPECT_EQ(DateTime::fromParts(1900, 1, 1).toDayNumber(), 2.0);
  const auto t = DateTime::fromParts(2005, 3, 31, 23, 59, 1);
  EXPECT_EQ(t.date(), (CivilDate{2005, 3, 31}));
  EXPECT_EQ(t.hour(), 23);
  EXPECT_EQ(t.minute(), 59);
  EXPECT_EQ(t.second(), 1);
  EXPECT_EQ(DateTime::fromDayNumber(t.toDayNumber()), t);
  EXPECT_EQ(DateTime::fromDayNumber(38442.5).date(), (CivilDate{2005, 3, 31}));
  EXPECT_EQ(DateTime::fromDayNumber(38442.5).hour(), 12);
}

TEST(LogDateTime, FormatAndParse) {
  const struct {
    DateTime t;
    const char* text;
  } cases[] = {
      {DateTime::fromParts(2005, 3, 31, 23, 59, 0), "31.3.2005 23:59:00"},
      {DateTime::fromParts(2005, 3, 1), "1.3.2005"},
      {DateTime::fromParts(2024, 12, 5, 7, 5, 9), "5.12.2024 7:05:09"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatLogDateTime(c.t), c.text);
    EXPECT_EQ(ParseLogDateTime(c.text), c.t) << c.text;
  }
  EXPECT_EQ(ParseLogDateTime("01.03.2005 08:00:00"), DateTime::fromParts(2005, 3, 1, 8));
  EXPECT_EQ(ParseLogDateTime("1. 3. 2005 8:00"), DateTime::fromParts(2005, 3, 1, 8));
  for (const char* bad : {"", "abc", "32.1.2005", "29.2.2005", "1.13.2005", "1.1.2005 24:00:00", "1.1", "1.1.2005 8.30"})
    EXPECT_FALSE(ParseLogDateTime(bad).has_value()) << bad;
}

TEST(ClockTime, ValidAndInvalid) {
  for (const char* ok : {"08:00", "8:00", "8:00:00", " 8 : 00 ", "0", "23:59:59"}) EXPECT_TRUE(ParseClockTime(ok)) << ok;
  for (const char* bad : {"", "25:00", "08:60", "8.30", "8:00:60", "1:2:3:4", "a"}) EXPECT_FALSE(ParseClockTime(bad)) << bad;
  EXPECT_EQ(ParseClockTime("7:30")->minutes(), 450);
  EXPECT_EQ(ClockText(TimeOfDay::fromHm(8, 30)), "08:30");
  EXPECT_EQ(ClockText(DateTime::fromParts(2005, 1, 1, 7, 58, 29)), "07:58");
  EXPECT_EQ(FormatSettingsTime(TimeOfDay::fromHm(8, 30)), "8:30:00");
}

}  // namespace
