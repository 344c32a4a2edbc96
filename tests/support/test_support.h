#pragma once
// Helpers every test executable shares: a fresh temporary folder per test, an
// Operator that answers from a script and records what it was shown, and file
// helpers that speak Windows-1250.

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/employee_list.h"
#include "core/operator.h"
#include "core/path_text.h"

namespace testing_support {

// A new empty folder under the system temp folder, removed at destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return m_path; }
  std::filesystem::path operator/(const std::string& name) const { return m_path / core::PathFromUtf8(name); }

 private:
  std::filesystem::path m_path;
};

// Points the user's folders (temporary files, home, profile: TMP, TEMP,
// TMPDIR, HOME, USERPROFILE) at `folder` for the scope, as for a user whose
// name has letters outside ASCII; restores them at destruction.
class ScopedUserFolder {
 public:
  explicit ScopedUserFolder(const std::filesystem::path& folder);
  ~ScopedUserFolder();
  ScopedUserFolder(const ScopedUserFolder&) = delete;
  ScopedUserFolder& operator=(const ScopedUserFolder&) = delete;

 private:
  using Text = std::filesystem::path::string_type;
  std::vector<std::pair<Text, std::optional<Text>>> m_saved;
};

// Records messages and questions; answers questions from queues (default No /
// cancelled when a queue is empty).
class ScriptedOperator : public core::Operator {
 public:
  void showMessage(const std::string& text) override { messages.push_back(text); }
  bool askYesNo(const std::string& text, const std::string& title = {}) override;
  std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                     const std::string& initial = {}) override;

  std::vector<std::string> messages;
  std::vector<std::string> questions;  // texts of Yes/No questions and prompts, in order
  std::deque<bool> yesNoAnswers;
  std::deque<std::optional<std::string>> textAnswers;
};

// Writes UTF-8 text to a file as Windows-1250 (line ends as given).
void WriteCp1250(const std::filesystem::path& file, const std::string& utf8);
// Writes bytes as they are.
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);
// Reads a file as bytes; empty when missing.
std::string ReadBytes(const std::filesystem::path& file);
// Reads a Windows-1250 file as UTF-8.
std::string ReadCp1250(const std::filesystem::path& file);

// What a run of the built vortane-cli printed and how it ended.
struct CliResult {
  int status = -1;  // exit status; -1 when it did not exit normally
  std::string out;
  std::string err;
  std::vector<std::string> lines() const;  // stdout split at line feeds
};

// Runs the built vortane-cli with the arguments (no shell quoting needed) and
// captures stdout and stderr.
CliResult RunCli(const std::vector<std::string>& args);

// An employee list of (name, card, department) entries, the other fields left
// as a new entry holds them.
core::EmployeeList MakeEmployees(const std::vector<std::tuple<std::string, int, std::string>>& people);

// A folder as the program keeps it in its settings: UTF-8 with the
// platform's separators and one separator at the end.
std::string FolderText(const std::filesystem::path& folder);

// Paths of built programs and of the source tree.
std::filesystem::path SourceDir();
std::filesystem::path BinaryDir();

}  // namespace testing_support
