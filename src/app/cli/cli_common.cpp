#include "cli_common.h"

#include <cstdio>

#include "core/text_util.h"

namespace cli {

std::optional<Args> Args::parse(const std::vector<std::string>& argv, const std::set<std::string>& flags,
                                std::string* error) {
  Args a;
  for (std::size_t i = 0; i < argv.size(); ++i) {
    const std::string& s = argv[i];
    if (s.rfind("--", 0) == 0 && s.size() > 2) {
      std::string name = s.substr(2);
      const auto eq = name.find('=');
      if (eq != std::string::npos) {
        a.m_values[name.substr(0, eq)] = name.substr(eq + 1);
      } else if (flags.count(name)) {
        a.m_values[name] = "";
      } else {
        if (i + 1 >= argv.size()) {
          if (error) *error = "option --" + name + " needs a value";
          return std::nullopt;
        }
        a.m_values[name] = argv[++i];
      }
    } else {
      a.m_positional.push_back(s);
    }
  }
  return a;
}

std::optional<std::string> Args::value(const std::string& name) const {
  const auto it = m_values.find(name);
  if (it == m_values.end()) return std::nullopt;
  return it->second;
}

std::optional<long long> Args::integer(const std::string& name, long long lo, long long hi) const {
  const auto v = value(name);
  if (!v) return std::nullopt;
  const auto n = core::parseDecimal(*v);
  if (!n || *n < lo || *n > hi) return std::nullopt;
  return n;
}

namespace {
std::map<std::string, Command>& registry() {
  static std::map<std::string, Command> r;
  return r;
}
}  // namespace

void registerCommand(Command c) {
  auto name = c.name;
  registry()[name] = std::move(c);
}

const std::map<std::string, Command>& commands() { return registry(); }

int usageError(const std::string& command, const std::string& problem) {
  std::string line = "vortane-cli " + command + ": " + problem;
  const auto it = registry().find(command);
  if (it != registry().end()) line += "\nusage: vortane-cli " + command + " " + it->second.usage;
  std::fprintf(stderr, "%s\n", line.c_str());
  return kBadArguments;
}

std::string escapeField(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace cli
