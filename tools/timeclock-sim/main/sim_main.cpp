// timeclock-sim: serves the terminal emulation on a pseudo-terminal.
//
// The first line on stdout is "PTY <slave path>"; then the program answers on
// the line and takes operator commands from stdin and an optional script (see
// engine/commands.h). It ends on SIGINT, SIGTERM, "quit" or the end of stdin
// (unless --keep-running).

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/employee_list.h"
#include "core/path_text.h"
#include "core/record_types.h"
#include "core/text_util.h"
#include "core/time_values.h"
#include "engine/commands.h"
#include "engine/terminal.h"

namespace {

using Clock = std::chrono::steady_clock;
using timeclock::Terminal;

volatile sig_atomic_t g_stop = 0;
void onSignal(int) { g_stop = 1; }

struct Options {
  timeclock::Model model = timeclock::Model::Rfid;
  int type = 0;
  std::optional<int> baud;
  bool pace = false;
  long long production = 100;
  std::optional<long long> ptr;
  long long prefill = 0;
  bool wrapped = false;
  bool full = false;
  std::vector<std::uint16_t> cards;
  std::optional<core::DateTime> clock;
  timeclock::FaultConfig faults;
  std::string script;
  std::string link;
  bool keepRunning = false;
  bool disconnectExit = false;
  bool swapKeys = false;
  std::optional<long long> battery;
  std::optional<long long> threshold;
  std::optional<long long> lock;
  bool trace = false;
};

const char kUsage[] =
    "usage: timeclock-sim [options]\n"
    "  --model dallas|rfid      terminal model (rfid)\n"
    "  --type 0|1|2             connection: 0 RS232, 1 RS485 (both echo), 2 USB (no echo) (0)\n"
    "  --baud N                 line rate for --pace (19200 for types 0 and 2, 9600 for type 1)\n"
    "  --pace | --no-pace       release output at the line rate (baud / 10 bytes per second), or at once (default)\n"
    "  --production N           production number 0..65535 (100)\n"
    "  --ptr N                  ring pointer to start from (0)\n"
    "  --prefill N              N registrations in the ring, ending at the pointer\n"
    "  --wrapped                with --prefill: the N registrations straddle the ring's end;\n"
    "                           with --full: the pointer ends in the middle of the ring\n"
    "  --full                   every ring position holds a registration\n"
    "  --cards A,B,...          cards for generated registrations (101..115, the demo employees)\n"
    "  --employees PATH         take those cards from an employee list (prac.txt, or the folder holding it)\n"
    "  --clock 'd.M.yyyy H:mm:ss'  terminal clock at start (the PC's clock)\n"
    "  --battery N --threshold N --lock N   battery level, threshold, lock time\n"
    "  --swap-keys              VORT DALLAS: arrival and departure keys swapped\n"
    "  --seed S --damage P --drop P --silence P --disconnect-after N   faults\n"
    "  --disconnect-exit        end the program (closing the line) when the disconnect fault hits\n"
    "  --script FILE            commands run at start ('sleep S' waits between them)\n"
    "  --link PATH              symbolic link to the pseudo-terminal, removed at the end\n"
    "  --keep-running           do not end at the end of stdin\n"
    "  --trace                  frames received, on stderr\n";

[[noreturn]] void usage(const std::string& problem) {
  std::cerr << "timeclock-sim: " << problem << "\n" << kUsage;
  std::exit(2);
}

long long intArg(const std::string& name, const char* v, long long lo, long long hi) {
  const auto n = core::parseDecimal(v);
  if (!n || *n < lo || *n > hi) usage(name + " needs a number " + std::to_string(lo) + ".." + std::to_string(hi));
  return *n;
}

double rateArg(const std::string& name, const char* v) {
  char* end = nullptr;
  const double d = std::strtod(v, &end);
  if (end == v || *end != '\0' || !(d >= 0 && d <= 1)) usage(name + " needs a probability 0..1");
  return d;
}

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) usage(a + " needs a value");
      return argv[++i];
    };
    if (a == "--model") {
      const std::string m = value();
      if (m == "dallas") {
        o.model = timeclock::Model::Dallas;
      } else if (m == "rfid") {
        o.model = timeclock::Model::Rfid;
      } else {
        usage("--model is dallas or rfid");
      }
    } else if (a == "--type") {
      o.type = static_cast<int>(intArg(a, value(), 0, 2));
    } else if (a == "--baud") {
      o.baud = static_cast<int>(intArg(a, value(), 10, 4000000));
    } else if (a == "--pace") {
      o.pace = true;
    } else if (a == "--no-pace") {
      o.pace = false;
    } else if (a == "--production") {
      o.production = intArg(a, value(), 0, 65535);
    } else if (a == "--ptr") {
      o.ptr = intArg(a, value(), 0, 65535);
    } else if (a == "--prefill") {
      o.prefill = intArg(a, value(), 0, 1000000);
    } else if (a == "--wrapped") {
      o.wrapped = true;
    } else if (a == "--full") {
      o.full = true;
    } else if (a == "--cards") {
      auto c = timeclock::ParseCardList(value());
      if (!c || c->empty()) usage("--cards needs card numbers 0..65535 separated by commas");
      o.cards = *c;
    } else if (a == "--employees") {
      std::filesystem::path file = core::PathFromUtf8(value());
      if (std::filesystem::is_directory(file)) file /= "prac.txt";
      core::EmployeeList list;
      if (list.read(file, 480) < 0) usage("no employees in " + core::DisplayPath(file));
      for (const auto& e : list.employees()) {
        if (std::find(o.cards.begin(), o.cards.end(), e.card) == o.cards.end()) o.cards.push_back(e.card);
      }
    } else if (a == "--clock") {
      const auto dt = core::ParseLogDateTime(value());
      if (!dt || dt->date().year < 2000 || dt->date().year > 2178) usage("--clock needs d.M.yyyy H:mm:ss (2000..2178)");
      o.clock = dt;
    } else if (a == "--battery") {
      o.battery = intArg(a, value(), 0, 255);
    } else if (a == "--threshold") {
      o.threshold = intArg(a, value(), 0, 255);
    } else if (a == "--lock") {
      o.lock = intArg(a, value(), 0, 255);
    } else if (a == "--swap-keys") {
      o.swapKeys = true;
    } else if (a == "--seed") {
      o.faults.seed = static_cast<std::uint64_t>(intArg(a, value(), 0, 0x7FFFFFFFFFFFFFFFLL));
    } else if (a == "--damage") {
      o.faults.damage = rateArg(a, value());
    } else if (a == "--drop") {
      o.faults.drop = rateArg(a, value());
    } else if (a == "--silence") {
      o.faults.silence = rateArg(a, value());
    } else if (a == "--disconnect-after") {
      o.faults.disconnectAfter = static_cast<int>(intArg(a, value(), 0, 1000000000));
    } else if (a == "--disconnect-exit") {
      o.disconnectExit = true;
    } else if (a == "--script") {
      o.script = value();
    } else if (a == "--link") {
      o.link = value();
    } else if (a == "--keep-running") {
      o.keepRunning = true;
    } else if (a == "--trace") {
      o.trace = true;
    } else if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      std::exit(0);
    } else {
      usage("unknown option " + a);
    }
  }
  return o;
}

void setRaw(int fd) {
  termios tio{};
  if (tcgetattr(fd, &tio) != 0) return;
  cfmakeraw(&tio);
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  tcsetattr(fd, TCSANOW, &tio);
}

class Server {
 public:
  Server(Options options, Terminal& terminal) : m_o(std::move(options)), m_t(terminal) {
    m_cards = m_o.cards.empty()
                  ? std::vector<std::uint16_t>(timeclock::DefaultCards().begin(), timeclock::DefaultCards().end())
                  : m_o.cards;
    m_random.seed(m_o.faults.seed);
  }

  int run();

 private:
  bool openPty();
  void discardUnread();
  bool clientPresent();
  void command(const std::string& line, bool fromScript);
  void print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  }
  void autoRegistration();
  void flushOutput();

  Options m_o;
  Terminal& m_t;
  std::vector<std::uint16_t> m_cards;
  std::mt19937_64 m_random;
  std::map<std::uint16_t, bool> m_departed;
  int m_master = -1;
  bool m_client = false;
  std::string m_slavePath;
  bool m_quit = false;
  std::deque<std::string> m_script;
  Clock::time_point m_scriptAt{};
  std::optional<std::chrono::nanoseconds> m_autoEvery;
  Clock::time_point m_autoAt{};
  std::vector<std::uint8_t> m_toWrite;
  std::string m_stdinLine;
};

bool Server::openPty() {
  m_master = posix_openpt(O_RDWR | O_NOCTTY);
  if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) return false;
  const char* name = ptsname(m_master);
  if (name == nullptr) return false;
  m_slavePath = name;
  // Raw 8-bit line for clients that do not set it themselves; the settings
  // stay with the pseudo-terminal while the master is open.
  const int slave = open(name, O_RDWR | O_NOCTTY);
  if (slave < 0) return false;
  setRaw(slave);
  close(slave);
  fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
  return true;
}

// Bytes we wrote that the last client never read would reach the next one
// first; a terminal whose cable was pulled has nothing left to say.
void Server::discardUnread() {
  const int slave = open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (slave < 0) return;
  tcflush(slave, TCIFLUSH);
  close(slave);
}

// While nobody has the slave open the master reports a hang-up on every poll,
// so it is looked at on a short timer instead of waited on.
bool Server::clientPresent() {
  pollfd p{m_master, 0, 0};
  return poll(&p, 1, 0) >= 0 && (p.revents & POLLHUP) == 0;
}

void Server::command(const std::string& line, bool fromScript) {
  const timeclock::CommandOutcome out = timeclock::ExecuteCommand(m_t, line, m_cards);
  print(out.text);
  if (out.quit) m_quit = true;
  if (out.autoSeconds) {
    if (*out.autoSeconds <= 0) {
      m_autoEvery.reset();
      print("auto off\n");
    } else {
      m_autoEvery = std::chrono::nanoseconds(static_cast<long long>(*out.autoSeconds * 1e9));
      m_autoAt = Clock::now() + *m_autoEvery;
      print("auto every " + std::to_string(*out.autoSeconds) + " s\n");
    }
  }
  if (out.sleepSeconds) {
    if (fromScript) {
      m_scriptAt = Clock::now() + std::chrono::nanoseconds(static_cast<long long>(*out.sleepSeconds * 1e9));
    } else {
      print("error: sleep only waits in scripts\n");
    }
  }
}

void Server::autoRegistration() {
  const std::uint16_t card = m_cards[std::uniform_int_distribution<std::size_t>(0, m_cards.size() - 1)(m_random)];
  const bool out = m_departed[card];
  m_departed[card] = !out;
  command("add " + std::to_string(card) + (out ? " out" : " in"), false);
}

void Server::flushOutput() {
  auto due = m_t.takeOutputDue(Clock::now());
  m_toWrite.insert(m_toWrite.end(), due.begin(), due.end());
  while (!m_toWrite.empty()) {
    const ssize_t n = write(m_master, m_toWrite.data(), m_toWrite.size());
    if (n > 0) {
      m_toWrite.erase(m_toWrite.begin(), m_toWrite.begin() + n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;  // EAGAIN: the slave's queue is full; poll for room
  }
}

int Server::run() {
  if (!openPty()) {
    std::cerr << "timeclock-sim: cannot open a pseudo-terminal: " << std::strerror(errno) << "\n";
    return 1;
  }
  if (!m_o.link.empty()) {
    struct stat st {};
    if (lstat(m_o.link.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) unlink(m_o.link.c_str());
    if (symlink(m_slavePath.c_str(), m_o.link.c_str()) != 0) {
      std::cerr << "timeclock-sim: cannot create the link " << m_o.link << ": " << std::strerror(errno) << "\n";
      return 1;
    }
  }
  print("PTY " + m_slavePath + "\n");
  std::cerr << "timeclock-sim: " << m_t.info().name << ", connection type " << m_o.type << ", ptr " << m_t.ptr()
            << ", production " << m_t.productionNumber() << (m_o.pace ? ", paced" : "") << "\n";

  if (!m_o.script.empty()) {
    std::ifstream in(m_o.script);
    if (!in) {
      std::cerr << "timeclock-sim: cannot read the script " << m_o.script << "\n";
      return 1;
    }
    for (std::string line; std::getline(in, line);) m_script.push_back(line);
  }
  m_scriptAt = Clock::now();

  sigset_t blocked;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGINT);
  sigaddset(&blocked, SIGTERM);
  sigset_t old;
  sigprocmask(SIG_BLOCK, &blocked, &old);
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);
  sigset_t waitMask = old;
  sigdelset(&waitMask, SIGINT);
  sigdelset(&waitMask, SIGTERM);

  bool stdinOpen = true;
  bool wasDisconnected = m_t.disconnected();
  std::vector<std::uint8_t> buf(4096);
  while (!m_quit && !g_stop) {
    const auto now = Clock::now();
    while (!m_script.empty() && now >= m_scriptAt && !m_quit) {
      const std::string line = m_script.front();
      m_script.pop_front();
      command(line, true);
    }
    if (m_autoEvery && now >= m_autoAt) {
      autoRegistration();
      m_autoAt = now + *m_autoEvery;
    }
    flushOutput();
    if (m_t.disconnected() != wasDisconnected) {
      wasDisconnected = m_t.disconnected();
      print(wasDisconnected ? "disconnected\n" : "connected\n");
      if (wasDisconnected && m_o.disconnectExit) break;
    }
    if (m_quit) break;

    // Sleep until the line, stdin, the next paced byte, the next automatic
    // registration or the next script line needs us.
    std::optional<Clock::time_point> wake;
    auto consider = [&](Clock::time_point t) {
      if (!wake || t < *wake) wake = t;
    };
    if (!m_client) {
      if (clientPresent()) {
        m_client = true;
        discardUnread();
        if (m_o.trace) std::cerr << "timeclock-sim: line opened\n";
      } else {
        consider(Clock::now() + std::chrono::milliseconds(20));
      }
    }
    if (m_toWrite.empty()) {
      if (auto t = m_t.nextOutputTime()) consider(*t);
    }
    if (m_autoEvery) consider(m_autoAt);
    if (!m_script.empty()) consider(m_scriptAt);
    timespec ts{};
    timespec* timeout = nullptr;
    if (wake) {
      const auto left = std::max(Clock::duration::zero(), *wake - Clock::now());
      const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
      ts.tv_sec = static_cast<time_t>(ns / 1000000000);
      ts.tv_nsec = static_cast<long>(ns % 1000000000);
      timeout = &ts;
    }
    pollfd fds[2] = {};
    fds[0].fd = m_client ? m_master : -1;
    fds[0].events = static_cast<short>(POLLIN | (m_toWrite.empty() ? 0 : POLLOUT));
    fds[1].fd = stdinOpen ? STDIN_FILENO : -1;
    fds[1].events = POLLIN;
    const int r = ppoll(fds, 2, timeout, &waitMask);
    if (r < 0) {
      if (errno == EINTR) continue;
      std::cerr << "timeclock-sim: poll: " << std::strerror(errno) << "\n";
      break;
    }
    if (fds[0].revents & POLLIN) {
      const ssize_t n = read(m_master, buf.data(), buf.size());
      if (n > 0) {
        m_t.receive(std::span<const std::uint8_t>(buf.data(), static_cast<std::size_t>(n)));
      }
    } else if (fds[0].revents & (POLLHUP | POLLERR)) {
      // The PC closed the line.
      m_client = false;
      m_t.resetLine();
      m_toWrite.clear();
      discardUnread();
      if (m_o.trace) std::cerr << "timeclock-sim: line closed\n";
    }
    if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
      char c[1024];
      const ssize_t n = read(STDIN_FILENO, c, sizeof c);
      if (n <= 0) {
        stdinOpen = false;
        if (!m_stdinLine.empty()) command(m_stdinLine, false);
        m_stdinLine.clear();
        if (!m_o.keepRunning) break;
      } else {
        m_stdinLine.append(c, static_cast<std::size_t>(n));
        std::size_t nl;
        while ((nl = m_stdinLine.find('\n')) != std::string::npos && !m_quit) {
          const std::string line = m_stdinLine.substr(0, nl);
          m_stdinLine.erase(0, nl + 1);
          command(line, false);
        }
      }
    }
  }
  // The last answers still go out before the line closes: a PC must not lose
  // an acknowledgement that was already on its way.
  const auto lingerEnd = Clock::now() + std::chrono::seconds(2);
  for (;;) {
    flushOutput();
    if ((!m_t.hasOutput() && m_toWrite.empty()) || !m_client || Clock::now() >= lingerEnd) break;
    poll(nullptr, 0, 2);
  }
  if (m_client) {
    // Give the PC a moment to read what is queued on the line.
    for (int i = 0; i < 50; ++i) {
      int queued = 0;
      if (ioctl(m_master, TIOCOUTQ, &queued) != 0 || queued == 0) break;
      poll(nullptr, 0, 2);
    }
    poll(nullptr, 0, 20);
  }
  if (!m_o.link.empty()) unlink(m_o.link.c_str());
  close(m_master);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o = parse(argc, argv);
  Terminal t(o.model, static_cast<timeclock::ConnectionType>(o.type));
  if (o.clock) t.setClock(*o.clock);
  t.setProductionNumber(static_cast<std::uint16_t>(o.production));
  t.setSwappedKeys(o.swapKeys);
  if (o.battery) t.setBatteryLevel(static_cast<int>(*o.battery));
  if (o.threshold) t.setBatteryThreshold(static_cast<int>(*o.threshold));
  if (o.lock) t.setLockTime(static_cast<int>(*o.lock));
  const int positions = t.info().capacity + 1;
  const int startPtr = static_cast<int>(o.ptr.value_or(0));
  if (o.full) {
    t.fillRing(o.wrapped ? positions / 2 : startPtr, o.cards);
  } else if (o.prefill > 0) {
    // N registrations that end at the pointer; --wrapped puts half of them
    // before the ring's end and half after it.
    const long long start = o.wrapped ? positions - (o.prefill + 1) / 2 : startPtr;
    t.prefillRing(static_cast<int>(o.prefill), static_cast<int>(start % positions), o.cards);
  } else if (o.wrapped) {
    usage("--wrapped goes with --prefill N or --full");
  } else {
    t.setPtr(startPtr);
  }
  t.setFaults(o.faults);
  const int baud = o.baud.value_or(o.type == 1 ? 9600 : 19200);
  if (o.pace) t.setLineRate(baud / 10);
  if (o.trace) {
    t.setFrameObserver([](std::uint8_t cmd, std::uint8_t arg) {
      std::fprintf(stderr, "frame CMD %u ARG %u\n", static_cast<unsigned>(cmd), static_cast<unsigned>(arg));
    });
  }
  Server server(std::move(o), t);
  return server.run();
}
