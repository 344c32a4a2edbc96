// The simulator program on a pseudo-terminal, driven like the PC drives a
// serial port: raw 8-bit bytes, replies collected until a deadline.

#include <gtest/gtest.h>

#if defined(_WIN32)
TEST(SimProgram, ServesAPseudoTerminal) {
  GTEST_SKIP() << "the simulator program serves a POSIX pseudo-terminal; Windows has none";
}
#else

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/employee_list.h"
#include "support/test_support.h"

extern char** environ;

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

Bytes frame(std::uint8_t cmd, std::uint8_t arg) {
  return {0x0D, 0x0A, cmd, arg, static_cast<std::uint8_t>(0xAA - cmd - arg)};
}

// The program with its stdin and stdout on pipes.
class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args) {
    int in[2];
    int out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&fa, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&fa, in[1]);
    posix_spawn_file_actions_addclose(&fa, out[0]);
    const std::string program = (testing_support::BinaryDir() / "tools/timeclock-sim/timeclock-sim").string();
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&m_pid, program.c_str(), &fa, nullptr, argv.data(), environ) != 0) m_pid = -1;
    posix_spawn_file_actions_destroy(&fa);
    close(in[0]);
    close(out[1]);
    m_stdin = in[1];
    m_stdout = out[0];
  }
  ~SimProcess() {
    if (m_stdin >= 0) close(m_stdin);
    if (m_pid > 0 && !m_reaped) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
    if (m_stdout >= 0) close(m_stdout);
  }

  bool started() const { return m_pid > 0; }

  // One line of stdout, waiting at most `wait`.
  std::string readLine(std::chrono::milliseconds wait = 5000ms) {
    const auto end = std::chrono::steady_clock::now() + wait;
    for (;;) {
      const auto nl = m_buffer.find('\n');
      if (nl != std::string::npos) {
        std::string line = m_buffer.substr(0, nl);
        m_buffer.erase(0, nl + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      if (left.count() <= 0) return {};
      pollfd p{m_stdout, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return {};
      char c[256];
      const ssize_t n = read(m_stdout, c, sizeof c);
      if (n <= 0) return {};
      m_buffer.append(c, static_cast<std::size_t>(n));
    }
  }

  void command(const std::string& line) {
    const std::string s = line + "\n";
    ASSERT_EQ(write(m_stdin, s.data(), s.size()), static_cast<ssize_t>(s.size()));
  }
  void closeStdin() {
    close(m_stdin);
    m_stdin = -1;
  }
  // Exit status, or -1 when it did not end within the wait.
  int waitExit(std::chrono::milliseconds wait = 5000ms) {
    const auto end = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < end) {
      int status = 0;
      if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_reaped = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      usleep(5000);
    }
    return -1;
  }
  pid_t pid() const { return m_pid; }

 private:
  pid_t m_pid = -1;
  bool m_reaped = false;
  int m_stdin = -1;
  int m_stdout = -1;
  std::string m_buffer;
};

int openRaw(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
  if (fd < 0) return -1;
  termios tio{};
  tcgetattr(fd, &tio);
  cfmakeraw(&tio);
  cfsetspeed(&tio, B19200);
  tcsetattr(fd, TCSANOW, &tio);
  return fd;
}

// Writes the bytes and collects what comes back until `want` bytes are there
// or the wait is over.
Bytes exchange(int fd, const Bytes& out, std::size_t want, std::chrono::milliseconds wait = 2000ms) {
  EXPECT_EQ(write(fd, out.data(), out.size()), static_cast<ssize_t>(out.size()));
  Bytes in;
  const auto end = std::chrono::steady_clock::now() + wait;
  while (in.size() < want) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    std::uint8_t b[512];
    const ssize_t n = read(fd, b, sizeof b);
    if (n <= 0) break;
    in.insert(in.end(), b, b + n);
  }
  return in;
}

std::string slavePath(SimProcess& sim) {
  const std::string first = sim.readLine();
  EXPECT_EQ(first.rfind("PTY /dev/", 0), 0u) << first;
  return first.size() > 4 ? first.substr(4) : std::string();
}

TEST(SimProgram, ServesStatusAndBlocksOnAPseudoTerminal) {
  SimProcess sim({"--model", "dallas", "--prefill", "12", "--production", "777", "--cards", "5,6"});
  ASSERT_TRUE(sim.started());
  const std::string path = slavePath(sim);
  const int fd = openRaw(path);
  ASSERT_GE(fd, 0) << path;

  Bytes s = exchange(fd, frame(10, 2), 29);
  ASSERT_EQ(s.size(), 29u);
  EXPECT_EQ(Bytes(s.begin(), s.begin() + 5), frame(10, 2));
  EXPECT_EQ(s[5], 0x42);
  EXPECT_EQ(s[11] | (s[12] << 8), 12);
  EXPECT_EQ(s[16] | (s[17] << 8), 777);

  // The block at ring position 0 (address 1024): the first prefilled record is card 5.
  EXPECT_EQ(exchange(fd, frame(11, 0x00), 9), (Bytes{0x0D, 0x0A, 0x0B, 0x00, 0x9F, 0x0B, 0x00, 0xAA, 0x55}));
  const Bytes b = exchange(fd, frame(12, 0x04), 66);
  ASSERT_EQ(b.size(), 66u);
  EXPECT_EQ(b[9] | (b[10] << 8), 5);
  std::uint8_t sum = 0;
  for (std::size_t i = 5; i < 65; ++i) sum = static_cast<std::uint8_t>(sum + b[i]);
  EXPECT_EQ(b[65], sum);

  // A registration typed on stdin shows in the next status.
  sim.command("add 9 out");
  EXPECT_EQ(sim.readLine().rfind("added 12\t9\t", 0), 0u);
  s = exchange(fd, frame(10, 2), 29);
  ASSERT_EQ(s.size(), 29u);
  EXPECT_EQ(s[11] | (s[12] << 8), 13);

  // The PC may close the port and open it again.
  close(fd);
  const int again = openRaw(path);
  ASSERT_GE(again, 0);
  EXPECT_EQ(exchange(again, frame(10, 2), 29).size(), 29u);
  close(again);

  sim.closeStdin();
  EXPECT_EQ(sim.waitExit(), 0);
}

TEST(SimProgram, UsbHasNoEchoAndTermEndsIt) {
  SimProcess sim({"--type", "2", "--keep-running"});
  ASSERT_TRUE(sim.started());
  const int fd = openRaw(slavePath(sim));
  ASSERT_GE(fd, 0);
  const Bytes s = exchange(fd, frame(10, 2), 24);
  ASSERT_EQ(s.size(), 24u);
  EXPECT_EQ(s[0], 0x43);
  sim.closeStdin();
  // --keep-running: still answering after the end of stdin.
  EXPECT_EQ(exchange(fd, frame(34, 5), 4), (Bytes{0x22, 0x05, 0xAA, 0x55}));
  close(fd);
  kill(sim.pid(), SIGTERM);
  EXPECT_EQ(sim.waitExit(), 0);
}

TEST(SimProgram, PacedFullRingAtLineRate) {
  SimProcess sim({"--model", "rfid", "--full", "--pace", "--baud", "19200"});
  ASSERT_TRUE(sim.started());
  const int fd = openRaw(slavePath(sim));
  ASSERT_GE(fd, 0);
  const Bytes s = exchange(fd, frame(10, 2), 29);
  ASSERT_EQ(s.size(), 29u);
  EXPECT_EQ(s[11] | (s[12] << 8), 0);
  exchange(fd, frame(11, 0), 9);
  const auto start = std::chrono::steady_clock::now();
  const Bytes b = exchange(fd, frame(12, 0), 76);
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(b.size(), 76u);
  EXPECT_NE(b[5], 0xFF) << "every position holds a record";
  // 76 bytes at 1920 bytes per second take 39.6 ms.
  EXPECT_GE(took, 38ms);
  EXPECT_LT(took, 1500ms);
  close(fd);
  sim.closeStdin();
  EXPECT_EQ(sim.waitExit(), 0);
}

TEST(SimProgram, ScriptLinkAndEmployeeCards) {
  testing_support::TempDir dir;
  core::EmployeeList list;
  for (const auto& [name, card] : {std::pair<const char*, std::uint16_t>{"Ema", 301}, {"Jan", 302}}) {
    core::Employee e;
    e.name = name;
    e.card = card;
    list.employees().push_back(e);
  }
  ASSERT_TRUE(list.write(dir / "prac.txt"));
  testing_support::WriteBytes(dir / "start.txt", "# demo\nadd 301 out 2\nsleep 0.8\nadd 302\n");
  const std::string link = (dir / "ttyVORT").string();
  SimProcess sim(
      {"--prefill", "4", "--employees", dir.path().string(), "--script", (dir / "start.txt").string(), "--link", link});
  ASSERT_TRUE(sim.started());
  slavePath(sim);
  EXPECT_EQ(sim.readLine().rfind("added 4\t301\t", 0), 0u);
  const int fd = openRaw(link);
  ASSERT_GE(fd, 0);
  Bytes s = exchange(fd, frame(10, 2), 29);
  ASSERT_EQ(s.size(), 29u);
  EXPECT_EQ(s[11] | (s[12] << 8), 5) << "the script waits before its last line";
  EXPECT_EQ(sim.readLine().rfind("added 5\t302\t", 0), 0u);
  s = exchange(fd, frame(10, 2), 29);
  EXPECT_EQ(s[11] | (s[12] << 8), 6);
  // Prefilled records are of the employees' cards.
  exchange(fd, frame(11, 0), 9);
  const Bytes b = exchange(fd, frame(12, 0), 76);
  ASSERT_EQ(b.size(), 76u);
  for (std::size_t r = 0; r < 6; ++r) {
    const int card = b[5 + r * 7 + 5] | (b[5 + r * 7 + 6] << 8);
    EXPECT_TRUE(card == 301 || card == 302) << card;
  }
  EXPECT_EQ(b[5 + 4 * 7 + 4], 18) << "departure of type 2";
  close(fd);
  sim.closeStdin();
  EXPECT_EQ(sim.waitExit(), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link))) << "the link is removed at the end";
}

TEST(SimProgram, ReplyNobodyReadIsNotDeliveredToTheNextClient) {
  for (const char* pace : {"--no-pace", "--pace"}) {
    SCOPED_TRACE(pace);
    std::vector<std::string> args{"--model", "dallas"};
    if (std::string(pace) == "--pace") args.push_back(pace);
    SimProcess sim(args);
    ASSERT_TRUE(sim.started());
    const std::string path = slavePath(sim);
    int fd = openRaw(path);
    ASSERT_GE(fd, 0);
    const Bytes f = frame(10, 2);
    ASSERT_EQ(write(fd, f.data(), f.size()), 5);
    usleep(30000);
    close(fd);
    usleep(100000);
    fd = openRaw(path);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(exchange(fd, {}, 1, 150ms).empty());
    const Bytes s = exchange(fd, frame(10, 2), 29);
    ASSERT_EQ(s.size(), 29u);
    EXPECT_EQ(Bytes(s.begin(), s.begin() + 5), frame(10, 2));
    close(fd);
    sim.closeStdin();
    EXPECT_EQ(sim.waitExit(), 0);
  }
}

TEST(SimProgram, DisconnectFaultAndReconnect) {
  SimProcess sim({"--disconnect-after", "1"});
  ASSERT_TRUE(sim.started());
  const int fd = openRaw(slavePath(sim));
  ASSERT_GE(fd, 0);
  EXPECT_EQ(exchange(fd, frame(10, 2), 29).size(), 29u);
  EXPECT_EQ(sim.readLine(), "disconnected");
  EXPECT_TRUE(exchange(fd, frame(10, 2), 29, 200ms).empty());
  sim.command("reconnect");
  EXPECT_EQ(sim.readLine(), "connected");
  EXPECT_EQ(exchange(fd, frame(10, 2), 29).size(), 29u);
  close(fd);
  sim.closeStdin();
  EXPECT_EQ(sim.waitExit(), 0);
}

TEST(SimProgram, AutomaticRegistrationsOfTheGivenCards) {
  SimProcess sim({"--cards", "41,42", "--model", "dallas"});
  ASSERT_TRUE(sim.started());
  slavePath(sim);
  sim.command("auto 0.05");
  EXPECT_EQ(sim.readLine().rfind("auto every", 0), 0u);
  std::map<std::string, int> perCard;
  for (int i = 0; i < 4; ++i) {
    const std::string line = sim.readLine();
    ASSERT_EQ(line.rfind("added " + std::to_string(i) + "\t", 0), 0u) << line;
    const std::string card = line.substr(line.find('\t') + 1, 2);
    EXPECT_TRUE(card == "41" || card == "42") << line;
    // Each card alternates: arrival first, then departure.
    const bool out = line.find("\tout\t") != std::string::npos;
    EXPECT_EQ(out, perCard[card]++ % 2 == 1) << line;
  }
  sim.command("quit");
  EXPECT_EQ(sim.waitExit(), 0);
}

TEST(SimProgram, DisconnectExitClosesTheLine) {
  SimProcess sim({"--disconnect-after", "2", "--disconnect-exit", "--keep-running"});
  ASSERT_TRUE(sim.started());
  const std::string path = slavePath(sim);
  const int fd = openRaw(path);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(exchange(fd, frame(10, 2), 29).size(), 29u);
  EXPECT_EQ(exchange(fd, frame(34, 4), 9).size(), 9u);
  EXPECT_EQ(sim.readLine(), "disconnected");
  EXPECT_EQ(sim.waitExit(), 0);
  close(fd);
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace

#endif
