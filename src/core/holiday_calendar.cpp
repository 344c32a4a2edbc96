#include "core/holiday_calendar.h"

#include "core/atomic_file.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/text_codec.h"
#include "core/text_util.h"

namespace core {
namespace {

constexpr const char* kTooManyDates = "V súbore <sviatky.txt> je viac ako 201 dátumov, ďalšie sa nepoužijú";

std::optional<int> number(std::string_view text, int maxDigits) {
  const auto t = trim(text);
  if (t.empty() || static_cast<int>(t.size()) > maxDigits) return std::nullopt;
  for (char c : t) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  return static_cast<int>(*parseDecimal(t));
}

}  // namespace

const char* DayKindName(DayKind k) {
  switch (k) {
    case DayKind::WorkingDay:
      return "WorkingDay";
    case DayKind::Holiday:
      return "Holiday";
    case DayKind::Saturday:
      return "Saturday";
    case DayKind::Sunday:
      return "Sunday";
  }
  return "WorkingDay";
}

std::optional<CivilDate> ParseHolidayDate(std::string_view text, int currentYear) {
  text = trim(text);
  const auto dot1 = text.find('.');
  if (dot1 == std::string_view::npos) return std::nullopt;
  const auto dot2 = text.find('.', dot1 + 1);
  const auto day = number(text.substr(0, dot1), 2);
  const auto month =
      number(text.substr(dot1 + 1, dot2 == std::string_view::npos ? std::string_view::npos : dot2 - dot1 - 1), 2);
  if (!day || !month) return std::nullopt;
  int year = currentYear;
  if (dot2 != std::string_view::npos) {
    const auto yearText = trim(text.substr(dot2 + 1));
    // "24.12." is the same as "24.12".
    if (!yearText.empty()) {
      const auto y = number(yearText, 4);
      if (!y || *y < 1) return std::nullopt;
      year = *y;
    }
  }
  if (*month < 1 || *month > 12) return std::nullopt;
  if (*day < 1 || *day > DaysInMonth(*month, year)) return std::nullopt;
  return CivilDate{year, *month, *day};
}

bool HolidayCalendar::load(const std::filesystem::path& file, int currentYear, const MessageCatalogue& messages,
                           Operator& op) {
  std::error_code ec;
  std::string bytes;
  if (!std::filesystem::is_regular_file(file, ec) || !ReadWholeFile(file, bytes)) {
    op.showMessage(messages.message(msg::BadHolidayDate) + "\r" + messages.message(msg::Reinstall));
    return false;
  }
  std::string message;
  const bool ok = loadFromBytes(bytes, currentYear, messages, message);
  if (!message.empty()) op.showMessage(message);
  return ok;
}

bool HolidayCalendar::loadFromBytes(std::string_view bytes, int currentYear, const MessageCatalogue& messages,
                                    std::string& message) {
  message.clear();
  m_dates.clear();
  const std::string text = Cp1250ToUtf8(bytes);
  for (std::string_view line : splitLines(text)) {
    if (line.find(';') != std::string_view::npos) continue;
    const auto date = ParseHolidayDate(line, currentYear);
    if (!date) {
      message = messages.message(msg::BadHolidayDate);
      return false;
    }
    if (static_cast<int>(m_dates.size()) >= kMaxDates) {
      message = kTooManyDates;
      return false;
    }
    m_dates.push_back(*date);
  }
  return true;
}

bool HolidayCalendar::isHoliday(int year, int month, int day) const {
  for (const auto& d : m_dates) {
    if (d.month == month && d.day == day && (d.year < 2000 || d.year == year)) return true;
  }
  return false;
}

bool HolidayCalendar::isFreeDay(int year, int month, int day) const {
  return dayKind(year, month, day) != DayKind::WorkingDay;
}

DayKind HolidayCalendar::dayKind(int year, int month, int day) const {
  if (isHoliday(year, month, day)) return DayKind::Holiday;
  const int wd = DayOfWeek(year, month, day);
  if (wd == 7) return DayKind::Saturday;
  if (wd == 1) return DayKind::Sunday;
  return DayKind::WorkingDay;
}

}  // namespace core
