// Region statistics on both paths: converted pixels (versions 0 to 32) and calibrated counts
// (KS, version 33 and above).
#include <gtest/gtest.h>
#include <irdex.h>

#include <cmath>
#include <numeric>
#include <vector>

#include "temperature/conversion.h"
#include "temperature/ks_calibration.h"
#include "temperature/tests/test_frames.h"

namespace irdex::temperature {
namespace {

using test::kDefaults;
using test::kUnity;
using test::makeCalibratedFrame;
using test::makeFrame;
using test::SlotHolder;

std::vector<float> identityTable() {
  std::vector<float> table(kTableEntries);
  std::iota(table.begin(), table.end(), 0.0f);
  return table;
}

struct Result {
  SdkStatus status;
  RoiTempStats stats{-1.0f, -1.0f, -1.0f, -1.0f};
  int32_t minPos[2] = {-1, -1};
  int32_t maxPos[2] = {-1, -1};
};

Result roi(const IRFrame& frame, uint32_t size, const float* table, EnvParams params,
           RoiRect region) {
  Result r;
  r.status = GetROITemp(&frame, size, table, params, region, &r.stats, r.minPos, r.maxPos);
  return r;
}

Result roiKs(const IRFrame& frame, uint32_t size, EnvParams params, RoiRect region) {
  Result r;
  r.status = GetROITempKS(&frame, size, params, region, &r.stats, r.minPos, r.maxPos);
  return r;
}

// --- Versions 0 to 32 -------------------------------------------------------------------

TEST(ConvertedRegion, OnePixel) {
  std::vector<uint16_t> pixels{10, 20, 30, 40, 50, 60};
  IRFrame frame = makeFrame(5, 0, 0, &pixels);
  const auto table = identityTable();
  const Result r = roi(frame, IrdexImageSize(3, 2), table.data(), kUnity, {1, 1, 2, 2});
  ASSERT_EQ(r.status, SDK_SUCCESS);
  EXPECT_EQ(r.stats.minTemp, 50.0f);
  EXPECT_EQ(r.stats.maxTemp, 50.0f);
  EXPECT_EQ(r.stats.avgTemp, 50.0f);
  EXPECT_EQ(r.stats.stdDev, 0.0f);
  EXPECT_EQ(r.minPos[0], 1);
  EXPECT_EQ(r.minPos[1], 1);
  EXPECT_EQ(r.maxPos[0], 1);
  EXPECT_EQ(r.maxPos[1], 1);
}

TEST(ConvertedRegion, MeanAndSampleDeviation) {
  std::vector<uint16_t> pixels{10, 20, 30, 40};
  IRFrame frame = makeFrame(5, 0, 0, &pixels);
  const auto table = identityTable();
  const Result r = roi(frame, IrdexImageSize(2, 2), table.data(), kUnity, {0, 0, 2, 2});
  EXPECT_EQ(r.stats.minTemp, 10.0f);
  EXPECT_EQ(r.stats.maxTemp, 40.0f);
  EXPECT_EQ(r.stats.avgTemp, 25.0f);
  EXPECT_EQ(r.stats.stdDev, static_cast<float>(std::sqrt(500.0 / 3.0)));
  EXPECT_EQ(r.maxPos[0], 1);
  EXPECT_EQ(r.maxPos[1], 1);
}

TEST(ConvertedRegion, TiesNameTheLastPixel) {
  std::vector<uint16_t> pixels{70, 70, 70};
  IRFrame frame = makeFrame(5, 0, 0, &pixels);
  const auto table = identityTable();
  const Result r = roi(frame, IrdexImageSize(3, 1), table.data(), kUnity, {0, 0, 2, 1});
  EXPECT_EQ(r.minPos[0], 1);
  EXPECT_EQ(r.maxPos[0], 1);
}

TEST(ConvertedRegion, EmptyRegionHasNoMean) {
  std::vector<uint16_t> pixels{70, 70, 70};
  IRFrame frame = makeFrame(5, 0, 0, &pixels);
  const auto table = identityTable();
  const Result r = roi(frame, IrdexImageSize(3, 1), table.data(), kUnity, {2, 0, 2, 1});
  ASSERT_EQ(r.status, SDK_SUCCESS);
  EXPECT_EQ(r.stats.minTemp, 10000.0f);
  EXPECT_EQ(r.stats.maxTemp, -10000.0f);
  EXPECT_TRUE(std::isnan(r.stats.avgTemp));
  EXPECT_EQ(r.stats.stdDev, 0.0f);
  EXPECT_EQ(r.minPos[0], -1);
  EXPECT_EQ(r.maxPos[0], -1);
}

TEST(ConvertedRegion, PixelsBeyondTheFrameAreSkipped) {
  std::vector<uint16_t> pixels{10, 20, 30, 40};
  IRFrame frame = makeFrame(5, 0, 0, &pixels);
  const auto table = identityTable();
  // Indices run on past row ends ((-1, 1) is pixel 1, (-1, 2) is pixel 3); whatever falls
  // before or after the pixel array is skipped.
  const Result r = roi(frame, IrdexImageSize(2, 2), table.data(), kUnity, {-1, 1, 2, 5});
  ASSERT_EQ(r.status, SDK_SUCCESS);
  EXPECT_EQ(r.stats.minTemp, 20.0f);
  EXPECT_EQ(r.stats.maxTemp, 40.0f);
  EXPECT_EQ(r.stats.avgTemp, 32.5f);  // 20, 30, 40 and 40 again
  EXPECT_EQ(r.maxPos[0], -1);         // the last 40 is visited as (-1, 2)
  EXPECT_EQ(r.maxPos[1], 2);
}

TEST(ConvertedRegion, OutOfRangeCodesCountAsThePreviousPixel) {
  // Range 0 codes: 5000 is 20 degrees, 16500 is 135 degrees (not accepted), 6000 is 30.
  std::vector<uint16_t> pixels{16500, 5000, 16500, 6000, 16500};
  IRFrame frame = makeFrame(20, 1, 0, &pixels);
  const auto table = identityTable();
  const Result r = roi(frame, IrdexImageSize(5, 1), table.data(), kDefaults, {0, 0, 5, 1});
  // Counted: 0 (nothing before), 20, 20, 30, 30.
  EXPECT_EQ(r.stats.minTemp, 0.0f);
  EXPECT_EQ(r.minPos[0], 0);
  EXPECT_EQ(r.stats.maxTemp, 30.0f);
  EXPECT_EQ(r.maxPos[0], 4);
  EXPECT_EQ(r.stats.avgTemp, 20.0f);
}

TEST(ConvertedRegion, BuiltInExtremesAreLimitedToTheRange) {
  std::vector<uint16_t> pixels{1999, 8000, 14001};
  IRFrame frame = makeFrame(32, 0x20, 0, &pixels);
  const Result r = roiKs(frame, IrdexImageSize(3, 1), kDefaults, {0, 0, 3, 1});
  ASSERT_EQ(r.status, SDK_SUCCESS);
  EXPECT_EQ(r.stats.minTemp, -30.0f);
  EXPECT_EQ(r.stats.maxTemp, 130.0f);
  // The mean keeps the sentinels.
  EXPECT_EQ(r.stats.avgTemp, static_cast<float>((-31.0 + builtInTemp(8000, 0) + 131.0) / 3.0));
  // GetROITemp takes the same path for version 32.
  const auto table = identityTable();
  const Result same = roi(frame, IrdexImageSize(3, 1), table.data(), kDefaults, {0, 0, 3, 1});
  EXPECT_EQ(same.stats.avgTemp, r.stats.avgTemp);
  EXPECT_EQ(same.stats.stdDev, r.stats.stdDev);
}

TEST(ConvertedRegion, BuiltInCorrectionOnlyForOtherParameters) {
  std::vector<uint16_t> pixels{11750};
  IRFrame frame = makeFrame(32, 0x20, 0, &pixels);
  const EnvParams params{0.8f, 20.0f, 1.0f, 0.0f};
  EXPECT_EQ(roiKs(frame, IrdexImageSize(1, 1), kDefaults, {0, 0, 1, 1}).stats.avgTemp,
            builtInTemp(11750, 0));
  EXPECT_EQ(roiKs(frame, IrdexImageSize(1, 1), params, {0, 0, 1, 1}).stats.avgTemp,
            radianceCorrection(builtInTemp(11750, 0), params));
}

TEST(ConvertedRegion, LargeBuiltInRegionMatchesPixelByPixel) {
  // Large regions correct each distinct count once; the statistics must not change.
  std::vector<uint16_t> pixels(256 * 256);
  std::iota(pixels.begin(), pixels.end(), uint16_t{0});
  IRFrame frame = makeFrame(32, 0x20, 1, &pixels);
  const EnvParams params{0.8f, 25.0f, 0.9f, 0.0f};
  double sum = 0.0;
  float lowest = 10000.0f, highest = -10000.0f;
  for (uint16_t n : pixels) {
    const float g = radianceCorrection(builtInTemp(n, 1), params);
    sum += g;
    lowest = std::min(lowest, g);
    highest = std::max(highest, g);
  }
  const Result r = roiKs(frame, IrdexImageSize(256, 256), params, {0, 0, 256, 256});
  EXPECT_EQ(r.stats.avgTemp, static_cast<float>(sum / pixels.size()));
  EXPECT_EQ(r.stats.minTemp, std::max(lowest, -10.0f));
  EXPECT_EQ(r.stats.maxTemp, std::min(highest, 660.0f));
}

TEST(ConvertedRegion, MissingPointers) {
  std::vector<uint16_t> pixels{1};
  IRFrame frame = makeFrame(5, 0, 0, &pixels);
  const auto table = identityTable();
  RoiTempStats stats{};
  int32_t pos[2];
  EXPECT_EQ(GetROITemp(nullptr, 1, table.data(), kUnity, {}, &stats, pos, pos), SDK_ERR_BUFFER);
  EXPECT_EQ(GetROITemp(&frame, 1, nullptr, kUnity, {}, &stats, pos, pos), SDK_ERR_BUFFER);
  EXPECT_EQ(GetROITemp(&frame, 1, table.data(), kUnity, {}, nullptr, pos, pos), SDK_ERR_BUFFER);
  EXPECT_EQ(GetROITempKS(nullptr, 1, kUnity, {}, &stats, pos, pos), SDK_ERR_BUFFER);
  EXPECT_EQ(GetROITempKS(&frame, 1, kUnity, {}, &stats, pos, pos), SDK_ERR_INVALID_HANDLE);
}

// --- Calibrated KS path -----------------------------------------------------------------

constexpr uint32_t kVa320Size = 384 | (288u << 16);

// A calibrated frame whose smoothed image is filled by the test.
class CalibratedRegion : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(slot_.status(), SDK_SUCCESS);
    counts_ = reinterpret_cast<uint16_t*>(frame_.ksSmoothed);
    std::fill(counts_, counts_ + 384 * 288, uint16_t{8000});
  }
  void set(int x, int y, uint16_t count) { counts_[384 * y + x] = count; }
  float slope() const {
    ks::RangeLimits limits{};
    EXPECT_TRUE(ks::rangeLimits(frame_, 0, limits));
    return limits.slope;
  }

  IRFrame frame_ = makeCalibratedFrame(0x20);
  SlotHolder slot_{frame_};
  uint16_t* counts_ = nullptr;
};

TEST_F(CalibratedRegion, OnePixel) {
  set(10, 20, 9200);
  const Result r = roiKs(frame_, kVa320Size, kDefaults, {10, 20, 11, 21});
  ASSERT_EQ(r.status, SDK_SUCCESS);
  EXPECT_EQ(r.stats.minTemp, r.stats.maxTemp);
  EXPECT_EQ(r.stats.avgTemp, ConvertRawToTempKS(&frame_, kDefaults, 9200));
  EXPECT_EQ(r.stats.stdDev, 0.0f);
  EXPECT_EQ(r.minPos[0], 10);
  EXPECT_EQ(r.minPos[1], 20);
  EXPECT_EQ(r.maxPos[0], 10);
  EXPECT_EQ(r.maxPos[1], 20);
}

TEST_F(CalibratedRegion, TiesNameTheFirstPixel) {
  const Result r = roiKs(frame_, kVa320Size, kDefaults, {3, 4, 6, 6});
  EXPECT_EQ(r.minPos[0], 3);
  EXPECT_EQ(r.minPos[1], 4);
  EXPECT_EQ(r.maxPos[0], 3);
  EXPECT_EQ(r.maxPos[1], 4);
}

TEST_F(CalibratedRegion, CountDeviationOfOneIsTheSlope) {
  set(0, 0, 1000);
  set(1, 0, 1002);
  const Result r = roiKs(frame_, kVa320Size, kDefaults, {0, 0, 2, 1});
  EXPECT_EQ(r.stats.stdDev, slope());
  EXPECT_EQ(r.maxPos[0], 1);
  // Below the calibration every result is held at the range's bottom.
  EXPECT_EQ(r.stats.minTemp, -20.0f);
  EXPECT_EQ(r.stats.avgTemp, -20.0f);
}

TEST_F(CalibratedRegion, RightToLeftIsTheOrderedRegion) {
  set(5, 5, 4000);
  set(7, 6, 12000);
  const Result ordered = roiKs(frame_, kVa320Size, kDefaults, {2, 3, 9, 8});
  const Result reversed = roiKs(frame_, kVa320Size, kDefaults, {9, 8, 2, 3});
  ASSERT_EQ(reversed.status, SDK_SUCCESS);
  EXPECT_EQ(reversed.stats.minTemp, ordered.stats.minTemp);
  EXPECT_EQ(reversed.stats.maxTemp, ordered.stats.maxTemp);
  EXPECT_EQ(reversed.stats.avgTemp, ordered.stats.avgTemp);
  EXPECT_EQ(reversed.stats.stdDev, ordered.stats.stdDev);
  EXPECT_EQ(reversed.minPos[0], 5);
  EXPECT_EQ(reversed.maxPos[1], 6);
}

TEST_F(CalibratedRegion, ClipsToTheImage) {
  set(383, 287, 13000);
  const Result r = roiKs(frame_, kVa320Size, kDefaults, {-50, -50, 1000, 1000});
  ASSERT_EQ(r.status, SDK_SUCCESS);
  EXPECT_EQ(r.maxPos[0], 383);
  EXPECT_EQ(r.maxPos[1], 287);
  EXPECT_EQ(r.stats.maxTemp, ConvertRawToTempKS(&frame_, kDefaults, 13000));
}

TEST_F(CalibratedRegion, EmptyRegionLeavesTheRecord) {
  const Result r = roiKs(frame_, kVa320Size, kDefaults, {10, 10, 10, 20});
  EXPECT_EQ(r.status, SDK_ERR_MISSING_VALUE);
  EXPECT_EQ(r.stats.avgTemp, -1.0f);
  EXPECT_EQ(r.stats.stdDev, -1.0f);
  EXPECT_EQ(r.minPos[0], -1);
  // Clipping can empty a region as well.
  EXPECT_EQ(roiKs(frame_, kVa320Size, kDefaults, {400, 0, 500, 10}).status, SDK_ERR_MISSING_VALUE);
}

TEST_F(CalibratedRegion, ExtremeCountsStillReportTheirPositions) {
  std::fill(counts_, counts_ + 384 * 288, uint16_t{65535});
  const Result r = roiKs(frame_, kVa320Size, kDefaults, {4, 4, 6, 6});
  EXPECT_EQ(r.minPos[0], 4);
  EXPECT_EQ(r.minPos[1], 4);
  EXPECT_EQ(r.stats.minTemp, 120.0f);
}

TEST_F(CalibratedRegion, HotWholeFrameDeviationDoesNotOverflow) {
  // Half the frame at 65535, half at 60000: the count deviation is 2767.5, while the square
  // of the deviation sum is far beyond 64 bits.
  for (int k = 0; k < 384 * 288; ++k) counts_[k] = k % 2 ? 65535 : 60000;
  const Result r = roiKs(frame_, kVa320Size, kDefaults, {0, 0, 384, 288});
  EXPECT_FLOAT_EQ(r.stats.stdDev, slope() * 2767.5f);
}

TEST_F(CalibratedRegion, GetROITempTakesTheSamePath) {
  set(1, 1, 9000);
  const std::vector<float> table(kTableEntries, 0.0f);
  const EnvParams params{0.8f, 25.0f, 1.0f, 0.0f};
  const Result a = roi(frame_, kVa320Size, table.data(), params, {0, 0, 3, 3});
  const Result b = roiKs(frame_, kVa320Size, params, {0, 0, 3, 3});
  EXPECT_EQ(a.stats.maxTemp, b.stats.maxTemp);
  EXPECT_EQ(a.stats.maxTemp,
            radianceCorrection(ConvertRawToTempKS(&frame_, kDefaults, 9000), params));
  Result missing;
  EXPECT_EQ(GetROITempKS(&frame_, kVa320Size, params, {0, 0, 1, 1}, nullptr, missing.minPos,
                         missing.maxPos),
            SDK_ERR_MISSING_VALUE);
}

}  // namespace
}  // namespace irdex::temperature
