#include "export/fixed_format.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace solvane::exports {
namespace {

// Above this the hundredths no longer fit the 64-bit fast path; such values do not come
// out of a temperature conversion, so the C library serves them.
constexpr int kMaxFastExponent = 30;

char* writeDigits(uint64_t hundredths, char* out) {
  char buffer[24];
  char* p = buffer + sizeof buffer;
  // Two decimals first, then at least one integer digit.
  *--p = static_cast<char>('0' + hundredths % 10);
  hundredths /= 10;
  *--p = static_cast<char>('0' + hundredths % 10);
  hundredths /= 10;
  *--p = '.';
  do {
    *--p = static_cast<char>('0' + hundredths % 10);
    hundredths /= 10;
  } while (hundredths != 0);
  const std::size_t length = static_cast<std::size_t>(buffer + sizeof buffer - p);
  std::memcpy(out, p, length);
  return out + length;
}

}  // namespace

char* formatTwoDecimals(float value, char* out) {
  const uint32_t bits = std::bit_cast<uint32_t>(value);
  const bool negative = (bits >> 31) != 0;
  const int biasedExponent = static_cast<int>((bits >> 23) & 0xFF);
  const uint32_t fraction = bits & 0x7FFFFFu;

  // value = mantissa x 2^exponent exactly.
  uint64_t mantissa = 0;
  int exponent = 0;
  if (biasedExponent == 0) {
    mantissa = fraction;
    exponent = -149;
  } else {
    mantissa = fraction | 0x800000u;
    exponent = biasedExponent - 150;
  }
  if (biasedExponent == 0xFF || exponent > kMaxFastExponent - 24) {
    const int written =
        std::snprintf(out, kMaxTwoDecimalsChars, "%.2f", static_cast<double>(value));
    return out + (written > 0 ? written : 0);
  }

  // value x 100 = mantissa x 100 x 2^exponent, rounded half to even like printf.
  const uint64_t scaled = mantissa * 100u;
  uint64_t hundredths = 0;
  if (exponent >= 0) {
    hundredths = scaled << exponent;
  } else if (-exponent < 64) {
    const int shift = -exponent;
    hundredths = scaled >> shift;
    const uint64_t remainder = scaled & ((uint64_t{1} << shift) - 1);
    const uint64_t half = uint64_t{1} << (shift - 1);
    if (remainder > half || (remainder == half && (hundredths & 1u) != 0)) ++hundredths;
  }
  // scaled < 2^31, so a shift of 64 or more leaves less than half a hundredth: zero.

  if (negative) *out++ = '-';
  return writeDigits(hundredths, out);
}

}  // namespace solvane::exports
