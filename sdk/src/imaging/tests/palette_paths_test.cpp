// Colouring has a gather path for 32-bit pixels. Every path the processor runs must write the
// baseline's bytes, for every grey level, every direction and row widths around the block of
// eight pixels.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "imaging/palette.h"
#include "records/cpu_dispatch.h"

namespace irdex {
// Failure messages name the path, not its bytes.
inline void PrintTo(CpuLevel level, std::ostream* out) { *out << cpuLevelName(level); }

namespace imaging {
namespace {

std::vector<uint8_t> randomPalette() {
  std::vector<uint8_t> palette(kPaletteBytes);
  std::mt19937 random(3);
  for (auto& byte : palette) byte = static_cast<uint8_t>(random());
  return palette;
}

std::vector<uint8_t> coloured(CpuLevel level, const std::vector<uint8_t>& grey, int width,
                              int height, ColourLayout layout) {
  // One spare pixel's worth at the end shows any write past the image.
  std::vector<uint8_t> dest(grey.size() * 4 + 4, 0xEE);
  greyToColour(level, grey.data(), dest.data(), static_cast<uint16_t>(width),
               static_cast<uint16_t>(height), randomPalette().data(), layout);
  return dest;
}

std::vector<CpuLevel> fastLevelsHere() {
  std::vector<CpuLevel> levels;
  for (const CpuLevel level : kCpuLevels)
    if (level != CpuLevel::Baseline && cpuRuns(level)) levels.push_back(level);
  return levels;
}

using PathCase = std::tuple<CpuLevel, int>;  // path, bits per pixel

class FastColouring : public ::testing::TestWithParam<PathCase> {
 protected:
  void expectSameAsBaseline(const std::vector<uint8_t>& grey, int width, int height) {
    const auto [level, bits] = GetParam();
    for (const bool mirror : {false, true}) {
      for (const bool flip : {false, true}) {
        const ColourLayout layout{bits, mirror, flip};
        ASSERT_EQ(coloured(level, grey, width, height, layout),
                  coloured(CpuLevel::Baseline, grey, width, height, layout))
            << width << "x" << height << (mirror ? " mirrored" : "") << (flip ? " flipped" : "");
      }
    }
  }
};

TEST_P(FastColouring, MatchesBaselineOnEveryGreyLevel) {
  std::vector<uint8_t> grey(256);
  for (int level = 0; level < 256; ++level)
    grey[static_cast<std::size_t>(level)] = static_cast<uint8_t>(level);
  expectSameAsBaseline(grey, 16, 16);
  expectSameAsBaseline(grey, 256, 1);
}

TEST_P(FastColouring, MatchesBaselineOnNoiseAtEveryBlockTail) {
  const std::pair<int, int> sizes[] = {{1, 1},  {3, 2},  {7, 3},  {8, 2},     {9, 3},    {15, 2},
                                       {16, 3}, {17, 2}, {25, 3}, {384, 288}, {640, 480}};
  std::mt19937 random(5);
  for (const auto& [width, height] : sizes) {
    std::vector<uint8_t> grey(static_cast<std::size_t>(width) * height);
    for (auto& level : grey) level = static_cast<uint8_t>(random());
    expectSameAsBaseline(grey, width, height);
    if (HasFatalFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, FastColouring,
                         ::testing::Combine(::testing::ValuesIn(fastLevelsHere()),
                                            ::testing::Values(16, 24, 32)),
                         [](const ::testing::TestParamInfo<PathCase>& info) {
                           return std::string(cpuLevelName(std::get<0>(info.param))) + "_" +
                                  std::to_string(std::get<1>(info.param)) + "bit";
                         });
// A processor with neither SSE4.1 nor AVX2 has no fast path to compare.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FastColouring);

}  // namespace
}  // namespace imaging
}  // namespace irdex
