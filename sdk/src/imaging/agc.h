// Automatic gain control: which stretch of counts (the window) becomes the grey scale, and
// how the window is reported back as level and span in degrees Celsius.
#pragma once

#include <irdex.h>

#include <cstdint>

#include "imaging/histogram.h"

namespace irdex::imaging {

enum InputMethod : int32_t {
  kMinMax = 0,
  kBrightnessRate = 1,
  kStandardDeviation = 2,
  kAutoBright = 3,
  kCoreWindow = 4,  // offered by the corrected renderings only
};

enum OutputMethod : int32_t {
  kLinear = 0,
  kNonLinear = 1,  // also every value without a meaning of its own
  kTPE = 2,
  kAPE = 3,
  kSAPE = 4,
};

inline constexpr float kMinimumSpan = 6.0f;

// The caller's packed AgcParams as plain fields.
struct AgcSettings {
  bool manual = false;
  int32_t inputMethod = kStandardDeviation;
  int32_t outputMethod = kLinear;
  float brightnessRate = 0.01f;
  float sdRate = 5.0f;
  uint8_t intercept = 0;
  float gamma = 1.0f;
  int32_t plateau = 100;
  float epsilon = 0.5f;
  float psi = 0.3f;
  float prevPlateau = 0.0f;
};
AgcSettings readAgcParams(const AgcParams& params);

// The chosen stretch of counts. coreLo and coreHi matter to the core window only; elsewhere
// they equal lo and hi.
struct CountWindow {
  int32_t lo = 0;
  int32_t hi = 0;
  int32_t coreLo = 0;
  int32_t coreHi = 0;
  bool core = false;
};

// Counts and temperatures of one frame's camera generation.
class CountScale {
 public:
  virtual ~CountScale() = default;
  virtual float temperature(int32_t count) const = 0;
  virtual int32_t count(float celsius) const = 0;
  // Flat-image rule: a level at or below the range bottom puts lo at bottomCount(level).
  virtual float bottomTemperature() const = 0;
  virtual int32_t bottomCount(float level) const = 0;
  // Window limits of the generation (none by default).
  virtual void limit(CountWindow& window) const;
  // Level and span of an automatic window.
  virtual void report(const CountWindow& window, float& level, float& span) const;
};

// Versions 17 to 31: counts are temperature codes in 0.01 degrees (0.1 in range 1) above
// -30 degrees Celsius.
class TemperatureCodeScale final : public CountScale {
 public:
  explicit TemperatureCodeScale(uint8_t rangeIndex) : highRange_(rangeIndex == 1) {}
  float temperature(int32_t count) const override;
  int32_t count(float celsius) const override;
  float bottomTemperature() const override { return -20.0f; }
  int32_t bottomCount(float level) const override { return count(level); }
  void limit(CountWindow& window) const override;
  void report(const CountWindow& window, float& level, float& span) const override;

 private:
  double step() const { return highRange_ ? 0.1 : 0.01; }
  bool highRange_;
};

// Turns a level handed in by the caller into the level its window is built from, and the
// level of an automatic window into the level reported (the KS corrected rendering).
class LevelTransform {
 public:
  virtual ~LevelTransform() = default;
  virtual float toWindowLevel(float level) const = 0;
  virtual float toReportedLevel(float level) const = 0;
};

// Automatic window of an input method on the histogram (Auto Bright reads the caller's span
// and the scale). `allowCoreWindow` admits input method 4; otherwise it is an unknown method.
CountWindow automaticWindow(const CountHistogram& histogram, const AgcSettings& settings,
                            const CountScale& scale, float span, bool allowCoreWindow);

// The whole window step: manual or automatic selection, the flat-image rule, the limits and
// level and span written back (span at least 6.0). `histogram` may be null in manual mode.
CountWindow chooseWindow(const CountHistogram* histogram, const AgcSettings& settings,
                         const CountScale& scale, float& level, float& span, bool allowCoreWindow,
                         const LevelTransform* transform = nullptr);

// A float count truncated toward zero, with values beyond int32 saturated and a value that
// is not a number taken as 0.
int32_t truncateCount(double value);

}  // namespace irdex::imaging
