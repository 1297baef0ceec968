#include "controls/isotherm_painter.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace solvane::controls {
namespace {

// A conversion that is not monotone, so a lookup by count cannot lean on ordering.
float celsiusOfCount(uint16_t count) {
  return static_cast<float>(count % 1000) * 0.1f - 20.0f + static_cast<float>(count / 1000) * 0.01f;
}

// The rule as written, pixel by pixel: convert, then test and blend each enabled band.
uint32_t referencePixel(const IsothermSettings& s, uint32_t pixel, float t) {
  for (IsothermBand band : kIsothermBands) {
    if (!s.isEnabled(band)) continue;
    bool inside = false;
    if (band == IsothermBand::Interval)
      inside = t >= s.limitOf(IsothermLimit::IntervalLower) &&
               t <= s.limitOf(IsothermLimit::IntervalUpper);
    if (band == IsothermBand::Above) inside = t > s.limitOf(IsothermLimit::Above);
    if (band == IsothermBand::Below) inside = t < s.limitOf(IsothermLimit::Below);
    if (!inside) continue;
    uint32_t out = pixel & 0xFF000000u;
    for (int shift : {16, 8, 0}) {
      const double c = (s.colourOf(band) >> shift) & 0xFF;
      const double v = (pixel >> shift) & 0xFF;
      out |= static_cast<uint32_t>(static_cast<uint8_t>(c * 0.5 + v * 0.5 * c / 255.0)) << shift;
    }
    pixel = out;
  }
  return pixel;
}

struct Frame {
  std::vector<uint32_t> picture;
  std::vector<uint16_t> counts;
  std::vector<float> celsius;
};

Frame randomFrame(size_t pixels, unsigned seed) {
  std::mt19937 random(seed);
  Frame frame;
  for (size_t k = 0; k < pixels; ++k) {
    frame.picture.push_back(static_cast<uint32_t>(random()));
    frame.counts.push_back(static_cast<uint16_t>(random()));
    frame.celsius.push_back(celsiusOfCount(frame.counts.back()));
  }
  return frame;
}

struct PaintCase {
  std::string name;
  IsothermSettings settings;
};
void PrintTo(const PaintCase& c, std::ostream* os) { *os << c.name; }

IsothermSettings bands(bool interval, bool above, bool below, std::array<uint32_t, 3> colours,
                       std::array<float, 4> limits) {
  IsothermSettings s;
  s.enabled = {interval, above, below};
  s.colour = colours;
  s.limit = limits;
  return s;
}

class IsothermPaint : public ::testing::TestWithParam<PaintCase> {};

TEST_P(IsothermPaint, ByCountMatchesTheDirectRule) {
  const IsothermSettings& s = GetParam().settings;
  Frame frame = randomFrame(320 * 240, 7);
  std::vector<uint32_t> expected(frame.picture.size());
  for (size_t k = 0; k < expected.size(); ++k)
    expected[k] = referencePixel(s, frame.picture[k], celsiusOfCount(frame.counts[k]));
  IsothermPainter painter(s);
  painter.mapCounts(celsiusOfCount);
  ASSERT_TRUE(painter.paintByCount(frame.picture, frame.counts));
  EXPECT_EQ(frame.picture, expected);
}

TEST_P(IsothermPaint, ByTemperatureMatchesTheDirectRule) {
  const IsothermSettings& s = GetParam().settings;
  Frame frame = randomFrame(320 * 240, 11);
  std::vector<uint32_t> expected(frame.picture.size());
  for (size_t k = 0; k < expected.size(); ++k)
    expected[k] = referencePixel(s, frame.picture[k], frame.celsius[k]);
  IsothermPainter painter(s);
  ASSERT_TRUE(painter.paintByTemperature(frame.picture, frame.celsius));
  EXPECT_EQ(frame.picture, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bands, IsothermPaint,
    ::testing::Values(
        PaintCase{"none", bands(false, false, false, {0xFF0000, 0xFF0000, 0xFF0000}, {0, 0, 0, 0})},
        PaintCase{"interval", bands(true, false, false, {0x00FF00, 0, 0}, {0, 10, 30, 0})},
        PaintCase{"above", bands(false, true, false, {0, 0xFF8040, 0}, {0, 0, 0, 50})},
        PaintCase{"below", bands(false, false, true, {0, 0, 0x2040FF}, {-5, 0, 0, 0})},
        PaintCase{"all_three",
                  bands(true, true, true, {0x00FF00, 0xFF0000, 0x0000FF}, {-5, 10, 30, 50})},
        PaintCase{"overlapping_bands_blend_twice",
                  bands(true, true, true, {0x808080, 0xFFFF00, 0x00FFFF}, {40, 0, 60, 20})}),
    [](const auto& info) { return info.param.name; });

TEST(IsothermPainter, LimitsOfTheIntervalArePainted) {
  IsothermPainter painter(bands(true, false, false, {0xFF0000, 0, 0}, {0, 10, 30, 0}));
  EXPECT_TRUE(painter.contains(IsothermBand::Interval, 10.0f));
  EXPECT_TRUE(painter.contains(IsothermBand::Interval, 30.0f));
  EXPECT_FALSE(painter.contains(IsothermBand::Interval, 30.01f));
}

TEST(IsothermPainter, KeepsAlpha) {
  IsothermPainter painter(bands(false, true, false, {0, 0xFFFFFF, 0}, {0, 0, 0, 0}));
  std::vector<uint32_t> picture{0x7F000000u};
  const std::vector<float> celsius{1.0f};
  ASSERT_TRUE(painter.paintByTemperature(picture, celsius));
  EXPECT_EQ(picture[0], 0x7F7F7F7Fu);
}

TEST(IsothermPainter, RefusesMismatchedSizesWithoutPainting) {
  IsothermPainter painter(bands(false, true, false, {0, 0xFFFFFF, 0}, {0, 0, 0, -100}));
  std::vector<uint32_t> picture(4, 0xFF000000u);
  const std::vector<float> celsius(3, 20.0f);
  const std::vector<uint16_t> counts(5, 0);
  EXPECT_FALSE(painter.paintByTemperature(picture, celsius));
  painter.mapCounts(celsiusOfCount);
  EXPECT_FALSE(painter.paintByCount(picture, counts));
  EXPECT_EQ(picture, std::vector<uint32_t>(4, 0xFF000000u));
}

TEST(IsothermPainter, NeedsACountMapBeforePaintingByCount) {
  IsothermPainter painter(bands(false, true, false, {0, 0xFFFFFF, 0}, {0, 0, 0, -100}));
  std::vector<uint32_t> picture(2, 0);
  const std::vector<uint16_t> counts(2, 0);
  EXPECT_FALSE(painter.paintByCount(picture, counts));
}

TEST(IsothermPainter, ReconfiguringDropsTheOldCountMap) {
  IsothermPainter painter(bands(false, true, false, {0, 0xFFFFFF, 0}, {0, 0, 0, -100}));
  painter.mapCounts(celsiusOfCount);
  painter.configure(bands(false, true, false, {0, 0xFFFFFF, 0}, {0, 0, 0, 100}));
  EXPECT_FALSE(painter.countsMapped());
}

}  // namespace
}  // namespace solvane::controls

namespace solvane::controls {
namespace {

// With the library's own conversions: painting by a count map built from the temperature of
// each count matches painting by the frame's converted temperatures, pixel for pixel.
TEST(IsothermPainter, CountMapAgreesWithTheLibrarysFrameConversion) {
  constexpr uint16_t kWidth = 64, kHeight = 48;
  std::vector<float> table(65536);
  for (size_t i = 0; i < table.size(); ++i) table[i] = -20.0f + static_cast<float>(i) * 0.01f;
  Frame frame = randomFrame(size_t{kWidth} * kHeight, 23);
  for (auto& count : frame.counts) count = static_cast<uint16_t>(count % 15000);
  IRFrame ir{};
  ir.pixels = frame.counts.data();
  ir.pixelCapacity = static_cast<uint32_t>(frame.counts.size());
  const EnvParams env{0.95f, 20.0f, 1.0f, 0.0f};
  std::vector<float> celsius(frame.counts.size());
  ASSERT_EQ(GetRawToTemp(&ir, IrdexImageSize(kWidth, kHeight), table.data(), env, celsius.data()),
            SDK_SUCCESS);

  IsothermPainter painter(bands(true, true, true, {0x00FF00, 0xFF0000, 0x0000FF}, {0, 20, 40, 80}));
  std::vector<uint32_t> byTemperature = frame.picture;
  ASSERT_TRUE(painter.paintByTemperature(byTemperature, celsius));
  painter.mapCounts([&](uint16_t raw) { return GetIRdataToTemp(raw, table.data(), env); });
  std::vector<uint32_t> byCount = frame.picture;
  ASSERT_TRUE(painter.paintByCount(byCount, frame.counts));
  EXPECT_EQ(byCount, byTemperature);
  EXPECT_NE(byCount, frame.picture);
}

}  // namespace
}  // namespace solvane::controls
