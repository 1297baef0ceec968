// The bilateral filter has a path that works on four pixels at once. Every path the processor
// runs must give the baseline's image byte for byte: on noise, on images whose weights reach
// the extremes (full-range steps, flat areas, sigmas so small that every weight underflows,
// zero sigmas), at every radius, and at widths around the block of four.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "imaging/filters.h"
#include "records/cpu_dispatch.h"

namespace irdex {
// Failure messages name the path, not its bytes.
inline void PrintTo(CpuLevel level, std::ostream* out) { *out << cpuLevelName(level); }

namespace imaging {
namespace {

struct Sigmas {
  const char* name;
  float spatial, range;
};

const Sigmas kSigmas[] = {{"Usual", 1.5f, 20.0f},
                          {"WideRange", 3.0f, 1000.0f},
                          {"Underflowing", 0.3f, 0.05f},
                          {"ZeroRange", 1.0f, 0.0f}};

void PrintTo(const Sigmas& sigmas, std::ostream* out) { *out << sigmas.name; }

enum class Kind { Noise, Steps, Checkerboard, Flat };

std::vector<uint8_t> image(Kind kind, int width, int height, uint32_t seed) {
  std::vector<uint8_t> pixels(static_cast<std::size_t>(width) * height);
  std::mt19937 random(seed);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t& p = pixels[static_cast<std::size_t>(y * width + x)];
      switch (kind) {
        case Kind::Noise: p = static_cast<uint8_t>(random()); break;
        case Kind::Steps: p = (x / 3 + y / 2) % 2 ? 255 : 0; break;
        case Kind::Checkerboard: p = (x + y) % 2 ? 255 : 0; break;
        case Kind::Flat: p = 173; break;
      }
    }
  }
  return pixels;
}

std::vector<CpuLevel> fastLevelsHere() {
  std::vector<CpuLevel> levels;
  for (const CpuLevel level : kCpuLevels)
    if (level != CpuLevel::Baseline && cpuRuns(level)) levels.push_back(level);
  return levels;
}

using PathCase = std::tuple<CpuLevel, Sigmas>;

class FastBilateral : public ::testing::TestWithParam<PathCase> {};

TEST_P(FastBilateral, MatchesBaselineAtEveryRadiusAndBlockTail) {
  const auto& [level, sigmas] = GetParam();
  const std::pair<int, int> sizes[] = {{1, 1}, {3, 5}, {4, 4},  {5, 3},   {7, 2},
                                       {8, 9}, {9, 4}, {13, 7}, {29, 21}, {384, 288}};
  uint32_t seed = 1;
  for (const auto& [width, height] : sizes) {
    for (const Kind kind : {Kind::Noise, Kind::Steps, Kind::Checkerboard, Kind::Flat}) {
      for (const int radius : {1, 2, 3, 5, 12}) {
        // The large image once per kind at the usual radius keeps the run short.
        if (width > 100 && radius != 2) continue;
        const auto original = image(kind, width, height, seed++);
        auto expected = original, actual = original;
        bilateralFilter(CpuLevel::Baseline, std::span(expected), width, height, sigmas.spatial,
                        sigmas.range, radius);
        bilateralFilter(level, std::span(actual), width, height, sigmas.spatial, sigmas.range,
                        radius);
        ASSERT_EQ(actual, expected)
            << width << "x" << height << " kind " << static_cast<int>(kind) << " radius " << radius;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, FastBilateral,
                         ::testing::Combine(::testing::ValuesIn(fastLevelsHere()),
                                            ::testing::ValuesIn(kSigmas)),
                         [](const ::testing::TestParamInfo<PathCase>& info) {
                           return std::string(cpuLevelName(std::get<0>(info.param))) + "_" +
                                  std::get<1>(info.param).name;
                         });
// A processor with neither SSE4.1 nor AVX2 has no fast path to compare.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FastBilateral);

}  // namespace
}  // namespace imaging
}  // namespace irdex
