// The camera's own region alarm (setting 0x0421): which temperature it watches, and when
// the watched temperature crosses the set one.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "frame_builder.h"
#include "scene.h"

namespace irsim {

struct RegionAlarmConfig {
  int modeCode = 0;  // 0 maximum, 1 minimum, 2 average, 3 centre, 11..20 region 1..10
  bool enabled = false;
  int output = 0;
  int condition = 0;  // 0 above, 1 below
  int delaySeconds = 0;
  int16_t tenths = 0;
};

RegionAlarmConfig parseRegionAlarm(uint16_t value, uint32_t word1, uint32_t word2);

// The temperature the alarm compares for the frame at `tick`: for a region, its hottest
// pixel when the alarm is "Above" and its coldest when "Below". Nothing for a region that
// is off or lies outside the picture.
std::optional<float> watchedTemperature(const RegionAlarmConfig& config, const Scene& scene,
                                        uint64_t tick, std::span<const CameraRegion, 10> regions,
                                        int width, int height);

// Reports each time the watched temperature goes over to the alarm side, once per crossing.
class RegionAlarmWatch {
 public:
  void set(const RegionAlarmConfig& config) {
    config_ = config;
    raised_ = false;
  }
  const RegionAlarmConfig& config() const { return config_; }
  // The log note of a crossing, when this frame's temperature makes one.
  std::optional<std::string> step(std::optional<float> watched);

 private:
  RegionAlarmConfig config_;
  bool raised_ = false;
};

}  // namespace irsim
