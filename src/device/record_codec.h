#pragma once
// The terminal's models, its day numbers and the stored-record layouts.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/month_log.h"
#include "core/time_values.h"

namespace device {

enum class Model : int { None = 0, Dallas = 0x42, Rfid = 0x43 };

// What a model code of the status reply fixes: the ring is positions
// 0..capacity, record p lives at byte address p * recordSize + baseAddress.
struct ModelParams {
  Model model = Model::None;
  int capacity = 0;
  int recordSize = 0;
  int baseAddress = 0;
  std::string_view name;  // "VORT DALLAS", "VORT RFID"
};

inline constexpr ModelParams kDallasParams{Model::Dallas, 5200, 6, 1024, "VORT DALLAS"};
inline constexpr ModelParams kRfidParams{Model::Rfid, 9350, 7, 0, "VORT RFID"};

// The parameters of a model code; no value for codes other than 0x42 and 0x43.
std::optional<ModelParams> ModelFromCode(int code);

// Ten records travel in one block reply.
inline constexpr int kBlockRecords = 10;

// Day numbers count days from 1 January 2000 (day 0); every year divisible by
// 4 is a leap year. 0..65535.
core::CivilDate DayNumberToDate(int dayNumber);
// No value for dates before 2000 or beyond day 65535, and for impossible dates.
std::optional<int> DateToDayNumber(const core::CivilDate& date);

// One stored record decoded: no value when it is invalid (minute above 59,
// hour above 23, or not exactly one record's bytes), which every consumer
// skips. CHGINOUT (1 or more) swaps arrival and departure on VORT DALLAS.
std::optional<core::AttendanceRecord> DecodeRecord(std::string_view bytes, const ModelParams& model, int CHGINOUT);

// The record as the terminal stores it (used by tests and the simulator
// checks): the inverse of DecodeRecord for valid records.
std::string EncodeRecord(const core::AttendanceRecord& record, const ModelParams& model, int CHGINOUT);

// The PC's short date format and long time format of this installation
// ("d.M.yyyy", "H:mm:ss").
std::string ShortDateText(const core::CivilDate& date);
std::string LongTimeText(int hour, int minute, int second);
std::string ShortDateLongTimeText(core::DateTime t);

}  // namespace device
