// KS calibration slots: making them from the header, the calibrated conversions, the
// smoothing, running out of slots and taking them from several threads.
#include <gtest/gtest.h>
#include <irdex.h>

#include <algorithm>
#include <atomic>
#include <latch>
#include <memory>
#include <ostream>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "temperature/ks_calibration.h"
#include "temperature/ks_slots.h"
#include "temperature/tests/test_frames.h"

namespace irdex::ks {
namespace {

using test::HeaderRange;
using test::kDefaults;
using test::makeCalibratedFrame;
using test::makeFrame;
using test::SlotHolder;
using test::writeKsCalibration;

constexpr uint32_t kVa320Size = 384 | (288u << 16);

std::vector<float> rangeTable(const IRFrame& frame, int range) {
  std::vector<float> table(temperature::kTableEntries, 7.0f);
  EXPECT_EQ(GetTempMapTableKS(&frame, table.data(), range), SDK_SUCCESS);
  return table;
}

TEST(KsSlot, ExampleCalibrationBuildsItsTable) {
  IRFrame frame = makeCalibratedFrame();
  SlotHolder slot(frame);
  ASSERT_EQ(slot.status(), SDK_SUCCESS);
  ASSERT_NE(frame.ksCalib, nullptr);
  EXPECT_EQ(frame.ksRangeMask, 0b0001);
  RangeLimits limits{};
  ASSERT_TRUE(rangeLimits(frame, 0, limits));
  EXPECT_EQ(limits.minCount, 2000);
  EXPECT_EQ(limits.maxCount, 14000);
  EXPECT_EQ(limits.slope, 140.0f / 12000.0f);

  const auto table = rangeTable(frame, 0);
  EXPECT_FLOAT_EQ(table[8000], 50.0f);
  EXPECT_EQ(table[2000], -20.0f);
  EXPECT_EQ(table[14000], 120.0f);
  EXPECT_EQ(table[1999], -20.1f);
  EXPECT_EQ(table[14001], 120.1f);
  EXPECT_FLOAT_EQ(ConvertRawToTempKS(&frame, kDefaults, 8000), 50.0f);
  EXPECT_EQ(ConvertRawToTempKS(&frame, kDefaults, 0), -20.1f);
  EXPECT_EQ(ConvertRawToTempKS(&frame, kDefaults, 65535), 120.1f);
}

TEST(KsSlot, MaskSkipsUncalibratedRangesWhenReadingEntries) {
  IRFrame frame = makeFrame(33, 0x21, 0);
  writeKsCalibration(frame, 0b0101, {{-205, 1500, 1000, 9000}, {1000, 6504, 3000, 15000}});
  SlotHolder slot(frame);
  ASSERT_EQ(slot.status(), SDK_SUCCESS);

  int16_t low = 1, high = 1;
  ASSERT_EQ(GetTempRangeValueKS(&frame, 0, &low, &high), SDK_SUCCESS);
  EXPECT_EQ(low, -20);  // -20.5 truncated
  EXPECT_EQ(high, 150);
  ASSERT_EQ(GetTempRangeValueKS(&frame, 2, &low, &high), SDK_SUCCESS);
  EXPECT_EQ(low, 100);
  EXPECT_EQ(high, 650);
  ASSERT_EQ(GetTempRangeValueKS(&frame, 1, &low, &high), SDK_SUCCESS);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 0);
  EXPECT_EQ(GetTempRangeValueKS(&frame, 4, &low, &high), SDK_ERR_MISSING_VALUE);

  // Range 1 is not calibrated: the copy succeeds and writes nothing.
  const auto uncalibrated = rangeTable(frame, 1);
  EXPECT_TRUE(
      std::all_of(uncalibrated.begin(), uncalibrated.end(), [](float v) { return v == 7.0f; }));
  EXPECT_EQ(rangeTable(frame, 2)[3000], 100.0f);
  EXPECT_EQ(rangeTable(frame, 0)[1000], -20.5f);
  std::vector<float> dest(temperature::kTableEntries);
  EXPECT_EQ(GetTempMapTableKS(&frame, dest.data(), 3), SDK_ERR_MISSING_VALUE);

  RangeLimits limits{};
  EXPECT_FALSE(rangeLimits(frame, 1, limits));
  EXPECT_FALSE(rangeLimits(frame, 4, limits));
  ASSERT_TRUE(rangeLimits(frame, 2, limits));
  EXPECT_EQ(limits.minCount, 3000);
}

TEST(KsSlot, SingleCountRangeHasNoSlope) {
  IRFrame frame = makeFrame(33, 0x20, 0);
  writeKsCalibration(frame, 0b0001, {{100, 200, 5000, 5000}});
  SlotHolder slot(frame);
  RangeLimits limits{};
  ASSERT_TRUE(rangeLimits(frame, 0, limits));
  EXPECT_EQ(limits.slope, 0.0f);
  EXPECT_EQ(ConvertRawToTempKS(&frame, kDefaults, 5000), 10.0f);
}

struct DriftCase {
  int16_t offsetTenths;
  uint16_t count, corrected;
};

void PrintTo(const DriftCase& c, std::ostream* os) {
  *os << "offset " << c.offsetTenths << " count " << c.count;
}

class KsDrift : public ::testing::TestWithParam<DriftCase> {};

TEST_P(KsDrift, ShiftsByTheOffsetAndStaysInTheCalibration) {
  // 1.0 degree over 140 / 12000 degrees per count is 85.7 counts, truncated to 85.
  IRFrame frame = makeCalibratedFrame();
  writeLe16(frame.header.bytes + 118, static_cast<uint16_t>(GetParam().offsetTenths));
  SlotHolder slot(frame);
  uint16_t count = GetParam().count;
  applyDriftCorrection(frame, &count, 1);
  EXPECT_EQ(count, GetParam().corrected);
}

INSTANTIATE_TEST_SUITE_P(Cases, KsDrift,
                         ::testing::Values(DriftCase{10, 8000, 8085}, DriftCase{10, 13990, 14000},
                                           DriftCase{10, 65535,
                                                     2000},  // wraps past 65535 before the limits
                                           DriftCase{-10, 8000, 7915}, DriftCase{-10, 2010, 2000},
                                           DriftCase{-10, 10, 14000}, DriftCase{0, 1500, 2000}));

TEST(KsDrift, NothingWithoutCalibration) {
  IRFrame frame = makeFrame(33, 0x20, 1);
  writeKsCalibration(frame, 0b0001, {{-200, 1200, 2000, 14000}});
  writeLe16(frame.header.bytes + 118, 10);
  SlotHolder slot(frame);
  uint16_t count = 500;
  int32_t shift = 0;
  EXPECT_FALSE(driftShift(frame, shift));  // range 1 is not calibrated
  applyDriftCorrection(frame, &count, 1);
  EXPECT_EQ(count, 500);
  IRFrame flat = makeFrame(33, 0x20, 0);
  writeKsCalibration(flat, 0b0001, {{100, 200, 5000, 5000}});
  SlotHolder flatSlot(flat);
  EXPECT_FALSE(driftShift(flat, shift));
}

TEST(KsInverse, FindsTheFirstCountNotBelowTheTemperature) {
  IRFrame frame = makeCalibratedFrame();
  SlotHolder slot(frame);
  const auto table = rangeTable(frame, 0);
  for (float t : {-19.99f, 0.0f, 50.0f, 119.99f}) {
    const int32_t count = ConvertTempToRawKS(&frame, kDefaults, t);
    ASSERT_GT(count, 0);
    EXPECT_LE(t, table[count]) << t;
    EXPECT_LT(table[count - 1], t) << t;
  }
  EXPECT_EQ(ConvertTempToRawKS(&frame, kDefaults, -40.0f), 2000);
  EXPECT_EQ(ConvertTempToRawKS(&frame, kDefaults, 300.0f), 14000);
  // Non-default parameters go through the inverse correction first.
  const EnvParams low{0.8f, 20.0f, 1.0f, 0.0f};
  const int32_t corrected = ConvertTempToRawKS(&frame, low, 60.0f);
  EXPECT_NEAR(ConvertRawToTempKS(&frame, low, static_cast<uint16_t>(corrected)), 60.0f, 0.05f);
}

TEST(KsInverse, BuiltInTablesSearchTheirLine) {
  IRFrame frame = makeFrame(32, 0x20, 0);
  EXPECT_EQ(ConvertTempToRawKS(&frame, kDefaults, -40.0f), 2000);
  EXPECT_EQ(ConvertTempToRawKS(&frame, kDefaults, 200.0f), 14000);
  const int32_t count = ConvertTempToRawKS(&frame, kDefaults, 50.0f);
  EXPECT_LE(50.0f, temperature::builtInLowTable()[count]);
  EXPECT_LT(temperature::builtInLowTable()[count - 1], 50.0f);
  IRFrame kt = makeFrame(20, 1, 0);
  EXPECT_EQ(ConvertTempToRawKS(&kt, kDefaults, 50.0f), 0);
  EXPECT_EQ(ConvertTempToRawKS(nullptr, kDefaults, 50.0f), -1000);
}

// The 3 x 3 mean by its definition: clamp-to-edge, nine reads per pixel.
uint16_t referenceMean(const std::vector<uint16_t>& p, int w, int h, int x, int y) {
  uint32_t sum = 0;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      const int cx = std::clamp(x + dx, 0, w - 1);
      const int cy = std::clamp(y + dy, 0, h - 1);
      sum += p[static_cast<std::size_t>(cy * w + cx)];
    }
  return static_cast<uint16_t>(sum / 9);
}

uint16_t smoothedAt(const IRFrame& frame, int width, int x, int y) {
  return static_cast<uint16_t>(frame.ksSmoothed[width * y + x]);
}

TEST(KsSmoothing, SpreadsOneBrightPixelOverNineCells) {
  IRFrame frame = makeCalibratedFrame(0x20);
  SlotHolder slot(frame);
  std::vector<uint16_t> pixels(384 * 288, 0);
  pixels[100 * 384 + 100] = 900;
  ASSERT_EQ(LoadIRCamDataKS(&frame, pixels.data(), 0), SDK_SUCCESS);
  for (int y = 98; y <= 102; ++y)
    for (int x = 98; x <= 102; ++x) {
      const bool near = std::abs(x - 100) <= 1 && std::abs(y - 100) <= 1;
      EXPECT_EQ(smoothedAt(frame, 384, x, y), near ? 100 : 0) << x << "," << y;
    }
}

TEST(KsSmoothing, CornerPixelCountsFourTimes) {
  IRFrame frame = makeCalibratedFrame(0x21);
  SlotHolder slot(frame);
  std::vector<uint16_t> pixels(640 * 480, 0);
  pixels[0] = 900;
  pixels[640 * 480 - 1] = 900;
  ASSERT_EQ(LoadIRCamDataKS(&frame, pixels.data(), 0), SDK_SUCCESS);
  EXPECT_EQ(smoothedAt(frame, 640, 0, 0), 400);
  EXPECT_EQ(smoothedAt(frame, 640, 1, 0), 200);
  EXPECT_EQ(smoothedAt(frame, 640, 1, 1), 100);
  EXPECT_EQ(smoothedAt(frame, 640, 639, 479), 400);
  EXPECT_EQ(smoothedAt(frame, 640, 638, 479), 200);
}

TEST(KsSmoothing, RunningSumsEqualTheDefinition) {
  IRFrame frame = makeCalibratedFrame(0x20);
  SlotHolder slot(frame);
  std::mt19937 random(7);
  std::vector<uint16_t> pixels(384 * 288);
  for (auto& p : pixels) p = static_cast<uint16_t>(random());  // full 16-bit span
  ASSERT_EQ(LoadIRCamDataKS(&frame, pixels.data(), 0), SDK_SUCCESS);
  for (int y = 0; y < 288; ++y)
    for (int x = 0; x < 384; ++x)
      ASSERT_EQ(smoothedAt(frame, 384, x, y), referenceMean(pixels, 384, 288, x, y))
          << x << "," << y;
  // Means above 32767 are counts, not negative numbers.
  std::fill(pixels.begin(), pixels.end(), uint16_t{60000});
  ASSERT_EQ(LoadIRCamDataKS(&frame, pixels.data(), 0), SDK_SUCCESS);
  EXPECT_EQ(smoothedAt(frame, 384, 5, 5), 60000);
  EXPECT_EQ(GetPointTempKS(&frame, kVa320Size, kDefaults, 5, 5), 120.1f);
}

TEST(KsSmoothing, OtherModelsAreLeftAlone) {
  IRFrame frame = makeCalibratedFrame(0x22);
  SlotHolder slot(frame);
  frame.ksSmoothed[0] = 1234;
  std::vector<uint16_t> pixels(640 * 480, 5);
  EXPECT_EQ(LoadIRCamDataKS(&frame, pixels.data(), 0), SDK_SUCCESS);
  EXPECT_EQ(frame.ksSmoothed[0], 1234);
}

TEST(KsConversion, PointAndImageReadTheSmoothedCounts) {
  IRFrame frame = makeCalibratedFrame(0x20);
  SlotHolder slot(frame);
  std::vector<uint16_t> pixels(384 * 288, 8000);
  ASSERT_EQ(LoadIRCamDataKS(&frame, pixels.data(), 0), SDK_SUCCESS);
  frame.pixels = nullptr;  // the raw pixels are not read
  const std::vector<float> table(temperature::kTableEntries, 0.0f);
  EXPECT_FLOAT_EQ(GetPointTempKS(&frame, kVa320Size, kDefaults, 10, 10), 50.0f);
  EXPECT_FLOAT_EQ(GetNeighborPointTempKS(&frame, kVa320Size, kDefaults, 0, 0), 50.0f);
  EXPECT_FLOAT_EQ(GetPointTemp(&frame, kVa320Size, table.data(), kDefaults, 383, 287), 50.0f);
  EXPECT_FLOAT_EQ(GetNeighborPointTemp(&frame, kVa320Size, table.data(), kDefaults, 3, 3), 50.0f);

  const EnvParams params{0.8f, 20.0f, 1.0f, 0.0f};
  const float corrected = temperature::radianceCorrection(rangeTable(frame, 0)[8000], params);
  EXPECT_EQ(GetPointTempKS(&frame, kVa320Size, params, 1, 1), corrected);
  std::vector<float> out(384 * 288, 0.0f);
  ASSERT_EQ(GetRawToTempKS(&frame, kVa320Size, params, out.data()), SDK_SUCCESS);
  EXPECT_EQ(out.front(), corrected);
  EXPECT_EQ(out.back(), corrected);
  std::fill(out.begin(), out.end(), 0.0f);
  ASSERT_EQ(GetRawToTemp(&frame, kVa320Size, table.data(), kDefaults, out.data()), SDK_SUCCESS);
  EXPECT_FLOAT_EQ(out[1000], 50.0f);
}

TEST(KsConversion, ImageCorrectionByCountEqualsPixelByPixel) {
  IRFrame frame = makeCalibratedFrame(0x21);
  SlotHolder slot(frame);
  // Counts across and beyond the calibrated interval, also above 32767.
  uint16_t* counts = reinterpret_cast<uint16_t*>(frame.ksSmoothed);
  for (int k = 0; k < 640 * 480; ++k) counts[k] = static_cast<uint16_t>(k * 7);
  const EnvParams params{0.7f, 30.0f, 0.95f, 0.0f};
  std::vector<float> out(640 * 480, 0.0f);
  ASSERT_EQ(GetRawToTempKS(&frame, IrdexImageSize(640, 480), params, out.data()), SDK_SUCCESS);
  for (int k = 0; k < 640 * 480; k += 13)
    ASSERT_EQ(out[k], GetPointTempKS(&frame, IrdexImageSize(640, 480), params, k % 640, k / 640))
        << k;
}

TEST(KsConversion, OlderGenerationsGetTheirErrorValues) {
  IRFrame kt = makeFrame(20, 1, 0);
  float out = 0.0f;
  int16_t low = 0, high = 0;
  EXPECT_EQ(ConvertRawToTempKS(&kt, kDefaults, 100), 0.0f);
  EXPECT_EQ(GetPointTempKS(&kt, 1, kDefaults, 0, 0), -1.0f);
  EXPECT_EQ(GetNeighborPointTempKS(&kt, 1, kDefaults, 0, 0), -1.0f);
  EXPECT_EQ(GetRawToTempKS(&kt, 1, kDefaults, &out), -1);
  EXPECT_EQ(GetTempMapTableKS(&kt, &out, 0), SDK_ERR_MODEL_MISMATCH);
  EXPECT_EQ(GetTempRangeValueKS(&kt, 0, &low, &high), SDK_ERR_MISSING_VALUE);
  EXPECT_EQ(CreateIRCamDataKS(&kt), SDK_SUCCESS);
  EXPECT_EQ(kt.ksCalib, nullptr);
  EXPECT_EQ(CreateIRCamDataKS(nullptr), SDK_ERR_UNSUPPORTED);
  EXPECT_EQ(LoadIRCamDataKS(nullptr, nullptr, 0), SDK_ERR_UNSUPPORTED);
  EXPECT_EQ(CloseIRCamDataKS(nullptr), SDK_ERR_UNSUPPORTED);
  EXPECT_EQ(ConvertRawToTempKS(nullptr, kDefaults, 1), -1000.0f);
  EXPECT_EQ(GetTempMapTableKS(nullptr, &out, 0), SDK_ERR_MISSING_VALUE);
}

TEST(KsConversion, BuiltInFramesUseTheNominalRanges) {
  IRFrame frame = makeFrame(32, 0x20, 1);
  int16_t low = 0, high = 0;
  ASSERT_EQ(GetTempRangeValueKS(&frame, 0, &low, &high), SDK_SUCCESS);
  EXPECT_EQ(low, -20);
  EXPECT_EQ(high, 120);
  ASSERT_EQ(GetTempRangeValueKS(&frame, 1, &low, &high), SDK_SUCCESS);
  EXPECT_EQ(high, 650);
  EXPECT_EQ(GetTempRangeValueKS(&frame, 2, &low, &high), SDK_ERR_MISSING_VALUE);
  std::vector<float> table(temperature::kTableEntries);
  ASSERT_EQ(GetTempMapTableKS(&frame, table.data(), 1), SDK_SUCCESS);
  EXPECT_EQ(table[8000], temperature::builtInHighTable()[8000]);
  EXPECT_EQ(GetTempMapTableKS(&frame, table.data(), 2), SDK_ERR_MISSING_VALUE);
}

class AllSlotsTaken : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto& frame : frames_) {
      frame = makeCalibratedFrame();
      ASSERT_EQ(CreateIRCamDataKS(&frame), SDK_SUCCESS);
    }
  }
  void TearDown() override {
    for (auto& frame : frames_) CloseIRCamDataKS(&frame);
  }
  IRFrame frames_[kSlotCount]{};
};

TEST_F(AllSlotsTaken, TheTwentyFirstFrameGetsNoSlot) {
  std::set<uint32_t> numbers;
  for (const auto& frame : frames_) numbers.insert(frame.ksSlot);
  EXPECT_EQ(numbers.size(), static_cast<std::size_t>(kSlotCount));
  EXPECT_EQ(freeSlotCount(), 0);

  IRFrame extra = makeCalibratedFrame();
  EXPECT_EQ(CreateIRCamDataKS(&extra), SDK_ERR_MISSING_VALUE);
  EXPECT_EQ(extra.ksSlot, kNoSlot);
  EXPECT_EQ(extra.ksCalib, nullptr);
  EXPECT_EQ(extra.ksSmoothed, nullptr);
  EXPECT_EQ(receiveBuffer(extra), nullptr);

  // Every calibrated conversion of the frame answers with its error value.
  std::vector<uint16_t> pixels(384 * 288, 8000);
  std::vector<float> out(384 * 288, 0.0f);
  const std::vector<float> table(temperature::kTableEntries, 0.0f);
  RoiTempStats stats{};
  int32_t minPos[2] = {}, maxPos[2] = {};
  int16_t low = 0, high = 0;
  RangeLimits limits{};
  EXPECT_EQ(LoadIRCamDataKS(&extra, pixels.data(), 0), SDK_ERR_MISSING_VALUE);
  EXPECT_EQ(ConvertRawToTempKS(&extra, kDefaults, 8000), -1000.0f);
  EXPECT_EQ(ConvertTempToRawKS(&extra, kDefaults, 50.0f), -1000);
  EXPECT_EQ(GetPointTempKS(&extra, kVa320Size, kDefaults, 1, 1), -1000.0f);
  EXPECT_EQ(GetNeighborPointTempKS(&extra, kVa320Size, kDefaults, 1, 1), -1000.0f);
  EXPECT_EQ(GetPointTemp(&extra, kVa320Size, table.data(), kDefaults, 1, 1), -1000.0f);
  EXPECT_EQ(GetRawToTempKS(&extra, kVa320Size, kDefaults, out.data()), SDK_ERR_MISSING_VALUE);
  EXPECT_EQ(GetRawToTemp(&extra, kVa320Size, table.data(), kDefaults, out.data()),
            SDK_ERR_MISSING_VALUE);
  EXPECT_EQ(GetTempMapTableKS(&extra, out.data(), 0), SDK_ERR_MISSING_VALUE);
  EXPECT_EQ(GetTempRangeValueKS(&extra, 0, &low, &high), SDK_ERR_MISSING_VALUE);
  EXPECT_EQ(
      GetROITempKS(&extra, kVa320Size, kDefaults, RoiRect{0, 0, 4, 4}, &stats, minPos, maxPos),
      SDK_ERR_MISSING_VALUE);
  EXPECT_FALSE(rangeLimits(extra, 0, limits));

  // Giving one back lets the extra frame in.
  ASSERT_EQ(CloseIRCamDataKS(&frames_[7]), SDK_SUCCESS);
  EXPECT_EQ(frames_[7].ksCalib, nullptr);
  ASSERT_EQ(CreateIRCamDataKS(&extra), SDK_SUCCESS);
  EXPECT_EQ(extra.ksSlot, 7u);
  CloseIRCamDataKS(&extra);
}

TEST(KsSlotLife, RemakingKeepsOneSlotPerFrame) {
  const int free = freeSlotCount();
  IRFrame frame = makeCalibratedFrame();
  ASSERT_EQ(CreateIRCamDataKS(&frame), SDK_SUCCESS);
  ASSERT_EQ(CreateIRCamDataKS(&frame), SDK_SUCCESS);
  ASSERT_EQ(remakeSlotForHeader(frame, 5), SDK_SUCCESS);
  EXPECT_EQ(freeSlotCount(), free - 1);
  EXPECT_EQ(ownerOfSlot(static_cast<int>(frame.ksSlot)), &frame);
  // A header of the built-in generation gives the slot back.
  frame.header.bytes[IRDEX_HEADER_VERSION] = 32;
  EXPECT_EQ(remakeSlotForHeader(frame, 5), SDK_SUCCESS);
  EXPECT_EQ(frame.ksCalib, nullptr);
  EXPECT_EQ(frame.ksSlot, kNoSlot);
  EXPECT_EQ(freeSlotCount(), free);
}

TEST(KsSlotLife, ClosingAConnectionFreesOnlyItsSlots) {
  const int free = freeSlotCount();
  IRFrame first = makeCalibratedFrame(), second = makeCalibratedFrame(),
          own = makeCalibratedFrame();
  ASSERT_EQ(remakeSlotForHeader(first, 11), SDK_SUCCESS);
  ASSERT_EQ(remakeSlotForHeader(second, 12), SDK_SUCCESS);
  ASSERT_EQ(CreateIRCamDataKS(&own), SDK_SUCCESS);
  EXPECT_NE(receiveBuffer(first), nullptr);
  EXPECT_NE(receiveBuffer(first), receiveBuffer(second));

  releaseSlotsOfSocket(11);
  EXPECT_EQ(receiveBuffer(first), nullptr);
  EXPECT_NE(receiveBuffer(second), nullptr);
  releaseSlotsOfSocket(-1);  // no receiver: the slot CreateIRCamDataKS made stays
  EXPECT_NE(receiveBuffer(own), nullptr);
  EXPECT_EQ(freeSlotCount(), free - 2);

  releaseSlotsOfSocket(12);
  CloseIRCamDataKS(&own);
  CloseIRCamDataKS(&first);  // already free: ignored
  EXPECT_EQ(freeSlotCount(), free);
}

TEST(KsSlotLife, SlotsTakenAndGivenBackFromManyThreads) {
  constexpr int kThreads = 8;
  constexpr int kRounds = 300;
  std::atomic<int> failures{0};
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      // Two frames per thread: at most 16 held at once, so every making succeeds.
      IRFrame a = makeCalibratedFrame(), b = makeCalibratedFrame();
      start.arrive_and_wait();
      for (int round = 0; round < kRounds; ++round) {
        const bool byReceiver = (round + t) % 2 == 0;
        const SdkStatus sa = byReceiver ? remakeSlotForHeader(a, t) : CreateIRCamDataKS(&a);
        const SdkStatus sb = CreateIRCamDataKS(&b);
        if (sa != SDK_SUCCESS || sb != SDK_SUCCESS || a.ksSlot == b.ksSlot ||
            ownerOfSlot(static_cast<int>(a.ksSlot)) != &a ||
            ownerOfSlot(static_cast<int>(b.ksSlot)) != &b)
          failures.fetch_add(1);
        if (byReceiver)
          releaseSlotsOfSocket(t);
        else
          CloseIRCamDataKS(&a);
        CloseIRCamDataKS(&b);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(freeSlotCount(), kSlotCount);
}

TEST(KsSlotLife, ARaceForTheLastSlotsHasTwentyWinners) {
  constexpr int kThreads = kSlotCount + 5;
  std::vector<IRFrame> frames(kThreads);
  for (auto& frame : frames) frame = makeCalibratedFrame();
  std::vector<SdkStatus> results(kThreads);
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      results[t] = CreateIRCamDataKS(&frames[t]);
    });
  }
  for (auto& thread : threads) thread.join();
  std::set<uint32_t> numbers;
  int losers = 0;
  for (int t = 0; t < kThreads; ++t) {
    if (results[t] == SDK_SUCCESS)
      numbers.insert(frames[t].ksSlot);
    else if (results[t] == SDK_ERR_MISSING_VALUE && frames[t].ksCalib == nullptr)
      ++losers;
  }
  EXPECT_EQ(numbers.size(), static_cast<std::size_t>(kSlotCount));
  EXPECT_EQ(losers, 5);
  for (auto& frame : frames) CloseIRCamDataKS(&frame);
  EXPECT_EQ(freeSlotCount(), kSlotCount);
}

}  // namespace
}  // namespace irdex::ks
