// The KS smoothing has one row loop per instruction-set level. Each path the processor runs
// must give the baseline's counts bit for bit, on every count and on images made to reach the
// edges of the arithmetic: saturated sums, sums next to multiples of nine, row tails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "records/cpu_dispatch.h"
#include "temperature/ks_calibration.h"

namespace irdex {
// Failure messages name the path, not its bytes.
inline void PrintTo(CpuLevel level, std::ostream* out) { *out << cpuLevelName(level); }

namespace ks {
namespace {

struct Image {
  int width, height;
  std::vector<uint16_t> pixels;
};

// Every count, once each, in a 256 x 256 image: in order, and shuffled so that neighbours differ.
Image everyCount(bool shuffled) {
  Image image{256, 256, std::vector<uint16_t>(65536)};
  std::iota(image.pixels.begin(), image.pixels.end(), uint16_t{0});
  if (shuffled) std::shuffle(image.pixels.begin(), image.pixels.end(), std::mt19937(11));
  return image;
}

Image noise(int width, int height, uint32_t seed) {
  Image image{width, height, std::vector<uint16_t>(static_cast<std::size_t>(width) * height)};
  std::mt19937 random(seed);
  for (auto& p : image.pixels) p = static_cast<uint16_t>(random());
  return image;
}

// Alternating 0 and 65535: every sum is a multiple of 65535, the largest ones saturate.
Image checkerboard(int width, int height) {
  Image image{width, height, std::vector<uint16_t>(static_cast<std::size_t>(width) * height)};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.pixels[static_cast<std::size_t>(y * width + x)] = (x + y) % 2 ? 65535 : 0;
  return image;
}

// Counts just around a multiple of nine apart, so the sums land on either side of one.
Image nearNinths(int width, int height) {
  Image image{width, height, std::vector<uint16_t>(static_cast<std::size_t>(width) * height)};
  for (std::size_t k = 0; k < image.pixels.size(); ++k)
    image.pixels[k] = static_cast<uint16_t>(65535 - 9 * (k % 7281) - k % 3);
  return image;
}

std::vector<uint16_t> smoothed(CpuLevel level, const Image& image) {
  std::vector<uint32_t> sums(image.pixels.size());
  std::vector<uint16_t> out(image.pixels.size());
  smoothImage(level, image.pixels.data(), image.width, image.height, sums.data(), out.data());
  return out;
}

std::vector<CpuLevel> fastLevelsHere() {
  std::vector<CpuLevel> levels;
  for (const CpuLevel level : kCpuLevels)
    if (level != CpuLevel::Baseline && cpuRuns(level)) levels.push_back(level);
  return levels;
}

class FastSmoothing : public ::testing::TestWithParam<CpuLevel> {
 protected:
  void expectSameAsBaseline(const Image& image) {
    const auto expected = smoothed(CpuLevel::Baseline, image);
    const auto actual = smoothed(GetParam(), image);
    const auto wrong = std::mismatch(expected.begin(), expected.end(), actual.begin());
    ASSERT_TRUE(wrong.first == expected.end())
        << image.width << "x" << image.height << ": first difference at pixel "
        << (wrong.first - expected.begin()) << ", baseline " << *wrong.first << ", "
        << cpuLevelName(GetParam()) << " " << *wrong.second;
  }
};

TEST_P(FastSmoothing, MatchesBaselineOnEveryCount) {
  expectSameAsBaseline(everyCount(false));
  expectSameAsBaseline(everyCount(true));
}

// Flat images give each count's own mean through a sum of exactly nine times the count;
// 19 columns run one vector block and a scalar tail on every path.
TEST_P(FastSmoothing, MatchesBaselineOnFlatImagesOfEveryCount) {
  for (uint32_t count = 0; count <= 65535; ++count) {
    const Image flat{19, 2, std::vector<uint16_t>(38, static_cast<uint16_t>(count))};
    expectSameAsBaseline(flat);
    if (HasFatalFailure()) return;
  }
}

// Widths around the vector block sizes (8, 16, and their tails), the camera sizes, and the
// narrowest images.
TEST_P(FastSmoothing, MatchesBaselineOnNoiseAndAdversarialImagesOfEveryWidth) {
  const std::pair<int, int> sizes[] = {{384, 288}, {640, 480}, {1, 1},  {1, 5},  {2, 2},
                                       {3, 1},     {7, 3},     {8, 2},  {9, 4},  {15, 3},
                                       {16, 1},    {17, 6},    {18, 2}, {31, 3}, {33, 5}};
  uint32_t seed = 1;
  for (const auto& [width, height] : sizes) {
    expectSameAsBaseline(noise(width, height, seed++));
    expectSameAsBaseline(checkerboard(width, height));
    expectSameAsBaseline(nearNinths(width, height));
    expectSameAsBaseline(Image{
        width, height, std::vector<uint16_t>(static_cast<std::size_t>(width) * height, 65535)});
    if (HasFatalFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, FastSmoothing, ::testing::ValuesIn(fastLevelsHere()),
                         [](const ::testing::TestParamInfo<CpuLevel>& info) {
                           return std::string(cpuLevelName(info.param));
                         });
// A processor with neither SSE4.1 nor AVX2 has no fast path to compare.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FastSmoothing);

// One column is its own left and right neighbour: the mean of a 1-pixel-wide image is the
// mean of the three counts above, at and below each pixel.
TEST(SingleColumnSmoothing, AveragesVerticalNeighboursOnly) {
  const Image column{1, 4, {90, 0, 9, 18000}};
  for (const CpuLevel level : kCpuLevels) {
    EXPECT_EQ(smoothed(level, column), (std::vector<uint16_t>{60, 33, 6003, 12003}))
        << cpuLevelName(level);
  }
}

}  // namespace
}  // namespace ks
}  // namespace irdex
