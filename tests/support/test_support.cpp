#include "test_support.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include "core/path_text.h"
#include "core/platform.h"
#include "core/text_codec.h"

namespace testing_support {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  std::random_device rd;
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / core::PathFromUtf8("vortane-test-" + std::to_string(core::platform::ProcessId()) + "-" +
                                               std::to_string(counter++) + "-" + std::to_string(rd() % 100000));
    std::error_code ec;
    if (std::filesystem::create_directory(candidate, ec)) {
      m_path = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(m_path, ec);
}

namespace {

using NativeText = std::filesystem::path::string_type;

std::optional<NativeText> GetEnv(const NativeText& name) {
#if defined(_WIN32)
  const wchar_t* value = ::_wgetenv(name.c_str());
#else
  const char* value = std::getenv(name.c_str());
#endif
  if (value == nullptr) return std::nullopt;
  return NativeText(value);
}

void SetEnv(const NativeText& name, const std::optional<NativeText>& value) {
#if defined(_WIN32)
  // _wputenv_s keeps the C runtime's copies and the process environment that
  // GetTempPathW reads in step; an empty value removes the variable.
  ::_wputenv_s(name.c_str(), value ? value->c_str() : L"");
#else
  if (value) {
    ::setenv(name.c_str(), value->c_str(), 1);
  } else {
    ::unsetenv(name.c_str());
  }
#endif
}

}  // namespace

ScopedUserFolder::ScopedUserFolder(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  for (const char* name : {"TMP", "TEMP", "TMPDIR", "HOME", "USERPROFILE"}) {
    const NativeText key = std::filesystem::path(name).native();
    m_saved.emplace_back(key, GetEnv(key));
    SetEnv(key, folder.native());
  }
}

ScopedUserFolder::~ScopedUserFolder() {
  for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) SetEnv(it->first, it->second);
}

bool ScriptedOperator::askYesNo(const std::string& text, const std::string& /*title*/) {
  questions.push_back(text);
  if (yesNoAnswers.empty()) return false;
  const bool a = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return a;
}

std::optional<std::string> ScriptedOperator::askText(const std::string& /*title*/, const std::string& prompt,
                                                     const std::string& /*initial*/) {
  questions.push_back(prompt);
  if (textAnswers.empty()) return std::nullopt;
  auto a = textAnswers.front();
  textAnswers.pop_front();
  return a;
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
}

void WriteCp1250(const std::filesystem::path& file, const std::string& utf8) {
  WriteBytes(file, core::Utf8ToCp1250(utf8));
}

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string ReadCp1250(const std::filesystem::path& file) { return core::Cp1250ToUtf8(ReadBytes(file)); }

std::vector<std::string> CliResult::lines() const {
  std::vector<std::string> result;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

namespace {
#if defined(_WIN32)
std::string WithoutCarriageReturns(std::string text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

// cmd.exe: double quotes, inner ones doubled; the whole line quoted once more.
std::string shellQuote(const std::string& s) {
  std::string q = "\"";
  for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}
#else
std::string shellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}
#endif
}  // namespace

CliResult RunCli(const std::vector<std::string>& args) {
  TempDir capture;
  std::string command = shellQuote(core::Utf8FromPath(BinaryDir() / "src" / "app" / "vortane-cli"));
  for (const auto& a : args) command += " " + shellQuote(a);
#if defined(_WIN32)
  command += " <NUL >" + shellQuote(core::Utf8FromPath(capture / "out")) + " 2>" +
             shellQuote(core::Utf8FromPath(capture / "err"));
  command = "\"" + command + "\"";
  CliResult r;
  // Through the wide call: the narrow one would pass the arguments in the
  // ANSI code page, losing every letter it lacks.
  r.status = _wsystem(core::PathFromUtf8(command).wstring().c_str());
  // The tool's standard streams are in text mode there: every line ends in
  // CR LF. The tests compare the lines themselves.
  r.out = WithoutCarriageReturns(ReadBytes(capture / "out"));
  r.err = WithoutCarriageReturns(ReadBytes(capture / "err"));
  return r;
#else
  command += " </dev/null >" + shellQuote(core::Utf8FromPath(capture / "out")) + " 2>" +
             shellQuote(core::Utf8FromPath(capture / "err"));
  CliResult r;
  const int raw = std::system(command.c_str());
  r.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
  r.out = ReadBytes(capture / "out");
  r.err = ReadBytes(capture / "err");
  return r;
}

core::EmployeeList MakeEmployees(const std::vector<std::tuple<std::string, int, std::string>>& people) {
  core::EmployeeList list;
  for (const auto& [name, card, department] : people) {
    core::Employee e;
    e.name = name;
    e.card = static_cast<std::uint16_t>(card);
    e.department = department;
    list.employees().push_back(e);
  }
  return list;
}

std::string FolderText(const std::filesystem::path& folder) {
  std::string text = core::DisplayPath(folder);
  const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
  if (text.empty() || text.back() != separator) text += separator;
  return text;
}

std::filesystem::path SourceDir() { return core::PathFromUtf8(VORTANE_SOURCE_DIR); }
std::filesystem::path BinaryDir() { return core::PathFromUtf8(VORTANE_BINARY_DIR); }

}  // namespace testing_support
