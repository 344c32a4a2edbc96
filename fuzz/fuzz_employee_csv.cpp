// The employee table's CSV on arbitrary bytes: reading never fails, and what
// is read is written and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/employee_list.h"
#include "core/text_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  (void)core::CsvRowsFromBytes(input);
  std::string error;
  const auto list = core::EmployeesFromCsv(input, 510, &error);
  if (list.empty() == error.empty()) __builtin_trap();
  for (const auto& e : list) {
    if (core::utf8Length(e.name) > 64 || core::utf8Length(e.department) > 32 || core::utf8Length(e.personalNumber) > 16)
      __builtin_trap();
  }
  // A UTF-8 file may hold characters that Windows-1250 cannot; a Windows-1250
  // file cannot.
  const bool utf8 = input.size() >= 3 && input.substr(0, 3) == "\xEF\xBB\xBF";
  if (!utf8 && !list.empty()) {
    const auto back = core::EmployeesFromCsv(core::EmployeesToCsv(list), 510, &error);
    if (back != list) __builtin_trap();
  }
  return 0;
}
