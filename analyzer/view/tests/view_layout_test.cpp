#include "view/view_layout.h"

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
  for (float zoom : kZoomSteps) {
    const ImagePoint last =
        imagePointOf(640 * zoom - 0.01, 480 * zoom - 0.01, zoom, zoom, 640, 480);
    EXPECT_EQ(last.x, 639) << zoom;
    EXPECT_EQ(last.y, 479) << zoom;
    const ImagePoint beyond = imagePointOf(640 * zoom + 5, 480 * zoom + 5, zoom, zoom, 640, 480);
    EXPECT_EQ(beyond.x, 639);
    EXPECT_EQ(beyond.y, 479);
    const ImagePoint before = imagePointOf(-3, -3, zoom, zoom, 640, 480);
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

}  // namespace
}  // namespace solvane
