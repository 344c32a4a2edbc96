#pragma once
// An emulated VORT time-clock terminal ("VORT DALLAS" or "VORT RFID") at the
// byte level of its serial line.
//
// Driving it in process (tests, a test Transport):
//   timeclock::Terminal t(timeclock::Model::Rfid, timeclock::ConnectionType::Rs232);
//   t.receive(frameBytes);               // what the PC wrote to the line
//   auto reply = t.takeOutput();         // echo (types 0 and 1) + the terminal's answer
// Everything the terminal answers is produced inside receive(); takeOutput()
// hands over all of it at once. With a line rate set (setLineRate(baud / 10))
// each byte gets a release time instead: takeOutputDue(now) returns the bytes
// whose time has come and nextOutputTime() tells when the next one is due, so a
// transport can sleep exactly until then. Times come from the time source
// (steady_clock::now unless a test injects its own with setTimeSource); the
// terminal's calendar clock runs on the same source.
//
// Nothing here is thread-safe: one thread drives a Terminal.

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <random>
#include <span>
#include <string_view>
#include <vector>

#include "core/time_values.h"

namespace timeclock {

using SteadyTime = std::chrono::steady_clock::time_point;

enum class Model { Dallas, Rfid };

// Connection type as numbered in the settings: 0 portable RS232, 1 fixed RS485,
// 2 USB. On 0 and 1 the line returns every byte the PC sends; USB does not.
enum class ConnectionType { Rs232 = 0, Rs485 = 1, Usb = 2 };

struct ModelInfo {
  std::uint8_t code;      // model code in the status reply
  std::string_view name;  // "VORT DALLAS" / "VORT RFID"
  int capacity;           // C: the ring has positions 0..C
  int recordSize;         // bytes per stored record
  int baseAddress;        // memory address of ring position 0
};
const ModelInfo& InfoOf(Model m);

// One registration as the terminal stores it (time to the minute).
struct Registration {
  std::uint16_t card = 0;
  core::DateTime time;  // seconds are dropped when stored
  int recordCode = 0;   // arrival 0..9, departure 16..25 (VORT DALLAS keeps only the direction)
  bool operator==(const Registration&) const = default;
};

// Day count of the terminal: day 0 is 1 January 2000 (earlier dates give 0);
// every year divisible by 4 is a leap year.
int DayNumberOf(core::DateTime t);
core::DateTime DateOfDayNumber(int dayNumber);

// Cards used where no cards are given: those of the demo installation's employees (101..115).
std::span<const std::uint16_t> DefaultCards();

// 0x0D 0x0A CMD ARG CK with CMD + ARG + CK = 0xAA (mod 256).
std::array<std::uint8_t, 5> MakeFrame(std::uint8_t cmd, std::uint8_t arg);

// Faults the terminal injects into its replies, drawn from a seeded generator
// so that a seed and the same conversation always give the same faults.
struct FaultConfig {
  std::uint64_t seed = 1;
  double damage = 0;         // chance per acknowledgement or block reply that one of the
                             // terminal's own bytes is altered (never more than one per reply)
  double drop = 0;           // chance per reply (status included) that one byte is left out
  double silence = 0;        // chance per frame that the terminal does not hear it (echo only)
  int disconnectAfter = -1;  // answered frames (counted from setFaults) before the line goes dead; -1 never
};

struct FaultCounts {
  int damaged = 0;
  int dropped = 0;
  int silenced = 0;
};

class Terminal {
 public:
  explicit Terminal(Model model = Model::Rfid, ConnectionType type = ConnectionType::Rs232);

  // ---- the line ----
  // Bytes written by the PC, in order. Frames may arrive split across calls;
  // bytes that do not form a frame with a correct check byte are ignored
  // (but echoed on RS232/RS485).
  void receive(std::span<const std::uint8_t> bytes);
  // All output produced so far, whatever its release time.
  std::vector<std::uint8_t> takeOutput();
  // Output whose release time is not after `now`.
  std::vector<std::uint8_t> takeOutputDue(SteadyTime now);
  // Release time of the next pending byte; empty when nothing is pending.
  std::optional<SteadyTime> nextOutputTime() const;
  bool hasOutput() const { return !m_output.empty(); }
  // The PC went away: output not yet delivered and a half-received frame are dropped.
  void resetLine();
  // Bytes per second on the line (baud / 10); 0 = no pacing (default).
  void setLineRate(int bytesPerSecond);
  void setTimeSource(std::function<SteadyTime()> now);

  // ---- configuration ----
  // Changing the model erases the ring (every byte 0xFF) and sets PTR to 0.
  void setModel(Model model);
  Model model() const { return m_model; }
  const ModelInfo& info() const { return InfoOf(m_model); }
  void setConnectionType(ConnectionType type) { m_type = type; }
  ConnectionType connectionType() const { return m_type; }
  // VORT DALLAS with swapped arrival/departure keys stores the opposite
  // direction bit (the PC then needs CHGINOUT 1).
  void setSwappedKeys(bool swapped) { m_swappedKeys = swapped; }
  void setFaults(const FaultConfig& faults);
  const FaultCounts& faultCounts() const { return m_faultCounts; }

  // ---- the ring ----
  // Stores a registration at PTR and advances PTR (C + 1 becomes 0). A PTR
  // above the capacity (set by setPtr) starts again at position 0.
  void addRegistration(std::uint16_t card, core::DateTime time, int recordCode);
  // Registration stamped with the terminal's clock.
  void addRegistrationNow(std::uint16_t card, int recordCode);
  // Starts at PTR = startPtr and stores `count` generated registrations of the
  // given cards (arrival and departure alternating per card, seven minutes
  // apart, ending before the terminal's clock). Cards empty: DefaultCards().
  void prefillRing(int count, int startPtr = 0, std::span<const std::uint16_t> cards = {});
  // Fills every ring position (C + 1 records) so that PTR ends at endPtr.
  void fillRing(int endPtr = 0, std::span<const std::uint16_t> cards = {});
  // Any 16-bit value, also one above the capacity (the terminal then reports it as is).
  void setPtr(int ptr) { m_ptr = static_cast<std::uint16_t>(ptr); }
  int ptr() const { return m_ptr; }
  // The record at a ring position, empty when it is invalid (never written).
  std::optional<Registration> recordAt(int position) const;
  // All valid records from the oldest (at PTR, going forward) to the newest (before PTR).
  std::vector<Registration> records() const;
  // The `n` positions before PTR, oldest first, as the PC reads them (invalid ones skipped).
  std::vector<Registration> newestRecords(int n) const;
  // Raw memory (65536 bytes) as the block reads see it.
  std::span<const std::uint8_t> memory() const { return m_memory; }
  void writeMemory(int address, std::span<const std::uint8_t> bytes);

  // ---- identifiers, parameters, clock ----
  // The card is reported in the next `replies` status replies.
  void presentCard(std::uint16_t card, int replies = 1);
  void setProductionNumber(std::uint16_t n) { m_production = n; }
  std::uint16_t productionNumber() const { return m_production; }
  int lockTime() const { return m_lockTime; }
  void setLockTime(int seconds) { m_lockTime = static_cast<std::uint8_t>(seconds); }
  int batteryThreshold() const { return m_batteryThreshold; }
  void setBatteryThreshold(int v) { m_batteryThreshold = static_cast<std::uint8_t>(v); }
  int batteryLevel() const { return m_batteryLevel; }
  // A VORT RFID reports the battery (state 1) in every status reply without a card
  // while the level is below the threshold, and once after the "Bat_LO" command.
  void setBatteryLevel(int v) { m_batteryLevel = static_cast<std::uint8_t>(v); }
  bool antennaOn() const { return m_antenna; }
  // The terminal's calendar clock; it runs on from the set value.
  void setClock(core::DateTime t);
  core::DateTime clock() const;
  // Raw clock fields as they stand (a field set out of range through the line
  // stops the clock and is reported as is).
  struct ClockFields {
    int second, minute, hour, dayNumber;
  };
  ClockFields clockFields() const;

  // ---- connection ----
  // A disconnected terminal neither echoes nor answers.
  void disconnect() { m_disconnected = true; }
  void reconnect();
  bool disconnected() const { return m_disconnected; }

  // Called with every frame the terminal accepted (check byte correct), before it answers.
  void setFrameObserver(std::function<void(std::uint8_t cmd, std::uint8_t arg)> observer) {
    m_observer = std::move(observer);
  }

  // Counters for tests and the program's display.
  int framesAnswered() const { return m_framesAnswered; }
  std::uint64_t bytesReceived() const { return m_bytesReceived; }
  std::uint64_t bytesSent() const { return m_bytesSent; }

  // The 24 bytes the terminal sends after the echo of a status request (no
  // card report is consumed by this).
  std::vector<std::uint8_t> statusBytes() const;

 private:
  struct Pending {
    SteadyTime at;
    std::uint8_t byte;
  };
  void handleFrame(std::uint8_t cmd, std::uint8_t arg, SteadyTime frameDone);
  void answer(std::vector<std::uint8_t> bytes, bool checked, SteadyTime earliest);
  void emit(std::uint8_t byte, SteadyTime earliest);
  void emitEcho(std::uint8_t byte, SteadyTime done);
  std::vector<std::uint8_t> statusReply();
  void setClockField(int which, int value);
  SteadyTime now() const;
  void storeRecord(int position, const Registration& r);

  Model m_model;
  ConnectionType m_type;
  bool m_swappedKeys = false;
  std::array<std::uint8_t, 65536> m_memory{};
  std::uint16_t m_ptr = 0;
  std::uint16_t m_production = 1;
  std::uint8_t m_lockTime = 3;
  std::uint8_t m_batteryThreshold = 200;
  std::uint8_t m_batteryLevel = 230;
  bool m_batteryReportDue = false;
  bool m_antenna = false;
  std::uint8_t m_addressLow = 0;
  std::uint16_t m_card = 0;
  int m_cardReplies = 0;

  // Clock: seconds since 1 January 2000 at m_clockSetAt, running; or frozen raw fields.
  std::int64_t m_clockBase = 0;
  SteadyTime m_clockSetAt{};
  std::optional<ClockFields> m_frozenClock;

  // Frame assembly.
  std::vector<std::uint8_t> m_frame;
  SteadyTime m_lastByteAt{};

  // Output and pacing.
  std::deque<Pending> m_output;
  int m_lineRate = 0;
  SteadyTime m_inputFree{};
  SteadyTime m_outputFree{};
  std::function<SteadyTime()> m_now;
  std::function<void(std::uint8_t, std::uint8_t)> m_observer;

  // Faults.
  FaultConfig m_faults;
  FaultCounts m_faultCounts;
  std::mt19937_64 m_random{1};
  bool m_disconnected = false;
  int m_framesAnswered = 0;
  std::uint64_t m_bytesReceived = 0;
  std::uint64_t m_bytesSent = 0;
};

}  // namespace timeclock
