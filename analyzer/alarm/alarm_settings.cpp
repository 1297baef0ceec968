#include "alarm/alarm_settings.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace solvane::alarm {
namespace {

constexpr int32_t kLastSecondOfDay = 86399;
constexpr int32_t kAllWeekDaysStored = 9999999;

constexpr IntegerKey kAlarmKeys[] = {
    {"ALARM_DISP", 0, 0, 1},
    {"ALARM_DIGITAL", 0, 0, 1},
    {"ALARM_FLASH", 0, 0, 1},
    {"ALARM_STORE", 0, 0, 1},
    {"ALARM_REC_SEL_CHK", 0, 0, 1},
    {"ALARM_REC_SEL", 0, 0, 2},
    {"ALARM_EXPORT_OBJ", 0, 0, 1},
    {"ALARM_ONESHOT", 0, 0, 1},
    {"ALARM_THRESH", 2000, kMinimumAlarmTimeMs, kMaximumAlarmTimeMs},
    {"ALARM_DELAY", 2000, kMinimumAlarmTimeMs, kMaximumAlarmTimeMs},
    {"ALARM_INTERVAL", 2000, kMinimumAlarmTimeMs, kMaximumAlarmTimeMs},
    {"ALARM_PLAY", 0, 0, 1},
    {"ALARM_PLAY_LOOP", 0, 0, 1},
};

constexpr IntegerKey kScheduleKeys[] = {
    {"SCHED_RECUR_PATTERN", 0, 0, 2},
    {"SCHED_NWEEKLY", 0, 0, kAllWeekDaysStored},
    {"SCHED_REC_SEL", 0, 0, 2},
    {"SCHED_REC_SEL_CHK", 0, 0, 1},
    {"SCHED_EXPORT", 0, 0, 1},
    {"SCHED_ONESHOT", 0, 0, 1},
    {"SCHED_START_TIME", 0, 0, kLastSecondOfDay},
    {"SCHED_STOP_TIME", 0, 0, kLastSecondOfDay},
};

int32_t clampTo(const char* name, int32_t value) {
  const std::optional<IntegerKey> key = integerKey(name);
  return std::clamp(value, key->minimum, key->maximum);
}

const char* editorWord(TimeEditor editor) {
  switch (editor) {
    case TimeEditor::Delay: return "Delay";
    case TimeEditor::Interval: return "Interval";
    case TimeEditor::Threshold: break;
  }
  return "Threshold";
}

}  // namespace

std::span<const IntegerKey> alarmIntegerKeys() { return kAlarmKeys; }
std::span<const IntegerKey> scheduleIntegerKeys() { return kScheduleKeys; }

std::optional<IntegerKey> integerKey(const std::string& name) {
  for (std::span<const IntegerKey> keys : {alarmIntegerKeys(), scheduleIntegerKeys()}) {
    for (const IntegerKey& key : keys) {
      if (name == key.name) return key;
    }
  }
  return std::nullopt;
}

AlarmSettings clamped(AlarmSettings settings) {
  settings.recordSelection = clampTo("ALARM_REC_SEL", settings.recordSelection);
  settings.thresholdMs = clampTo("ALARM_THRESH", settings.thresholdMs);
  settings.delayMs = clampTo("ALARM_DELAY", settings.delayMs);
  settings.intervalMs = clampTo("ALARM_INTERVAL", settings.intervalMs);
  return settings;
}

ScheduleSettings clamped(ScheduleSettings settings) {
  settings.recurrence = clampTo("SCHED_RECUR_PATTERN", settings.recurrence);
  settings.weekDays = clampTo("SCHED_NWEEKLY", settings.weekDays);
  settings.recordSelection = clampTo("SCHED_REC_SEL", settings.recordSelection);
  settings.startTime = clampTo("SCHED_START_TIME", settings.startTime);
  settings.stopTime = clampTo("SCHED_STOP_TIME", settings.stopTime);
  return settings;
}

RecordForm recordFormOf(int32_t selection) {
  return static_cast<RecordForm>(std::clamp(selection, 0, 2));
}

Recurrence recurrenceOf(int32_t pattern) {
  return static_cast<Recurrence>(std::clamp(pattern, 0, 2));
}

WeekDays weekDaysFromStored(int32_t stored) {
  WeekDays days{};
  if (stored <= 0) return days;
  // Saturday is the units digit, so the digits are read from the end of the week.
  for (int day = 6; day >= 0; --day) {
    days[static_cast<size_t>(day)] = stored % 10 != 0;
    stored /= 10;
  }
  return days;
}

int32_t storedFromWeekDays(const WeekDays& days) {
  int32_t stored = 0;
  for (bool enabled : days) stored = stored * 10 + (enabled ? 1 : 0);
  return stored;
}

TimeEditorOutcome validateTimeEditor(TimeEditor editor, int64_t enteredMs) {
  const std::string word = editorWord(editor);
  if (enteredMs < kMinimumAlarmTimeMs) {
    return {kMinimumAlarmTimeMs, UserMessage{word + " time is greater than 0.", "Warning!!!"}};
  }
  if (enteredMs > kMaximumAlarmTimeMs) {
    return {kMaximumAlarmTimeMs, UserMessage{word + " time is less than 60000.", "Warning!!!"}};
  }
  return {static_cast<int32_t>(enteredMs), std::nullopt};
}

int32_t framesForTime(int32_t timeMs, double cameraFrameRate, int32_t displayDivisor) {
  if (timeMs <= 0 || !std::isfinite(cameraFrameRate) || cameraFrameRate <= 0.0) return 0;
  const double shownPerCameraFrame = static_cast<double>(std::max(displayDivisor, 0)) + 1.0;
  const double frames = timeMs * cameraFrameRate * 0.001 / shownPerCameraFrame;
  const double whole = std::floor(frames);
  return static_cast<int32_t>(std::min(whole, double{std::numeric_limits<int32_t>::max()}));
}

AlarmFrameCounts frameCountsFor(const AlarmSettings& settings, double cameraFrameRate,
                                int32_t displayDivisor) {
  return {framesForTime(settings.thresholdMs, cameraFrameRate, displayDivisor),
          framesForTime(settings.delayMs, cameraFrameRate, displayDivisor),
          framesForTime(settings.intervalMs, cameraFrameRate, displayDivisor)};
}

}  // namespace solvane::alarm
