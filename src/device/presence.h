#pragma once
// Who is in: for every employee the last record a download reported, kept in
// memory beside the employee list and stored in "stav.bin".

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/employee_list.h"
#include "core/time_values.h"

namespace device {

struct PresenceEntry {
  std::uint16_t identifier = 0;
  core::DateTime time;      // the last record's time stamp; the moment of initialisation while there is none
  std::int32_t state = -1;  // -1: no record yet; otherwise the recordCode
  bool operator==(const PresenceEntry&) const = default;
};

// One entry per employee, in list order (entry i belongs to employee i).
class PresenceStatus {
 public:
  static constexpr std::size_t kRecordSize = 24;

  // Rebuilds every entry from the list: the employee's identifier, time `now`,
  // state -1.
  void InitPresence(const core::EmployeeList& employees, core::DateTime now);

  // Every entry with this identifier takes the time stamp and code.
  void UpdatePresence(std::uint16_t identifier, core::DateTime time, int recordCode);

  // Writes "stav.bin": one 24-byte record per entry (identifier u16, six zero
  // bytes, time as a little-endian IEEE double of days since 30.12.1899, state
  // i32, four zero bytes), replacing the file atomically. False when it could
  // not be written (the old file is then untouched).
  bool SavePresence(const std::filesystem::path& file, std::string* error = nullptr) const;

  // Reads "stav.bin" when it exists: one record per entry, in order, as far as
  // the file goes; entries beyond its end keep their values, records beyond
  // the entries are ignored. A missing file changes nothing. Returns how many
  // entries were read.
  std::size_t LoadPresence(const std::filesystem::path& file);

  // The file's bytes, and reading them back (for tests and the loader).
  std::string toBytes() const;
  std::size_t fromBytes(const std::string& bytes);

  std::vector<PresenceEntry>& entries() { return m_entries; }
  const std::vector<PresenceEntry>& entries() const { return m_entries; }

 private:
  std::vector<PresenceEntry> m_entries;
};

// One row of the presence board.
struct PresenceRow {
  std::string name;
  std::string department;
  std::string time;      // "d.M.yyyy H:mm:ss", "---" with no record, empty when no entry
  std::string state;     // "PR <type name>" / "OD <type name>", empty without record
  bool arrival = false;  // the row is coloured yellow
};

// The board's rows: one per employee in list order, filled like the board's
// refresh does (rows are matched by name, entries by identifier, so the later
// of two employees with the same name wins for both rows).
std::vector<PresenceRow> PresenceRows(const core::EmployeeList& employees, const PresenceStatus& status);

}  // namespace device
