#include <gtest/gtest.h>

#include "core/holiday_calendar.h"
#include "core/messages.h"
#include "support/test_support.h"

using namespace core;
using testing_support::ScriptedOperator;
using testing_support::TempDir;
using testing_support::WriteCp1250;

TEST(ParseHolidayDate, Forms) {
  struct Case {
    const char* text;
    std::optional<CivilDate> date;
  };
  const Case cases[] = {
      {"1.1.1900", CivilDate{1900, 1, 1}},
      {"5.4.2021", CivilDate{2021, 4, 5}},
      {" 24 . 12 ", CivilDate{2026, 12, 24}},
      {"24.12.", CivilDate{2026, 12, 24}},
      {"29.2", std::nullopt},
      {"29.2.2024", CivilDate{2024, 2, 29}},
      {"31.4.2024", std::nullopt},
      {"0.1.2024", std::nullopt},
      {"1.13.2024", std::nullopt},
      {"", std::nullopt},
      {"1/1/2024", std::nullopt},
      {"1.1.2024 x", std::nullopt},
      {"1.1.12345", std::nullopt},
      {"a.b", std::nullopt},
      {"01.05.2024", CivilDate{2024, 5, 1}},
      {"1.1.0", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseHolidayDate(c.text, 2026), c.date) << c.text;
}

TEST(HolidayCalendar, RecurringAndSingleDates) {
  HolidayCalendar cal;
  const MessageCatalogue m;
  std::string message;
  ASSERT_TRUE(cal.loadFromBytes("1.1.1900\r\n5.4.2021\r\n", 2026, m, message));
  EXPECT_EQ(message, "");
  EXPECT_TRUE(cal.isHoliday(2024, 1, 1));
  EXPECT_TRUE(cal.isHoliday(2021, 4, 5));
  EXPECT_FALSE(cal.isHoliday(2022, 4, 5));
  EXPECT_EQ(cal.dayKind(2024, 1, 1), DayKind::Holiday);
  EXPECT_EQ(cal.dayKind(2024, 1, 6), DayKind::Saturday);
  EXPECT_EQ(cal.dayKind(2024, 1, 7), DayKind::Sunday);
  EXPECT_EQ(cal.dayKind(2024, 1, 8), DayKind::WorkingDay);
  EXPECT_EQ(cal.dayKind(2023, 1, 1), DayKind::Holiday);  // a Sunday holiday is a holiday
  EXPECT_TRUE(cal.isFreeDay(2023, 1, 1));
  EXPECT_FALSE(cal.isFreeDay(2024, 1, 8));
  EXPECT_STREQ(DayKindName(DayKind::WorkingDay), "WorkingDay");
  EXPECT_STREQ(DayKindName(DayKind::Holiday), "Holiday");
  EXPECT_STREQ(DayKindName(DayKind::Saturday), "Saturday");
  EXPECT_STREQ(DayKindName(DayKind::Sunday), "Sunday");
}

TEST(HolidayCalendar, CommentsBadLinesAndEmptyLines) {
  const MessageCatalogue m;
  struct Case {
    std::string text;
    std::size_t dates;
    bool ok;
  };
  const Case cases[] = {
      {"; sviatky\r\n1.1.1900 ; Nový rok\r\n6.1.1900\r\n", 1, true},  // ";" anywhere skips the line
      {"1.1.1900\r\n6.1.1900\r\nzlý\r\n1.5.1900\r\n", 2, false},      // stops at the bad line
      {"1.1.1900\r\n\r\n1.5.1900\r\n", 1, false},                     // an empty line ends reading too
      {"1.1.1900\n6.1.1900\n", 2, true},                              // LF only
      {"", 0, true},
  };
  for (const Case& c : cases) {
    HolidayCalendar cal;
    std::string message;
    EXPECT_EQ(cal.loadFromBytes(c.text, 2026, m, message), c.ok) << c.text;
    EXPECT_EQ(cal.dates().size(), c.dates) << c.text;
    EXPECT_EQ(message, c.ok ? "" : "Nesprávny dátum v súbore <sviatky.txt>") << c.text;
  }
}

TEST(HolidayCalendar, AtMost201Dates) {
  std::string text;
  for (int i = 0; i < 205; ++i) text += std::to_string(1 + i % 28) + "." + std::to_string(1 + i / 28) + ".2030\r\n";
  HolidayCalendar cal;
  const MessageCatalogue m;
  std::string message;
  EXPECT_FALSE(cal.loadFromBytes(text, 2026, m, message));
  EXPECT_EQ(cal.dates().size(), 201u);
  EXPECT_NE(message.find("201"), std::string::npos);
  // 201 dates exactly are fine.
  text.clear();
  for (int i = 0; i < 201; ++i) text += "1.1.1900\r\n";
  EXPECT_TRUE(cal.loadFromBytes(text, 2026, m, message));
  EXPECT_EQ(cal.dates().size(), 201u);
}

TEST(HolidayCalendar, MissingFileKeepsThePreviousCalendar) {
  TempDir dir;
  const MessageCatalogue m;
  ScriptedOperator op;
  HolidayCalendar cal;
  WriteCp1250(dir / "sviatky.txt", "1.5.1900\r\n");
  ASSERT_TRUE(cal.load(dir / "sviatky.txt", 2026, m, op));
  EXPECT_TRUE(op.messages.empty());
  std::filesystem::remove(dir / "sviatky.txt");
  EXPECT_FALSE(cal.load(dir / "sviatky.txt", 2026, m, op));
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_EQ(op.messages[0], "Nesprávny dátum v súbore <sviatky.txt>\rPreinštalujte program");
  EXPECT_TRUE(cal.isHoliday(2027, 5, 1));
  // Weekends stay free without any file.
  HolidayCalendar empty;
  EXPECT_FALSE(empty.load(dir / "sviatky.txt", 2026, m, op));
  EXPECT_TRUE(empty.isFreeDay(2026, 12, 12));
  EXPECT_TRUE(empty.isFreeDay(2026, 12, 13));
  EXPECT_FALSE(empty.isFreeDay(2026, 12, 14));
}
