// The alarm and schedule settings (the store's ALARM_* and SCHED_* keys) with their defaults
// and limits, the rules of the three time editors, and the conversion of the alarm times
// from milliseconds to frame counts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace solvane::alarm {

// What an alarm or schedule records.
enum class RecordForm : int32_t { Raw = 0, Avi = 1, Csv = 2 };

enum class Recurrence : int32_t { OneTime = 0, Daily = 1, Weekly = 2 };

struct AlarmSettings {
  bool display = false;         // ALARM_DISP
  bool digital = false;         // ALARM_DIGITAL
  bool flash = false;           // ALARM_FLASH
  bool store = false;           // ALARM_STORE
  bool recordCheck = false;     // ALARM_REC_SEL_CHK
  int32_t recordSelection = 0;  // ALARM_REC_SEL
  bool exportObjects = false;   // ALARM_EXPORT_OBJ
  bool oneShot = false;         // ALARM_ONESHOT
  int32_t thresholdMs = 2000;   // ALARM_THRESH
  int32_t delayMs = 2000;       // ALARM_DELAY
  int32_t intervalMs = 2000;    // ALARM_INTERVAL
  bool play = false;            // ALARM_PLAY
  bool playLoop = false;        // ALARM_PLAY_LOOP
  std::string playPath;         // ALARM_PLAY_PATH

  bool operator==(const AlarmSettings&) const = default;
};

struct ScheduleSettings {
  int32_t recurrence = 0;       // SCHED_RECUR_PATTERN
  int32_t weekDays = 0;         // SCHED_NWEEKLY
  int32_t recordSelection = 0;  // SCHED_REC_SEL
  bool recordCheck = false;     // SCHED_REC_SEL_CHK
  bool exportObjects = false;   // SCHED_EXPORT
  bool oneShot = false;         // SCHED_ONESHOT
  int32_t startTime = 0;        // SCHED_START_TIME, seconds after midnight
  int32_t stopTime = 0;         // SCHED_STOP_TIME

  bool operator==(const ScheduleSettings&) const = default;
};

// One integer key of the store: its name, default and the range the core accepts. Flags
// are integers 0..1 in the store.
struct IntegerKey {
  const char* name;
  int32_t defaultValue;
  int32_t minimum;
  int32_t maximum;
};

std::span<const IntegerKey> alarmIntegerKeys();
std::span<const IntegerKey> scheduleIntegerKeys();
inline constexpr const char* kAlarmPlayPathKey = "ALARM_PLAY_PATH";

// The limit of a key by name; nothing for a name that is not an alarm or schedule key.
std::optional<IntegerKey> integerKey(const std::string& name);

// Stored values are not validated when they are read; these bring them inside the limits
// above where the core uses them.
AlarmSettings clamped(AlarmSettings settings);
ScheduleSettings clamped(ScheduleSettings settings);

RecordForm recordFormOf(int32_t selection);
Recurrence recurrenceOf(int32_t pattern);

// Seven flags from Sunday (index 0) to Saturday, out of the stored number whose millions
// digit is Sunday and whose units digit is Saturday; a non-zero digit enables the day.
using WeekDays = std::array<bool, 7>;
WeekDays weekDaysFromStored(int32_t stored);
int32_t storedFromWeekDays(const WeekDays& days);

// The three time editors of the alarm page.
enum class TimeEditor { Threshold, Delay, Interval };

inline constexpr int32_t kMinimumAlarmTimeMs = 0;
inline constexpr int32_t kMaximumAlarmTimeMs = 60000;

struct UserMessage {
  std::string text;
  std::string title;

  bool operator==(const UserMessage&) const = default;
};

struct TimeEditorOutcome {
  int32_t valueMs;                     // what the editor keeps
  std::optional<UserMessage> warning;  // shown when the entry was out of range

  bool operator==(const TimeEditorOutcome&) const = default;
};

// An entry outside 0..60000 ms is brought to the nearer limit with its warning.
TimeEditorOutcome validateTimeEditor(TimeEditor editor, int64_t enteredMs);

struct AlarmFrameCounts {
  int32_t threshold = 0;
  int32_t delay = 0;
  int32_t interval = 0;

  bool operator==(const AlarmFrameCounts&) const = default;
};

// Frames of one alarm time at the camera's frame rate shown through the display divisor
// (0 full rate, 1 half, ...): floor(time x rate x 0.001 / (divisor + 1)).
int32_t framesForTime(int32_t timeMs, double cameraFrameRate, int32_t displayDivisor);
AlarmFrameCounts frameCountsFor(const AlarmSettings& settings, double cameraFrameRate,
                                int32_t displayDivisor);

}  // namespace solvane::alarm
