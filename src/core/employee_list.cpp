#include "core/employee_list.h"

#include <algorithm>
#include <climits>

#include "core/atomic_file.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/path_text.h"
#include "core/text_codec.h"
#include "core/text_util.h"
#include "core/time_values.h"

namespace core {
namespace {

constexpr std::string_view kHeaderLine = ";Zoznam pracovnikov";
// The list's count is a 16-bit number in the rest of the program (presence
// table, report rows); a file with more lines is not an employee list.
constexpr std::size_t kMaxEmployees = 65535;

std::optional<std::uint16_t> parseCard(std::string_view text) {
  const auto v = parseDecimal(trim(text));
  if (!v || *v < 0 || *v > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(*v);
}

bool flagValue(std::string_view text) {
  const auto v = parseDecimal(trim(text));
  return v && *v >= 1;
}

std::int32_t breaksValue(std::string_view text) {
  const auto v = parseDecimal(trim(text));
  if (!v || *v < INT32_MIN || *v > INT32_MAX) return 0;
  return static_cast<std::int32_t>(*v);
}

// A new entry: what the import and a line without the later fields leave in
// the fields they do not set.
Employee blankEmployee(int normaMinutes) {
  Employee e;
  e.workload = "100";
  e.workloadMinutes = WorkloadToMinutes(e.workload, normaMinutes);
  return e;
}

std::string describeEmployee(const Employee& e, std::size_t row) {
  std::string s = "riadok " + std::to_string(row);
  if (!e.name.empty() && e.name.find_first_of("\t\r\n") == std::string::npos) s += " (" + e.name + ")";
  return s;
}

}  // namespace

std::uint16_t WorkloadToMinutes(std::string_view workload, int normaMinutes) {
  if (workload.find(':') != std::string_view::npos) {
    return static_cast<std::uint16_t>(TimeTextToMinutes(workload));
  }
  const int norma = std::clamp(normaMinutes, 0, 65535);
  if (const auto p = parseDecimal(trim(workload))) {
    if (*p <= 0) return 0;
    // Percentages of absurd size stop at the largest storable minute count.
    const long long percent = std::min<long long>(*p, 10'000'000);
    return static_cast<std::uint16_t>(std::min<long long>(norma * percent / 100, 65535));
  }
  return static_cast<std::uint16_t>(norma);
}

std::string EmployeeFieldProblem(const Employee& e) {
  struct Field {
    const char* caption;
    const std::string* text;
  };
  const Field fields[] = {{"Meno a Priezvisko", &e.name},
                          {"Osobné číslo", &e.personalNumber},
                          {"Oddelenie", &e.department},
                          {"Úväzok", &e.workload}};
  for (const auto& f : fields) {
    const std::string& t = *f.text;
    const char* what = nullptr;
    if (t.find(';') != std::string::npos)
      what = "znak \";\"";
    else if (t.find('\t') != std::string::npos)
      what = "tabulátor";
    else if (t.find_first_of("\r\n") != std::string::npos)
      what = "koniec riadka";
    if (what) {
      return std::string("Údaj \"") + f.caption + "\" obsahuje " + what +
             ", ktorý nie je možné uložiť do súboru prac.txt";
    }
    bool lossy = false;
    (void)Utf8ToCp1250(t, &lossy);
    if (lossy) {
      return std::string("Údaj \"") + f.caption + "\" obsahuje znak, ktorý nie je možné uložiť do súboru prac.txt";
    }
  }
  return {};
}

int EmployeeList::read(const std::filesystem::path& file, int normaMinutes) {
  m_employees.clear();
  std::error_code ec;
  std::string bytes;
  if (!std::filesystem::is_regular_file(file, ec) || !ReadWholeFile(file, bytes)) return -1;
  return readFromBytes(bytes, normaMinutes);
}

int EmployeeList::readFromBytes(std::string_view bytes, int normaMinutes) {
  m_employees.clear();
  const std::string text = Cp1250ToUtf8(bytes);
  for (std::string_view line : splitLines(text)) {
    if (m_employees.size() >= kMaxEmployees) break;
    if (line.find(';') != std::string_view::npos) continue;

    // Fields are cut off the front while at least two characters remain and a
    // tab follows; so a last field without its tab is lost, and a lone tab
    // at the end of the line (an empty last field) is not taken either.
    Employee e = blankEmployee(normaMinutes);
    e.workload.clear();  // a line that stops before its workload keeps no workload text
    bool counted = false;
    int field = 0;
    std::string_view rest = line;
    while (rest.size() >= 2) {
      const auto tab = rest.find('\t');
      if (tab == std::string_view::npos) break;
      const std::string_view value = rest.substr(0, tab);
      rest.remove_prefix(tab + 1);
      switch (field) {
        case 0:
          e.name = cutUtf8(value, kNameLimit);
          break;
        case 1:
          e.personalNumber = cutUtf8(value, kPersonalNumberLimit);
          break;
        case 2:
          // A card that is not a number from 0 to 65535 cannot belong to any
          // registration: the entry keeps card 0 and still counts.
          e.card = parseCard(value).value_or(0);
          counted = true;
          break;
        case 3:
          e.department = cutUtf8(value, kDepartmentLimit);
          break;
        case 4:
          e.shiftsAllowed = flagValue(value);
          break;
        case 5:
          e.tripsAllowed = flagValue(value);
          break;
        case 6:
          e.workload = std::string(value);
          break;
        case 7:
          e.breaks = breaksValue(value);
          break;
        default:
          break;
      }
      ++field;
      if (field > 7) break;
    }
    if (!counted) continue;
    e.workloadMinutes = WorkloadToMinutes(e.workload, normaMinutes);
    m_employees.push_back(std::move(e));
  }
  return m_employees.empty() ? -1 : 1;
}

std::string EmployeeList::toBytes() const {
  std::string out(kHeaderLine);
  out += "\r\n";
  for (const auto& e : m_employees) {
    std::string line;
    line += e.name + '\t';
    line += e.personalNumber + '\t';
    line += std::to_string(e.card) + '\t';
    line += e.department + '\t';
    line += std::string(e.shiftsAllowed ? "1" : "0") + '\t';
    line += std::string(e.tripsAllowed ? "1" : "0") + '\t';
    line += e.workload + '\t';
    line += std::to_string(e.breaks) + '\t';
    out += Utf8ToCp1250(line);
    out += "\r\n";
  }
  return out;
}

bool EmployeeList::write(const std::filesystem::path& file, std::string* error) const {
  for (std::size_t i = 0; i < m_employees.size(); ++i) {
    const std::string problem = EmployeeFieldProblem(m_employees[i]);
    if (!problem.empty()) {
      if (error)
        *error = "Zoznam pracovníkov nebol uložený: " + describeEmployee(m_employees[i], i + 1) + "\r" + problem;
      return false;
    }
  }
  std::string ioError;
  if (!WriteFileAtomically(file, toBytes(), &ioError)) {
    if (error) *error = "Nie je možné uložiť súbor " + DisplayPath(file) + "\r" + ioError;
    return false;
  }
  return true;
}

std::string EmployeeList::nameOfCard(std::uint16_t card) const {
  if (const auto i = findCard(card)) return m_employees[*i].name;
  return "[" + std::to_string(card) + "]";
}

std::optional<std::size_t> EmployeeList::findCard(std::uint16_t card) const {
  for (std::size_t i = 0; i < m_employees.size(); ++i) {
    if (m_employees[i].card == card) return i;
  }
  return std::nullopt;
}

bool EmployeeList::addNamedCard(std::uint16_t card, const std::filesystem::path& file, int normaMinutes,
                                const MessageCatalogue& messages, Operator& op) {
  const auto answer = op.askText(messages.message(msg::NewCardTitle), messages.message(msg::NewCardPrompt));
  // A name of blanks only names nobody: it is treated like an empty answer.
  if (!answer || trim(*answer).empty()) return false;
  if (m_employees.size() >= kMaxEmployees) {
    op.showMessage("Zoznam pracovníkov je plný");
    return false;
  }
  Employee e = blankEmployee(normaMinutes);
  e.name = cutUtf8(*answer, kNameLimit);
  e.card = card;
  const std::string problem = EmployeeFieldProblem(e);
  if (!problem.empty()) {
    op.showMessage(problem);
    return false;
  }
  m_employees.push_back(std::move(e));
  std::string error;
  if (!write(file, &error)) {
    op.showMessage(error);
    return false;
  }
  return true;
}

int EmployeeList::importKluce(const std::filesystem::path& file, int normaMinutes) {
  std::error_code ec;
  std::string bytes;
  if (!std::filesystem::is_regular_file(file, ec) || !ReadWholeFile(file, bytes)) return 0;
  return importKluceFromBytes(bytes, normaMinutes);
}

int EmployeeList::importKluceFromBytes(std::string_view bytes, int normaMinutes) {
  std::vector<Employee> imported;
  const std::string text = Cp1250ToUtf8(bytes);
  for (std::string_view line : splitLines(text)) {
    if (imported.size() >= kMaxEmployees) break;
    const auto tab = line.find('\t');
    if (tab == std::string_view::npos) continue;
    // An identifier that is not a number from 0 to 65535 can never be
    // presented at the terminal: such a line is skipped like a non-number.
    const auto card = parseCard(line.substr(0, tab));
    if (!card) continue;
    std::string_view name = line.substr(tab + 1);
    // Older lists may end a line with a tab or carry more columns; the name
    // ends at the next tab so that it can be stored in prac.txt.
    if (const auto next = name.find('\t'); next != std::string_view::npos) name = name.substr(0, next);
    Employee e = blankEmployee(normaMinutes);
    e.card = *card;
    e.name = cutUtf8(cutUtf8(name, 100), kNameLimit);
    imported.push_back(std::move(e));
  }
  const int count = static_cast<int>(imported.size());
  if (count > 0) m_employees = std::move(imported);
  return count;
}

}  // namespace core
