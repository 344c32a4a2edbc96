#include "device/presence.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "core/atomic_file.h"
#include "core/record_types.h"
#include "device/record_codec.h"

namespace device {
namespace {

void putLe(std::string& out, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::uint64_t getLe(const std::string& in, std::size_t at, int bytes) {
  std::uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(in[at + i])) << (8 * i);
  return v;
}

}  // namespace

void PresenceStatus::InitPresence(const core::EmployeeList& employees, core::DateTime now) {
  m_entries.clear();
  m_entries.reserve(employees.size());
  for (const auto& e : employees.employees()) m_entries.push_back(PresenceEntry{e.card, now, -1});
}

void PresenceStatus::UpdatePresence(std::uint16_t identifier, core::DateTime time, int recordCode) {
  for (auto& e : m_entries) {
    if (e.identifier == identifier) {
      e.time = time;
      e.state = recordCode;
    }
  }
}

std::string PresenceStatus::toBytes() const {
  std::string out;
  out.reserve(m_entries.size() * kRecordSize);
  for (const auto& e : m_entries) {
    putLe(out, e.identifier, 2);
    putLe(out, 0, 6);
    putLe(out, std::bit_cast<std::uint64_t>(e.time.toDayNumber()), 8);
    putLe(out, static_cast<std::uint32_t>(e.state), 4);
    putLe(out, 0, 4);
  }
  return out;
}

std::size_t PresenceStatus::fromBytes(const std::string& bytes) {
  std::size_t n = 0;
  for (; n < m_entries.size() && (n + 1) * kRecordSize <= bytes.size(); ++n) {
    const std::size_t at = n * kRecordSize;
    PresenceEntry& e = m_entries[n];
    e.identifier = static_cast<std::uint16_t>(getLe(bytes, at, 2));
    const double day = std::bit_cast<double>(getLe(bytes, at + 8, 8));
    // A damaged time (NaN, far outside any calendar) reads as "no time".
    e.time = core::DateTime::fromDayNumber(day);
    e.state = static_cast<std::int32_t>(static_cast<std::uint32_t>(getLe(bytes, at + 16, 4)));
  }
  return n;
}

bool PresenceStatus::SavePresence(const std::filesystem::path& file, std::string* error) const {
  return core::WriteFileAtomically(file, toBytes(), error);
}

std::size_t PresenceStatus::LoadPresence(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return 0;
  std::string bytes;
  // More than the entries need is never read.
  if (!core::ReadWholeFile(file, bytes, 64u << 20)) return 0;
  return fromBytes(bytes);
}

std::vector<PresenceRow> PresenceRows(const core::EmployeeList& employees, const PresenceStatus& status) {
  const auto& list = employees.employees();
  const auto& entries = status.entries();
  std::vector<PresenceRow> rows;
  rows.reserve(list.size());
  for (const auto& e : list) rows.push_back(PresenceRow{e.name, e.department, {}, {}, false});
  for (auto& row : rows) {
    for (const auto& emp : list) {
      if (emp.name != row.name) continue;
      const PresenceEntry* found = nullptr;
      for (const auto& entry : entries) {
        if (entry.identifier == emp.card) {
          found = &entry;
          break;
        }
      }
      if (!found) continue;
      if (found->state == -1) {
        row.time = "---";
        continue;
      }
      row.time = ShortDateLongTimeText(found->time);
      const bool arrival = found->state <= 15;
      row.state = std::string(arrival ? "PR" : "OD") + " " +
                  std::string(core::recordTypeName(core::recordTypeOf(found->state)));
      row.arrival = arrival;
    }
  }
  return rows;
}

}  // namespace device
