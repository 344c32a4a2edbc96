#include "device/device_state.h"

namespace device {
namespace {

int at(const std::string& b, std::size_t i) { return static_cast<std::uint8_t>(b[i]); }

}  // namespace

bool ReadStatus(const std::string& buffer, DeviceState& state) {
  if (buffer.size() < kStatusReplySize) return false;
  const auto model = ModelFromCode(at(buffer, 5));
  if (!model) {
    state.PanName = "ERROR";
    return false;
  }
  state.model = *model;
  state.PanName = std::string(model->name);
  if (model->model == Model::Rfid) state.PanNameHint = "RF=MANCHESTER 125kHz, 9350 zaznamov";

  state.productionNumber = at(buffer, 16) | (at(buffer, 17) << 8);
  state.Pansn = std::to_string(state.productionNumber);
  state.lockTime = at(buffer, 18);
  state.pandoortime = std::to_string(state.lockTime);

  const int seconds = at(buffer, 6);
  const int minutes = at(buffer, 7);
  const int hours = at(buffer, 8);
  const int dayNumber = at(buffer, 9) | (at(buffer, 10) << 8);
  if (seconds < 60 && minutes < 60 && hours < 24) {
    const core::CivilDate d = DayNumberToDate(dayNumber);
    state.clockValid = true;
    state.clock = core::DateTime::fromParts(d.year, d.month, d.day, hours, minutes, seconds);
    state.PanTime = ShortDateText(d) + " " + LongTimeText(hours, minutes, seconds);
  } else {
    state.clockValid = false;
    state.PanTime = "!! CHYBA !!";
  }

  const int ptr = at(buffer, 11) | (at(buffer, 12) << 8);
  if (ptr > model->capacity) {
    state.PTR = -1;
    state.panptr = "!CHYBA!";
  } else {
    state.PTR = ptr;
    state.panptr = std::to_string(ptr);
  }

  const int reportState = at(buffer, 26);
  const int low = at(buffer, 27);
  const int high = at(buffer, 28);
  IdentifierReport report;
  if (model->model == Model::Dallas) {
    if (reportState == 1) {
      report.kind = IdentifierReport::Kind::Card;
      report.number = low + 256 * high;
    }
  } else if (reportState == 0) {
    report.kind = IdentifierReport::Kind::Card;
    report.number = low + 256 * high;
  } else if (reportState == 1) {
    report.kind = IdentifierReport::Kind::Battery;
    report.threshold = low;
    report.level = high;
  }
  state.report = report;
  state.known = true;
  return true;
}

bool ConnectionMonitor::tick(bool usable) {
  if (usable) {
    FailCount = 0;
    return false;
  }
  ++FailCount;
  if (FailCount > 3) {
    FailCount = 4;  // stays "lost" without ever overflowing
    Declined = false;
    BatteryWarned = false;
    return true;
  }
  return false;
}

}  // namespace device
