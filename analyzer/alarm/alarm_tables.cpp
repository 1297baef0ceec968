#include "alarm/alarm_tables.h"

#include <algorithm>
#include <utility>

namespace solvane::alarm {

const AlarmEntry* AlarmTable::find(int32_t objectId) const {
  const auto it = std::find_if(entries_.begin(), entries_.end(),
                               [objectId](const AlarmEntry& e) { return e.record.id == objectId; });
  return it == entries_.end() ? nullptr : &*it;
}

AlarmEntry* AlarmTable::find(int32_t objectId) {
  return const_cast<AlarmEntry*>(std::as_const(*this).find(objectId));
}

AlarmEntry* AlarmTable::ensure(int32_t objectId, const std::string& name) {
  if (AlarmEntry* existing = find(objectId)) return existing;
  if (entries_.size() >= kCapacity) return nullptr;
  entries_.push_back({defaultAlarmRecord(objectId), name});
  return &entries_.back();
}

bool AlarmTable::adopt(const AlarmRecord& record, const std::string& name) {
  if (AlarmEntry* existing = find(record.id)) {
    *existing = {record, name};
    return true;
  }
  if (entries_.size() >= kCapacity) return false;
  entries_.push_back({record, name});
  return true;
}

void AlarmTable::remove(int32_t objectId) {
  std::erase_if(entries_, [objectId](const AlarmEntry& e) { return e.record.id == objectId; });
}

std::vector<AlarmListRow> alarmListRows(const AlarmTables& tables) {
  std::vector<AlarmListRow> rows;
  for (const AlarmEntry& entry : tables.areas.entries()) {
    rows.push_back({ObjectKind::Area, entry.record.id, entry.record.id + kAreaListIdOffset, entry});
  }
  for (const AlarmEntry& entry : tables.spots.entries()) {
    rows.push_back({ObjectKind::Spot, entry.record.id, entry.record.id, entry});
  }
  return rows;
}

std::string valueColumnHeader(int32_t tempUnit) {
  switch (tempUnit) {
    case 1: return "Value(\u00B0F)";
    case 2: return "Value(K)";
    default: return "Value(\u00B0C)";
  }
}

std::optional<UserMessage> applyEdit(AlarmTables& tables, std::optional<RowKey> selected,
                                     const AlarmEdit& edit) {
  AlarmEntry* entry = selected ? tables.of(selected->kind).find(selected->objectId) : nullptr;
  if (entry == nullptr) {
    return UserMessage{"Please, select an item in the alarm list!", "Warning!!!"};
  }
  // A spot has one value only; the page offers nothing else for it.
  const AlarmResult result = selected->kind == ObjectKind::Spot ? AlarmResult::Value : edit.result;
  entry->record.result = static_cast<int32_t>(result);
  entry->record.condition = static_cast<int32_t>(edit.condition);
  entry->record.output = static_cast<int32_t>(edit.output);
  entry->record.value = edit.valueCelsius;
  return std::nullopt;
}

bool setArmed(AlarmTables& tables, RowKey row, bool armed) {
  AlarmEntry* entry = tables.of(row.kind).find(row.objectId);
  if (entry == nullptr) return false;
  entry->record.selected = armed ? 1 : 0;
  return true;
}

}  // namespace solvane::alarm
