#include "device/win32/serial_transport.h"

#include "core/path_text.h"
#include "core/platform.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <thread>

namespace device {
namespace {

// The driver's input and output queues; a reply is at most a few hundred bytes.
constexpr DWORD kQueueSize = 4096;
// A write may wait this long, beyond the bytes' own time on the line, for
// room in the output queue (a line held by flow control never frees it).
constexpr DWORD kOutputTimeoutMs = 500;
// A read of bytes the driver already holds returns at once; the time-out only
// bounds it should the driver have reported more than it hands over.
constexpr DWORD kQueuedReadTimeoutMs = 50;
// Never 0 (with every other field 0 it means "wait for all bytes") and never
// MAXDWORD (a special value in some combinations).
constexpr DWORD kLongestReadTimeoutMs = 0x7FFFFFFF;

HANDLE Handle(void* handle) { return static_cast<HANDLE>(handle); }

std::wstring WideFromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(std::max(size, 0)), L'\0');
  if (size > 0) ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data(), size);
  return out;
}

// The reasons in the words the rest of the program uses for files.
std::string SystemMessage(DWORD code) { return core::platform::SystemErrorText(code); }

DWORD CeilMs(Micros d) {
  const auto ms = (d.count() + 999) / 1000;
  return static_cast<DWORD>(std::clamp<std::int64_t>(ms, 1, kLongestReadTimeoutMs));
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), Lower);
  return text;
}

// The number of "COMn" (any case), or -1 for other names.
long long ComNumber(const std::string& name) {
  if (name.size() < 4 || name.size() > 12 || LowerAscii(name.substr(0, 3)) != "com") return -1;
  long long n = 0;
  for (std::size_t i = 3; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return -1;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

}  // namespace

Win32SerialTransport::~Win32SerialTransport() { close(); }

bool Win32SerialTransport::open(const std::string& portName, int baud, std::string* error) {
  close();
  m_warnings.clear();
  m_name = portName;
  const auto fail = [&](const std::string& what, DWORD code) {
    if (error) *error = portName + ": " + what + SystemMessage(code);
    close();
    return false;
  };
  if (portName.empty()) return fail("", ERROR_INVALID_NAME);
  if (baud <= 0) return fail("", ERROR_INVALID_PARAMETER);

  const std::wstring path = DevicePath(portName);
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return fail("", ::GetLastError());
  m_handle = file;

  // Drivers may keep their own sizes; the line works either way.
  if (!::SetupComm(file, kQueueSize, kQueueSize))
    m_warnings.push_back("queue sizes: " + SystemMessage(::GetLastError()));

  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  // A file or a device that is no serial port ends here.
  if (!::GetCommState(file, &dcb)) return fail("", ::GetLastError());
  dcb.BaudRate = static_cast<DWORD>(baud);
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fTXContinueOnXoff = TRUE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  // A line error must not fail every later read and write until it is cleared.
  dcb.fAbortOnError = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  if (!::SetCommState(file, &dcb)) {
    // A line without modem lines (a pseudo-terminal behind Wine) may refuse
    // DTR and RTS and take the rest.
    const DWORD code = ::GetLastError();
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    if (!::SetCommState(file, &dcb)) return fail("", code);
    m_warnings.push_back("DTR/RTS: " + SystemMessage(code));
  }

  // The bytes' own time on the line (10 bits each), rounded up, on top of the
  // fixed allowance.
  COMMTIMEOUTS timeouts{};
  timeouts.ReadTotalTimeoutConstant = kQueuedReadTimeoutMs;
  timeouts.WriteTotalTimeoutMultiplier = static_cast<DWORD>((10000 + baud - 1) / baud);
  timeouts.WriteTotalTimeoutConstant = kOutputTimeoutMs;
  if (!::SetCommTimeouts(file, &timeouts)) return fail("time-outs: ", ::GetLastError());
  m_writePerByteMs = timeouts.WriteTotalTimeoutMultiplier;
  m_readTimeoutMs = kQueuedReadTimeoutMs;
  m_readTimeoutSet = true;

  if (!::PurgeComm(file, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR)) {
    m_warnings.push_back("purge: " + SystemMessage(::GetLastError()));
  }
  return true;
}

void Win32SerialTransport::close() {
  if (m_handle) {
    ::CloseHandle(Handle(m_handle));
    m_handle = nullptr;
  }
  m_readTimeoutSet = false;
}

void Win32SerialTransport::drop() { close(); }

bool Win32SerialTransport::isOpen() const { return m_handle != nullptr; }

bool Win32SerialTransport::setReadTimeout(unsigned long totalMs) {
  if (m_readTimeoutSet && m_readTimeoutMs == totalMs) return true;
  // A plain total time-out: the read ends when all bytes asked for are there
  // or the time has passed, whichever comes first.
  COMMTIMEOUTS timeouts{};
  timeouts.ReadTotalTimeoutConstant = totalMs;
  timeouts.WriteTotalTimeoutMultiplier = m_writePerByteMs;
  timeouts.WriteTotalTimeoutConstant = kOutputTimeoutMs;
  if (!::SetCommTimeouts(Handle(m_handle), &timeouts)) {
    drop();
    return false;
  }
  m_readTimeoutMs = totalMs;
  m_readTimeoutSet = true;
  return true;
}

long Win32SerialTransport::queued() {
  DWORD errors = 0;
  COMSTAT status{};
  if (!::ClearCommError(Handle(m_handle), &errors, &status)) {
    drop();
    return -1;
  }
  return static_cast<long>(std::min<DWORD>(status.cbInQue, kQueueSize));
}

long Win32SerialTransport::readSome(std::string& out, unsigned long n) {
  const std::size_t before = out.size();
  out.resize(before + n);
  DWORD got = 0;
  if (!::ReadFile(Handle(m_handle), out.data() + before, static_cast<DWORD>(n), &got, nullptr)) {
    const DWORD code = ::GetLastError();
    out.resize(before);
    if (code == ERROR_OPERATION_ABORTED) {
      // A line error while another program had set abort-on-error: cleared,
      // and the line goes on.
      DWORD errors = 0;
      ::ClearCommError(Handle(m_handle), &errors, nullptr);
      return 0;
    }
    drop();
    return -1;
  }
  out.resize(before + got);
  return static_cast<long>(got);
}

bool Win32SerialTransport::write(std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    if (!isOpen()) return false;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kQueueSize));
    DWORD written = 0;
    if (!::WriteFile(Handle(m_handle), bytes.data() + done, chunk, &written, nullptr)) {
      const DWORD code = ::GetLastError();
      if (code == ERROR_OPERATION_ABORTED) {
        DWORD errors = 0;
        ::ClearCommError(Handle(m_handle), &errors, nullptr);
      } else {
        drop();
      }
      return false;
    }
    // The write time-out passed with the queue still full.
    if (written == 0) return false;
    done += written;
  }
  return true;
}

std::size_t Win32SerialTransport::read(std::string& out, Micros maxWait) {
  const TimePoint deadline = SteadyClock::now() + std::max(maxWait, Micros::zero());
  for (;;) {
    if (!isOpen()) {
      // Sleep may end a little early on Windows (its timer counts in ticks).
      for (auto now = SteadyClock::now(); now < deadline; now = SteadyClock::now()) {
        std::this_thread::sleep_for(deadline - now);
      }
      return 0;
    }
    const long waiting = queued();
    if (waiting < 0) continue;
    if (waiting > 0) {
      if (!setReadTimeout(kQueuedReadTimeoutMs)) continue;
      const long got = readSome(out, static_cast<unsigned long>(waiting));
      if (got > 0) return static_cast<std::size_t>(got);
      if (got < 0) continue;
    }
    const auto left = std::chrono::duration_cast<Micros>(deadline - SteadyClock::now());
    if (left <= Micros::zero()) return 0;
    // Wait for the first byte, then take what came with it.
    if (!setReadTimeout(CeilMs(left))) continue;
    const long first = readSome(out, 1);
    if (first < 0) continue;
    if (first > 0) {
      std::size_t total = 1;
      const long more = queued();
      if (more > 0 && setReadTimeout(kQueuedReadTimeoutMs)) {
        const long got = readSome(out, static_cast<unsigned long>(more));
        if (got > 0) total += static_cast<std::size_t>(got);
      }
      return total;
    }
    // The time-out passed; a read that ends early without a byte is waited
    // on again, but never in a tight loop.
    if (SteadyClock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

std::wstring DevicePath(const std::string& portName) {
  if (portName.rfind("\\\\", 0) == 0) return WideFromUtf8(portName);
  return L"\\\\.\\" + WideFromUtf8(portName);
}

std::vector<std::string> SortPortNames(std::vector<std::string> names) {
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const long long na = ComNumber(a);
    const long long nb = ComNumber(b);
    if ((na >= 0) != (nb >= 0)) return na >= 0;
    if (na >= 0) return na < nb;
    return LowerAscii(a) < LowerAscii(b);
  });
  std::vector<std::string> out;
  for (auto& name : names) {
    const bool seen = std::any_of(out.begin(), out.end(),
                                  [&](const std::string& kept) { return LowerAscii(kept) == LowerAscii(name); });
    if (!seen) out.push_back(std::move(name));
  }
  return out;
}

std::vector<std::string> ListSerialPorts() { return ListSerialPorts(RegistryRoot::LocalMachine, kSerialCommKey); }

std::vector<std::string> ListSerialPorts(RegistryRoot root, const std::string& keyPath) {
  HKEY key = nullptr;
  const HKEY base = root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  if (::RegOpenKeyExW(base, WideFromUtf8(keyPath).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    // Value names are device paths ("\Device\Serial0"), the data the port's name.
    wchar_t valueName[512];
    DWORD valueNameLength = static_cast<DWORD>(std::size(valueName));
    wchar_t data[256];
    DWORD dataBytes = sizeof data;
    DWORD type = 0;
    const LONG result = ::RegEnumValueW(key, index, valueName, &valueNameLength, nullptr, &type,
                                        reinterpret_cast<BYTE*>(data), &dataBytes);
    if (result == ERROR_NO_MORE_ITEMS) break;
    // Longer than any port name: not one.
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS) break;
    if (type != REG_SZ) continue;
    std::size_t length = dataBytes / sizeof(wchar_t);
    while (length > 0 && data[length - 1] == L'\0') --length;
    std::string name = core::Utf8FromPath(std::filesystem::path(std::wstring(data, length)));
    const auto first = name.find_first_not_of(' ');
    if (first == std::string::npos) continue;
    name = name.substr(first, name.find_last_not_of(' ') - first + 1);
    names.push_back(std::move(name));
  }
  ::RegCloseKey(key);
  return SortPortNames(std::move(names));
}

}  // namespace device
