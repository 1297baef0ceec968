#include "imaging/corrected.h"

namespace irdex::imaging {

CorrectedCounts::CorrectedCounts(const IRFrame& frame, const EnvParams& params, const float* table)
    : version_(IRFrameVersion(&frame)),
      highRange_(IRFrameRangeIndex(&frame) == 1),
      gain_(temperature::gainFor(IRFrameModel(&frame), params, table)) {}

uint16_t CorrectedCounts::operator()(uint16_t count) const {
  const float g = gain_.gain;
  const float reflected = (g - 1.0f) * gain_.reflected;
  if (version_ <= 16) {
    return static_cast<uint16_t>(
        temperature::tableIndex((static_cast<float>(count) + reflected) / g));
  }
  if (version_ <= 31) {
    float celsius;
    float code;
    if (highRange_) {
      // Range 1 in double, rounded to float before it is encoded again.
      celsius = static_cast<float>((static_cast<double>(count) * 0.1 - 30.0 + reflected) / g);
      code = (celsius + 30.0f) * 10.0f;
    } else {
      // Range 0 wholly in single precision.
      celsius = (static_cast<float>(count) * 0.01f - 30.0f + reflected) / g;
      code = (celsius + 30.0f) * 100.0f;
    }
    // A code beyond the 16-bit counts is held at the nearest end instead of wrapping round.
    return static_cast<uint16_t>(temperature::tableIndex(code));
  }
  return count;
}

void CorrectedCounts::fill(uint16_t* map, int32_t lowest, int32_t highest) const {
  for (int32_t n = lowest; n <= highest; ++n) map[n] = (*this)(static_cast<uint16_t>(n));
}

float RadianceLevels::toWindowLevel(float level) const {
  return temperature::inverseRadianceCorrection(level, params_);
}

float RadianceLevels::toReportedLevel(float level) const {
  return temperature::radianceCorrection(level, params_);
}

}  // namespace irdex::imaging
