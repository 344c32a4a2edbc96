#include "core/time_values.h"

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "core/platform.h"
#include "core/text_util.h"

namespace core {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// Days from 1970-01-01 back to 1899-12-30.
constexpr std::int64_t kUnixEpochDay = 25569;

// Proleptic Gregorian day count relative to 1970-01-01.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

CivilDate civilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return CivilDate{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// Parses an unsigned decimal number with blanks around it; -1 when it is not one.
long long parseField(std::string_view s, int maxDigits) {
  s = trim(s);
  if (s.empty() || static_cast<int>(s.size()) > maxDigits) return -1;
  long long v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

}  // namespace

DateTime DateTime::fromParts(int year, int month, int day, int hour, int minute, int second) {
  const std::int64_t days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kUnixEpochDay;
  return DateTime{days * kSecondsPerDay + hour * 3600LL + minute * 60LL + second};
}

DateTime DateTime::fromDayNumber(double dayNumber) {
  if (!std::isfinite(dayNumber) || std::fabs(dayNumber) > 3.0e6) return DateTime{};
  return DateTime{static_cast<std::int64_t>(std::llround(dayNumber * kSecondsPerDay))};
}

double DateTime::toDayNumber() const { return static_cast<double>(secs) / kSecondsPerDay; }

std::int64_t DateTime::dayIndex() const { return floorDiv(secs, kSecondsPerDay); }

CivilDate DateTime::date() const { return civilFromDays(dayIndex() - kUnixEpochDay); }

int DateTime::secondOfDay() const { return static_cast<int>(secs - dayIndex() * kSecondsPerDay); }

std::string MinutesToTimeText(std::int64_t minutes) {
  if (minutes <= 0) return {};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%lld:%2.2lld", static_cast<long long>(minutes / 60),
                static_cast<long long>(minutes % 60));
  return buf;
}

int TimeTextToMinutes(std::string_view text) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos) return 0;
  const auto hours = parseDecimal(trim(text.substr(0, colon)));
  const auto mins = parseDecimal(trim(text.substr(colon + 1)));
  if (!hours || !mins) return 0;
  // Both numbers may be as large as 64 bits hold; the minutes are counted
  // without overflow before they are clamped.
  __extension__ typedef __int128 Wide;
  const Wide total = static_cast<Wide>(*hours) * 60 + *mins;
  if (total < 0) return 0;
  if (total > 65535) return 65535;
  return static_cast<int>(total);
}

std::int32_t MinutesBetween(DateTime a, DateTime b) {
  const std::int64_t diff = (a.secs - b.secs) / 60;  // truncates toward zero
  if (diff > INT32_MAX) return INT32_MAX;
  if (diff < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(diff);
}

int DaysInMonth(int month, int year) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && year % 4 == 0) return 29;
  return kDays[month - 1];
}

int DayOfWeek(int year, int month, int day) {
  const std::int64_t days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
  // 1970-01-01 was a Thursday (5 in the Sunday = 1 numbering).
  return static_cast<int>(((days % 7) + 7 + 4) % 7) + 1;
}

std::string ClockText(DateTime t) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d", t.hour(), t.minute());
  return buf;
}

std::string ClockText(TimeOfDay t) {
  const int s = ((t.seconds % 86400) + 86400) % 86400;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d", s / 3600, s / 60 % 60);
  return buf;
}

std::string FormatLogDateTime(DateTime t) {
  const CivilDate d = t.date();
  char buf[64];
  if (t.secondOfDay() == 0) {
    std::snprintf(buf, sizeof buf, "%d.%d.%04d", d.day, d.month, d.year);
  } else {
    std::snprintf(buf, sizeof buf, "%d.%d.%04d %d:%02d:%02d", d.day, d.month, d.year, t.hour(), t.minute(),
                  t.second());
  }
  return buf;
}

std::optional<DateTime> ParseLogDateTime(std::string_view text) {
  text = trim(text);
  if (text.empty() || text.size() > 64) return std::nullopt;
  const auto dot1 = text.find('.');
  if (dot1 == std::string_view::npos) return std::nullopt;
  const auto dot2 = text.find('.', dot1 + 1);
  if (dot2 == std::string_view::npos) return std::nullopt;
  const long long day = parseField(text.substr(0, dot1), 2);
  const long long month = parseField(text.substr(dot1 + 1, dot2 - dot1 - 1), 2);
  std::string_view rest = text.substr(dot2 + 1);
  // Skip blanks after the second dot, then the year runs to the next blank.
  std::size_t i = 0;
  while (i < rest.size() && rest[i] == ' ') ++i;
  std::size_t j = i;
  while (j < rest.size() && rest[j] != ' ') ++j;
  const long long year = parseField(rest.substr(i, j - i), 4);
  if (day < 1 || month < 1 || month > 12 || year < 1 || day > DaysInMonth(static_cast<int>(month), static_cast<int>(year)))
    return std::nullopt;
  // Years before 1900 are not real registrations; the leap rule is exact only within 1901..2099.
  if (year < 1900 || year > 2999) return std::nullopt;
  if (month == 2 && day == 29 && (year % 100 == 0 && year % 400 != 0)) return std::nullopt;
  std::string_view timePart = trim(rest.substr(j));
  int h = 0, m = 0, s = 0;
  if (!timePart.empty()) {
    const auto t = ParseClockTime(timePart);
    if (!t) return std::nullopt;
    h = t->seconds / 3600;
    m = t->seconds / 60 % 60;
    s = t->seconds % 60;
  }
  return DateTime::fromParts(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day), h, m, s);
}

std::optional<TimeOfDay> ParseClockTime(std::string_view text) {
  if (trim(text).empty() || text.size() > 64) return std::nullopt;
  long long parts[3] = {0, 0, 0};
  int count = 0;
  std::size_t start = 0;
  while (true) {
    const auto colon = text.find(':', start);
    const auto piece = text.substr(start, colon == std::string_view::npos ? std::string_view::npos : colon - start);
    if (count == 3) return std::nullopt;
    const long long v = parseField(piece, 4);
    if (v < 0) return std::nullopt;
    parts[count++] = v;
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
  return TimeOfDay::fromHm(static_cast<int>(parts[0]), static_cast<int>(parts[1]), static_cast<int>(parts[2]));
}

std::string FormatSettingsTime(TimeOfDay t) {
  const int s = ((t.seconds % 86400) + 86400) % 86400;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
  return buf;
}

DateTime Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (!platform::LocalTime(now, local)) return DateTime::fromParts(1899, 12, 30, 0, 0, 0);
  return DateTime::fromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                             local.tm_sec);
}

}  // namespace core
