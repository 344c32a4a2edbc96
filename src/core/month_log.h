#pragma once
// The monthly record logs: one text file per month ("3_2005.txt") in LOGDIR,
// one line per downloaded registration: date-time, tab, identifier, tab,
// recordCode. Lines are only ever appended.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/time_values.h"

namespace core {

class MessageCatalogue;
class Operator;

struct AttendanceRecord {
  DateTime time;
  std::uint16_t card = 0;
  int code = 0;  // recordCode
  bool operator==(const AttendanceRecord&) const = default;
};

// Unsorted entries of one employee as read from a log, in file order.
struct LogEntries {
  std::vector<DateTime> times;
  std::vector<int> codes;
};

namespace MonthLog {

// "<logDir>/<month>_<yyyy>.txt", month without leading zero.
std::filesystem::path FileName(const std::filesystem::path& logDir, int month, int year);

// The log a record goes to: that of the record's own month.
std::filesystem::path FileOf(const std::filesystem::path& logDir, const AttendanceRecord& r);

// The line as written (without line end), UTF-8 == ASCII.
std::string FormatLine(const AttendanceRecord& r);

// The input/output error shown when a record cannot be written:
// "Chyba vstupu/výstupu pri zápise do súboru: <name>".
std::string WriteErrorMessage(const std::filesystem::path& file);

// Appends one record to the log of the record's own month, opening and closing
// the file. A log directory that cannot be created shows message 39; any
// failure to write shows an input/output error and returns false: the record
// is not stored, and the caller must not treat it as stored. A log whose last
// line lacks its line end gets one before the record, so the record is never
// joined to a broken line. Whether the line is on the disk when this returns
// depends on the platform; a transfer that relies on it flushes each log at
// its checkpoints (core::FlushToDisk) rather than once per line.
bool Append(const std::filesystem::path& logDir, const AttendanceRecord& r, const MessageCatalogue& messages,
            Operator& op);

// Reads the lines of one identifier from a log file (`out` is emptied first).
// A line counts when it has a date-time that parses, a tab, the identifier as
// a decimal number, a tab, and a decimal recordCode filling the rest of the
// line (blanks around the numbers allowed). Missing/unreadable file:
// "Nie je možné otvorit súbor: <name>\rv subore sú zapísané príchody odchody"
// and false. Malformed lines and other identifiers are skipped silently.
bool ReadEmployee(const std::filesystem::path& file, std::uint16_t card, LogEntries& out, Operator& op);

// The same over a file's bytes (no message; `out` is emptied first).
void ParseEmployee(std::string_view bytes, std::uint16_t card, LogEntries& out);

// Every valid line of a log, whatever its identifier (0..65535), in file
// order (`out` is emptied first). Used where one pass over the month serves
// all employees.
void ParseAll(std::string_view bytes, std::vector<AttendanceRecord>& out);

// The year/month check after ordering: for each entry of another year
// "CHYBA v LOG subore\rZapisany nespravny rok", of another month
// "CHYBA v LOG subore\rZapisany nespravny mesiac" (both when both differ).
void CheckMonth(const std::vector<DateTime>& times, int month, int year, Operator& op);

}  // namespace MonthLog

}  // namespace core
