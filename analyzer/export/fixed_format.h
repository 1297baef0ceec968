// Temperatures as "%.2f" text at the speed a whole temperature map needs: an exact
// fixed-point path for every finite float of sensible size, and the C library for the rest.
#pragma once

#include <cstddef>

namespace solvane::exports {

// Longest text formatTwoDecimals writes for any float
// ("-340282346638528859811704183484516925440.00").
inline constexpr std::size_t kMaxTwoDecimalsChars = 48;

// Writes `value` as printf("%.2f", value) would (same rounding, "-0.00" for small negatives)
// into `out`, which has room for kMaxTwoDecimalsChars; returns the end of the text (no NUL).
char* formatTwoDecimals(float value, char* out);

}  // namespace solvane::exports
