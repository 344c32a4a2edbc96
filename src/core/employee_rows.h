#pragma once
// The employee list as the employee window edits it: one row of texts per
// employee, in list order. Texts stay as typed (a card or a break count may
// be anything after a CSV import) until a save checks every row and only
// then turns the rows into the list, so that a bad row changes nothing.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/employee_list.h"

namespace core {

// Columns of the employee table, in the window's order.
enum EmployeeColumn : int {
  kColName = 0,
  kColPersonalNumber = 1,
  kColCard = 2,
  kColDepartment = 3,
  kColShifts = 4,
  kColTrips = 5,
  kColWorkload = 6,
  kColBreaks = 7,
  kEmployeeColumnCount = 8,
};

struct EmployeeRow {
  std::string name;
  std::string personalNumber;
  std::string card;  // decimal text
  std::string department;
  bool shiftsAllowed = false;
  bool tripsAllowed = false;
  std::string workload;
  std::string breaks;  // decimal minutes as text
  bool operator==(const EmployeeRow&) const = default;

  // The text of a text column (the check-box columns have none).
  std::string* text(int column);
  const std::string* text(int column) const;
};

// Header caption of each column ("Meno a Priezvisko", ..., "Prestávky").
const std::array<std::string, kEmployeeColumnCount>& EmployeeColumnCaptions();

// A new employee as the new-employee dialog offers it the first time: no
// texts, no shifts or trips, workload "100", 30 minutes of breaks.
EmployeeRow NewEmployeeRowDefaults();

std::vector<EmployeeRow> RowsFromEmployees(const EmployeeList& list);

// Why prac.txt cannot hold this text: "znak \";\"", "tabulátor", "koniec
// riadka", or "znak \"X\", ktorý nemá tvar v kódovaní Windows-1250"; empty
// when it can.
std::string TextProblem(std::string_view text);
// The operator's message for such a text in a table cell (rows from 1).
std::string CellTextMessage(std::size_t row, int column, std::string_view problem);

// Breaks as the save takes them: a whole number of minutes 0..1440 (blanks
// around it allowed).
std::optional<std::int32_t> BreaksFromText(std::string_view text);
// A card as the save takes it: a whole number 0..65535.
std::optional<std::uint16_t> CardFromText(std::string_view text);
// The new-employee dialog's card: a whole number 1..65535, nothing else.
std::optional<std::uint16_t> NewCardFromText(std::string_view text);

// The first row that a save must refuse, with the operator's message:
// a text prac.txt cannot hold, a card that is not a number 0..65535
// ("Nesprávne císlo karty v riadku: N") or breaks that are not a whole
// number ("Nastavte prestávky v riadku: N"); rows are counted from 1.
struct RowProblem {
  std::size_t row = 0;  // 1-based
  int column = 0;
  std::string message;
};
std::optional<RowProblem> CheckRowsForSave(const std::vector<EmployeeRow>& rows);

// The list entries of rows that passed CheckRowsForSave: texts cut to their
// limits, workload minutes by the workload rule.
std::vector<Employee> EmployeesFromRows(const std::vector<EmployeeRow>& rows, int normaMinutes);

// A row whose card an earlier row already has.
struct DuplicateCard {
  std::size_t row = 0;       // 0-based, the later row
  std::size_t firstRow = 0;  // 0-based, the earlier row with that card
  std::uint16_t card = 0;
};
// Every such row in order (rows with a card that is not a number are left out).
std::vector<DuplicateCard> DuplicateCards(const std::vector<EmployeeRow>& rows);
// "Karta N je už priradená pracovníkovi X. Pokračovať?"
std::string DuplicateCardQuestion(std::uint16_t card, std::string_view owner);
// The first row with this card, if any.
std::optional<std::size_t> RowWithCard(const std::vector<EmployeeRow>& rows, std::uint16_t card);

// Every distinct department text of at least two characters, in row order
// (exact comparison).
std::vector<std::string> DepartmentChoices(const std::vector<EmployeeRow>& rows);

// The next row whose name contains `text` (case-sensitive), searching from
// the row after `selected` to the last row; when `selected` is the last row
// (or no row is selected) the search starts at the first row.
std::optional<std::size_t> FindNameRow(const std::vector<EmployeeRow>& rows, std::string_view text,
                                       std::optional<std::size_t> selected);

// The employee table CSV as the window imports it: the header row must carry
// the eight captions, every other non-empty row becomes a table row. Rows are
// not cut or converted: a card that is not a number is kept and stops the
// save later. A file that cannot be taken as a whole is refused with a
// message naming its row (rows from 1, the header row is row 1).
struct CsvImport {
  std::vector<EmployeeRow> rows;
  std::string error;  // empty on success
};
CsvImport EmployeeRowsFromCsv(std::string_view bytes);
// The file bytes of the table, header row first (Windows-1250, CR LF).
std::string EmployeeRowsToCsv(const std::vector<EmployeeRow>& rows);

}  // namespace core
