#include "child_process.h"

#include <cstdlib>
#include <map>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#include "core/path_text.h"

namespace testing_support {
namespace {

constexpr const char* kRoleVariable = "VORTANE_TEST_ROLE";
constexpr const char* kArgsVariable = "VORTANE_TEST_ROLE_ARGS";

// Arguments travel in one variable, separated by a character no path holds.
constexpr char kSeparator = '\x1f';

std::string joined(const std::vector<std::string>& args) {
  std::string s;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i) s += kSeparator;
    s += args[i];
  }
  return s;
}

#if defined(_WIN32)
std::wstring Wide(const std::string& utf8) { return core::PathFromUtf8(utf8).wstring(); }

std::string GetVariable(const char* name) {
  wchar_t buffer[32768];
  const DWORD n = ::GetEnvironmentVariableW(Wide(name).c_str(), buffer, 32768);
  if (n == 0 || n >= 32768) return {};
  return core::Utf8FromPath(std::filesystem::path(std::wstring(buffer, n)));
}
void SetVariable(const char* name, const std::string& value) {
  ::SetEnvironmentVariableW(Wide(name).c_str(), value.empty() ? nullptr : Wide(value).c_str());
}
#else
std::string GetVariable(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}
void SetVariable(const char* name, const std::string& value) {
  if (value.empty()) {
    ::unsetenv(name);
  } else {
    ::setenv(name, value.c_str(), 1);
  }
}
#endif

std::map<std::string, std::function<int(const std::vector<std::string>&)>>& roles() {
  static std::map<std::string, std::function<int(const std::vector<std::string>&)>> r;
  return r;
}

}  // namespace

std::filesystem::path ThisProgram() {
#if defined(_WIN32)
  wchar_t buffer[32768];
  const DWORD n = ::GetModuleFileNameW(nullptr, buffer, 32768);
  return std::filesystem::path(std::wstring(buffer, n));
#else
  return std::filesystem::read_symlink("/proc/self/exe");
#endif
}

std::vector<std::string> RoleArguments() {
  std::vector<std::string> out;
  const std::string all = GetVariable(kArgsVariable);
  if (all.empty()) return out;
  std::size_t start = 0;
  for (;;) {
    const auto sep = all.find(kSeparator, start);
    out.push_back(all.substr(start, sep == std::string::npos ? std::string::npos : sep - start));
    if (sep == std::string::npos) break;
    start = sep + 1;
  }
  return out;
}

bool RegisterRole(const std::string& role, std::function<int(const std::vector<std::string>&)> run) {
  roles()[role] = run;
  // Registration happens while statics are initialised, before main(): the
  // child runs its role there and never reaches GoogleTest.
  if (GetVariable(kRoleVariable) == role) std::exit(run(RoleArguments()));
  return true;
}

ChildProcess::ChildProcess(const std::string& role, const std::vector<std::string>& args) {
  const std::string savedRole = GetVariable(kRoleVariable);
  const std::string savedArgs = GetVariable(kArgsVariable);
  SetVariable(kRoleVariable, role);
  SetVariable(kArgsVariable, joined(args));
#if defined(_WIN32)
  std::wstring command = L"\"" + ThisProgram().wstring() + L"\" --gtest_list_tests";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    ::CloseHandle(pi.hThread);
    m_handle = pi.hProcess;
    m_pid = static_cast<long>(pi.dwProcessId);
    m_started = true;
  }
#else
  const std::string program = ThisProgram().string();
  std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>("--gtest_list_tests"), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0) {
    m_pid = pid;
    m_started = true;
  }
#endif
  SetVariable(kRoleVariable, savedRole);
  SetVariable(kArgsVariable, savedArgs);
}

ChildProcess::~ChildProcess() {
  if (m_started && !m_ended) kill();
#if defined(_WIN32)
  if (m_handle) ::CloseHandle(static_cast<HANDLE>(m_handle));
#endif
}

bool ChildProcess::kill() {
  if (!m_started || m_ended) return false;
#if defined(_WIN32)
  const bool running = ::WaitForSingleObject(static_cast<HANDLE>(m_handle), 0) == WAIT_TIMEOUT;
  ::TerminateProcess(static_cast<HANDLE>(m_handle), 137);
  ::WaitForSingleObject(static_cast<HANDLE>(m_handle), INFINITE);
  m_ended = true;
  return running;
#else
  int status = 0;
  if (::waitpid(static_cast<pid_t>(m_pid), &status, WNOHANG) == m_pid) {
    m_ended = true;
    return false;
  }
  ::kill(static_cast<pid_t>(m_pid), SIGKILL);
  ::waitpid(static_cast<pid_t>(m_pid), &status, 0);
  m_ended = true;
  return true;
#endif
}

int ChildProcess::wait() {
  if (!m_started) return -1;
  if (m_ended) return -1;
  m_ended = true;
#if defined(_WIN32)
  ::WaitForSingleObject(static_cast<HANDLE>(m_handle), INFINITE);
  DWORD code = 0;
  ::GetExitCodeProcess(static_cast<HANDLE>(m_handle), &code);
  return static_cast<int>(code);
#else
  int status = 0;
  ::waitpid(static_cast<pid_t>(m_pid), &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
#endif
}

}  // namespace testing_support
