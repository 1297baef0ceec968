#include "alarm/alarm_monitor.h"

#include "alarm/alarm_state_machine.h"

namespace solvane::alarm {
namespace {

constexpr std::array<uint16_t, 2> kOutputSettingIds = {kDigitalOutput1SettingId,
                                                       kDigitalOutput2SettingId};

}  // namespace

float comparedStatistic(const ObjectMeasurement& measurement, AlarmResult result) {
  switch (result) {
    case AlarmResult::Minimum: return measurement.minimum;
    case AlarmResult::Maximum: return measurement.maximum;
    case AlarmResult::Average: return measurement.average;
    case AlarmResult::Value: break;
  }
  return measurement.value;
}

AlarmMonitor::AlarmMonitor(AlarmActionSink& sink) : sink_(sink) {}

void AlarmMonitor::setSettings(const AlarmSettings& settings) {
  const AlarmSettings next = clamped(settings);
  const bool digitalSwitchedOff = settings_.digital && !next.digital;
  const bool coloursBefore = colours();
  settings_ = next;
  counts_ = frameCountsFor(settings_, cameraFrameRate_, displayDivisor_);
  if (digitalSwitchedOff && (cameraOutputs_[0] || cameraOutputs_[1]) && camera_) {
    sendOutput(0, false);
    sendOutput(1, false);
  }
  repaintFlaggedIfColoursChanged(coloursBefore);
  setFlashing(flashing_ && settings_.display && settings_.flash);
}

void AlarmMonitor::setAlarmColoursSuppressed(bool suppressed) {
  const bool coloursBefore = colours();
  coloursSuppressed_ = suppressed;
  repaintFlaggedIfColoursChanged(coloursBefore);
}

void AlarmMonitor::repaintFlaggedIfColoursChanged(bool coloursBefore) {
  if (colours() == coloursBefore) return;
  for (const auto& [key, state] : states_) {
    if (state.alarmFlag) send(SetAlarmFlag{key.first, key.second, true, colours()});
  }
}

void AlarmMonitor::setFrameRate(double cameraFrameRate, int32_t displayDivisor) {
  cameraFrameRate_ = cameraFrameRate;
  displayDivisor_ = displayDivisor;
  counts_ = frameCountsFor(settings_, cameraFrameRate_, displayDivisor_);
}

void AlarmMonitor::setObjectFrame(int32_t objectFrame) {
  // A period below one pass would never come round; every pass is the nearest meaning.
  objectFrame_ = objectFrame < 1 ? 1 : objectFrame;
}

void AlarmMonitor::setSwitch(bool on) {
  if (on == switchOn_) return;
  switchOn_ = on;
  if (!on) endEverything(true);
}

void AlarmMonitor::setStreamShown(bool shown) {
  if (shown == streamShown_) return;
  streamShown_ = shown;
  if (!shown) endEverything(false);
}

void AlarmMonitor::cameraConnected(CameraFamily family) {
  camera_ = family;
  for (size_t output = 0; output < cameraOutputs_.size(); ++output) {
    if (cameraOutputs_[output]) sendOutput(output, false);
  }
}

void AlarmMonitor::cameraDisconnected() { camera_.reset(); }

void AlarmMonitor::releaseOutputs() {
  if (!camera_) return;
  for (size_t output = 0; output < cameraOutputs_.size(); ++output) {
    if (cameraOutputs_[output]) sendOutput(output, false);
  }
}

void AlarmMonitor::removeObject(ObjectKind kind, int32_t objectId) {
  tables_.of(kind).remove(objectId);
  states_.erase({kind, objectId});
}

void AlarmMonitor::restoreObjectState(ObjectKind kind, int32_t objectId,
                                      const ObjectAlarmState& state) {
  states_[{kind, objectId}] = state;
}

ObjectAlarmState AlarmMonitor::objectState(ObjectKind kind, int32_t objectId) const {
  const auto it = states_.find({kind, objectId});
  return it == states_.end() ? ObjectAlarmState{} : it->second;
}

bool AlarmMonitor::anyAlarm() const {
  for (const auto& [key, state] : states_) {
    if (state.alarmFlag) return true;
  }
  return false;
}

void AlarmMonitor::runPass(std::span<const ObjectMeasurement> measurements) {
  // Every object gets its table entry on its first pass, so the alarm page can list it
  // and arm it before the alarm is switched on.
  for (const ObjectMeasurement& measurement : measurements) {
    if (AlarmEntry* entry =
            tables_.of(measurement.kind).ensure(measurement.objectId, measurement.name)) {
      entry->name = measurement.name;
    }
  }
  if (!switchOn_ || !streamShown_) return;
  bool newAlarm = false;
  for (const ObjectMeasurement& measurement : measurements) stepObject(measurement, newAlarm);
  afterPass(newAlarm);
}

void AlarmMonitor::stepObject(const ObjectMeasurement& measurement, bool& newAlarm) {
  const AlarmEntry* entry = tables_.of(measurement.kind).find(measurement.objectId);
  if (entry == nullptr) return;  // the table was full when the object came
  ObjectAlarmState& state = states_[{measurement.kind, measurement.objectId}];
  // Only armed alarms run: an object nobody armed (every new one, at 20 °C "Above") would
  // otherwise raise the alarm, its recording and its sound as soon as the switch is on.
  if (entry->record.selected == 0) {
    if (state.alarmFlag) {
      send(SetAlarmFlag{measurement.kind, measurement.objectId, false, colours()});
    }
    state = {};
    return;
  }
  const bool flagBefore = state.alarmFlag;
  const AlarmRecord& record = entry->record;
  const AlarmStep step =
      stepAlarm(state.generation, state.alarmFlag, conditionOf(record),
                comparedStatistic(measurement, resultOf(record)), record.value, counts_);
  if (state.alarmFlag != flagBefore) {
    send(SetAlarmFlag{measurement.kind, measurement.objectId, state.alarmFlag, colours()});
  }
  newAlarm = newAlarm || step.raised;
}

void AlarmMonitor::afterPass(bool newAlarm) {
  const bool any = anyAlarm();

  std::array<bool, 2> requests{};
  if (settings_.digital) {
    for (const auto& [key, state] : states_) {
      if (!state.alarmFlag) continue;
      const AlarmEntry* entry = tables_.of(key.first).find(key.second);
      if (entry != nullptr && entry->record.selected != 0) {
        requests[static_cast<size_t>(outputOf(entry->record))] = true;
      }
    }
  }
  driveOutputs(requests);

  if (any && !wasAlarm_ && settings_.store && settings_.recordCheck && !recording_) {
    recording_ = recordFormOf(settings_.recordSelection);
    send(StartRecording{ActionSource::Alarm, *recording_});
  } else if (!any && recording_) {
    send(StopRecording{ActionSource::Alarm, *recording_});
    recording_.reset();
  }

  if (any && !logRunning_ && settings_.exportObjects && settings_.store) {
    logRunning_ = true;
    logPasses_ = 0;
    send(StartObjectLog{ActionSource::Alarm});
  } else if (any && logRunning_) {
    if (++logPasses_ >= objectFrame_) {
      logPasses_ = 0;
      send(AppendObjectLogLine{ActionSource::Alarm});
    }
  } else if (!any && logRunning_) {
    logRunning_ = false;
    send(EndObjectLog{ActionSource::Alarm});
  }

  if (any && settings_.oneShot && settings_.store) {
    if (++oneShotPasses_ >= objectFrame_) {
      oneShotPasses_ = 0;
      send(TakeOneShot{ActionSource::Alarm});
    }
  } else {
    oneShotPasses_ = 0;
  }

  setFlashing(any && settings_.display && settings_.flash);

  if (newAlarm && settings_.play && !environmentDialogOpen_ && !settings_.playPath.empty()) {
    soundPlaying_ = true;
    send(StartSound{settings_.playPath, settings_.playLoop});
  } else if (!any && soundPlaying_) {
    soundPlaying_ = false;
    send(StopSound{});
  }

  wasAlarm_ = any;
}

void AlarmMonitor::driveOutputs(const std::array<bool, 2>& requests) {
  // Offline, nothing can be sent; the difference is made good once the camera is back.
  if (!camera_) return;
  for (size_t output = 0; output < requests.size(); ++output) {
    if (requests[output] != cameraOutputs_[output]) sendOutput(output, requests[output]);
  }
}

void AlarmMonitor::sendOutput(size_t output, bool on) {
  int16_t value = kDigitalOutputOff;
  if (on) value = camera_ == CameraFamily::Ks ? kDigitalOutputOnKs : kDigitalOutputOnKt;
  send(SendDigitalOutput{kOutputSettingIds[output], value, {0, 0, 0}});
  cameraOutputs_[output] = on;
}

void AlarmMonitor::endEverything(bool bothOutputsOff) {
  for (auto& [key, state] : states_) {
    if (state.alarmFlag) send(SetAlarmFlag{key.first, key.second, false, colours()});
    state = {};
  }
  if (camera_) {
    for (size_t output = 0; output < cameraOutputs_.size(); ++output) {
      if (bothOutputsOff || cameraOutputs_[output]) sendOutput(output, false);
    }
  }
  if (recording_) {
    send(StopRecording{ActionSource::Alarm, *recording_});
    recording_.reset();
  }
  if (logRunning_) {
    logRunning_ = false;
    send(EndObjectLog{ActionSource::Alarm});
  }
  oneShotPasses_ = 0;
  setFlashing(false);
  if (soundPlaying_) {
    soundPlaying_ = false;
    send(StopSound{});
  }
  wasAlarm_ = false;
}

void AlarmMonitor::setFlashing(bool on) {
  if (on == flashing_) return;
  flashing_ = on;
  send(Flash{on});
}

}  // namespace solvane::alarm
