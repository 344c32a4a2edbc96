#pragma once
// The serial port as a Transport, on QSerialPort's blocking calls.
//
// The object must be created, opened and used in one thread (the device
// worker thread, or the command-line tool's main thread): QSerialPort's
// waitFor* calls work only in the thread that owns the port, and no event
// loop is needed for them.

#include <memory>
#include <string>
#include <vector>

#include "device/transport.h"

class QSerialPort;

namespace device {

class SerialTransport final : public Transport {
 public:
  SerialTransport();
  ~SerialTransport() override;
  SerialTransport(const SerialTransport&) = delete;
  SerialTransport& operator=(const SerialTransport&) = delete;

  // Opens the device at `baud`, 8N1, no flow control, with DTR and RTS on,
  // and discards whatever was queued. False with `error` set when the port
  // cannot be opened or configured. DTR/RTS that the device does not support
  // (a pseudo-terminal) are only noted in warnings(); the port stays open.
  bool open(const std::string& portName, int baud, std::string* error = nullptr);
  void close();
  const std::string& portName() const { return m_name; }
  const std::vector<std::string>& warnings() const { return m_warnings; }

  // True until closed or until the device went away (a USB adapter pulled,
  // the simulator ended): the port is then closed and reads just wait.
  bool isOpen() const override;
  bool write(std::string_view bytes) override;
  std::size_t read(std::string& out, Micros maxWait) override;

 private:
  void dropIfGone();

  std::unique_ptr<QSerialPort> m_port;
  std::string m_name;
  std::vector<std::string> m_warnings;
};

}  // namespace device
