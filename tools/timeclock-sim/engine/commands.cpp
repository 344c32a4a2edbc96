#include "engine/commands.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/record_types.h"
#include "core/text_util.h"
#include "core/time_values.h"

namespace timeclock {
namespace {

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

std::optional<long long> number(std::string_view w, long long lo, long long hi) {
  const auto v = core::parseDecimal(w);
  if (!v || *v < lo || *v > hi) return std::nullopt;
  return v;
}

std::optional<double> seconds(std::string_view w) {
  const std::string s(w);
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (s.empty() || end != s.c_str() + s.size() || !(v >= 0) || v > 86400.0 * 365) return std::nullopt;
  return v;
}

CommandOutcome fail(std::string message) {
  CommandOutcome o;
  o.ok = false;
  o.text = "error: " + message + "\n";
  return o;
}

CommandOutcome done(std::string text) {
  CommandOutcome o;
  o.text = std::move(text);
  return o;
}

std::string clockText(const Terminal& t) {
  const Terminal::ClockFields f = t.clockFields();
  if (f.second > 59 || f.minute > 59 || f.hour > 23) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "clock stopped at day %d %d:%d:%d (invalid)\n", f.dayNumber, f.hour, f.minute,
                  f.second);
    return buf;
  }
  return "clock " + core::FormatLogDateTime(t.clock()) + "\n";
}

std::string statusText(const Terminal& t) {
  const ModelInfo& mi = t.info();
  std::string s;
  s += "model " + std::string(mi.name) + " capacity " + std::to_string(mi.capacity) + "\n";
  s += clockText(t);
  s += "ptr " + std::to_string(t.ptr()) + "\n";
  s += "production " + std::to_string(t.productionNumber()) + "\n";
  s += "lock " + std::to_string(t.lockTime()) + "\n";
  s += "battery " + std::to_string(t.batteryLevel()) + " threshold " + std::to_string(t.batteryThreshold()) + "\n";
  s += std::string("antenna ") + (t.antennaOn() ? "on" : "off") + "\n";
  s += std::string("line ") + (t.disconnected() ? "disconnected" : "connected") + "\n";
  return s;
}

}  // namespace

std::string DescribeRegistration(const Registration& r) {
  std::string s = std::to_string(r.card) + "\t" + core::FormatLogDateTime(r.time) + "\t";
  s += core::isDeparture(r.recordCode) ? "out" : "in";
  s += "\t" + std::to_string(r.recordCode);
  return s;
}

std::optional<std::vector<std::uint16_t>> ParseCardList(std::string_view text) {
  std::vector<std::uint16_t> cards;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) comma = text.size();
    const auto v = number(core::trim(text.substr(start, comma - start)), 0, 65535);
    if (!v) return std::nullopt;
    cards.push_back(static_cast<std::uint16_t>(*v));
    start = comma + 1;
  }
  return cards;
}

CommandOutcome ExecuteCommand(Terminal& t, std::string_view line, std::span<const std::uint16_t> cards) {
  const std::vector<std::string_view> w = words(line);
  if (w.empty() || w[0].front() == '#') return {};
  const std::string_view cmd = w[0];
  const std::size_t n = w.size();

  if (cmd == "add") {
    if (n < 2 || n > 4) return fail("usage: add CARD [in|out] [TYPE]");
    const auto card = number(w[1], 0, 65535);
    if (!card) return fail("card must be 0..65535");
    bool out = false;
    if (n >= 3) {
      if (w[2] == "out") {
        out = true;
      } else if (w[2] != "in") {
        return fail("direction must be in or out");
      }
    }
    long long type = 0;
    if (n == 4) {
      const auto v = number(w[3], 0, 15);
      if (!v) return fail("type must be 0..15");
      type = *v;
    }
    const int at = t.ptr() > t.info().capacity ? 0 : t.ptr();
    t.addRegistrationNow(static_cast<std::uint16_t>(*card), core::recordCode(out, static_cast<int>(type)));
    const auto stored = t.recordAt(at);
    return done("added " + std::to_string(at) + "\t" + (stored ? DescribeRegistration(*stored) : std::string("?")) +
                "\n");
  }
  if (cmd == "card") {
    if (n < 2 || n > 3) return fail("usage: card CARD [REPLIES]");
    const auto card = number(w[1], 0, 65535);
    if (!card) return fail("card must be 0..65535");
    long long replies = 1;
    if (n == 3) {
      const auto v = number(w[2], 1, 1000000);
      if (!v) return fail("replies must be 1 or more");
      replies = *v;
    }
    t.presentCard(static_cast<std::uint16_t>(*card), static_cast<int>(replies));
    return done("card " + std::to_string(*card) + " presented\n");
  }
  if (cmd == "clock") {
    if (n == 1) return done(clockText(t));
    std::string text(line.substr(line.find("clock") + 5));
    const auto dt = core::ParseLogDateTime(core::trim(text));
    if (!dt) return fail("usage: clock d.M.yyyy H:mm:ss");
    const core::CivilDate d = dt->date();
    if (d.year < 2000 || d.year > 2178) return fail("the terminal's clock holds the years 2000 to 2178");
    t.setClock(*dt);
    return done(clockText(t));
  }
  if (cmd == "ptr") {
    if (n == 2) {
      const auto v = number(w[1], 0, 65535);
      if (!v) return fail("ptr must be 0..65535");
      t.setPtr(static_cast<int>(*v));
    } else if (n != 1) {
      return fail("usage: ptr [N]");
    }
    return done("ptr " + std::to_string(t.ptr()) + "\n");
  }
  if (cmd == "dump") {
    const int positions = t.info().capacity + 1;
    int count = positions;
    if (n == 2) {
      const auto v = number(w[1], 0, positions);
      if (!v) return fail("usage: dump [N] with N 0.." + std::to_string(positions));
      count = static_cast<int>(*v);
    } else if (n != 1) {
      return fail("usage: dump [N]");
    }
    std::string s;
    const int ptr = t.ptr() > t.info().capacity ? 0 : t.ptr();
    int valid = 0;
    for (int i = count; i >= 1; --i) {
      const int p = ((ptr - i) % positions + positions) % positions;
      if (auto r = t.recordAt(p)) {
        s += std::to_string(p) + "\t" + DescribeRegistration(*r) + "\n";
        ++valid;
      }
    }
    s += "records " + std::to_string(valid) + " ptr " + std::to_string(t.ptr()) + "\n";
    return done(s);
  }
  if (cmd == "prefill") {
    if (n < 2 || n > 3) return fail("usage: prefill N [START]");
    const int positions = t.info().capacity + 1;
    const auto count = number(w[1], 0, 10LL * positions);
    if (!count) return fail("N must be 0.." + std::to_string(10LL * positions));
    long long start = t.ptr() > t.info().capacity ? 0 : t.ptr();
    if (n == 3) {
      const auto v = number(w[2], 0, positions - 1);
      if (!v) return fail("START must be 0.." + std::to_string(positions - 1));
      start = *v;
    }
    t.prefillRing(static_cast<int>(*count), static_cast<int>(start), cards);
    return done("ptr " + std::to_string(t.ptr()) + "\n");
  }
  if (cmd == "full") {
    if (n != 1) return fail("usage: full");
    t.fillRing(t.ptr() > t.info().capacity ? 0 : t.ptr(), cards);
    return done("ptr " + std::to_string(t.ptr()) + "\n");
  }
  if (cmd == "battery" || cmd == "production") {
    const long long hi = cmd == "battery" ? 255 : 65535;
    const auto v = n == 2 ? number(w[1], 0, hi) : std::nullopt;
    if (!v) return fail("usage: " + std::string(cmd) + " N with N 0.." + std::to_string(hi));
    if (cmd == "battery") {
      t.setBatteryLevel(static_cast<int>(*v));
    } else {
      t.setProductionNumber(static_cast<std::uint16_t>(*v));
    }
    return done(std::string(cmd) + " " + std::to_string(*v) + "\n");
  }
  if (cmd == "status") return done(statusText(t));
  if (cmd == "disconnect") {
    t.disconnect();
    return done("disconnected\n");
  }
  if (cmd == "reconnect") {
    t.reconnect();
    return done("connected\n");
  }
  if (cmd == "auto" || cmd == "sleep") {
    const auto v = n == 2 ? seconds(w[1]) : std::nullopt;
    if (!v) return fail("usage: " + std::string(cmd) + " SECONDS");
    CommandOutcome o;
    if (cmd == "auto") {
      o.autoSeconds = v;
    } else {
      o.sleepSeconds = v;
    }
    return o;
  }
  if (cmd == "quit" || cmd == "exit") {
    CommandOutcome o;
    o.quit = true;
    return o;
  }
  if (cmd == "help") {
    return done(
        "add CARD [in|out] [TYPE] | card CARD [REPLIES] | clock [d.M.yyyy H:mm:ss] | ptr [N] | dump [N] |\n"
        "prefill N [START] | full | battery LEVEL | production N | status | disconnect | reconnect |\n"
        "auto SECONDS | sleep SECONDS | quit\n");
  }
  return fail("unknown command '" + std::string(cmd) + "' (help lists them)");
}

}  // namespace timeclock
