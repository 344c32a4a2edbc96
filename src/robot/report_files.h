#pragma once
// Files of the combined report and the checks made before a report opens.
//
// A report is stored as a GridTextFile (.zdr) that keeps multi-line cells.
// The table of a period lives in the period file of the program directory
// (March 2005: "32005.zdr"), written whenever the report window closes and
// offered again when the same period is opened with reopenSavedReport.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/employee_list.h"
#include "core/grid.h"
#include "core/operator.h"
#include "core/program_settings.h"
#include "robot/report_table.h"

namespace robot {

inline constexpr std::string_view kNoRecordsForMonth = "Nemame žiadne záznamy pre zvolený mesiac\rVyberte iný mesiac";
inline constexpr std::string_view kEmployeeFileEmpty = "Subor pracovnikov je prazdny alebo neexistuje";
inline constexpr std::string_view kPeriodFileUnreadable = "CHYBA pri otvarani tabulky zo suboru";
inline constexpr std::string_view kPeriodNotComputed = "Tabulka za vybrane obdobie nebola vypracovana, Otvarame novu tabulku";

// Program directory + month without leading zero + four-digit year + ".zdr".
std::filesystem::path PeriodFileName(const std::filesystem::path& programDir, int month, int year);

// "Už ste obdobie: <month>-<year> spracovávali, želáte si tabuľku vyplniť údajmi"
std::string ReopenQuestion(int month, int year);

// Reads a .zdr into `grid` (line breaks in cells kept). The grid always ends
// up with the report's 51 columns: cells of other columns in the file are
// dropped. False with the reader's message in `error`; `grid` is then left
// as it was.
bool ReadReportFile(const std::filesystem::path& file, core::Grid& grid, std::string* error);
// Writes the grid as .zdr, replacing the file atomically.
bool WriteReportFile(const std::filesystem::path& file, const core::Grid& grid, std::string* error = nullptr);

enum class ReopenOutcome {
  Filled,        // the table now holds the saved period
  Declined,      // the operator answered No: the built table stays
  ReadFailed,    // "CHYBA pri otvarani tabulky zo suboru" was shown; the built table stays
  NoSavedTable,  // no period file: "Tabulka za vybrane obdobie nebola vypracovana, ..." was shown
};

// Showing the window for a period chosen with reopenSavedReport, after the
// table build: offers the period file and fills the table from it.
ReopenOutcome ReopenSavedPeriod(CombinedReport& report, const std::filesystem::path& programDir, core::Operator& op);

// "Otvoriť": reads another report into the table. On success the caption
// becomes "Report" + path (no blank between), DayRecordLines are emptied and
// the table is marked as opened from that file. A file that cannot be read is reported
// with the reader's message and the table is not changed (false).
bool OpenReportFile(CombinedReport& report, const std::filesystem::path& file, core::Operator& op);

// The month a report read with "Otvoriť" belongs to, so that its rows are
// recalculated with that month's days and not with the window's.
inline constexpr std::string_view kOpenedPeriodUnknown =
    "Nie je známe, za ktorý mesiac je otvorený výkaz (neurčuje to názov súboru ani hlavička dní)\r"
    "Súčty riadku sa neprepočítali, bunka zostáva tak, ako ste ju zapísali";
struct OpenedReportPeriod {
  int month = 0;
  int year = 0;
  MonthDays days;  // day kinds as the file's header shows them
};
// Taken from the file name when its stem ends in the month and the
// four-digit year (a period file "32005.zdr", or "vykaz_3_2005.zdr") and the
// file's day labels (if any) fit that month; otherwise from the day labels
// alone (number of days and weekdays), as the month nearest to
// `nearMonth`/`nearYear` with that calendar. Holidays are the labels'
// "Sviatok" days; a file without day labels takes them from `holidayFile`.
// No value when neither tells the month.
std::optional<OpenedReportPeriod> PeriodOfOpenedReport(const std::filesystem::path& file, const core::Grid& grid,
                                                       const std::filesystem::path& holidayFile,
                                                       const core::MessageCatalogue& messages, core::Operator& op,
                                                       int nearMonth, int nearYear);

// Closing the window: the table goes to the period file, without a question.
// A table opened from another file is not the period's and is never written
// there (returns true without writing). False with `error` when the write
// fails.
bool SaveReportOnClose(const CombinedReport& report, const std::filesystem::path& programDir,
                       std::string* error = nullptr);

// Month 1..12 and year from the period dialog's texts; no value when either
// is not a whole number in range (year 1000..9999, as typed).
struct ReportPeriod {
  int month = 0;
  int year = 0;
};
std::optional<ReportPeriod> ParseReportPeriod(std::string_view monthText, std::string_view yearText);

// The period dialog's OK checks: the month's log must exist (otherwise
// kNoRecordsForMonth) and the employee list, loaded afresh into `employees`,
// must not be empty (otherwise kEmployeeFileEmpty). The message goes to `op`;
// false means the dialog closes as cancelled.
bool CheckReportPeriod(const core::ProgramSettings& settings, const core::ProgramDirectory& dir, int month, int year,
                       core::EmployeeList& employees, core::Operator& op);

}  // namespace robot
