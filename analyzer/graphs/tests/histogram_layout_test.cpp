#include "graphs/histogram_layout.h"

#include <gtest/gtest.h>

#include <numeric>
#include <ostream>
#include <string>
#include <vector>

namespace solvane::graphs {
namespace {

using controls::Unit;

// One degree per hundred counts from -20 °C.
double celsiusOf(uint16_t raw) { return raw / 100.0 - 20.0; }

std::vector<int32_t> histogramWith(std::initializer_list<std::pair<uint16_t, int32_t>> entries) {
  std::vector<int32_t> counts(65536, 0);
  for (auto [raw, n] : entries) counts[raw] = n;
  return counts;
}

TEST(HistogramBins, CountsOnlyThePixelsInsideTheWindowAsAShareOfAll) {
  // 50 pixels at 10 °C and 30 at 20 °C inside 0..40, 20 at 80 °C outside.
  const auto counts = histogramWith({{3000, 50}, {4000, 30}, {10000, 20}});
  const auto percent = binHistogram(counts, 0.0, 40.0, celsiusOf, 4);
  EXPECT_EQ(percent, (std::vector<double>{0.0, 50.0, 30.0, 0.0}));
}

TEST(HistogramBins, TopOfTheWindowFallsInTheLastBin) {
  const auto counts = histogramWith({{6000, 10}});
  const auto percent = binHistogram(counts, 0.0, 40.0, celsiusOf, 4);
  EXPECT_EQ(percent.back(), 100.0);
}

TEST(HistogramBins, EmptyOrReversedWindowGivesNoBars) {
  const auto counts = histogramWith({{3000, 5}});
  const auto reversed = binHistogram(counts, 40.0, 0.0, celsiusOf, 4);
  EXPECT_EQ(std::accumulate(reversed.begin(), reversed.end(), 0.0), 0.0);
  const auto none = binHistogram(std::vector<int32_t>(65536, 0), 0.0, 40.0, celsiusOf, 4);
  EXPECT_EQ(std::accumulate(none.begin(), none.end(), 0.0), 0.0);
}

TEST(HistogramLayout, LeavesRoomForTheAxes) {
  const auto layout = layoutHistogram(400, 300, {}, 0.0, 40.0, Unit::Celsius);
  EXPECT_EQ(layout.plot.width, 400 - 80);
  EXPECT_EQ(layout.plot.height, 300 - 75);
}

TEST(HistogramLayout, FiveStepsOnBothAxes) {
  const auto layout = layoutHistogram(400, 300, {12.0}, 10.0, 35.0, Unit::Celsius);
  ASSERT_EQ(layout.xTicks.size(), 6u);
  ASSERT_EQ(layout.yTicks.size(), 6u);
  EXPECT_EQ(layout.xTicks[0].label, "10.00");
  EXPECT_EQ(layout.xTicks[1].label, "15.00");
  EXPECT_EQ(layout.xTicks[5].label, "35.00");
  EXPECT_EQ(layout.topPercent, 15);
  EXPECT_EQ(layout.yTicks[1].label, "3");
  EXPECT_EQ(layout.yTicks[5].label, "15");
}

TEST(HistogramLayout, BarsStayInsideThePlotBox) {
  std::vector<double> percent(64, 0.0);
  percent[0] = 100.0;
  percent[63] = 3.0;
  const auto layout = layoutHistogram(350, 260, percent, 0.0, 40.0, Unit::Celsius);
  ASSERT_EQ(layout.bars.size(), 2u);
  const Box& p = layout.plot;
  for (const Box& bar : layout.bars) {
    EXPECT_GE(bar.x, p.x);
    EXPECT_LE(bar.x + bar.width, p.x + p.width);
    EXPECT_GE(bar.y, p.y);
    EXPECT_EQ(bar.y + bar.height, p.y + p.height);
  }
  EXPECT_EQ(layout.bars[0].height, p.height);
}

TEST(HistogramLayout, TinyClientAreaDrawsNoBars) {
  const auto layout = layoutHistogram(30, 20, {50.0}, 0.0, 40.0, Unit::Celsius);
  EXPECT_EQ(layout.plot.width, 0);
  EXPECT_TRUE(layout.bars.empty());
}

struct CaptionCase {
  std::string name;
  Unit unit;
  std::string xCaption;
  std::string rangeLabel;
};
void PrintTo(const CaptionCase& c, std::ostream* os) { *os << c.name; }

class HistogramCaption : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(HistogramCaption, NamesTheUnit) {
  EXPECT_EQ(histogramXCaption(GetParam().unit), GetParam().xCaption);
  EXPECT_EQ(controls::histogramRangeLabel(10.0f, 20.5f, GetParam().unit), GetParam().rangeLabel);
}

INSTANTIATE_TEST_SUITE_P(
    Units, HistogramCaption,
    ::testing::Values(CaptionCase{"celsius", Unit::Celsius, "Temperature (Celsius)",
                                  "10.00 - 20.50 \xC2\xB0"
                                  "C"},
                      CaptionCase{"fahrenheit", Unit::Fahrenheit, "Temperature (Fahrenheit)",
                                  "10.00 ~ 20.50 \xC2\xB0"
                                  "F"},
                      CaptionCase{"kelvin", Unit::Kelvin, "Temperature (Kelvin)",
                                  "10.00 ~ 20.50 K"}),
    [](const auto& info) { return info.param.name; });

TEST(HistogramButtons, ShowTheActionByState) {
  EXPECT_EQ(connectButtonText(false), "Connect");
  EXPECT_EQ(connectButtonText(true), "Disconnect");
  EXPECT_EQ(liveButtonText(true), "Freeze");
  EXPECT_EQ(liveButtonText(false), "Live");
}

}  // namespace
}  // namespace solvane::graphs
