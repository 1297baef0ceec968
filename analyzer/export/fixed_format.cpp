#include "export/fixed_format.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace solvane::exports {
namespace {

// A float is mantissa x 2^(biased exponent - 150), the mantissa with its hidden bit.
constexpr uint32_t kMantissaBias = 150;
constexpr uint32_t kHiddenBit = 0x800000u;
// Biased exponents below this are below 2^23: they have a fraction.
constexpr uint32_t kFastBiasedExponentEnd = kMantissaBias;
// From here (2^30) the hundredths no longer fit 64 bits comfortably; such values do not
// come out of a temperature conversion, so the C library serves them, and NaN and infinity.
constexpr uint32_t kSlowBiasedExponent = 157;

// "00" .. "99", so two digits cost one copy.
constexpr char kDigitPairs[] =
    "0001020304050607080910111213141516171819202122232425262728293031323334353637383940414243444546"
    "4748495051525354555657585960616263646566676869707172737475767778798081828384858687888990919293"
    "94"
    "9596979899";

template <typename Unsigned>
inline char* writeDigits(Unsigned hundredths, char* out) {
  const Unsigned whole = hundredths / 100;
  const auto cents = static_cast<unsigned>(hundredths - whole * 100);
  // Temperatures have one to four integer digits; longer values take the general loop.
  if (whole < 10) {
    *out++ = static_cast<char>('0' + whole);
  } else if (whole < 100) {
    std::memcpy(out, kDigitPairs + 2 * whole, 2);
    out += 2;
  } else if (whole < 10000) {
    const auto high = static_cast<unsigned>(whole / 100);
    if (high >= 10) {
      std::memcpy(out, kDigitPairs + 2 * high, 2);
      out += 2;
    } else {
      *out++ = static_cast<char>('0' + high);
    }
    std::memcpy(out, kDigitPairs + 2 * (whole % 100), 2);
    out += 2;
  } else {
    char buffer[24];
    char* p = buffer + sizeof buffer;
    Unsigned rest = whole;
    do {
      *--p = static_cast<char>('0' + rest % 10);
      rest /= 10;
    } while (rest != 0);
    const auto length = static_cast<std::size_t>(buffer + sizeof buffer - p);
    std::memcpy(out, p, length);
    out += length;
  }
  *out++ = '.';
  std::memcpy(out, kDigitPairs + 2 * cents, 2);
  return out + 2;
}

}  // namespace

char* formatTwoDecimals(float value, char* out) {
  const uint32_t bits = std::bit_cast<uint32_t>(value);
  const uint32_t biasedExponent = (bits >> 23) & 0xFF;
  const uint32_t fraction = bits & 0x7FFFFFu;

  // The common case: a normal float below 2^23, value = mantissa x 2^-shift with shift >= 1.
  // value x 100 = mantissa x 100 x 2^-shift, rounded half to even like printf; mantissa x 100
  // stays below 2^31, so from a shift of 32 on less than half a hundredth is left: zero.
  if (biasedExponent - 1u < kFastBiasedExponentEnd - 1u) {
    const uint32_t shift = kMantissaBias - biasedExponent;
    uint32_t hundredths = 0;
    if (shift < 32) {
      const uint64_t scaled = uint64_t{fraction | kHiddenBit} * 100u;
      // Adding half - 1, plus one more when the truncated value is odd, carries exactly when
      // the remainder is above half, or equal to it with an odd value: half to even without a
      // branch the data could mispredict.
      const uint64_t half = uint64_t{1} << (shift - 1);
      const uint64_t odd = (scaled >> shift) & 1u;
      hundredths = static_cast<uint32_t>((scaled + half - 1 + odd) >> shift);
    }
    if (bits >> 31) *out++ = '-';
    return writeDigits(hundredths, out);
  }
  if (biasedExponent == 0) {
    // Zero and subnormals are far below half a hundredth; the sign still shows.
    if (bits >> 31) *out++ = '-';
    std::memcpy(out, "0.00", 4);
    return out + 4;
  }
  if (biasedExponent < kSlowBiasedExponent) {
    // 2^23 and up: an integer, exactly mantissa x 2^exponent.
    const uint64_t whole = uint64_t{fraction | kHiddenBit} << (biasedExponent - kMantissaBias);
    if (bits >> 31) *out++ = '-';
    return writeDigits(whole * 100u, out);
  }
  const int written = std::snprintf(out, kMaxTwoDecimalsChars, "%.2f", static_cast<double>(value));
  return out + (written > 0 ? written : 0);
}

}  // namespace solvane::exports
