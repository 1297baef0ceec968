// Small arithmetic helpers shared by the blurs.
#pragma once

#include <cstdint>

namespace irdex::imaging {

// Truncating division of 0 <= n <= maxNumerator by a fixed divisor, as a multiply and a
// shift where that is exact for every such n (the blurs divide once per pixel and pass, and
// a hardware division there costs more than the rest of the pixel's work).
class ExactDivider {
 public:
  ExactDivider() = default;
  ExactDivider(uint64_t divisor, uint64_t maxNumerator) : divisor_(divisor) {
    if (divisor <= 1) return;
    // m = floor(2^s / d) + 1 is exact for n <= N when 2^s > N * d, provided N * m fits.
    for (int s = 1; s < 64; ++s) {
      const unsigned __int128 power = static_cast<unsigned __int128>(1) << s;
      if (power <= static_cast<unsigned __int128>(maxNumerator) * divisor) continue;
      const unsigned __int128 m = power / divisor + 1;
      if (m * maxNumerator >= (static_cast<unsigned __int128>(1) << 64)) break;
      multiplier_ = static_cast<uint64_t>(m);
      shift_ = s;
      useMultiply_ = true;
      break;
    }
  }

  uint64_t divide(uint64_t n) const {
    if (useMultiply_) return (n * multiplier_) >> shift_;
    return divisor_ <= 1 ? n : n / divisor_;
  }

 private:
  uint64_t divisor_ = 1;
  uint64_t multiplier_ = 1;
  int shift_ = 0;
  bool useMultiply_ = false;
};

}  // namespace irdex::imaging
