#pragma once
// A Transport over the in-process terminal emulation, on a clock the test
// owns: waiting for bytes moves the clock straight to the moment they are
// due (or to the end of the wait), so a test of a 20-second transfer at line
// speed runs in milliseconds and is exactly repeatable.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <utility>

#include "device/transport.h"
#include "engine/terminal.h"

namespace testing_support {

class ManualClock final : public device::Clock {
 public:
  device::TimePoint now() const override { return m_now; }
  void advanceTo(device::TimePoint t) { m_now = std::max(m_now, t); }
  void advance(device::Micros d) { m_now += d; }

 private:
  device::TimePoint m_now{std::chrono::hours(1000)};
};

class SimTransport final : public device::Transport {
 public:
  explicit SimTransport(timeclock::Terminal& terminal) : m_terminal(terminal) {
    m_terminal.setTimeSource([this] { return m_clock.now(); });
  }

  bool isOpen() const override { return m_open; }

  bool write(std::string_view bytes) override {
    if (!m_open) return false;
    m_written += bytes;
    if (onWrite) onWrite(bytes);
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    m_terminal.receive(std::span<const std::uint8_t>(p, bytes.size()));
    return true;
  }

  std::size_t read(std::string& out, device::Micros maxWait) override {
    ++m_reads;
    if (onRead) onRead();
    const device::TimePoint deadline = m_clock.now() + maxWait;
    for (;;) {
      std::size_t n = takeInjected(out);
      if (m_open) {
        for (std::uint8_t b : m_terminal.takeOutputDue(m_clock.now())) {
          out.push_back(static_cast<char>(b));
          ++n;
        }
      } else {
        m_terminal.takeOutputDue(m_clock.now());
      }
      if (n > 0) return n;
      auto next = m_terminal.nextOutputTime();
      if (!m_injected.empty() && (!next || m_injected.front().first < *next)) next = m_injected.front().first;
      if (next && *next <= deadline) {
        m_clock.advanceTo(*next);
        continue;
      }
      m_clock.advanceTo(deadline);
      return 0;
    }
  }

  const device::Clock& clock() const override { return m_clock; }
  ManualClock& manualClock() { return m_clock; }

  // Bytes that arrive from the line at `delay` from now, whoever is waiting.
  void inject(std::string bytes, device::Micros delay = device::Micros::zero()) {
    m_injected.emplace_back(m_clock.now() + delay, std::move(bytes));
  }
  void setOpen(bool open) { m_open = open; }
  const std::string& written() const { return m_written; }
  void clearWritten() { m_written.clear(); }
  int reads() const { return m_reads; }

  std::function<void(std::string_view)> onWrite;
  std::function<void()> onRead;

 private:
  std::size_t takeInjected(std::string& out) {
    std::size_t n = 0;
    while (!m_injected.empty() && m_injected.front().first <= m_clock.now()) {
      out += m_injected.front().second;
      n += m_injected.front().second.size();
      m_injected.pop_front();
    }
    return n;
  }

  timeclock::Terminal& m_terminal;
  ManualClock m_clock;
  bool m_open = true;
  std::string m_written;
  int m_reads = 0;
  std::deque<std::pair<device::TimePoint, std::string>> m_injected;
};

}  // namespace testing_support
