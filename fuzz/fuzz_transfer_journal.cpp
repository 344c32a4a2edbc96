// The transfer journal's reader on arbitrary bytes: it never reads beyond a
// line that is cut off or unsound, so a journal cut anywhere reads as a
// prefix of the whole one (never more logs or checkpoints, never a later
// pointer from a later line), and what follows the first unsound line is
// never read.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "device/transfer_journal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t cut = data[0] * size / 256;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

  const auto whole = device::ParseJournal(input);
  const auto part = device::ParseJournal(input.substr(0, cut < input.size() ? cut : input.size()));
  if (whole) {
    if (whole->productionNumber < 0 || whole->productionNumber > 0xFFFF) __builtin_trap();
    for (const auto& log : whole->logs) {
      if (log.size < -1 || log.path.empty()) __builtin_trap();
    }
  }
  if (part) {
    // The header that the part read is the whole one's too.
    if (!whole || part->productionNumber != whole->productionNumber) __builtin_trap();
    if (part->logs.size() > whole->logs.size() || part->checkpoints > whole->checkpoints) __builtin_trap();
    for (std::size_t i = 0; i < part->logs.size(); ++i) {
      if (part->logs[i].path != whole->logs[i].path) __builtin_trap();
    }
  }
  // A line that does not check out ends the reading: what follows is ignored.
  if (whole && (input.empty() || input.back() == '\n')) {
    const std::string tail = std::string(input) + "00000000 ok\t1\r\n";
    const auto more = device::ParseJournal(tail);
    if (!more || more->checkpoints != whole->checkpoints || more->logs.size() != whole->logs.size())
      __builtin_trap();
  }
  return 0;
}
