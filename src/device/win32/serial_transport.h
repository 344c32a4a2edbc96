#pragma once
// The serial port as a Transport on Windows, through the Win32 communications
// functions (a synchronous handle, reads bounded by total time-outs), and the
// list of the ports the system reports.
//
// Reads use only what behaves the same on Windows and under Wine: a read of
// the bytes the driver already holds, and a one-byte read with a total
// time-out to wait for the first byte. The object is used by one thread at a
// time (the device worker thread, or the command-line tool's main thread).

#include <string>
#include <vector>

#include "device/transport.h"

namespace device {

class Win32SerialTransport final : public Transport {
 public:
  Win32SerialTransport() = default;
  ~Win32SerialTransport() override;
  Win32SerialTransport(const Win32SerialTransport&) = delete;
  Win32SerialTransport& operator=(const Win32SerialTransport&) = delete;

  // Opens the device ("COM5", or any DOS device name; "\\.\" is put in front
  // unless the name already starts with "\\") at `baud`, 8N1, no flow
  // control, with DTR and RTS on, sets the driver's queues and discards
  // whatever they held. False with `error` set (the system's text, after the
  // name) when the port cannot be opened or configured. Modem lines the
  // device does not have are only noted in warnings(); the port stays open.
  bool open(const std::string& portName, int baud, std::string* error = nullptr);
  void close();
  const std::string& portName() const { return m_name; }
  const std::vector<std::string>& warnings() const { return m_warnings; }

  // True until closed or until the device went away (a USB adapter pulled,
  // the other end of the line closed): the port is then closed and reads
  // just wait out their time.
  bool isOpen() const override;
  bool write(std::string_view bytes) override;
  std::size_t read(std::string& out, Micros maxWait) override;

 private:
  // Applies read time-outs unless they are the ones in force.
  bool setReadTimeout(unsigned long totalMs);
  // Bytes the driver holds; -1 when the device is gone.
  long queued();
  // Reads up to `n` bytes under the read time-out in force; -1 when the
  // device is gone.
  long readSome(std::string& out, unsigned long n);
  void drop();

  void* m_handle = nullptr;
  std::string m_name;
  std::vector<std::string> m_warnings;
  unsigned long m_readTimeoutMs = 0;
  bool m_readTimeoutSet = false;
  unsigned long m_writePerByteMs = 1;
};

// Where Windows lists the serial ports it has (below HKEY_LOCAL_MACHINE).
inline constexpr const char* kSerialCommKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

// The ports the system reports: the text values of the SERIALCOMM key, in the
// order of SortPortNames. Empty when the key is missing (no serial port at all).
std::vector<std::string> ListSerialPorts();

// The same from another key (tests keep one of their own below the user's key).
enum class RegistryRoot { LocalMachine, CurrentUser };
std::vector<std::string> ListSerialPorts(RegistryRoot root, const std::string& keyPath);

// Port names in the order the settings dialog offers them: "COM" names by
// their number (COM2 before COM10), then other names alphabetically;
// duplicates (without regard to case) removed.
std::vector<std::string> SortPortNames(std::vector<std::string> names);

// The name CreateFileW opens for a port name: "\\.\" in front unless it
// already starts with "\\".
std::wstring DevicePath(const std::string& portName);

}  // namespace device
