#include "core/employee_rows.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "core/text_codec.h"
#include "core/text_util.h"

namespace core {
namespace {

constexpr std::size_t kMaxRows = 65535;  // the list's count is a 16-bit number
constexpr std::int32_t kMaxBreaks = 24 * 60;

// Length in bytes of the UTF-8 sequence that starts with `lead` (1 for a
// stray byte, so that scanning always moves on).
std::size_t sequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
  if (lead >= 0xC0) return 2;
  return 1;
}

// True when the bytes are well-formed UTF-8 and hold at least one letter
// beyond ASCII: a Windows-1250 file with Slovak letters practically never is.
bool looksLikeUtf8(std::string_view bytes) {
  bool multibyte = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    const std::size_t n = sequenceLength(c);
    if (n == 1 || i + n > bytes.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    }
    multibyte = true;
    i += n;
  }
  return multibyte;
}

// Letters compared without case and without Slovak diacritics, so that a
// header row retyped in a spreadsheet ("Osobné číslo", "Sluzobne") is still
// recognised.
std::string fold(std::string_view text) {
  static const std::pair<std::string_view, char> kLetters[] = {
      {"á", 'a'}, {"ä", 'a'}, {"č", 'c'}, {"ď", 'd'}, {"é", 'e'}, {"ě", 'e'}, {"í", 'i'}, {"ĺ", 'l'},
      {"ľ", 'l'}, {"ň", 'n'}, {"ó", 'o'}, {"ô", 'o'}, {"ŕ", 'r'}, {"ř", 'r'}, {"š", 's'}, {"ť", 't'},
      {"ú", 'u'}, {"ů", 'u'}, {"ý", 'y'}, {"ž", 'z'}, {"Á", 'a'}, {"Ä", 'a'}, {"Č", 'c'}, {"Ď", 'd'},
      {"É", 'e'}, {"Ě", 'e'}, {"Í", 'i'}, {"Ĺ", 'l'}, {"Ľ", 'l'}, {"Ň", 'n'}, {"Ó", 'o'}, {"Ô", 'o'},
      {"Ŕ", 'r'}, {"Ř", 'r'}, {"Š", 's'}, {"Ť", 't'}, {"Ú", 'u'}, {"Ů", 'u'}, {"Ý", 'y'}, {"Ž", 'z'}};
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
      ++i;
      continue;
    }
    const std::size_t n = std::min(sequenceLength(c), text.size() - i);
    const std::string_view seq = text.substr(i, n);
    const auto* hit =
        std::find_if(std::begin(kLetters), std::end(kLetters), [&](const auto& letter) { return letter.first == seq; });
    if (hit != std::end(kLetters))
      out += hit->second;
    else
      out += seq;
    i += n;
  }
  return out;
}

std::optional<bool> csvFlag(std::string_view text) {
  const std::string t = fold(trim(text));
  if (t.empty() || t == "false" || t == "nepravda" || t == "nie") return false;
  if (t == "true" || t == "pravda" || t == "ano") return true;
  if (const auto v = parseDecimal(t)) return *v >= 1;
  return std::nullopt;
}

std::string rowText(std::size_t row) { return std::to_string(row); }

}  // namespace

std::string* EmployeeRow::text(int column) {
  return const_cast<std::string*>(static_cast<const EmployeeRow*>(this)->text(column));
}

const std::string* EmployeeRow::text(int column) const {
  switch (column) {
    case kColName:
      return &name;
    case kColPersonalNumber:
      return &personalNumber;
    case kColCard:
      return &card;
    case kColDepartment:
      return &department;
    case kColWorkload:
      return &workload;
    case kColBreaks:
      return &breaks;
    default:
      return nullptr;
  }
}

const std::array<std::string, kEmployeeColumnCount>& EmployeeColumnCaptions() {
  static const std::array<std::string, kEmployeeColumnCount> captions = [] {
    std::array<std::string, kEmployeeColumnCount> a;
    const auto& header = EmployeeCsvHeader();
    for (std::size_t i = 0; i < a.size() && i < header.size(); ++i) a[i] = header[i];
    return a;
  }();
  return captions;
}

EmployeeRow NewEmployeeRowDefaults() {
  EmployeeRow r;
  r.workload = "100";
  r.breaks = "30";
  return r;
}

std::vector<EmployeeRow> RowsFromEmployees(const EmployeeList& list) {
  std::vector<EmployeeRow> rows;
  rows.reserve(list.size());
  for (const auto& e : list.employees()) {
    EmployeeRow r;
    r.name = e.name;
    r.personalNumber = e.personalNumber;
    r.card = std::to_string(e.card);
    r.department = e.department;
    r.shiftsAllowed = e.shiftsAllowed;
    r.tripsAllowed = e.tripsAllowed;
    r.workload = e.workload;
    r.breaks = std::to_string(e.breaks);
    rows.push_back(std::move(r));
  }
  return rows;
}

std::string TextProblem(std::string_view text) {
  if (text.find(';') != std::string_view::npos) return "znak \";\"";
  if (text.find('\t') != std::string_view::npos) return "tabulátor";
  if (text.find_first_of("\r\n") != std::string_view::npos) return "koniec riadka";
  bool lossy = false;
  (void)Utf8ToCp1250(text, &lossy);
  if (!lossy) return {};
  // Name the first character that has no Windows-1250 form.
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = std::min(sequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
    const std::string_view ch = text.substr(i, n);
    bool bad = false;
    (void)Utf8ToCp1250(ch, &bad);
    if (bad) return "znak \"" + std::string(ch) + "\", ktorý nemá tvar v kódovaní Windows-1250";
    i += n;
  }
  return "znak, ktorý nemá tvar v kódovaní Windows-1250";
}

std::string CellTextMessage(std::size_t row, int column, std::string_view problem) {
  const auto& captions = EmployeeColumnCaptions();
  const std::string caption = column >= 0 && column < kEmployeeColumnCount ? captions[column] : std::string();
  return "Riadok " + rowText(row) + ", stĺpec \"" + caption + "\": text obsahuje " + std::string(problem) +
         "\rTaký text nie je možné uložiť do súboru prac.txt";
}

std::optional<std::int32_t> BreaksFromText(std::string_view text) {
  const auto v = parseDecimal(trim(text));
  if (!v || *v < 0 || *v > kMaxBreaks) return std::nullopt;
  return static_cast<std::int32_t>(*v);
}

std::optional<std::uint16_t> CardFromText(std::string_view text) {
  const auto v = parseDecimal(trim(text));
  if (!v || *v < 0 || *v > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(*v);
}

std::optional<std::uint16_t> NewCardFromText(std::string_view text) {
  // Digits only: "+5" or " 5" is not what the operator meant to type.
  if (text.empty() || text.size() > 5 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const auto v = CardFromText(text);
  if (!v || *v == 0) return std::nullopt;
  return v;
}

std::optional<RowProblem> CheckRowsForSave(const std::vector<EmployeeRow>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const EmployeeRow& r = rows[i];
    const std::size_t n = i + 1;
    for (int column : {kColName, kColPersonalNumber, kColCard, kColDepartment, kColWorkload, kColBreaks}) {
      const std::string problem = TextProblem(*r.text(column));
      if (!problem.empty()) return RowProblem{n, column, CellTextMessage(n, column, problem)};
    }
    if (!CardFromText(r.card)) return RowProblem{n, kColCard, "Nesprávne císlo karty v riadku: " + rowText(n)};
    if (!BreaksFromText(r.breaks)) return RowProblem{n, kColBreaks, "Nastavte prestávky v riadku: " + rowText(n)};
  }
  if (rows.size() > kMaxRows) {
    return RowProblem{kMaxRows + 1, kColName, "Zoznam pracovníkov môže mať najviac 65535 riadkov"};
  }
  return std::nullopt;
}

std::vector<Employee> EmployeesFromRows(const std::vector<EmployeeRow>& rows, int normaMinutes) {
  std::vector<Employee> list;
  list.reserve(rows.size());
  for (const auto& r : rows) {
    Employee e;
    e.name = cutUtf8(r.name, EmployeeList::kNameLimit);
    e.personalNumber = cutUtf8(r.personalNumber, EmployeeList::kPersonalNumberLimit);
    e.card = CardFromText(r.card).value_or(0);
    e.department = cutUtf8(r.department, EmployeeList::kDepartmentLimit);
    e.shiftsAllowed = r.shiftsAllowed;
    e.tripsAllowed = r.tripsAllowed;
    e.workload = r.workload;
    e.workloadMinutes = WorkloadToMinutes(e.workload, normaMinutes);
    e.breaks = BreaksFromText(r.breaks).value_or(0);
    list.push_back(std::move(e));
  }
  return list;
}

std::vector<DuplicateCard> DuplicateCards(const std::vector<EmployeeRow>& rows) {
  std::vector<DuplicateCard> out;
  std::unordered_map<std::uint16_t, std::size_t> first;
  first.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto card = CardFromText(rows[i].card);
    if (!card) continue;
    const auto [it, inserted] = first.emplace(*card, i);
    if (!inserted) out.push_back(DuplicateCard{i, it->second, *card});
  }
  return out;
}

std::string DuplicateCardQuestion(std::uint16_t card, std::string_view owner) {
  return "Karta " + std::to_string(card) + " je už priradená pracovníkovi " + std::string(owner) + ". Pokračovať?";
}

std::optional<std::size_t> RowWithCard(const std::vector<EmployeeRow>& rows, std::uint16_t card) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (CardFromText(rows[i].card) == card) return i;
  }
  return std::nullopt;
}

std::vector<std::string> DepartmentChoices(const std::vector<EmployeeRow>& rows) {
  std::vector<std::string> out;
  std::unordered_set<std::string> seen;
  for (const auto& r : rows) {
    if (utf8Length(r.department) < 2) continue;
    if (seen.insert(r.department).second) out.push_back(r.department);
  }
  return out;
}

std::optional<std::size_t> FindNameRow(const std::vector<EmployeeRow>& rows, std::string_view text,
                                       std::optional<std::size_t> selected) {
  if (text.empty() || rows.empty()) return std::nullopt;
  std::size_t start = 0;
  if (selected && *selected + 1 < rows.size()) start = *selected + 1;
  for (std::size_t i = start; i < rows.size(); ++i) {
    if (rows[i].name.find(text) != std::string::npos) return i;
  }
  return std::nullopt;
}

CsvImport EmployeeRowsFromCsv(std::string_view bytes) {
  CsvImport result;
  auto refuse = [&result](std::size_t row, const std::string& why) {
    result.rows.clear();
    result.error = "Súbor nie je možné načítať: riadok " + rowText(row) + "\r" + why;
    return result;
  };

  // Control characters other than tab and line ends mean a binary file (or
  // one of another kind); the line named is the first that holds one.
  std::size_t line = 1;
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\n') ++line;
    if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F) {
      return refuse(line, "Súbor nie je textový súbor CSV");
    }
  }

  const bool bom = bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF";
  std::vector<std::vector<std::string>> rows;
  if (!bom && looksLikeUtf8(bytes))
    rows = CsvRowsFromBytes("\xEF\xBB\xBF" + std::string(bytes));
  else
    rows = CsvRowsFromBytes(bytes);

  auto blank = [](const std::vector<std::string>& row) {
    return std::all_of(row.begin(), row.end(), [](const std::string& c) { return trim(c).empty(); });
  };
  std::size_t headerIndex = 0;
  while (headerIndex < rows.size() && blank(rows[headerIndex])) ++headerIndex;
  if (headerIndex == rows.size()) {
    result.error = "V súbore sa nenachádzajú údaje";
    return result;
  }

  const auto& captions = EmployeeColumnCaptions();
  const auto& header = rows[headerIndex];
  bool headerOk = header.size() >= captions.size();
  for (std::size_t c = 0; headerOk && c < header.size(); ++c) {
    if (c < captions.size())
      headerOk = fold(trim(header[c])) == fold(captions[c]);
    else
      headerOk = trim(header[c]).empty();
  }
  if (!headerOk) {
    std::string expected;
    for (const auto& c : captions) expected += (expected.empty() ? "" : ",") + c;
    return refuse(headerIndex + 1, "Prvý riadok musí mať stĺpce zoznamu pracovníkov:\r" + expected);
  }

  for (std::size_t r = headerIndex + 1; r < rows.size(); ++r) {
    const auto& cells = rows[r];
    const std::size_t n = r + 1;
    if (blank(cells)) continue;
    for (std::size_t c = captions.size(); c < cells.size(); ++c) {
      if (!trim(cells[c]).empty()) {
        return refuse(n, "Riadok má viac ako " + std::to_string(captions.size()) + " stĺpcov");
      }
    }
    if (result.rows.size() >= kMaxRows) return refuse(n, "Zoznam pracovníkov môže mať najviac 65535 riadkov");
    // Columns missing at the end of a row take what a new entry holds.
    EmployeeRow row;
    row.workload = "100";
    row.breaks = "0";
    for (std::size_t c = 0; c < cells.size() && c < captions.size(); ++c) {
      const int column = static_cast<int>(c);
      if (column == kColShifts || column == kColTrips) {
        const auto flag = csvFlag(cells[c]);
        if (!flag) {
          return refuse(n, "Stĺpec \"" + captions[c] + "\" musí obsahovať 1 alebo 0, nie \"" + cells[c] + "\"");
        }
        (column == kColShifts ? row.shiftsAllowed : row.tripsAllowed) = *flag;
        continue;
      }
      std::string text = cells[c];
      // Spreadsheets pad numbers; names keep their blanks as typed.
      if (column == kColCard || column == kColBreaks) text = std::string(trim(text));
      const std::string problem = TextProblem(text);
      if (!problem.empty()) {
        result.rows.clear();
        result.error = "Súbor nie je možné načítať: " + CellTextMessage(n, column, problem);
        return result;
      }
      *row.text(column) = std::move(text);
    }
    result.rows.push_back(std::move(row));
  }
  if (result.rows.empty()) result.error = "V súbore sa nenachádzajú údaje";
  return result;
}

std::string EmployeeRowsToCsv(const std::vector<EmployeeRow>& rows) {
  std::vector<std::vector<std::string>> out;
  out.reserve(rows.size() + 1);
  const auto& captions = EmployeeColumnCaptions();
  out.emplace_back(captions.begin(), captions.end());
  for (const auto& r : rows) {
    out.push_back({r.name, r.personalNumber, r.card, r.department, r.shiftsAllowed ? "1" : "0",
                   r.tripsAllowed ? "1" : "0", r.workload, r.breaks});
  }
  return CsvRowsToBytes(out);
}

}  // namespace core
