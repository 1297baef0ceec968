#include "alarm/alarm_state_machine.h"

#include <cmath>

namespace solvane::alarm {
namespace {

void countOrReach(GenerationRecord& generation, int32_t limit, bool& reached) {
  if (generation.count >= limit) {
    generation.count = 0;
    reached = true;
  } else {
    ++generation.count;
    reached = false;
  }
}

}  // namespace

bool meetsCondition(AlarmCondition condition, float measured, float limitCelsius) {
  // A pixel or region without a valid reading must not count towards an alarm: with the
  // plain "m < T resets" test a NaN would count as above every limit.
  if (!std::isfinite(measured)) return false;
  return condition == AlarmCondition::Below ? measured <= limitCelsius : measured >= limitCelsius;
}

AlarmStep stepAlarm(GenerationRecord& generation, bool& alarmFlag, AlarmCondition condition,
                    float measured, float limitCelsius, const AlarmFrameCounts& counts) {
  AlarmStep step;
  // Records read back from an object file may hold anything; start from a valid place.
  generation.state = static_cast<int32_t>(stateOf(generation));
  if (generation.count < 0) generation.count = 0;
  const bool meets = meetsCondition(condition, measured, limitCelsius);
  bool reached = false;
  switch (stateOf(generation)) {
    case AlarmState::Idle:
      if (!meets) {
        generation.count = 0;
        break;
      }
      countOrReach(generation, counts.threshold, reached);
      if (reached) {
        generation.state = static_cast<int32_t>(AlarmState::InAlarm);
        alarmFlag = true;
        step.raised = true;
      }
      break;
    case AlarmState::InAlarm:
      if (meets) {
        generation.count = 0;
        break;
      }
      countOrReach(generation, counts.delay, reached);
      if (reached) {
        generation.state = static_cast<int32_t>(AlarmState::HoldOff);
        alarmFlag = false;
        step.ended = true;
      }
      break;
    case AlarmState::HoldOff:
      countOrReach(generation, counts.interval, reached);
      if (reached) generation.state = static_cast<int32_t>(AlarmState::Idle);
      break;
  }
  return step;
}

}  // namespace solvane::alarm
