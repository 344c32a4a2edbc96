// prac.txt on arbitrary bytes: the reader never fails, keeps the field
// limits, and a list that can be stored reads back unchanged.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/employee_list.h"
#include "core/text_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const int norma = size > 0 ? data[0] * 4 : 510;
  core::EmployeeList list;
  const int result = list.readFromBytes(input, norma);
  if ((result == 1) != !list.empty()) __builtin_trap();
  if (list.size() > 65535) __builtin_trap();
  bool storable = true;
  for (const auto& e : list.employees()) {
    if (core::utf8Length(e.name) > 64 || core::utf8Length(e.department) > 32 || core::utf8Length(e.personalNumber) > 16)
      __builtin_trap();
    if (e.workloadMinutes != core::WorkloadToMinutes(e.workload, norma)) __builtin_trap();
    if (!core::EmployeeFieldProblem(e).empty()) storable = false;
  }
  (void)list.nameOfCard(0);
  if (storable) {
    core::EmployeeList back;
    back.readFromBytes(list.toBytes(), norma);
    if (back.employees() != list.employees()) __builtin_trap();
  }
  return 0;
}
