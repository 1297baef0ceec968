// Whole-image conversions go through per-count tables kept between calls, and the KS
// smoothing works row by row. Both must give exactly what converting or averaging each pixel
// on its own gives: every count, every generation, parameters changing between calls.
#include <gtest/gtest.h>
#include <irdex.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "temperature/conversion.h"
#include "temperature/ks_calibration.h"
#include "temperature/tests/test_frames.h"

namespace irdex::temperature {
namespace {

using test::kDefaults;
using test::makeFrame;
using test::SlotHolder;
using test::writeKsCalibration;

constexpr EnvParams kAdjusted{0.8f, 25.0f, 0.9f, 0.0f};
constexpr EnvParams kHot{0.62f, 41.5f, 0.75f, 0.0f};
constexpr EnvParams kAboveOne{1.0f, -12.0f, 1.0f, 0.0f};
// 256 x 256: one pixel of every count.
constexpr uint32_t kEveryCountSize = 256 | (256u << 16);

std::vector<uint16_t> everyCount() {
  std::vector<uint16_t> pixels(kTableEntries);
  // Scrambled, so that neighbouring pixels do not hold neighbouring counts.
  for (int n = 0; n < kTableEntries; ++n)
    pixels[static_cast<std::size_t>(n)] = static_cast<uint16_t>((n * 40503u) & 0xFFFFu);
  return pixels;
}

// A first-generation table: rising, with a plateau and a step, as delivered tables have.
std::vector<float> deliveredTable(float offset = 0.0f) {
  std::vector<float> table(kTableEntries);
  for (int n = 0; n < kTableEntries; ++n) {
    float t = static_cast<float>(n) * 0.0125f - 60.0f + offset;
    if (n > 30000 && n < 30500) t = 315.0f;
    table[static_cast<std::size_t>(n)] = t;
  }
  return table;
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The first pixel whose conversion differs from the expected one, or -1.
template <typename Expected>
int firstDifference(const std::vector<uint16_t>& pixels, const std::vector<float>& out,
                    Expected&& expected) {
  for (std::size_t k = 0; k < pixels.size(); ++k)
    if (!sameBits(out[k], expected(pixels[k]))) return static_cast<int>(k);
  return -1;
}

struct Case {
  const char* name;
  uint8_t version, model, rangeIndex;
  EnvParams params;
};

std::ostream& operator<<(std::ostream& out, const Case& c) { return out << c.name; }

class EveryCount : public testing::TestWithParam<Case> {};

// The direct rule of each generation, written from the primitives rather than the converter.
float directTemp(const Case& c, const float* table, uint16_t count, bool alwaysCorrect) {
  switch (generationOf(c.version)) {
    case Generation::kFirst: return countSpaceTemp(count, gainFor(c.model, c.params, table), table);
    case Generation::kKt:
      return temperatureCodeTemp(count, c.rangeIndex, gainFor(c.model, c.params, table));
    case Generation::kKsBuiltIn: {
      const float t0 = builtInTemp(count, c.rangeIndex);
      return alwaysCorrect || !isDefaultParams(c.params) ? radianceCorrection(t0, c.params) : t0;
    }
    case Generation::kKsCalibrated: break;
  }
  return kMissingTemperature;
}

TEST_P(EveryCount, ImageConversionMatchesEachPixelConvertedAlone) {
  const Case c = GetParam();
  auto pixels = everyCount();
  const auto table = deliveredTable();
  IRFrame frame = makeFrame(c.version, c.model, c.rangeIndex, &pixels);
  std::vector<float> out(pixels.size());
  // Twice: the first call builds the tables, the second reads the kept ones.
  for (int pass = 0; pass < 2; ++pass) {
    ASSERT_EQ(GetRawToTemp(&frame, kEveryCountSize, table.data(), c.params, out.data()),
              SDK_SUCCESS);
    EXPECT_EQ(firstDifference(pixels, out,
                              [&](uint16_t n) { return directTemp(c, table.data(), n, true); }),
              -1)
        << "pass " << pass;
  }
  if (c.version == 32) {
    ASSERT_EQ(GetRawToTempKS(&frame, kEveryCountSize, c.params, out.data()), SDK_SUCCESS);
    EXPECT_EQ(firstDifference(pixels, out,
                              [&](uint16_t n) { return directTemp(c, table.data(), n, false); }),
              -1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Generations, EveryCount,
    testing::Values(Case{"FirstDefault", 5, 0, 0, kDefaults},
                    Case{"FirstAdjusted", 5, 0, 0, kAdjusted}, Case{"FirstKtModel", 16, 1, 0, kHot},
                    Case{"FirstAboveOne", 0, 0, 0, kAboveOne},
                    Case{"KtLowDefault", 20, 1, 0, kDefaults}, Case{"KtLowHot", 20, 1, 0, kHot},
                    Case{"KtHighAdjusted", 31, 1, 1, kAdjusted},
                    Case{"KtOtherModel", 25, 0, 0, kAdjusted},
                    Case{"BuiltInLowDefault", 32, 0x20, 0, kDefaults},
                    Case{"BuiltInLowAdjusted", 32, 0x20, 0, kAdjusted},
                    Case{"BuiltInHighHot", 32, 0x21, 1, kHot},
                    Case{"BuiltInHighAboveOne", 32, 0x21, 1, kAboveOne}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Alternating inputs must never read the tables of the previous call.
TEST(CountTables, FollowChangedParametersRangesAndTableContents) {
  auto pixels = everyCount();
  auto table = deliveredTable();
  std::vector<float> out(pixels.size());
  const EnvParams sequence[] = {kAdjusted, kHot, kAdjusted, kDefaults, kAdjusted};
  for (uint8_t version : {uint8_t{5}, uint8_t{20}, uint8_t{32}}) {
    for (const EnvParams& params : sequence) {
      for (uint8_t range : {uint8_t{0}, uint8_t{1}, uint8_t{0}}) {
        const Case c{"", version, static_cast<uint8_t>(version == 32 ? 0x20 : 1), range, params};
        IRFrame frame = makeFrame(c.version, c.model, c.rangeIndex, &pixels);
        ASSERT_EQ(GetRawToTemp(&frame, kEveryCountSize, table.data(), params, out.data()),
                  SDK_SUCCESS);
        EXPECT_EQ(firstDifference(pixels, out,
                                  [&](uint16_t n) { return directTemp(c, table.data(), n, true); }),
                  -1)
            << "version " << int{version} << " range " << int{range} << " emissivity "
            << params.emissivity;
      }
    }
  }
  // The same table memory with new contents: first-generation results follow the contents.
  const Case c{"", 5, 0, 0, kAdjusted};
  IRFrame frame = makeFrame(c.version, c.model, c.rangeIndex, &pixels);
  ASSERT_EQ(GetRawToTemp(&frame, kEveryCountSize, table.data(), kAdjusted, out.data()),
            SDK_SUCCESS);
  const auto shifted = deliveredTable(7.5f);
  std::copy(shifted.begin(), shifted.end(), table.begin());
  ASSERT_EQ(GetRawToTemp(&frame, kEveryCountSize, table.data(), kAdjusted, out.data()),
            SDK_SUCCESS);
  EXPECT_EQ(firstDifference(pixels, out,
                            [&](uint16_t n) { return directTemp(c, table.data(), n, true); }),
            -1);
}

// Region statistics over a frame holding every count, against the per-pixel definition:
// the whole frame, and regions whose columns run past the row ends (an index beyond a row is
// the next row's pixel) or past the frame (skipped).
TEST(CountTables, RegionsMatchPixelByPixelStatistics) {
  auto pixels = everyCount();
  const auto table = deliveredTable();
  const RoiRect regions[] = {{0, 0, 256, 256},
                             {-300, -2, 300, 3},
                             {-5, 250, 260, 258},
                             {10, 10, 200, 200},
                             {-40000, 100, 70000, 101}};
  for (const Case& c : {Case{"", 5, 0, 0, kAdjusted}, Case{"", 32, 0x20, 0, kAdjusted},
                        Case{"", 32, 0x21, 1, kHot}, Case{"", 20, 1, 0, kHot}}) {
    for (const RoiRect& region : regions) {
      IRFrame frame = makeFrame(c.version, c.model, c.rangeIndex, &pixels);
      RoiTempStats stats{};
      int32_t minPos[2] = {-1, -1};
      int32_t maxPos[2] = {-1, -1};
      ASSERT_EQ(GetROITemp(&frame, kEveryCountSize, table.data(), c.params, region, &stats, minPos,
                           maxPos),
                SDK_SUCCESS);
      // The region's pixels in walking order, with their positions.
      std::vector<float> temps;
      std::vector<std::pair<int, int>> at;
      float previous = 0.0f;
      for (int64_t y = region.top; y < region.bottom; ++y)
        for (int64_t x = region.left; x < region.right; ++x) {
          const int64_t index = 256 * y + x;
          if (index < 0 || index >= kTableEntries) continue;
          float g = directTemp(c, table.data(), pixels[static_cast<std::size_t>(index)], false);
          if (c.version == 20 && !(g >= -30.0f && g <= 130.0f)) g = previous;
          previous = g;
          temps.push_back(g);
          at.emplace_back(static_cast<int>(x), static_cast<int>(y));
        }
      ASSERT_GE(temps.size(), 2u);
      float minimum = 10000.0f;
      float maximum = -10000.0f;
      std::size_t minAt = 0;
      std::size_t maxAt = 0;
      double sum = 0.0;
      for (std::size_t k = 0; k < temps.size(); ++k) {
        if (temps[k] <= minimum) minimum = temps[k], minAt = k;
        if (temps[k] >= maximum) maximum = temps[k], maxAt = k;
        sum += temps[k];
      }
      const auto average = static_cast<float>(sum / static_cast<double>(temps.size()));
      double squares = 0.0;
      for (float g : temps) {
        const double d = static_cast<double>(g) - average;
        squares += d * d;
      }
      if (c.version == 32) {
        minimum = std::max(minimum, c.rangeIndex == 1 ? -10.0f : -30.0f);
        maximum = std::min(maximum, c.rangeIndex == 1 ? 660.0f : 130.0f);
      } else if (c.version == 20) {
        minimum = std::max(minimum, -30.0f);
        maximum = std::min(maximum, 130.0f);
      }
      const std::string where = "version " + std::to_string(c.version) + " region " +
                                std::to_string(region.left) + "," + std::to_string(region.top);
      EXPECT_TRUE(sameBits(stats.minTemp, minimum)) << where;
      EXPECT_TRUE(sameBits(stats.maxTemp, maximum)) << where;
      EXPECT_TRUE(sameBits(stats.avgTemp, average)) << where;
      EXPECT_TRUE(sameBits(stats.stdDev, static_cast<float>(std::sqrt(
                                             squares / (static_cast<double>(temps.size()) - 1.0)))))
          << where;
      EXPECT_EQ(std::make_pair(minPos[0], minPos[1]), at[minAt]) << where;
      EXPECT_EQ(std::make_pair(maxPos[0], maxPos[1]), at[maxAt]) << where;
    }
  }
}

// Calibrated KS frames with non-default parameters: every count of the calibrated interval
// and beyond, read from the centres of 3 x 3 blocks of one count, where smoothing keeps the
// count, against the point conversion of the same pixel.
TEST(CountTables, CalibratedImageMatchesPointConversionForEveryCount) {
  constexpr int kWidth = 640;
  constexpr int kHeight = 480;
  constexpr uint32_t kSize = kWidth | (kHeight << 16u);
  constexpr int kBlocksPerRow = kWidth / 3;
  constexpr int kBlocks = kBlocksPerRow * (kHeight / 3);
  std::vector<uint16_t> pixels(kWidth * kHeight);
  IRFrame frame = makeFrame(33, 0x21, 0, &pixels);
  writeKsCalibration(frame, 0b0001, {{-200, 1200, 1500, 52000}});
  SlotHolder slot(frame);
  ASSERT_EQ(slot.status(), SDK_SUCCESS);
  std::vector<float> out(pixels.size());
  for (const EnvParams& params : {kAdjusted, kHot, kAdjusted, kDefaults}) {
    for (int first = 0; first < kTableEntries; first += kBlocks) {
      for (int b = 0; b < kBlocks; ++b) {
        const auto count = static_cast<uint16_t>(std::min(first + b, kTableEntries - 1));
        const int x0 = 3 * (b % kBlocksPerRow);
        const int y0 = 3 * (b / kBlocksPerRow);
        for (int dy = 0; dy < 3; ++dy)
          for (int dx = 0; dx < 3; ++dx)
            pixels[static_cast<std::size_t>((y0 + dy) * kWidth + x0 + dx)] = count;
      }
      ASSERT_EQ(LoadIRCamDataKS(&frame, pixels.data(), kWidth * kHeight), SDK_SUCCESS);
      ASSERT_EQ(GetRawToTempKS(&frame, kSize, params, out.data()), SDK_SUCCESS);
      for (int b = 0; b < kBlocks && first + b < kTableEntries; ++b) {
        const int x = 3 * (b % kBlocksPerRow) + 1;
        const int y = 3 * (b / kBlocksPerRow) + 1;
        const float direct = GetPointTempKS(&frame, kSize, params, x, y);
        ASSERT_TRUE(sameBits(out[static_cast<std::size_t>(y * kWidth + x)], direct))
            << "count " << first + b << " emissivity " << params.emissivity;
      }
    }
  }
}

// Clamp-to-edge 3 x 3 mean of one pixel, summed in the plainest way.
uint16_t plainMean(const std::vector<uint16_t>& p, int width, int height, int x, int y) {
  uint32_t sum = 0;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      const int nx = std::clamp(x + dx, 0, width - 1);
      const int ny = std::clamp(y + dy, 0, height - 1);
      sum += p[static_cast<std::size_t>(ny * width + nx)];
    }
  return static_cast<uint16_t>(sum / 9);
}

TEST(Smoothing, NinthEqualsIntegerDivisionForEverySumOfNineCounts) {
  constexpr uint32_t kLargestSum = 9u * 65535u;
  uint32_t firstWrong = kLargestSum + 1;
  for (uint32_t sum = 0; sum <= kLargestSum && firstWrong > kLargestSum; ++sum)
    if (ks::ninth(sum) != sum / 9) firstWrong = sum;
  EXPECT_EQ(firstWrong, kLargestSum + 1);
}

TEST(Smoothing, MatchesThePlainMeanOnNoiseAndSaturatedImages) {
  std::mt19937 random(7);
  for (const auto& [width, height] : {std::pair{384, 288}, std::pair{640, 480}, std::pair{2, 2},
                                      std::pair{3, 1}, std::pair{5, 7}}) {
    for (int kind = 0; kind < 3; ++kind) {
      std::vector<uint16_t> pixels(static_cast<std::size_t>(width) * height);
      for (auto& p : pixels)
        p = kind == 0 ? static_cast<uint16_t>(random())
                      : (kind == 1 ? uint16_t{65535} : static_cast<uint16_t>(65530 + random() % 6));
      std::vector<uint32_t> sums(pixels.size());
      std::vector<uint16_t> out(pixels.size());
      ks::smoothImage(pixels.data(), width, height, sums.data(), out.data());
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
          ASSERT_EQ(out[static_cast<std::size_t>(y * width + x)],
                    plainMean(pixels, width, height, x, y))
              << width << "x" << height << " kind " << kind << " at " << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace irdex::temperature
