// What the alarm monitor and the schedule ask the rest of the analyzer to do. The program
// wires each action to the camera link, the recorder, the exports, the view or the sound
// player; tests read them.
#pragma once

#include "alarm/alarm_settings.h"
#include "alarm/alarm_tables.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <variant>

namespace solvane::alarm {

// The camera settings that drive its two digital outputs, sent as command index 10 with the
// setting id, the value and three zero words.
inline constexpr uint16_t kDigitalOutput1SettingId = 0x0401;
inline constexpr uint16_t kDigitalOutput2SettingId = 0x0404;
inline constexpr int16_t kDigitalOutputOnKs = 1;
inline constexpr int16_t kDigitalOutputOnKt = 5;
inline constexpr int16_t kDigitalOutputOff = 0;

enum class CameraFamily { Kt, Ks };

// Who asked for a recording, a snapshot or an object log.
enum class ActionSource { Alarm, Schedule };

// The object's alarm flag changed; `alarmColours` says whether the view draws it in its
// alarm colours ("ALARM_DISP", unless the schedule suppresses them).
struct SetAlarmFlag {
  ObjectKind kind;
  int32_t objectId;
  bool on;
  bool alarmColours;
  bool operator==(const SetAlarmFlag&) const = default;
};

// The alarm colours start or stop flashing.
struct Flash {
  bool on;
  bool operator==(const Flash&) const = default;
};

struct SendDigitalOutput {
  uint16_t settingId;
  int16_t value;
  std::array<uint32_t, 3> words{};
  bool operator==(const SendDigitalOutput&) const = default;
};

struct StartRecording {
  ActionSource source;
  RecordForm form;
  bool operator==(const StartRecording&) const = default;
};

// Closes the stream or the movie, or ends the CSV series, that `StartRecording` began.
struct StopRecording {
  ActionSource source;
  RecordForm form;
  bool operator==(const StopRecording&) const = default;
};

// The alarm's "_AlarmObj_" or the schedule's "_ShedObj_" object log.
struct StartObjectLog {
  ActionSource source;
  bool operator==(const StartObjectLog&) const = default;
};
struct AppendObjectLogLine {
  ActionSource source;
  bool operator==(const AppendObjectLogLine&) const = default;
};
struct EndObjectLog {
  ActionSource source;
  bool operator==(const EndObjectLog&) const = default;
};

struct TakeOneShot {
  ActionSource source;
  bool operator==(const TakeOneShot&) const = default;
};

// Plays the sound file asynchronously, over and over when `loop` is set.
struct StartSound {
  std::string path;
  bool loop;
  bool operator==(const StartSound&) const = default;
};
struct StopSound {
  bool operator==(const StopSound&) const = default;
};

// The schedule timer: fire once after `delay`, at `due` on the clock that computed it.
struct ArmScheduleTimer {
  std::chrono::milliseconds delay;
  std::chrono::sys_time<std::chrono::milliseconds> due;
  bool operator==(const ArmScheduleTimer&) const = default;
};
struct CancelScheduleTimer {
  bool operator==(const CancelScheduleTimer&) const = default;
};

// The schedule's window opened or closed.
struct ScheduleActiveChanged {
  bool active;
  bool operator==(const ScheduleActiveChanged&) const = default;
};

using AlarmAction =
    std::variant<SetAlarmFlag, Flash, SendDigitalOutput, StartRecording, StopRecording,
                 StartObjectLog, AppendObjectLogLine, EndObjectLog, TakeOneShot, StartSound,
                 StopSound, ArmScheduleTimer, CancelScheduleTimer, ScheduleActiveChanged>;

class AlarmActionSink {
 public:
  virtual ~AlarmActionSink() = default;
  virtual void handle(const AlarmAction& action) = 0;
};

// The file-name tag of the object log each source writes.
inline const char* objectLogTag(ActionSource source) {
  return source == ActionSource::Alarm ? "AlarmObj" : "ShedObj";
}

}  // namespace solvane::alarm
