// Small arithmetic helpers shared by the blurs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace irdex::imaging {

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
    const float inverse = inverse_;
    for (std::size_t i = 0; i < count; ++i) {
      out[i] = static_cast<uint8_t>(
          static_cast<int32_t>((static_cast<float>(sums[i]) + 0.5f) * inverse));
    }
  }

 private:
  float inverse_;
};

}  // namespace irdex::imaging
