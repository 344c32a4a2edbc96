#pragma once
// A terminal emulation wired to a CommState through SimTransport, with a
// temporary program directory, an employee list and recording sinks, for the
// device tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "core/messages.h"
#include "core/month_log.h"
#include "device/comm_state.h"
#include "device/device_state.h"
#include "device/presence.h"
#include "device/protocol.h"
#include "device/transfer.h"
#include "engine/terminal.h"
#include "sim_transport.h"
#include "support/test_support.h"

namespace testing_support {

class RecordingTextArea final : public device::TextArea {
 public:
  void addLine(const std::string& line) override { lines.push_back(line); }
  void clear() override {
    lines.clear();
    ++clears;
  }
  std::vector<std::string> lines;
  int clears = 0;
};

class RecordingProgress final : public device::Progress {
 public:
  void show(const std::string& caption) override {
    shown = true;
    ++shows;
    captions.push_back(caption);
  }
  void setCaption(const std::string& caption) override { captions.push_back(caption); }
  void setLabel(const std::string& text) override { labels.push_back(text); }
  void setBar(int value, int maximum) override { bars.emplace_back(value, maximum); }
  void hide() override { shown = false; }
  bool shown = false;
  int shows = 0;
  std::vector<std::string> captions;
  std::vector<std::string> labels;
  std::vector<std::pair<int, int>> bars;
};

// Every record of every month log in the folder, as (card, time, code), sorted.
inline std::vector<std::tuple<int, std::int64_t, int>> AllLogRecords(const std::filesystem::path& logDir) {
  std::vector<std::tuple<int, std::int64_t, int>> out;
  std::error_code ec;
  if (!std::filesystem::is_directory(logDir, ec)) return out;
  for (const auto& entry : std::filesystem::directory_iterator(logDir)) {
    if (!entry.is_regular_file()) continue;
    std::vector<core::AttendanceRecord> recs;
    core::MonthLog::ParseAll(ReadBytes(entry.path()), recs);
    for (const auto& r : recs) out.emplace_back(r.card, r.time.secs, r.code);
  }
  std::sort(out.begin(), out.end());
  return out;
}

inline std::vector<std::tuple<int, std::int64_t, int>> TerminalRecords(const timeclock::Terminal& t) {
  std::vector<std::tuple<int, std::int64_t, int>> out;
  for (const auto& r : t.records()) out.emplace_back(r.card, r.time.secs, r.recordCode);
  std::sort(out.begin(), out.end());
  return out;
}

class DeviceFixture : public ::testing::Test {
 protected:
  explicit DeviceFixture(timeclock::Model model = timeclock::Model::Rfid,
                         timeclock::ConnectionType type = timeclock::ConnectionType::Rs232)
      : terminal(model, type),
        transport(terminal),
        comm(transport, static_cast<device::ConnectionType>(static_cast<int>(type))) {
    terminal.setClock(core::DateTime::fromParts(2026, 3, 15, 10, 0, 0));
    terminal.setProductionNumber(4321);
    for (int i = 0; i < 10; ++i) {
      core::Employee e;
      e.name = "Pracovnik " + std::to_string(i + 1);
      e.card = static_cast<std::uint16_t>(1001 + i);
      e.department = i < 5 ? "Dielna" : "Sklad";
      employees.employees().push_back(e);
    }
    presence.InitPresence(employees, core::DateTime::fromParts(2026, 3, 15, 9, 0, 0));
  }

  std::filesystem::path iniFile() const { return dir / "vortane.ini"; }
  std::filesystem::path logDir() const { return dir / "Log"; }

  // Reads the terminal's status the way the heartbeat does.
  bool refreshStatus() { return device::QueryStatus(comm, state, 200); }

  device::DownloadContext context(bool fixedUnit = false) {
    device::DownloadContext ctx{comm, state, employees, messages, op, text, progress};
    ctx.iniFile = iniFile();
    ctx.logDir = logDir();
    ctx.fixedUnit = fixedUnit;
    ctx.presence = &presence;
    ctx.presenceFile = dir / "stav.bin";
    ctx.now = [] { return core::DateTime::fromParts(2026, 3, 15, 10, 30, 0); };
    return ctx;
  }

  long long storedPointer() { return device::ReadTransferPointer(iniFile(), state.productionNumber); }

  TempDir dir;
  timeclock::Terminal terminal;
  SimTransport transport;
  device::CommState comm;
  device::DeviceState state;
  core::EmployeeList employees;
  core::MessageCatalogue messages;
  ScriptedOperator op;
  RecordingTextArea text;
  RecordingProgress progress;
  device::PresenceStatus presence;
};

}  // namespace testing_support
