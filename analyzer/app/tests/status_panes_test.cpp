#include "app/status_panes.h"

#include <gtest/gtest.h>

namespace solvane {
namespace {

TEST(StatusPanes, TextsOfThePanes) {
  EXPECT_EQ(frameRateText(29.96), "Frame rate : 30.0 Hz");
  EXPECT_EQ(modelText(0), "RO320 ( 320 * 240 )");
  EXPECT_EQ(modelText(4), "VI640 ( 640 * 480 )");
  EXPECT_EQ(modelText(5), "");
  EXPECT_EQ(modelText(-1), "");
  EXPECT_EQ(fileSizeText(640, 480), "( 640 * 480 * 8b )");
  EXPECT_EQ(mousePositionText(319, 0), "X:319, Y:0");
  EXPECT_EQ(intensityText(255), "Intensity : 255");
  EXPECT_EQ(temperatureText(21.234, 0),
            "Temperature : 21.23\xC2\xB0"
            "C");
  EXPECT_EQ(temperatureText(-3.5, 1),
            "Temperature : -3.50\xC2\xB0"
            "F");
  EXPECT_EQ(temperatureText(300.0, 2),
            "Temperature : 300.00\xC2\xB0"
            "K");
}

TEST(StatusPanes, PullErrorsUseTheSharedTexts) {
  EXPECT_EQ(pullErrorText(-10), "ERROR : CONNECT CAMERA");
  EXPECT_EQ(pullErrorText(-100), "ERROR : RECEIVE NAK");
  EXPECT_EQ(pullErrorText(-77), "ERROR : UNKNOWN -77");
}

}  // namespace
}  // namespace solvane
