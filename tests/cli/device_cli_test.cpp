// vortane-cli's terminal commands against the simulator program on a
// pseudo-terminal: what an installation with a real terminal goes through.

#include <gtest/gtest.h>

#if defined(_WIN32)
TEST(DeviceCli, TalksToTheSimulatorOnAPseudoTerminal) {
  GTEST_SKIP() << "the simulator program serves a POSIX pseudo-terminal; Windows has none";
}
#else

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/ini_file.h"
#include "support/test_support.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using testing_support::BinaryDir;
using testing_support::ReadBytes;
using testing_support::TempDir;

// A child process with its three standard streams on pipes.
class Child {
 public:
  explicit Child(const std::filesystem::path& program, std::vector<std::string> args) {
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&fa, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&fa, err[1], STDERR_FILENO);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) posix_spawn_file_actions_addclose(&fa, fd);
    args.insert(args.begin(), program.string());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&m_pid, argv[0], &fa, nullptr, argv.data(), environ) != 0) m_pid = -1;
    posix_spawn_file_actions_destroy(&fa);
    close(in[0]);
    close(out[1]);
    close(err[1]);
    m_in = in[1];
    m_out = out[0];
    m_err = err[0];
    fcntl(m_out, F_SETFL, O_NONBLOCK);
    fcntl(m_err, F_SETFL, O_NONBLOCK);
  }
  ~Child() {
    if (m_pid > 0 && !m_exited) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
    for (int fd : {m_in, m_out, m_err}) {
      if (fd >= 0) close(fd);
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool started() const { return m_pid > 0; }
  void signal(int sig) { kill(m_pid, sig); }
  void send(const std::string& line) {
    const std::string s = line + "\n";
    ASSERT_EQ(write(m_in, s.data(), s.size()), static_cast<ssize_t>(s.size()));
  }

  // Waits until stdout holds a line containing `text`; returns that line.
  std::optional<std::string> waitFor(const std::string& text, std::chrono::milliseconds wait = 10s) {
    const auto end = std::chrono::steady_clock::now() + wait;
    for (;;) {
      std::size_t lineStart = m_scan;
      for (std::size_t nl; (nl = m_stdout.find('\n', lineStart)) != std::string::npos; lineStart = nl + 1) {
        const std::string line = m_stdout.substr(lineStart, nl - lineStart);
        if (line.find(text) != std::string::npos) {
          m_scan = nl + 1;
          return line;
        }
      }
      if (std::chrono::steady_clock::now() >= end || m_exited) return std::nullopt;
      pump(10ms);
    }
  }

  // Exit status after at most `wait` (-1 when still running).
  int wait(std::chrono::milliseconds wait = 30s) {
    const auto end = std::chrono::steady_clock::now() + wait;
    while (!m_exited && std::chrono::steady_clock::now() < end) pump(10ms);
    pump(0ms);
    return m_exited ? m_status : -1;
  }

  const std::string& out() const { return m_stdout; }
  const std::string& err() const { return m_stderr; }

 private:
  void pump(std::chrono::milliseconds wait) {
    pollfd p[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
    poll(p, 2, static_cast<int>(wait.count()));
    char buf[4096];
    for (;;) {
      const ssize_t n = read(m_out, buf, sizeof buf);
      if (n <= 0) break;
      m_stdout.append(buf, static_cast<std::size_t>(n));
    }
    for (;;) {
      const ssize_t n = read(m_err, buf, sizeof buf);
      if (n <= 0) break;
      m_stderr.append(buf, static_cast<std::size_t>(n));
    }
    if (!m_exited) {
      int status = 0;
      if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_exited = true;
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
    }
  }

  pid_t m_pid = -1;
  int m_in = -1, m_out = -1, m_err = -1;
  bool m_exited = false;
  int m_status = -1;
  std::string m_stdout, m_stderr;
  std::size_t m_scan = 0;
};

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

// A program directory, the simulator serving it a terminal, and the tool.
class DeviceCli : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir / "Log");
    std::string employees = ";Zoznam pracovnikov\r\n";
    for (int i = 0; i < 5; ++i) {
      employees +=
          "Pracovnik " + std::to_string(i + 1) + "\t\t" + std::to_string(101 + i) + "\tDielna\t0\t0\t100\t0\t\r\n";
    }
    testing_support::WriteBytes(dir / "prac.txt", employees);
    setType(0);
  }

  void setType(int type) {
    testing_support::WriteBytes(dir / "vortane.ini", "[GLOBAL]\r\ntype=" + std::to_string(type) + "\r\n");
  }

  // Starts the simulator; the tool is pointed at its pseudo-terminal.
  void startSim(std::vector<std::string> args) {
    args.insert(args.end(), {"--clock", "15.3.2026 10:00:00", "--production", "513"});
    sim = std::make_unique<Child>(BinaryDir() / "tools/timeclock-sim/timeclock-sim", args);
    ASSERT_TRUE(sim->started());
    const auto line = sim->waitFor("PTY ");
    ASSERT_TRUE(line.has_value()) << sim->err();
    port = line->substr(line->find("PTY ") + 4);
  }

  std::unique_ptr<Child> startCli(std::vector<std::string> args) {
    args.insert(args.end(), {"--dir", dir.path().string(), "--port", port});
    return std::make_unique<Child>(BinaryDir() / "src/app/vortane-cli", args);
  }

  CliResult cli(std::vector<std::string> args) {
    auto c = startCli(std::move(args));
    CliResult r;
    r.status = c->wait(60s);
    r.out = c->out();
    r.err = c->err();
    return r;
  }

  long long pointer() { return core::ReadProfileIntOrMissing(dir / "vortane.ini", "REQPTR", "513"); }
  void setPointer(long long v) { core::WriteProfileInt(dir / "vortane.ini", "REQPTR", "513", v); }

  // The newest `n` records of the terminal as log lines, sorted.
  std::vector<std::string> terminalRecords(int n) {
    sim->send("dump " + std::to_string(n));
    std::vector<std::string> lines;
    for (;;) {
      const auto line = sim->waitFor("\t");
      if (!line) break;
      if (line->rfind("records ", 0) == 0) break;
      // position, card, date-time, in/out, code -> date-time, card, code
      std::vector<std::string> f;
      std::stringstream ss(*line);
      for (std::string x; std::getline(ss, x, '\t');) f.push_back(x);
      if (f.size() != 5 || f[0].empty() || f[0].find_first_not_of("0123456789") != std::string::npos) break;
      lines.push_back(f[2] + "\t" + f[1] + "\t" + f[4]);
      if (lines.size() == static_cast<std::size_t>(n)) break;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  // Every line of every month log, sorted.
  std::vector<std::string> logRecords() {
    std::vector<std::string> lines;
    for (const auto& e : std::filesystem::directory_iterator(dir / "Log")) {
      std::stringstream ss(ReadBytes(e.path()));
      for (std::string l; std::getline(ss, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        if (!l.empty()) lines.push_back(l);
      }
    }
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  static int countLines(const std::string& s, const std::string& containing) {
    int n = 0;
    std::stringstream ss(s);
    for (std::string l; std::getline(ss, l);) n += l.find(containing) != std::string::npos;
    return n;
  }

  TempDir dir;
  std::unique_ptr<Child> sim;
  std::string port;
};

TEST_F(DeviceCli, StatusIsDecoded) {
  startSim({"--model", "dallas", "--ptr", "1234", "--lock", "7"});
  auto r = cli({"status"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Prístroj: VORT DALLAS\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Čas: 15.3.2026 10:00:"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Výr.č.: 513\n"), std::string::npos);
  EXPECT_NE(r.out.find("PTR: 1234\n"), std::string::npos);
  EXPECT_NE(r.out.find("Kapacita: 5200\n"), std::string::npos);
  EXPECT_NE(r.out.find("Zámok: 7 sek\n"), std::string::npos);

  sim->send("ptr 5201");
  r = cli({"status"});
  EXPECT_NE(r.out.find("PTR: !CHYBA!\n"), std::string::npos) << r.out;
  r = cli({"download", "--new"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("CHYBA! Nie je možné preniesť záznamy"), std::string::npos) << r.err;

  sim->send("disconnect");
  r = cli({"status"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Prístroj nekomunikuje, prekontrolujte pripojenie, nastavte správny COM port"),
            std::string::npos)
      << r.err;
  r = cli({"download", "--new"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Pripojte prístroj na PC"), std::string::npos) << r.err;

  port = (dir / "no-such-port").string();
  r = cli({"status"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Nie je možné otvoriť COM port\\rNastavte správny COMPORT v MENU Služby - Nastavenia programu"),
            std::string::npos)
      << r.err;
}

TEST_F(DeviceCli, FirstUseNothingNewThenNewRecordsOfAWrappedRing) {
  startSim({"--prefill", "40", "--wrapped", "--cards", "101,102,103,104,105,999"});
  auto r = cli({"download", "--new"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("POZOR prvýkrát ste na tomto PC použili prenos najnovších záznamov z prístroja"),
            std::string::npos);
  EXPECT_EQ(pointer(), 20);  // 20 records before the ring's end, 20 after
  EXPECT_TRUE(logRecords().empty());

  r = cli({"download", "--new"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("V prístroji nie sú žiadne nové záznamy o dochádzke"), std::string::npos);

  // The whole wrapped stretch as new records: from 20 before the end to PTR.
  setPointer(9350 - 19);
  r = cli({"download", "--new"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("40 záznamov\n"), std::string::npos) << r.out;
  EXPECT_EQ(countLines(r.out, "\t"), 40);
  EXPECT_EQ(countLines(r.out, "[999]"), 6);  // every sixth record is of a card nobody has
  EXPECT_EQ(pointer(), 20);
  EXPECT_EQ(logRecords(), terminalRecords(40));

  // Registrations made since.
  sim->send("add 101 in");
  sim->send("add 102 out 8");
  ASSERT_TRUE(sim->waitFor("added"));
  ASSERT_TRUE(sim->waitFor("added"));
  r = cli({"download", "--new"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\tPracovnik 2\tOd 8 Dovolenka\n"), std::string::npos) << r.out;
  EXPECT_EQ(pointer(), 22);
  EXPECT_EQ(logRecords(), terminalRecords(42));
}

TEST_F(DeviceCli, CountShowsWithoutStoring) {
  setType(2);
  startSim({"--type", "2", "--prefill", "30"});
  setPointer(5);
  auto r = cli({"download", "--count", "25"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(countLines(r.out, "\t"), 25);
  EXPECT_NE(r.out.find("25 záznamov\n"), std::string::npos);
  EXPECT_TRUE(logRecords().empty());
  EXPECT_EQ(pointer(), 5);

  r = cli({"download", "--count", "9351"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Maximálne je možné preniesť9350 záznamov"), std::string::npos) << r.err;
  r = cli({"download", "--count", "x1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("'x1' is not a valid integer value"), std::string::npos) << r.err;
  r = cli({"download", "--count", "5", "--new"});
  EXPECT_EQ(r.status, 2);
}

TEST_F(DeviceCli, AllOfAFullRingCancelledAndResumed) {
  // VORT DALLAS, every position written, PTR in the middle of the ring.
  startSim({"--model", "dallas", "--full", "--wrapped"});
  auto c = startCli({"download", "--all"});
  std::this_thread::sleep_for(3s);
  c->signal(SIGINT);
  EXPECT_EQ(c->wait(10s), 1) << c->err();
  const long long stopped = pointer();
  const auto partial = logRecords();
  // Stopped at a block boundary after the records stored: 2601 is PTR + 1.
  EXPECT_GT(partial.size(), 0u);
  EXPECT_LT(partial.size(), 5200u);
  EXPECT_EQ(stopped, (2601 + static_cast<long long>(partial.size())) % 5201);

  const auto r = cli({"download", "--new"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(pointer(), 2600);
  EXPECT_EQ(logRecords(), terminalRecords(5200));
}

TEST_F(DeviceCli, SetTimeAndReadCard) {
  startSim({});
  auto r = cli({"set-time"});
  EXPECT_EQ(r.status, 0) << r.err;
  sim->send("clock");
  const auto today = core::Now().date();
  const std::string date =
      std::to_string(today.day) + "." + std::to_string(today.month) + "." + std::to_string(today.year);
  EXPECT_TRUE(sim->waitFor(date)) << sim->out();

  auto c = startCli({"read-card", "--timeout", "20"});
  std::this_thread::sleep_for(1200ms);
  sim->send("card 4242 1");
  EXPECT_EQ(c->wait(10s), 0) << c->err();
  EXPECT_EQ(c->out(), "4242\n");

  r = cli({"read-card", "--timeout", "1"});
  EXPECT_EQ(r.status, 1);
}

TEST_F(DeviceCli, WatchTransfersUntilStoppedAndKeepsThePresenceBoard) {
  startSim({"--prefill", "300", "--cards", "101,102,103"});
  setPointer(0);
  auto c = startCli({"watch"});
  ASSERT_TRUE(c->waitFor("prenos... 300")) << c->err();
  std::this_thread::sleep_for(600ms);
  c->signal(SIGTERM);
  EXPECT_EQ(c->wait(10s), 0) << c->err();
  const auto partial = logRecords();
  EXPECT_LT(partial.size(), 300u);
  EXPECT_EQ(pointer(), static_cast<long long>(partial.size()));
  EXPECT_EQ(ReadBytes(dir / "stav.bin").size(), 5u * 24u);

  // Restarted, it carries on; new registrations follow within a heartbeat or two.
  c = startCli({"watch"});
  ASSERT_TRUE(c->waitFor("prenos... " + std::to_string(300 - partial.size()))) << c->err();
  ASSERT_TRUE(c->waitFor("záznamov"));
  sim->send("add 104 in 4");
  ASSERT_TRUE(sim->waitFor("added"));
  ASSERT_TRUE(c->waitFor("prenos... 1", 5s)) << c->out();
  ASSERT_TRUE(c->waitFor("záznamov"));
  c->signal(SIGINT);
  EXPECT_EQ(c->wait(10s), 0);
  EXPECT_EQ(logRecords(), terminalRecords(301));
  // Records only go to the logs and the board in this mode, never as lines.
  EXPECT_EQ(countLines(c->out(), "Pracovnik"), 0);

  const auto p = cli({"presence"});
  EXPECT_EQ(p.status, 0);
  std::stringstream rows(p.out);
  std::vector<std::string> lines;
  for (std::string l; std::getline(rows, l);) lines.push_back(l);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[3].substr(0, 19), "Pracovnik 4\tDielna\t");
  EXPECT_NE(lines[3].find("\tPR 4 Obed"), std::string::npos) << lines[3];
  EXPECT_NE(lines[4].find("\t---\t"), std::string::npos) << lines[4];
}

}  // namespace

#endif
