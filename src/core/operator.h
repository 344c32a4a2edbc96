#pragma once
// How the program talks to the person at the desk. The desktop program shows
// message boxes and input boxes; the command-line tool prints to stderr; tests
// answer from a script.

#include <optional>
#include <string>

namespace core {

class Operator {
 public:
  virtual ~Operator() = default;
  // A message box. "\r" in the text is a line break.
  virtual void showMessage(const std::string& text) = 0;
  // A Yes/No question; true for Yes.
  virtual bool askYesNo(const std::string& text, const std::string& title = {}) = 0;
  // An input box; no value when cancelled. An accepted empty answer is "".
  virtual std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                             const std::string& initial = {}) = 0;
};

// Prints messages to stderr, one per line (line breaks shown as "\r"), and
// answers questions with preset answers.
class CliOperator : public Operator {
 public:
  void showMessage(const std::string& text) override;
  bool askYesNo(const std::string& text, const std::string& title = {}) override;
  std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                     const std::string& initial = {}) override;

  bool yesAnswer = false;                  // answer to every Yes/No question
  std::optional<std::string> textAnswer;   // answer to every input box
};

}  // namespace core
