// One object's alarm: idle, in alarm, hold-off, stepped once per measurement pass.
#pragma once

#include "alarm/alarm_record.h"
#include "alarm/alarm_settings.h"

namespace solvane::alarm {

// What one pass did to the object.
struct AlarmStep {
  bool raised = false;  // the object entered the alarm on this pass
  bool ended = false;   // the object left the alarm (into hold-off) on this pass
};

// Whether the measurement meets the condition: at or above the limit for "Above", at or
// below it for "Below". A measurement that is not a number meets neither.
bool meetsCondition(AlarmCondition condition, float measured, float limitCelsius);

// Advances the generation record and the alarm flag by one pass.
//  Idle: a pass that does not meet the condition resets the count; one that does raises
//   the alarm once the count has reached the threshold, else counts.
//  In alarm: a pass that meets the condition holds it and resets the count; one that does
//   not ends it once the count has reached the delay, else counts.
//  Hold-off: counts, whatever the measurement, and returns to idle at the interval.
AlarmStep stepAlarm(GenerationRecord& generation, bool& alarmFlag, AlarmCondition condition,
                    float measured, float limitCelsius, const AlarmFrameCounts& counts);

}  // namespace solvane::alarm
