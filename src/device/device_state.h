#pragma once
// What the terminal last told about itself in a usable status reply, and the
// texts of the main window's device panel made from it.

#include <cstdint>
#include <string>

#include "core/time_values.h"
#include "device/record_codec.h"

namespace device {

// What the identifier bytes (26..28) of a status reply report.
struct IdentifierReport {
  enum class Kind { None, Card, Battery };
  Kind kind = Kind::None;
  int number = 0;     // Card: the identifier number (0 on VORT RFID means none)
  int threshold = 0;  // Battery: the battery-low threshold
  int level = 0;      // Battery: the battery level
};

struct DeviceState {
  // False until the first usable status reply: the panels are empty and the
  // program counts the terminal as not connected.
  bool known = false;
  ModelParams model;  // kept until the next usable reply
  int PTR = -1;       // -1 after a reply whose PTR exceeded the capacity
  int productionNumber = 0;
  int lockTime = 0;
  bool clockValid = false;
  core::DateTime clock;  // the terminal's clock when clockValid
  IdentifierReport report;

  // Panel texts as the main window shows them.
  std::string PanTime;      // "d.M.yyyy H:mm:ss" or "!! CHYBA !!"
  std::string Pansn;        // production number
  std::string PanName;      // "VORT DALLAS", "VORT RFID" or "ERROR"
  std::string PanNameHint;  // "RF=MANCHESTER 125kHz, 9350 zaznamov" on VORT RFID
  std::string panptr;       // PTR or "!CHYBA!"
  std::string pandoortime;  // lock time

  int capacity() const { return model.capacity; }
  bool isRfid() const { return model.model == Model::Rfid; }
};

// The status request: CMD 10, ARG 2.
inline constexpr int kStatusCmd = 10;
inline constexpr int kStatusArg = 2;
// A status reply is usable only with the echo and all 24 bytes present.
inline constexpr std::size_t kStatusReplySize = 29;

// Interprets `buffer` (echo included) as a status reply and updates `state`.
// True when the reply is usable. An unknown model code sets PanName to
// "ERROR" and changes nothing else; a short buffer changes nothing. Clock
// fields out of range give "!! CHYBA !!" in PanTime and the rest is still
// used; a PTR above the capacity gives PTR -1 and "!CHYBA!".
bool ReadStatus(const std::string& buffer, DeviceState& state);

// Main-window connection bookkeeping around the status heartbeat: FailCount,
// and the Declined / BatteryWarned flags cleared when the terminal is lost.
struct ConnectionMonitor {
  int FailCount = 0;
  bool Declined = false;
  bool BatteryWarned = false;

  // Call once per heartbeat with the result of ReadStatus. Returns true when
  // the terminal counts as lost (the fourth unusable tick in a row and every
  // one after it): the caller clears PanTime and Pansn and shows "Nepripojeny".
  bool tick(bool usable);
};

}  // namespace device
