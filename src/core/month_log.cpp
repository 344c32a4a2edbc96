#include "core/month_log.h"

#include <climits>
#include <cstdio>
#include <fstream>
#include <optional>
#include <system_error>

#include "core/atomic_file.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/path_text.h"
#include "core/text_util.h"

namespace fs = std::filesystem;

namespace core {
namespace MonthLog {
namespace {

// One parsed line of a log.
struct Line {
  DateTime time;
  long long card = 0;
  int code = 0;
};

// Applies the line rules; false for every line the reader skips. With
// `wanted`, lines of other identifiers are skipped before their date-time is
// parsed (most of a month's log belongs to somebody else).
bool parseLine(std::string_view line, Line& out, std::optional<long long> wanted = std::nullopt) {
  const auto tab1 = line.find('\t');
  if (tab1 == std::string_view::npos) return false;
  const std::string_view rest = line.substr(tab1 + 1);
  const auto tab2 = rest.find('\t');
  if (tab2 == std::string_view::npos) return false;
  const auto card = parseDecimal(trim(rest.substr(0, tab2)));
  if (!card || (wanted && *card != *wanted)) return false;
  const auto time = ParseLogDateTime(line.substr(0, tab1));
  if (!time) return false;
  const auto code = parseDecimal(trim(rest.substr(tab2 + 1)));
  if (!code || *code < INT_MIN || *code > INT_MAX) return false;
  out.time = *time;
  out.card = *card;
  out.code = static_cast<int>(*code);
  return true;
}

// Calls f for every line (CR LF or LF ends; a final line without an end counts).
template <typename F>
void forEachLine(std::string_view bytes, F&& f) {
  std::size_t start = 0;
  while (start < bytes.size()) {
    auto lf = bytes.find('\n', start);
    const std::size_t next = lf == std::string_view::npos ? bytes.size() : lf + 1;
    std::size_t end = lf == std::string_view::npos ? bytes.size() : lf;
    if (end > start && bytes[end - 1] == '\r') --end;
    f(bytes.substr(start, end - start));
    start = next;
  }
}

// True for a missing or empty file too: only a file whose last byte is not a
// line feed needs a line end before the next record.
bool endsWithLineEnd(const fs::path& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in) return true;
  const auto size = in.tellg();
  if (size <= 0) return true;
  in.seekg(-1, std::ios::end);
  char last = '\n';
  in.get(last);
  return !in || last == '\n';
}

}  // namespace

fs::path FileName(const fs::path& logDir, int month, int year) {
  char name[48];
  std::snprintf(name, sizeof name, "%d_%04d.txt", month, year);
  return logDir / name;
}

fs::path FileOf(const fs::path& logDir, const AttendanceRecord& r) {
  const CivilDate d = r.time.date();
  return FileName(logDir, d.month, d.year);
}

std::string FormatLine(const AttendanceRecord& r) {
  return FormatLogDateTime(r.time) + "\t" + std::to_string(r.card) + "\t" + std::to_string(r.code);
}

std::string WriteErrorMessage(const fs::path& file) {
  return "Chyba vstupu/výstupu pri zápise do súboru: " + DisplayPath(file);
}

bool Append(const fs::path& logDir, const AttendanceRecord& r, const MessageCatalogue& messages, Operator& op) {
  std::error_code ec;
  if (!logDir.empty() && !fs::is_directory(logDir, ec)) {
    fs::create_directories(logDir, ec);
    if (!fs::is_directory(logDir, ec)) op.showMessage(messages.message(msg::CannotOpenLogDir));
  }
  const fs::path file = FileOf(logDir, r);
  std::string line = FormatLine(r) + "\r\n";
  // A log whose last line has no line end (cut off by a crash or edited by
  // hand) would swallow this record into that line; start a new line first.
  if (!endsWithLineEnd(file)) line.insert(0, "\r\n");
  if (!AppendToFile(file, line)) {
    op.showMessage(WriteErrorMessage(file));
    return false;
  }
  return true;
}

void ParseEmployee(std::string_view bytes, std::uint16_t card, LogEntries& out) {
  out.times.clear();
  out.codes.clear();
  out.times.reserve(100);
  out.codes.reserve(100);
  forEachLine(bytes, [&](std::string_view line) {
    Line l;
    if (!parseLine(line, l, card) || l.card != card) return;
    out.times.push_back(l.time);
    out.codes.push_back(l.code);
  });
}

void ParseAll(std::string_view bytes, std::vector<AttendanceRecord>& out) {
  out.clear();
  forEachLine(bytes, [&](std::string_view line) {
    Line l;
    if (!parseLine(line, l) || l.card < 0 || l.card > 0xFFFF) return;
    out.push_back(AttendanceRecord{l.time, static_cast<std::uint16_t>(l.card), l.code});
  });
}

bool ReadEmployee(const fs::path& file, std::uint16_t card, LogEntries& out, Operator& op) {
  out.times.clear();
  out.codes.clear();
  std::string bytes;
  if (!ReadWholeFile(file, bytes)) {
    op.showMessage("Nie je možné otvorit súbor: " + DisplayPath(file) + "\rv subore sú zapísané príchody odchody");
    return false;
  }
  ParseEmployee(bytes, card, out);
  return true;
}

void CheckMonth(const std::vector<DateTime>& times, int month, int year, Operator& op) {
  for (const DateTime& t : times) {
    if (t.secs == 0) continue;  // an unused slot, not a registration
    const CivilDate d = t.date();
    if (d.year != year) op.showMessage("CHYBA v LOG subore\rZapisany nespravny rok");
    if (d.month != month) op.showMessage("CHYBA v LOG subore\rZapisany nespravny mesiac");
  }
}

}  // namespace MonthLog
}  // namespace core
