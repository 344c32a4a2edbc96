#include "device/record_codec.h"

#include <cstdio>

#include "core/record_types.h"

namespace device {
namespace {

constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool deviceLeapYear(int year) { return year % 4 == 0; }

int deviceMonthDays(int month, int year) { return month == 2 && deviceLeapYear(year) ? 29 : kMonthDays[month - 1]; }

int deviceYearDays(int year) { return deviceLeapYear(year) ? 366 : 365; }

std::uint8_t byteAt(std::string_view s, std::size_t i) { return static_cast<std::uint8_t>(s[i]); }

}  // namespace

std::optional<ModelParams> ModelFromCode(int code) {
  if (code == static_cast<int>(Model::Dallas)) return kDallasParams;
  if (code == static_cast<int>(Model::Rfid)) return kRfidParams;
  return std::nullopt;
}

core::CivilDate DayNumberToDate(int dayNumber) {
  int rest = dayNumber < 0 ? 0 : (dayNumber > 65535 ? 65535 : dayNumber);
  int year = 2000;
  while (rest >= deviceYearDays(year)) {
    rest -= deviceYearDays(year);
    ++year;
  }
  int month = 1;
  while (rest >= deviceMonthDays(month, year)) {
    rest -= deviceMonthDays(month, year);
    ++month;
  }
  return core::CivilDate{year, month, rest + 1};
}

std::optional<int> DateToDayNumber(const core::CivilDate& date) {
  if (date.year < 2000 || date.year > 2200 || date.month < 1 || date.month > 12) return std::nullopt;
  if (date.day < 1 || date.day > deviceMonthDays(date.month, date.year)) return std::nullopt;
  long days = 0;
  for (int y = 2000; y < date.year; ++y) days += deviceYearDays(y);
  for (int m = 1; m < date.month; ++m) days += deviceMonthDays(m, date.year);
  days += date.day - 1;
  if (days > 65535) return std::nullopt;
  return static_cast<int>(days);
}

std::optional<core::AttendanceRecord> DecodeRecord(std::string_view bytes, const ModelParams& model, int CHGINOUT) {
  if (model.recordSize == 0 || bytes.size() != static_cast<std::size_t>(model.recordSize)) return std::nullopt;
  const int minute = byteAt(bytes, 0);
  const int hour = byteAt(bytes, 1) & 0x7F;
  if (minute > 59 || hour > 23) return std::nullopt;
  const int dayNumber = byteAt(bytes, 2) | (byteAt(bytes, 3) << 8);
  core::AttendanceRecord r;
  const core::CivilDate d = DayNumberToDate(dayNumber);
  r.time = core::DateTime::fromParts(d.year, d.month, d.day, hour, minute, 0);
  if (model.model == Model::Dallas) {
    bool departure = (byteAt(bytes, 1) & 0x80) != 0;
    if (CHGINOUT >= 1) departure = !departure;
    r.code = departure ? 16 : 0;
    r.card = static_cast<std::uint16_t>(byteAt(bytes, 4) | (byteAt(bytes, 5) << 8));
  } else {
    r.code = byteAt(bytes, 4);
    r.card = static_cast<std::uint16_t>(byteAt(bytes, 5) | (byteAt(bytes, 6) << 8));
  }
  return r;
}

std::string EncodeRecord(const core::AttendanceRecord& record, const ModelParams& model, int CHGINOUT) {
  const core::CivilDate d = record.time.date();
  const int day = DateToDayNumber(d).value_or(0);
  std::string out;
  out.push_back(static_cast<char>(record.time.minute()));
  int hourByte = record.time.hour();
  if (model.model == Model::Dallas) {
    bool bit = core::isDeparture(record.code);
    if (CHGINOUT >= 1) bit = !bit;
    if (bit) hourByte |= 0x80;
  }
  out.push_back(static_cast<char>(hourByte));
  out.push_back(static_cast<char>(day & 0xFF));
  out.push_back(static_cast<char>(day >> 8));
  if (model.model == Model::Rfid) out.push_back(static_cast<char>(record.code & 0xFF));
  out.push_back(static_cast<char>(record.card & 0xFF));
  out.push_back(static_cast<char>(record.card >> 8));
  return out;
}

std::string ShortDateText(const core::CivilDate& date) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d.%d.%04d", date.day, date.month, date.year);
  return buf;
}

std::string LongTimeText(int hour, int minute, int second) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d:%02d:%02d", hour, minute, second);
  return buf;
}

std::string ShortDateLongTimeText(core::DateTime t) {
  return ShortDateText(t.date()) + " " + LongTimeText(t.hour(), t.minute(), t.second());
}

}  // namespace device
