// How a camera's raw pixels become temperatures: through the KS calibration of the frame, or
// through the temperature table of the range. Chosen once per camera.
#pragma once

#include <irdex.h>

#include <cstdint>
#include <memory>

namespace solvane {

class TemperatureSource {
 public:
  virtual ~TemperatureSource() = default;
  virtual SdkStatus mapToGrey(uint8_t* grey, const IRFrame& frame, int32_t count,
                              const float* table, EnvParams env, float* level, float* span,
                              AgcParams* agc) const = 0;
  virtual SdkStatus regionStatistics(const IRFrame& frame, uint32_t size, const float* table,
                                     EnvParams env, RoiRect region, RoiTempStats* stats,
                                     int32_t* minPos, int32_t* maxPos) const = 0;
  // False when the source has nothing to convert with (a KT camera without its table).
  virtual bool temperatures(const IRFrame& frame, uint32_t size, const float* table, EnvParams env,
                            float* out) const = 0;
};

std::unique_ptr<TemperatureSource> temperatureSourceFor(bool ks);

}  // namespace solvane
