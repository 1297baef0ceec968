// Small arithmetic helpers shared by the blurs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace irdex::imaging {

// An index limited to a line of `size` values (edge values repeat beyond the ends).
inline int64_t clampIndex(int64_t i, int size) {
  return i < 0 ? 0 : (i >= size ? int64_t{size} - 1 : i);
}

// Scratch images that are written whole before they are read: no zeroing pass.
inline std::unique_ptr<uint8_t[]> uninitialisedBytes(std::size_t count) {
  return std::make_unique_for_overwrite<uint8_t[]>(count);
}

// Truncating division of 0 <= n <= 256 d by a fixed divisor 1 <= d <= 2^32, as one multiply
// with the rounded reciprocal in double precision. (n + 0.5) / d lies at least 0.5 / d away
// from every integer, far more than the two roundings can move it, so the quotient is exact;
// unlike an integer division it vectorises.
class Reciprocal {
 public:
  static constexpr uint64_t kLargestDivisor = uint64_t{1} << 32;

  explicit Reciprocal(uint64_t divisor = 1) : inverse_(1.0 / static_cast<double>(divisor)) {}

  uint32_t divide(int64_t n) const {
    return static_cast<uint32_t>((static_cast<double>(n) + 0.5) * inverse_);
  }

  // The same for a row of 32-bit sums, into bytes (the quotients of the blurs are bytes).
  void divideRow(const int32_t* sums, uint8_t* out, std::size_t count) const {
    const double inverse = inverse_;
    for (std::size_t i = 0; i < count; ++i) {
      out[i] = static_cast<uint8_t>(
          static_cast<int32_t>((static_cast<double>(sums[i]) + 0.5) * inverse));
    }
  }

 private:
  double inverse_;
};

// The same in single precision for smaller divisors: 1 <= d <= 4096 and 0 <= n <= 256 d.
// n + 0.5 is then exact in a float and the error (under 3.1e-5) stays a quarter of the
// distance 0.5 / d; four lanes per vector instead of two.
class SmallReciprocal {
 public:
  static constexpr uint32_t kLargestDivisor = 4096;

  explicit SmallReciprocal(uint64_t divisor = 1) : inverse_(1.0f / static_cast<float>(divisor)) {}

  uint32_t divide(int64_t n) const {
    return static_cast<uint32_t>((static_cast<float>(n) + 0.5f) * inverse_);
  }

  template <typename Sum>
  void divideRow(const Sum* sums, uint8_t* out, std::size_t count) const {
    static_assert(std::is_same_v<Sum, uint16_t> || std::is_same_v<Sum, int32_t>);
    const float inverse = inverse_;
    std::size_t i = 0;
#if defined(__SSE2__)
    // The same single-precision operations, sixteen at a time; the quotients are bytes, so
    // the saturating packs only narrow.
    const __m128 half = _mm_set1_ps(0.5f), scale = _mm_set1_ps(inverse);
    auto quotients = [&](__m128i n) {
      return _mm_cvttps_epi32(_mm_mul_ps(_mm_add_ps(_mm_cvtepi32_ps(n), half), scale));
    };
    for (; i + 16 <= count; i += 16) {
      __m128i n0, n1, n2, n3;
      if constexpr (std::is_same_v<Sum, uint16_t>) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + i));
        const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + i + 8));
        n0 = _mm_unpacklo_epi16(lo, zero);
        n1 = _mm_unpackhi_epi16(lo, zero);
        n2 = _mm_unpacklo_epi16(hi, zero);
        n3 = _mm_unpackhi_epi16(hi, zero);
      } else {
        n0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + i));
        n1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + i + 4));
        n2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + i + 8));
        n3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + i + 12));
      }
      const __m128i words0 = _mm_packs_epi32(quotients(n0), quotients(n1));
      const __m128i words1 = _mm_packs_epi32(quotients(n2), quotients(n3));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(words0, words1));
    }
#endif
    for (; i < count; ++i) {
      out[i] = static_cast<uint8_t>(
          static_cast<int32_t>((static_cast<float>(sums[i]) + 0.5f) * inverse));
    }
  }

 private:
  float inverse_;
};

}  // namespace irdex::imaging
