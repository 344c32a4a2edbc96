#pragma once
// The command-line tool's frame: commands register themselves by name, get
// their parsed arguments, print UTF-8 to stdout and messages to stderr, and
// return the exit status (0 success, 1 the command failed, 2 bad arguments).

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace cli {

inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kBadArguments = 2;

class Args {
 public:
  // "--name value" options; names listed in `flags` take no value.
  static std::optional<Args> parse(const std::vector<std::string>& argv, const std::set<std::string>& flags,
                                   std::string* error);
  bool has(const std::string& name) const { return m_values.count(name) != 0; }
  std::optional<std::string> value(const std::string& name) const;
  // The option as a whole number in [lo, hi]; no value when missing or invalid.
  std::optional<long long> integer(const std::string& name, long long lo, long long hi) const;
  const std::vector<std::string>& positional() const { return m_positional; }

 private:
  std::map<std::string, std::string> m_values;
  std::vector<std::string> m_positional;
};

struct Command {
  std::string name;
  std::string usage;                 // one line: the options
  std::set<std::string> flags;       // options without a value
  std::function<int(const Args&)> run;
};

// Adds a command; used through a static Registrar in each command file.
void registerCommand(Command c);
const std::map<std::string, Command>& commands();

struct Registrar {
  explicit Registrar(Command c) { registerCommand(std::move(c)); }
};

// Prints a usage error for the command to stderr and returns kBadArguments.
int usageError(const std::string& command, const std::string& problem);

// A cell or field printed on one line: tab, CR and LF as \t, \r, \n (and a
// backslash as it stands).
std::string escapeField(const std::string& text);

}  // namespace cli
