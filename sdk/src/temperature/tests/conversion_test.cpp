// Raw-to-temperature conversion of the first generation, the KT family and the KS built-in
// tables, through the exports.
#include <gtest/gtest.h>
#include <irdex.h>
#include "testing/case_name.h"

#include <cmath>
#include <limits>
#include <numeric>
#include <ostream>
#include <vector>

#include "temperature/conversion.h"
#include "temperature/tests/test_frames.h"

namespace irdex::temperature {
namespace {

using test::kDefaults;
using test::kUnity;
using test::makeFrame;

// table[i] = i: temperatures equal to the index they come from.
std::vector<float> identityTable() {
  std::vector<float> table(kTableEntries);
  std::iota(table.begin(), table.end(), 0.0f);
  return table;
}

// A frame of one row holding `count` at x = 0.
struct OnePixel {
  std::vector<uint16_t> pixels;
  IRFrame frame;
  OnePixel(uint8_t version, uint8_t model, uint8_t range, uint16_t count)
      : pixels{count}, frame(makeFrame(version, model, range, &pixels)) {}
};

TEST(CountSpace, DefaultParametersIndexThroughTheReflectedTerm) {
  // Ta 20 first exceeded at index 21: reflection count 20, g = 0.95; (1000 - 1) / 0.95.
  const auto table = identityTable();
  OnePixel p(5, 0, 0, 1000);
  EXPECT_EQ(GetPointTemp(&p.frame, IrdexImageSize(1, 1), table.data(), kDefaults, 0, 0), 1051.0f);
}

class UnityGain : public ::testing::TestWithParam<std::tuple<uint16_t, float>> {};

TEST_P(UnityGain, ReadsTheTableEntryOfTheCount) {
  const auto [count, ta] = GetParam();
  std::vector<float> table(kTableEntries);
  for (int i = 0; i < kTableEntries; ++i) table[i] = std::sqrt(static_cast<float>(i)) - 40.0f;
  OnePixel p(0, 0, 0, count);
  const EnvParams params{1.0f, ta, 1.0f, 0.0f};
  EXPECT_EQ(GetPointTemp(&p.frame, IrdexImageSize(1, 1), table.data(), params, 0, 0), table[count]);
  EXPECT_EQ(GetIRdataToTemp(count, table.data(), params), table[count]);
  EXPECT_EQ(GetCorrectedTemp(table.data(), params, count), table[count]);
}

INSTANTIATE_TEST_SUITE_P(Counts, UnityGain,
                         ::testing::Combine(::testing::Values(0, 1, 5000, 65535),
                                            ::testing::Values(20.0f, -300.0f, 1000.0f)),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Count", std::get<0>(p), "Ta", std::get<1>(p));
                         });

struct CodeCase {
  uint8_t range;
  uint16_t count;
  double step;
};

void PrintTo(const CodeCase& c, std::ostream* os) {
  *os << "range " << int(c.range) << " code " << c.count;
}

class KtCodes : public ::testing::TestWithParam<CodeCase> {};

TEST_P(KtCodes, ModelOneAtDefaultsIsTheCodeItself) {
  const CodeCase c = GetParam();
  const auto table = identityTable();
  OnePixel p(20, 1, c.range, c.count);
  const EnvParams params{0.95f, 35.0f, 1.0f, 0.0f};
  EXPECT_EQ(GetPointTemp(&p.frame, IrdexImageSize(1, 1), table.data(), params, 0, 0),
            static_cast<float>(c.count * c.step - 30.0));
}

INSTANTIATE_TEST_SUITE_P(Ranges, KtCodes,
                         ::testing::Values(CodeCase{0, 5000, 0.01}, CodeCase{0, 16001, 0.01},
                                           CodeCase{1, 1234, 0.1}, CodeCase{1, 0, 0.1}),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Range", int(p.range), "Count", p.count);
                         });

TEST(KtCodes, ModelZeroCorrectsWithTheReflectionCount) {
  // g = 0.9, reflected term = reflection count 20 of the identity table.
  const auto table = identityTable();
  OnePixel p(17, 0, 0, 8000);
  const EnvParams params{0.9f, 20.0f, 1.0f, 0.0f};
  const float reflected = (0.9f - 1.0f) * 20.0f;
  EXPECT_EQ(GetPointTemp(&p.frame, IrdexImageSize(1, 1), table.data(), params, 0, 0),
            static_cast<float>((8000 * 0.01 - 30.0 + reflected) / 0.9f));
}

struct ReflectionCase {
  float ta;
  uint16_t expected;
};

void PrintTo(const ReflectionCase& c, std::ostream* os) { *os << "Ta " << c.ta; }

class ReflectionCount : public ::testing::TestWithParam<ReflectionCase> {};

TEST_P(ReflectionCount, IsTheEntryBelowTheFirstHigherOne) {
  const auto table = identityTable();
  EXPECT_EQ(reflectionCount(table.data(), GetParam().ta), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReflectionCount,
    ::testing::Values(ReflectionCase{-5.0f, 65535},     // below the first entry: wraps
                      ReflectionCase{0.5f, 65535},      // below entry 1: count 0 is replaced
                      ReflectionCase{1.0f, 1},          // equal to entry 1: first higher is 2
                      ReflectionCase{20.0f, 20},        // the analyzer's default
                      ReflectionCase{65535.0f, 65535},  // at the last entry: none is higher
                      ReflectionCase{1e9f, 65535}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName("Ta", p.ta);
    });

TEST(ReflectionCount, BelowTheTableAndGainBelowOneClampsToEntryZero) {
  std::vector<float> table(kTableEntries);
  for (int i = 0; i < kTableEntries; ++i) table[i] = 10.0f + 0.01f * static_cast<float>(i);
  const EnvParams params{0.5f, -100.0f, 1.0f, 0.0f};
  EXPECT_EQ(GetIRdataToTemp(100, table.data(), params), table[0]);
}

TEST(CountSpace, IndexWithoutAValueCountsAsZero) {
  // Emissivity 0 divides by zero; the index of an infinite or undefined value is 0.
  const auto table = identityTable();
  EXPECT_EQ(GetIRdataToTemp(3000, table.data(), EnvParams{0.0f, 20.0f, 1.0f, 0.0f}), 0.0f);
  EXPECT_EQ(GetIRdataToTemp(0, table.data(), EnvParams{0.0f, 20.0f, 1.0f, 0.0f}), 0.0f);
  // Far above the table the index is limited to the last entry.
  EXPECT_EQ(GetIRdataToTemp(65535, table.data(), EnvParams{0.5f, 0.0f, 1.0f, 0.0f}), 65535.0f);
}

struct SentinelCase {
  uint8_t range;
  uint16_t count;
  float expected;
};

void PrintTo(const SentinelCase& c, std::ostream* os) {
  *os << "range " << int(c.range) << " count " << c.count;
}

class BuiltInSentinels : public ::testing::TestWithParam<SentinelCase> {};

TEST_P(BuiltInSentinels, MarkCountsOutsideTheLine) {
  const SentinelCase c = GetParam();
  EXPECT_FLOAT_EQ(builtInTemp(c.count, c.range), c.expected);
  // The KS point export leaves default parameters uncorrected.
  OnePixel p(32, 0x20, c.range, c.count);
  EXPECT_FLOAT_EQ(GetPointTempKS(&p.frame, IrdexImageSize(1, 1), kDefaults, 0, 0), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, BuiltInSentinels,
    ::testing::Values(SentinelCase{0, 1999, -31.0f}, SentinelCase{0, 14001, 131.0f},
                      SentinelCase{0, 2000, -30.0f}, SentinelCase{0, 14000, 130.0f},
                      SentinelCase{2, 1999, -31.0f}, SentinelCase{1, 1999, -11.0f},
                      SentinelCase{1, 14001, 661.0f}, SentinelCase{1, 2000, -10.0f},
                      SentinelCase{1, 14000, 660.0f}, SentinelCase{1, 8000, 325.0f}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName("Range", int(p.range), "Count", p.count);
    });

TEST(BuiltInTables, AreClampedAtBothEnds) {
  EXPECT_EQ(builtInLowTable()[0], -30.0f);
  EXPECT_EQ(builtInLowTable()[65535], 130.0f);
  EXPECT_EQ(builtInHighTable()[0], -10.0f);
  EXPECT_EQ(builtInHighTable()[65535], 660.0f);
  for (int i = 1; i < kTableEntries; ++i) ASSERT_GE(builtInLowTable()[i], builtInLowTable()[i - 1]);
}

struct CorrectionCase {
  EnvParams params;
  float t0;
  float expected;
  float tolerance;
};

void PrintTo(const CorrectionCase& c, std::ostream* os) {
  *os << "e " << c.params.emissivity << " Ta " << c.params.atmosphericTemp << " tau "
      << c.params.transmission << " T0 " << c.t0;
}

class RadianceCorrection : public ::testing::TestWithParam<CorrectionCase> {};

TEST_P(RadianceCorrection, MatchesTheWorkedValues) {
  const CorrectionCase c = GetParam();
  EXPECT_NEAR(radianceCorrection(c.t0, c.params), c.expected, c.tolerance);
  // The inverse takes the corrected value back.
  EXPECT_NEAR(inverseRadianceCorrection(radianceCorrection(c.t0, c.params), c.params), c.t0, 0.01f);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RadianceCorrection,
    ::testing::Values(CorrectionCase{{0.8f, 20.0f, 1.0f, 0.0f}, 100.0f, 111.40f, 0.01f},
                      CorrectionCase{{0.95f, 20.0f, 0.9f, 0.0f}, 100.0f, 106.83f, 0.01f},
                      // The reference emissivity returns the input whatever Ta is.
                      CorrectionCase{{0.95f, 20.0f, 1.0f, 0.0f}, 100.0f, 100.0f, 1e-3f},
                      CorrectionCase{{0.95f, -15.0f, 1.0f, 0.0f}, 37.5f, 37.5f, 1e-3f},
                      CorrectionCase{{0.95f, 300.0f, 1.0f, 0.0f}, 600.0f, 600.0f, 1e-3f}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName("Case", i, "T0", p.t0);
    });

TEST(RadianceCorrection, VersionThirtyTwoPointIsAlwaysCorrected) {
  // Count 11750 lies on 100 degrees of the low line.
  const auto table = identityTable();
  OnePixel p(32, 0x20, 0, 11750);
  const EnvParams params{0.8f, 20.0f, 1.0f, 0.0f};
  const float t0 = builtInTemp(11750, 0);
  EXPECT_EQ(GetPointTemp(&p.frame, IrdexImageSize(1, 1), table.data(), params, 0, 0),
            radianceCorrection(t0, params));
  EXPECT_NEAR(GetPointTemp(&p.frame, IrdexImageSize(1, 1), table.data(), params, 0, 0), 111.40f,
              0.01f);
  EXPECT_EQ(GetPointTemp(&p.frame, IrdexImageSize(1, 1), table.data(), kDefaults, 0, 0),
            radianceCorrection(t0, kDefaults));
}

struct DefaultCase {
  EnvParams params;
  bool isDefault;
};

void PrintTo(const DefaultCase& c, std::ostream* os) {
  *os << "e " << c.params.emissivity << " Ta " << c.params.atmosphericTemp << " tau "
      << c.params.transmission;
}

class DefaultParameters : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(DefaultParameters, CompareInTruncatedHundredths) {
  EXPECT_EQ(isDefaultParams(GetParam().params), GetParam().isDefault);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DefaultParameters,
    ::testing::Values(DefaultCase{{0.95f, 20.0f, 1.0f, 7.0f}, true},
                      DefaultCase{{0.9599f, 20.009f, 1.0099f, 0.0f}, true},
                      DefaultCase{{0.949f, 20.0f, 1.0f, 0.0f}, false},
                      DefaultCase{{0.96f, 20.0f, 1.0f, 0.0f}, false},
                      DefaultCase{{0.95f, 19.99f, 1.0f, 0.0f}, false},
                      DefaultCase{{0.95f, 20.0f, 0.999f, 0.0f}, false},
                      DefaultCase{{0.95f, std::numeric_limits<float>::quiet_NaN(), 1.0f, 0.0f},
                                  false}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName("Case", i, p.isDefault ? "Default" : "Changed");
    });

TEST(NeighbourhoodMean, BorderNeighboursCountAsTheCentre) {
  // A 4 x 3 frame, 900 in the corner: five of nine samples are the corner itself, the
  // remaining three real neighbours are 0, so the mean is 6 x 900 / 9.
  std::vector<uint16_t> pixels(12, 0);
  pixels[0] = 900;
  IRFrame frame = makeFrame(3, 0, 0, &pixels);
  const auto table = identityTable();
  EXPECT_EQ(GetNeighborPointTemp(&frame, IrdexImageSize(4, 3), table.data(), kUnity, 0, 0), 600.0f);
  // Inside the frame, one bright pixel adds a ninth of itself; the mean is truncated.
  pixels = {0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(GetNeighborPointTemp(&frame, IrdexImageSize(4, 3), table.data(), kUnity, 2, 1), 1.0f);
  EXPECT_EQ(GetNeighborPointTemp(&frame, IrdexImageSize(4, 3), table.data(), kUnity, 1, 1), 1.0f);
}

TEST(NeighbourhoodMean, CornerOfTheFarSide) {
  std::vector<uint16_t> pixels(12, 90);
  pixels[11] = 0;  // (3, 2)
  IRFrame frame = makeFrame(3, 0, 0, &pixels);
  const auto table = identityTable();
  // Centre 0 counts six times; three neighbours of 90.
  EXPECT_EQ(GetNeighborPointTemp(&frame, IrdexImageSize(4, 3), table.data(), kUnity, 3, 2), 30.0f);
}

TEST(WholeFrame, ConvertsEveryPixelInOrder) {
  std::vector<uint16_t> pixels{100, 200, 300, 400, 500, 600};
  IRFrame frame = makeFrame(25, 1, 0, &pixels);
  const auto table = identityTable();
  std::vector<float> out(6, -1.0f);
  ASSERT_EQ(GetRawToTemp(&frame, IrdexImageSize(3, 2), table.data(), kDefaults, out.data()),
            SDK_SUCCESS);
  for (int k = 0; k < 6; ++k) EXPECT_EQ(out[k], static_cast<float>(pixels[k] * 0.01 - 30.0)) << k;
}

TEST(WholeFrame, ZeroHeightWritesNothing) {
  std::vector<uint16_t> pixels{100};
  IRFrame frame = makeFrame(5, 0, 0, &pixels);
  const auto table = identityTable();
  float out = -7.0f;
  EXPECT_EQ(GetRawToTemp(&frame, IrdexImageSize(640, 0), table.data(), kDefaults, &out),
            SDK_SUCCESS);
  EXPECT_EQ(out, -7.0f);
}

TEST(MissingPointers, AreReportedBeforeAnyWork) {
  const auto table = identityTable();
  std::vector<uint16_t> pixels{100};
  IRFrame frame = makeFrame(5, 0, 0, &pixels);
  float out = 0.0f;
  EXPECT_EQ(GetPointTemp(nullptr, 1, table.data(), kDefaults, 0, 0), -1000.0f);
  EXPECT_EQ(GetPointTemp(&frame, 1, nullptr, kDefaults, 0, 0), -1000.0f);
  EXPECT_EQ(GetNeighborPointTemp(&frame, 1, nullptr, kDefaults, 0, 0), -1000.0f);
  EXPECT_EQ(GetRawToTemp(&frame, 1, table.data(), kDefaults, nullptr), SDK_ERR_BUFFER);
  EXPECT_EQ(GetRawToTemp(nullptr, 1, table.data(), kDefaults, &out), SDK_ERR_BUFFER);
  EXPECT_EQ(GetIRdataToTemp(1, nullptr, kDefaults), -1000.0f);
  EXPECT_EQ(GetCorrectedTemp(nullptr, kDefaults, 1), -1000.0f);
  // A first-generation frame without pixels reads entry 0; later generations have no
  // table entry to fall back on.
  IRFrame empty = makeFrame(5, 0, 0);
  EXPECT_EQ(GetPointTemp(&empty, 1, table.data(), kDefaults, 0, 0), 0.0f);
  IRFrame emptyKt = makeFrame(20, 1, 0);
  EXPECT_EQ(GetPointTemp(&emptyKt, 1, table.data(), kDefaults, 0, 0), -1000.0f);
  EXPECT_EQ(GetRawToTemp(&emptyKt, IrdexImageSize(1, 1), table.data(), kDefaults, &out),
            SDK_ERR_BUFFER);
}

struct RangeCase {
  int32_t type, range;
  SdkStatus status;
  int16_t low, high;
};

void PrintTo(const RangeCase& c, std::ostream* os) {
  *os << "type " << c.type << " range " << c.range;
}

class CameraRanges : public ::testing::TestWithParam<RangeCase> {};

TEST_P(CameraRanges, FollowTheTypeTable) {
  const RangeCase c = GetParam();
  int16_t low = 11111, high = 22222;
  EXPECT_EQ(GetCameraTempRangeValue(c.type, c.range, &low, &high), c.status);
  EXPECT_EQ(low, c.low);
  EXPECT_EQ(high, c.high);
}

INSTANTIATE_TEST_SUITE_P(Types, CameraRanges,
                         ::testing::Values(RangeCase{0, 0, 1, -20, 120}, RangeCase{0, 1, 1, 0, 120},
                                           RangeCase{1, 0, 1, 0, 650}, RangeCase{1, 1, 1, 0, 650},
                                           RangeCase{0, 2, -1001, 11111, 22222},
                                           RangeCase{1, -1, -1001, 11111, 22222},
                                           RangeCase{2, 0, -1, 11111, 22222},
                                           RangeCase{3, 0, 1, 11111, 22222}),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Type", p.type, "Range", p.range);
                         });

TEST(NominalRanges, ListTheTwoRanges) {
  int16_t low = 1, high = 1;
  EXPECT_EQ(GetTempRangeValue(0, &low, &high), SDK_SUCCESS);
  EXPECT_EQ(low, -20);
  EXPECT_EQ(high, 130);
  EXPECT_EQ(GetTempRangeValue(1, &low, &high), SDK_SUCCESS);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 650);
  EXPECT_EQ(GetTempRangeValue(2, &low, &high), SDK_ERR_INVALID_HANDLE);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(GetTempRangeValue(0, nullptr, &high), SDK_ERR_BUFFER);
}

}  // namespace
}  // namespace irdex::temperature

namespace irdex::temperature {
namespace {

// Every count once, in a 256 x 256 frame.
std::vector<uint16_t> everyCount() {
  std::vector<uint16_t> pixels(kTableEntries);
  std::iota(pixels.begin(), pixels.end(), uint16_t{0});
  return pixels;
}

TEST(WholeFrame, BuiltInCorrectionByCountEqualsPixelByPixel) {
  auto pixels = everyCount();
  const EnvParams params{0.8f, 25.0f, 0.9f, 0.0f};
  const std::vector<float> table(kTableEntries, 0.0f);
  std::vector<float> out(kTableEntries, 0.0f);
  for (uint8_t range : {0, 1}) {
    IRFrame frame = test::makeFrame(32, 0x20, range, &pixels);
    ASSERT_EQ(GetRawToTemp(&frame, IrdexImageSize(256, 256), table.data(), params, out.data()),
              SDK_SUCCESS);
    for (int n = 0; n < kTableEntries; ++n)
      ASSERT_EQ(out[n], radianceCorrection(builtInTemp(static_cast<uint16_t>(n), range), params))
          << n;
    ASSERT_EQ(GetRawToTempKS(&frame, IrdexImageSize(256, 256), params, out.data()), SDK_SUCCESS);
    for (int n = 0; n < kTableEntries; ++n)
      ASSERT_EQ(out[n], radianceCorrection(builtInTemp(static_cast<uint16_t>(n), range), params))
          << n;
  }
}

}  // namespace
}  // namespace irdex::temperature
