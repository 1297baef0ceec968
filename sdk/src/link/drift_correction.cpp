#include "link/drift_correction.h"

#include "records/byte_order.h"

namespace irdex::link {
namespace {

uint16_t shiftAndLimit(uint16_t value, int32_t c, const ks::RangeLimits& limits) {
  // The sum is taken as an unsigned 16-bit value before it is limited, as the camera does.
  const uint16_t shifted = static_cast<uint16_t>(value + static_cast<uint32_t>(c));
  if (shifted < limits.minCount) return limits.minCount;
  if (shifted > limits.maxCount) return limits.maxCount;
  return shifted;
}

void correctPairAt(uint8_t* p, int32_t c, const ks::RangeLimits& limits) {
  writeLe16(p, shiftAndLimit(readLe16(p), c, limits));
  writeLe16(p + 2, shiftAndLimit(readLe16(p + 2), c, limits));
}

void correctSumAt(uint8_t* sum, const uint8_t* count, int32_t c) {
  // Wrapping 32-bit arithmetic, like the camera's own counters.
  const uint32_t corrected = readLe32(sum) + readLe32(count) * static_cast<uint32_t>(c);
  writeLe32(sum, corrected);
}

struct TrailerLayout {
  int pairs;     // ten raw value pairs
  int lastPair;  // one further pair
  int sums;      // ten sums
  int counts;    // their pixel counts
  int lastSum;
  int lastCount;
  int rawValue;  // shifted, not limited
};

constexpr TrailerLayout kLayout1{108, 148, 152, 196, 192, 236, 240};
constexpr TrailerLayout kLayout2{152, 192, 196, 240, 236, 280, 284};

void correctTrailer(uint8_t* e, int32_t c, const ks::RangeLimits& limits,
                    const TrailerLayout& layout) {
  for (int j = 0; j < 10; ++j) correctPairAt(e + layout.pairs + 4 * j, c, limits);
  correctPairAt(e + layout.lastPair, c, limits);
  for (int j = 0; j < 10; ++j) correctSumAt(e + layout.sums + 4 * j, e + layout.counts + 4 * j, c);
  correctSumAt(e + layout.lastSum, e + layout.lastCount, c);
  writeLe16(e + layout.rawValue,
            static_cast<uint16_t>(readLe16(e + layout.rawValue) + static_cast<uint32_t>(c)));
}

}  // namespace

void applyDriftCorrection(uint8_t* frame, int width, int height, int32_t c,
                          const ks::RangeLimits& limits) {
  const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  for (std::size_t i = 0; i < pixels; ++i) {
    uint8_t* p = frame + 2 * i;
    writeLe16(p, shiftAndLimit(readLe16(p), c, limits));
  }
  uint8_t* e = frame + 2 * pixels;
  const uint32_t mark = readLe32(e);
  if (mark == kTrailerLayout1) correctTrailer(e, c, limits, kLayout1);
  if (mark == kTrailerLayout2) correctTrailer(e, c, limits, kLayout2);
}

}  // namespace irdex::link
