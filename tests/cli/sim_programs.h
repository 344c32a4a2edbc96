#pragma once
// Programs the end-to-end tests start beside each other: the simulator on a
// pseudo-terminal, vortane-cli runs, killed or waited for.

#include <algorithm>
#include <chrono>
#include <memory>
#include <sstream>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#if !defined(_WIN32)
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace cli_programs {

using namespace std::chrono_literals;

#if !defined(_WIN32)

// A program with its stdin on a pipe and its stdout and stderr in files.
class Program {
 public:
  Program(const std::filesystem::path& program, std::vector<std::string> args, const std::filesystem::path& out) {
    int in[2];
    if (pipe(in) != 0) return;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, in[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&fa, in[1]);
    posix_spawn_file_actions_addopen(&fa, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::string err = out.string() + ".err";
    posix_spawn_file_actions_addopen(&fa, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    args.insert(args.begin(), program.string());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&m_pid, argv[0], &fa, nullptr, argv.data(), environ) != 0) m_pid = -1;
    posix_spawn_file_actions_destroy(&fa);
    close(in[0]);
    m_in = in[1];
  }
  ~Program() {
    if (m_in >= 0) close(m_in);
    if (m_pid > 0 && !m_reaped) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool started() const { return m_pid > 0; }
  void send(const std::string& line) {
    const std::string s = line + "\n";
    ASSERT_EQ(write(m_in, s.data(), s.size()), static_cast<ssize_t>(s.size()));
  }
  // True when the program was still running and has now been killed.
  bool kill9() {
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
      m_reaped = true;
      return false;
    }
    kill(m_pid, SIGKILL);
    waitpid(m_pid, &status, 0);
    m_reaped = true;
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  }
  int wait() {
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_reaped = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

 private:
  pid_t m_pid = -1;
  int m_in = -1;
  bool m_reaped = false;
};

// Waits until the file holds a line starting with `prefix` after `from`;
// returns everything up to and including that line.
inline std::string WaitForLine(const std::filesystem::path& file, std::size_t from, const std::string& prefix) {
  const auto end = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < end) {
    const std::string bytes = testing_support::ReadBytes(file);
    for (std::size_t at = from; at < bytes.size();) {
      const auto nl = bytes.find('\n', at);
      if (nl == std::string::npos) break;
      if (bytes.compare(at, prefix.size(), prefix) == 0) return bytes.substr(from, nl + 1 - from);
      at = nl + 1;
    }
    std::this_thread::sleep_for(10ms);
  }
  return {};
}

// A simulated terminal program: its line and its ring.
class Simulator {
 public:
  Simulator(const std::filesystem::path& folder, const std::vector<std::string>& args)
      : m_out(folder / "sim.out") {
    std::filesystem::create_directories(folder);
    m_program = std::make_unique<Program>(testing_support::BinaryDir() / "tools/timeclock-sim/timeclock-sim", args,
                                          m_out);
    if (!m_program->started()) return;
    const std::string first = WaitForLine(m_out, 0, "PTY ");
    if (!first.empty()) m_port = first.substr(4, first.find('\n') - 4);
  }
  const std::string& port() const { return m_port; }
  void send(const std::string& line) { m_program->send(line); }
  std::string errors() const { return testing_support::ReadBytes(m_out.string() + ".err"); }

  // The ring's registrations as log lines (date-time, card, code), sorted.
  // Everything sent before has been taken in when this returns.
  std::vector<std::string> ring() {
    const std::size_t from = testing_support::ReadBytes(m_out).size();
    send("dump");
    std::stringstream ss(WaitForLine(m_out, from, "records "));
    std::vector<std::string> lines;
    for (std::string l; std::getline(ss, l);) {
      std::vector<std::string> f;
      std::stringstream fs(l);
      for (std::string x; std::getline(fs, x, '\t');) f.push_back(x);
      // position, card, date-time, in/out, code
      if (f.size() == 5) lines.push_back(f[2] + "\t" + f[1] + "\t" + f[4]);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
  }

 private:
  std::filesystem::path m_out;
  std::unique_ptr<Program> m_program;
  std::string m_port;
};

// Every line of every month log in `folder`, sorted; a log that does not
// end with a line end adds a line "(cut off) <name>", so it shows up as a
// difference.
inline std::vector<std::string> LogLines(const std::filesystem::path& folder) {
  std::vector<std::string> lines;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
    const std::string bytes = testing_support::ReadBytes(e.path());
    std::stringstream ss(bytes);
    for (std::string l; std::getline(ss, l);) {
      if (!l.empty() && l.back() == '\r') l.pop_back();
      if (!l.empty()) lines.push_back(l);
    }
    if (!bytes.empty() && bytes.back() != '\n') lines.push_back("(cut off) " + e.path().filename().string());
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

#endif

}  // namespace cli_programs
