#include "device/comm_state.h"

#include <algorithm>

namespace device {
namespace {

// How long one blocking read may last while a wait watches StopRequested: the
// cancel button must take effect promptly even when the line is silent.
constexpr Micros kStopSlice{20000};

}  // namespace

ConnectionType ConnectionTypeFromSetting(int type) {
  switch (type) {
    case 1:
      return ConnectionType::Fixed;
    case 2:
      return ConnectionType::Usb;
    default:
      return ConnectionType::Portable;
  }
}

CommState::CommState(Transport& transport, ConnectionType type) : m_transport(&transport), m_type(type) {}

bool CommState::SendBytes(std::string_view bytes) {
  const bool ok = m_transport->write(bytes);
  if (ok) m_bytesSent += bytes.size();
  return ok;
}

bool CommState::SendByte(std::uint8_t byte) {
  const char c = static_cast<char>(byte);
  return SendBytes(std::string_view(&c, 1));
}

std::size_t CommState::Receive(Micros maxWait) {
  if (maxWait < Micros::zero()) maxWait = Micros::zero();
  m_scratch.clear();
  const std::size_t n = m_transport->read(m_scratch, maxWait);
  m_bytesReceived += m_scratch.size();
  if (ReceiveBuffer.size() < kReceiveLimit + 1) {
    const std::size_t room = kReceiveLimit + 1 - ReceiveBuffer.size();
    // One byte past the limit is kept so that the buffer can no longer equal
    // a reply, however the rest of the flood looks.
    ReceiveBuffer.append(m_scratch, 0, std::min(room, m_scratch.size()));
  }
  return n;
}

void CommState::ClearReceiveBuffer() {
  // Drain everything that is already queued, not just one read's worth; a
  // line that never stops talking cannot keep us here.
  for (int i = 0; i < 64 && Receive(Micros::zero()) > 0; ++i) {
  }
  ReceiveBuffer.clear();
}

void CommState::Pause(int ms) {
  const TimePoint deadline = now() + std::chrono::milliseconds(std::max(ms, 0));
  for (;;) {
    const auto remaining = std::chrono::duration_cast<Micros>(deadline - now());
    if (remaining <= Micros::zero()) {
      Receive(Micros::zero());
      return;
    }
    Receive(remaining);
  }
}

bool CommState::WaitReply(int ms) {
  const TimePoint start = now();
  const auto limit = std::chrono::milliseconds(std::max(ms, 0));
  for (;;) {
    const auto elapsed = now() - start;
    if (elapsed >= limit) return false;
    Receive(Micros::zero());
    if (ReceiveBuffer == ExpectedReply) return true;
    if (StopRequested.load()) return false;
    // Nothing more to compare until bytes arrive: block until they do, the
    // time is up, or a short slice has passed to look at StopRequested again.
    const auto remaining = std::chrono::duration_cast<Micros>(limit - elapsed);
    Receive(std::min(remaining, kStopSlice));
  }
}

}  // namespace device
