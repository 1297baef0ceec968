// Every table conversion ends in one look-up per pixel, which has a gather path. Each path the
// processor runs must hand back the table's 32-bit patterns untouched (NaN payloads, negative
// zero, subnormals and infinities too) for every count, and must stop exactly at the end of
// the image whatever its length.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "records/cpu_dispatch.h"
#include "temperature/count_lookup.h"

namespace irdex {
// Failure messages name the path, not its bytes.
inline void PrintTo(CpuLevel level, std::ostream* out) { *out << cpuLevelName(level); }

namespace temperature {
namespace {

// 65,536 distinct bit patterns spread over every class of float: a multiplicative hash of
// the count makes NaNs with payloads, subnormals, zeros of both signs and infinities likely.
std::vector<float> oddTable() {
  std::vector<float> table(65536);
  for (uint32_t n = 0; n < 65536; ++n) {
    uint32_t bits = n * 2654435761u;
    if (n % 7 == 0) bits = 0x7F800000u | (n << 3);  // NaN (or infinity at n = 0)
    if (n % 11 == 0) bits = n;                      // subnormal
    if (n == 1) bits = 0x80000000u;                 // negative zero
    std::memcpy(&table[n], &bits, sizeof bits);
  }
  return table;
}

std::vector<uint32_t> patterns(CpuLevel level, const std::vector<uint16_t>& counts,
                               const std::vector<float>& table) {
  // Two spare entries at the end show any write past the image.
  std::vector<float> out(counts.size() + 2, 1.5f);
  lookUpCounts(level, counts.data(), static_cast<int64_t>(counts.size()), table.data(), out.data());
  std::vector<uint32_t> bits(out.size());
  std::memcpy(bits.data(), out.data(), out.size() * sizeof(float));
  return bits;
}

std::vector<CpuLevel> fastLevelsHere() {
  std::vector<CpuLevel> levels;
  for (const CpuLevel level : kCpuLevels)
    if (level != CpuLevel::Baseline && cpuRuns(level)) levels.push_back(level);
  return levels;
}

class FastLookUp : public ::testing::TestWithParam<CpuLevel> {};

TEST_P(FastLookUp, MatchesBaselineOnEveryCount) {
  const auto table = oddTable();
  std::vector<uint16_t> counts(65536);
  std::iota(counts.begin(), counts.end(), uint16_t{0});
  EXPECT_EQ(patterns(GetParam(), counts, table), patterns(CpuLevel::Baseline, counts, table));
  std::shuffle(counts.begin(), counts.end(), std::mt19937(9));
  EXPECT_EQ(patterns(GetParam(), counts, table), patterns(CpuLevel::Baseline, counts, table));
}

TEST_P(FastLookUp, MatchesBaselineAtEveryLengthAroundTheBlock) {
  const auto table = oddTable();
  std::mt19937 random(13);
  for (std::size_t length = 0; length <= 33; ++length) {
    std::vector<uint16_t> counts(length);
    for (auto& count : counts) count = static_cast<uint16_t>(random());
    ASSERT_EQ(patterns(GetParam(), counts, table), patterns(CpuLevel::Baseline, counts, table))
        << length << " pixels";
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, FastLookUp, ::testing::ValuesIn(fastLevelsHere()),
                         [](const ::testing::TestParamInfo<CpuLevel>& info) {
                           return std::string(cpuLevelName(info.param));
                         });
// A processor with neither SSE4.1 nor AVX2 has no fast path to compare.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FastLookUp);

}  // namespace
}  // namespace temperature
}  // namespace irdex
