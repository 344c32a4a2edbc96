#pragma once
// The terminal's settings and the card reading: clock, lock time, battery
// threshold, "Bat_LO", production number, reading a presented card.
//
// Questions to the operator (the clock confirmation, the service password,
// the new production number) are asked by the caller before these run; the
// results say which message, if any, the caller shows.

#include <functional>
#include <optional>
#include <string>

#include "core/time_values.h"
#include "device/comm_state.h"
#include "device/progress.h"
#include "device/protocol.h"

namespace device {

enum class CommandResult {
  Done,
  Stopped,           // StopRequested: ends silently
  NotCommunicating,  // the terminal did not acknowledge: the caller's message
  BadArgument,       // a value outside the wire's range: nothing was sent
};

// Sets the terminal's clock from `now` (asked again for the date after the
// three time commands, as the PC's date may have changed meanwhile). Progress
// window "Komunikácia...", label "Odosielam čas", bar 20/40/60/80/90.
// NotCommunicating: show "Prístroj nekomunikuje, prekontrolujte pripojenie,
// nastavte správny COM port". A date the terminal cannot hold is BadArgument.
CommandResult SetDeviceClock(CommState& comm, Progress& progress,
                             const std::function<core::DateTime()>& now = core::Now);

// The settings dialog's "Odoslať": the lock time (0..20 s), then, only when
// it was acknowledged and `batteryThreshold` is given (the field was edited),
// the threshold (0..255). Nothing out of range is sent.
struct ParameterResult {
  CommandResult lockTime = CommandResult::Done;
  // No value when the threshold was not sent. NotCommunicating: "Nepotvrdil".
  std::optional<CommandResult> threshold;
};
ParameterResult SendLockTimeAndThreshold(CommState& comm, Progress& progress, int lockTime,
                                         std::optional<int> batteryThreshold);

// The "Bat_LO" label: CMD 16, ARG 1. NotCommunicating: "Nepotvrdil".
CommandResult SendBatLo(CommState& comm);

// The service password of the production-number write.
bool IsServicePassword(const std::string& answer);

// Writes a production number 0..65535: low byte, then, only when that was
// acknowledged, the high byte. No message either way.
CommandResult WriteProductionNumber(CommState& comm, Progress& progress, long long number);

struct CardReadResult {
  enum class Outcome { Read, Stopped, NotCommunicating, TimedOut };
  Outcome outcome = Outcome::Stopped;
  int number = 0;  // when Read
};

// Reads the number of a card presented to a VORT RFID terminal: antenna on
// (up to 11 tries), status polls every 500 ms until a card report or
// StopRequested (or, when `timeoutMs` is given, until it passes), antenna
// off. NotCommunicating: show "VORTANE nekomunikuje". After a stop or time-out
// the antenna-off command is still sent once.
CardReadResult ReadCard(CommState& comm, Progress& progress, std::optional<int> timeoutMs = std::nullopt);

}  // namespace device
