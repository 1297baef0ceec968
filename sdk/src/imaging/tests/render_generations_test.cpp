// The flat-image rule by camera generation: a frame at or below the range bottom keeps its
// window's lower end at the bottom count of its generation.
#include <gtest/gtest.h>
#include <irdex.h>

#include <vector>

#include "imaging/agc.h"
#include "imaging/tests/render_test_support.h"

namespace irdex::imaging {
namespace {

using test::agcRecord;
using test::makeFrame;

struct FlatCase {
  const char* name;
  uint8_t version;
  uint8_t model;
  uint16_t count;     // every pixel
  float level;        // reported
  float levelMargin;  // the calibrated table's rounding
};

class FlatFrameByGeneration : public ::testing::TestWithParam<FlatCase> {};

TEST_P(FlatFrameByGeneration, ReportsTheWindowAboveTheRangeBottom) {
  const FlatCase c = GetParam();
  std::vector<uint16_t> pixels(384 * 288, c.count);
  IRFrame frame = makeFrame(c.version, c.model, 0, &pixels);
  if (c.version > 32) {
    // Range 0: -20.0 degrees at count 2000 to 120.0 at 14000.
    irdex::test::writeKsCalibration(frame, 0b0001, {{-200, 1200, 2000, 14000}});
  }
  irdex::test::SlotHolder slot(frame);
  ASSERT_EQ(slot.status(), SDK_SUCCESS);
  ASSERT_EQ(LoadIRCamDataKS(&frame, pixels.data(), static_cast<int32_t>(pixels.size())),
            SDK_SUCCESS);
  const std::vector<float> table = test::linearTable();  // -40 degrees + 0.01 per count
  for (const int32_t input : {kMinMax, kBrightnessRate, kStandardDeviation}) {
    AgcParams agc = agcRecord(input, kLinear);
    float level = 0.0f, span = 10.0f;
    std::vector<uint8_t> out(pixels.size());
    ASSERT_EQ(GetImage(out.data(), &frame, static_cast<int32_t>(pixels.size()), table.data(),
                       &level, &span, &agc),
              SDK_SUCCESS);
    EXPECT_NEAR(level, c.level, c.levelMargin) << c.name << " input " << input;
    EXPECT_EQ(span, 6.0f) << "the window above the bottom is 5 degrees or less";
    EXPECT_EQ(out.front(), 0);  // the frame lies at the window's lower end
  }
}

INSTANTIATE_TEST_SUITE_P(
    Generations, FlatFrameByGeneration,
    ::testing::Values(
        // -30 degrees: lo is the count of the level itself, hi that of -25.
        FlatCase{"table", 10, 0, 1000, -27.5f, 1e-4f},
        // -25 degrees: lo 500 (the level's code), hi count(-20) = 1000.
        FlatCase{"codes", 20, 1, 500, -22.5f, 1e-4f},
        // -31 (the sentinel below count 2000): lo 2000 at -30, hi count(-26) = 2300.
        FlatCase{"builtin", 32, 0x20, 1500, -28.0f, 1e-4f},
        // -20.1 (below the calibrated counts): lo 2000 at -20, hi count(-15.1).
        FlatCase{"calibrated", 33, 0x20, 1500, -17.55f, 0.02f}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace irdex::imaging
