#include "graphs/trend_plot.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace solvane::graphs {
namespace {

using controls::Unit;

TEST(TrendPlot, TimePlotStartsEmptyWithTheStoredDefaults) {
  TrendPlot plot(TrendMode::TimePlot);
  EXPECT_EQ(plot.caption(), "Time Plot");
  EXPECT_TRUE(plot.series().empty());
  EXPECT_EQ(plot.shownRange(), (PlotRange{0.0, 10.0, -1000.0, 1000.0}));
}

TEST(TrendPlot, HotColdPlotHasARedHotAndABlueCold) {
  TrendPlot plot(TrendMode::HotCold);
  EXPECT_EQ(plot.caption(), "Hot/Cold Plot");
  ASSERT_EQ(plot.series().size(), 2u);
  EXPECT_EQ(plot.series()[0].name, "Hot");
  EXPECT_EQ(plot.series()[0].colour, 0xFF0000u);
  EXPECT_EQ(plot.series()[1].name, "Cold");
  EXPECT_EQ(plot.series()[1].colour, 0x0000FFu);
}

TEST(TrendPlot, SeriesComeAndGoWithTheObjects) {
  TrendPlot plot(TrendMode::TimePlot);
  plot.addObject(7, "Sp1", 0x00FF00);
  plot.addObject(9, "Ar1", 0x0000FF);
  plot.addObject(7, "Sp1", 0x00FF00);
  ASSERT_EQ(plot.series().size(), 2u);
  plot.removeObject(7);
  ASSERT_EQ(plot.series().size(), 1u);
  EXPECT_EQ(plot.series()[0].name, "Ar1");
  plot.removeAllObjects();
  EXPECT_TRUE(plot.series().empty());
}

TEST(TrendPlot, HotColdSeriesStayWhenObjectsGo) {
  TrendPlot plot(TrendMode::HotCold);
  plot.removeAllObjects();
  plot.removeObject(0);
  EXPECT_EQ(plot.series().size(), 2u);
}

TEST(TrendPlot, EachObjectGetsItsOwnPoints) {
  TrendPlot plot(TrendMode::TimePlot);
  plot.addObject(1, "Sp1", 0);
  plot.addObject(2, "Ar1", 0);
  plot.appendObjects(0.5, {ObjectSample{2, 3, 0, 0, 0, 25.0f}, ObjectSample{5, 0, 1, 1, 1, 1}},
                     Unit::Celsius);
  EXPECT_TRUE(plot.find(1)->points.empty());
  ASSERT_EQ(plot.find(2)->points.size(), 1u);
  EXPECT_EQ(plot.find(2)->points.at(0).value, 25.0);
  EXPECT_EQ(plot.find(2)->points.at(0).seconds, 0.5);
}

TEST(TrendPlot, StoppedPlotTakesNoPointsAndAllowsRangeSetting) {
  TrendPlot plot(TrendMode::HotCold);
  EXPECT_EQ(plot.startStopText(), "&Stop");
  EXPECT_FALSE(plot.rangeSettingEnabled());
  plot.setPlotting(false);
  EXPECT_EQ(plot.startStopText(), "&Start");
  EXPECT_TRUE(plot.rangeSettingEnabled());
  plot.appendHotCold(1.0, 50.0f, 10.0f, Unit::Celsius);
  EXPECT_TRUE(plot.series()[0].points.empty());
}

TEST(TrendPlot, ShowsValuesInTheDisplayUnit) {
  TrendPlot plot(TrendMode::HotCold);
  plot.appendHotCold(0.0, 100.0f, 0.0f, Unit::Fahrenheit);
  EXPECT_NEAR(plot.series()[0].points.at(0).value, 212.0, 1e-4);
  EXPECT_NEAR(plot.series()[1].points.at(0).value, 32.0, 1e-4);
}

TEST(TrendPlot, AutoRangeFollowsTheData) {
  TrendPlot plot(TrendMode::HotCold);
  plot.setAutoRange(true);
  plot.appendHotCold(2.0, 40.0f, 20.0f, Unit::Celsius);
  plot.appendHotCold(6.0, 50.0f, 10.0f, Unit::Celsius);
  const PlotRange shown = plot.shownRange();
  EXPECT_EQ(shown.xMin, 2.0);
  EXPECT_EQ(shown.xMax, 6.0);
  EXPECT_LT(shown.yMin, 10.0);
  EXPECT_GT(shown.yMax, 50.0);
  EXPECT_GT(shown.yMin, 0.0);
}

TEST(TrendPlot, ClearingEmptiesEverySeries) {
  TrendPlot plot(TrendMode::HotCold);
  plot.appendHotCold(0.0, 1.0f, 0.0f, Unit::Celsius);
  plot.clearPoints();
  EXPECT_TRUE(plot.series()[0].points.empty());
  EXPECT_TRUE(plot.series()[1].points.empty());
}

struct PlotFunctionCase {
  std::string name;
  int32_t function;
  float plotted;
};
void PrintTo(const PlotFunctionCase& c, std::ostream* os) { *os << c.name; }

class ObjectPlotFunction : public ::testing::TestWithParam<PlotFunctionCase> {};

TEST_P(ObjectPlotFunction, PicksTheStatistic) {
  const ObjectSample sample{1, GetParam().function, 21.0f, 10.0f, 30.0f, 20.0f};
  EXPECT_EQ(plottedValue(sample), GetParam().plotted);
}

INSTANTIATE_TEST_SUITE_P(Functions, ObjectPlotFunction,
                         ::testing::Values(PlotFunctionCase{"value", 0, 21.0f},
                                           PlotFunctionCase{"minimum", 1, 10.0f},
                                           PlotFunctionCase{"maximum", 2, 30.0f},
                                           PlotFunctionCase{"average", 3, 20.0f},
                                           PlotFunctionCase{"unknown_is_value", 17, 21.0f}),
                         [](const auto& info) { return info.param.name; });

struct RangeCase {
  std::string name;
  RangeFields fields;
  bool accepted;
  std::string message;
};
void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.name; }

class RangeSetting : public ::testing::TestWithParam<RangeCase> {};

TEST_P(RangeSetting, AcceptsOnlyAMinimumBelowItsMaximum) {
  const RangeCheck check = checkRange(GetParam().fields);
  EXPECT_EQ(check.range.has_value(), GetParam().accepted);
  EXPECT_EQ(check.message, GetParam().message);
}

const std::string kOrder = "The minimum value is less than maximum value.";

INSTANTIATE_TEST_SUITE_P(
    Fields, RangeSetting,
    ::testing::Values(RangeCase{"defaults", {"0.0", "10.0", "-1000.0", "1000.0"}, true, ""},
                      RangeCase{"x_equal", {"5", "5", "0", "1"}, false, kOrder},
                      RangeCase{"y_reversed", {"0", "1", "50", "-50"}, false, kOrder},
                      RangeCase{
                          "letters", {"zero", "1", "0", "1"}, false, "Please enter a number."},
                      RangeCase{"empty", {"0", "", "0", "1"}, false, "Please enter a number."}),
    [](const auto& info) { return info.param.name; });

TEST(RangeSetting, FieldsShowTheStoredRange) {
  const RangeFields fields = fieldsOf(PlotRange{});
  EXPECT_EQ(fields.xMax, "10.0");
  EXPECT_EQ(fields.yMin, "-1000.0");
  EXPECT_EQ(fields.yMax, "1000.0");
}

TEST(ExportBitmap, NamesTheFileAfterTheLocalTime) {
  std::tm when{};
  when.tm_year = 2026 - 1900;
  when.tm_mon = 0;
  when.tm_mday = 2;
  when.tm_hour = 3;
  when.tm_min = 4;
  when.tm_sec = 5;
  EXPECT_EQ(exportBitmapPath("/data/pictures", when),
            std::filesystem::path("/data/pictures/IRP_20260102030405.bmp"));
}

}  // namespace
}  // namespace solvane::graphs
