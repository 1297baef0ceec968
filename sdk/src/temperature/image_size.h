// The packed image size argument: width in the low 16 bits, height in the high 16 bits.
#pragma once

#include <cstdint>

namespace irdex::temperature {

struct ImageSize {
  int width;
  int height;
  int64_t pixels() const { return static_cast<int64_t>(width) * height; }
};

inline ImageSize unpackImageSize(uint32_t packed) {
  return {static_cast<int>(packed & 0xFFFFu), static_cast<int>(packed >> 16)};
}

}  // namespace irdex::temperature
