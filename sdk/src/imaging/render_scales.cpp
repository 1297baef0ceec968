#include "imaging/render_scales.h"

#include <algorithm>
#include <cmath>

#include "temperature/conversion.h"
#include "temperature/ks_calibration.h"

namespace irdex::imaging {
namespace {

// Built-in tables are searched from this count up to (not including) the top count.
constexpr int32_t kBuiltInBottom = 2000;
constexpr int32_t kBuiltInTop = 14000;

uint16_t asCount(int32_t count) {
  return static_cast<uint16_t>(std::clamp(count, 0, kCountBins - 1));
}

}  // namespace

float TableScale::temperature(int32_t count) const { return table_[asCount(count)]; }

int32_t TableScale::count(float celsius) const {
  return temperature::reflectionCount(table_, celsius);
}

float BuiltInScale::temperature(int32_t count) const {
  return temperature::builtInTemp(asCount(count), rangeIndex_);
}

int32_t BuiltInScale::count(float celsius) const {
  if (std::isnan(celsius)) return kBuiltInTop;  // no entry is at or above it
  // The table rises with the count, so the first entry not below the temperature is found
  // by bisection.
  const float* table = temperature::builtInTableFor(rangeIndex_);
  const float* found = std::lower_bound(table + kBuiltInBottom, table + kBuiltInTop, celsius);
  return static_cast<int32_t>(found - table);
}

int32_t BuiltInScale::bottomCount(float /*level*/) const { return kBuiltInBottom; }

void BuiltInScale::limit(CountWindow& window) const {
  window.hi = std::min(window.hi, kBuiltInTop);
  window.lo = std::max(window.lo, kBuiltInBottom);
}

float CalibratedScale::temperature(int32_t count) const {
  return ks::calibratedTemp(slot_, rangeIndex_, asCount(count));
}

int32_t CalibratedScale::count(float celsius) const {
  return ks::calibratedCount(slot_, rangeIndex_, celsius);
}

float CalibratedScale::bottomTemperature() const { return range_.minTemp; }

int32_t CalibratedScale::bottomCount(float /*level*/) const { return range_.minCount; }

void CalibratedScale::limit(CountWindow& window) const {
  window.hi = std::min<int32_t>(window.hi, range_.maxCount);
  window.lo = std::max<int32_t>(window.lo, range_.minCount);
}

}  // namespace irdex::imaging
