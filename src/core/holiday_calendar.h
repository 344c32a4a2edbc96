#pragma once
// Public holidays from "sviatky.txt": at most 201 dates; a date before 2000
// recurs every year, a later one is that day only.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/time_values.h"

namespace core {

class MessageCatalogue;
class Operator;

enum class DayKind { WorkingDay = 0, Holiday = 1, Saturday = 2, Sunday = 3 };

const char* DayKindName(DayKind k);  // "WorkingDay", "Holiday", ...

class HolidayCalendar {
 public:
  static constexpr int kMaxDates = 201;

  // Missing file: "Nesprávny dátum v súbore <sviatky.txt>\rPreinštalujte
  // program" and the previous dates stay. Otherwise reads up to the first line
  // that is not a date ("Nesprávny dátum v súbore <sviatky.txt>"), skipping
  // lines with ";". A date without a year means that day of `currentYear`.
  // An empty line ends reading like a bad date. After 201 dates reading stops
  // with "V súbore <sviatky.txt> je viac ako 201 dátumov, ďalšie sa
  // nepoužijú" and the first 201 stay.
  // Returns false when a message was shown.
  bool load(const std::filesystem::path& file, int currentYear, const MessageCatalogue& messages, Operator& op);
  // The same from the file's bytes, for tests and the fuzzer; `message` gets
  // the text that would be shown (empty when none).
  bool loadFromBytes(std::string_view bytes, int currentYear, const MessageCatalogue& messages, std::string& message);

  bool isHoliday(int year, int month, int day) const;
  bool isFreeDay(int year, int month, int day) const;  // holiday, Saturday or Sunday
  // Holiday when the date is a holiday (also on a weekend), otherwise
  // Saturday, Sunday or WorkingDay.
  DayKind dayKind(int year, int month, int day) const;

  const std::vector<CivilDate>& dates() const { return m_dates; }
  void setDates(std::vector<CivilDate> dates) { m_dates = std::move(dates); }

 private:
  std::vector<CivilDate> m_dates;
};

// Reads a holiday date "d.M.yyyy" or "d.M" (blanks allowed); no value when invalid.
std::optional<CivilDate> ParseHolidayDate(std::string_view text, int currentYear);

}  // namespace core
