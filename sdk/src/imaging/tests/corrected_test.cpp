#include "imaging/corrected.h"
#include "testing/case_name.h"

#include <gtest/gtest.h>
#include <irdex.h>

#include <vector>

#include "imaging/agc.h"
#include "imaging/tests/render_test_support.h"
#include "temperature/conversion.h"

namespace irdex::imaging {
namespace {

using irdex::test::kDefaults;
using irdex::test::SlotHolder;
using test::agcRecord;
using test::makeFrame;

constexpr EnvParams kUnityGain{1.0f, 25.0f, 1.0f, 0.0f};
constexpr EnvParams kOther{0.8f, 30.0f, 0.9f, 0.0f};

struct Output {
  SdkStatus status;
  std::vector<uint8_t> grey;
  float level;
  float span;
  float prevPlateau;
  bool operator==(const Output&) const = default;
};

// Renders through one of the exports; `params` is ignored by the plain ones.
enum class Export { kImage, kImageKS, kCorrected, kCorrectedKS };

Output render(Export which, const IRFrame& frame, size_t pixels, const float* table,
              EnvParams params, AgcParams agc, float level = 30.0f, float span = 20.0f) {
  Output out{0, std::vector<uint8_t>(pixels, 0xEE), level, span, 0.0f};
  const auto count = static_cast<int32_t>(pixels);
  switch (which) {
    case Export::kImage:
      out.status = GetImage(out.grey.data(), &frame, count, table, &out.level, &out.span, &agc);
      break;
    case Export::kImageKS:
      out.status = GetImageKS(out.grey.data(), &frame, count, &out.level, &out.span, &agc);
      break;
    case Export::kCorrected:
      out.status = GetCorrectedImage(out.grey.data(), &frame, count, table, params, &out.level,
                                     &out.span, &agc);
      break;
    case Export::kCorrectedKS:
      out.status =
          GetCorrectedImageKS(out.grey.data(), &frame, count, params, &out.level, &out.span, &agc);
      break;
  }
  out.prevPlateau = agc.prevPlateau;
  return out;
}

struct CountCase {
  uint8_t version;
  uint8_t model;
  uint8_t rangeIndex;
  EnvParams params;
  uint16_t raw;
  uint16_t corrected;
};

class CorrectedCountRules : public ::testing::TestWithParam<CountCase> {};

TEST_P(CorrectedCountRules, CorrectTheCountBeforeTheWindowIsChosen) {
  const CountCase c = GetParam();
  const std::vector<float> table = test::linearTable();
  const IRFrame frame = makeFrame(c.version, c.model, c.rangeIndex);
  EXPECT_EQ(CorrectedCounts(frame, c.params, table.data())(c.raw), c.corrected);
}

// KT model 1 with emissivity 0.45: gain 0.5 and a reflected term of -10 (Ta = 20).
constexpr EnvParams kHalfGain{0.45f, 20.0f, 1.0f, 0.0f};

INSTANTIATE_TEST_SUITE_P(
    Cases, CorrectedCountRules,
    ::testing::Values(CountCase{10, 1, 0, kHalfGain, 1000, 1980},    // (1000 - 10) / 0.5
                      CountCase{10, 1, 0, kHalfGain, 5, 0},          // below zero: held at 0
                      CountCase{10, 1, 0, kHalfGain, 40000, 65535},  // held at the top
                      CountCase{10, 0, 0, kUnityGain, 1234, 1234},   // gain 1: unchanged
                      CountCase{20, 1, 0, kHalfGain, 5000, 5000},    // 20 degrees stays 20
                      CountCase{20, 1, 0, kHalfGain, 4500, 4000},    // 15 degrees becomes 10
                      CountCase{20, 1, 1, kHalfGain, 500, 500},      // range 1: 0.1 degree
                      CountCase{20, 1, 1, kHalfGain, 550, 600},      // 25 becomes 30
                      CountCase{32, 0x20, 0, kHalfGain, 4321, 4321}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName("V", int(p.version), "Model", int(p.model), "Range", int(p.rangeIndex), "Raw",
                      p.raw, "Case", i);
    });  // KS counts stay

class CorrectedAtUnityGain : public ::testing::TestWithParam<std::tuple<int32_t, int32_t, bool>> {};

TEST_P(CorrectedAtUnityGain, RendersExactlyAsGetImage) {
  const auto [input, output, manual] = GetParam();
  const std::vector<float> table = test::linearTable();
  std::vector<uint16_t> scene = test::syntheticScene(64, 48, 5000, 3000);
  const IRFrame frame = makeFrame(10, 0, 0, &scene);
  AgcParams agc = agcRecord(input, output, manual);
  agc.prevPlateau = 25.0f;
  EXPECT_EQ(render(Export::kCorrected, frame, scene.size(), table.data(), kUnityGain, agc),
            render(Export::kImage, frame, scene.size(), table.data(), kUnityGain, agc));
}

INSTANTIATE_TEST_SUITE_P(Methods, CorrectedAtUnityGain,
                         ::testing::Combine(::testing::Values(0, 1, 2, 3, 6),
                                            ::testing::Values(0, 1, 2, 3, 4), ::testing::Bool()),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Input", std::get<0>(p), "Output", std::get<1>(p),
                                           std::get<2>(p) ? "Ks" : "Kt");
                         });

TEST(CorrectedImage, GainMovesTheReportedWindowToObjectTemperatures) {
  // A flat KT frame at 20 degrees: with gain 0.5 and Ta 20 the object is at 20 as well,
  // at 15 degrees it is at 10.
  std::vector<uint16_t> pixels(100, 4500);
  const IRFrame frame = makeFrame(20, 1, 0, &pixels);
  const Output out = render(Export::kCorrected, frame, pixels.size(), nullptr, kHalfGain,
                            agcRecord(kMinMax, kLinear), 0.0f, 10.0f);
  ASSERT_EQ(out.status, SDK_SUCCESS);
  EXPECT_NEAR(out.level, 10.0f, 1e-4f);
}

TEST(CorrectedImageKS, VersionThirtyTwoIgnoresTheParameters) {
  std::vector<uint16_t> scene = test::syntheticScene(64, 48, 4000, 6000);
  const IRFrame frame = makeFrame(32, 0x20, 0, &scene);
  for (int32_t input = 0; input <= 4; ++input) {
    for (int32_t output = 0; output <= 4; ++output) {
      const AgcParams agc = agcRecord(input, output);
      const Output base =
          render(Export::kCorrectedKS, frame, scene.size(), nullptr, kDefaults, agc);
      ASSERT_EQ(base.status, SDK_SUCCESS);
      EXPECT_EQ(render(Export::kCorrectedKS, frame, scene.size(), nullptr, kOther, agc), base);
      EXPECT_EQ(render(Export::kCorrected, frame, scene.size(), nullptr, kOther, agc), base);
      if (input != kCoreWindow) {
        EXPECT_EQ(render(Export::kImageKS, frame, scene.size(), nullptr, kOther, agc), base);
      }
    }
  }
}

TEST(RenderBuiltIn, AutomaticWindowIsLimitedToTheTable) {
  std::vector<uint16_t> pixels;
  for (int n = 0; n <= 20000; n += 10) pixels.push_back(static_cast<uint16_t>(n));
  const IRFrame frame = makeFrame(32, 0x20, 0, &pixels);
  const Output out = render(Export::kImageKS, frame, pixels.size(), nullptr, kDefaults,
                            agcRecord(kMinMax, kLinear));
  ASSERT_EQ(out.status, SDK_SUCCESS);
  EXPECT_FLOAT_EQ(out.span, 160.0f);  // -30 at 2000 to 130 at 14000
  EXPECT_FLOAT_EQ(out.level, 50.0f);
}

TEST(RenderBuiltIn, ManualWindowBeyondTheTableEndsAtItsEnds) {
  std::vector<uint16_t> pixels{1000, 2000, 8000, 14000, 16000};
  const IRFrame frame = makeFrame(32, 0x20, 0, &pixels);
  const Output out = render(Export::kImageKS, frame, pixels.size(), nullptr, kDefaults,
                            agcRecord(kMinMax, kLinear, true), 0.0f, 1000.0f);
  ASSERT_EQ(out.status, SDK_SUCCESS);
  EXPECT_EQ(out.grey, (std::vector<uint8_t>{0, 0, 127, 255, 255}));
}

TEST(RenderBuiltIn, FindsTheCountOfATemperatureAsAFullScanWould) {
  // The count search bisects the rising table; it must find the first entry not below the
  // temperature, as a scan from 2000 would.
  const float* table = temperature::builtInTableFor(0);
  for (float t = -35.0f; t < 135.0f; t += 0.37f) {
    int32_t scanned = 14000;
    for (int32_t i = 2000; i < 14000; ++i) {
      if (t <= table[i]) {
        scanned = i;
        break;
      }
    }
    // A manual window of zero width on t puts both ends at count(t): the pixel at that count
    // is black, the one above it white.
    std::vector<uint16_t> probe{static_cast<uint16_t>(scanned), static_cast<uint16_t>(scanned + 1)};
    const IRFrame probeFrame = makeFrame(32, 0x20, 0, &probe);
    const Output out = render(Export::kImageKS, probeFrame, 2, nullptr, kDefaults,
                              agcRecord(kMinMax, kLinear, true), t, 0.0f);
    ASSERT_EQ(out.grey, (std::vector<uint8_t>{0, 255})) << "at " << t;
  }
}

// A 384 x 288 calibrated frame (range 0: -20 degrees at 2000 to 120 at 14000) holding a
// slope of counts from 0 to 20000.
class CalibratedFrame : public ::testing::Test {
 protected:
  CalibratedFrame() : frame_(irdex::test::makeCalibratedFrame()), slot_(frame_) {
    pixels_.resize(384 * 288);
    for (int y = 0; y < 288; ++y) {
      for (int x = 0; x < 384; ++x) pixels_[y * 384 + x] = static_cast<uint16_t>(x * 52 + y);
    }
    frame_.pixels = pixels_.data();
    frame_.pixelCapacity = static_cast<uint32_t>(pixels_.size());
  }
  void SetUp() override {
    ASSERT_EQ(slot_.status(), SDK_SUCCESS);
    ASSERT_EQ(LoadIRCamDataKS(&frame_, pixels_.data(), static_cast<int32_t>(pixels_.size())),
              SDK_SUCCESS);
  }
  Output renderKS(EnvParams params, AgcParams agc, float level = 30.0f, float span = 20.0f) {
    return render(Export::kCorrectedKS, frame_, pixels_.size(), nullptr, params, agc, level, span);
  }

  std::vector<uint16_t> pixels_;
  IRFrame frame_;
  SlotHolder slot_;
};

TEST_F(CalibratedFrame, AutomaticWindowIsLimitedToTheCalibratedCounts) {
  const Output out = render(Export::kImage, frame_, pixels_.size(), nullptr, kDefaults,
                            agcRecord(kMinMax, kLinear));
  ASSERT_EQ(out.status, SDK_SUCCESS);
  EXPECT_FLOAT_EQ(out.span, 140.0f);
  EXPECT_FLOAT_EQ(out.level, 50.0f);
}

TEST_F(CalibratedFrame, CorrectedAutomaticWindowCorrectsTheLevelOnly) {
  for (int32_t input = 0; input <= 4; ++input) {
    const AgcParams agc = agcRecord(input, kLinear);
    const Output plain = renderKS(kDefaults, agc);
    const Output corrected = renderKS(kOther, agc);
    ASSERT_EQ(plain.status, SDK_SUCCESS);
    EXPECT_EQ(corrected.grey, plain.grey) << "input " << input;
    EXPECT_EQ(corrected.span, plain.span);
    EXPECT_EQ(corrected.level, temperature::radianceCorrection(plain.level, kOther));
  }
}

TEST_F(CalibratedFrame, CorrectedManualWindowStartsFromTheUncorrectedLevel) {
  const AgcParams agc = agcRecord(kMinMax, kLinear, true);
  const Output corrected = renderKS(kOther, agc, 60.0f, 20.0f);
  ASSERT_EQ(corrected.status, SDK_SUCCESS);
  EXPECT_EQ(corrected.level, 60.0f);  // the caller's level is not written back changed
  const float uncorrected = temperature::inverseRadianceCorrection(60.0f, kOther);
  EXPECT_EQ(corrected.grey, renderKS(kDefaults, agc, uncorrected, 20.0f).grey);
  EXPECT_NE(corrected.grey, renderKS(kDefaults, agc, 60.0f, 20.0f).grey);
}

TEST_F(CalibratedFrame, FrameWithoutSlotIsRefused) {
  IRFrame orphan = irdex::test::makeCalibratedFrame();
  orphan.pixels = pixels_.data();
  AgcParams agc = agcRecord(kMinMax, kLinear);
  float level = 0.0f, span = 10.0f;
  std::vector<uint8_t> out(4, 0xEE);
  EXPECT_EQ(GetImageKS(out.data(), &orphan, 4, &level, &span, &agc), SDK_ERR_MISSING_VALUE);
  EXPECT_EQ(out, std::vector<uint8_t>(4, 0xEE));
}

TEST(RenderExports, RefuseMissingPointersAndOlderFramesForKS) {
  std::vector<uint16_t> pixels(4, 5000);
  const std::vector<float> table = test::linearTable();
  IRFrame first = makeFrame(10, 0, 0, &pixels);
  IRFrame kt = makeFrame(20, 1, 0, &pixels);
  IRFrame noPixels = makeFrame(20, 1, 0);
  AgcParams agc = agcRecord(kMinMax, kLinear);
  float level = 0.0f, span = 10.0f;
  uint8_t out[4];
  const float* t = table.data();
  EXPECT_EQ(GetImage(nullptr, &kt, 4, t, &level, &span, &agc), SDK_ERR_BUFFER);
  EXPECT_EQ(GetImage(out, nullptr, 4, t, &level, &span, &agc), SDK_ERR_BUFFER);
  EXPECT_EQ(GetImage(out, &noPixels, 4, t, &level, &span, &agc), SDK_ERR_BUFFER);
  EXPECT_EQ(GetImage(out, &first, 4, nullptr, &level, &span, &agc), SDK_ERR_BUFFER);
  EXPECT_EQ(GetImage(out, &kt, 4, nullptr, &level, &span, &agc), SDK_SUCCESS);  // not read
  EXPECT_EQ(GetImage(out, &kt, 4, t, nullptr, &span, &agc), SDK_ERR_BUFFER);
  EXPECT_EQ(GetImage(out, &kt, 4, t, &level, nullptr, &agc), SDK_ERR_BUFFER);
  EXPECT_EQ(GetImage(out, &kt, 4, t, &level, &span, nullptr), SDK_ERR_BUFFER);
  EXPECT_EQ(GetCorrectedImage(out, &noPixels, 4, t, kDefaults, &level, &span, &agc),
            SDK_ERR_BUFFER);
  // Model 0 finds its reflected count in the table, the KT model does not.
  IRFrame ktModelZero = makeFrame(20, 0, 0, &pixels);
  EXPECT_EQ(GetCorrectedImage(out, &ktModelZero, 4, nullptr, kDefaults, &level, &span, &agc),
            SDK_ERR_BUFFER);
  EXPECT_EQ(GetCorrectedImage(out, &kt, 4, nullptr, kDefaults, &level, &span, &agc), SDK_SUCCESS);
  EXPECT_EQ(GetImageKS(nullptr, &kt, 4, &level, &span, &agc), SDK_ERR_BUFFER);
  EXPECT_EQ(GetImageKS(out, &kt, 4, &level, &span, &agc), SDK_ERR_INVALID_HANDLE);
  EXPECT_EQ(GetCorrectedImageKS(out, nullptr, 4, kDefaults, &level, &span, &agc), SDK_ERR_BUFFER);
  EXPECT_EQ(GetCorrectedImageKS(out, &kt, 4, kDefaults, &level, &span, &agc),
            SDK_ERR_INVALID_HANDLE);
}

}  // namespace
}  // namespace irdex::imaging
