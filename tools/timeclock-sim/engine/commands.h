#pragma once
// The operator commands of the simulator (stdin and script files), kept in the
// engine so that tests can run them without a pseudo-terminal.
//
//   add CARD [in|out] [TYPE]   registration stamped with the terminal's clock
//   card CARD [REPLIES]        present an identifier (reported in the next REPLIES status replies)
//   clock [d.M.yyyy H:mm:ss]   show or set the terminal's clock
//   ptr [N]                    show or set the ring pointer
//   dump [N]                   list the ring (or its N newest records), oldest first
//   prefill N [START]          N generated records starting at ring position START (default: PTR)
//   full                       every ring position holds a record; PTR stays where it is
//   battery LEVEL              battery level (VORT RFID reports it below the threshold)
//   production N               production number
//   status                     what the terminal would report now
//   disconnect | reconnect     stop / resume answering on the line
//   auto SECONDS               (program) a registration of a random card every SECONDS, 0 stops
//   sleep SECONDS              (scripts) wait before the next line
//   quit                       end the program
// Blank lines and lines starting with "#" are ignored.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/terminal.h"

namespace timeclock {

struct CommandOutcome {
  bool ok = true;
  std::string text;  // lines to print, each ending in "\n"; an error line starts with "error: "
  bool quit = false;
  std::optional<double> autoSeconds;
  std::optional<double> sleepSeconds;
};

CommandOutcome ExecuteCommand(Terminal& terminal, std::string_view line, std::span<const std::uint16_t> cards);

// "d.M.yyyy H:mm" line of one record for "dump".
std::string DescribeRegistration(const Registration& r);

// Comma-separated card numbers 0..65535; empty when any of them is not one.
std::optional<std::vector<std::uint16_t>> ParseCardList(std::string_view text);

}  // namespace timeclock
