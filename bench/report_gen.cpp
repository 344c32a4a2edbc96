// Makes an installation for the combined-report benchmark: a program
// directory with vortane.ini, prac.txt of N employees, sviatky.txt and the
// month's log in Log/, filled with a realistic month: about four
// registrations per working day (arrival, lunch out and back, departure),
// some weekend work, vacations, sick leave, doctor visits, business errands
// and a tenth of the staff on rotating shifts (night shifts over midnight).
// The registrations of all employees are written in time order, as the
// terminal's downloads append them.
//
// usage: report_gen DIR N [MONTH YEAR]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/atomic_file.h"
#include "core/month_log.h"
#include "core/text_codec.h"
#include "core/time_values.h"

namespace {

struct Event {
  std::int64_t secs;
  std::uint16_t card;
  int code;
};

const char* const kFirst[] = {"Ján", "Peter", "Mária", "Eva", "Ľubomír", "Žofia", "Štefan", "Katarína", "Jozef",
                              "Zuzana"};
const char* const kLast[] = {"Novák", "Kováč", "Horváth", "Šťastný", "Malá", "Čierna", "Tóth", "Baláž", "Ďurica",
                             "Vargová"};
const char* const kDepartments[] = {"Výroba", "Sklad", "Údržba", "Administratíva", "Expedícia"};

bool IsWeekend(int year, int month, int day) {
  const int wd = core::DayOfWeek(year, month, day);
  return wd == 1 || wd == 7;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: report_gen DIR N [MONTH YEAR]\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  const int n = std::atoi(argv[2]);
  const int month = argc == 5 ? std::atoi(argv[3]) : 3;
  const int year = argc == 5 ? std::atoi(argv[4]) : 2024;
  if (n < 1 || n > 65535 || month < 1 || month > 12 || year < 2000 || year > 2049) {
    std::fprintf(stderr, "report_gen: N must be 1..65535, MONTH 1..12, YEAR 2000..2049\n");
    return 2;
  }
  std::filesystem::create_directories(dir / "Log");

  bool ok = core::WriteFileAtomically(dir / "vortane.ini", "[GLOBAL]\r\nLOGDIR=Log\r\nComPort=1\r\n[CALC]\r\n");
  ok = ok && core::WriteFileAtomically(dir / "sviatky.txt", "; sviatky\r\n1.1.1990\r\n6.1.1990\r\n1.5.1990\r\n"
                                                            "8.5.1990\r\n5.7.1990\r\n29.8.1990\r\n1.9.1990\r\n"
                                                            "15.9.1990\r\n1.11.1990\r\n17.11.1990\r\n24.12.1990\r\n"
                                                            "25.12.1990\r\n26.12.1990\r\n");

  std::mt19937 rng(20240301u + static_cast<unsigned>(n));
  const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

  std::string employees = ";Zoznam pracovnikov\r\n";
  std::vector<Event> events;
  events.reserve(static_cast<std::size_t>(n) * 31 * 5);
  const int days = core::DaysInMonth(month, year);
  const auto at = [&](int day, int minuteOfDay, int second) {
    return core::DateTime::fromParts(year, month, day).secs + std::int64_t{minuteOfDay} * 60 + second;
  };

  for (int i = 0; i < n; ++i) {
    const auto card = static_cast<std::uint16_t>(i + 1);
    const bool shifts = i % 10 == 3;
    const bool trips = i % 4 == 1;
    const char* workload = i % 17 == 5 ? "50" : (i % 23 == 7 ? "7:30" : "100");
    char line[256];
    std::snprintf(line, sizeof line, "%s %s %04d\t%05d\t%u\t%s\t%d\t%d\t%s\t%d\t\r\n", kFirst[i % 10],
                  kLast[(i / 10) % 10], i + 1, 10000 + i, card, kDepartments[i % 5], shifts ? 1 : 0, trips ? 1 : 0,
                  workload, i % 3 == 0 ? 30 : 0);
    employees += line;

    // A vacation week, a sick spell or nothing, placed per employee.
    const int absence = pick(0, 9);
    const int absenceStart = pick(3, days - 6);
    const int absenceLength = pick(2, 5);
    const int shiftOffset = pick(0, 2);
    for (int d = 1; d <= days; ++d) {
      const bool weekend = IsWeekend(year, month, d);
      const bool absent = absence <= 2 && d >= absenceStart && d < absenceStart + absenceLength;
      if (absent) continue;
      if (shifts) {
        if (weekend) continue;
        const int shift = (d / 7 + shiftOffset) % 3;  // weekly rotation
        const int start = shift == 0 ? 6 * 60 : shift == 1 ? 14 * 60 : 22 * 60;
        events.push_back({at(d, start - pick(3, 15), pick(0, 59)), card, 0});
        const int endMinute = start + 8 * 60 + pick(0, 12);
        if (endMinute >= 24 * 60) {
          if (d < days) events.push_back({at(d + 1, endMinute - 24 * 60, pick(0, 59)), card, 16});
        } else {
          events.push_back({at(d, endMinute, pick(0, 59)), card, 16});
        }
        continue;
      }
      if (weekend) {
        if (pick(0, 29) == 0) {  // now and then a Saturday morning
          events.push_back({at(d, 8 * 60 + pick(0, 20), pick(0, 59)), card, 0});
          events.push_back({at(d, 12 * 60 + pick(0, 30), pick(0, 59)), card, 16});
        }
        continue;
      }
      // The day before an absence ends with the matching departure; the
      // first day back starts with the matching arrival.
      const bool lastBeforeAbsence = absence <= 2 && d + 1 == absenceStart;
      const bool firstAfterSick = absence == 2 && d == absenceStart + absenceLength;
      const int arrival = 7 * 60 - 15 + pick(0, 30);
      events.push_back({at(d, arrival, pick(0, 59)), card, firstAfterSick ? 7 : 0});
      events.push_back({at(d, 11 * 60 + 20 + pick(0, 20), pick(0, 59)), card, 20});
      events.push_back({at(d, 12 * 60 + pick(0, 10), pick(0, 59)), card, 4});
      int departCode = 16;
      if (lastBeforeAbsence && absence == 0) departCode = 24;  // vacation follows
      if (lastBeforeAbsence && absence == 1) departCode = 21;  // doctor, then sick leave
      const int r = pick(0, 39);
      if (!lastBeforeAbsence && r == 0) departCode = 21;                // doctor in the afternoon
      if (!lastBeforeAbsence && r == 1 && trips) departCode = 17;       // errand to the end of the day
      if (r == 2) events.push_back({at(d, 9 * 60 + pick(0, 30), 0), card, 17});
      if (r == 2) events.push_back({at(d, 10 * 60 + pick(0, 30), 0), card, 1});
      const int departure = departCode == 21 ? 13 * 60 + pick(0, 60) : 15 * 60 + 30 + pick(-10, 40);
      events.push_back({at(d, departure, pick(0, 59)), card, departCode});
    }
  }

  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.secs < b.secs; });
  std::string log;
  log.reserve(events.size() * 32);
  for (const Event& e : events) {
    log += core::MonthLog::FormatLine({core::DateTime{e.secs}, e.card, e.code});
    log += "\r\n";
  }
  ok = ok && core::WriteFileAtomically(dir / "prac.txt", core::Utf8ToCp1250(employees));
  ok = ok && core::WriteFileAtomically(core::MonthLog::FileName(dir / "Log", month, year), log);
  if (!ok) {
    std::fprintf(stderr, "report_gen: cannot write into %s\n", dir.string().c_str());
    return 1;
  }
  std::printf("%d employees, %zu registrations in %s\n", n, events.size(),
              core::MonthLog::FileName(dir / "Log", month, year).string().c_str());
  return 0;
}
