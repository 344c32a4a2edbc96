// The Windows serial port transport: the port list and name helpers, and
// exchanges with the terminal simulator behind a real COM port. Under Wine,
// scripts/test-windows.sh serves the simulator on a pseudo-terminal that the
// Wine prefix shows as a COM port and names it in VORTANE_TEST_COM_PORT.

#if defined(_WIN32)

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "device/comm_state.h"
#include "device/device_state.h"
#include "device/progress.h"
#include "device/protocol.h"
#include "device/terminal_commands.h"
#include "device/win32/serial_transport.h"

namespace {

using namespace std::chrono_literals;
using device::Win32SerialTransport;
using Clock = std::chrono::steady_clock;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return text;
}

std::chrono::milliseconds Since(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

TEST(Win32SerialNames, DevicePathPutsTheDeviceNamespaceInFront) {
  const struct {
    std::string name;
    std::wstring path;
  } cases[] = {
      {"COM5", L"\\\\.\\COM5"},
      {"COM12", L"\\\\.\\COM12"},
      {"\\\\.\\COM12", L"\\\\.\\COM12"},
      {"CNCA0", L"\\\\.\\CNCA0"},
      {"\\\\?\\USB#VID_0403", L"\\\\?\\USB#VID_0403"},
      {"Port\xC3\xA9", L"\\\\.\\Port\u00E9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(device::DevicePath(c.name), c.path);
  }
}

TEST(Win32SerialNames, PortsSortedByNumberThenByName) {
  const struct {
    std::vector<std::string> given;
    std::vector<std::string> sorted;
  } cases[] = {
      {{}, {}},
      {{"COM10", "COM9", "COM1"}, {"COM1", "COM9", "COM10"}},
      {{"USB0", "COM3", "com3", "Alpha"}, {"COM3", "Alpha", "USB0"}},
      {{"COMX", "COM2", "COM"}, {"COM2", "COM", "COMX"}},
      {{"COM7", "COM7", "cnca1", "CNCA1"}, {"COM7", "cnca1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.given));
    EXPECT_EQ(device::SortPortNames(c.given), c.sorted);
  }
}

// A key of the test's own below HKEY_CURRENT_USER, removed again at the end.
class ScratchKey {
 public:
  explicit ScratchKey(const std::wstring& path) : m_path(path) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    m_ok = ::RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &m_key,
                             nullptr) == ERROR_SUCCESS;
  }
  ~ScratchKey() {
    if (m_ok) ::RegCloseKey(m_key);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
  }
  bool ok() const { return m_ok; }
  bool setText(const std::wstring& name, const std::wstring& text) {
    return ::RegSetValueExW(m_key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }
  bool setNumber(const std::wstring& name, DWORD value) {
    return ::RegSetValueExW(m_key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
  }

 private:
  std::wstring m_path;
  HKEY m_key = nullptr;
  bool m_ok = false;
};

TEST(Win32SerialPortList, TextValuesOfTheKeyInPortOrder) {
  const std::wstring wideKey = L"Software\\vortane tests\\SERIALCOMM-" + std::to_wstring(::GetCurrentProcessId());
  const std::string key = "Software\\vortane tests\\SERIALCOMM-" + std::to_string(::GetCurrentProcessId());
  const std::wstring longName(300, L'X');
  const struct {
    const char* what;
    std::vector<std::pair<std::wstring, std::wstring>> texts;
    bool withNumber;
    std::vector<std::string> listed;
  } cases[] = {
      {"ports of several drivers",
       {{L"\\Device\\Serial1", L"COM10"}, {L"\\Device\\Serial0", L"COM2"}, {L"\\Device\\VCP0", L"COM3"}},
       false,
       {"COM2", "COM3", "COM10"}},
      {"values that name no port are left out",
       {{L"\\Device\\Serial0", L" COM4 "}, {L"\\Device\\Empty", L""}, {L"\\Device\\Long", longName}},
       true,
       {"COM4"}},
      {"a port named twice is listed once", {{L"\\Device\\A", L"COM7"}, {L"\\Device\\B", L"com7"}}, false, {"COM7"}},
      {"an empty key", {}, false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchKey scratch(wideKey);
    ASSERT_TRUE(scratch.ok());
    for (const auto& [name, text] : c.texts) ASSERT_TRUE(scratch.setText(name, text));
    if (c.withNumber) {
      ASSERT_TRUE(scratch.setNumber(L"\\Device\\Number", 5));
    }
    EXPECT_EQ(device::ListSerialPorts(device::RegistryRoot::CurrentUser, key), c.listed);
  }
  EXPECT_TRUE(device::ListSerialPorts(device::RegistryRoot::CurrentUser, key).empty()) << "the key is gone";
}

TEST(Win32SerialTransportOpen, FailsWithTheSystemsReasonForWhatIsNoPort) {
  // NUL opens, but it is no serial port.
  for (const std::string name : {"COM250", "\\\\.\\COM251", "", "no such device", "NUL"}) {
    SCOPED_TRACE(name);
    Win32SerialTransport port;
    std::string error;
    EXPECT_FALSE(port.open(name, 19200, &error));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(error.rfind(name + ": ", 0), 0u) << error;
    EXPECT_GT(error.size(), name.size() + 2) << "a reason follows the name";
    // A closed port writes nothing and reads nothing, and still waits.
    EXPECT_FALSE(port.write("x"));
    std::string in;
    const auto start = Clock::now();
    EXPECT_EQ(port.read(in, 30ms), 0u);
    EXPECT_GE(Since(start), 30ms);
  }
}

// The simulator behind the port of VORTANE_TEST_COM_PORT (a VORT terminal on
// an RS232 line: every byte echoed), opened at 19200 baud.
class Win32SerialOnSimulator : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* port = std::getenv("VORTANE_TEST_COM_PORT");
    if (!port || !*port) {
      GTEST_SKIP() << "no COM port with the terminal simulator behind it: VORTANE_TEST_COM_PORT is not set "
                      "(scripts/test-windows.sh sets it)";
    }
    m_port = port;
    std::string error;
    ASSERT_TRUE(transport.open(m_port, 19200, &error)) << error;
    comm.ClearReceiveBuffer();
  }

  std::string m_port;
  Win32SerialTransport transport;
  device::CommState comm{transport, device::ConnectionType::Portable};
  device::DeviceState state;
  device::NullProgress progress;
};

TEST_F(Win32SerialOnSimulator, StatusAndBlockExchanges) {
  EXPECT_TRUE(transport.isOpen());
  EXPECT_EQ(transport.portName(), m_port);
  ASSERT_TRUE(device::QueryStatus(comm, state, 2000));
  EXPECT_TRUE(state.known);
  EXPECT_TRUE(state.PanName == "VORT DALLAS" || state.PanName == "VORT RFID") << state.PanName;
  EXPECT_GE(state.PTR, 0);
  // The block at the ring's start arrives whole with its sum right.
  EXPECT_TRUE(device::ReadBlock(comm, state.model, 0));
  EXPECT_EQ(comm.ReceiveBuffer.size(), device::BlockReplySize(state.model));
  // The heartbeat's way: the reply to one request is read at the next tick.
  device::DeviceState ticked;
  comm.ClearReceiveBuffer();
  EXPECT_FALSE(device::StatusTick(comm, ticked)) << "nothing was asked before the first tick";
  comm.Pause(300);
  EXPECT_TRUE(device::StatusTick(comm, ticked));
  EXPECT_EQ(ticked.PTR, state.PTR);
}

TEST_F(Win32SerialOnSimulator, ProductionNumberWrittenIsReportedBack) {
  // Ends on the simulator's own number, so the order of tests does not matter.
  for (const int number : {4321, 0, 65535, 100}) {
    SCOPED_TRACE(number);
    ASSERT_EQ(device::WriteProductionNumber(comm, progress, number), device::CommandResult::Done);
    ASSERT_TRUE(device::QueryStatus(comm, state, 2000));
    EXPECT_EQ(state.productionNumber, number);
  }
}

TEST_F(Win32SerialOnSimulator, ReadWaitsOutItsTimeWhenNothingArrives) {
  for (const auto wait : {0ms, 20ms, 150ms, 400ms}) {
    SCOPED_TRACE(wait.count());
    std::string in;
    const auto start = Clock::now();
    EXPECT_EQ(transport.read(in, wait), 0u);
    const auto took = Since(start);
    EXPECT_GE(took, wait);
    EXPECT_LT(took, wait + 400ms);
    EXPECT_TRUE(in.empty());
  }
  EXPECT_TRUE(transport.isOpen());
}

TEST_F(Win32SerialOnSimulator, ReadReturnsWithTheFirstBytes) {
  const auto frame = device::MakeFrame(device::kStatusCmd, device::kStatusArg);
  ASSERT_TRUE(frame);
  ASSERT_TRUE(transport.write(*frame));
  std::string in;
  const auto start = Clock::now();
  ASSERT_GT(transport.read(in, 5000ms), 0u);
  EXPECT_LT(Since(start), 1000ms) << "the read must not wait for its deadline once bytes are there";
  // The rest of the reply, echo first.
  while (in.size() < device::kStatusReplySize && Since(start) < 3000ms) transport.read(in, 500ms);
  ASSERT_EQ(in.size(), device::kStatusReplySize);
  EXPECT_EQ(in.substr(0, frame->size()), *frame);
}

TEST_F(Win32SerialOnSimulator, StopRequestedEndsAWaitForAReply) {
  const auto frame = device::MakeFrame(device::kStatusCmd, device::kStatusArg);
  ASSERT_TRUE(frame);
  const struct {
    const char* what;
    bool sendRequest;
  } cases[] = {
      {"a silent line", false},
      {"a reply that never matches", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    comm.ClearReceiveBuffer();
    comm.StopRequested = false;
    comm.ExpectedReply = std::string(40, '\x55');
    if (c.sendRequest) {
      ASSERT_TRUE(comm.SendBytes(*frame));
    }
    const auto start = Clock::now();
    std::thread cancel([this] {
      std::this_thread::sleep_for(300ms);
      comm.StopRequested = true;
    });
    const bool replied = comm.WaitReply(20000);
    const auto took = Since(start);
    cancel.join();
    EXPECT_FALSE(replied);
    EXPECT_GE(took, 300ms);
    EXPECT_LT(took, 1500ms) << "the wait must end soon after the stop";
    if (c.sendRequest) {
      EXPECT_EQ(comm.ReceiveBuffer.size(), device::kStatusReplySize);
    }
  }
  // The line is still good for the next exchange.
  comm.StopRequested = false;
  comm.Pause(100);
  EXPECT_TRUE(device::QueryStatus(comm, state, 2000));
}

TEST_F(Win32SerialOnSimulator, PortIsInTheSystemsList) {
  if (Lower(m_port).rfind("com", 0) != 0) GTEST_SKIP() << m_port << " is not a COM port name";
  const std::vector<std::string> ports = device::ListSerialPorts();
  EXPECT_TRUE(std::any_of(ports.begin(), ports.end(), [&](const std::string& p) { return Lower(p) == Lower(m_port); }))
      << testing::PrintToString(ports);
}

// Wine's own export: under Wine some guarantees of Windows are missing.
bool UnderWine() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST_F(Win32SerialOnSimulator, PortOpensAgainAfterClose) {
  transport.close();
  EXPECT_FALSE(transport.isOpen());
  std::string error;
  ASSERT_TRUE(transport.open(m_port, 19200, &error)) << error;
  EXPECT_TRUE(device::QueryStatus(comm, state, 2000));
}

TEST_F(Win32SerialOnSimulator, HeldPortCannotBeOpenedTwice) {
  if (UnderWine()) GTEST_SKIP() << "Wine opens a COM port held by another handle again (Windows refuses)";
  Win32SerialTransport second;
  std::string error;
  EXPECT_FALSE(second.open(m_port, 19200, &error));
  EXPECT_EQ(error.rfind(m_port + ": ", 0), 0u) << error;
  transport.close();
  EXPECT_TRUE(second.open(m_port, 19200, &error)) << error;
}

}  // namespace

#endif
