#include "controls/isotherm_rules.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace solvane::controls {

namespace {

int32_t toTenths(double value) {
  // std::lround rounds halves away from zero, as typed limits are rounded.
  return roundedCounter(value * 10.0);
}

IsothermBand bandOf(size_t limitIndex) {
  switch (limitIndex) {
    case 0: return IsothermBand::Below;
    case 3: return IsothermBand::Above;
    default: return IsothermBand::Interval;
  }
}

}  // namespace

std::string_view isothermMenuText(IsothermBand band) {
  switch (band) {
    case IsothermBand::Interval: return "&Interval";
    case IsothermBand::Above: return "&Above";
    case IsothermBand::Below: return "&Below";
  }
  return {};
}

IsothermEditor::IsothermEditor(const IsothermSettings& settings, Unit unit, float rangeLowCelsius,
                               float rangeHighCelsius)
    : settings_(settings), unit_(unit) {
  int32_t low = std::clamp(toTenths(toDisplay(rangeLowCelsius, unit)), kIsothermSpinLowest,
                           kIsothermSpinHighest);
  int32_t high = std::clamp(toTenths(toDisplay(rangeHighCelsius, unit)), kIsothermSpinLowest,
                            kIsothermSpinHighest);
  if (low > high) std::swap(low, high);
  rangeLow_ = low;
  rangeHigh_ = high;
  for (size_t i = 0; i < tenths_.size(); ++i) {
    const float shown = toDisplay(settings.limit[i], unit);
    tenths_[i] = std::isfinite(shown)
                     ? std::clamp(toTenths(shown), kIsothermSpinLowest, kIsothermSpinHighest)
                     : 0;
  }
  reposition(nullptr);
}

bool IsothermEditor::isActive(size_t limitIndex) const {
  return settings_.isEnabled(bandOf(limitIndex));
}

bool IsothermEditor::inOrder() const {
  int32_t previous = rangeLow_ - 1;
  for (size_t i = 0; i < tenths_.size(); ++i) {
    if (!isActive(i)) continue;
    if (tenths_[i] <= previous || tenths_[i] > rangeHigh_) return false;
    previous = tenths_[i];
  }
  return true;
}

void IsothermEditor::spreadEvenly() {
  std::vector<size_t> active;
  for (size_t i = 0; i < tenths_.size(); ++i)
    if (isActive(i)) active.push_back(i);
  if (active.empty()) return;
  const int32_t width = rangeHigh_ - rangeLow_;
  const auto parts = static_cast<int32_t>(active.size() + 1);
  for (size_t k = 0; k < active.size(); ++k)
    tenths_[active[k]] = rangeLow_ + width * static_cast<int32_t>(k + 1) / parts;
}

void IsothermEditor::reposition(const IsothermBand* moved) {
  auto movable = [&](size_t i) { return isActive(i) && (!moved || bandOf(i) == *moved); };
  // Upwards: a limit at or under the one before it goes half a degree above it (or to the
  // range end); downwards the same from the top.
  int32_t floor = rangeLow_ - kIsothermRepositionGap;
  for (size_t i = 0; i < tenths_.size(); ++i) {
    if (!isActive(i)) continue;
    if (movable(i)) {
      if (tenths_[i] < rangeLow_) tenths_[i] = rangeLow_;
      if (tenths_[i] <= floor) tenths_[i] = std::min(floor + kIsothermRepositionGap, rangeHigh_);
    }
    floor = tenths_[i];
  }
  int32_t ceiling = rangeHigh_ + kIsothermRepositionGap;
  for (size_t i = tenths_.size(); i-- > 0;) {
    if (!isActive(i)) continue;
    if (movable(i)) {
      if (tenths_[i] > rangeHigh_) tenths_[i] = rangeHigh_;
      if (tenths_[i] >= ceiling) tenths_[i] = std::max(ceiling - kIsothermRepositionGap, rangeLow_);
    }
    ceiling = tenths_[i];
  }
  if (inOrder()) return;
  if (moved) {
    reposition(nullptr);
    return;
  }
  // The range is too narrow for half-degree gaps: share it out.
  spreadEvenly();
}

void IsothermEditor::setEnabled(IsothermBand band, bool on) {
  settings_.enabled[static_cast<size_t>(band)] = on;
  if (on) reposition(&band);
}

void IsothermEditor::setColour(IsothermBand band, uint32_t rgb) {
  settings_.colour[static_cast<size_t>(band)] = rgb & 0xFFFFFFu;
}

Refusal IsothermEditor::propose(IsothermLimit which, int64_t candidate) {
  if (candidate < kIsothermSpinLowest) return Refusal::LowerBound;
  if (candidate > kIsothermSpinHighest) return Refusal::UpperBound;
  const auto value = static_cast<int32_t>(candidate);
  const size_t i = index(which);
  // The interval's own pair is kept apart whether or not it is painted.
  if (which == IsothermLimit::IntervalLower && value >= tenths_[2]) {
    tenths_[1] = tenths_[2] - 1;
    return Refusal::MinimumReachedMax;
  }
  if (which == IsothermLimit::IntervalUpper && value <= tenths_[1]) {
    tenths_[2] = tenths_[1] + 1;
    return Refusal::MaximumReachedMin;
  }
  if (isActive(i)) {
    if (value < rangeLow_) return Refusal::LowerBound;
    if (value > rangeHigh_) return Refusal::UpperBound;
    for (size_t j = 0; j < i; ++j)
      if (isActive(j) && bandOf(j) != bandOf(i) && value <= tenths_[j]) return Refusal::LowerBound;
    for (size_t j = i + 1; j < tenths_.size(); ++j)
      if (isActive(j) && bandOf(j) != bandOf(i) && value >= tenths_[j]) return Refusal::UpperBound;
  }
  tenths_[i] = value;
  return Refusal::None;
}

Refusal IsothermEditor::step(IsothermLimit which, int32_t delta) {
  return propose(which, static_cast<int64_t>(tenths_[index(which)]) + delta);
}

Refusal IsothermEditor::type(IsothermLimit which, std::string_view text) {
  double typed = 0;
  if (!parseDecimal(text, typed)) return Refusal::NotANumber;
  if (typed < kIsothermSpinLowest / 10.0 - 1.0) return Refusal::LowerBound;
  if (typed > kIsothermSpinHighest / 10.0 + 1.0) return Refusal::UpperBound;
  return propose(which, toTenths(typed));
}

IsothermSettings IsothermEditor::settings() const {
  IsothermSettings out = settings_;
  for (size_t i = 0; i < tenths_.size(); ++i) out.limit[i] = toCelsius(tenths_[i] / 10.0f, unit_);
  return out;
}

}  // namespace solvane::controls
