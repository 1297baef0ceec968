#include "region_alarm.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace irsim {

namespace {
constexpr int kFirstRegionCode = 11;
constexpr int kRegionCount = 10;
enum class Whole { Maximum = 0, Minimum = 1, Average = 2, Centre = 3 };
}  // namespace

RegionAlarmConfig parseRegionAlarm(uint16_t value, uint32_t word1, uint32_t word2) {
  RegionAlarmConfig c;
  c.modeCode = value;
  c.enabled = (word1 >> 24) != 0;
  c.output = static_cast<int>((word1 >> 16) & 0xFF);
  c.condition = static_cast<int>((word1 >> 8) & 0xFF);
  c.delaySeconds = static_cast<int>(word2 >> 16);
  c.tenths = static_cast<int16_t>(word2 & 0xFFFF);
  return c;
}

std::optional<float> watchedTemperature(const RegionAlarmConfig& config, const Scene& scene,
                                        uint64_t tick, std::span<const CameraRegion, 10> regions,
                                        int width, int height) {
  int left = 0, top = 0, right = width, bottom = height;
  bool hottest = config.condition == 0;
  if (config.modeCode >= kFirstRegionCode && config.modeCode < kFirstRegionCode + kRegionCount) {
    const CameraRegion& r = regions[static_cast<size_t>(config.modeCode - kFirstRegionCode)];
    if (r.mode == 0) return std::nullopt;
    left = r.x;
    top = r.y;
    right = r.mode == 1 ? r.x + 1 : r.x + std::max(1, r.w);
    bottom = r.mode == 1 ? r.y + 1 : r.y + std::max(1, r.h);
  } else if (config.modeCode == static_cast<int>(Whole::Centre)) {
    return scene.temperatureAt(width / 2, height / 2, tick);
  } else if (config.modeCode == static_cast<int>(Whole::Maximum)) {
    hottest = true;
  } else if (config.modeCode == static_cast<int>(Whole::Minimum)) {
    hottest = false;
  } else if (config.modeCode != static_cast<int>(Whole::Average)) {
    return std::nullopt;
  }
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width);
  bottom = std::min(bottom, height);
  if (left >= right || top >= bottom) return std::nullopt;
  double sum = 0;
  float most = hottest ? std::numeric_limits<float>::lowest() : std::numeric_limits<float>::max();
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      const float t = scene.temperatureAt(x, y, tick);
      sum += t;
      most = hottest ? std::max(most, t) : std::min(most, t);
    }
  }
  if (config.modeCode == static_cast<int>(Whole::Average))
    return static_cast<float>(sum / (static_cast<double>(right - left) * (bottom - top)));
  return most;
}

std::optional<std::string> RegionAlarmWatch::step(std::optional<float> watched) {
  if (!config_.enabled || !watched) {
    raised_ = false;
    return std::nullopt;
  }
  const float set = static_cast<float>(config_.tenths) / 10.0f;
  const bool alarm = config_.condition == 0 ? *watched > set : *watched < set;
  if (alarm == raised_) return std::nullopt;
  raised_ = alarm;
  if (!alarm) return std::nullopt;
  char note[96];
  std::snprintf(note, sizeof note, "region alarm mode %d %s %.1f: %.1f, output %d",
                config_.modeCode, config_.condition == 0 ? "above" : "below",
                static_cast<double>(set), static_cast<double>(*watched), config_.output);
  return note;
}

}  // namespace irsim
