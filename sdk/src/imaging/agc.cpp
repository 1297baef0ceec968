#include "imaging/agc.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace irdex::imaging {
namespace {

// Tails cut by the percentile methods, as fractions of the pixel count.
constexpr float kMinMaxCut = 0.001f;
constexpr float kCoreWindowCut = 0.02f;
// A core-window bin holding more pixels than this belongs to the dense core.
constexpr uint32_t kDenseBin = 100;
// Below this variance (counts squared) the frame counts as flat noise.
constexpr float kFlatVariance = 10.0f;

// lo: the first bin at which the running sum from the bottom reaches `cut`; hi: the bin at
// which the sum from the top reaches it. A cut beyond the pixel count is never reached and
// leaves the whole count range.
void percentileWindow(const CountHistogram& histogram, float cut, int32_t& lo, int32_t& hi) {
  lo = 0;
  hi = kCountBins - 1;
  if (!(cut > 0.0f)) return;  // reached at the first bin from either end
  if (histogram.empty()) return;
  uint32_t sum = 0;
  for (int32_t n = histogram.lowest; n <= histogram.highest; ++n) {
    sum += histogram.bins[n];
    if (static_cast<float>(sum) >= cut) {
      lo = n;
      break;
    }
  }
  sum = 0;
  for (int32_t n = histogram.highest; n >= histogram.lowest; --n) {
    sum += histogram.bins[n];
    if (static_cast<float>(sum) >= cut) {
      hi = n;
      break;
    }
  }
}

// Mean and variance of the counts, accumulated with every bin scaled by 1e-5 as the
// window rules prescribe (the rounding of the reported window depends on it).
struct Moments {
  float mean = 0.0f;
  float variance = 0.0f;
};

Moments histogramMoments(const CountHistogram& histogram) {
  Moments moments;
  if (histogram.empty()) return moments;
  double first = 0.0;
  double second = 0.0;
  for (int32_t n = histogram.lowest; n <= histogram.highest; ++n) {
    const uint32_t bin = histogram.bins[n];
    if (bin == 0) continue;  // adding zero changes neither sum
    const double count = static_cast<double>(n);
    first += count * static_cast<double>(bin) * 1e-5;
    second += count * count * static_cast<double>(bin) * 1e-5;
  }
  const double pixels = static_cast<double>(histogram.total);
  moments.mean = static_cast<float>(first / pixels * 100000.0);
  const double mean = moments.mean;
  moments.variance = static_cast<float>(second / pixels * 100000.0 - mean * mean);
  if (moments.variance < kFlatVariance) moments.variance = 0.0f;
  return moments;
}

void coreWindow(const CountHistogram& histogram, CountWindow& window) {
  percentileWindow(histogram, static_cast<float>(histogram.total) * kCoreWindowCut, window.lo,
                   window.hi);
  window.core = true;
  window.coreLo = window.lo;
  window.coreHi = window.hi;
  const int32_t from = std::max(window.lo, histogram.lowest);
  const int32_t to = std::min(window.hi, histogram.highest);
  for (int32_t n = from; n <= to; ++n) {
    if (histogram.bins[n] > kDenseBin) {
      window.coreLo = n;
      break;
    }
  }
  for (int32_t n = to; n >= from; --n) {
    if (histogram.bins[n] > kDenseBin) {
      window.coreHi = n;
      break;
    }
  }
}

}  // namespace

AgcSettings readAgcParams(const AgcParams& params) {
  AgcSettings settings;
  settings.manual = params.manual != 0;
  settings.inputMethod = params.inputMethod;
  settings.outputMethod = params.outputMethod;
  settings.brightnessRate = params.brightnessRate;
  settings.sdRate = params.sdRate;
  settings.intercept = params.intercept;
  settings.gamma = params.gamma;
  settings.plateau = params.plateau;
  settings.epsilon = params.epsilon;
  settings.psi = params.psi;
  settings.prevPlateau = params.prevPlateau;
  return settings;
}

int32_t truncateCount(double value) {
  if (!(value == value)) return 0;
  if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
    return std::numeric_limits<int32_t>::min();
  }
  if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
    return std::numeric_limits<int32_t>::max();
  }
  return static_cast<int32_t>(value);
}

void CountScale::limit(CountWindow& /*window*/) const {}

void CountScale::report(const CountWindow& window, float& level, float& span) const {
  const float low = temperature(window.lo);
  span = temperature(window.hi) - low;
  level = low + span / 2.0f;
}

float TemperatureCodeScale::temperature(int32_t count) const {
  return static_cast<float>(static_cast<double>(count) * step() - 30.0);
}

int32_t TemperatureCodeScale::count(float celsius) const {
  const float perDegree = highRange_ ? 10.0f : 100.0f;
  return truncateCount((celsius + 30.0f) * perDegree);
}

void TemperatureCodeScale::limit(CountWindow& window) const {
  window.hi = std::min(window.hi, highRange_ ? 65000 : 15000);
}

void TemperatureCodeScale::report(const CountWindow& window, float& level, float& span) const {
  const double width = (static_cast<double>(window.hi) - window.lo) * step();
  span = static_cast<float>(width);
  level = static_cast<float>(static_cast<double>(window.lo) * step() - 30.0 + width / 2.0);
}

CountWindow automaticWindow(const CountHistogram& histogram, const AgcSettings& settings,
                            const CountScale& scale, float span, bool allowCoreWindow) {
  CountWindow window;
  const float pixels = static_cast<float>(histogram.total);
  switch (settings.inputMethod) {
    case kMinMax: percentileWindow(histogram, pixels * kMinMaxCut, window.lo, window.hi); break;
    case kBrightnessRate:
      percentileWindow(histogram, pixels * settings.brightnessRate, window.lo, window.hi);
      break;
    case kStandardDeviation: {
      const Moments moments = histogramMoments(histogram);
      const float reach = std::sqrt(moments.variance) * settings.sdRate;
      const float low = moments.mean - reach;
      const float high = moments.mean + reach;
      window.lo = low <= 0.0f ? 0 : truncateCount(low);
      window.hi = high >= 65536.0f ? kCountBins - 1 : truncateCount(high);
      break;
    }
    case kAutoBright: {
      const float level = scale.temperature(truncateCount(histogramMoments(histogram).mean));
      window.lo = scale.count(level - span / 2.0f);
      window.hi = scale.count(level + span / 2.0f);
      break;
    }
    case kCoreWindow:
      if (allowCoreWindow) coreWindow(histogram, window);
      break;
    default: break;  // an empty window: the flat-image rule takes over
  }
  if (!window.core) {
    window.coreLo = window.lo;
    window.coreHi = window.hi;
  }
  return window;
}

CountWindow chooseWindow(const CountHistogram* histogram, const AgcSettings& settings,
                         const CountScale& scale, float& level, float& span, bool allowCoreWindow,
                         const LevelTransform* transform) {
  CountWindow window;
  if (settings.manual || histogram == nullptr) {
    const float centre = transform ? transform->toWindowLevel(level) : level;
    window.lo = scale.count(centre - span / 2.0f);
    window.hi = scale.count(centre + span / 2.0f);
  } else {
    window = automaticWindow(*histogram, settings, scale, span, allowCoreWindow);
    if (settings.inputMethod != kAutoBright && window.lo == window.hi) {
      // A flat frame: a window of the caller's span around the frame's temperature.
      const float centre = scale.temperature(window.hi);
      window.hi = scale.count(centre + span / 2.0f);
      window.lo = centre <= scale.bottomTemperature() ? scale.bottomCount(centre)
                                                      : scale.count(centre - span / 2.0f);
    }
  }
  scale.limit(window);
  if (window.core && window.lo <= window.hi) {
    // The core lies inside the window actually used, whatever moved its ends.
    window.coreLo = std::clamp(window.coreLo, window.lo, window.hi);
    window.coreHi = std::clamp(window.coreHi, window.coreLo, window.hi);
  } else {
    window.core = false;
    window.coreLo = window.lo;
    window.coreHi = window.hi;
  }
  if (!settings.manual && histogram != nullptr) {
    scale.report(window, level, span);
    if (transform) level = transform->toReportedLevel(level);
  }
  if (span < kMinimumSpan) span = kMinimumSpan;
  return window;
}

}  // namespace irdex::imaging
