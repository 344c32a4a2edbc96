// The month-log readers on arbitrary bytes: the one-employee reader agrees
// with the whole-month reader, and every record read formats to a line that
// reads back as the same record.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/month_log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const auto card = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
  const std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);

  core::LogEntries mine;
  core::MonthLog::ParseEmployee(input, card, mine);
  std::vector<core::AttendanceRecord> all;
  core::MonthLog::ParseAll(input, all);
  if (mine.times.size() != mine.codes.size()) __builtin_trap();

  std::size_t k = 0;
  for (const auto& r : all) {
    if (r.card == card) {
      if (k >= mine.times.size() || mine.times[k] != r.time || mine.codes[k] != r.code) __builtin_trap();
      ++k;
    }
    std::vector<core::AttendanceRecord> back;
    core::MonthLog::ParseAll(core::MonthLog::FormatLine(r) + "\r\n", back);
    if (back.size() != 1 || back[0] != r) __builtin_trap();
  }
  if (k != mine.times.size()) __builtin_trap();
  return 0;
}
