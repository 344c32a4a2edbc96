#pragma once
// Date-times, times of day and the duration texts every part of the program
// shares. All text here is UTF-8 (in fact plain ASCII).

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

struct CivilDate {
  int year = 1899;
  int month = 12;
  int day = 30;
  auto operator<=>(const CivilDate&) const = default;
};

// A point in time to the second, counted from 30 December 1899 00:00:00 (the
// epoch of the day numbers stored in the presence file). Zero doubles as
// "no time" where the log lists use it as a sentinel.
struct DateTime {
  std::int64_t secs = 0;

  auto operator<=>(const DateTime&) const = default;

  static DateTime fromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
  static DateTime fromDate(const CivilDate& d) { return fromParts(d.year, d.month, d.day); }
  // Day number with the time of day as fraction (1 minute = 1/1440), rounded
  // to the nearest second.
  static DateTime fromDayNumber(double dayNumber);

  double toDayNumber() const;
  CivilDate date() const;
  std::int64_t dayIndex() const;  // whole days since the epoch (floor)
  int secondOfDay() const;        // 0..86399
  int hour() const { return secondOfDay() / 3600; }
  int minute() const { return secondOfDay() / 60 % 60; }
  int second() const { return secondOfDay() % 60; }
  DateTime addSeconds(std::int64_t s) const { return DateTime{secs + s}; }
};

// A time of day as held by the settings (startPD, normaPD, ...), to the second.
struct TimeOfDay {
  int seconds = 0;  // 0..86399
  auto operator<=>(const TimeOfDay&) const = default;
  static constexpr TimeOfDay fromHm(int h, int m, int s = 0) { return TimeOfDay{h * 3600 + m * 60 + s}; }
  constexpr int minutes() const { return seconds / 60; }  // hours * 60 + minutes
};

// "h:mm" duration text: hours without leading zero, minutes as two digits.
// Zero and negative minutes give the empty text. 2000 -> "33:20".
std::string MinutesToTimeText(std::int64_t minutes);

// Reads "h:mm" (blanks around both numbers allowed, optional sign, minutes not
// limited to 59). Anything malformed gives 0. The result is clamped to 0..65535.
int TimeTextToMinutes(std::string_view text);

// Signed whole minutes from b to a, truncated toward zero.
std::int32_t MinutesBetween(DateTime a, DateTime b);

// 28..31; February has 29 days in years divisible by 4. Month outside 1..12: 0.
int DaysInMonth(int month, int year);

// 1 = Sunday, 2 = Monday, ..., 7 = Saturday.
int DayOfWeek(int year, int month, int day);
inline int DayOfWeek(const CivilDate& d) { return DayOfWeek(d.year, d.month, d.day); }

// Clock text "hh:nn" of a date-time or a time of day (08:30).
std::string ClockText(DateTime t);
std::string ClockText(TimeOfDay t);

// Date-time text of the month logs: "d.M.yyyy H:mm:ss", and only "d.M.yyyy" at
// exactly midnight.
std::string FormatLogDateTime(DateTime t);

// Reads a log date-time: "d.M.yyyy[ H:mm[:ss]]", leading zeros and blanks after
// the dots accepted. Empty optional when the text is not a valid date-time.
std::optional<DateTime> ParseLogDateTime(std::string_view text);

// A clock time "H[:MM[:SS]]" with blanks around the numbers; hours 0..23,
// minutes and seconds 0..59. Empty text or other characters: no value.
std::optional<TimeOfDay> ParseClockTime(std::string_view text);

// "H:mm:ss", the form in which times are written to the settings file.
std::string FormatSettingsTime(TimeOfDay t);

// Today's date and the current time from the system clock (local time).
DateTime Now();

}  // namespace core
