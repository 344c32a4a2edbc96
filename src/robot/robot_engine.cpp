#include "robot/robot_engine.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <numeric>
#include <sstream>

#include "core/messages.h"
#include "core/record_types.h"
#include "core/text_util.h"

namespace robot {
namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kMinute = 60;

// Whole days since the epoch; the robot only sees positive times.
std::int64_t dayIndexOf(std::int64_t secs) { return secs >= 0 ? secs / kDay : -((-secs + kDay - 1) / kDay); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// ASCII case-insensitive containment of an upper-case code.
bool containsCode(std::string_view text, std::string_view code) {
  if (code.size() > text.size()) return false;
  for (std::size_t i = 0; i + code.size() <= text.size(); ++i) {
    bool same = true;
    for (std::size_t k = 0; k < code.size() && same; ++k) {
      char c = text[i + k];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      same = c == code[k];
    }
    if (same) return true;
  }
  return false;
}

const std::array<std::string_view, 8> kDefaultDayNames = {"", "Ned", "Pon", "Uto", "Str", "Stv", "Pia", "Sob"};

// A fixed buffer the day writers compose into, so the walk never allocates.
class TextBuffer {
 public:
  TextBuffer(std::array<char, 160>& buf, std::size_t& len) : m_buf(buf), m_len(len) {}
  void clear() { m_len = 0; }
  void append(std::string_view s) {
    for (char c : s) {
      if (m_len < m_buf.size()) m_buf[m_len++] = c;
    }
  }
  void appendNumber(std::int64_t v, int minDigits) {
    char tmp[24];
    int n = 0;
    bool negative = v < 0;
    std::uint64_t u = negative ? static_cast<std::uint64_t>(-(v + 1)) + 1 : static_cast<std::uint64_t>(v);
    do {
      tmp[n++] = static_cast<char>('0' + u % 10);
      u /= 10;
    } while (u != 0 && n < 22);
    while (n < minDigits) tmp[n++] = '0';
    if (negative) append("-");
    while (n > 0) {
      const char c = tmp[--n];
      append(std::string_view(&c, 1));
    }
  }
  // Duration text "h:mm"; nothing for zero and negative minutes.
  void appendDuration(std::int64_t minutes) {
    if (minutes <= 0) return;
    appendNumber(minutes / 60, 1);
    append(":");
    appendNumber(minutes % 60, 2);
  }
  // Clock text "hh:nn" of a number of minutes.
  void appendClock(std::int64_t minutes) {
    if (minutes < 0) minutes = 0;
    appendNumber(minutes / 60, 2);
    append(":");
    appendNumber(minutes % 60, 2);
  }
  std::size_t length() const { return m_len; }

 private:
  std::array<char, 160>& m_buf;
  std::size_t& m_len;
};

std::size_t charCount(std::string_view s) { return core::utf8Length(s); }

// The walk over one month: the state of both rule sets and the day writers.
class Walker {
 public:
  Walker(const EmployeeMonth& in, const RobotTarget& target, MonthRecords& recs,
         std::array<AttendanceRobot::DayOutput, 33>& out, bool fastForward)
      : m_fastForward(fastForward),
        m_s(in.settings),
        m_e(in.employee),
        m_norm(in.dailyNorm),
        m_days(in.days),
        m_target(target),
        m_times(recs.times),
        m_codes(recs.codes),
        m_n(recs.size()),
        m_out(out),
        m_report(target.mode == RobotMode::Report),
        m_R(in.settings.ZAOKRPROD),
        m_maxPD(in.settings.maxPD.minutes()) {}

  void run() {
    for (auto& o : m_out) {
      o.resultSet = false;
      o.resultLength = 0;
      o.comment = {};
    }
    if (m_days.days <= 0) return;
    m_monthStart = core::DateTime::fromParts(m_days.year, m_days.month, 1).secs;
    const std::int64_t firstDay = dayIndexOf(m_monthStart);
    // Which days of the month hold a registration (before any rounding moves one).
    m_dayHasEntry.fill(false);
    for (std::size_t i = 0; i < m_n; ++i) {
      const std::int64_t d = dayIndexOf(m_times[i].secs) - firstDay + 1;
      if (d >= 1 && d <= m_days.days && m_codes[i] >= 0) m_dayHasEntry[static_cast<std::size_t>(d)] = true;
    }
    m_shifts = m_e.shiftsAllowed;
    // Steps at which the shift bucket can change (a shift time within 30 s).
    m_eventCount = 0;
    if (m_shifts) {
      for (const core::TimeOfDay st : {m_s.startDS, m_s.stopDS, m_s.startPS, m_s.stopPS, m_s.startNS, m_s.stopNS}) {
        const int r = st.seconds % 60;
        if (r == 30) continue;
        const int step = r < 30 ? st.seconds - r : st.seconds - r + 60;
        if (step < kDay) m_events[m_eventCount++] = step;
      }
      std::sort(m_events.begin(), m_events.begin() + m_eventCount);
    }
    m_curDay = 1;
    for (int day = 1; day <= m_days.days; ++day) {
      if (day != m_curDay) {
        finishDay();
        m_curDay = day;
      }
      const std::int64_t dayStart = m_monthStart + (day - 1) * kDay;
      for (int tod = 0; tod < kDay; tod += kMinute) {
        std::int64_t t = dayStart + tod;
        while (m_p < m_n) {
          const std::int64_t e = m_times[m_p].secs;
          // Not reached by any step of the month (before it, or exactly
          // between two steps where the earlier one is not the month's):
          // passed over.
          if (e < t - 30) {
            ++m_p;
            continue;
          }
          if (e >= t + 30) break;
          if (!(m_shifts ? handleShift(m_p, t) : handleStandard(m_p, t))) break;
        }
        tod = static_cast<int>(t - dayStart);  // a rule may have jumped to 23:59
        if (m_shifts) {
          updateBucket(tod);
          countShift();
        } else {
          countStandard(tod);
        }
        if (m_fastForward) tod = lastIdleStep(tod, dayStart);
      }
    }
    finishDay();
  }

 private:
  // While the employee is away and nothing is counted, the steps up to the
  // next registration, shift change or midnight change nothing: returns the
  // last of them (or `tod` when the next step may matter).
  int lastIdleStep(int tod, std::int64_t dayStart) const {
    if (m_inWork || (m_lastCode == 24 && m_s.dovflag && m_vacationAway)) return tod;
    std::int64_t next = kDay;
    if (m_p < m_n) {
      // The first step s handling the entry is the first with s + 30 > e.
      const std::int64_t rel = m_times[m_p].secs - 29 - dayStart;
      if (rel <= tod + kMinute) return tod;
      next = std::min(next, (rel + kMinute - 1) / kMinute * kMinute);
    }
    for (int i = 0; i < m_eventCount; ++i) {
      if (m_events[static_cast<std::size_t>(i)] > tod) {
        next = std::min<std::int64_t>(next, m_events[static_cast<std::size_t>(i)]);
        break;
      }
    }
    return next > tod + kMinute ? static_cast<int>(next - kMinute) : tod;
  }

  int todOf(std::int64_t t) const { return static_cast<int>((t - m_monthStart) % kDay); }
  std::int64_t dateOf(std::size_t i) const { return dayIndexOf(m_times[i].secs); }
  bool lastOfDay(std::size_t i) const {
    if (i >= m_n) return true;  // the closing entry
    return i + 1 >= m_n || dateOf(i + 1) != dateOf(i);
  }
  bool earlierArrivalSameDate(std::size_t i) const {
    const std::int64_t d = dateOf(i);
    for (std::size_t k = i; k-- > 0;) {
      if (dateOf(k) != d) return false;
      if (m_codes[k] < 16) return true;
    }
    return false;
  }
  int pendingCode() const { return m_p < m_n ? m_codes[m_p] : -1; }
  std::int64_t endOfCurrentDay() const { return m_monthStart + (m_curDay - 1) * kDay + 1439 * kMinute; }

  void comment(std::string_view text) {
    if (charCount(text) < 2) return;
    m_out[static_cast<std::size_t>(m_curDay)].comment = text;
  }
  void setWarning(int w) { m_warning = w; }

  // ----- standard rules -----

  void roundArrivalStandard(int tod) {
    if (m_work != 0 || m_R < 1 || !m_s.okrpr || m_s.okrsm) return;
    if (m_s.startPDflag && tod < m_s.startPD.seconds) return;
    const int m = tod / 60;
    const int r = m % m_R;
    m_roundingDeduction = (m_R - r) % m_R;
  }
  void roundDepartureStandard(int tod, bool last) {
    if (!last || m_R < 1 || !m_s.okrod || m_s.okrsm) return;
    if (m_s.stopPDflag && tod >= m_s.stopPD.seconds) return;
    m_roundingDeduction += (tod / 60) % m_R;
  }

  bool handleStandard(std::size_t i, std::int64_t& t) {
    const int code = m_codes[i];
    if (i > 0 && dateOf(i - 1) == dateOf(i)) {
      const int prev = m_codes[i - 1];
      if (code > 15 && prev > 15) setWarning(1);
      if (code < 16 && prev < 16) setWarning(2);
      if (code < 16 && m_work >= 1 && i + 1 < m_n && dateOf(i + 1) != dateOf(i)) {
        setWarning(8);
        t = std::max(t, endOfCurrentDay());
      }
    }
    const int tod = todOf(t);
    const bool last = lastOfDay(i);
    m_lastCode = code;
    switch (code) {
      case 0:
        roundArrivalStandard(tod);
        m_inWork = true;
        break;
      case 1:
      case 2:
      case 3:
        m_inWork = true;
        if (m_s.startSLflag && m_work == 0 && tod >= m_s.startSL.seconds) m_business = (tod - m_s.startSL.seconds) / 60;
        break;
      case 4:
        m_inWork = true;
        break;
      case 5:
        m_inWork = true;
        if (m_s.startLEKflag && m_work == 0 && tod >= m_s.startLEK.seconds)
          m_doctor = (tod - m_s.startLEK.seconds) / 60;
        break;
      case 6:
      case 7:
      case 9:
        m_inWork = true;
        break;
      case 8:
        m_inWork = true;
        roundArrivalStandard(tod);
        if (m_s.dovflag && m_work == 0 && m_s.dovprflag && tod >= m_s.dovPR.seconds)
          m_vacation = (tod - m_s.dovPR.seconds) / 60 + 1;
        break;
      case 16:
        roundDepartureStandard(tod, last);
        m_inWork = false;
        break;
      case 17:
      case 18:
      case 19:
        if (last) {
          if (m_s.stopSLflag && tod < m_s.stopSL.seconds) m_business += (m_s.stopSL.seconds - tod) / 60 + 1;
          m_inWork = false;
        }
        break;
      case 20:
        if (!m_s.obedyflag) m_inWork = false;
        break;
      case 21:
      case 22: {
        m_inWork = true;
        roundDepartureStandard(tod, last);
        if (last) {
          int& counter = code == 21 ? m_doctor : m_obstacles;
          if (m_s.stopLEKflag && tod < m_s.stopLEK.seconds) counter = (m_s.stopLEK.seconds - tod) / 60 + 1;
          m_inWork = false;
          t = std::max(t, endOfCurrentDay());
        }
        break;
      }
      case 23:
      case 25:
        m_inWork = false;
        break;
      case 24:
        m_inWork = false;
        roundDepartureStandard(tod, last);
        m_vacationAway = !last;
        if (last && m_s.dovflag && m_s.dovodflag && tod < m_s.dovOD.seconds)
          m_vacation += (m_s.dovOD.seconds - tod) / 60;
        break;
      default:
        break;
    }
    ++m_p;
    return true;
  }

  void countPresentMinute() {
    switch (m_lastCode) {
      case 17:
      case 18:
      case 19:
        ++m_business;
        break;
      case 20:
        if (!m_shifts) ++m_work;
        ++m_lunch;
        if (m_s.obedyflag && m_s.obedodpocet && m_lunch > m_s.obedcas) --m_work;
        break;
      case 21:
        if (!lastOfDay(m_p)) ++m_doctor;
        break;
      case 22:
        ++m_obstacles;
        break;
      default:
        ++m_work;
        break;
    }
  }

  void countAbsentMinute() {
    if (m_lastCode == 24 && m_s.dovflag && m_vacationAway) ++m_vacation;
  }

  void countStandard(int tod) {
    if (m_inWork) {
      if (m_s.stopPDflag && tod >= m_s.stopPD.seconds) {
        if (!m_report) setWarning(9);
      } else if (m_s.startPDflag && tod < m_s.startPD.seconds) {
        if (!m_report) setWarning(10);
      } else {
        countPresentMinute();
      }
    } else {
      countAbsentMinute();
    }
  }

  // ----- shift rules -----

  int* bucketCounter() {
    switch (m_bucket) {
      case Bucket::Day:
        return &m_ds;
      case Bucket::Afternoon:
        return &m_ps;
      case Bucket::Night:
        return &m_ns;
      default:
        return nullptr;
    }
  }

  // Moves an arrival forward to the next rounding step; true when moved.
  // A step below 1 minute (a negative one can only come from a hand-edited
  // settings file) rounds nothing, as in the standard rules: it would move the
  // arrival back behind the walk, where no step reaches it any more.
  bool roundArrivalShift(std::size_t i, int tod) {
    if (!m_s.okrpr || m_R < 1) return false;
    const int r = (tod / 60) % m_R;
    if (r == 0) return false;
    m_times[i] = m_times[i].addSeconds(static_cast<std::int64_t>(m_R - r) * kMinute);
    if (i + 1 < m_n && m_times[i + 1] < m_times[i]) m_times[i + 1] = m_times[i].addSeconds(kMinute);
    return true;
  }
  void roundDepartureShift(int tod) {
    if (!m_s.okrod || m_R < 1) return;
    if (int* c = bucketCounter()) *c -= (tod / 60) % m_R;
  }

  bool handleShift(std::size_t i, std::int64_t t) {
    const int code = m_codes[i];
    const int tod = todOf(t);
    m_lastCode = code;
    if (i > 0 && code < 16 && m_codes[i - 1] < 16) comment(m_report ? text::kReportTwoArrivals : text::kTwoArrivals);
    switch (code) {
      case 1:
      case 2:
      case 3:
        if (m_e.tripsAllowed) {
          m_inWork = true;
          break;
        }
        [[fallthrough]];
      case 0:
        m_inWork = true;
        if (roundArrivalShift(i, tod)) {
          m_inWork = false;
          return false;  // handled again at its new time
        }
        break;
      case 4:
      case 5:
      case 6:
      case 7:
      case 9:
      case 21:
        m_inWork = true;
        break;
      case 8:
        m_inWork = true;
        if (!earlierArrivalSameDate(i)) roundArrivalShift(i, tod);
        if (m_s.dovflag && m_work == 0 && m_s.dovprflag && tod >= m_s.dovPR.seconds)
          m_vacation = (tod - m_s.dovPR.seconds) / 60 + 1;
        break;
      case 16:
      case 23:
      case 24:
        m_inWork = false;
        roundDepartureShift(tod);
        if (code == 24) m_vacationAway = !lastOfDay(i);
        break;
      case 17:
      case 18:
      case 19:
        if (!m_e.tripsAllowed) {
          roundDepartureShift(tod);
          m_inWork = false;
        }
        break;
      case 20:
        if (!m_s.obedyflag) m_inWork = false;
        break;
      case 25:
        m_inWork = false;
        break;
      default:
        break;
    }
    ++m_p;
    return true;
  }

  void updateBucket(int tod) {
    auto at = [tod](core::TimeOfDay s) { return tod - s.seconds < 30 && s.seconds - tod < 30; };
    if (at(m_s.stopDS) || at(m_s.stopPS) || at(m_s.stopNS)) m_bucket = Bucket::None;
    if (at(m_s.startNS) && m_s.USENS) m_bucket = Bucket::Night;
    if (at(m_s.startPS) && m_s.USEPS) m_bucket = Bucket::Afternoon;
    if (at(m_s.startDS) && m_s.USEDS) m_bucket = Bucket::Day;
  }

  void countShift() {
    if (m_inWork) {
      if (int* c = bucketCounter()) ++*c;
      countPresentMinute();
    } else {
      countAbsentMinute();
    }
  }

  // ----- finishing a day and the day writers -----

  AttendanceRobot::DayOutput& out() { return m_out[static_cast<std::size_t>(m_curDay)]; }
  std::string_view currentCell() const {
    if (!m_target.grid) return {};
    return m_target.grid->cell(m_target.resultColumn(m_curDay), m_target.resultRow(m_curDay));
  }
  bool isProtected() const { return currentCell().find('=') != std::string_view::npos; }
  core::DayKind kind() const { return m_days.kind[static_cast<std::size_t>(m_curDay)]; }

  void finishDay() {
    if (m_shifts) {
      writeShiftDay();
      m_ds = m_ps = m_ns = 0;
    } else {
      if (m_lastCode < 16) {
        m_work = 0;
        if (m_report && m_dayHasEntry[static_cast<std::size_t>(m_curDay)]) setWarning(8);
      }
      writeStandardDay();
      m_roundingDeduction = 0;
      m_warning = 0;
      m_inWork = false;
    }
    m_work = m_lunch = m_business = m_vacation = m_doctor = m_obstacles = 0;
  }

  // The business item " sc h:mm": business minutes capped so that work plus
  // business stays within maxPD. When work alone reaches maxPD nothing is left
  // for business and the item is left out, since " sc " without a duration
  // would read back as a whole business day.
  void appendBusiness(TextBuffer& result, int work) const {
    int business = m_business;
    if (m_maxPD < business + work) business = m_maxPD - work;
    if (business > 0) {
      result.append(" sc ");
      result.appendDuration(business);
    }
  }

  void writeStandardDay() {
    auto& o = out();
    TextBuffer result(o.result, o.resultLength);
    int w = m_work;
    if (isProtected()) {
      if (!m_report) comment(text::kHandMade);
    } else if (kind() != core::DayKind::WorkingDay) {
      if (m_s.weekendflag && w >= 1) {
        result.clear();
        result.appendDuration(w - m_roundingDeduction);
        o.resultSet = true;
      }
    } else {
      const int w0 = w;
      if (m_s.maxPDflag && w > m_maxPD) {
        w = m_maxPD;
        setWarning(3);
      }
      result.clear();
      if (w > 0) result.appendDuration(w - m_roundingDeduction);
      if (m_business > 0 && m_e.tripsAllowed) appendBusiness(result, w0);
      const int vacation = std::min(m_vacation, m_norm);
      const int pending = pendingCode();
      const bool businessHint = (m_p == 0 && m_n > 0 && m_codes[0] >= 1 && m_codes[0] <= 3) ||
                                (m_lastCode >= 17 && m_lastCode <= 19) || (pending >= 1 && pending <= 3);
      if (!m_dayHasEntry[static_cast<std::size_t>(m_curDay)]) {
        const int normaPD = m_s.normaPD.minutes();
        if (businessHint && m_e.tripsAllowed && m_s.autoSL) {
          result.clear();
          result.append("sc ");
          // The breaks are added as minutes, so 60 or more carry into the
          // hours (8:30 and 60 give 09:30).
          result.appendClock(normaPD + m_e.breaks);
          setWarning(4);
        }
        if (m_s.autodov && (m_lastCode == 24 || pending == 8)) {
          result.clear();
          result.append("D ");
          result.appendClock(normaPD);
          setWarning(5);
        }
        if (m_s.autoPN && m_lastCode == 21) {
          result.clear();
          result.append("PN ");
          result.appendClock(normaPD);
          setWarning(6);
        }
        if (pending == 7) {
          result.clear();
          result.append("PN ");
          result.appendClock(normaPD);
          setWarning(6);
        }
        if (m_s.autoprek && (pending == 6 || m_lastCode == 22)) {
          result.clear();
          result.append("O ");
          result.appendClock(normaPD);
          setWarning(7);
        }
      }
      if (m_s.dovflag && vacation > 0) {
        result.append(" d ");
        result.appendDuration(vacation);
      }
      if (m_doctor > 0) {
        result.append(" LK ");
        result.appendDuration(m_doctor);
      }
      if (m_obstacles > 0) {
        result.append(" O ");
        result.appendDuration(m_obstacles);
      }
      o.resultSet = true;
    }
    if (m_warning < 1 || m_warning > 10) return;
    if (m_report) {
      comment(WarningText(m_warning, RobotMode::Report));
      return;
    }
    const std::size_t shown = charCount(o.resultSet ? o.resultText() : currentCell());
    if (shown >= 2) comment(WarningText(m_warning, RobotMode::Sheet));
  }

  void writeShiftDay() {
    auto& o = out();
    TextBuffer result(o.result, o.resultLength);
    const int w = m_work;
    if (isProtected()) {
      if (!m_report) comment(text::kHandMade);
      return;
    }
    if (m_s.maxPDflag && w > m_maxPD) comment(text::kShiftTooLong);
    result.clear();
    if (m_ds > 5 && m_s.USEDS) {
      result.append(" DS ");
      result.appendDuration(m_ds);
    }
    if (m_ps > 5 && m_s.USEPS) {
      result.append(" PS ");
      result.appendDuration(m_ps);
    }
    if (m_ns > 5 && m_s.USENS) {
      result.append(" NS ");
      result.appendDuration(m_ns);
    }
    if (m_business > 0 && kind() == core::DayKind::WorkingDay && m_e.tripsAllowed) appendBusiness(result, w);
    const int vacation = std::min(m_vacation, m_norm);
    const int normaPD = m_s.normaPD.minutes();
    if (kind() == core::DayKind::WorkingDay) {
      if (m_s.dovflag) {
        if (vacation > 0) {
          result.append(" d ");
          result.appendDuration(vacation);
        }
        if (m_lastCode == 24 && vacation == 0 && w == 0) {
          result.append(" d ");
          result.appendClock(normaPD);
        }
      } else if (m_lastCode == 24 && w == 0) {
        result.clear();
        result.append("D ");
        result.appendClock(normaPD);
      }
      if (m_doctor > 0) {
        result.append(" LK ");
        result.appendDuration(m_doctor);
      }
      if (m_lastCode == 21 && m_doctor == 0) {
        result.append(" PN ");
        result.appendClock(normaPD);
      }
      if (m_obstacles > 0) {
        result.append(" O ");
        result.appendDuration(m_obstacles);
      }
    }
    o.resultSet = true;
  }

  enum class Bucket { None, Day, Afternoon, Night };

  const bool m_fastForward;
  const core::ProgramSettings& m_s;
  const core::Employee& m_e;
  const int m_norm;
  const MonthDays& m_days;
  const RobotTarget& m_target;
  std::vector<core::DateTime>& m_times;
  std::vector<int>& m_codes;
  const std::size_t m_n;
  std::array<AttendanceRobot::DayOutput, 33>& m_out;
  const bool m_report;
  const int m_R;
  const int m_maxPD;

  bool m_shifts = false;
  std::array<int, 6> m_events{};
  int m_eventCount = 0;
  std::int64_t m_monthStart = 0;
  std::array<bool, 33> m_dayHasEntry{};
  int m_curDay = 1;
  std::size_t m_p = 0;
  int m_lastCode = -1;
  bool m_inWork = false;
  bool m_vacationAway = false;
  int m_warning = 0;
  Bucket m_bucket = Bucket::Night;
  int m_work = 0, m_business = 0, m_lunch = 0, m_doctor = 0, m_obstacles = 0, m_vacation = 0;
  int m_roundingDeduction = 0;
  int m_ds = 0, m_ps = 0, m_ns = 0;
};

}  // namespace

std::string_view WarningText(int warning, RobotMode mode) {
  const bool report = mode == RobotMode::Report;
  switch (warning) {
    case 1:
      return report ? text::kReportTwoDepartures : text::kTwoDepartures;
    case 2:
      return report ? text::kReportTwoArrivals : text::kTwoArrivals;
    case 3:
      return text::kMaxShiftExceeded;
    case 4:
      return text::kAutoBusiness;
    case 5:
      return text::kAutoVacation;
    case 6:
      return text::kAutoSick;
    case 7:
      return text::kAutoObstacle;
    case 8:
      return text::kNoDeparture;
    case 9:
      return text::kAfterWorkingTime;
    case 10:
      return text::kBeforeWorkingTime;
    default:
      return {};
  }
}

MonthDays ClassifyMonth(int month, int year, const core::HolidayCalendar& calendar) {
  MonthDays m;
  m.month = month;
  m.year = year;
  m.days = core::DaysInMonth(month, year);
  m.kind.fill(core::DayKind::WorkingDay);
  for (int d = 1; d <= m.days; ++d) {
    const auto i = static_cast<std::size_t>(d);
    const int wd = core::DayOfWeek(year, month, d);
    m.weekday[i] = wd;
    if (calendar.isHoliday(year, month, d)) {
      m.kind[i] = core::DayKind::Holiday;
      ++m.holidays;
    } else if (wd == 7) {
      m.kind[i] = core::DayKind::Saturday;
    } else if (wd == 1) {
      m.kind[i] = core::DayKind::Sunday;
    } else {
      ++m.workingDays;
    }
  }
  return m;
}

std::uint32_t DayKindColour(core::DayKind kind) {
  switch (kind) {
    case core::DayKind::Holiday:
      return kColourHoliday;
    case core::DayKind::Saturday:
      return kColourSaturday;
    case core::DayKind::Sunday:
      return kColourSunday;
    default:
      return kColourWorkingDay;
  }
}

MonthRecords OrderAndMerge(const core::LogEntries& entries, int corrtime) {
  const std::size_t count = std::min(entries.times.size(), entries.codes.size());
  const std::int64_t limit = core::DateTime::fromParts(2050, 1, 1).secs;
  std::vector<std::size_t> order;
  order.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::int64_t s = entries.times[i].secs;
    if (s > 0 && s <= limit) order.push_back(i);
  }
  // Equal times keep file order: the entry read first comes first.
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return entries.times[a] < entries.times[b]; });
  MonthRecords out;
  out.times.reserve(order.size() + 1);
  out.codes.reserve(order.size() + 1);
  for (std::size_t i : order) {
    const core::DateTime t = entries.times[i];
    const int code = entries.codes[i];
    if (corrtime < 1 || out.times.empty() ||
        t.secs - out.times.back().secs >= static_cast<std::int64_t>(corrtime) * kMinute) {
      out.times.push_back(t);
      out.codes.push_back(code);
    } else {
      out.times.back() = t;
      out.codes.back() = code;
    }
  }
  out.times.push_back(core::DateTime{0});
  out.codes.push_back(-1);
  return out;
}

namespace {
bool readWholeFile(const std::filesystem::path& file, std::string& bytes) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  if (in.bad()) return false;
  bytes = ss.str();
  return true;
}
}  // namespace

bool GroupLogByCard(const std::filesystem::path& file, std::unordered_map<std::uint16_t, core::LogEntries>& out) {
  std::string bytes;
  if (!readWholeFile(file, bytes)) return false;
  std::vector<core::AttendanceRecord> all;
  core::MonthLog::ParseAll(bytes, all);
  for (const auto& r : all) {
    auto& e = out[r.card];
    e.times.push_back(r.time);
    e.codes.push_back(r.code);
  }
  return true;
}

AttendanceRobot::AttendanceRobot() {
  m_records.times.reserve(512);
  m_records.codes.reserve(512);
}

bool AttendanceRobot::loadRecords(const EmployeeMonth& input, RobotMode mode, core::Operator& op) {
  if (input.preRead) {
    m_records = OrderAndMerge(*input.preRead, input.settings.corrtime);
  } else {
    core::LogEntries entries;
    if (mode == RobotMode::Sheet) {
      if (!core::MonthLog::ReadEmployee(input.logFile, input.employee.card, entries, op)) return false;
    } else {
      std::string bytes;
      if (!readWholeFile(input.logFile, bytes)) {
        op.showMessage(std::string(text::kReportLogMissing));
        return false;
      }
      core::MonthLog::ParseEmployee(bytes, input.employee.card, entries);
    }
    m_records = OrderAndMerge(entries, input.settings.corrtime);
  }
  std::vector<core::DateTime> real(m_records.times.begin(), m_records.times.end() - 1);
  core::MonthLog::CheckMonth(real, input.days.month, input.days.year, op);
  return true;
}

void AttendanceRobot::describeDays(const EmployeeMonth& input, RobotTarget& target) {
  const MonthDays& md = input.days;
  const std::size_t n = m_records.size();
  if (target.mode == RobotMode::Sheet) {
    std::array<std::string, 33> lines;
    for (std::size_t i = 0; i < n; ++i) {
      const int d = m_records.times[i].date().day;
      if (d < 1 || d > 32) continue;
      const int code = m_records.codes[i];
      auto& s = lines[static_cast<std::size_t>(d)];
      s += core::ClockText(m_records.times[i]);
      s += code <= 15 ? " PR " : " OD ";
      s += core::recordTypeAbbreviation(core::recordTypeOf(code));
      s += " - ";
    }
    for (int d = 1; d <= md.days; ++d) {
      const auto i = static_cast<std::size_t>(d);
      std::string label = std::to_string(d) + "-";
      const int wd = md.weekday[i];
      label +=
          input.messages ? input.messages->dayName(wd) : std::string(kDefaultDayNames[static_cast<std::size_t>(wd)]);
      if (md.kind[i] == core::DayKind::Holiday) label += " SV";
      if (target.grid) {
        target.grid->setCell(2, d, std::move(label));
        target.grid->setCell(3, d, std::move(lines[i]));
      }
      if (target.dayColour) (*target.dayColour)[i] = DayKindColour(md.kind[i]);
    }
    return;
  }
  if (!target.dayRecordLines) return;
  auto& lines = *target.dayRecordLines;
  for (std::size_t i = 0; i < n; ++i) {
    const int d = m_records.times[i].date().day;
    if (d < 0 || static_cast<std::size_t>(d) >= lines.size()) continue;
    const int code = m_records.codes[i];
    auto& s = lines[static_cast<std::size_t>(d)];
    s += code <= 15 ? "PR " : "OD ";
    s += core::recordTypeName(core::recordTypeOf(code));
    s += " ";
    s += core::ClockText(m_records.times[i]);
    s += "\r\n";
  }
}

void AttendanceRobot::walk(const EmployeeMonth& input, const RobotTarget& target) {
  Walker w(input, target, m_records, m_out, m_skipIdleMinutes);
  w.run();
}

void AttendanceRobot::applyDays(const EmployeeMonth& input, RobotTarget& target) {
  if (!target.grid) return;
  for (int d = 1; d <= input.days.days; ++d) {
    const DayOutput& o = m_out[static_cast<std::size_t>(d)];
    const int col = target.resultColumn(d);
    const int row = target.resultRow(d);
    if (o.resultSet) target.grid->setCell(col, row, std::string(o.resultText()));
    if (!o.comment.empty()) {
      if (target.mode == RobotMode::Sheet)
        target.grid->setCell(5, d, std::string(o.comment));
      else
        target.grid->setComment(col, row, std::string(o.comment));
    }
  }
}

bool AttendanceRobot::run(const EmployeeMonth& input, RobotTarget& target, core::Operator& op) {
  if (!loadRecords(input, target.mode, op)) return false;
  describeDays(input, target);
  if (target.mode == RobotMode::Report && input.employee.shiftsAllowed && target.grid) {
    for (int c = 20; c < target.grid->columnCount(); ++c) {
      const std::string& cell = target.grid->cell(c, target.reportRow);
      if (cell.find('=') == std::string::npos) target.grid->setCell(c, target.reportRow, std::string());
    }
  }
  walk(input, target);
  applyDays(input, target);
  return true;
}

// ----- result cells and totals -----

bool ParseResultCell(std::string_view text, RobotMode mode, core::DayKind kind, int dailyNorm, int breaks,
                     int setPrestCond, MonthTotals& totals) {
  if (containsCode(text, "A") || containsCode(text, "NV") || containsCode(text, "VO")) return false;
  const bool report = mode == RobotMode::Report;
  bool breakDay = false;
  bool worked = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::string_view rest = text.substr(pos);
    const std::size_t colon = rest.find(':');
    std::string_view item;
    std::int64_t mins = 0;
    bool wholeDay = false;
    std::size_t consumed = 0;
    if (colon != std::string_view::npos && colon >= 1) {
      item = rest.substr(0, colon + 1);
      int hours = 0;
      if (isDigit(rest[colon - 1])) hours = rest[colon - 1] - '0';
      if (colon >= 2 && isDigit(rest[colon - 2])) hours += 10 * (rest[colon - 2] - '0');
      if (hours > 23) hours = 0;
      int minutes = 0;
      consumed = colon + 1;
      if (consumed < rest.size() && isDigit(rest[consumed])) {
        minutes = 10 * (rest[consumed] - '0');
        ++consumed;
        if (consumed < rest.size() && isDigit(rest[consumed])) {
          minutes += rest[consumed] - '0';
          ++consumed;
        }
      }
      mins = hours * 60 + minutes;
    } else {
      item = rest;
      consumed = rest.size();
      mins = dailyNorm;
      wholeDay = true;
    }
    bool plain = true;
    bool matched = false;
    if (containsCode(item, "PN")) {
      totals.sick += mins;
      plain = false;
      matched = true;
    }
    if (containsCode(item, "OS")) {
      totals.sick += mins;
      plain = false;
      matched = true;
    } else {
      auto shift = [&](std::int64_t& counter) {
        counter += mins;
        if (mins >= setPrestCond) {
          breakDay = true;
          counter -= breaks;
        }
        worked = true;
        matched = true;
      };
      if (containsCode(item, "DS")) shift(totals.dayShift);
      if (containsCode(item, "PS")) shift(totals.afternoonShift);
      if (containsCode(item, "NS")) shift(totals.nightShift);
      if (containsCode(item, "SC")) {
        totals.atWork += mins;
        totals.business += mins;
        if (mins >= setPrestCond) breakDay = true;
        plain = false;
        worked = true;
        matched = true;
      }
      if (containsCode(item, "LK")) {
        totals.doctor += mins;
        plain = false;
        worked = true;
        matched = true;
      }
      if (containsCode(item, "ST")) {
        totals.obstacles += mins;
        if (report) {
          plain = true;
        } else {
          totals.atWork += mins;
          plain = false;
        }
        worked = true;
        matched = true;
      }
      if (containsCode(item, "SK")) {
        if (report) {
          plain = true;
        } else {
          totals.atWork += mins;
          plain = false;
        }
        worked = true;
        matched = true;
      }
      if (!matched) {
        if (containsCode(item, "D")) {
          totals.vacation += mins;
          plain = false;
          matched = true;
        }
        if (containsCode(item, "O") || containsCode(item, "Z")) {
          totals.obstacles += mins;
          if (report) {
            plain = true;
          } else {
            totals.atWork += mins;
            plain = false;
          }
          matched = true;
        }
      }
    }
    if (plain) {
      if (!matched && wholeDay) break;
      totals.atWork += mins;
      if (mins >= setPrestCond) breakDay = true;
      const std::int64_t counted = mins - (breakDay ? breaks : 0);
      switch (kind) {
        case core::DayKind::WorkingDay:
          totals.workingDays += counted;
          break;
        case core::DayKind::Holiday:
          totals.holidays += counted;
          break;
        case core::DayKind::Saturday:
          totals.saturdays += counted;
          break;
        case core::DayKind::Sunday:
          totals.sundays += counted;
          break;
      }
      worked = true;
    }
    pos += consumed;
    if (wholeDay) break;
  }
  if (worked) ++totals.workedDays;
  return breakDay;
}

std::int64_t ReadDurationText(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return 0;
  const std::string_view h = text.substr(0, colon);
  const std::string_view m = text.substr(colon + 1);
  auto digits = [](std::string_view s) {
    return !s.empty() && s.size() <= 15 && std::all_of(s.begin(), s.end(), [](char c) { return isDigit(c); });
  };
  if (!digits(h) || !digits(m)) return 0;
  std::int64_t hours = 0;
  for (char c : h) hours = hours * 10 + (c - '0');
  std::int64_t minutes = 0;
  for (char c : m) minutes = minutes * 10 + (c - '0');
  return hours * 60 + minutes;
}

FinalTotals ComputeFinalTotals(std::string_view breaks, std::string_view norm, std::string_view atWork,
                               std::string_view vacation, std::string_view doctor, std::string_view sick) {
  const std::int64_t b = ReadDurationText(breaks);
  const std::int64_t n = ReadDurationText(norm);
  const std::int64_t w = ReadDurationText(atWork);
  FinalTotals f;
  std::int64_t net = w;
  if (b < w) {
    net = w - b;
    f.net = core::MinutesToTimeText(net);
  }
  const std::int64_t d = n - net - ReadDurationText(vacation) - ReadDurationText(sick) - ReadDurationText(doctor);
  f.overtime = d >= 1 ? "-" + core::MinutesToTimeText(d) : core::MinutesToTimeText(-d);
  return f;
}

}  // namespace robot
