// Where the picture sits in the view and which image pixel the mouse is over.
#pragma once

#include <cstdint>
#include <string>

namespace solvane {

// The column at the view's right edge kept for the colour scale.
inline constexpr int32_t kColourScaleWidth = 122;
inline constexpr float kZoomSteps[] = {1.0f, 1.5f, 2.0f, 2.5f, 3.0f};

struct PictureRect {
  int32_t x = 0, y = 0, width = 0, height = 0;
  float zoomX = 1, zoomY = 1;
};

// "ZOOM" 0 fits the picture into the area left of the colour scale (both factors apart);
// any other value scales both axes by it. The picture is centred in the area.
PictureRect layoutPicture(int32_t clientWidth, int32_t clientHeight, int32_t imageWidth,
                          int32_t imageHeight, float zoom);

struct ImagePoint {
  int32_t x = 0, y = 0;
};
// The image pixel under a point given relative to the picture's corner, clamped to the image.
ImagePoint imagePointOf(double pictureX, double pictureY, float zoomX, float zoomY,
                        int32_t imageWidth, int32_t imageHeight);

// "%04d/%02d/%02d %02d:%02d:%02d" of local time.
std::string timeStampText(int64_t secondsSinceEpoch);
// "Hot [%.1f%s%c]" and "Cold [%.1f%s%c]" with the degree sign and the unit letter.
std::string hotLabel(float value, int32_t unit);
std::string coldLabel(float value, int32_t unit);
// A Celsius value in the display unit.
float inUnit(float celsius, int32_t unit);

}  // namespace solvane
