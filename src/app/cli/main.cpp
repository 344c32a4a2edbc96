// vortane-cli: the installation's files, the attendance robot and the terminal
// from the command line.
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// CommandLineToArgvW
#include <shellapi.h>
#endif

#include "cli_common.h"

#if defined(_WIN32)
namespace {

// The C runtime hands main() its arguments in the ANSI code page, which loses
// every letter outside it; the program works in UTF-8 throughout.
std::vector<std::string> Utf8Arguments() {
  std::vector<std::string> result;
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return result;
  for (int i = 0; i < count; ++i) {
    const int length = static_cast<int>(std::wcslen(wide[i]));
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) ::WideCharToMultiByte(CP_UTF8, 0, wide[i], length, text.data(), size, nullptr, nullptr);
    result.push_back(std::move(text));
  }
  ::LocalFree(wide);
  return result;
}

}  // namespace
#endif

int main(int argc, char** argv) {
#if defined(_WIN32)
  // Output is UTF-8 on every platform; the console shows it as such.
  ::SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> utf8Args = Utf8Arguments();
  std::vector<char*> utf8Argv;
  for (auto& a : utf8Args) utf8Argv.push_back(a.data());
  utf8Argv.push_back(nullptr);
  if (!utf8Args.empty()) {
    argc = static_cast<int>(utf8Args.size());
    argv = utf8Argv.data();
  }
#endif
  const auto& cmds = cli::commands();
  if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "help") {
    std::fprintf(argc < 2 ? stderr : stdout, "usage: vortane-cli COMMAND [OPTIONS]\ncommands:\n");
    for (const auto& [name, c] : cmds) std::fprintf(argc < 2 ? stderr : stdout, "  %s %s\n", name.c_str(), c.usage.c_str());
    return argc < 2 ? cli::kBadArguments : cli::kOk;
  }
  const std::string name = argv[1];
  const auto it = cmds.find(name);
  if (it == cmds.end()) {
    std::fprintf(stderr, "vortane-cli: unknown command '%s' (try --help)\n", name.c_str());
    return cli::kBadArguments;
  }
  std::vector<std::string> rest(argv + 2, argv + argc);
  std::string error;
  const auto args = cli::Args::parse(rest, it->second.flags, &error);
  if (!args) return cli::usageError(name, error);
  return it->second.run(*args);
}
