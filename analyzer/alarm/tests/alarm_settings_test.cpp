#include "alarm/alarm_settings.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace solvane::alarm {
namespace {

struct FramesCase {
  const char* name;
  int32_t timeMs;
  double frameRate;
  int32_t divisor;
  int32_t frames;
};

void PrintTo(const FramesCase& c, std::ostream* os) { *os << c.name; }

class AlarmFrames : public ::testing::TestWithParam<FramesCase> {};

TEST_P(AlarmFrames, FollowTheShownFrameRate) {
  const FramesCase& c = GetParam();
  EXPECT_EQ(framesForTime(c.timeMs, c.frameRate, c.divisor), c.frames);
}

INSTANTIATE_TEST_SUITE_P(
    Times, AlarmFrames,
    ::testing::Values(
        FramesCase{.name = "TwoSecondsAtThirtyFpsFullRate",
                   .timeMs = 2000,
                   .frameRate = 30.0,
                   .divisor = 0,
                   .frames = 60},
        FramesCase{.name = "TwoSecondsAtThirtyFpsHalfRate",
                   .timeMs = 2000,
                   .frameRate = 30.0,
                   .divisor = 1,
                   .frames = 30},
        FramesCase{.name = "OneSecondAtNineFpsThirdRateRoundsDown",
                   .timeMs = 1000,
                   .frameRate = 9.0,
                   .divisor = 2,
                   .frames = 3},
        FramesCase{.name = "PartFrameRoundsDown",
                   .timeMs = 50,
                   .frameRate = 30.0,
                   .divisor = 0,
                   .frames = 1},
        FramesCase{.name = "LongestTimeQuarterRate",
                   .timeMs = 60000,
                   .frameRate = 30.0,
                   .divisor = 3,
                   .frames = 450},
        FramesCase{.name = "ZeroTime", .timeMs = 0, .frameRate = 30.0, .divisor = 0, .frames = 0},
        FramesCase{
            .name = "NoFrameRateYet", .timeMs = 2000, .frameRate = 0.0, .divisor = 0, .frames = 0},
        FramesCase{.name = "NegativeDivisorCountsAsFullRate",
                   .timeMs = 2000,
                   .frameRate = 30.0,
                   .divisor = -3,
                   .frames = 60}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AlarmFrameCounts, ConvertAllThreeTimes) {
  AlarmSettings settings;
  settings.thresholdMs = 2000;
  settings.delayMs = 1000;
  settings.intervalMs = 500;
  EXPECT_EQ(frameCountsFor(settings, 30.0, 1), (AlarmFrameCounts{30, 15, 7}));
}

struct EditorCase {
  const char* name;
  TimeEditor editor;
  int64_t entered;
  int32_t kept;
  const char* warning;  // empty: none
};

void PrintTo(const EditorCase& c, std::ostream* os) { *os << c.name; }

class AlarmTimeEditor : public ::testing::TestWithParam<EditorCase> {};

TEST_P(AlarmTimeEditor, KeepsTheValueInsideTheLimits) {
  const EditorCase& c = GetParam();
  const TimeEditorOutcome outcome = validateTimeEditor(c.editor, c.entered);
  EXPECT_EQ(outcome.valueMs, c.kept);
  if (std::string(c.warning).empty()) {
    EXPECT_FALSE(outcome.warning.has_value());
  } else {
    EXPECT_EQ(outcome.warning, (UserMessage{c.warning, "Warning!!!"}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, AlarmTimeEditor,
    ::testing::Values(EditorCase{"ThresholdAboveLimit", TimeEditor::Threshold, 60001, 60000,
                                 "Threshold time is less than 60000."},
                      EditorCase{"DelayAboveLimit", TimeEditor::Delay, 99999, 60000,
                                 "Delay time is less than 60000."},
                      EditorCase{"IntervalAboveLimit", TimeEditor::Interval, 70000, 60000,
                                 "Interval time is less than 60000."},
                      EditorCase{"ThresholdBelowZero", TimeEditor::Threshold, -1, 0,
                                 "Threshold time is greater than 0."},
                      EditorCase{"DelayBelowZero", TimeEditor::Delay, -500, 0,
                                 "Delay time is greater than 0."},
                      EditorCase{"IntervalBelowZero", TimeEditor::Interval, -60001, 0,
                                 "Interval time is greater than 0."},
                      EditorCase{"HugeEntryDoesNotWrap", TimeEditor::Threshold, 4294967296LL + 5,
                                 60000, "Threshold time is less than 60000."},
                      EditorCase{"UpperLimitItself", TimeEditor::Delay, 60000, 60000, ""},
                      EditorCase{"LowerLimitItself", TimeEditor::Interval, 0, 0, ""},
                      EditorCase{"InsideLimits", TimeEditor::Threshold, 1500, 1500, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct WeekDaysCase {
  const char* name;
  int32_t stored;
  WeekDays days;  // Sunday first
};

void PrintTo(const WeekDaysCase& c, std::ostream* os) { *os << c.name; }

class ScheduleWeekDays : public ::testing::TestWithParam<WeekDaysCase> {};

TEST_P(ScheduleWeekDays, ReadFromTheDigitsSundayFirst) {
  EXPECT_EQ(weekDaysFromStored(GetParam().stored), GetParam().days);
}

INSTANTIATE_TEST_SUITE_P(
    Stored, ScheduleWeekDays,
    ::testing::Values(
        WeekDaysCase{
            "SundayIsTheMillionsDigit", 1000000, {true, false, false, false, false, false, false}},
        WeekDaysCase{
            "SaturdayIsTheUnitsDigit", 1, {false, false, false, false, false, false, true}},
        WeekDaysCase{"MondayAndFriday", 100010, {false, true, false, false, false, true, false}},
        WeekDaysCase{
            "AnyNonZeroDigitEnables", 2030405, {true, false, true, false, true, false, true}},
        WeekDaysCase{"EveryDay", 1111111, {true, true, true, true, true, true, true}},
        WeekDaysCase{"None", 0, {}}, WeekDaysCase{"NegativeIsNone", -1111111, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScheduleWeekDays, WriteBackAsTheStoredNumber) {
  const WeekDays tuesdayAndSaturday{false, false, true, false, false, false, true};
  EXPECT_EQ(storedFromWeekDays(tuesdayAndSaturday), 10001);
  EXPECT_EQ(weekDaysFromStored(storedFromWeekDays(tuesdayAndSaturday)), tuesdayAndSaturday);
}

TEST(AlarmSettingsLimits, StoredValuesOutsideTheLimitsAreBroughtIn) {
  AlarmSettings alarm;
  alarm.thresholdMs = 90000;
  alarm.delayMs = -5;
  alarm.recordSelection = 7;
  const AlarmSettings kept = clamped(alarm);
  EXPECT_EQ(kept.thresholdMs, 60000);
  EXPECT_EQ(kept.delayMs, 0);
  EXPECT_EQ(kept.recordSelection, 2);

  ScheduleSettings schedule;
  schedule.recurrence = 9;
  schedule.startTime = -1;
  schedule.stopTime = 90000;
  const ScheduleSettings keptSchedule = clamped(schedule);
  EXPECT_EQ(keptSchedule.recurrence, 2);
  EXPECT_EQ(keptSchedule.startTime, 0);
  EXPECT_EQ(keptSchedule.stopTime, 86399);
}

}  // namespace
}  // namespace solvane::alarm
