#include "device/terminal_commands.h"

#include "device/record_codec.h"

namespace device {
namespace {

CommandResult fromAck(AckResult r) {
  switch (r) {
    case AckResult::Acknowledged:
      return CommandResult::Done;
    case AckResult::Stopped:
      return CommandResult::Stopped;
    case AckResult::GivenUp:
      return CommandResult::NotCommunicating;
    case AckResult::BadArgument:
      return CommandResult::BadArgument;
  }
  return CommandResult::NotCommunicating;
}

// Antenna on or off with the card reader's retry rule: until acknowledged or
// stopped, at most 11 failures, 500 ms apart.
CommandResult antennaWithRetries(CommState& comm, Progress& progress, bool on) {
  int failures = 0;
  for (;;) {
    if (AntennaCommand(comm, on)) return CommandResult::Done;
    if (comm.StopRequested.load()) return CommandResult::Stopped;
    progress.setBar(failures, 10);
    ++failures;
    if (failures >= 11) return CommandResult::NotCommunicating;
    comm.Pause(500);
  }
}

}  // namespace

CommandResult SetDeviceClock(CommState& comm, Progress& progress, const std::function<core::DateTime()>& now) {
  comm.StopRequested = false;
  progress.show("Komunikácia...");
  progress.setLabel("Odosielam čas");
  progress.setBar(0, 100);
  const core::DateTime timeOfDay = now();
  struct Step {
    int cmd;
    int arg;
    int bar;
  };
  const Step timeSteps[] = {{22, timeOfDay.second(), 20}, {23, timeOfDay.minute(), 40}, {24, timeOfDay.hour(), 60}};
  CommandResult result = CommandResult::Done;
  for (const Step& s : timeSteps) {
    result = fromAck(SendAcked(comm, s.cmd, s.arg, [&] { progress.setBar(s.bar, 100); }));
    if (result != CommandResult::Done) break;
  }
  if (result == CommandResult::Done) {
    const auto day = DateToDayNumber(now().date());
    if (!day) {
      result = CommandResult::BadArgument;
    } else {
      const Step dateSteps[] = {{25, *day % 256, 80}, {26, *day / 256, 90}};
      for (const Step& s : dateSteps) {
        result = fromAck(SendAcked(comm, s.cmd, s.arg, [&] { progress.setBar(s.bar, 100); }));
        if (result != CommandResult::Done) break;
      }
    }
  }
  progress.hide();
  return result;
}

ParameterResult SendLockTimeAndThreshold(CommState& comm, Progress& progress, int lockTime,
                                         std::optional<int> batteryThreshold) {
  ParameterResult r;
  progress.show("Odosielam...");
  progress.setLabel("");
  progress.setBar(0, 100);
  if (lockTime < 0 || lockTime > 20) {
    r.lockTime = CommandResult::BadArgument;
  } else {
    r.lockTime = fromAck(SendParameter(comm, 2, lockTime));
  }
  if (r.lockTime == CommandResult::Done && batteryThreshold) {
    progress.setLabel("BATLO");
    if (*batteryThreshold < 0 || *batteryThreshold > 255) {
      r.threshold = CommandResult::BadArgument;
    } else {
      r.threshold = fromAck(SendAcked(comm, 15, *batteryThreshold, [&] { progress.setBar(20, 100); }));
    }
  }
  progress.hide();
  return r;
}

CommandResult SendBatLo(CommState& comm) { return fromAck(SendAcked(comm, 16, 1)); }

bool IsServicePassword(const std::string& answer) { return answer == "517402"; }

CommandResult WriteProductionNumber(CommState& comm, Progress& progress, long long number) {
  if (number < 0 || number > 65535) return CommandResult::BadArgument;
  progress.show("Odosielam...");
  CommandResult r = fromAck(SendParameter(comm, 0, static_cast<int>(number % 256)));
  if (r == CommandResult::Done) r = fromAck(SendParameter(comm, 1, static_cast<int>(number / 256)));
  progress.hide();
  return r;
}

CardReadResult ReadCard(CommState& comm, Progress& progress, std::optional<int> timeoutMs) {
  CardReadResult result;
  comm.StopRequested = false;
  progress.show("Komunikácia");
  progress.setBar(0, 10);
  progress.setLabel("Zapínam Anténu VORTANE");
  const CommandResult on = antennaWithRetries(comm, progress, true);
  if (on == CommandResult::NotCommunicating) {
    progress.hide();
    result.outcome = CardReadResult::Outcome::NotCommunicating;
    return result;
  }
  if (on == CommandResult::Stopped) {
    // The antenna may have been switched on by a command whose answer was
    // lost: one off command, as after a cancelled wait.
    AntennaCommand(comm, false);
    progress.hide();
    result.outcome = CardReadResult::Outcome::Stopped;
    return result;
  }

  progress.setLabel("Priložte kartu na VORTANE\r\n a stlacte tlacidlo Prichod");
  comm.Pause(200);
  const TimePoint deadline = comm.now() + std::chrono::milliseconds(timeoutMs.value_or(0));
  bool read = false;
  bool timedOut = false;
  while (!comm.StopRequested.load()) {
    comm.ClearReceiveBuffer();
    SendFrame(comm, kStatusCmd, kStatusArg);
    comm.Pause(500);
    const std::string& b = comm.ReceiveBuffer;
    if (b.size() >= kStatusReplySize && static_cast<std::uint8_t>(b[5]) == static_cast<int>(Model::Rfid) &&
        b[26] == 0) {
      result.number = static_cast<std::uint8_t>(b[27]) + 256 * static_cast<std::uint8_t>(b[28]);
      read = true;
      break;
    }
    if (timeoutMs && comm.now() >= deadline) {
      timedOut = true;
      break;
    }
  }

  progress.setLabel("Vypínam Anténu VORTANE");
  progress.setBar(0, 10);
  if (!read) {
    // Cancelled or timed out: one antenna-off command, without retries.
    AntennaCommand(comm, false);
    progress.hide();
    result.outcome = timedOut ? CardReadResult::Outcome::TimedOut : CardReadResult::Outcome::Stopped;
    return result;
  }
  const CommandResult off = antennaWithRetries(comm, progress, false);
  progress.hide();
  if (off == CommandResult::NotCommunicating) {
    result.outcome = CardReadResult::Outcome::NotCommunicating;
  } else if (off == CommandResult::Stopped) {
    result.outcome = CardReadResult::Outcome::Stopped;
  } else {
    result.outcome = CardReadResult::Outcome::Read;
  }
  return result;
}

}  // namespace device
