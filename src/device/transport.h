#pragma once
// The byte pipe to the terminal and the clock that times the waits on it.
//
// The protocol code never talks to a serial port directly: it writes bytes to a
// Transport and reads what arrives within a time limit. The desktop program and
// the command-line tool use the serial port transport (device/qt); tests use an
// in-process terminal emulation with a clock they can move.
//
// A Transport is used by one thread at a time (the device worker thread owns it).

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace device {

using SteadyClock = std::chrono::steady_clock;
using TimePoint = SteadyClock::time_point;
using Micros = std::chrono::microseconds;

// Source of "now" for every deadline of the link. The waits themselves block in
// Transport::read, so a test clock only has to advance when the test transport
// says time has passed.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual TimePoint now() const = 0;
};

// std::chrono::steady_clock.
class SystemClock final : public Clock {
 public:
  TimePoint now() const override { return SteadyClock::now(); }
  static SystemClock& instance();
};

class Transport {
 public:
  virtual ~Transport() = default;

  // True while the port is open. A closed transport writes nothing and reads
  // nothing, but read() still waits out its time limit.
  virtual bool isOpen() const = 0;

  // Writes the bytes in order. False when not all of them could be written
  // within the output time-out (the rest is dropped; the exchange then fails by
  // its own time-out).
  virtual bool write(std::string_view bytes) = 0;

  // Appends to `out` the bytes that have arrived. When none are waiting, blocks
  // until the first ones arrive or `maxWait` has passed, and returns as soon as
  // there are some (it must not hold bytes back to collect more). Returns the
  // number of bytes appended; 0 means `maxWait` passed without any (it never
  // returns 0 earlier, so a caller can wait by reading). maxWait 0 only takes
  // what is already there.
  virtual std::size_t read(std::string& out, Micros maxWait) = 0;

  // The clock that read() waits on. Deadlines of the link are taken from it.
  virtual const Clock& clock() const { return SystemClock::instance(); }
};

}  // namespace device
