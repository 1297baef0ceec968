// The analyzer's alarm: the per-object state machines over the measurement results of each
// pass, and the actions that follow a pass (flags and colours, flashing, the camera's
// digital outputs, alarm recording, the alarm object log, periodic snapshots, sound).
//
// Not thread-safe: the owner calls it from the render thread's measurement pass under the
// object lock, and hands configuration changes over to that same lock.
#pragma once

#include "alarm/alarm_actions.h"
#include "alarm/alarm_record.h"
#include "alarm/alarm_settings.h"
#include "alarm/alarm_tables.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>

namespace solvane::alarm {

// One object's statistics from the measurement pass. Spots fill `value`; areas fill the
// minimum, maximum and average and, in `value`, the one value their label shows.
struct ObjectMeasurement {
  ObjectKind kind = ObjectKind::Spot;
  int32_t objectId = 0;
  std::string name;
  float value = 0.0f;
  float minimum = 0.0f;
  float maximum = 0.0f;
  float average = 0.0f;
};

// The statistic the alarm's result field picks (°C).
float comparedStatistic(const ObjectMeasurement& measurement, AlarmResult result);

struct ObjectAlarmState {
  GenerationRecord generation;
  bool alarmFlag = false;

  bool operator==(const ObjectAlarmState&) const = default;
};

class AlarmMonitor {
 public:
  explicit AlarmMonitor(AlarmActionSink& sink);

  // The settings of the environment dialog. Switching "ALARM_DIGITAL" off while an output
  // is on turns both outputs off.
  void setSettings(const AlarmSettings& settings);
  const AlarmSettings& settings() const { return settings_; }

  // The threshold, delay and interval counts follow the frame rate and display divisor.
  void setFrameRate(double cameraFrameRate, int32_t displayDivisor);
  const AlarmFrameCounts& frameCounts() const { return counts_; }

  // "OBJECT FRAME": every how many passes the object log gets a line and a snapshot is taken.
  void setObjectFrame(int32_t objectFrame);

  // "Activate Alarm". Switching it off ends every alarm, turns both outputs off once, and
  // stops the recording, the log, the flashing and the sound the alarm began.
  void setSwitch(bool on);
  bool switchedOn() const { return switchOn_; }

  // The alarm runs only while a live or recorded stream is shown, not on a single loaded
  // snapshot. When the stream goes away, whatever the alarm began is ended.
  void setStreamShown(bool shown);

  // While the environment dialog is open a new alarm starts no sound.
  void setEnvironmentDialogOpen(bool open) { environmentDialogOpen_ = open; }

  // The schedule may ask objects in alarm not to take their alarm colours.
  void setAlarmColoursSuppressed(bool suppressed);

  // The camera link. Outputs left on when a camera went away are turned off once it is back,
  // so a camera never keeps an output on that no alarm asks for any more.
  void cameraConnected(CameraFamily family);
  void cameraDisconnected();
  // The link is about to be closed on purpose (the user disconnects, the program ends):
  // outputs that are on are switched off while the camera still listens, so nothing the
  // analyzer no longer watches keeps a siren or a relay on.
  void releaseOutputs();

  AlarmTables& tables() { return tables_; }
  const AlarmTables& tables() const { return tables_; }

  // An object deleted: its table entry and its state go; an output it held falls at the
  // next pass.
  void removeObject(ObjectKind kind, int32_t objectId);

  // The generation record and flag an object brought along (for instance from its file).
  void restoreObjectState(ObjectKind kind, int32_t objectId, const ObjectAlarmState& state);
  // What the object stores back after a pass.
  ObjectAlarmState objectState(ObjectKind kind, int32_t objectId) const;

  // One measurement pass over every object.
  void runPass(std::span<const ObjectMeasurement> measurements);

  bool anyAlarm() const;
  bool outputOn(AlarmOutput output) const { return cameraOutputs_[static_cast<size_t>(output)]; }

 private:
  using ObjectKey = std::pair<ObjectKind, int32_t>;

  void send(const AlarmAction& action) { sink_.handle(action); }
  bool colours() const { return settings_.display && !coloursSuppressed_; }
  void stepObject(const ObjectMeasurement& measurement, bool& newAlarm);
  void afterPass(bool newAlarm);
  void driveOutputs(const std::array<bool, 2>& requests);
  void sendOutput(size_t output, bool on);
  void endEverything(bool bothOutputsOff);
  void setFlashing(bool on);
  // Objects already in alarm take the new colours at once rather than at their next change.
  void repaintFlaggedIfColoursChanged(bool coloursBefore);

  AlarmActionSink& sink_;
  AlarmSettings settings_;
  double cameraFrameRate_ = 0.0;
  int32_t displayDivisor_ = 0;
  AlarmFrameCounts counts_;
  int32_t objectFrame_ = 2;
  bool switchOn_ = false;
  bool streamShown_ = false;
  bool environmentDialogOpen_ = false;
  bool coloursSuppressed_ = false;
  std::optional<CameraFamily> camera_;

  AlarmTables tables_;
  std::map<ObjectKey, ObjectAlarmState> states_;

  // What the camera was last told for each output (Alarm1, Alarm2).
  std::array<bool, 2> cameraOutputs_{};
  bool wasAlarm_ = false;
  std::optional<RecordForm> recording_;
  bool logRunning_ = false;
  int32_t logPasses_ = 0;
  int32_t oneShotPasses_ = 0;
  bool flashing_ = false;
  bool soundPlaying_ = false;
};

}  // namespace solvane::alarm
