// The texts beside an object in each unit and edit state.
#include "circle_roi.h"
#include "line_roi.h"
#include "polygon_roi.h"
#include "rect_roi.h"
#include "roi_labels.h"
#include "spot_roi.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace solvane {
namespace {

struct LabelCase {
  const char* name;
  std::function<std::unique_ptr<CObjectROI>()> make;
  TempUnit unit;
  QString expected;
};
void PrintTo(const LabelCase& c, std::ostream* os) { *os << c.name; }

// Minimum 10, maximum 36.6, average 25.04 (Celsius).
RoiStatistics measured() { return {true, 10.0f, 36.6f, 25.04f, 1.0f, 1, 2, 3, 4}; }

std::unique_ptr<CObjectROI> named(std::unique_ptr<CObjectROI> object, const char* name,
                                  std::function<void(CObjectROI&)> adjust = {}) {
  object->setName(QString::fromUtf8(name));
  if (adjust) adjust(*object);
  return object;
}

const QString kDeg = QString::fromUtf8("\xC2\xB0");

class Labels : public ::testing::TestWithParam<LabelCase> {};

TEST_P(Labels, ReadAsTheUserSeesThem) {
  const auto object = GetParam().make();
  EXPECT_EQ(labelText(*object, measured(), GetParam().unit), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, Labels,
    ::testing::Values(
        LabelCase{"SpotCelsius", [] { return named(std::make_unique<CSpotROI>(3, 4), "Spot 1"); },
                  TempUnit::Celsius, "Spot 1 [25.0" + kDeg + "C]"},
        LabelCase{"SpotFahrenheit",
                  [] { return named(std::make_unique<CSpotROI>(3, 4), "Spot 1"); },
                  TempUnit::Fahrenheit, "Spot 1 [77.1" + kDeg + "F]"},
        LabelCase{"SpotKelvinWithoutName",
                  [] {
                    return named(std::make_unique<CSpotROI>(3, 4), "Spot 1",
                                 [](CObjectROI& o) { o.setShowLabel(false); });
                  },
                  TempUnit::Kelvin, "[298.2" + kDeg + "K]"},
        LabelCase{"RectHotAndCold",
                  [] {
                    return named(std::make_unique<CRectROI>(BoxGeometry{1, 2, 30, 40}), "Rect 2",
                                 [](CObjectROI& o) { o.setShowHot(true), o.setShowCold(true); });
                  },
                  TempUnit::Celsius, "Rect 2 [36.6" + kDeg + "C 10.0" + kDeg + "C]"},
        LabelCase{"EllipseHotAndColdFahrenheit",
                  [] {
                    return named(std::make_unique<CCircleROI>(BoxGeometry{1, 2, 30, 40}), "Circ 1",
                                 [](CObjectROI& o) { o.setShowHot(true), o.setShowCold(true); });
                  },
                  TempUnit::Fahrenheit, "Circ 1 [97.9" + kDeg + "F 50.0" + kDeg + "F]"},
        LabelCase{"RectOnlyHotShowsTheChosenStatistic",
                  [] {
                    return named(std::make_unique<CRectROI>(BoxGeometry{1, 2, 30, 40}), "Rect 2",
                                 [](CObjectROI& o) { o.setShowHot(true), o.setPlotFunction(1); });
                  },
                  TempUnit::Celsius, "Rect 2 [10.0" + kDeg + "C]"},
        LabelCase{"LineMaximumKelvin",
                  [] {
                    return named(std::make_unique<CLineROI>(PixelPoint{1, 2}, PixelPoint{5, 6}),
                                 "Line 1", [](CObjectROI& o) { o.setPlotFunction(2); });
                  },
                  TempUnit::Kelvin, "Line 1 [309.8" + kDeg + "K]"},
        LabelCase{"PolygonAverageWithoutName",
                  [] {
                    return named(std::make_unique<CPolygonROI>(
                                     std::vector<PixelPoint>{{1, 1}, {9, 1}, {5, 8}}),
                                 "Poly 1", [](CObjectROI& o) { o.setShowLabel(false); });
                  },
                  TempUnit::Celsius, "[25.0" + kDeg + "C]"},
        LabelCase{"SelectedSpotShowsCoordinates",
                  [] {
                    return named(std::make_unique<CSpotROI>(3, 45), "Spot 1",
                                 [](CObjectROI& o) { o.setEditState(EditState::Selected); });
                  },
                  TempUnit::Celsius, "Spot 1 [  3, 45]"},
        LabelCase{"RectBeingResizedShowsCoordinates",
                  [] {
                    return named(std::make_unique<CRectROI>(BoxGeometry{1, 2, 300, 40}), "Rect 3",
                                 [](CObjectROI& o) { o.setEditState(EditState::Tracking); });
                  },
                  TempUnit::Celsius, "Rect 3 [  1,  2,300, 40]"},
        LabelCase{"LineBeingCreatedWithoutName",
                  [] {
                    return named(std::make_unique<CLineROI>(PixelPoint{1, 2}, PixelPoint{50, 6}),
                                 "Line 1", [](CObjectROI& o) {
                                   o.setEditState(EditState::Creating);
                                   o.setShowLabel(false);
                                 });
                  },
                  TempUnit::Celsius, "[  1,  2] [ 50,  6]"},
        LabelCase{"SelectedPolygonShowsItsVertexCount",
                  [] {
                    return named(std::make_unique<CPolygonROI>(
                                     std::vector<PixelPoint>{{1, 1}, {9, 1}, {9, 9}, {5, 8}}),
                                 "Poly 1",
                                 [](CObjectROI& o) { o.setEditState(EditState::Selected); });
                  },
                  TempUnit::Celsius, "Poly 1 [  4]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LabelFallback, WithoutAMeasurementTheCoordinatesStand) {
  CSpotROI spot(7, 8);
  spot.setName("Spot 4");
  EXPECT_EQ(labelText(spot, RoiStatistics{}, TempUnit::Celsius), "Spot 4 [  7,  8]");
}

}  // namespace
}  // namespace solvane
