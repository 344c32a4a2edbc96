// kluce.txt (an older program's list) on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/employee_list.h"
#include "core/text_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  core::EmployeeList list;
  list.employees().push_back(core::Employee{"before", "", 1, "", false, false, "100", 510, 0});
  const int n = list.importKluceFromBytes(input, 510);
  if (n < 0 || n > 65535) __builtin_trap();
  if (n == 0 && (list.size() != 1 || list.employees()[0].name != "before")) __builtin_trap();
  if (n > 0 && list.size() != static_cast<std::size_t>(n)) __builtin_trap();
  for (const auto& e : list.employees()) {
    if (core::utf8Length(e.name) > 64 || e.name.find('\t') != std::string::npos) __builtin_trap();
  }
  return 0;
}
