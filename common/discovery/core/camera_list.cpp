#include "discovery/core/camera_list.h"

#include <algorithm>

namespace discovery {

std::string modelDisplayName(std::string_view model) {
  if (model == "KT3") return "RO320";
  if (model == "KT4") return "RU640";
  if (model.starts_with("KS3")) return "VA320";
  if (model.starts_with("KS4")) return "VI640";
  return std::string(model);
}

std::string chooseCameraName(const CameraTxt& camera, std::span<const NameRecord> stored) {
  if (const NameRecord* record = findStoredName(stored, camera.mac)) return record->name;
  if (!camera.name.empty()) return camera.name;
  return modelDisplayName(camera.model);
}

bool CameraList::containsIp(std::string_view ip) const {
  return std::any_of(rows_.begin(), rows_.end(),
                     [&](const CameraRow& row) { return row.ip == ip; });
}

bool CameraList::add(const CameraTxt& camera, std::span<const NameRecord> stored) {
  if (containsIp(camera.ip)) return false;
  const std::size_t row = rows_.size();
  if (observer_ != nullptr) observer_->rowAboutToBeAppended(row);
  rows_.push_back({chooseCameraName(camera, stored), camera.model, camera.ip, camera.mac});
  if (observer_ != nullptr) observer_->rowAppended(row);
  return true;
}

void CameraList::clear() {
  if (observer_ != nullptr) observer_->rowsAboutToBeCleared();
  rows_.clear();
  if (observer_ != nullptr) observer_->rowsCleared();
}

void CameraList::rename(std::size_t row, std::string name) {
  if (row >= rows_.size()) return;
  rows_[row].name = std::move(name);
  if (observer_ != nullptr) observer_->rowChanged(row);
}

std::vector<NameRecord> CameraList::nameRecords() const {
  std::vector<NameRecord> records;
  records.reserve(rows_.size());
  for (const CameraRow& row : rows_) records.push_back({row.mac, row.name});
  return records;
}

}  // namespace discovery
