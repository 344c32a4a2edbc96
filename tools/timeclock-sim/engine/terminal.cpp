#include "engine/terminal.h"

#include <algorithm>

#include "core/record_types.h"

namespace timeclock {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// A frame whose bytes are further apart than this is abandoned: a terminal
// that lost a byte must not glue the rest onto the next frame for ever.
constexpr auto kFrameGap = std::chrono::milliseconds(200);

constexpr ModelInfo kDallas{0x42, "VORT DALLAS", 5200, 6, 1024};
constexpr ModelInfo kRfid{0x43, "VORT RFID", 9350, 7, 0};

// The terminal counts every year divisible by 4 as a leap year.
int daysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && year % 4 == 0 ? 29 : kDays[month - 1];
}

}  // namespace

const ModelInfo& InfoOf(Model m) { return m == Model::Dallas ? kDallas : kRfid; }

int DayNumberOf(core::DateTime t) {
  const core::CivilDate d = t.date();
  if (d.year < 2000) return 0;
  int n = 0;
  for (int y = 2000; y < d.year; ++y) n += y % 4 == 0 ? 366 : 365;
  for (int m = 1; m < d.month; ++m) n += daysInMonth(d.year, m);
  return n + d.day - 1;
}

core::DateTime DateOfDayNumber(int dayNumber) {
  int year = 2000;
  int rest = std::max(0, dayNumber);
  while (rest >= (year % 4 == 0 ? 366 : 365)) {
    rest -= year % 4 == 0 ? 366 : 365;
    ++year;
  }
  int month = 1;
  while (rest >= daysInMonth(year, month)) {
    rest -= daysInMonth(year, month);
    ++month;
  }
  return core::DateTime::fromParts(year, month, rest + 1);
}

std::span<const std::uint16_t> DefaultCards() {
  static constexpr std::uint16_t kCards[] = {101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115};
  return kCards;
}

std::array<std::uint8_t, 5> MakeFrame(std::uint8_t cmd, std::uint8_t arg) {
  return {0x0D, 0x0A, cmd, arg, static_cast<std::uint8_t>(0xAA - cmd - arg)};
}

Terminal::Terminal(Model model, ConnectionType type) : m_model(model), m_type(type) {
  m_memory.fill(0xFF);
  setClock(core::Now());
}

SteadyTime Terminal::now() const { return m_now ? m_now() : std::chrono::steady_clock::now(); }

void Terminal::setTimeSource(std::function<SteadyTime()> source) {
  const core::DateTime current = clock();
  const auto frozen = m_frozenClock;
  m_now = std::move(source);
  setClock(current);
  m_frozenClock = frozen;
  m_inputFree = m_outputFree = SteadyTime{};
}

void Terminal::resetLine() {
  m_output.clear();
  m_frame.clear();
  m_inputFree = m_outputFree = SteadyTime{};
}

void Terminal::setLineRate(int bytesPerSecond) { m_lineRate = std::max(0, bytesPerSecond); }

void Terminal::setModel(Model model) {
  m_model = model;
  m_memory.fill(0xFF);
  m_ptr = 0;
}

void Terminal::setFaults(const FaultConfig& faults) {
  m_faults = faults;
  m_random.seed(faults.seed);
  m_faultCounts = {};
  m_framesAnswered = 0;
  if (faults.disconnectAfter == 0) m_disconnected = true;
}

void Terminal::reconnect() {
  m_disconnected = false;
  m_faults.disconnectAfter = -1;
  m_frame.clear();
}

// ---- clock ----

void Terminal::setClock(core::DateTime t) {
  m_frozenClock.reset();
  m_clockBase = static_cast<std::int64_t>(DayNumberOf(t)) * kSecondsPerDay + t.secondOfDay();
  m_clockSetAt = now();
}

Terminal::ClockFields Terminal::clockFields() const {
  if (m_frozenClock) return *m_frozenClock;
  const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now() - m_clockSetAt).count();
  const std::int64_t total = m_clockBase + std::max<std::int64_t>(0, elapsed);
  const auto sod = static_cast<int>(total % kSecondsPerDay);
  return ClockFields{sod % 60, sod / 60 % 60, sod / 3600, static_cast<int>(total / kSecondsPerDay) & 0xFFFF};
}

core::DateTime Terminal::clock() const {
  const ClockFields f = clockFields();
  return DateOfDayNumber(f.dayNumber)
      .addSeconds(std::min(f.hour, 23) * 3600LL + std::min(f.minute, 59) * 60LL + std::min(f.second, 59));
}

void Terminal::setClockField(int which, int value) {
  ClockFields f = clockFields();
  switch (which) {
    case 0:
      f.second = value;
      break;
    case 1:
      f.minute = value;
      break;
    case 2:
      f.hour = value;
      break;
    case 3:
      f.dayNumber = (f.dayNumber & 0xFF00) | value;
      break;
    default:
      f.dayNumber = (f.dayNumber & 0x00FF) | (value << 8);
      break;
  }
  if (f.second < 60 && f.minute < 60 && f.hour < 24) {
    m_frozenClock.reset();
    m_clockBase = static_cast<std::int64_t>(f.dayNumber) * kSecondsPerDay + f.hour * 3600 + f.minute * 60 + f.second;
    m_clockSetAt = now();
  } else {
    // The clock chip keeps what it was given and stops counting.
    m_frozenClock = f;
  }
}

// ---- ring ----

void Terminal::storeRecord(int position, const Registration& r) {
  const ModelInfo& mi = info();
  const int address = position * mi.recordSize + mi.baseAddress;
  const int day = DayNumberOf(r.time);
  std::vector<std::uint8_t> b;
  b.push_back(static_cast<std::uint8_t>(r.time.minute()));
  if (m_model == Model::Dallas) {
    const bool bit = core::isDeparture(r.recordCode) != m_swappedKeys;
    b.push_back(static_cast<std::uint8_t>(r.time.hour() | (bit ? 0x80 : 0)));
  } else {
    b.push_back(static_cast<std::uint8_t>(r.time.hour()));
  }
  b.push_back(static_cast<std::uint8_t>(day & 0xFF));
  b.push_back(static_cast<std::uint8_t>((day >> 8) & 0xFF));
  if (m_model == Model::Rfid) b.push_back(static_cast<std::uint8_t>(r.recordCode));
  b.push_back(static_cast<std::uint8_t>(r.card & 0xFF));
  b.push_back(static_cast<std::uint8_t>(r.card >> 8));
  writeMemory(address, b);
}

void Terminal::writeMemory(int address, std::span<const std::uint8_t> bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) m_memory[(static_cast<std::size_t>(address) + i) & 0xFFFF] = bytes[i];
}

void Terminal::addRegistration(std::uint16_t card, core::DateTime time, int recordCode) {
  const int capacity = info().capacity;
  if (m_ptr > capacity) m_ptr = 0;  // a terminal with a broken pointer starts again at the bottom
  storeRecord(m_ptr, Registration{card, time, recordCode});
  m_ptr = static_cast<std::uint16_t>(m_ptr == capacity ? 0 : m_ptr + 1);
}

void Terminal::addRegistrationNow(std::uint16_t card, int recordCode) { addRegistration(card, clock(), recordCode); }

void Terminal::prefillRing(int count, int startPtr, std::span<const std::uint16_t> cards) {
  if (cards.empty()) cards = DefaultCards();
  const int positions = info().capacity + 1;
  m_ptr = static_cast<std::uint16_t>(((startPtr % positions) + positions) % positions);
  constexpr std::int64_t kStep = 7 * 60;
  const core::DateTime now = clock();
  const core::DateTime first{(now.secs / 60) * 60 - (static_cast<std::int64_t>(count) + 1) * kStep};
  std::vector<bool> departed(cards.size(), false);
  for (int i = 0; i < count; ++i) {
    const std::size_t c = static_cast<std::size_t>(i) % cards.size();
    // Now and then a typed registration (lunch, doctor) on the card model.
    const int type = m_model == Model::Dallas ? 0 : (i % 17 == 5 ? core::Lunch : (i % 23 == 7 ? core::Doctor : 0));
    addRegistration(cards[c], first.addSeconds(i * kStep), core::recordCode(departed[c], type));
    departed[c] = !departed[c];
  }
}

void Terminal::fillRing(int endPtr, std::span<const std::uint16_t> cards) {
  prefillRing(info().capacity + 1, endPtr, cards);
}

std::optional<Registration> Terminal::recordAt(int position) const {
  const ModelInfo& mi = info();
  if (position < 0 || position > mi.capacity) return std::nullopt;
  const std::size_t a = static_cast<std::size_t>(position * mi.recordSize + mi.baseAddress);
  auto at = [&](std::size_t i) { return m_memory[(a + i) & 0xFFFF]; };
  const int minute = at(0);
  const int hour = at(1) & 0x7F;
  if (minute > 59 || hour > 23) return std::nullopt;
  const int day = at(2) | (at(3) << 8);
  Registration r;
  r.time = DateOfDayNumber(day).addSeconds(hour * 3600LL + minute * 60LL);
  if (m_model == Model::Dallas) {
    const bool bit = (at(1) & 0x80) != 0;
    r.recordCode = bit != m_swappedKeys ? 16 : 0;
    r.card = static_cast<std::uint16_t>(at(4) | (at(5) << 8));
  } else {
    r.recordCode = at(4);
    r.card = static_cast<std::uint16_t>(at(5) | (at(6) << 8));
  }
  return r;
}

std::vector<Registration> Terminal::newestRecords(int n) const {
  const int positions = info().capacity + 1;
  n = std::clamp(n, 0, positions);
  std::vector<Registration> out;
  const int ptr = m_ptr > info().capacity ? 0 : m_ptr;
  for (int i = n; i >= 1; --i) {
    if (auto r = recordAt(((ptr - i) % positions + positions) % positions)) out.push_back(*r);
  }
  return out;
}

std::vector<Registration> Terminal::records() const { return newestRecords(info().capacity + 1); }

// ---- identifiers ----

void Terminal::presentCard(std::uint16_t card, int replies) {
  m_card = card;
  m_cardReplies = std::max(1, replies);
}

// ---- the line ----

void Terminal::receive(std::span<const std::uint8_t> bytes) {
  const SteadyTime t = now();
  const auto byteTime =
      m_lineRate > 0 ? std::chrono::nanoseconds(1'000'000'000LL / m_lineRate) : std::chrono::nanoseconds(0);
  for (const std::uint8_t b : bytes) {
    ++m_bytesReceived;
    if (m_disconnected) continue;
    // When the byte has completely arrived at the terminal.
    const SteadyTime done = m_lineRate > 0 ? std::max(t, m_inputFree) + byteTime : t;
    m_inputFree = done;
    if (m_type != ConnectionType::Usb) emitEcho(b, done);

    if (!m_frame.empty() && t - m_lastByteAt > kFrameGap) m_frame.clear();
    m_lastByteAt = t;
    std::vector<std::uint8_t> pending{b};
    while (!pending.empty()) {
      const std::uint8_t x = pending.front();
      pending.erase(pending.begin());
      if (m_frame.empty()) {
        if (x == 0x0D) m_frame.push_back(x);
        continue;
      }
      if (m_frame.size() == 1 && x != 0x0A) {
        m_frame.clear();
        if (x == 0x0D) m_frame.push_back(x);
        continue;
      }
      m_frame.push_back(x);
      if (m_frame.size() < 5) continue;
      if (static_cast<std::uint8_t>(m_frame[2] + m_frame[3] + m_frame[4]) == 0xAA) {
        const std::uint8_t cmd = m_frame[2];
        const std::uint8_t arg = m_frame[3];
        m_frame.clear();
        handleFrame(cmd, arg, done);
        if (m_disconnected) break;
      } else {
        // Bad check byte: look for a frame start in what followed the 0x0D.
        pending.insert(pending.begin(), m_frame.begin() + 1, m_frame.end());
        m_frame.clear();
      }
    }
  }
}

void Terminal::handleFrame(std::uint8_t cmd, std::uint8_t arg, SteadyTime frameDone) {
  if (m_observer) m_observer(cmd, arg);
  if (m_faults.silence > 0 && std::uniform_real_distribution<double>(0, 1)(m_random) < m_faults.silence) {
    ++m_faultCounts.silenced;
    return;
  }
  auto ack = [&] { answer({cmd, arg, 0xAA, 0x55}, true, frameDone); };
  switch (cmd) {
    case 10:
      if (arg == 2) answer(statusReply(), false, frameDone);
      return;
    case 11:
      m_addressLow = arg;
      ack();
      return;
    case 12: {
      const std::size_t address = static_cast<std::size_t>(arg) << 8 | m_addressLow;
      const std::size_t n = 10 * static_cast<std::size_t>(info().recordSize);
      std::vector<std::uint8_t> block;
      std::uint8_t sum = 0;
      for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t v = m_memory[(address + i) & 0xFFFF];
        block.push_back(v);
        sum = static_cast<std::uint8_t>(sum + v);
      }
      block.push_back(sum);
      answer(std::move(block), true, frameDone);
      return;
    }
    case 13:
      m_antenna = true;
      ack();
      return;
    case 14:
      m_antenna = false;
      ack();
      return;
    case 15:
      m_batteryThreshold = arg;
      ack();
      return;
    case 16:
      m_batteryReportDue = true;
      ack();
      return;
    case 22:
    case 23:
    case 24:
    case 25:
    case 26:
      setClockField(cmd - 22, arg);
      ack();
      return;
    case 32:
      m_production = static_cast<std::uint16_t>((m_production & 0xFF00) | arg);
      ack();
      return;
    case 33:
      m_production = static_cast<std::uint16_t>((m_production & 0x00FF) | (arg << 8));
      ack();
      return;
    case 34:
      m_lockTime = arg;
      ack();
      return;
    default:
      return;  // unknown command: the terminal stays silent
  }
}

void Terminal::answer(std::vector<std::uint8_t> bytes, bool checked, SteadyTime earliest) {
  ++m_framesAnswered;
  // A damaged byte is only ever put where the PC can see it: an acknowledgement
  // is compared whole and a block carries a sum. The status reply has no check,
  // so it is never altered, only shortened.
  if (checked && m_faults.damage > 0 && std::uniform_real_distribution<double>(0, 1)(m_random) < m_faults.damage) {
    const auto i = std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(m_random);
    bytes[i] = static_cast<std::uint8_t>(bytes[i] ^ std::uniform_int_distribution<int>(1, 255)(m_random));
    ++m_faultCounts.damaged;
  }
  if (m_faults.drop > 0 && std::uniform_real_distribution<double>(0, 1)(m_random) < m_faults.drop) {
    const auto i = std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(m_random);
    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(i));
    ++m_faultCounts.dropped;
  }
  for (const std::uint8_t b : bytes) emit(b, earliest);
  // The line goes dead right after the last answer it was allowed.
  if (m_faults.disconnectAfter >= 0 && m_framesAnswered >= m_faults.disconnectAfter) {
    m_disconnected = true;
    m_frame.clear();
  }
}

// The line returns a byte while it is being sent, so its echo arrives at the
// moment the byte itself has been sent; it occupies the return direction for
// that same byte time.
void Terminal::emitEcho(std::uint8_t byte, SteadyTime done) {
  const SteadyTime at = m_lineRate > 0 ? std::max(done, m_outputFree) : done;
  m_outputFree = at;
  m_output.push_back(Pending{at, byte});
  ++m_bytesSent;
}

void Terminal::emit(std::uint8_t byte, SteadyTime earliest) {
  SteadyTime at = earliest;
  if (m_lineRate > 0) {
    at = std::max(earliest, m_outputFree) + std::chrono::nanoseconds(1'000'000'000LL / m_lineRate);
    m_outputFree = at;
  }
  m_output.push_back(Pending{at, byte});
  ++m_bytesSent;
}

std::vector<std::uint8_t> Terminal::takeOutput() {
  std::vector<std::uint8_t> out;
  out.reserve(m_output.size());
  for (const Pending& p : m_output) out.push_back(p.byte);
  m_output.clear();
  return out;
}

std::vector<std::uint8_t> Terminal::takeOutputDue(SteadyTime t) {
  std::vector<std::uint8_t> out;
  while (!m_output.empty() && m_output.front().at <= t) {
    out.push_back(m_output.front().byte);
    m_output.pop_front();
  }
  return out;
}

std::optional<SteadyTime> Terminal::nextOutputTime() const {
  if (m_output.empty()) return std::nullopt;
  return m_output.front().at;
}

// ---- status ----

std::vector<std::uint8_t> Terminal::statusBytes() const {
  std::vector<std::uint8_t> s(24, 0);
  const ClockFields f = clockFields();
  s[0] = info().code;
  s[1] = static_cast<std::uint8_t>(f.second);
  s[2] = static_cast<std::uint8_t>(f.minute);
  s[3] = static_cast<std::uint8_t>(f.hour);
  s[4] = static_cast<std::uint8_t>(f.dayNumber & 0xFF);
  s[5] = static_cast<std::uint8_t>(f.dayNumber >> 8);
  s[6] = static_cast<std::uint8_t>(m_ptr & 0xFF);
  s[7] = static_cast<std::uint8_t>(m_ptr >> 8);
  // Three bytes the PC does not read: antenna state and the battery figures.
  s[8] = m_antenna ? 1 : 0;
  s[9] = m_batteryThreshold;
  s[10] = m_batteryLevel;
  s[11] = static_cast<std::uint8_t>(m_production & 0xFF);
  s[12] = static_cast<std::uint8_t>(m_production >> 8);
  s[13] = m_lockTime;
  // s[14..20] unused, zero.
  const bool card = m_cardReplies > 0;
  if (m_model == Model::Dallas) {
    if (card) {
      s[21] = 1;
      s[22] = static_cast<std::uint8_t>(m_card & 0xFF);
      s[23] = static_cast<std::uint8_t>(m_card >> 8);
    }
  } else if (card) {
    s[21] = 0;
    s[22] = static_cast<std::uint8_t>(m_card & 0xFF);
    s[23] = static_cast<std::uint8_t>(m_card >> 8);
  } else if (m_batteryReportDue || m_batteryLevel < m_batteryThreshold) {
    s[21] = 1;
    s[22] = m_batteryThreshold;
    s[23] = m_batteryLevel;
  } else {
    s[21] = 2;  // nothing to report (0 would read as card 0)
  }
  return s;
}

std::vector<std::uint8_t> Terminal::statusReply() {
  std::vector<std::uint8_t> s = statusBytes();
  if (m_cardReplies > 0) {
    --m_cardReplies;
  } else if (m_model == Model::Rfid && s[21] == 1) {
    m_batteryReportDue = false;
  }
  return s;
}

}  // namespace timeclock
