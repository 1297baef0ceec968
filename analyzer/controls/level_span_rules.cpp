#include "controls/level_span_rules.h"

#include <cmath>

namespace solvane::controls {

namespace {

// Bounds shown in another unit are fractional; a hair of tolerance keeps a window that lies
// exactly on a bound (to float precision) acceptable.
constexpr double kTolerance = 1e-4;
constexpr double kLargestTyped = 1e6;

int32_t tenthsOf(double value) { return roundedCounter(value * 10.0); }

}  // namespace

LevelSpanEntry::LevelSpanEntry(float levelCelsius, float spanCelsius, float rangeLowCelsius,
                               float rangeHighCelsius, Unit unit, SpanFloor floor)
    : unit_(unit),
      floor_(floor),
      level_(tenthsOf(toDisplay(levelCelsius, unit))),
      span_(tenthsOf(spanToDisplay(spanCelsius, unit))),
      lowBound_(toDisplay(rangeLowCelsius, unit)),
      highBound_(toDisplay(rangeHighCelsius, unit)) {}

float LevelSpanEntry::levelCelsius() const { return toCelsius(level_ / 10.0f, unit_); }
float LevelSpanEntry::spanCelsius() const { return spanToCelsius(span_ / 10.0f, unit_); }

std::string LevelSpanEntry::rangeLabel() const {
  return levelSpanRangeLabel(windowLow(), windowHigh(), unit_);
}

Refusal LevelSpanEntry::check(int32_t levelTenths, int32_t spanTenths) const {
  // The lower end uses half the span rounded to the nearest tenth, halves up.
  const int32_t halfSpan = static_cast<int32_t>(std::lround(spanTenths / 2.0));
  if (levelTenths - halfSpan < lowBound_ * 10.0 - kTolerance) return Refusal::LowerBound;
  if (levelTenths * 2 + spanTenths > highBound_ * 20.0 + kTolerance) return Refusal::UpperBound;
  if (spanTenths < floor_.tenths) return floor_.refusal;
  return Refusal::None;
}

Refusal LevelSpanEntry::tryAccept(int32_t levelTenths, int32_t spanTenths) {
  const Refusal refusal = check(levelTenths, spanTenths);
  if (refusal != Refusal::None) return refusal;
  level_ = levelTenths;
  span_ = spanTenths;
  return Refusal::None;
}

Refusal LevelSpanEntry::typeLevel(std::string_view text) {
  double typed = 0;
  if (!parseDecimal(text, typed)) return Refusal::NotANumber;
  // Far beyond any camera range: refused before the tenths could overflow.
  if (std::fabs(typed) > kLargestTyped)
    return typed < 0 ? Refusal::LowerBound : Refusal::UpperBound;
  return tryAccept(tenthsOf(typed), span_);
}

Refusal LevelSpanEntry::typeSpan(std::string_view text) {
  double typed = 0;
  if (!parseDecimal(text, typed)) return Refusal::NotANumber;
  if (typed < -kLargestTyped) return floor_.refusal;
  if (typed > kLargestTyped) return Refusal::UpperBound;
  return tryAccept(level_, tenthsOf(typed));
}

void AgcModeSwitch::setAutomatic(AgcParams& agc) {
  remembered_ = agc.inputMethod;
  agc.manual = 0;
}

void AgcModeSwitch::setManual(AgcParams& agc) {
  agc.inputMethod = remembered_;
  agc.manual = 1;
}

}  // namespace solvane::controls
