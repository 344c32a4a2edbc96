#pragma once
// The employee list "prac.txt": header line ";Zoznam pracovnikov", then one
// line per employee of eight tab-terminated fields. Lines containing ";" are
// comments.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

class MessageCatalogue;
class Operator;

struct Employee {
  std::string name;            // at most 64 characters
  std::string personalNumber;  // at most 16 characters
  std::uint16_t card = 0;
  std::string department;  // at most 32 characters
  bool shiftsAllowed = false;
  bool tripsAllowed = false;
  std::string workload;  // "100", "50", "7:30", ...
  std::uint16_t workloadMinutes = 0;
  std::int32_t breaks = 0;
  bool operator==(const Employee&) const = default;
};

// Daily norm in minutes from the workload text: "h:mm" by TimeTextToMinutes,
// a whole number p as normaMinutes * p / 100 (rounded down), anything else the
// full norm.
std::uint16_t WorkloadToMinutes(std::string_view workload, int normaMinutes);

// Why a text cannot be stored in prac.txt (";", tab or line break), or empty.
std::string EmployeeFieldProblem(const Employee& e);

class EmployeeList {
 public:
  static constexpr std::size_t kNameLimit = 64;
  static constexpr std::size_t kDepartmentLimit = 32;
  static constexpr std::size_t kPersonalNumberLimit = 16;

  // 1 when at least one employee was read, otherwise -1 (also for a missing file).
  int read(const std::filesystem::path& file, int normaMinutes);
  int readFromBytes(std::string_view bytes, int normaMinutes);
  // Rewrites the file atomically. Refuses (false, `error` says why) when a
  // field holds ";", a tab or a line break.
  bool write(const std::filesystem::path& file, std::string* error = nullptr) const;
  std::string toBytes() const;

  // Name of the first employee with that card, or "[" + card + "]".
  std::string nameOfCard(std::uint16_t card) const;
  // Index of the first employee with that card.
  std::optional<std::size_t> findCard(std::uint16_t card) const;

  // Asks "Nová Karta" / "Uveďte meno pracovníka"; an empty or cancelled
  // answer does nothing; otherwise appends the employee (name cut to 64, the
  // full daily norm, no breaks) and writes the list. False when nothing was
  // added or the file could not be written.
  bool addNamedCard(std::uint16_t card, const std::filesystem::path& file, int normaMinutes,
                    const MessageCatalogue& messages, Operator& op);

  // Lines "number<TAB>name" of an older program's list; returns how many were
  // imported. When some were, they replace the list.
  int importKluce(const std::filesystem::path& file, int normaMinutes);
  int importKluceFromBytes(std::string_view bytes, int normaMinutes);

  std::vector<Employee>& employees() { return m_employees; }
  const std::vector<Employee>& employees() const { return m_employees; }
  std::size_t size() const { return m_employees.size(); }
  bool empty() const { return m_employees.empty(); }

 private:
  std::vector<Employee> m_employees;
};

// CSV exchange of the employee table (the eight columns of the employee list
// window, header row first). The file is Windows-1250 with CR LF row ends,
// fields separated by commas; a field holding a comma, a quote, a line break
// or blanks at either end is enclosed in double quotes, with quotes inside
// doubled (RFC 4180). The check-box columns "Smeny" and "Služobné" are 1 or 0.
// Details in employee_csv.cpp.
const std::vector<std::string>& EmployeeCsvHeader();
std::vector<std::string> EmployeeToCsvRow(const Employee& e);
// File bytes of the whole table, header row included.
std::string EmployeesToCsv(const std::vector<Employee>& list);
// Reads what EmployeesToCsv writes (and what a spreadsheet saves of it: also a
// ";" separator, a UTF-8 file with its byte-order mark, TRUE/FALSE check
// boxes). The first row is the header; empty rows and rows whose "Karta" is
// not a number from 0 to 65535 are skipped. `error` is set when no employee
// row was found.
std::vector<Employee> EmployeesFromCsv(std::string_view bytes, int normaMinutes, std::string* error = nullptr);

// The rows and cells (UTF-8) of such a file, for a table that takes the
// file's content as it stands.
std::vector<std::vector<std::string>> CsvRowsFromBytes(std::string_view bytes);
std::string CsvRowsToBytes(const std::vector<std::vector<std::string>>& rows);

}  // namespace core
