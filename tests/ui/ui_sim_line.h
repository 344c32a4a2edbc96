#pragma once
// The terminal emulation on a line shared between the test and the main
// window's device worker: the worker reads and writes through a Transport,
// the test presents cards, adds registrations or pulls the cable under the
// same lock. Time is a clock of the line's own that jumps to the moment the
// next byte is due (or to the end of a wait), so waits cost no real time.

// The engine must be read before Qt's headers (it has a member named "emit").
#include "engine/terminal.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <utility>

#include "device/transport.h"
#include "engine/terminal.h"
#include "ui/device_worker.h"

namespace ui_test {

class LineClock final : public device::Clock {
 public:
  device::TimePoint now() const override { return device::TimePoint(device::Micros(m_us.load())); }
  void advanceTo(device::TimePoint t) {
    const auto us = std::chrono::duration_cast<device::Micros>(t.time_since_epoch()).count();
    auto cur = m_us.load();
    while (us > cur && !m_us.compare_exchange_weak(cur, us)) {
    }
  }

 private:
  std::atomic<long long> m_us{3600LL * 1000 * 1000 * 1000};
};

struct SimLine {
  std::mutex mutex;
  timeclock::Terminal terminal;
  LineClock clock;
  // Answers with this noise instead of the terminal while set.
  std::string garbage;
  int opened = 0;
  std::string lastPortName;
  bool refuseOpen = false;

  SimLine(timeclock::Model model, timeclock::ConnectionType type) : terminal(model, type) {
    terminal.setTimeSource([this] { return clock.now(); });
  }
  template <typename Fn>
  auto with(Fn fn) {
    std::lock_guard lock(mutex);
    return fn(terminal);
  }
};

class SimLineTransport final : public device::Transport {
 public:
  explicit SimLineTransport(std::shared_ptr<SimLine> line) : m_line(std::move(line)) {}
  bool isOpen() const override { return true; }
  bool write(std::string_view bytes) override {
    std::lock_guard lock(m_line->mutex);
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    m_line->terminal.receive(std::span<const std::uint8_t>(p, bytes.size()));
    if (!m_line->garbage.empty()) {
      m_line->terminal.takeOutput();
      m_pendingGarbage += m_line->garbage;
    }
    return true;
  }
  std::size_t read(std::string& out, device::Micros maxWait) override {
    std::lock_guard lock(m_line->mutex);
    const device::TimePoint deadline = m_line->clock.now() + maxWait;
    for (;;) {
      std::size_t n = m_pendingGarbage.size();
      out += m_pendingGarbage;
      m_pendingGarbage.clear();
      for (std::uint8_t b : m_line->terminal.takeOutputDue(m_line->clock.now())) {
        out.push_back(static_cast<char>(b));
        ++n;
      }
      if (n > 0) return n;
      auto next = m_line->terminal.nextOutputTime();
      if (next && *next <= deadline) {
        m_line->clock.advanceTo(*next);
        continue;
      }
      m_line->clock.advanceTo(deadline);
      return 0;
    }
  }
  const device::Clock& clock() const override { return m_line->clock; }

 private:
  std::shared_ptr<SimLine> m_line;
  std::string m_pendingGarbage;
};

inline ui::TransportFactory FactoryFor(std::shared_ptr<SimLine> line) {
  return [line](const ui::PortRequest& request) -> std::unique_ptr<device::Transport> {
    std::lock_guard lock(line->mutex);
    line->lastPortName = request.name;
    if (line->refuseOpen) return nullptr;
    ++line->opened;
    return std::make_unique<SimLineTransport>(line);
  };
}

}  // namespace ui_test
