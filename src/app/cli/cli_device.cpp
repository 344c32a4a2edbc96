// Terminal commands: talk to the time clock on a serial port.
//   status     --dir DIR [--port DEV]                      the decoded status reply
//   download   --dir DIR [--port DEV] (--new | --all | --count N) [--stats] [--lock-wait S]
//   set-time   --dir DIR [--port DEV]                      the terminal's clock from the PC's
//   read-card  --dir DIR [--port DEV] [--timeout S]        number of a card presented to a VORT RFID
//   align      --dir DIR [--port DEV]                      store the terminal's PTR as the transfer pointer
//   watch      --dir DIR [--port DEV]                      fixed-unit mode: heartbeat and automatic transfer
//   presence   --dir DIR                                   the presence board's rows
//
// The port is --port, else the setting PortName, else the device of ComPort.
// Text-area lines and results go to stdout, messages the desktop program shows
// in a box go to stderr. Questions the desktop program asks before set-time
// and align ("Želáte si ...?") are answered Yes: typing the command is the
// confirmation (--yes is accepted and changes nothing). SIGINT and SIGTERM
// (on Windows Ctrl+C, Ctrl+Break or closing the console window) cancel a transfer or card wait the way the progress window's "Zrušiť" does;
// the transfer pointer then stands after the last record stored.
// Exit status: 0 done, 1 failed or incomplete (no terminal, cancelled, a block
// that could not be read, a log that could not be written), 2 bad arguments.

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <signal.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>

#include "cli_common.h"
#include "cli_installation.h"
#include "core/path_text.h"
#include "core/time_values.h"
#include "device/comm_state.h"
#include "device/device_state.h"
#include "device/port_settings.h"
#include "device/presence.h"
#include "device/protocol.h"
#include "device/terminal_commands.h"
#include "device/transfer.h"
#ifdef VORTANE_HAVE_SERIAL
#ifdef VORTANE_WIN32_SERIAL
#include "device/win32/serial_transport.h"
#else
#include <QCoreApplication>

#include "device/qt/serial_transport.h"
#endif
#endif

namespace cli {
namespace {

void printLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// The text area of the main window, printed: its lines keep their tabs, a
// line break inside one is shown as \r or \n.
class StdoutTextArea final : public device::TextArea {
 public:
  void addLine(const std::string& line) override {
    std::string out;
    for (char c : line) {
      if (c == '\r') {
        out += "\\r";
      } else if (c == '\n') {
        out += "\\n";
      } else {
        out += c;
      }
    }
    printLine(out);
  }
  void clear() override {}
};

// SIGINT / SIGTERM: the cancel button. std::atomic<bool> is lock-free here, so
// storing to it from the handler is safe.
#if defined(_WIN32)
// The console's handler runs on a thread of its own.
std::atomic<std::atomic<bool>*> g_stopFlag{nullptr};
std::atomic<int> g_signalled{0};
#else
std::atomic<bool>* g_stopFlag = nullptr;
volatile std::sig_atomic_t g_signalled = 0;
#endif

// Prints only what helps someone watching a slow line: the retry labels. A
// signal that came while a transfer was starting (which clears the stop
// request) is applied again at the next progress step.
class StderrProgress final : public device::Progress {
 public:
  void setLabel(const std::string& text) override {
    reassertStop();
    // Retries, and the wait for another program's transfer into the folder.
    if (text.rfind("Timeout: ", 0) == 0 || text.rfind("Čaká sa na prenos", 0) == 0)
      std::fprintf(stderr, "%s\n", text.c_str());
  }
  void setBar(int, int) override { reassertStop(); }

 private:
  static void reassertStop() {
    std::atomic<bool>* flag = g_stopFlag;
    if (g_signalled && flag) flag->store(true);
  }
};

#if defined(_WIN32)
// Ctrl+C, Ctrl+Break and closing the console window cancel like "Zrušiť".
// Windows ends the process as soon as the handler returns from a close,
// log-off or shut-down event, so the handler waits (Windows allows about five
// seconds) until the command has stored its transfer pointer and left the scope.
BOOL WINAPI onConsoleEvent(DWORD event) {
  g_signalled = 1;
  if (auto* flag = g_stopFlag.load()) flag->store(true);
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    for (int i = 0; i < 90 && g_stopFlag.load() != nullptr; ++i) ::Sleep(50);
  }
  return TRUE;
}

class SignalScope {
 public:
  explicit SignalScope(std::atomic<bool>& flag) {
    g_stopFlag = &flag;
    g_signalled = 0;
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
  }
  ~SignalScope() {
    g_stopFlag = nullptr;
    ::SetConsoleCtrlHandler(onConsoleEvent, FALSE);
  }
  SignalScope(const SignalScope&) = delete;
  SignalScope& operator=(const SignalScope&) = delete;
};
#else
extern "C" void onStopSignal(int) {
  g_signalled = 1;
  if (g_stopFlag) g_stopFlag->store(true);
}

class SignalScope {
 public:
  explicit SignalScope(std::atomic<bool>& flag) {
    g_stopFlag = &flag;
    g_signalled = 0;
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &m_oldInt);
    sigaction(SIGTERM, &sa, &m_oldTerm);
  }
  ~SignalScope() {
    sigaction(SIGINT, &m_oldInt, nullptr);
    sigaction(SIGTERM, &m_oldTerm, nullptr);
    g_stopFlag = nullptr;
  }
  SignalScope(const SignalScope&) = delete;
  SignalScope& operator=(const SignalScope&) = delete;

 private:
  struct sigaction m_oldInt {};
  struct sigaction m_oldTerm {};
};
#endif

#ifdef VORTANE_HAVE_SERIAL

#ifdef VORTANE_WIN32_SERIAL
using PortTransport = device::Win32SerialTransport;
#else
using PortTransport = device::SerialTransport;
#endif

// An installation with its port opened.
struct Link {
  Installation inst;
  core::CliOperator op;
  PortTransport transport;
  std::optional<device::CommState> comm;
  device::DeviceState state;
  std::string portName;
  int baud = 19200;

  bool reopen() {
    std::string error;
    return transport.open(portName, baud, &error);
  }
};

// Loads the installation and opens the port. A port that cannot be opened
// gives the desktop program's message; the link then stays closed.
std::optional<int> OpenLink(const Args& args, const std::string& command, Link& link) {
#ifndef VORTANE_WIN32_SERIAL
  // Qt's port wants an application object in the thread that uses it.
  static int qtArgc = 1;
  static char qtName[] = "vortane-cli";
  static char* qtArgv[] = {qtName, nullptr};
  static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(qtArgc, qtArgv);
  (void)app;
#endif
  int status = kOk;
  auto inst = LoadInstallation(args, command, link.op, InstallationOptions{}, status);
  if (!inst) return status;
  link.inst = std::move(*inst);
  link.portName = device::ChoosePortName(link.inst.settings, args.value("port"));
  link.baud = device::BaudRate(link.inst.settings);
  link.comm.emplace(link.transport, device::ConnectionTypeFromSetting(link.inst.settings.type));
  std::string error;
  if (!link.transport.open(link.portName, link.baud, &error)) {
    link.op.showMessage(device::PortOpenFailureMessage(link.inst.messages, false));
    std::fprintf(stderr, "vortane-cli: %s: %s\n", link.portName.c_str(), error.c_str());
  }
  return std::nullopt;
}

// The first usable status reply, asked for the way the heartbeat does: four
// requests 700 ms apart before the terminal counts as not connected.
bool ConnectTerminal(Link& link) {
  if (!link.transport.isOpen()) return false;
  for (int i = 0; i < 4; ++i) {
    if (device::QueryStatus(*link.comm, link.state, 700)) return true;
    if (link.comm->StopRequested.load()) return false;
  }
  return false;
}

void PointerNotWritten(Link& link) {
  std::fprintf(stderr, "vortane-cli: the transfer pointer could not be written to %s\n",
               core::DisplayPath(link.inst.directory.iniFile()).c_str());
}

int NotCommunicating(Link& link) {
  link.op.showMessage(link.inst.messages.message(core::msg::TerminalNotCommunicating));
  return kFailed;
}

device::DownloadContext MakeContext(Link& link, device::TextArea& text, device::Progress& progress,
                                    device::PresenceStatus* presence, bool fixedUnit) {
  device::DownloadContext ctx(*link.comm, link.state, link.inst.employees, link.inst.messages, link.op, text, progress);
  ctx.iniFile = link.inst.directory.iniFile();
  ctx.logDir = link.inst.settings.logDir();
  ctx.CHGINOUT = link.inst.settings.CHGINOUT;
  ctx.fixedUnit = fixedUnit;
  ctx.presence = presence;
  ctx.presenceFile = link.inst.directory.presenceFile();
  return ctx;
}

// --lock-wait S: how long a transfer waits for another program's transfer
// into the same folder. Unusable: a usage error.
bool SetLockWait(const Args& args, device::DownloadContext& ctx) {
  if (!args.has("lock-wait")) return true;
  const auto s = args.integer("lock-wait", 0, 86400);
  if (!s) return false;
  ctx.lockWait = std::chrono::seconds(*s);
  return true;
}

void PrintStats(const Args& args, Link& link, double seconds) {
  if (!args.has("stats")) return;
  std::fprintf(stderr, "bytes sent %llu received %llu seconds %.3f\n",
               static_cast<unsigned long long>(link.comm->bytesSent()),
               static_cast<unsigned long long>(link.comm->bytesReceived()), seconds);
}

int RunStatus(const Args& args) {
  Link link;
  if (auto s = OpenLink(args, "status", link)) return *s;
  if (!ConnectTerminal(link)) {
    if (link.state.PanName == "ERROR") printLine("Prístroj: ERROR");
    return NotCommunicating(link);
  }
  const auto& st = link.state;
  printLine("Prístroj: " + st.PanName);
  printLine("Čas: " + st.PanTime);
  printLine("Výr.č.: " + st.Pansn);
  printLine("PTR: " + st.panptr);
  printLine("Kapacita: " + std::to_string(st.capacity()));
  if (!st.isRfid()) printLine("Zámok: " + st.pandoortime + " sek");
  const long long S = device::ReadTransferPointer(link.inst.directory.iniFile(), st.productionNumber);
  const auto d = device::CheckNewRecords(st, S, false, false);
  printLine("Záznamov: " + d.Pannewr.value_or(""));
  switch (st.report.kind) {
    case device::IdentifierReport::Kind::Card:
      if (st.report.number != 0) printLine("Číslo: " + std::to_string(st.report.number));
      break;
    case device::IdentifierReport::Kind::Battery:
      printLine("BAT=" + std::to_string(st.report.threshold) + "/" + std::to_string(st.report.level));
      break;
    case device::IdentifierReport::Kind::None:
      break;
  }
  return kOk;
}

int RunDownload(const Args& args) {
  const int modes = (args.has("new") ? 1 : 0) + (args.has("all") ? 1 : 0) + (args.has("count") ? 1 : 0);
  if (modes != 1) return usageError("download", "give one of --new, --all, --count N");
  Link link;
  if (auto s = OpenLink(args, "download", link)) return *s;
  SignalScope stopOnSignal(link.comm->StopRequested);
  const auto started = std::chrono::steady_clock::now();
  StdoutTextArea text;
  StderrProgress progress;
  // Without a usable status the commands show their own "not connected" messages.
  ConnectTerminal(link);
  auto ctx = MakeContext(link, text, progress, nullptr, false);
  if (!SetLockWait(args, ctx)) return usageError("download", "--lock-wait needs whole seconds 0..86400");
  device::CommandOutcome out;
  if (args.has("new")) {
    out = device::NewRecordsCommand(ctx);
  } else if (args.has("all")) {
    out = device::TransferAllCommand(ctx);
  } else {
    out = device::TransferCountCommand(ctx, *args.value("count"));
  }
  if (!out.statusText.empty()) printLine(out.statusText);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  PrintStats(args, link, seconds);
  if (args.has("stats") && out.ran) {
    // What the transfer's journal cost: the time spent waiting for the disk on its account.
    std::fprintf(stderr, "journal checkpoints %d blocks %d seconds %.3f\n", out.transfer.checkpoints,
                 out.transfer.blocks, std::chrono::duration<double>(out.transfer.journalTime).count());
  }
  if (out.pointerWriteFailed) {
    PointerNotWritten(link);
    return kFailed;
  }
  if (!out.ran) {
    // Nothing to transfer is a success; no terminal, a pointer error or a
    // refused count is not.
    const bool fine = link.state.known && link.state.PTR >= 0 && !args.has("count");
    return fine ? kOk : kFailed;
  }
  return out.transfer.complete() && !out.transfer.stopped && !out.transfer.unreadableBlock && !out.lockNotHeld
             ? kOk
             : kFailed;
}

int RunSetTime(const Args& args) {
  Link link;
  if (auto s = OpenLink(args, "set-time", link)) return *s;
  link.op.yesAnswer = true;
  if (!link.op.askYesNo("Želáte si nastaviť čas prístroja podľa Vašeho PC ?")) return kFailed;
  SignalScope stopOnSignal(link.comm->StopRequested);
  device::NullProgress progress;
  const auto r = device::SetDeviceClock(*link.comm, progress);
  switch (r) {
    case device::CommandResult::Done:
      printLine(device::ShortDateLongTimeText(core::Now()));
      return kOk;
    case device::CommandResult::Stopped:
      return kFailed;
    case device::CommandResult::NotCommunicating:
      return NotCommunicating(link);
    case device::CommandResult::BadArgument:
      std::fprintf(stderr, "vortane-cli: the PC's date cannot be set in the terminal\n");
      return kFailed;
  }
  return kFailed;
}

int RunReadCard(const Args& args) {
  std::optional<int> timeoutMs;
  if (args.has("timeout")) {
    const auto t = args.integer("timeout", 0, 86400);
    if (!t) return usageError("read-card", "--timeout needs whole seconds 0..86400");
    timeoutMs = static_cast<int>(*t * 1000);
  }
  Link link;
  if (auto s = OpenLink(args, "read-card", link)) return *s;
  SignalScope stopOnSignal(link.comm->StopRequested);
  device::NullProgress progress;
  std::fprintf(stderr, "Priložte kartu na VORTANE\n a stlacte tlacidlo Prichod\n");
  const auto r = device::ReadCard(*link.comm, progress, timeoutMs);
  switch (r.outcome) {
    case device::CardReadResult::Outcome::Read:
      printLine(std::to_string(r.number));
      return kOk;
    case device::CardReadResult::Outcome::NotCommunicating:
      link.op.showMessage("VORTANE nekomunikuje");
      return kFailed;
    case device::CardReadResult::Outcome::TimedOut:
      std::fprintf(stderr, "vortane-cli: no card was presented\n");
      return kFailed;
    case device::CardReadResult::Outcome::Stopped:
      return kFailed;
  }
  return kFailed;
}

int RunAlign(const Args& args) {
  Link link;
  if (auto s = OpenLink(args, "align", link)) return *s;
  link.op.yesAnswer = true;
  ConnectTerminal(link);
  StdoutTextArea text;
  device::NullProgress progress;
  auto ctx = MakeContext(link, text, progress, nullptr, false);
  if (!device::AlignPointers(ctx)) {
    // Without a terminal the message has been shown; otherwise the file failed.
    if (link.state.known && link.state.PTR >= 0) PointerNotWritten(link);
    return kFailed;
  }
  printLine("REQPTR " + std::to_string(link.state.productionNumber) + "=" + std::to_string(link.state.PTR));
  return kOk;
}

// Sleeps up to `ms`, ending early on a signal.
void Nap(device::CommState& comm, int ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!g_signalled && std::chrono::steady_clock::now() < until) {
    comm.Receive(device::Micros(10000));
  }
}

int RunWatch(const Args& args) {
  Link link;
  if (auto s = OpenLink(args, "watch", link)) return *s;
  SignalScope stopOnSignal(link.comm->StopRequested);
  StdoutTextArea text;
  StderrProgress progress;
  device::PresenceStatus presence;
  presence.InitPresence(link.inst.employees, core::Now());
  // Carry on from the last run's board instead of showing everybody as unknown.
  presence.LoadPresence(link.inst.directory.presenceFile());
  // Watch is the fixed-unit mode whatever AUTODNL says.
  auto ctx = MakeContext(link, text, progress, &presence, true);
  if (!SetLockWait(args, ctx)) return usageError("watch", "--lock-wait needs whole seconds 0..86400");
  device::ConnectionMonitor monitor;
  bool connected = false;
  int failedTransfers = 0;
  auto lastReopen = std::chrono::steady_clock::now();
  printLine(device::OpeningPortLine(link.inst.messages, link.inst.settings.ComPort) + " " + link.portName);
  while (!g_signalled) {
    const auto tickStart = std::chrono::steady_clock::now();
    if (!link.transport.isOpen()) {
      // The device went away (adapter pulled, simulator ended): try it again now and then.
      if (tickStart - lastReopen > std::chrono::seconds(3)) {
        lastReopen = tickStart;
        link.reopen();
      }
    }
    const bool usable = device::StatusTick(*link.comm, link.state);
    const bool lost = monitor.tick(usable);
    if (usable && !connected) {
      connected = true;
      printLine(device::ShortDateLongTimeText(core::Now()) + "\tOK " + link.state.PanName + " " + link.state.Pansn);
    } else if (lost && connected) {
      connected = false;
      printLine(device::ShortDateLongTimeText(core::Now()) + "\tNepripojeny");
    }
    if (usable) {
      const long long S = device::ReadTransferPointer(ctx.iniFile, link.state.productionNumber);
      const auto d = device::CheckNewRecords(link.state, S, true, monitor.Declined);
      if (d.action == device::NewRecordsAction::FirstUse) {
        if (!device::HandleFirstUse(ctx)) PointerNotWritten(link);
      } else if (d.action == device::NewRecordsAction::Transfer) {
        const auto out = device::AutomaticTransfer(ctx, d.count);
        if (!out.statusText.empty()) printLine(out.statusText);
        if (out.pointerWriteFailed) PointerNotWritten(link);
        if (out.presenceWriteFailed) {
          std::fprintf(stderr, "vortane-cli: the presence status could not be written to %s\n",
                       core::DisplayPath(link.inst.directory.presenceFile()).c_str());
        }
        failedTransfers = out.transfer.complete() && !out.transfer.stopped ? 0 : failedTransfers + 1;
        link.comm->StopRequested = false;
        // The heartbeat sends its request again on the next tick.
        device::SendFrame(*link.comm, device::kStatusCmd, device::kStatusArg);
      }
    }
    const auto spent = std::chrono::steady_clock::now() - tickStart;
    const int rest = 700 - static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(spent).count());
    // After failed transfers wait a little longer: a terminal that cannot
    // deliver a block is not hammered, and nothing is lost by waiting.
    Nap(*link.comm, std::max(rest, 0) + std::min(failedTransfers, 10) * 300);
  }
  return kOk;
}

#else

int NoSerial(const Args&) {
  std::fprintf(stderr, "vortane-cli: built without serial port support\n");
  return kFailed;
}

#endif

int RunPresence(const Args& args) {
  core::CliOperator op;
  int status = kOk;
  const auto inst = LoadInstallation(args, "presence", op, InstallationOptions{}, status);
  if (!inst) return status;
  device::PresenceStatus presence;
  presence.InitPresence(inst->employees, core::Now());
  presence.LoadPresence(inst->directory.presenceFile());
  for (const auto& row : device::PresenceRows(inst->employees, presence)) {
    printLine(escapeField(row.name) + "\t" + escapeField(row.department) + "\t" + row.time + "\t" + row.state);
  }
  return kOk;
}

#ifdef VORTANE_HAVE_SERIAL
const Registrar kStatus{{"status", "--dir DIR [--port DEVICE]", {}, RunStatus}};
const Registrar kDownload{{"download",
                           "--dir DIR [--port DEVICE] (--new | --all | --count N) [--stats] [--lock-wait S]",
                           {"new", "all", "stats"},
                           RunDownload}};
const Registrar kSetTime{{"set-time", "--dir DIR [--port DEVICE] [--yes]", {"yes"}, RunSetTime}};
const Registrar kReadCard{{"read-card", "--dir DIR [--port DEVICE] [--timeout S]", {}, RunReadCard}};
const Registrar kAlign{{"align", "--dir DIR [--port DEVICE] [--yes]", {"yes"}, RunAlign}};
const Registrar kWatch{{"watch", "--dir DIR [--port DEVICE] [--lock-wait S]  (until SIGINT/SIGTERM)", {}, RunWatch}};
#else
const Registrar kStatus{{"status", "(needs the serial port support)", {}, NoSerial}};
const Registrar kDownload{{"download", "(needs the serial port support)", {"new", "all", "stats"}, NoSerial}};
const Registrar kSetTime{{"set-time", "(needs the serial port support)", {"yes"}, NoSerial}};
const Registrar kReadCard{{"read-card", "(needs the serial port support)", {}, NoSerial}};
const Registrar kAlign{{"align", "(needs the serial port support)", {"yes"}, NoSerial}};
const Registrar kWatch{{"watch", "(needs the serial port support)", {}, NoSerial}};
#endif
const Registrar kPresence{{"presence", "--dir DIR", {}, RunPresence}};

}  // namespace
}  // namespace cli
