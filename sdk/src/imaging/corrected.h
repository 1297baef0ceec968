// Counts corrected for emissivity, atmosphere and transmission before the AGC runs, so that
// the window and its level and span speak of object temperatures.
#pragma once

#include <irdex.h>

#include <cstdint>

#include "imaging/agc.h"
#include "temperature/conversion.h"

namespace irdex::imaging {

// The corrected count of a raw count, versions 0 to 31 (version 32 keeps its counts).
class CorrectedCounts {
 public:
  CorrectedCounts(const IRFrame& frame, const EnvParams& params, const float* table);
  uint16_t operator()(uint16_t count) const;
  // The corrected count of every raw count from `lowest` to `highest` into map[count].
  void fill(uint16_t* map, int32_t lowest, int32_t highest) const;

 private:
  uint8_t version_;
  bool highRange_;
  temperature::Gain gain_;
};

// Version 33 and above with parameters other than the defaults: the caller's level goes
// through the inverse radiance correction before it becomes a window, and the level of an
// automatic window through the correction before it is reported.
class RadianceLevels final : public LevelTransform {
 public:
  explicit RadianceLevels(const EnvParams& params) : params_(params) {}
  float toWindowLevel(float level) const override;
  float toReportedLevel(float level) const override;

 private:
  EnvParams params_;
};

}  // namespace irdex::imaging
