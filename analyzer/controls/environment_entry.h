// The entry rules of the emissivity dialog (and of an object's local environment): emissivity
// and transmission in hundredths, the atmospheric temperature in tenths of the display unit.
// Each value has a step counter (the spin control) and the value that stands (the text field);
// a refused entry leaves both as they were.
#pragma once

#include "controls/refusal.h"
#include "controls/unit_text.h"

#include <irdex.h>

#include <string_view>

namespace solvane::controls {

// Emissivity or atmospheric transmission: steps of 0.01 between 0.01 and 1.00.
class FractionEntry {
 public:
  static constexpr int32_t kMinCounter = 1;
  static constexpr int32_t kMaxCounter = 100;

  explicit FractionEntry(float value = 1.0f);

  float value() const { return value_; }
  int32_t counter() const { return counter_; }

  Refusal step(int32_t delta);
  Refusal type(double typed);
  Refusal typeText(std::string_view text);

 private:
  float value_;
  int32_t counter_;
};

struct TemperatureLimits {
  double lower;
  double upper;
};
// -50..100 °C, -58..212 °F, 223..373 K.
TemperatureLimits atmosphericTempLimits(Unit unit);

// Atmospheric temperature, shown in the display unit and kept in Celsius.
class TemperatureEntry {
 public:
  TemperatureEntry(float celsius, Unit unit);

  Unit unit() const { return unit_; }
  double shown() const { return shown_; }  // in the display unit
  int32_t counter() const { return counter_; }
  float celsius() const { return toCelsius(static_cast<float>(shown_), unit_); }

  Refusal step(int32_t delta);
  Refusal type(double typed);
  Refusal typeText(std::string_view text);

 private:
  Unit unit_;
  double shown_;
  int32_t counter_;
};

// The three values edited together; "Apply" hands env() to the document.
struct EnvironmentEntry {
  EnvironmentEntry(const EnvParams& params, Unit unit);
  EnvParams env() const;

  FractionEntry emissivity;
  TemperatureEntry atmosphericTemp;
  FractionEntry transmission;
  float reserved;
};

}  // namespace solvane::controls
