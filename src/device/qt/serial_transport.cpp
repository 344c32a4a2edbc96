#include "device/qt/serial_transport.h"

#include <QSerialPort>
#include <thread>

namespace device {
namespace {

// One write may wait this long for room in the output queue.
constexpr int kOutputTimeoutMs = 500;

int ceilMs(Micros d) { return static_cast<int>((d.count() + 999) / 1000); }

}  // namespace

SerialTransport::SerialTransport() = default;

SerialTransport::~SerialTransport() { close(); }

bool SerialTransport::open(const std::string& portName, int baud, std::string* error) {
  close();
  m_warnings.clear();
  m_name = portName;
  m_port = std::make_unique<QSerialPort>();
  m_port->setPortName(QString::fromStdString(portName));
  if (!m_port->open(QIODevice::ReadWrite)) {
    if (error) *error = m_port->errorString().toStdString();
    m_port.reset();
    return false;
  }
  const bool configured = m_port->setBaudRate(baud) && m_port->setDataBits(QSerialPort::Data8) &&
                          m_port->setParity(QSerialPort::NoParity) && m_port->setStopBits(QSerialPort::OneStop) &&
                          m_port->setFlowControl(QSerialPort::NoFlowControl);
  if (!configured) {
    if (error) *error = m_port->errorString().toStdString();
    m_port->close();
    m_port.reset();
    return false;
  }
  // A pseudo-terminal has no modem lines: Qt reports UnsupportedOperationError
  // and the port works all the same.
  if (!m_port->setDataTerminalReady(true)) m_warnings.push_back("DTR: " + m_port->errorString().toStdString());
  if (!m_port->setRequestToSend(true)) m_warnings.push_back("RTS: " + m_port->errorString().toStdString());
  m_port->clearError();
  m_port->clear(QSerialPort::AllDirections);
  return true;
}

void SerialTransport::close() {
  if (m_port) {
    if (m_port->isOpen()) m_port->close();
    m_port.reset();
  }
}

bool SerialTransport::isOpen() const { return m_port && m_port->isOpen(); }

void SerialTransport::dropIfGone() {
  if (!m_port) return;
  const auto e = m_port->error();
  if (e == QSerialPort::ResourceError || e == QSerialPort::DeviceNotFoundError || e == QSerialPort::PermissionError) {
    close();
  } else if (e != QSerialPort::NoError) {
    m_port->clearError();
  }
}

bool SerialTransport::write(std::string_view bytes) {
  if (!isOpen()) return false;
  const qint64 n = m_port->write(bytes.data(), static_cast<qint64>(bytes.size()));
  if (n != static_cast<qint64>(bytes.size())) {
    dropIfGone();
    return false;
  }
  while (m_port && m_port->bytesToWrite() > 0) {
    if (!m_port->waitForBytesWritten(kOutputTimeoutMs)) {
      dropIfGone();
      return false;
    }
  }
  return true;
}

std::size_t SerialTransport::read(std::string& out, Micros maxWait) {
  const TimePoint deadline = SteadyClock::now() + maxWait;
  for (;;) {
    if (!isOpen()) {
      const auto left = deadline - SteadyClock::now();
      if (left > Micros::zero()) std::this_thread::sleep_for(left);
      return 0;
    }
    if (m_port->bytesAvailable() == 0) {
      const auto left = std::chrono::duration_cast<Micros>(deadline - SteadyClock::now());
      // waitForReadyRead(0) still takes in what the driver holds.
      if (!m_port->waitForReadyRead(std::max(0, ceilMs(left)))) {
        dropIfGone();
        if (SteadyClock::now() >= deadline) return 0;
        if (isOpen()) {
          // An early return without data (a signal, a transient error): wait
          // on, but never spin.
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        continue;
      }
    }
    const QByteArray data = m_port->readAll();
    if (!data.isEmpty()) {
      out.append(data.constData(), static_cast<std::size_t>(data.size()));
      return static_cast<std::size_t>(data.size());
    }
    if (SteadyClock::now() >= deadline) return 0;
  }
}

}  // namespace device
