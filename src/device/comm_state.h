#pragma once
// The communication state of the link: what has been received since the last
// command cleared it, the last frame sent, the reply the current command waits
// for, and the operator's stop request; with the two waits every exchange is
// built from.
//
// One CommState per terminal link, used by the device worker thread only;
// StopRequested is the one member another thread may touch (the cancel button
// sets it while an exchange runs).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "device/transport.h"

namespace device {

// Connection type of the terminal (setting `type`).
enum class ConnectionType : int { Portable = 0, Fixed = 1, Usb = 2 };

// The type from the settings value; anything but 1 and 2 behaves as the
// portable unit (the line echoes what is sent).
ConnectionType ConnectionTypeFromSetting(int type);

class CommState {
 public:
  // More than this many bytes in ReceiveBuffer cannot be any reply: a flood of
  // noise is cut here instead of growing without end.
  static constexpr std::size_t kReceiveLimit = 4096;

  CommState(Transport& transport, ConnectionType type);
  CommState(const CommState&) = delete;
  CommState& operator=(const CommState&) = delete;

  Transport& transport() { return *m_transport; }
  // The port may be reopened with another transport (settings changed).
  void setTransport(Transport& transport) { m_transport = &transport; }
  ConnectionType connectionType() const { return m_type; }
  void setConnectionType(ConnectionType type) { m_type = type; }
  bool PortOpen() const { return m_transport->isOpen(); }
  TimePoint now() const { return m_transport->clock().now(); }

  // Every byte received since it was last cleared, in arrival order (at most
  // kReceiveLimit of them; what comes beyond is dropped and the buffer then
  // never equals any reply).
  std::string ReceiveBuffer;
  // The bytes of the last frame written.
  std::string SentFrame;
  // What ReceiveBuffer must equal for the current command to count as answered.
  std::string ExpectedReply;
  // Set by the operator; cleared at the start of each long operation.
  std::atomic<bool> StopRequested{false};

  // Writes bytes to the line in order; false when they could not all be written.
  bool SendBytes(std::string_view bytes);
  bool SendByte(std::uint8_t byte);

  // Moves what has arrived into ReceiveBuffer, waiting at most `maxWait` for the
  // first bytes. Returns how many arrived.
  std::size_t Receive(Micros maxWait);

  // Takes in what has already arrived, then empties ReceiveBuffer: stale bytes
  // of an earlier answer must not be mistaken for the next one.
  void ClearReceiveBuffer();

  // Returns after `ms` milliseconds, receiving meanwhile.
  void Pause(int ms);

  // Waits at most `ms` milliseconds for ReceiveBuffer to equal ExpectedReply
  // byte for byte (a reply with one byte too many never matches). Returns true
  // as soon as it does, also when StopRequested is set; returns false when the
  // time has passed, or, with the reply incomplete, when StopRequested is set.
  bool WaitReply(int ms);

  // Traffic counters, for measurements.
  std::uint64_t bytesSent() const { return m_bytesSent; }
  std::uint64_t bytesReceived() const { return m_bytesReceived; }

 private:
  Transport* m_transport;
  ConnectionType m_type;
  std::string m_scratch;
  std::uint64_t m_bytesSent = 0;
  std::uint64_t m_bytesReceived = 0;
};

}  // namespace device
