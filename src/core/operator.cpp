#include "core/operator.h"

#include <cstdio>

namespace core {
namespace {
void printLine(const std::string& text) {
  std::string line;
  line.reserve(text.size() + 1);
  for (char c : text) {
    if (c == '\r') line += "\\r";
    else if (c == '\n') line += "\\n";
    else line += c;
  }
  line += '\n';
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}
}  // namespace

void CliOperator::showMessage(const std::string& text) { printLine(text); }

bool CliOperator::askYesNo(const std::string& text, const std::string& /*title*/) {
  printLine(text);
  return yesAnswer;
}

std::optional<std::string> CliOperator::askText(const std::string& /*title*/, const std::string& prompt,
                                                const std::string& /*initial*/) {
  printLine(prompt);
  return textAnswer;
}

}  // namespace core
