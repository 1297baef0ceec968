// Grey mappings: the grey level of every count of a window. A frame has 16-bit counts, so
// each render fills a table for the counts present and the pixel pass is one look-up.
#pragma once

#include <cstdint>

#include "imaging/agc.h"

namespace irdex::imaging {

// Grey level of one count under the settings' output method. For TPE, APE and SAPE this is
// the linear pre-mapping the equalisation then works on.
class GreyMapping {
 public:
  GreyMapping(const CountWindow& window, const AgcSettings& settings);
  uint8_t operator()(int32_t count) const;

 private:
  enum class Kind { kLinear, kCoreLinear, kNonLinear, kPremap };
  uint8_t coreLinear(int32_t count) const;

  Kind kind_;
  CountWindow window_;
  double diff_;
  float linearFactor_ = 0.0f;
  float intercept_ = 0.0f;
  float gamma_ = 1.0f;
  double powerFactor_ = 0.0;
  // Core-window segments: grey levels at the core ends and the rise of each segment.
  double coreLowGrey_ = 0.0;
  double coreHighGrey_ = 0.0;
  double lowRise_ = 0.0;
  double coreRise_ = 0.0;
  double highRise_ = 0.0;
};

// v <= 0 (or not a number) gives 0, v >= 255 gives 255, anything between is truncated.
inline uint8_t clampGrey(double v) {
  if (!(v > 0.0)) return 0;
  if (v >= 255.0) return 255;
  return static_cast<uint8_t>(v);
}

}  // namespace irdex::imaging
