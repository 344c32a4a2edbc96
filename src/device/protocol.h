#pragma once
// Frames and the exchanges with the terminal. Every function here runs on the
// thread that owns the CommState and blocks until its exchange is over.

#include <functional>
#include <optional>
#include <string>

#include "device/comm_state.h"
#include "device/device_state.h"
#include "device/record_codec.h"

namespace device {

// 0D 0A CMD ARG CK with CMD + ARG + CK = 0xAA (mod 256). No value when CMD or
// ARG is outside 0..255: such a frame is never built.
std::optional<std::string> MakeFrame(int cmd, int arg);

// The acknowledgement the terminal sends after the echo: CMD ARG AA 55.
std::string AckBytes(int cmd, int arg);

// Writes the frame byte by byte and keeps it in SentFrame. On a USB
// connection, where the line returns no echo, SentFrame is put in front of
// what ReceiveBuffer holds. False (nothing sent) for arguments out of range.
bool SendFrame(CommState& comm, int cmd, int arg);

enum class AckResult {
  Acknowledged,
  Stopped,      // StopRequested was set: no message
  GivenUp,      // 7 sendings without an acknowledgement: the caller's message
  BadArgument,  // out of 0..255: nothing was sent
};

// Sends an acknowledged command: pause 50 ms, clear, send, wait 100 ms for
// the exact acknowledgement; at most 7 sendings with 6 waits. `afterSend` is
// called after each sending (progress bars).
AckResult SendAcked(CommState& comm, int cmd, int arg, const std::function<void()>& afterSend = {});

// SendAcked with CMD = index + 32: 0/1 production number low/high byte, 2 lock time.
AckResult SendParameter(CommState& comm, int index, int value);

// Reads the block of 10 records that starts at ring position `position` into
// ReceiveBuffer (echo in front). True when it arrived complete within about
// 550 ms, starts with the echo of the request and its sum byte matches. No
// retries here. A position outside the
// ring, or one whose address does not fit 16 bits, fails without sending.
bool ReadBlock(CommState& comm, const ModelParams& model, int position);

// Length of a complete block reply: echo, 10 records, sum byte.
std::size_t BlockReplySize(const ModelParams& model);

// Antenna on (CMD 13) or off (CMD 14) after four 0x20 bytes; one try.
// `beforeWait` runs between the 100 ms pause and the wait (card tracking shows
// the received bytes there).
bool AntennaCommand(CommState& comm, bool on, const std::function<void()>& beforeWait = {});

// One heartbeat of the main window: reads the reply to the previous request
// (whatever arrived since), updates `state`, clears and sends the next status
// request. Returns whether the reply was usable.
bool StatusTick(CommState& comm, DeviceState& state);

// Sends a status request and waits up to `ms` for a usable reply (a complete
// reply ends the wait at once). For one-shot queries such as the CLI's status.
bool QueryStatus(CommState& comm, DeviceState& state, int ms);

}  // namespace device
