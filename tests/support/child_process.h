#pragma once
// Another process running this same test program in a role of its own, for
// tests of what two programs do to one folder at the same time. The child
// is started with VORTANE_TEST_ROLE set to its role; a test file that has
// roles registers them with VORTANE_TEST_ROLE_HANDLER, which runs before
// GoogleTest starts and ends the process when the role is its own.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

class ChildProcess {
 public:
  // Starts this test program with `role` and `args` (in the child:
  // RoleArguments()). started() tells whether it runs.
  ChildProcess(const std::string& role, const std::vector<std::string>& args);
  ~ChildProcess();  // kills it when still running
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return m_started; }
  long pid() const { return m_pid; }
  // Ends it at once, as a power loss would end the program (SIGKILL,
  // TerminateProcess). True when it was still running.
  bool kill();
  // Waits for it to end; its exit status.
  int wait();

 private:
  bool m_started = false;
  bool m_ended = false;
  long m_pid = 0;
  void* m_handle = nullptr;
};

// The path of the running test program.
std::filesystem::path ThisProgram();

// In a child: the arguments it was given after its role.
std::vector<std::string> RoleArguments();

// Registers `run` for `role`; returns a value so that it can initialise a
// static. The child's exit status is what `run` returns.
bool RegisterRole(const std::string& role, std::function<int(const std::vector<std::string>&)> run);

}  // namespace testing_support
