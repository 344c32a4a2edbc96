// Day rules of both rule sets, one program directory per case. March 2021:
// Monday the 1st, weekends 6-7, 13-14, 20-21, 27-28. Expected texts are worked
// out by hand from the rules; the comment of each case says how.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "robot_fixture.h"

namespace {

using robot_test::Mar;
using robot_test::ProgramDir;

struct Reg {
  int day;
  const char* time;
  int code;
};

struct Expect {
  int day;
  const char* result;
  const char* comment;
};

struct DayCase {
  const char* name;
  std::vector<std::pair<const char*, const char*>> calc;
  bool shifts;
  bool trips;
  int breaks;
  std::vector<Reg> regs;
  std::vector<Expect> expect;
};

void PrintTo(const DayCase& c, std::ostream* os) { *os << c.name; }

class DayRules : public ::testing::TestWithParam<DayCase> {};

TEST_P(DayRules, ResultAndComment) {
  const DayCase& c = GetParam();
  ProgramDir dir;
  for (const auto& [k, v] : c.calc) dir.calc(k, v);
  dir.employee("Test Worker", 7, c.shifts, c.trips, "100", c.breaks);
  dir.emptyLog(3, 2021);
  for (const Reg& r : c.regs) dir.log(3, 2021, Mar(r.day, r.time), 7, r.code);
  const auto res = dir.run(3, 2021);
  ASSERT_TRUE(res.ok);
  for (const Expect& e : c.expect) {
    EXPECT_EQ(res.result(e.day), e.result) << "result of day " << e.day;
    EXPECT_EQ(res.comment(e.day), e.comment) << "comment of day " << e.day;
  }
}

const std::vector<std::pair<const char*, const char*>> kRound15 = {{"okrpr", "1"}, {"okrod", "1"}, {"ZAOKRPROD", "3"}};

INSTANTIATE_TEST_SUITE_P(
    Standard, DayRules,
    ::testing::Values(
        // 8:00..16:14 counted: 495 minutes.
        DayCase{"PlainDay", {}, false, false, 0, {{1, "8:00:00", 0}, {1, "16:15:00", 16}}, {{1, "8:15", ""}}},
        // 7:03..15:33 = 511 minutes; rounding 12 + 4.
        DayCase{
            "RoundingBothEnds", kRound15, false, false, 0, {{1, "7:03:00", 0}, {1, "15:34:00", 16}}, {{1, "8:15", ""}}},
        // 514 minutes, only the departure loses 4.
        DayCase{"RoundingArrivalOnStep",
                kRound15,
                false,
                false,
                0,
                {{1, "7:00:00", 0}, {1, "15:34:00", 16}},
                {{1, "8:30", ""}}},
        // okrsm keeps the standard rules from rounding at all.
        DayCase{"RoundingOnlyForShifts",
                {{"okrpr", "1"}, {"okrod", "1"}, {"ZAOKRPROD", "3"}, {"okrsm", "1"}},
                false,
                false,
                0,
                {{1, "7:03:00", 0}, {1, "15:34:00", 16}},
                {{1, "8:31", ""}}},
        // Counting starts at 6:00; the early arrival is not rounded.
        DayCase{"ArrivalBeforeWindow",
                {{"startPDflag", "1"}, {"okrpr", "1"}, {"ZAOKRPROD", "3"}},
                false,
                false,
                0,
                {{1, "5:40:00", 0}, {1, "14:00:00", 16}},
                {{1, "8:00", "Prichod pred začiatkom prac.doby"}}},
        // 10:00..17:59 counted, then presence after 18:00 is not.
        DayCase{"DepartureAfterWindow",
                {{"stopPDflag", "1"}},
                false,
                false,
                0,
                {{1, "10:00:00", 0}, {1, "19:30:00", 16}},
                {{1, "8:00", "Odchod po konci prac.doby"}}},
        // 210 + 30 of the 40 lunch minutes + 230.
        DayCase{"LunchInsideCapped",
                {{"obedyflag", "1"}},
                false,
                false,
                0,
                {{1, "8:00:00", 0}, {1, "11:30:00", 20}, {1, "12:10:00", 0}, {1, "16:00:00", 16}},
                {{1, "7:50", ""}}},
        DayCase{"LunchInsideWhole",
                {{"obedyflag", "1"}, {"obedodpocet", "0"}},
                false,
                false,
                0,
                {{1, "8:00:00", 0}, {1, "11:30:00", 20}, {1, "12:10:00", 0}, {1, "16:00:00", 16}},
                {{1, "8:00", ""}}},
        DayCase{"LunchOutside",
                {},
                false,
                false,
                0,
                {{1, "8:00:00", 0}, {1, "11:30:00", 20}, {1, "12:10:00", 0}, {1, "16:00:00", 16}},
                {{1, "7:20", ""}}},
        // 360 worked; business until stopSL 16:30: 150 + 1.
        DayCase{"BusinessDepartureLast",
                {},
                false,
                true,
                0,
                {{1, "8:00:00", 0}, {1, "14:00:00", 17}},
                {{1, "6:00 sc 2:31", ""}}},
        DayCase{"BusinessNotAllowed", {}, false, false, 0, {{1, "8:00:00", 0}, {1, "14:00:00", 17}}, {{1, "6:00", ""}}},
        DayCase{"BusinessWithoutStopSL",
                {{"stopSLflag", "0"}},
                false,
                true,
                0,
                {{1, "8:00:00", 0}, {1, "14:00:00", 17}},
                {{1, "6:00", ""}}},
        DayCase{"TwoDepartures",
                {},
                false,
                false,
                0,
                {{1, "8:00:00", 0}, {1, "12:00:00", 16}, {1, "16:00:00", 16}},
                {{1, "4:00", "Dva odchody za sebou"}}},
        DayCase{"TwoArrivals",
                {},
                false,
                false,
                0,
                {{1, "8:00:00", 0}, {1, "9:00:00", 0}, {1, "16:00:00", 16}},
                {{1, "8:00", "Dva prichody za sebou"}}},
        // Day 2 ends on an arrival after 120 minutes of work and 120 of
        // business, a later day exists: work 0, warning 8, business kept.
        DayCase{"MissingDeparture",
                {},
                false,
                true,
                0,
                {{2, "8:00:00", 0}, {2, "10:00:00", 17}, {2, "12:00:00", 0}, {3, "8:00:00", 0}, {3, "16:00:00", 16}},
                {{2, " sc 2:00", "Nedal odchod"}, {3, "8:00", ""}}},
        // The jump to 23:59 counts that minute as presence after stopPD.
        DayCase{"MissingDepartureAfterWindow",
                {{"stopPDflag", "1"}},
                false,
                true,
                0,
                {{2, "8:00:00", 0}, {2, "10:00:00", 17}, {2, "12:00:00", 0}, {3, "8:00:00", 0}, {3, "16:00:00", 16}},
                {{2, " sc 2:00", "Odchod po konci prac.doby"}, {3, "8:00", ""}}},
        // No later registration: no warning, and the day still yields 0.
        DayCase{"EndsOnArrivalLastOfMonth",
                {},
                false,
                false,
                0,
                {{1, "8:00:00", 0}, {1, "12:00:00", 16}, {1, "13:00:00", 0}},
                {{1, "", ""}}},
        // 720 minutes capped at 600, less the arrival deduction of 10.
        DayCase{"MaximumShift",
                {{"okrpr", "1"}, {"ZAOKRPROD", "3"}, {"maxPD", "10:00:00"}},
                false,
                false,
                0,
                {{1, "6:05:00", 0}, {1, "18:05:00", 16}},
                {{1, "9:50", "Prekrocený maximálny cas smeny"}}},
        DayCase{"MaximumShiftOff",
                {{"maxPDflag", "0"}, {"maxPD", "10:00:00"}},
                false,
                false,
                0,
                {{1, "6:00:00", 0}, {1, "18:00:00", 16}},
                {{1, "12:00", ""}}},
        DayCase{"SaturdayCounted", {}, false, false, 0, {{6, "8:00:00", 0}, {6, "12:00:00", 16}}, {{6, "4:00", ""}}},
        DayCase{"SaturdayNotCounted",
                {{"weekendflag", "0"}},
                false,
                false,
                0,
                {{6, "8:00:00", 0}, {6, "12:00:00", 16}},
                {{6, "", ""}}},
        DayCase{"SaturdayWarning",
                {},
                false,
                false,
                0,
                {{6, "8:00:00", 0}, {6, "9:00:00", 0}, {6, "12:00:00", 16}},
                {{6, "4:00", "Dva prichody za sebou"}}},
        // Friday's vacation departure fills Monday and Tuesday, not the weekend.
        DayCase{"VacationAfterDeparture",
                {},
                false,
                false,
                0,
                {{5, "8:00:00", 0}, {5, "16:00:00", 24}, {10, "8:00:00", 0}, {10, "16:00:00", 16}},
                {{5, "8:00", ""},
                 {6, "", ""},
                 {7, "", ""},
                 {8, "D 08:30", "Automatický výpocet Dovolenky"},
                 {9, "D 08:30", "Automatický výpocet Dovolenky"},
                 {10, "8:00", ""}}},
        DayCase{"VacationAfterDepartureOff",
                {{"autodov", "0"}},
                false,
                false,
                0,
                {{5, "8:00:00", 0}, {5, "16:00:00", 24}, {10, "8:00:00", 0}, {10, "16:00:00", 16}},
                {{8, "", ""}, {9, "", ""}}},
        DayCase{"VacationBeforeArrival",
                {},
                false,
                false,
                0,
                {{5, "8:00:00", 0}, {5, "16:00:00", 16}, {10, "8:00:00", 8}, {10, "16:00:00", 16}},
                {{8, "D 08:30", "Automatický výpocet Dovolenky"}, {9, "D 08:30", "Automatický výpocet Dovolenky"}}},
        // A sick-leave arrival fills the gap before it even without autoPN.
        DayCase{"SickBeforeArrival",
                {{"autoPN", "0"}},
                false,
                false,
                0,
                {{5, "8:00:00", 0}, {5, "16:00:00", 16}, {10, "8:00:00", 7}, {10, "16:00:00", 23}},
                {{8, "PN 08:30", "Automatický výpocet PN"}, {9, "PN 08:30", "Automatický výpocet PN"}}},
        // Doctor departure as last: work 120, doctor until 15:00 = 300 + 1,
        // then the next working days are sick leave.
        DayCase{"DoctorDepartureLast",
                {},
                false,
                false,
                0,
                {{1, "8:00:00", 0}, {1, "10:00:00", 21}, {4, "8:00:00", 0}, {4, "16:00:00", 16}},
                {{1, "2:00 LK 5:01", ""}, {2, "PN 08:30", "Automatický výpocet PN"}, {4, "8:00", ""}}},
        DayCase{"DoctorDepartureNoAutoPN",
                {{"autoPN", "0"}},
                false,
                false,
                0,
                {{1, "8:00:00", 0}, {1, "10:00:00", 21}, {4, "8:00:00", 0}, {4, "16:00:00", 16}},
                {{1, "2:00 LK 5:01", ""}, {2, "", ""}}},
        // First arrival from the doctor at 10:00 counts from startLEK 8:00.
        DayCase{"DoctorArrivalFirst",
                {},
                false,
                false,
                0,
                {{1, "10:00:00", 5}, {1, "16:00:00", 16}},
                {{1, "6:00 LK 2:00", ""}}},
        DayCase{"ObstacleDepartureLast",
                {},
                false,
                false,
                0,
                {{1, "8:00:00", 0}, {1, "12:00:00", 22}, {3, "8:00:00", 0}, {3, "16:00:00", 16}},
                {{1, "4:00 O 3:01", ""}, {2, "O 08:30", "Automatický výpocet Prekážky"}}},
        DayCase{"ObstacleBeforeArrival",
                {},
                false,
                false,
                0,
                {{1, "8:00:00", 0}, {1, "16:00:00", 16}, {3, "8:00:00", 6}, {3, "16:00:00", 16}},
                {{2, "O 08:30", "Automatický výpocet Prekážky"}}},
        // Part-day vacation until dovOD 16:30: 270 minutes.
        DayCase{"VacationUntilDovOD",
                {{"dovflag", "1"}, {"dovodflag", "1"}},
                false,
                false,
                0,
                {{1, "8:00:00", 0}, {1, "12:00:00", 24}, {3, "8:00:00", 0}, {3, "16:00:00", 16}},
                {{1, "4:00 d 4:30", ""}, {2, "D 08:30", "Automatický výpocet Dovolenky"}}},
        // Away on vacation 10:00..11:59 between two stretches of work.
        DayCase{"VacationMidDay",
                {{"dovflag", "1"}},
                false,
                false,
                0,
                {{1, "8:00:00", 0}, {1, "10:00:00", 24}, {1, "12:00:00", 0}, {1, "16:00:00", 16}},
                {{1, "6:00 d 2:00", ""}}},
        // Arrival from vacation at 12:00 counts vacation from dovPR 8:00: 240 + 1.
        DayCase{"VacationFromDovPR",
                {{"dovflag", "1"}, {"dovprflag", "1"}},
                false,
                false,
                0,
                {{1, "12:00:00", 8}, {1, "16:30:00", 16}},
                {{1, "4:30 d 4:01", ""}}},
        // Vacation is capped at the daily norm (510).
        DayCase{"VacationCappedAtNorm",
                {{"dovflag", "1"}},
                false,
                false,
                0,
                {{1, "6:00:00", 0}, {1, "6:30:00", 24}, {1, "17:00:00", 0}, {1, "17:30:00", 16}},
                {{1, "1:00 d 8:30", ""}}},
        // Automatic business-trip day: normaPD + breaks as a clock time.
        DayCase{"AutoBusinessDayBreaks60",
                {},
                false,
                true,
                60,
                {{2, "8:00:00", 2}, {2, "16:00:00", 18}},
                {{1, "sc 09:30", "Automatický výpocet Služobnej cesty"}, {2, "8:00 sc 0:31", ""}}},
        DayCase{"AutoBusinessDayBreaks30",
                {},
                false,
                true,
                30,
                {{2, "8:00:00", 2}, {2, "16:00:00", 18}},
                {{1, "sc 09:00", "Automatický výpocet Služobnej cesty"}}},
        DayCase{
            "AutoBusinessDayNeedsTrips", {}, false, false, 30, {{2, "8:00:00", 2}, {2, "16:00:00", 18}}, {{1, "", ""}}},
        // Business cap: maxPD 8:00 with 480 worked leaves no business minutes.
        DayCase{"BusinessCapToZero",
                {{"maxPD", "8:00:00"}},
                false,
                true,
                0,
                {{1, "7:00:00", 0}, {1, "15:00:00", 17}},
                {{1, "8:00", ""}}},
        DayCase{"BusinessCapNegative",
                {{"maxPD", "8:00:00"}},
                false,
                true,
                0,
                {{1, "7:00:00", 0}, {1, "16:00:00", 17}},
                {{1, "8:00", "Prekrocený maximálny cas smeny"}}},
        DayCase{"BusinessCapPartial",
                {{"maxPD", "8:00:00"}},
                false,
                true,
                0,
                {{1, "7:00:00", 0}, {1, "14:00:00", 17}},
                {{1, "7:00 sc 1:00", ""}}},
        // A correction within corrtime replaces the earlier registration.
        DayCase{"CorrectionMerged",
                {},
                false,
                false,
                0,
                {{1, "7:58:00", 0}, {1, "8:00:00", 0}, {1, "16:00:00", 16}},
                {{1, "8:00", ""}}},
        DayCase{"CorrectionOff",
                {{"corrtime", "0"}},
                false,
                false,
                0,
                {{1, "7:58:00", 0}, {1, "8:00:00", 0}, {1, "16:00:00", 16}},
                {{1, "8:02", "Dva prichody za sebou"}}},
        // Registrations are taken to the nearest minute step.
        DayCase{"NearestStepBelow", {}, false, false, 0, {{1, "7:58:29", 0}, {1, "16:00:00", 16}}, {{1, "8:02", ""}}},
        DayCase{"NearestStepAbove", {}, false, false, 0, {{1, "7:58:31", 0}, {1, "16:00:00", 16}}, {{1, "8:01", ""}}},
        DayCase{"ExactlyBetweenStepsTakesLater",
                {},
                false,
                false,
                0,
                {{1, "7:58:30", 0}, {1, "16:00:00", 16}},
                {{1, "8:01", ""}}},
        // Both handled at the 12:00 step, departure first: presence goes on.
        DayCase{"TwoInOneStep",
                {{"corrtime", "0"}},
                false,
                false,
                0,
                {{1, "8:00:00", 0}, {1, "12:00:05", 16}, {1, "12:00:20", 0}, {1, "16:00:00", 16}},
                {{1, "8:00", ""}}}),
    [](const auto& tp) { return std::string(tp.param.name); });

INSTANTIATE_TEST_SUITE_P(Shifts, DayRules,
                         ::testing::Values(
                             // Afternoon 21:50..21:59, night to midnight; then night to 6:00 and day to 6:10.
                             DayCase{"OvernightShift",
                                     {},
                                     true,
                                     false,
                                     0,
                                     {{8, "21:50:00", 0}, {9, "6:10:00", 16}},
                                     {{8, " PS 0:10 NS 2:00", ""}, {9, " DS 0:10 NS 6:00", ""}}},
                             DayCase{"BusinessKeepsShiftRunning",
                                     {},
                                     true,
                                     true,
                                     0,
                                     {{1, "6:00:00", 0}, {1, "10:00:00", 17}, {1, "12:00:00", 0}, {1, "14:00:00", 16}},
                                     {{1, " DS 8:00 sc 2:00", ""}}},
                             // Arrival 5:52 is moved to 6:00 and handled there.
                             DayCase{"ArrivalRoundedForward",
                                     kRound15,
                                     true,
                                     false,
                                     0,
                                     {{1, "5:52:00", 0}, {1, "14:00:00", 16}},
                                     {{1, " DS 8:00", ""}}},
                             DayCase{"ArrivalNotRounded",
                                     {},
                                     true,
                                     false,
                                     0,
                                     {{1, "5:52:00", 0}, {1, "14:00:00", 16}},
                                     {{1, " DS 8:00 NS 0:08", ""}}},
                             // The 10 afternoon minutes are taken back by the departure rounding.
                             DayCase{"DepartureRounded",
                                     kRound15,
                                     true,
                                     false,
                                     0,
                                     {{1, "6:00:00", 0}, {1, "14:10:00", 16}},
                                     {{1, " DS 8:00", ""}}},
                             DayCase{"DepartureNotRounded",
                                     {},
                                     true,
                                     false,
                                     0,
                                     {{1, "6:00:00", 0}, {1, "14:10:00", 16}},
                                     {{1, " DS 8:00 PS 0:10", ""}}},
                             DayCase{"FourShiftMinutesHidden",
                                     {},
                                     true,
                                     false,
                                     0,
                                     {{1, "5:56:00", 0}, {1, "14:00:00", 16}},
                                     {{1, " DS 8:00", ""}}},
                             DayCase{"SixShiftMinutesShown",
                                     {},
                                     true,
                                     false,
                                     0,
                                     {{1, "5:54:00", 0}, {1, "14:00:00", 16}},
                                     {{1, " DS 8:00 NS 0:06", ""}}},
                             // An afternoon shift from 5:50 to 6:00 just before the day shift.
                             DayCase{"FourAfternoonMinutesHidden",
                                     {{"startPS", "5:50:00"}, {"stopPS", "6:00:00"}},
                                     true,
                                     false,
                                     0,
                                     {{1, "5:56:00", 0}, {1, "14:00:00", 16}},
                                     {{1, " DS 8:00", ""}}},
                             DayCase{"SixAfternoonMinutesShown",
                                     {{"startPS", "5:50:00"}, {"stopPS", "6:00:00"}},
                                     true,
                                     false,
                                     0,
                                     {{1, "5:54:00", 0}, {1, "14:00:00", 16}},
                                     {{1, " DS 8:00 PS 0:06", ""}}},
                             DayCase{"NightShiftNotInUse",
                                     {{"USENS", "0"}},
                                     true,
                                     false,
                                     0,
                                     {{1, "5:50:00", 0}, {1, "14:00:00", 16}},
                                     {{1, " DS 8:00", ""}}},
                             // A negative step (only possible by editing the settings file by
                             // hand) rounds nothing: the arrival is not moved back out of reach.
                             DayCase{"NegativeStepRoundsNothing",
                                     {{"okrpr", "1"}, {"okrod", "1"}, {"ZAOKRPROD", "-5"}},
                                     true,
                                     false,
                                     0,
                                     {{1, "5:52:00", 0}, {1, "14:03:00", 16}},
                                     {{1, " DS 8:00 NS 0:08", ""}}},
                             DayCase{"TwoArrivalsNoted",
                                     {},
                                     true,
                                     false,
                                     0,
                                     {{1, "6:00:00", 0}, {1, "7:00:00", 0}, {1, "14:00:00", 16}},
                                     {{1, " DS 8:00", "Dva prichody za sebou"}}},
                             DayCase{"LongShiftNoted",
                                     {{"maxPD", "8:00:00"}},
                                     true,
                                     false,
                                     0,
                                     {{1, "6:00:00", 0}, {1, "15:00:00", 16}},
                                     {{1, " DS 8:00 PS 1:00", "Prekrocená max doba smeny"}}},
                             // A vacation departure leaves the next working day as vacation.
                             DayCase{"VacationDepartureNextDay",
                                     {},
                                     true,
                                     false,
                                     0,
                                     {{1, "6:00:00", 0}, {1, "10:00:00", 24}},
                                     {{1, " DS 4:00", ""}, {2, "D 08:30", ""}, {6, "", ""}}},
                             DayCase{"VacationDepartureNextDayPartial",
                                     {{"dovflag", "1"}},
                                     true,
                                     false,
                                     0,
                                     {{1, "6:00:00", 0}, {1, "10:00:00", 24}},
                                     {{2, " d 08:30", ""}}}),
                         [](const auto& tp) { return std::string(tp.param.name); });

}  // namespace
