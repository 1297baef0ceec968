#include <gtest/gtest.h>
#include <irdex.h>
#include "testing/case_name.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/agc.h"
#include "imaging/plateau.h"
#include "imaging/render_mapping.h"
#include "imaging/tests/render_test_support.h"

namespace irdex::imaging {
namespace {

using test::agcRecord;
using test::makeFrame;

constexpr uint8_t kCodeVersion = 20;  // temperature codes: count x 0.01 - 30 in range 0

struct Rendered {
  SdkStatus status;
  std::vector<uint8_t> grey;
  float level;
  float span;
};

Rendered renderCodes(std::vector<uint16_t> pixels, AgcParams agc, float level, float span,
                     uint8_t rangeIndex = 0) {
  IRFrame frame = makeFrame(kCodeVersion, 1, rangeIndex, &pixels);
  Rendered result{0, std::vector<uint8_t>(pixels.size(), 0xEE), level, span};
  result.status = GetImage(result.grey.data(), &frame, static_cast<int32_t>(pixels.size()), nullptr,
                           &result.level, &result.span, &agc);
  return result;
}

std::vector<uint16_t> rampTenTimes() {  // each count 1000 .. 2000 ten times
  std::vector<uint16_t> pixels;
  for (int n = 1000; n <= 2000; ++n) pixels.insert(pixels.end(), 10, static_cast<uint16_t>(n));
  return pixels;
}

// The histogram counts with several sets of bins at once; whatever the input, the bins, the
// total and the occupied stretch are those of a plain count, and a call leaves nothing
// behind for the next one (each input is counted after the others).
struct HistogramInput {
  const char* name;
  std::vector<uint16_t> pixels;
};

std::vector<HistogramInput> histogramInputs() {
  std::vector<uint16_t> runs(640 * 481);
  uint32_t noise = 7;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    noise = noise * 1664525u + 1013904223u;
    runs[i] = (noise >> 24) < 184 ? 8123 : static_cast<uint16_t>(7000 + (noise >> 20) % 3000);
  }
  std::vector<uint16_t> everyCount(65536);
  for (std::size_t i = 0; i < everyCount.size(); ++i) everyCount[i] = static_cast<uint16_t>(i);
  return {{"Empty", {}},
          {"OnePixel", {42}},
          {"SevenWithATail", {5, 65535, 5, 0, 9, 9, 65535}},
          {"OneCountEverywhere", std::vector<uint16_t>(640 * 480, 30000)},
          {"EveryCountOnce", everyCount},
          {"RunsOfOneCountAndNoise", runs},
          {"OnePixelAgain", {7}}};
}

TEST(BuildHistogram, EqualsAPlainCountForEveryInputInTurn) {
  std::vector<uint32_t> bins(kCountBins, 99);  // whatever the caller's buffer held
  for (const HistogramInput& input : histogramInputs()) {
    std::vector<uint32_t> expected(kCountBins, 0);
    for (const uint16_t c : input.pixels) ++expected[c];
    const CountHistogram histogram = buildHistogram(bins.data(), input.pixels);
    EXPECT_EQ(bins, expected) << input.name;
    EXPECT_EQ(histogram.total, input.pixels.size()) << input.name;
    if (input.pixels.empty()) continue;
    const auto [low, high] = std::minmax_element(input.pixels.begin(), input.pixels.end());
    EXPECT_EQ(histogram.lowest, *low) << input.name;
    EXPECT_EQ(histogram.highest, *high) << input.name;
  }
}

TEST(AgcWindow, MinMaxCutsATenthOfAPercentAtEachEnd) {
  std::vector<uint32_t> bins(kCountBins);
  const std::vector<uint16_t> pixels = rampTenTimes();
  const CountHistogram histogram = buildHistogram(bins.data(), pixels);
  AgcSettings settings;
  settings.inputMethod = kMinMax;
  const CountWindow window =
      automaticWindow(histogram, settings, TemperatureCodeScale(0), 10.0f, false);
  EXPECT_EQ(window.lo, 1001);
  EXPECT_EQ(window.hi, 1999);
}

TEST(AgcWindow, MinMaxReportsLevelAndSpanOfTheWindow) {
  const Rendered r = renderCodes(rampTenTimes(), agcRecord(kMinMax, kLinear), 0.0f, 0.0f);
  ASSERT_EQ(r.status, SDK_SUCCESS);
  EXPECT_NEAR(r.span, 9.98f, 1e-4f);    // (1999 - 1001) x 0.01
  EXPECT_NEAR(r.level, -15.0f, 1e-4f);  // -19.99 + 4.99
}

TEST(AgcWindow, StandardDeviationSpansSdRateDeviationsAroundTheMean) {
  std::vector<uint32_t> bins(kCountBins);
  std::vector<uint16_t> pixels(500, 1000);
  pixels.insert(pixels.end(), 500, 3000);
  const CountHistogram histogram = buildHistogram(bins.data(), pixels);
  AgcSettings settings;
  settings.inputMethod = kStandardDeviation;
  settings.sdRate = 0.5f;
  const CountWindow window =
      automaticWindow(histogram, settings, TemperatureCodeScale(0), 10.0f, false);
  EXPECT_NEAR(window.lo, 1500, 1);
  EXPECT_NEAR(window.hi, 2500, 1);
}

TEST(AgcWindow, StandardDeviationTreatsSmallVarianceAsFlat) {
  // Counts 1000 and 1001: variance 0.25, below 10, so the window closes on the mean and the
  // flat-image rule opens it around count 1000: -20 degrees, the range bottom, so lo is the
  // level's own count.
  std::vector<uint16_t> pixels;
  for (int i = 0; i < 400; ++i) pixels.push_back(static_cast<uint16_t>(1000 + i % 2));
  const Rendered r = renderCodes(pixels, agcRecord(kStandardDeviation, kLinear), 0.0f, 10.0f);
  ASSERT_EQ(r.status, SDK_SUCCESS);
  // Window 1000 .. count(-15) = 1500.
  EXPECT_EQ(r.span, 6.0f);  // 5 degrees wide
  EXPECT_NEAR(r.level, -17.5f, 1e-4f);
  EXPECT_EQ(r.grey[0], 0);
  EXPECT_EQ(r.grey[1], 0);  // 1 / 500 of the way
}

TEST(AgcWindow, FlatFrameIsCentredOnItsTemperatureWithTheCallersSpan) {
  const Rendered r =
      renderCodes(std::vector<uint16_t>(300, 5000), agcRecord(kMinMax, kLinear), 0.0f, 10.0f);
  ASSERT_EQ(r.status, SDK_SUCCESS);
  EXPECT_FLOAT_EQ(r.level, 20.0f);
  EXPECT_FLOAT_EQ(r.span, 10.0f);
  EXPECT_EQ(r.grey[0], 127);  // the middle of 4500 .. 5500
}

TEST(AgcWindow, UnknownInputMethodIsAnEmptyWindowAroundCountZero) {
  // T(0) = -30 lies below the -20 bottom, so lo is count(-30) = 0 and hi count(-25) = 500.
  const Rendered r =
      renderCodes(std::vector<uint16_t>{0, 250, 500, 9000}, agcRecord(7, kLinear), 0.0f, 10.0f);
  ASSERT_EQ(r.status, SDK_SUCCESS);
  EXPECT_EQ(r.grey, (std::vector<uint8_t>{0, 127, 255, 255}));
  EXPECT_FLOAT_EQ(r.level, -27.5f);
  EXPECT_FLOAT_EQ(r.span, 6.0f);  // 5 degrees reported as the 6.0 floor
}

TEST(AgcWindow, AutoBrightCentresTheCallersSpanOnTheMeanTemperature) {
  std::vector<uint16_t> pixels(100, 4000);
  pixels.insert(pixels.end(), 100, 6000);  // mean 5000: 20 degrees
  const Rendered r = renderCodes(pixels, agcRecord(kAutoBright, kLinear), 0.0f, 4.0f);
  ASSERT_EQ(r.status, SDK_SUCCESS);
  EXPECT_NEAR(r.level, 20.0f, 1e-4f);
  EXPECT_FLOAT_EQ(r.span, 6.0f);  // window 4800 .. 5200 is 4 degrees wide
  EXPECT_EQ(r.grey.front(), 0);
  EXPECT_EQ(r.grey.back(), 255);
}

struct ManualCase {
  uint8_t rangeIndex;
  uint16_t lo;
  uint16_t hi;
};

class AgcManualWindow : public ::testing::TestWithParam<ManualCase> {};

TEST_P(AgcManualWindow, TakesLevelAndSpanAsTemperatureCodes) {
  const ManualCase c = GetParam();
  const uint16_t mid = static_cast<uint16_t>((c.lo + c.hi) / 2);
  const Rendered r = renderCodes({static_cast<uint16_t>(c.lo - 1), c.lo, mid, c.hi},
                                 agcRecord(kMinMax, kLinear, true), 25.0f, 10.0f, c.rangeIndex);
  ASSERT_EQ(r.status, SDK_SUCCESS);
  EXPECT_EQ(r.grey, (std::vector<uint8_t>{0, 0, 127, 255}));
  EXPECT_EQ(r.level, 25.0f);
  EXPECT_EQ(r.span, 10.0f);
}

INSTANTIATE_TEST_SUITE_P(Ranges, AgcManualWindow,
                         ::testing::Values(ManualCase{0, 5000, 6000}, ManualCase{1, 500, 600}),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Range", int(p.rangeIndex), p.lo, p.hi);
                         });

TEST(AgcSpan, NarrowSpanIsReportedAsSixButTheChosenWindowIsUsed) {
  const Rendered r =
      renderCodes({5400, 5500, 5600}, agcRecord(kMinMax, kLinear, true), 25.0f, 2.0f);
  ASSERT_EQ(r.status, SDK_SUCCESS);
  EXPECT_EQ(r.span, 6.0f);
  EXPECT_EQ(r.grey, (std::vector<uint8_t>{0, 127, 255}));
}

TEST(AgcWindowLimits, TemperatureCodesStopAt15000InRangeZero) {
  const Rendered r =
      renderCodes({0, 20000, 20000, 20000}, agcRecord(kBrightnessRate, kLinear), 0.0f, 10.0f);
  ASSERT_EQ(r.status, SDK_SUCCESS);
  // Window 0 .. 15000 once limited: 150 degrees wide from -30.
  EXPECT_NEAR(r.span, 150.0f, 1e-3f);
  EXPECT_NEAR(r.level, 45.0f, 1e-3f);
}

TEST(GreyMappingRules, LinearWithInterceptRunsFromInterceptToFullWhite) {
  AgcParams agc = agcRecord(kMinMax, kLinear, true);
  agc.intercept = 64;
  const Rendered r = renderCodes({4999, 5000, 5500, 6000}, agc, 25.0f, 10.0f);
  ASSERT_EQ(r.status, SDK_SUCCESS);
  EXPECT_EQ(r.grey, (std::vector<uint8_t>{63, 64, 159, 255}));
}

TEST(GreyMappingRules, NonLinearRaisesTheWindowFractionToGamma) {
  AgcParams agc = agcRecord(kMinMax, kNonLinear, true);
  agc.gamma = 2.0f;
  const Rendered r = renderCodes({4000, 5000, 5500, 6000, 7000}, agc, 25.0f, 10.0f);
  ASSERT_EQ(r.status, SDK_SUCCESS);
  EXPECT_EQ(r.grey, (std::vector<uint8_t>{0, 0, 63, 255, 255}));
}

TEST(GreyMappingRules, OutputMethodsWithoutMeaningBehaveAsNonLinear) {
  const std::vector<uint16_t> scene = test::syntheticScene(40, 30, 4000, 3000);
  AgcParams other = agcRecord(kStandardDeviation, 9);
  other.gamma = 0.7f;
  AgcParams nonLinear = other;
  nonLinear.outputMethod = kNonLinear;
  EXPECT_EQ(renderCodes(scene, other, 0, 10).grey, renderCodes(scene, nonLinear, 0, 10).grey);
}

TEST(GreyMappingRules, PlateauMethodsEqualiseTheLinearPremapping) {
  AgcParams agc = agcRecord(kMinMax, kTPE, true);
  agc.plateau = 100;
  std::vector<uint16_t> pixels(150, 5000);
  pixels.insert(pixels.end(), 150, 6000);
  const Rendered r = renderCodes(pixels, agc, 25.0f, 10.0f);
  ASSERT_EQ(r.status, SDK_SUCCESS);
  EXPECT_EQ(r.grey.front(), 127);
  EXPECT_EQ(r.grey.back(), 255);
}

TEST(GreyMappingRules, CoreWindowSegmentsFollowTheSqueezedCore) {
  CountWindow window{0, 100, 40, 60, true};
  AgcSettings settings;
  settings.outputMethod = kLinear;
  const GreyMapping mapping(window, settings);
  // h = 153 and l = 102 squeezed by m = 0.8 to 173.4 and 81.6.
  EXPECT_EQ(mapping(0), 0);
  EXPECT_EQ(mapping(40), 81);
  EXPECT_EQ(mapping(50), 127);
  EXPECT_EQ(mapping(60), 173);
  EXPECT_EQ(mapping(80), 214);
  EXPECT_EQ(mapping(100), 255);
}

struct ZeroWidthCase {
  CountWindow window;
  uint8_t intercept;
  std::vector<int32_t> counts;
  std::vector<uint8_t> greys;
};

class CoreWindowZeroWidth : public ::testing::TestWithParam<ZeroWidthCase> {};

TEST_P(CoreWindowZeroWidth, KeepsPixelsOfAnEmptySegmentAtItsEndGrey) {
  AgcSettings settings;
  settings.outputMethod = kLinear;
  settings.intercept = GetParam().intercept;
  const GreyMapping mapping(GetParam().window, settings);
  std::vector<uint8_t> greys;
  for (const int32_t count : GetParam().counts) greys.push_back(mapping(count));
  EXPECT_EQ(greys, GetParam().greys);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CoreWindowZeroWidth,
    ::testing::Values(
        // No dense bin: the core is the window, both outer segments are empty.
        ZeroWidthCase{{0, 100, 0, 100, true}, 0, {-5, 0, 50, 100, 120}, {0, 0, 127, 255, 255}},
        ZeroWidthCase{{0, 100, 0, 100, true}, 10, {0, 50, 100}, {0, 132, 255}},
        // Lower segment empty, upper one has width.
        ZeroWidthCase{{0, 100, 0, 50, true}, 0, {0, 25, 50, 100}, {0, 95, 191, 255}},
        // Core of a single count.
        ZeroWidthCase{{0, 100, 50, 50, true}, 0, {49, 50, 51, 100}, {124, 127, 130, 255}}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName("Case", i, "Intercept", int(p.intercept));
    });

TEST(CoreWindow, WithoutDenseBinsTheCoreIsTheWindow) {
  std::vector<uint32_t> bins(kCountBins);
  const std::vector<uint16_t> pixels = rampTenTimes();
  const CountHistogram histogram = buildHistogram(bins.data(), pixels);
  AgcSettings settings;
  settings.inputMethod = kCoreWindow;
  const CountWindow window =
      automaticWindow(histogram, settings, TemperatureCodeScale(0), 10.0f, true);
  EXPECT_EQ(window.lo, 1020);  // 2 % of 10010 pixels: 200.2
  EXPECT_EQ(window.hi, 1980);
  EXPECT_EQ(window.coreLo, window.lo);
  EXPECT_EQ(window.coreHi, window.hi);
}

TEST(CoreWindow, DenseBinsBoundTheCore) {
  std::vector<uint32_t> bins(kCountBins);
  std::vector<uint16_t> pixels = rampTenTimes();
  pixels.insert(pixels.end(), 101, 1300);
  pixels.insert(pixels.end(), 101, 1700);
  const CountHistogram histogram = buildHistogram(bins.data(), pixels);
  AgcSettings settings;
  settings.inputMethod = kCoreWindow;
  const CountWindow window =
      automaticWindow(histogram, settings, TemperatureCodeScale(0), 10.0f, true);
  EXPECT_EQ(window.coreLo, 1300);
  EXPECT_EQ(window.coreHi, 1700);
}

TEST(CoreWindow, IsAnUnknownInputMethodOutsideTheCorrectedRenderings) {
  std::vector<uint16_t> scene = test::syntheticScene(40, 30, 4000, 3000);
  EXPECT_EQ(renderCodes(scene, agcRecord(kCoreWindow, kLinear), 0, 10).grey,
            renderCodes(scene, agcRecord(8, kLinear), 0, 10).grey);
}

// The render works per count (tables and histograms); it must give what the per-pixel rule
// gives: map every pixel, then equalise the 8-bit image.
class RenderByCount : public ::testing::TestWithParam<int32_t> {};

TEST_P(RenderByCount, EqualsThePerPixelRule) {
  const std::vector<uint16_t> scene = test::syntheticScene(64, 48, 3000, 4000);
  for (const bool manual : {false, true}) {
    AgcParams agc = agcRecord(kStandardDeviation, GetParam(), manual);
    agc.gamma = 0.8f;
    agc.intercept = 20;
    agc.prevPlateau = 40.0f;
    const Rendered r = renderCodes(scene, agc, 22.0f, 15.0f);
    ASSERT_EQ(r.status, SDK_SUCCESS);

    // The same window again, then every pixel by itself.
    AgcSettings settings = readAgcParams(agcRecord(kStandardDeviation, GetParam(), manual));
    settings.gamma = 0.8f;
    settings.intercept = 20;
    std::vector<uint32_t> bins(kCountBins);
    const CountHistogram histogram = buildHistogram(bins.data(), scene);
    float level = 22.0f, span = 15.0f;
    const CountWindow window =
        chooseWindow(&histogram, settings, TemperatureCodeScale(0), level, span, false);
    const GreyMapping mapping(window, settings);
    std::vector<uint8_t> expected;
    for (const uint16_t count : scene) expected.push_back(mapping(count));
    float prevPlateau = 40.0f;
    if (GetParam() == kTPE) equaliseTPE(expected, 100);
    if (GetParam() == kAPE) equaliseAPE(expected, 0.5f, 0.3f, prevPlateau);
    if (GetParam() == kSAPE) equaliseSAPE(expected, 0.3f, prevPlateau);
    EXPECT_EQ(r.grey, expected) << "manual " << manual;
    EXPECT_EQ(r.level, level);
    EXPECT_EQ(r.span, span);
  }
}

INSTANTIATE_TEST_SUITE_P(OutputMethods, RenderByCount,
                         ::testing::Values(kLinear, kNonLinear, kTPE, kAPE, kSAPE),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Method", p);
                         });

TEST(RenderBounds, WritesOnlyThePixelsGivenAndReadsNoMoreThanTheFrameHolds) {
  std::vector<uint16_t> pixels(10, 5500);
  IRFrame frame = makeFrame(kCodeVersion, 1, 0, &pixels);
  AgcParams agc = agcRecord(kMinMax, kLinear, true);
  float level = 25.0f, span = 10.0f;
  std::vector<uint8_t> out(20, 0xEE);
  ASSERT_EQ(GetImage(out.data(), &frame, 6, nullptr, &level, &span, &agc), SDK_SUCCESS);
  EXPECT_EQ(out[5], 127);
  EXPECT_EQ(out[6], 0xEE);
  // Twenty pixels asked of a frame that holds ten: only ten are read and written.
  ASSERT_EQ(GetImage(out.data(), &frame, 20, nullptr, &level, &span, &agc), SDK_SUCCESS);
  EXPECT_EQ(out[9], 127);
  EXPECT_EQ(out[10], 0xEE);
  // No pixels at all: nothing is written, the window is still reported.
  std::vector<uint8_t> untouched(4, 0xEE);
  for (const int32_t count : {0, -5}) {
    ASSERT_EQ(GetImage(untouched.data(), &frame, count, nullptr, &level, &span, &agc), SDK_SUCCESS);
    EXPECT_EQ(untouched, std::vector<uint8_t>(4, 0xEE));
  }
}

TEST(RenderBounds, EmptyFrameInEveryAutomaticMethodStillReportsAWindow) {
  std::vector<uint16_t> pixels(4, 5000);
  IRFrame frame = makeFrame(kCodeVersion, 1, 0, &pixels);
  for (int32_t method = 0; method <= 4; ++method) {
    for (int32_t output = 0; output <= 4; ++output) {
      AgcParams agc = agcRecord(method, output);
      float level = 0.0f, span = 10.0f;
      uint8_t out[1] = {0xEE};
      ASSERT_EQ(GetImage(out, &frame, 0, nullptr, &level, &span, &agc), SDK_SUCCESS);
      EXPECT_EQ(out[0], 0xEE);
      EXPECT_TRUE(std::isfinite(level) && span >= 6.0f);
    }
  }
}

}  // namespace
}  // namespace irdex::imaging
