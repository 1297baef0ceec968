#include "alarm/alarm_record.h"

namespace solvane::alarm {

AlarmResult resultOf(const AlarmRecord& record) {
  if (record.result < 0 || record.result > static_cast<int32_t>(AlarmResult::Average)) {
    return AlarmResult::Value;
  }
  return static_cast<AlarmResult>(record.result);
}

AlarmCondition conditionOf(const AlarmRecord& record) {
  return record.condition == static_cast<int32_t>(AlarmCondition::Below) ? AlarmCondition::Below
                                                                         : AlarmCondition::Above;
}

AlarmOutput outputOf(const AlarmRecord& record) {
  return record.output == static_cast<int32_t>(AlarmOutput::Alarm2) ? AlarmOutput::Alarm2
                                                                    : AlarmOutput::Alarm1;
}

AlarmState stateOf(const GenerationRecord& generation) {
  if (generation.state < 0 || generation.state > static_cast<int32_t>(AlarmState::HoldOff)) {
    return AlarmState::Idle;
  }
  return static_cast<AlarmState>(generation.state);
}

const char* resultCaption(AlarmResult result) {
  switch (result) {
    case AlarmResult::Minimum: return "Min.";
    case AlarmResult::Maximum: return "Max.";
    case AlarmResult::Average: return "Average";
    case AlarmResult::Value: break;
  }
  return "Value";
}

const char* conditionCaption(AlarmCondition condition) {
  return condition == AlarmCondition::Below ? "Below" : "Above";
}

const char* outputCaption(AlarmOutput output) {
  return output == AlarmOutput::Alarm2 ? "Alarm2" : "Alarm1";
}

}  // namespace solvane::alarm
