// sviatky.txt on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/holiday_calendar.h"
#include "core/messages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const core::MessageCatalogue messages;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  core::HolidayCalendar cal;
  std::string message;
  const bool ok = cal.loadFromBytes(input, 2026, messages, message);
  if (ok != message.empty()) __builtin_trap();
  if (cal.dates().size() > core::HolidayCalendar::kMaxDates) __builtin_trap();
  for (const auto& d : cal.dates()) {
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > core::DaysInMonth(d.month, d.year)) __builtin_trap();
    if (!cal.isHoliday(d.year, d.month, d.day)) __builtin_trap();
  }
  const int month = size > 0 ? 1 + data[size - 1] % 12 : 1;
  for (int day = 1; day <= core::DaysInMonth(month, 2024); ++day) {
    if (cal.isHoliday(2024, month, day) && cal.dayKind(2024, month, day) != core::DayKind::Holiday) __builtin_trap();
  }
  return 0;
}
