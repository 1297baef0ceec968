#include "export/object_log.h"

#include <chrono>

#include "export/fixed_format.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace solvane::exports {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool appendText(const std::string& path, const std::string& text) {
  File file(std::fopen(path.c_str(), "a+"));
  if (!file) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
  return std::fclose(file.release()) == 0 && written;
}

void appendValue(std::string& line, float value) {
  char buffer[kMaxTwoDecimalsChars];
  line.append(buffer, formatTwoDecimals(value, buffer));
  line += ',';
}

const ObjectStatistics* find(std::span<const ObjectStatistics> results, int32_t id) {
  for (const auto& result : results) {
    if (result.id == id) return &result;
  }
  return nullptr;
}

}  // namespace

bool ObjectSelection::add(int32_t id, std::string name, ObjectKind kind) {
  if (contains(id)) return false;
  auto& list = kind == ObjectKind::Spot ? spots_ : areas_;
  if (list.size() >= kMaxSelectedPerKind) return false;
  list.push_back(Entry{id, std::move(name)});
  return true;
}

bool ObjectSelection::remove(int32_t id) {
  for (auto* list : {&spots_, &areas_}) {
    const auto it =
        std::find_if(list->begin(), list->end(), [id](const Entry& e) { return e.id == id; });
    if (it != list->end()) {
      list->erase(it);
      return true;
    }
  }
  return false;
}

bool ObjectSelection::contains(int32_t id) const {
  const auto has = [id](const std::vector<Entry>& list) {
    return std::any_of(list.begin(), list.end(), [id](const Entry& e) { return e.id == id; });
  };
  return has(spots_) || has(areas_);
}

std::size_t ObjectSelection::count(ObjectKind kind) const {
  return kind == ObjectKind::Spot ? spots_.size() : areas_.size();
}

std::string objectLogHeader(const ObjectSelection& selection) {
  std::string header = "Time,";
  for (const auto& spot : selection.spots()) header += spot.name + ",";
  for (const auto& area : selection.areas()) {
    header +=
        area.name + "[Min]," + area.name + "[Max]," + area.name + "[Aver]," + area.name + "[Std],";
  }
  header += "\n";
  return header;
}

std::string objectLogLine(const ObjectSelection& selection,
                          std::span<const ObjectStatistics> results, const std::tm& localTime,
                          int milliseconds) {
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%02d/%02d/%4d %02d:%02d:%02d:%03d,", localTime.tm_mon + 1,
                localTime.tm_mday, localTime.tm_year + 1900, localTime.tm_hour, localTime.tm_min,
                localTime.tm_sec, milliseconds);
  std::string line = stamp;
  const ObjectStatistics none{};
  for (const auto& spot : selection.spots()) {
    const ObjectStatistics* result = find(results, spot.id);
    appendValue(line, (result ? *result : none).temperature);
  }
  for (const auto& area : selection.areas()) {
    const ObjectStatistics& r = [&]() -> const ObjectStatistics& {
      const ObjectStatistics* found = find(results, area.id);
      return found ? *found : none;
    }();
    appendValue(line, r.minimum);
    appendValue(line, r.maximum);
    appendValue(line, r.average);
    appendValue(line, r.deviation);
  }
  line.back() = '\n';
  return line;
}

LogOutcome ObjectLog::start(const std::string& savePath, const std::string& cameraName,
                            ObjectSelection selection, const std::tm& localTime) {
  running_ = false;
  if (selection.empty()) return LogOutcome::NothingSelected;
  path_ = exportFileName(savePath, cameraName, kind_, localTime);
  selection_ = std::move(selection);
  if (!appendText(path_, objectLogHeader(selection_))) return LogOutcome::CannotCreate;
  lineCounter_ = 0;
  running_ = true;
  return LogOutcome::Started;
}

LogOutcome ObjectLog::onMeasurementPass(std::span<const ObjectStatistics> results, int objectFrame,
                                        const std::tm& localTime, int milliseconds) {
  if (!running_) return LogOutcome::NotRunning;
  if (++lineCounter_ < std::max(objectFrame, 1)) return LogOutcome::NotDue;
  lineCounter_ = 0;
  if (!appendText(path_, objectLogLine(selection_, results, localTime, milliseconds))) {
    // One message, not one per frame: the log stops.
    running_ = false;
    return LogOutcome::WriteFailed;
  }
  return LogOutcome::Appended;
}

LogTime logTimeNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  LogTime time;
  localtime_r(&seconds, &time.local);
  time.milliseconds = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  return time;
}

}  // namespace solvane::exports
