// Counts and temperatures of the camera generations, as the AGC window needs them. The
// temperature code scale of versions 17 to 31 lives in agc.h; these read the temperature
// area's tables.
#pragma once

#include <irdex.h>

#include "imaging/agc.h"

namespace irdex::ks {
struct KSRangeCal;
}

namespace irdex::imaging {

// Versions 0 to 16: the caller's TempMapTable; the count of a temperature is the
// reflection-count rule.
class TableScale final : public CountScale {
 public:
  explicit TableScale(const float* table) : table_(table) {}
  float temperature(int32_t count) const override;
  int32_t count(float celsius) const override;
  float bottomTemperature() const override { return -20.0f; }
  int32_t bottomCount(float level) const override { return count(level); }

 private:
  const float* table_;
};

// Version 32: the library's built-in KS tables, counts 2000 to 14000.
class BuiltInScale final : public CountScale {
 public:
  explicit BuiltInScale(uint8_t rangeIndex) : rangeIndex_(rangeIndex) {}
  float temperature(int32_t count) const override;
  int32_t count(float celsius) const override;
  float bottomTemperature() const override { return rangeIndex_ == 1 ? -10.0f : -30.0f; }
  int32_t bottomCount(float /*level*/) const override;
  void limit(CountWindow& window) const override;

 private:
  uint8_t rangeIndex_;
};

// Version 33 and above: the calibration of the frame's range in its KS slot.
class CalibratedScale final : public CountScale {
 public:
  CalibratedScale(const KSCameraData& slot, const ks::KSRangeCal& range, int rangeIndex)
      : slot_(slot), range_(range), rangeIndex_(rangeIndex) {}
  float temperature(int32_t count) const override;
  int32_t count(float celsius) const override;
  float bottomTemperature() const override;
  int32_t bottomCount(float level) const override;
  void limit(CountWindow& window) const override;

 private:
  const KSCameraData& slot_;
  const ks::KSRangeCal& range_;
  int rangeIndex_;
};

}  // namespace irdex::imaging
