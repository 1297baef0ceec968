#include "controls/environment_entry.h"

#include <cmath>

namespace solvane::controls {

namespace {

int32_t hundredthsOf(double value) { return truncatedCounter((value + 0.001) * 100.0); }

}  // namespace

FractionEntry::FractionEntry(float value) : value_(value), counter_(hundredthsOf(value)) {}

Refusal FractionEntry::step(int32_t delta) {
  const int32_t next = counter_ + delta;
  if (next < kMinCounter) return Refusal::LowerBound;
  if (next > kMaxCounter) return Refusal::UpperBound;
  counter_ = next;
  value_ = static_cast<float>(next) / 100.0f;
  return Refusal::None;
}

Refusal FractionEntry::type(double typed) {
  if (!std::isfinite(typed)) return Refusal::NotANumber;
  // Half a hundredth of tolerance below 0.01: what rounds to 0.01 is allowed to stand.
  if (typed + 0.005 < 0.01) return Refusal::LowerBound;
  if (typed > 1.0) return Refusal::UpperBound;
  value_ = static_cast<float>(typed);
  counter_ = hundredthsOf(typed);
  return Refusal::None;
}

Refusal FractionEntry::typeText(std::string_view text) {
  double typed = 0;
  if (!parseDecimal(text, typed)) return Refusal::NotANumber;
  return type(typed);
}

TemperatureLimits atmosphericTempLimits(Unit unit) {
  switch (unit) {
    case Unit::Fahrenheit: return {-58.0, 212.0};
    case Unit::Kelvin: return {223.0, 373.0};
    case Unit::Celsius: break;
  }
  return {-50.0, 100.0};
}

TemperatureEntry::TemperatureEntry(float celsius, Unit unit)
    : unit_(unit),
      shown_(toDisplay(celsius, unit)),
      // A stored value converted for display lands on the nearest tenth, not the one below.
      counter_(roundedCounter(shown_ * 10.0)) {}

Refusal TemperatureEntry::step(int32_t delta) {
  const TemperatureLimits limits = atmosphericTempLimits(unit_);
  const int32_t next = counter_ + delta;
  if (next < std::lround(limits.lower * 10.0)) return Refusal::LowerBound;
  if (next > std::lround(limits.upper * 10.0)) return Refusal::UpperBound;
  counter_ = next;
  shown_ = next / 10.0;
  return Refusal::None;
}

Refusal TemperatureEntry::type(double typed) {
  if (!std::isfinite(typed)) return Refusal::NotANumber;
  const TemperatureLimits limits = atmosphericTempLimits(unit_);
  if (typed < limits.lower) return Refusal::LowerBound;
  if (typed > limits.upper) return Refusal::UpperBound;
  shown_ = typed;
  counter_ = truncatedCounter(typed * 10.0);
  return Refusal::None;
}

Refusal TemperatureEntry::typeText(std::string_view text) {
  double typed = 0;
  if (!parseDecimal(text, typed)) return Refusal::NotANumber;
  return type(typed);
}

EnvironmentEntry::EnvironmentEntry(const EnvParams& params, Unit unit)
    : emissivity(params.emissivity),
      atmosphericTemp(params.atmosphericTemp, unit),
      transmission(params.transmission),
      reserved(params.reserved) {}

EnvParams EnvironmentEntry::env() const {
  return EnvParams{emissivity.value(), atmosphericTemp.celsius(), transmission.value(), reserved};
}

}  // namespace solvane::controls
