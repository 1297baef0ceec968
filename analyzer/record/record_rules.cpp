#include "record/record_rules.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <limits>

namespace solvane::record {

std::optional<RecordForm> recordFormOf(int32_t selection) {
  switch (selection) {
    case 0: return RecordForm::Raw;
    case 1: return RecordForm::Avi;
    case 2: return RecordForm::Csv;
    default: return std::nullopt;
  }
}

LocalTime currentLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                   parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

std::string recordingFileName(const std::string& savePath, const std::string& cameraName,
                              const LocalTime& time, const std::string& extension) {
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "_%s_%04d%02d%02d%02d%02d%02d.", kRecordingTag, time.year,
                time.month, time.day, time.hour, time.minute, time.second);
  std::string name = savePath;
  if (!name.empty() && name.back() != '/') name += '/';
  return name + cameraName + stamp + extension;
}

std::string freeFileName(const std::string& name) {
  std::error_code ignored;
  if (!std::filesystem::exists(name, ignored)) return name;
  const std::filesystem::path path(name);
  const std::string stem = (path.parent_path() / path.stem()).string();
  const std::string extension = path.extension().string();
  for (int n = 2;; ++n) {
    std::string candidate = stem + "_" + std::to_string(n) + extension;
    if (!std::filesystem::exists(candidate, ignored)) return candidate;
  }
}

int32_t decimationFor(int32_t condition, int32_t period, int32_t unit, float cameraFrameRate,
                      int32_t displayDivisor) {
  if (condition == 0) return 1;
  if (condition == 1) return 2;
  static constexpr int64_t kUnitSeconds[] = {1, 60, 3600, 86400};
  const int64_t factor = unit >= 0 && unit <= 3 ? kUnitSeconds[unit] : 1;
  const int64_t frames = static_cast<int64_t>(cameraFrameRate) * period * factor;
  const int64_t divisor = displayDivisor >= 0 ? int64_t{displayDivisor} + 1 : 1;
  const int64_t kept = frames / divisor;
  if (kept < 1) return 1;
  return kept > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                    : static_cast<int32_t>(kept);
}

int32_t timeValueOf(std::chrono::nanoseconds interval) {
  constexpr int64_t kUnitNanoseconds = 10'000;  // the field counts 10 us steps
  const int64_t units = interval.count() / kUnitNanoseconds;
  if (units < 0) return 0;
  if (units > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(units);
}

int32_t RecordTimer::next(Clock::time_point now) {
  const int32_t value = last_ ? timeValueOf(now - *last_) : 0;
  last_ = now;
  return value;
}

int32_t streamVersionFor(int32_t cameraType) { return cameraType >= 2 ? 32 : 17; }

RecordCommandState recordCommands(bool live, bool streamFileOpen, bool recording, RecordKind kind) {
  RecordCommandState state;
  state.record = live || streamFileOpen;
  state.stop = recording && kind == RecordKind::User;
  return state;
}

std::string imageSizeText(int32_t width, int32_t height) {
  char text[64];
  std::snprintf(text, sizeof text, "( %d * %d * 8b )", width, height);
  return text;
}

std::string fileWindowTitle(const std::string& fileTitle) {
  return std::string(kPlainWindowTitle) + " - " + fileTitle;
}

}  // namespace solvane::record
