#include "alarm/schedule.h"

#include "action_log.h"
#include "fake_clock.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace solvane::alarm {
namespace {

using namespace std::chrono;
using testing::ActionLog;
using testing::FakeScheduleClock;

constexpr year_month_day kMonday = 2026y / March / 2;
constexpr year_month_day kSaturday = 2026y / March / 7;

constexpr int32_t hms(int32_t hours, int32_t minutes, int32_t seconds = 0) {
  return hours * 3600 + minutes * 60 + seconds;
}

constexpr int64_t kHourMs = 3'600'000;
constexpr int64_t kDayMs = 24 * kHourMs;

ScheduleSettings window(Recurrence recurrence, int32_t start, int32_t stop, int32_t weekDays = 0) {
  ScheduleSettings settings;
  settings.recurrence = static_cast<int32_t>(recurrence);
  settings.startTime = start;
  settings.stopTime = stop;
  settings.weekDays = weekDays;
  return settings;
}

class ScheduleTest : public ::testing::Test {
 protected:
  // Lets the armed timer run out and fire.
  void fire() {
    ASSERT_TRUE(schedule_.armedDue().has_value());
    clock_.setNow(*schedule_.armedDue());
    schedule_.onTimer();
  }

  int64_t lastDelayMs() const {
    const auto arms = log_.all<ArmScheduleTimer>();
    return arms.empty() ? -1 : arms.back().delay.count();
  }

  LocalTime localNow() const { return clock_.toLocal(clock_.now()); }

  ActionLog log_;
  FakeScheduleClock clock_;
  Schedule schedule_{log_, clock_};
};

struct ArmingCase {
  const char* name;
  Recurrence recurrence;
  int32_t weekDays;
  year_month_day today;
  int32_t now;
  SchedulePhase phase;
  bool active;
  int64_t delayMs;  // -1: no timer
};

void PrintTo(const ArmingCase& c, std::ostream* os) { *os << c.name; }

class ScheduleArming : public ScheduleTest, public ::testing::WithParamInterface<ArmingCase> {};

// Every case uses the window 09:00 to 10:00.
TEST_P(ScheduleArming, ArmsTheTimerForTheNextChange) {
  const ArmingCase& c = GetParam();
  clock_.setLocalNow(c.today, c.now);
  ASSERT_FALSE(schedule_.start(window(c.recurrence, hms(9, 0), hms(10, 0), c.weekDays)));
  EXPECT_EQ(schedule_.phase(), c.phase);
  EXPECT_EQ(schedule_.active(), c.active);
  EXPECT_EQ(lastDelayMs(), c.delayMs);
  EXPECT_EQ(schedule_.armedDue().has_value(), c.delayMs >= 0);
}

using P = SchedulePhase;
INSTANTIATE_TEST_SUITE_P(
    Windows, ScheduleArming,
    ::testing::Values(ArmingCase{"OneTimeBeforeTheWindow", Recurrence::OneTime, 0, kMonday,
                                 hms(8, 0), P::WaitingForStart, false, kHourMs},
                      ArmingCase{"OneTimeInsideTheWindow", Recurrence::OneTime, 0, kMonday,
                                 hms(9, 30), P::WaitingForStop, true, kHourMs / 2},
                      ArmingCase{"OneTimeAtItsStop", Recurrence::OneTime, 0, kMonday, hms(10, 0),
                                 P::Done, false, -1},
                      ArmingCase{"DailyAfterTheWindowWaitsForTomorrow", Recurrence::Daily, 0,
                                 kMonday, hms(11, 0), P::WaitingForStart, false, 22 * kHourMs},
                      ArmingCase{"WeeklyOnlyTodayAfterTheStopWaitsSevenDays", Recurrence::Weekly,
                                 100000, kMonday, hms(11, 0), P::WaitingForStart, false,
                                 7 * kDayMs - 2 * kHourMs},
                      ArmingCase{"WeeklyTodayInsideTheWindow", Recurrence::Weekly, 100000, kMonday,
                                 hms(9, 15), P::WaitingForStop, true, 45 * 60'000},
                      ArmingCase{"WeeklyTodayNotEnabledWaitsForTheNextDay", Recurrence::Weekly,
                                 1000, kMonday, hms(8, 0), P::WaitingForStart, false,
                                 2 * kDayMs + kHourMs},
                      ArmingCase{"WeeklySaturdayWrapsToSunday", Recurrence::Weekly, 1000001,
                                 kSaturday, hms(11, 0), P::WaitingForStart, false, 22 * kHourMs},
                      ArmingCase{"WeeklyWithoutDaysArmsNothing", Recurrence::Weekly, 0, kMonday,
                                 hms(8, 0), P::Done, false, -1}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
  const char* name;
  int32_t start;
  int32_t stop;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class ScheduleRefusal : public ScheduleTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ScheduleRefusal, StopBeforeStartIsRefusedAndSwitchesTheScheduleOff) {
  clock_.setLocalNow(kMonday, hms(12, 0));
  const auto refusal =
      schedule_.start(window(Recurrence::Daily, GetParam().start, GetParam().stop));
  EXPECT_EQ(refusal, (UserMessage{"The Stop time is greater than the start time!!", "Warning"}));
  EXPECT_FALSE(schedule_.switchedOn());
  EXPECT_FALSE(schedule_.armedDue().has_value());
}

INSTANTIATE_TEST_SUITE_P(Windows, ScheduleRefusal,
                         ::testing::Values(RefusalCase{"AcrossMidnight", hms(23, 0), hms(1, 0)},
                                           RefusalCase{"OneSecondShort", hms(12, 0),
                                                       hms(11, 59, 59)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScheduleTest, RefusalClosesAnOpenWindow) {
  clock_.setLocalNow(kMonday, hms(9, 30));
  schedule_.start(window(Recurrence::Daily, hms(9, 0), hms(10, 0)));
  ASSERT_TRUE(schedule_.active());
  schedule_.start(window(Recurrence::Daily, hms(23, 0), hms(1, 0)));
  EXPECT_FALSE(schedule_.active());
  EXPECT_EQ(log_.count<CancelScheduleTimer>(), 1u);
}

TEST_F(ScheduleTest, DailyWindowBeforeMidnightOpensEveryEveningForAWeek) {
  clock_.setLocalNow(kMonday, hms(23, 30));
  schedule_.start(window(Recurrence::Daily, hms(23, 0), hms(23, 59, 59)));
  ASSERT_TRUE(schedule_.active());
  std::vector<year_month_day> opened;
  for (int change = 0; change < 14; ++change) {
    fire();
    if (schedule_.active()) {
      EXPECT_EQ(localNow().secondsOfDay, hms(23, 0));
      opened.push_back(localNow().date);
    } else {
      EXPECT_EQ(localNow().secondsOfDay, hms(23, 59, 59));
    }
  }
  std::vector<year_month_day> expected;
  for (int day = 1; day <= 7; ++day) expected.push_back(addDays(kMonday, day));
  EXPECT_EQ(opened, expected);
}

TEST_F(ScheduleTest, WeeklyWindowOpensOnlyOnItsDaysAndWrapsIntoTheNextWeek) {
  clock_.setLocalNow(kMonday, hms(12, 0));
  // Monday and Wednesday.
  schedule_.start(window(Recurrence::Weekly, hms(9, 0), hms(10, 0), 101000));
  std::vector<int> openedOn;  // days after the first Monday
  for (int change = 0; change < 8; ++change) {
    fire();
    if (schedule_.active()) {
      openedOn.push_back(static_cast<int>((sys_days(localNow().date) - sys_days(kMonday)).count()));
    }
  }
  EXPECT_EQ(openedOn, (std::vector<int>{2, 7, 9, 14}));
}

TEST_F(ScheduleTest, OneTimeWindowEndsForGood) {
  clock_.setLocalNow(kMonday, hms(8, 0));
  schedule_.start(window(Recurrence::OneTime, hms(9, 0), hms(10, 0)));
  fire();
  fire();
  EXPECT_EQ(schedule_.phase(), SchedulePhase::Done);
  EXPECT_FALSE(schedule_.armedDue().has_value());
  EXPECT_EQ(log_.all<ScheduleActiveChanged>(),
            (std::vector<ScheduleActiveChanged>{{true}, {false}}));
}

struct SummerTimeCase {
  const char* name;
  year_month_day saturday;
  Instant change;  // the night from Saturday to Sunday, 01:00 UTC
  bool springForward;
  int64_t toSundayStartMs;
};

void PrintTo(const SummerTimeCase& c, std::ostream* os) { *os << c.name; }

class ScheduleSummerTime : public ScheduleTest,
                           public ::testing::WithParamInterface<SummerTimeCase> {};

TEST_P(ScheduleSummerTime, WindowKeepsItsWallClockHours) {
  const SummerTimeCase& c = GetParam();
  if (c.springForward) {
    clock_.setSummerTime(c.change, c.change + days(210));
  } else {
    clock_.setSummerTime(c.change - days(210), c.change);
  }
  clock_.setLocalNow(c.saturday, hms(10, 0));
  schedule_.start(window(Recurrence::Daily, hms(8, 0), hms(9, 0)));
  EXPECT_EQ(lastDelayMs(), c.toSundayStartMs);
  for (int day = 1; day <= 3; ++day) {
    fire();
    EXPECT_EQ(localNow().date, addDays(c.saturday, day));
    EXPECT_EQ(localNow().secondsOfDay, hms(8, 0));
    fire();
    EXPECT_EQ(localNow().secondsOfDay, hms(9, 0));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ScheduleSummerTime,
    ::testing::Values(SummerTimeCase{"SpringForward", 2026y / March / 28,
                                     Instant(sys_days(2026y / March / 29)) + hours(1), true,
                                     21 * kHourMs},
                      SummerTimeCase{"FallBack", 2026y / October / 24,
                                     Instant(sys_days(2026y / October / 25)) + hours(1), false,
                                     23 * kHourMs}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScheduleTest, EarlyTimerWaitsForTheRest) {
  clock_.setLocalNow(kMonday, hms(8, 0));
  schedule_.start(window(Recurrence::Daily, hms(9, 0), hms(10, 0)));
  clock_.setLocalNow(kMonday, hms(8, 59, 30));
  schedule_.onTimer();
  EXPECT_FALSE(schedule_.active());
  EXPECT_EQ(lastDelayMs(), 30'000);
  fire();
  EXPECT_TRUE(schedule_.active());
}

TEST_F(ScheduleTest, StaleTimerAfterStopDoesNothing) {
  clock_.setLocalNow(kMonday, hms(8, 0));
  schedule_.start(window(Recurrence::Daily, hms(9, 0), hms(10, 0)));
  schedule_.stop();
  clock_.setLocalNow(kMonday, hms(9, 0));
  schedule_.onTimer();
  EXPECT_FALSE(schedule_.active());
  EXPECT_EQ(log_.count<CancelScheduleTimer>(), 1u);
}

class ScheduleActions : public ScheduleTest {
 protected:
  void openWindow(ScheduleSettings settings) {
    clock_.setLocalNow(kMonday, hms(8, 0));
    schedule_.setObjectFrame(2);
    schedule_.start(settings);
    fire();
  }

  ScheduleSettings settings_ = window(Recurrence::OneTime, hms(9, 0), hms(10, 0));
};

TEST_F(ScheduleActions, WindowRecordsInTheChosenForm) {
  settings_.recordCheck = true;
  settings_.recordSelection = static_cast<int32_t>(RecordForm::Avi);
  openWindow(settings_);
  fire();
  EXPECT_EQ(log_.all<StartRecording>(),
            (std::vector<StartRecording>{{ActionSource::Schedule, RecordForm::Avi}}));
  EXPECT_EQ(log_.all<StopRecording>(),
            (std::vector<StopRecording>{{ActionSource::Schedule, RecordForm::Avi}}));
}

TEST_F(ScheduleActions, NoRecordingWhenTheWindowOpensDuringAnAlarm) {
  settings_.recordCheck = true;
  schedule_.onPass(true);
  openWindow(settings_);
  fire();
  EXPECT_EQ(log_.count<StartRecording>(), 0u);
  EXPECT_EQ(log_.count<StopRecording>(), 0u);
}

TEST_F(ScheduleActions, ObjectLogStartsOnceRunsWithoutAlarmsAndEndsWithAOneTimeWindow) {
  settings_.exportObjects = true;
  openWindow(settings_);
  schedule_.onPass(false);                              // starts the log
  for (int i = 0; i < 4; ++i) schedule_.onPass(false);  // two lines
  for (int i = 0; i < 6; ++i) schedule_.onPass(true);   // an alarm has the objects now
  fire();
  EXPECT_EQ(log_.count<StartObjectLog>(), 1u);
  EXPECT_EQ(log_.count<AppendObjectLogLine>(), 2u);
  EXPECT_EQ(log_.all<EndObjectLog>(), (std::vector<EndObjectLog>{{ActionSource::Schedule}}));
  EXPECT_STREQ(objectLogTag(ActionSource::Schedule), "ShedObj");
}

TEST_F(ScheduleActions, OneShotEveryObjectFrameInsideTheWindowOnly) {
  settings_.oneShot = true;
  openWindow(settings_);
  for (int i = 0; i < 6; ++i) schedule_.onPass(false);
  fire();
  for (int i = 0; i < 6; ++i) schedule_.onPass(false);
  EXPECT_EQ(log_.all<TakeOneShot>(),
            (std::vector<TakeOneShot>(3, TakeOneShot{ActionSource::Schedule})));
}

TEST_F(ScheduleActions, SwitchingOffClosesTheWindowAndItsRecording) {
  settings_.recordCheck = true;
  openWindow(settings_);
  schedule_.stop();
  EXPECT_FALSE(schedule_.active());
  EXPECT_FALSE(schedule_.armedDue().has_value());
  EXPECT_EQ(log_.count<StopRecording>(), 1u);
}

}  // namespace
}  // namespace solvane::alarm
