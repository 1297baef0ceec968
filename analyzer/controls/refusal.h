// Why an entry of a control dialog was refused, and the one place that turns the reason into
// the text the user reads. Every refusal is shown in a box titled kStatusTitle.
#pragma once

#include <cstdint>
#include <string_view>

namespace solvane::controls {

enum class Refusal {
  None,
  LowerBound,         // a value under its lower limit, a range end or a neighbour
  UpperBound,         // a value over its upper limit, a range end or a neighbour
  SpanTooNarrow,      // level/span dialog: span under 2.0
  SpanUnderSix,       // histogram pane: span under 6 degrees
  MinimumReachedMax,  // isotherm interval: the lower limit ran into the upper one
  MaximumReachedMin,  // isotherm interval: the upper limit ran into the lower one
  NotANumber,         // typed text that is not a finite decimal number
};

inline constexpr std::string_view kStatusTitle = "Status Message";

std::string_view refusalText(Refusal refusal);

// Reads a typed decimal number; leading and trailing blanks are allowed, anything else that is
// not part of one finite number is not.
bool parseDecimal(std::string_view text, double& value);

// Step counters from stored values that may be anything (settings are not validated when
// loaded): a value that is not finite counts as 0 and the result is kept far inside int32.
int32_t roundedCounter(double scaled);    // nearest, halves away from zero
int32_t truncatedCounter(double scaled);  // integer part

}  // namespace solvane::controls
