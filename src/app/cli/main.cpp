// vortane-cli: the installation's files, the attendance robot and the terminal
// from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "cli_common.h"

int main(int argc, char** argv) {
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
