// The fast "%.2f" must print exactly what printf prints, on every value a temperature
// conversion can give and on the rounding ties.
#include "export/fixed_format.h"

#include <irdex.h>

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <ostream>
#include <random>
#include <string>

namespace solvane::exports {
namespace {

struct Mismatches {
  std::size_t checked = 0;
  std::size_t count = 0;
  std::string first;
};

void check(float value, Mismatches& m) {
  char expected[512];
  std::snprintf(expected, sizeof expected, "%.2f", static_cast<double>(value));
  char got[kMaxTwoDecimalsChars + 1];
  *formatTwoDecimals(value, got) = '\0';
  ++m.checked;
  if (std::string(expected) != got && m.count++ == 0) {
    m.first = std::string(expected) + " != " + got;
  }
}

struct ValueFamily {
  std::string name;
  std::function<void(Mismatches&)> walk;
};
void PrintTo(const ValueFamily& f, std::ostream* os) { *os << f.name; }

class TwoDecimals : public ::testing::TestWithParam<ValueFamily> {};

TEST_P(TwoDecimals, MatchesPrintf) {
  Mismatches m;
  GetParam().walk(m);
  EXPECT_GT(m.checked, 0u);
  EXPECT_EQ(m.count, 0u) << "first: " << m.first;
}

void walkConversions(Mismatches& m) {
  std::vector<float> table(65536);
  for (int range : {0, 1}) {
    ASSERT_EQ(GetTempMapTable(table.data(), range), SDK_SUCCESS);
    for (const EnvParams env :
         {EnvParams{1.0f, 20.0f, 1.0f, 0.0f}, EnvParams{0.95f, 20.0f, 1.0f, 0.0f},
          EnvParams{0.5f, -10.0f, 0.8f, 0.0f}, EnvParams{0.1f, 35.5f, 0.61f, 0.0f}}) {
      for (uint32_t raw = 0; raw < 65536; ++raw) {
        check(GetIRdataToTemp(static_cast<uint16_t>(raw), table.data(), env), m);
      }
    }
  }
}

void walkTies(Mismatches& m) {
  // Multiples of 1/8 end in 5 in the thousandths: exact ties of the rounding.
  for (int n = -80000; n <= 80000; ++n) check(static_cast<float>(n) / 8.0f, m);
}

void walkTemperatureBand(Mismatches& m) {
  // Every 397th float from -300 to 3000 degrees (a prime stride, so every digit pattern comes by).
  for (float start : {-300.0f, 0.0f}) {
    const uint32_t from = std::bit_cast<uint32_t>(start < 0 ? -0.0f : 0.0f);
    const uint32_t to = std::bit_cast<uint32_t>(start < 0 ? 300.0f : 3000.0f);
    for (uint32_t bits = from & 0x7FFFFFFFu; bits <= to; bits += 397) {
      float v = std::bit_cast<float>(bits);
      check(start < 0 ? -v : v, m);
    }
  }
}

void walkRandomBits(Mismatches& m) {
  std::mt19937 random(2026);
  for (int i = 0; i < 2000000; ++i) check(std::bit_cast<float>(static_cast<uint32_t>(random())), m);
}

void walkSpecialValues(Mismatches& m) {
  for (float v :
       {0.0f, -0.0f, 0.004999f, -0.004999f, 0.005f, -0.005f, 0.015f, 1e-45f, -1e-45f, 1073741824.0f,
        1073741760.0f, 3.4e38f, -3.4e38f, std::numeric_limits<float>::infinity(),
        -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
    check(v, m);
  }
}

INSTANTIATE_TEST_SUITE_P(Export, TwoDecimals,
                         ::testing::Values(ValueFamily{"EveryConvertedRawCount", walkConversions},
                                           ValueFamily{"RoundingTies", walkTies},
                                           ValueFamily{"TemperatureBand", walkTemperatureBand},
                                           ValueFamily{"RandomBitPatterns", walkRandomBits},
                                           ValueFamily{"ZerosLimitsAndNonFinite",
                                                       walkSpecialValues}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace solvane::exports
