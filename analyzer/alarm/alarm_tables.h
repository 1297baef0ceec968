// The document's alarm tables: one for spots and one for every other kind of object, 64
// entries each, and the rows the alarm page shows of them.
#pragma once

#include "alarm/alarm_record.h"
#include "alarm/alarm_settings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace solvane::alarm {

// Spots have one value; rectangles, ellipses, lines and polygons (areas) have a minimum,
// maximum and average. The two kinds live in separate tables.
enum class ObjectKind { Spot, Area };

struct AlarmEntry {
  AlarmRecord record;
  std::string name;  // shown as "Function"

  bool operator==(const AlarmEntry&) const = default;
};

class AlarmTable {
 public:
  static constexpr size_t kCapacity = 64;

  const AlarmEntry* find(int32_t objectId) const;
  AlarmEntry* find(int32_t objectId);

  // The object's entry, made with the default record on first sight. Nothing when the
  // table is full: the object then simply carries no alarm.
  AlarmEntry* ensure(int32_t objectId, const std::string& name);

  // Takes a record as the object brings it (for instance from its file); false when the
  // table is full and the object is new.
  bool adopt(const AlarmRecord& record, const std::string& name);

  void remove(int32_t objectId);
  void clear() { entries_.clear(); }

  const std::vector<AlarmEntry>& entries() const { return entries_; }
  size_t count() const { return entries_.size(); }

 private:
  std::vector<AlarmEntry> entries_;
};

struct AlarmTables {
  AlarmTable spots;
  AlarmTable areas;

  AlarmTable& of(ObjectKind kind) { return kind == ObjectKind::Spot ? spots : areas; }
  const AlarmTable& of(ObjectKind kind) const { return kind == ObjectKind::Spot ? spots : areas; }
};

// One row of the alarm list. The list shows area rows with the id + 100 and spot rows with
// the plain id; rows are told apart by kind and object id, because those shown ids can
// coincide (an area 5 and a spot 105).
struct AlarmListRow {
  ObjectKind kind;
  int32_t objectId;
  int32_t shownId;
  AlarmEntry entry;
};

inline constexpr int32_t kAreaListIdOffset = 100;

// Area rows first, then spot rows, each in table order.
std::vector<AlarmListRow> alarmListRows(const AlarmTables& tables);

// The header of the value column for the display unit: 0 Celsius, 1 Fahrenheit, 2 Kelvin.
std::string valueColumnHeader(int32_t tempUnit);

// What the editors of the alarm page hold when "Set" is pressed; the value in degrees
// Celsius (the page converts from the display unit).
struct AlarmEdit {
  AlarmResult result = AlarmResult::Value;
  AlarmCondition condition = AlarmCondition::Above;
  AlarmOutput output = AlarmOutput::Alarm1;
  float valueCelsius = kDefaultAlarmValue;
};

struct RowKey {
  ObjectKind kind;
  int32_t objectId;
};

// Writes the editors into the selected row. With no row selected (or a row whose object
// went away meanwhile) the table is left alone and the page's warning is returned.
std::optional<UserMessage> applyEdit(AlarmTables& tables, std::optional<RowKey> selected,
                                     const AlarmEdit& edit);

// The row's check box: arms or disarms its alarm. False when the row's object is gone.
bool setArmed(AlarmTables& tables, RowKey row, bool armed);

}  // namespace solvane::alarm
