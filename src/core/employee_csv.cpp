// CSV exchange of the employee table.
//
// Written form: Windows-1250, rows ended by CR LF, fields separated by ",".
// A field is enclosed in double quotes when it contains a comma, a double
// quote, a CR or LF, or begins or ends with a blank or tab; a double quote
// inside is written twice. Row 1 is the header with the column captions of
// the employee list window; each further row is one employee: name, personal
// number, card (decimal), department, shifts (1/0), business trips (1/0),
// workload as typed, breaks (decimal minutes).
//
// Reading is lenient about what spreadsheets save back: a file that starts
// with the UTF-8 byte-order mark is read as UTF-8; when the header row has
// no comma outside quotes but has a ";", the separator is ";"; the check-box
// columns take 1/0 (any whole number of at least 1 is set) or TRUE/FALSE; a
// quoted field may hold line breaks; characters between a closing quote and
// the next separator are kept.

#include <algorithm>
#include <climits>
#include <optional>

#include "core/employee_list.h"
#include "core/text_codec.h"
#include "core/text_util.h"

namespace core {
namespace {

bool needsQuotes(std::string_view f) {
  if (f.find_first_of(",\"\r\n") != std::string_view::npos) return true;
  if (!f.empty() && (f.front() == ' ' || f.front() == '\t' || f.back() == ' ' || f.back() == '\t')) return true;
  return false;
}

std::string quoteField(std::string_view f) {
  if (!needsQuotes(f)) return std::string(f);
  std::string out = "\"";
  for (char c : f) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

char detectSeparator(std::string_view text) {
  bool quoted = false;
  int commas = 0;
  int semicolons = 0;
  for (char c : text) {
    if (c == '"')
      quoted = !quoted;
    else if (!quoted && (c == '\n' || c == '\r'))
      break;
    else if (!quoted && c == ',')
      ++commas;
    else if (!quoted && c == ';')
      ++semicolons;
  }
  return commas == 0 && semicolons > 0 ? ';' : ',';
}

bool csvFlag(std::string_view text) {
  const auto t = trim(text);
  if (equalsNoCase(t, "true") || equalsNoCase(t, "pravda")) return true;
  if (t.empty() || equalsNoCase(t, "false") || equalsNoCase(t, "nepravda")) return false;
  const auto v = parseDecimal(t);
  if (!v) return false;
  return *v >= 1;
}

}  // namespace

std::vector<std::vector<std::string>> CsvRowsFromBytes(std::string_view bytes) {
  std::string text;
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
    text = std::string(bytes.substr(3));
  else
    text = Cp1250ToUtf8(bytes);

  const char sep = detectSeparator(text);
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::string field;
  bool inQuotes = false;
  bool rowStarted = false;

  auto endField = [&] {
    row.push_back(std::move(field));
    field.clear();
  };
  auto endRow = [&] {
    endField();
    rows.push_back(std::move(row));
    row.clear();
    rowStarted = false;
  };

  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inQuotes) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          inQuotes = false;
        }
      } else {
        field += c;
      }
      continue;
    }
    if (c == '"' && field.empty()) {
      inQuotes = true;
      rowStarted = true;
    } else if (c == sep) {
      endField();
      rowStarted = true;
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      endRow();
    } else {
      field += c;
      rowStarted = true;
    }
  }
  if (rowStarted || !field.empty() || !row.empty()) endRow();
  return rows;
}

std::string CsvRowsToBytes(const std::vector<std::vector<std::string>>& rows) {
  std::string text;
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) text += ',';
      text += quoteField(row[i]);
    }
    text += "\r\n";
  }
  return Utf8ToCp1250(text);
}

const std::vector<std::string>& EmployeeCsvHeader() {
  static const std::vector<std::string> header = {"Meno a Priezvisko", "Osobne císlo", "Karta",    "Oddelenie", "Smeny",
                                                  "Služobné",          "Uvazok",       "Prestávky"};
  return header;
}

std::vector<std::string> EmployeeToCsvRow(const Employee& e) {
  return {e.name,
          e.personalNumber,
          std::to_string(e.card),
          e.department,
          e.shiftsAllowed ? "1" : "0",
          e.tripsAllowed ? "1" : "0",
          e.workload,
          std::to_string(e.breaks)};
}

std::string EmployeesToCsv(const std::vector<Employee>& list) {
  std::vector<std::vector<std::string>> rows;
  rows.reserve(list.size() + 1);
  rows.push_back(EmployeeCsvHeader());
  for (const auto& e : list) rows.push_back(EmployeeToCsvRow(e));
  return CsvRowsToBytes(rows);
}

std::vector<Employee> EmployeesFromCsv(std::string_view bytes, int normaMinutes, std::string* error) {
  const auto rows = CsvRowsFromBytes(bytes);
  std::vector<Employee> list;
  for (std::size_t r = 1; r < rows.size() && list.size() < 65535; ++r) {
    const auto& row = rows[r];
    auto cell = [&row](std::size_t i) -> std::string_view { return i < row.size() ? row[i] : std::string_view{}; };
    if (std::all_of(row.begin(), row.end(), [](const std::string& c) { return trim(c).empty(); })) continue;
    const auto card = parseDecimal(trim(cell(2)));
    if (!card || *card < 0 || *card > 65535) continue;
    Employee e;
    e.name = cutUtf8(cell(0), EmployeeList::kNameLimit);
    e.personalNumber = cutUtf8(cell(1), EmployeeList::kPersonalNumberLimit);
    e.card = static_cast<std::uint16_t>(*card);
    e.department = cutUtf8(cell(3), EmployeeList::kDepartmentLimit);
    e.shiftsAllowed = csvFlag(cell(4));
    e.tripsAllowed = csvFlag(cell(5));
    e.workload = std::string(cell(6));
    e.workloadMinutes = WorkloadToMinutes(e.workload, normaMinutes);
    const auto breaks = parseDecimal(trim(cell(7)));
    e.breaks = breaks && *breaks >= INT32_MIN && *breaks <= INT32_MAX ? static_cast<std::int32_t>(*breaks) : 0;
    list.push_back(std::move(e));
  }
  if (error) {
    if (list.empty())
      *error = "V súbore sa nenachádzajú údaje";
    else
      error->clear();
  }
  return list;
}

}  // namespace core
