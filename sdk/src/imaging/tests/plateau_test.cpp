#include "imaging/plateau.h"
#include "testing/case_name.h"

#include <gtest/gtest.h>

#include <vector>

namespace irdex::imaging {
namespace {

std::vector<uint8_t> imageOf(const GreyHistogram& histogram) {
  std::vector<uint8_t> image;
  for (int level = 0; level < 256; ++level) image.insert(image.end(), histogram[level], level);
  return image;
}

std::vector<uint8_t> afterTPE(std::vector<uint8_t> image, int32_t plateau) {
  equaliseTPE(image, plateau);
  return image;
}

TEST(PlateauTPE, CutsBothLevelsOfATwoLevelImage) {
  std::vector<uint8_t> image(100, 0);
  image.insert(image.end(), 100, 255);
  equaliseTPE(image, 100);
  EXPECT_EQ(image.front(), 127);  // 255 x 100 / 200
  EXPECT_EQ(image.back(), 255);
}

TEST(PlateauTPE, PlateauAboveEveryBinIsPlainEqualisation) {
  std::vector<uint8_t> image{0, 100, 100, 200};
  equaliseTPE(image, 1000);
  // Running sums 1, 3, 4 of 4 pixels.
  EXPECT_EQ(image, (std::vector<uint8_t>{63, 191, 191, 255}));
}

TEST(PlateauTPE, PlateauIsComparedUnsigned) {
  std::vector<uint8_t> image{0, 100, 100, 200};
  EXPECT_EQ(afterTPE(image, -1), afterTPE(image, 1000));
}

TEST(PlateauTPE, LeavesAnImageWithoutCountablePixelsAlone) {
  std::vector<uint8_t> empty;
  equaliseTPE(empty, 100);  // no map may be formed, nothing may be touched
  std::vector<uint8_t> image{3, 7, 7, 9};
  equaliseTPE(image, 0);
  EXPECT_EQ(image, (std::vector<uint8_t>{3, 7, 7, 9}));
}

// APE and SAPE cut every bin above their plateau P to trunc(P); on whole-number bins that is
// TPE with plateau trunc(P), which checks the plateau they chose.
std::vector<uint8_t> sampleImage() {
  std::vector<uint8_t> image;
  for (int i = 0; i < 4000; ++i) image.push_back(static_cast<uint8_t>(60 + (i * 7919) % 40));
  image.insert(image.end(), 3000, 90);  // a dominant background
  for (int i = 0; i < 300; ++i) image.push_back(static_cast<uint8_t>(200 + i % 50));
  return image;
}

TEST(PlateauAPE, FirstFrameUsesPsiTimesTheNewPlateauAndStoresIt) {
  const std::vector<uint8_t> original = sampleImage();
  std::vector<uint8_t> image = original;
  float prevPlateau = 0.0f;
  equaliseAPE(image, 0.5f, 0.3f, prevPlateau);
  const float fresh = prevPlateau;
  // Levels 60..99 hold 100 pixels each, 90 another 3000, 200..249 six each (N = 7300):
  // p1 59, p25 77, p75 89, p9999 248; edges L 61 (the smoothed rise of 100 beats the
  // threshold 189 x 0.5) and U 92 (the fall after the background); lowCount 100,
  // highCount 1000, ratio 6200 / 1100, B = 1000 x ratio / 31; C1 x C2 = 0.259 x 0.4 is
  // raised to 0.3, so G = 0.3 x 181.818 = 54.545.
  EXPECT_FLOAT_EQ(fresh, 54.545456f);
  EXPECT_EQ(image, afterTPE(original, static_cast<int32_t>(0.3f * fresh)));

  // The next frame blends the stored plateau with the new one.
  image = original;
  float stored = 2.0f * fresh;
  equaliseAPE(image, 0.5f, 0.3f, stored);
  EXPECT_EQ(stored, fresh);
  EXPECT_EQ(image, afterTPE(original, static_cast<int32_t>(0.7f * 2.0f * fresh + 0.3f * fresh)));
}

TEST(PlateauAPE, EmptyImageKeepsThePreviousPlateau) {
  std::vector<uint8_t> empty;
  float prevPlateau = 42.0f;
  equaliseAPE(empty, 0.5f, 0.3f, prevPlateau);
  EXPECT_EQ(prevPlateau, 42.0f);
}

TEST(PlateauAPE, ImageOfOneLevelStaysWithinGreyLevels) {
  std::vector<uint8_t> image(500, 128);
  float prevPlateau = 0.0f;
  equaliseAPE(image, 0.5f, 0.3f, prevPlateau);
  for (const uint8_t grey : image) EXPECT_EQ(grey, image.front());
}

TEST(PlateauSAPE, HistogramWithoutValleysGivesCandidateTen) {
  GreyHistogram ramp{};
  ramp.fill(20);
  EXPECT_EQ(sapeCandidate(ramp), 10.0f);
  std::vector<uint8_t> image = imageOf(ramp);
  float prevPlateau = 0.0f;
  equaliseSAPE(image, 0.3f, prevPlateau);
  EXPECT_EQ(prevPlateau, 10.0f);
  EXPECT_EQ(image, afterTPE(imageOf(ramp), 10));
}

// Medians 600 600 300 200 200 450 450: one valley, at 200.
GreyHistogram histogramWithValleyAt200() {
  GreyHistogram histogram{};
  const uint32_t bins[] = {1000, 600, 300, 150, 200, 450, 800};
  for (int i = 0; i < 7; ++i) histogram[10 + i] = bins[i];
  return histogram;
}

struct SapeCase {
  float prevPlateau;
  float storedAfter;
  int32_t plateauUsed;
};

class PlateauSAPEJump : public ::testing::TestWithParam<SapeCase> {};

TEST_P(PlateauSAPEJump, LimitsTheCandidateToFiftyFromThePreviousPlateau) {
  const GreyHistogram histogram = histogramWithValleyAt200();
  ASSERT_EQ(sapeCandidate(histogram), 200.0f);
  std::vector<uint8_t> image = imageOf(histogram);
  float prevPlateau = GetParam().prevPlateau;
  equaliseSAPE(image, 0.3f, prevPlateau);
  EXPECT_EQ(prevPlateau, GetParam().storedAfter);
  EXPECT_EQ(image, afterTPE(imageOf(histogram), GetParam().plateauUsed));
}

INSTANTIATE_TEST_SUITE_P(Cases, PlateauSAPEJump,
                         ::testing::Values(SapeCase{100.0f, 100.0f, 100},  // jump of 100
                                           SapeCase{180.0f, 200.0f, 186},  // 0.7 x 180 + 60
                                           SapeCase{0.0f, 200.0f, 200}),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Case", i, "Plateau", p.plateauUsed);
                         });  // first frame

}  // namespace
}  // namespace irdex::imaging
