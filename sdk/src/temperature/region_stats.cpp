// Region statistics: minimum, maximum, mean and standard deviation of a rectangle, with the
// positions of the extremes. Versions 0 to 32 convert every pixel (two passes); the
// calibrated KS family works on counts and converts only the results.
#include <irdex.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "records/camera_generation.h"
#include "temperature/conversion.h"
#include "temperature/image_size.h"
#include "temperature/ks_calibration.h"

namespace irdex::temperature {

namespace {

struct Limits {
  bool apply;
  float low, high;
};

Limits limitsFor(Generation generation, uint8_t rangeIndex) {
  const bool high = rangeIndex == 1;
  switch (generation) {
    case Generation::kKsBuiltIn:
      return high ? Limits{true, -10.0f, 660.0f} : Limits{true, -30.0f, 130.0f};
    case Generation::kKt: return high ? Limits{true, 0.0f, 650.0f} : Limits{true, -30.0f, 130.0f};
    default: return {false, 0.0f, 0.0f};
  }
}

// The region's pixels are walked in order. A region reaching outside the frame never reads
// outside its pixels: only the columns whose index lies in the frame are walked (a column
// beyond the right edge is the start of the next row, as the index says). Temperature codes
// outside the range count as the value the previous pixel counted with.
struct RowSpan {
  int64_t start, first, last;  // row start index, columns [first, last)
};
RowSpan rowSpan(ImageSize size, const RoiRect& region, int64_t y) {
  const int64_t start = size.width * y;
  return {start, std::max<int64_t>(region.left, -start),
          std::min<int64_t>(region.right, size.pixels() - start)};
}

struct Screen {
  bool apply;
  float low, high;
};
Screen screenFor(const IRFrame& frame, Generation generation) {
  const bool high = IRFrameRangeIndex(&frame) == 1;
  return {generation == Generation::kKt, high ? 0.0f : -30.0f, high ? 650.0f : 130.0f};
}

struct FirstPass {
  float minimum = 10000.0f;
  float maximum = -10000.0f;
  double sum = 0.0;
  int64_t count = 0;
  int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
  int64_t minAt = -1, maxAt = -1;  // order of the last update of each
};

// Both passes keep their running values in locals (no lambda captures them), so that the
// compiler holds them in registers: the sums are chains of dependent additions whose order
// fixes the result, and a round trip through memory per pixel would double their cost.
template <typename Convert>
FirstPass extremesAndSum(const uint16_t* pixels, ImageSize size, const RoiRect& region,
                         Screen screen, Convert convert) {
  float minimum = 10000.0f;
  float maximum = -10000.0f;
  double sum = 0.0;
  int64_t count = 0;
  int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
  int64_t minAt = -1, maxAt = -1;
  float previous = 0.0f;
  for (int64_t y = region.top; y < region.bottom; ++y) {
    const RowSpan row = rowSpan(size, region, y);
    for (int64_t x = row.first; x < row.last; ++x) {
      float g = convert(pixels[row.start + x]);
      if (screen.apply && !(g >= screen.low && g <= screen.high)) g = previous;
      previous = g;
      if (g <= minimum) {
        minimum = g;
        minX = static_cast<int32_t>(x);
        minY = static_cast<int32_t>(y);
        minAt = count;
      }
      if (g >= maximum) {
        maximum = g;
        maxX = static_cast<int32_t>(x);
        maxY = static_cast<int32_t>(y);
        maxAt = count;
      }
      sum += g;
      ++count;
    }
  }
  return {minimum, maximum, sum, count, minX, minY, maxX, maxY, minAt, maxAt};
}

template <typename Convert>
double squaredDeviations(const uint16_t* pixels, ImageSize size, const RoiRect& region,
                         Screen screen, float average, Convert convert) {
  double squares = 0.0;
  float previous = 0.0f;
  for (int64_t y = region.top; y < region.bottom; ++y) {
    const RowSpan row = rowSpan(size, region, y);
    for (int64_t x = row.first; x < row.last; ++x) {
      float g = convert(pixels[row.start + x]);
      if (screen.apply && !(g >= screen.low && g <= screen.high)) g = previous;
      previous = g;
      const double d = static_cast<double>(g) - static_cast<double>(average);
      squares += d * d;
    }
  }
  return squares;
}

SdkStatus convertedRegionStats(const IRFrame& frame, ImageSize size, const float* table,
                               const EnvParams& params, const RoiRect& region, RoiTempStats& stats,
                               int32_t* minPos, int32_t* maxPos) {
  if (!frame.pixels) return SDK_ERR_BUFFER;
  PixelConverter convert(frame, params, table, PixelConverter::BuiltInCorrection::kUnlessDefault);
  // Only the order of magnitude matters here; the limits keep the product in range.
  constexpr int64_t kSideLimit = int64_t{1} << 20;
  const int64_t columns = std::clamp<int64_t>(int64_t{region.right} - region.left, 0, kSideLimit);
  const int64_t rows = std::clamp<int64_t>(int64_t{region.bottom} - region.top, 0, kSideLimit);
  convert.expectConversions(2 * columns * rows);  // two passes
  const Screen screen = screenFor(frame, convert.generation());
  const float* values = convert.countValues();
  const auto fromTable = [values](uint16_t n) { return values[n]; };
  const auto direct = [&convert](uint16_t n) { return convert(n); };
  const FirstPass pass = values ? extremesAndSum(frame.pixels, size, region, screen, fromTable)
                                : extremesAndSum(frame.pixels, size, region, screen, direct);
  float minimum = pass.minimum;
  float maximum = pass.maximum;
  const int64_t count = pass.count;
  // In the order they were last updated, so that a caller passing one array for both ends
  // with what the last update wrote.
  const auto writeMin = [&] {
    if (pass.minAt < 0) return;
    minPos[0] = pass.minX;
    minPos[1] = pass.minY;
  };
  const auto writeMax = [&] {
    if (pass.maxAt < 0) return;
    maxPos[0] = pass.maxX;
    maxPos[1] = pass.maxY;
  };
  if (pass.minAt <= pass.maxAt) {
    writeMin();
    writeMax();
  } else {
    writeMax();
    writeMin();
  }

  const Limits limits = limitsFor(convert.generation(), IRFrameRangeIndex(&frame));
  if (limits.apply) {
    if (minimum < limits.low) minimum = limits.low;
    if (maximum > limits.high) maximum = limits.high;
  }
  // An empty region has no mean: 0 / 0 gives the not-a-number the callers know.
  const float average = static_cast<float>(pass.sum / static_cast<double>(count));

  const double squares =
      values ? squaredDeviations(frame.pixels, size, region, screen, average, fromTable)
             : squaredDeviations(frame.pixels, size, region, screen, average, direct);

  stats.minTemp = minimum;
  stats.maxTemp = maximum;
  stats.avgTemp = average;
  stats.stdDev =
      count >= 2 ? static_cast<float>(std::sqrt(squares / static_cast<double>(count - 1))) : 0.0f;
  return SDK_SUCCESS;
}

}  // namespace

// The calibrated KS path, on the smoothed counts of the frame's slot.
SdkStatus calibratedRegionStats(const IRFrame* frame, ImageSize size, const EnvParams& params,
                                RoiRect region, RoiTempStats* stats, int32_t* minPos,
                                int32_t* maxPos) {
  if (!frame || !stats || !minPos || !maxPos) return SDK_ERR_MISSING_VALUE;
  if (!camera::isCalibrated(IRFrameVersion(frame))) return SDK_ERR_INVALID_HANDLE;
  const KSCameraData* slot = ks::slotOf(*frame);
  if (!slot || size.pixels() > static_cast<int64_t>(ks::kReceiveBufferPixels))
    return SDK_ERR_MISSING_VALUE;

  const auto clip = [](int32_t& value, int limit) {
    if (value < 0) value = 0;
    if (value > limit) value = limit;
  };
  clip(region.left, size.width);
  clip(region.right, size.width);
  clip(region.top, size.height);
  clip(region.bottom, size.height);
  if (region.left > region.right) std::swap(region.left, region.right);
  if (region.top > region.bottom) std::swap(region.top, region.bottom);

  const uint16_t* counts = ks::smoothedCounts(*slot);
  constexpr int64_t kMidCount = 8000;
  uint16_t lowest = 0;
  uint16_t highest = 0;
  uint64_t countSum = 0;
  int64_t deviationSum = 0;
  uint64_t squareSum = 0;
  uint64_t pixels = 0;
  for (int32_t y = region.top; y < region.bottom; ++y) {
    const uint16_t* row = counts + static_cast<int64_t>(size.width) * y;
    for (int32_t x = region.left; x < region.right; ++x) {
      const uint16_t n = row[x];
      // The first pixel opens both extremes, so a region whose counts sit at 0 or 65535
      // still reports where they are; later ties keep the first pixel.
      if (pixels == 0 || n < lowest) {
        lowest = n;
        minPos[0] = x;
        minPos[1] = y;
      }
      if (pixels == 0 || n > highest) {
        highest = n;
        maxPos[0] = x;
        maxPos[1] = y;
      }
      const int64_t d = static_cast<int64_t>(n) - kMidCount;
      countSum += n;
      deviationSum += d;
      squareSum += static_cast<uint64_t>(d * d);
      ++pixels;
    }
  }
  // No pixel, no statistics: the caller's record stays as it was.
  if (pixels == 0) return SDK_ERR_MISSING_VALUE;

  const int range = IRFrameRangeIndex(frame);
  const ks::KSRangeCal* cal = ks::calibratedRange(*slot, range);
  const float slope = cal ? cal->slope : 0.0f;
  float deviation = 0.0f;
  if (pixels >= 2) {
    // The square of the deviation sum outgrows 64 bits for large hot regions; the quotient
    // is taken on the exact 128-bit square.
    const unsigned __int128 magnitude =
        static_cast<unsigned __int128>(deviationSum < 0 ? -deviationSum : deviationSum);
    const auto meanSquare = static_cast<uint64_t>(magnitude * magnitude / pixels);
    const double variance =
        static_cast<double>(squareSum - meanSquare) / static_cast<double>(pixels);
    deviation = static_cast<float>(static_cast<double>(slope) * std::sqrt(variance));
  }

  const bool correct = !isDefaultParams(params);
  const auto temp = [&](uint64_t count) {
    const float t0 = ks::calibratedTemp(*slot, range, static_cast<uint16_t>(count));
    float t = correct ? radianceCorrection(t0, params) : t0;
    const float low = cal ? cal->minTemp : 0.0f;
    const float high = cal ? cal->maxTemp : 0.0f;
    if (t < low) t = low;
    if (t > high) t = high;
    return t;
  };
  stats->minTemp = temp(lowest);
  stats->maxTemp = temp(highest);
  stats->avgTemp = temp(countSum / pixels);
  stats->stdDev = deviation;
  return SDK_SUCCESS;
}

}  // namespace irdex::temperature

using irdex::temperature::Generation;
using irdex::temperature::generationOf;
using irdex::temperature::unpackImageSize;

extern "C" {

IRDEX_API SdkStatus GetROITemp(const IRFrame* frame, uint32_t imageSize, const float* table,
                               EnvParams params, RoiRect region, RoiTempStats* stats,
                               int32_t* minPos, int32_t* maxPos) {
  if (!frame || !table) return SDK_ERR_BUFFER;
  const auto size = unpackImageSize(imageSize);
  if (generationOf(IRFrameVersion(frame)) == Generation::kKsCalibrated)
    return irdex::temperature::calibratedRegionStats(frame, size, params, region, stats, minPos,
                                                     maxPos);
  if (!stats || !minPos || !maxPos) return SDK_ERR_BUFFER;
  return irdex::temperature::convertedRegionStats(*frame, size, table, params, region, *stats,
                                                  minPos, maxPos);
}

IRDEX_API SdkStatus GetROITempKS(const IRFrame* frame, uint32_t imageSize, EnvParams params,
                                 RoiRect region, RoiTempStats* stats, int32_t* minPos,
                                 int32_t* maxPos) {
  if (!frame) return SDK_ERR_BUFFER;
  const auto size = unpackImageSize(imageSize);
  switch (generationOf(IRFrameVersion(frame))) {
    case Generation::kFirst:
    case Generation::kKt: return SDK_ERR_INVALID_HANDLE;
    case Generation::kKsBuiltIn:
      if (!stats || !minPos || !maxPos) return SDK_ERR_BUFFER;
      return irdex::temperature::convertedRegionStats(*frame, size, nullptr, params, region, *stats,
                                                      minPos, maxPos);
    case Generation::kKsCalibrated: break;
  }
  return irdex::temperature::calibratedRegionStats(frame, size, params, region, stats, minPos,
                                                   maxPos);
}

}  // extern "C"
