#include "controls/refusal.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace solvane::controls {

std::string_view refusalText(Refusal refusal) {
  switch (refusal) {
    case Refusal::None: return {};
    case Refusal::LowerBound: return "Lower bound limit!";
    case Refusal::UpperBound: return "Upper bound limit!";
    case Refusal::SpanTooNarrow: return "Span must be greater than 2.0!";
    case Refusal::SpanUnderSix: return "Span must be greater than 6 degrees!";
    case Refusal::MinimumReachedMax: return "Minimum is less than maximum!";
    case Refusal::MaximumReachedMin: return "Maximum is greater than minimum!";
    case Refusal::NotANumber: return "Please enter a number.";
  }
  return {};
}

namespace {
constexpr double kCounterLimit = 1e9;
double tame(double scaled) {
  if (!std::isfinite(scaled)) return 0.0;
  return std::clamp(scaled, -kCounterLimit, kCounterLimit);
}
}  // namespace

int32_t roundedCounter(double scaled) { return static_cast<int32_t>(std::lround(tame(scaled))); }
int32_t truncatedCounter(double scaled) { return static_cast<int32_t>(tame(scaled)); }

bool parseDecimal(std::string_view text, double& value) {
  auto isBlank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  double parsed = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), parsed, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(parsed))
    return false;
  value = parsed;
  return true;
}

}  // namespace solvane::controls
