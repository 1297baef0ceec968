#include "view/view_layout.h"

#include "view/display_choices.h"

#include <gtest/gtest.h>

namespace solvane {
namespace {

TEST(ViewLayout, ZoomScalesBothAxesAndCentresInTheAreaLeftOfTheScale) {
  const PictureRect rect = layoutPicture(1000, 600, 320, 240, 1.5f);
  EXPECT_EQ(rect.width, 480);
  EXPECT_EQ(rect.height, 360);
  EXPECT_EQ(rect.x, (1000 - kColourScaleWidth - 480) / 2);
  EXPECT_EQ(rect.y, 120);
}

TEST(ViewLayout, FitFillsTheAreaWithoutKeepingTheAspect) {
  const PictureRect rect = layoutPicture(762, 960, 640, 480, 0.0f);
  EXPECT_FLOAT_EQ(rect.zoomX, 1.0f);
  EXPECT_FLOAT_EQ(rect.zoomY, 2.0f);
  EXPECT_EQ(rect.x, 0);
  EXPECT_EQ(rect.y, 0);
  EXPECT_EQ(rect.width, 640);
  EXPECT_EQ(rect.height, 960);
}

TEST(ViewLayout, MouseAtTheFarEdgeOfAZoomedImageIsTheLastPixel) {
  for (const ZoomChoice& choice : kZooms) {
    const float zoom = choice.factor;
    if (zoom == 0.0f) continue;  // fit: no fixed factor
    const ImagePixel last =
        imagePointOf(640 * zoom - 0.01, 480 * zoom - 0.01, zoom, zoom, 640, 480);
    EXPECT_EQ(last.x, 639) << zoom;
    EXPECT_EQ(last.y, 479) << zoom;
    const ImagePixel beyond = imagePointOf(640 * zoom + 5, 480 * zoom + 5, zoom, zoom, 640, 480);
    EXPECT_EQ(beyond.x, 639);
    EXPECT_EQ(beyond.y, 479);
    const ImagePixel before = imagePointOf(-3, -3, zoom, zoom, 640, 480);
    EXPECT_EQ(before.x, 0);
    EXPECT_EQ(before.y, 0);
  }
  EXPECT_EQ(imagePointOf(3.0, 4.4, 1.5f, 1.5f, 640, 480).x, 2);
}

TEST(ViewLayout, LabelsCarryTheDegreeSignAndUnit) {
  EXPECT_EQ(hotLabel(80.04f, 0),
            "Hot [80.0\xC2\xB0"
            "C]");
  EXPECT_EQ(coldLabel(5.0f, 1),
            "Cold [5.0\xC2\xB0"
            "F]");
  EXPECT_NEAR(inUnit(100.0f, 1), 212.0f, 1e-3);
  EXPECT_NEAR(inUnit(0.0f, 2), 273.15f, 1e-3);
  EXPECT_EQ(timeStampText(0).size(), 19u);
}

struct ScrollCase {
  const char* name;
  int32_t scrollX, scrollY;
  int32_t x, y;  // where the picture's corner lands
};
void PrintTo(const ScrollCase& c, std::ostream* out) { *out << c.name; }
class ScrolledPicture : public testing::TestWithParam<ScrollCase> {};
// 640 x 480 at zoom 3x in a 1000 x 700 view: 1920 x 1440 in an area of 878 x 700.
TEST_P(ScrolledPicture, MovesBackByTheScrollWithinWhatThePictureAllows) {
  const PictureRect rect =
      layoutPicture(1000, 700, 640, 480, 3.0f, GetParam().scrollX, GetParam().scrollY);
  EXPECT_EQ(rect.x, GetParam().x);
  EXPECT_EQ(rect.y, GetParam().y);
}
INSTANTIATE_TEST_SUITE_P(
    Zoom3x, ScrolledPicture,
    testing::Values(
        ScrollCase{.name = "atTheStart", .scrollX = 0, .scrollY = 0, .x = 0, .y = 0},
        ScrollCase{.name = "partWay", .scrollX = 300, .scrollY = 200, .x = -300, .y = -200},
        ScrollCase{.name = "atTheEnd", .scrollX = 1042, .scrollY = 740, .x = -1042, .y = -740},
        ScrollCase{.name = "beyondTheEnd", .scrollX = 5000, .scrollY = 5000, .x = -1042, .y = -740},
        ScrollCase{.name = "negative", .scrollX = -9, .scrollY = -9, .x = 0, .y = 0}),
    [](const testing::TestParamInfo<ScrollCase>& info) { return std::string(info.param.name); });

TEST(PictureArea, KeepsClearOfTheColourScaleAndTheBarsItNeeds) {
  // 1280 x 960 picture in a 1000 x 700 view with 15-pixel bars: both bars.
  const PictureArea both = pictureAreaOf(1000, 700, 1280, 960, 15);
  EXPECT_TRUE(both.horizontalBar && both.verticalBar);
  EXPECT_EQ(both.width, 1000 - kColourScaleWidth - 15);
  EXPECT_EQ(both.height, 700 - 15);
  EXPECT_EQ(both.maxScrollX, 1280 - both.width);
  EXPECT_EQ(both.maxScrollY, 960 - both.height);
  // Only wider than the area, and not so tall that the sideways bar makes it overflow.
  const PictureArea wide = pictureAreaOf(1000, 700, 1280, 600, 15);
  EXPECT_TRUE(wide.horizontalBar);
  EXPECT_FALSE(wide.verticalBar);
  EXPECT_EQ(wide.width, 1000 - kColourScaleWidth);
  // One bar making the other needed: 690 fits 700 but not 700 - 15.
  const PictureArea pushed = pictureAreaOf(1000, 700, 1280, 690, 15);
  EXPECT_TRUE(pushed.horizontalBar && pushed.verticalBar);
  // A picture that fits needs no bar and cannot scroll.
  const PictureArea fits = pictureAreaOf(1000, 700, 640, 480, 15);
  EXPECT_FALSE(fits.horizontalBar || fits.verticalBar);
  EXPECT_EQ(fits.maxScrollX, 0);
}

}  // namespace
}  // namespace solvane
