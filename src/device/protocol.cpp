#include "device/protocol.h"

#include <cstdint>

namespace device {
namespace {

bool inByteRange(int v) { return v >= 0 && v <= 255; }

constexpr int kBlockPauseMs = 50;
// The block must be complete after 11 pauses of 50 ms; the 12th ends the wait.
constexpr int kBlockPauses = 12;

}  // namespace

std::optional<std::string> MakeFrame(int cmd, int arg) {
  if (!inByteRange(cmd) || !inByteRange(arg)) return std::nullopt;
  const int ck = (0xAA - cmd - arg) & 0xFF;
  std::string f;
  f.push_back(static_cast<char>(0x0D));
  f.push_back(static_cast<char>(0x0A));
  f.push_back(static_cast<char>(cmd));
  f.push_back(static_cast<char>(arg));
  f.push_back(static_cast<char>(ck));
  return f;
}

std::string AckBytes(int cmd, int arg) {
  std::string a;
  a.push_back(static_cast<char>(cmd & 0xFF));
  a.push_back(static_cast<char>(arg & 0xFF));
  a.push_back(static_cast<char>(0xAA));
  a.push_back(static_cast<char>(0x55));
  return a;
}

bool SendFrame(CommState& comm, int cmd, int arg) {
  const auto frame = MakeFrame(cmd, arg);
  if (!frame) return false;
  // One write for the five bytes: the terminal sees the same byte sequence,
  // and the line is not held up by one system call per byte.
  comm.SendBytes(*frame);
  comm.SentFrame = *frame;
  if (comm.connectionType() == ConnectionType::Usb) comm.ReceiveBuffer.insert(0, comm.SentFrame);
  return true;
}

AckResult SendAcked(CommState& comm, int cmd, int arg, const std::function<void()>& afterSend) {
  if (!inByteRange(cmd) || !inByteRange(arg)) return AckResult::BadArgument;
  int attempts = 0;
  for (;;) {
    comm.Pause(50);
    comm.ClearReceiveBuffer();
    SendFrame(comm, cmd, arg);
    comm.ExpectedReply = comm.SentFrame + AckBytes(cmd, arg);
    if (afterSend) afterSend();
    if (comm.StopRequested.load()) return AckResult::Stopped;
    if (attempts > 5) return AckResult::GivenUp;
    ++attempts;
    if (comm.WaitReply(100)) return AckResult::Acknowledged;
  }
}

AckResult SendParameter(CommState& comm, int index, int value) {
  if (index < 0 || index > 2) return AckResult::BadArgument;
  return SendAcked(comm, index + 32, value);
}

std::size_t BlockReplySize(const ModelParams& model) {
  return 5 + static_cast<std::size_t>(kBlockRecords * model.recordSize) + 1;
}

bool ReadBlock(CommState& comm, const ModelParams& model, int position) {
  if (model.recordSize == 0 || position < 0 || position > model.capacity) return false;
  const long address = static_cast<long>(position) * model.recordSize + model.baseAddress;
  if (address > 65535) return false;
  if (SendAcked(comm, 11, static_cast<int>(address % 256)) != AckResult::Acknowledged) return false;
  comm.ClearReceiveBuffer();
  SendFrame(comm, 12, static_cast<int>(address / 256));
  const std::size_t want = BlockReplySize(model);
  // The terminal must deliver the whole block within 11 pauses of 50 ms. The
  // wait ends the moment the block is there instead of at the next pause.
  const TimePoint deadline = comm.now() + std::chrono::milliseconds(kBlockPauseMs * (kBlockPauses - 1));
  while (comm.ReceiveBuffer.size() < want) {
    const auto remaining = std::chrono::duration_cast<Micros>(deadline - comm.now());
    if (remaining <= Micros::zero()) {
      comm.Receive(Micros::zero());
      if (comm.ReceiveBuffer.size() >= want) break;
      return false;
    }
    comm.Receive(remaining);
  }
  const std::string& b = comm.ReceiveBuffer;
  // The reply starts with the echo of the request; noise in front of it
  // would shift every record, and the sum alone catches that only mostly.
  if (b.compare(0, 5, comm.SentFrame) != 0) return false;
  const std::size_t dataSize = want - 6;
  unsigned sum = 0;
  for (std::size_t i = 0; i < dataSize; ++i) sum += static_cast<std::uint8_t>(b[5 + i]);
  return (sum & 0xFF) == static_cast<std::uint8_t>(b[5 + dataSize]);
}

bool AntennaCommand(CommState& comm, bool on, const std::function<void()>& beforeWait) {
  const int cmd = on ? 13 : 14;
  comm.ClearReceiveBuffer();
  const std::string preamble(4, static_cast<char>(0x20));
  comm.SendBytes(preamble);
  SendFrame(comm, cmd, 1);
  comm.ExpectedReply = comm.connectionType() == ConnectionType::Usb ? std::string() : preamble;
  comm.ExpectedReply += comm.SentFrame + AckBytes(cmd, 1);
  comm.Pause(100);
  if (beforeWait) beforeWait();
  return comm.WaitReply(100);
}

bool StatusTick(CommState& comm, DeviceState& state) {
  comm.Receive(Micros::zero());
  const bool usable = ReadStatus(comm.ReceiveBuffer, state);
  comm.ClearReceiveBuffer();
  SendFrame(comm, kStatusCmd, kStatusArg);
  return usable;
}

bool QueryStatus(CommState& comm, DeviceState& state, int ms) {
  comm.ClearReceiveBuffer();
  SendFrame(comm, kStatusCmd, kStatusArg);
  const TimePoint deadline = comm.now() + std::chrono::milliseconds(ms);
  for (;;) {
    if (comm.ReceiveBuffer.size() >= kStatusReplySize) return ReadStatus(comm.ReceiveBuffer, state);
    const auto remaining = std::chrono::duration_cast<Micros>(deadline - comm.now());
    if (remaining <= Micros::zero()) return ReadStatus(comm.ReceiveBuffer, state);
    comm.Receive(remaining);
  }
}

}  // namespace device
