// Where the picture sits in the view and which image pixel the mouse is over.
#pragma once

#include <cstdint>
#include <string>

namespace solvane {

// The column at the view's right edge kept for the colour scale.
inline constexpr int32_t kColourScaleWidth = 122;

struct PictureRect {
  int32_t x = 0, y = 0, width = 0, height = 0;
  float zoomX = 1, zoomY = 1;
};

// "ZOOM" 0 fits the picture into the area left of the colour scale (both factors apart);
// any other value scales both axes by it. A picture smaller than the area is centred in it;
// a larger one starts at the area's corner moved back by the scroll position (clamped to
// what the picture allows).
PictureRect layoutPicture(int32_t clientWidth, int32_t clientHeight, int32_t imageWidth,
                          int32_t imageHeight, float zoom, int32_t scrollX = 0,
                          int32_t scrollY = 0);

// The part of the view the picture may paint into, left of the colour scale and clear of the
// scroll bars, and how far the picture can be scrolled.
struct PictureArea {
  int32_t width = 0, height = 0;
  bool horizontalBar = false, verticalBar = false;
  int32_t maxScrollX = 0, maxScrollY = 0;
};
// `barExtent` is the thickness of a scroll bar; a bar takes its room only when the picture
// overflows that way (and one bar can make the other needed).
PictureArea pictureAreaOf(int32_t clientWidth, int32_t clientHeight, int32_t pictureWidth,
                          int32_t pictureHeight, int32_t barExtent);

struct ImagePixel {
  int32_t x = 0, y = 0;
};
// The image pixel under a point given relative to the picture's corner, clamped to the image.
ImagePixel imagePointOf(double pictureX, double pictureY, float zoomX, float zoomY,
                        int32_t imageWidth, int32_t imageHeight);

// "%04d/%02d/%02d %02d:%02d:%02d" of local time.
std::string timeStampText(int64_t secondsSinceEpoch);
// "Hot [%.1f%s%c]" and "Cold [%.1f%s%c]" with the degree sign and the unit letter.
std::string hotLabel(float value, int32_t unit);
std::string coldLabel(float value, int32_t unit);
// A Celsius value in the display unit.
float inUnit(float celsius, int32_t unit);

}  // namespace solvane
