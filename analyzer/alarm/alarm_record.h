// The alarm record every measurement object carries (28 bytes, copied whole between the
// object, the document's alarm tables and the object file) and the generation record that
// holds the object's place in the alarm state machine.
#pragma once

#include <cstddef>
#include <cstdint>

namespace solvane::alarm {

// Which statistic of the object the alarm compares.
enum class AlarmResult : int32_t { Value = 0, Minimum = 1, Maximum = 2, Average = 3 };

enum class AlarmCondition : int32_t { Above = 0, Below = 1 };

// The camera's digital output the alarm drives.
enum class AlarmOutput : int32_t { Alarm1 = 0, Alarm2 = 1 };

// Places of the state machine; the integers are those of "gen_cond" in the object file.
enum class AlarmState : int32_t { Idle = 0, InAlarm = 1, HoldOff = 2 };

#pragma pack(push, 1)
struct AlarmRecord {
  int32_t id = 0;
  // The record's original layout held a 32-bit reference to the object's name here; the
  // name now travels beside the record (AlarmEntry), and the slot keeps the 28-byte width.
  uint32_t nameSlot = 0;
  int32_t result = static_cast<int32_t>(AlarmResult::Value);
  int32_t condition = static_cast<int32_t>(AlarmCondition::Above);
  int32_t output = static_cast<int32_t>(AlarmOutput::Alarm1);
  float value = 20.0f;  // degrees Celsius
  int32_t selected = 0;

  bool operator==(const AlarmRecord&) const = default;
};

struct GenerationRecord {
  int32_t state = static_cast<int32_t>(AlarmState::Idle);
  int32_t count = 0;

  bool operator==(const GenerationRecord&) const = default;
};
#pragma pack(pop)

static_assert(sizeof(AlarmRecord) == 28);
static_assert(offsetof(AlarmRecord, id) == 0);
static_assert(offsetof(AlarmRecord, nameSlot) == 4);
static_assert(offsetof(AlarmRecord, result) == 8);
static_assert(offsetof(AlarmRecord, condition) == 12);
static_assert(offsetof(AlarmRecord, output) == 16);
static_assert(offsetof(AlarmRecord, value) == 20);
static_assert(offsetof(AlarmRecord, selected) == 24);
static_assert(sizeof(GenerationRecord) == 8);
static_assert(offsetof(GenerationRecord, count) == 4);

// The value a fresh record compares against, in degrees Celsius.
inline constexpr float kDefaultAlarmValue = 20.0f;

// The record an object gets on its first measurement pass: its id, everything else at the
// defaults, not armed.
inline AlarmRecord defaultAlarmRecord(int32_t objectId) {
  AlarmRecord record;
  record.id = objectId;
  return record;
}

// Readers of the integer fields that tolerate values written by hand into an object file:
// anything unknown falls back to the first choice rather than indexing past a table.
AlarmResult resultOf(const AlarmRecord& record);
AlarmCondition conditionOf(const AlarmRecord& record);
AlarmOutput outputOf(const AlarmRecord& record);
AlarmState stateOf(const GenerationRecord& generation);

// The captions of the alarm list and its editors.
const char* resultCaption(AlarmResult result);           // "Value", "Min.", "Max.", "Average"
const char* conditionCaption(AlarmCondition condition);  // "Above", "Below"
const char* outputCaption(AlarmOutput output);           // "Alarm1", "Alarm2"

}  // namespace solvane::alarm
