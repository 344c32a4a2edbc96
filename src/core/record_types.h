#pragma once
// Registration kinds of the terminal and the single integer code in which a
// registration's direction and kind travel together.

#include <array>
#include <string_view>

namespace core {

// Kinds 0..9 of a registration: normal, business errand, business trip, trip
// abroad, lunch, doctor, obstacle, sick leave, vacation, unpaid leave.
enum RecordType : int {
  Normal = 0,
  BusinessErrand = 1,
  BusinessTrip = 2,
  BusinessTripAbroad = 3,
  Lunch = 4,
  Doctor = 5,
  Obstacle = 6,
  SickLeave = 7,
  Vacation = 8,
  UnpaidLeave = 9,
};

inline constexpr int kRecordTypeCount = 10;

// Names shown in the download and device windows ("Normalny", "1 Sluzobne", ...).
extern const std::array<std::string_view, kRecordTypeCount> kRecordTypeNames;
// Abbreviations of the sheet's registration column ("N", "S1", ...).
extern const std::array<std::string_view, kRecordTypeCount> kRecordTypeAbbreviations;

// Arrival: the type itself (0..9); departure: 16 + type.
constexpr int recordCode(bool departure, int type) { return departure ? 16 + type : type; }
// A code of 16 or more is a departure.
constexpr bool isDeparture(int code) { return code >= 16; }
// The kind is the low four bits of the code; 10..15 name no kind.
constexpr int recordTypeOf(int code) { return code & 15; }
// Name and abbreviation of a type; empty for values outside 0..9.
std::string_view recordTypeName(int type);
std::string_view recordTypeAbbreviation(int type);

}  // namespace core
