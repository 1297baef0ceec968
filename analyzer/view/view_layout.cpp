#include "view/view_layout.h"

#include <irdex.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace solvane {

PictureRect layoutPicture(int32_t clientWidth, int32_t clientHeight, int32_t imageWidth,
                          int32_t imageHeight, float zoom, int32_t scrollX, int32_t scrollY) {
  PictureRect rect;
  if (imageWidth <= 0 || imageHeight <= 0) return rect;
  const int32_t areaWidth = std::max(0, clientWidth - kColourScaleWidth);
  if (zoom == 0.0f) {
    rect.zoomX = static_cast<float>(areaWidth) / imageWidth;
    rect.zoomY = static_cast<float>(std::max(0, clientHeight)) / imageHeight;
  } else {
    rect.zoomX = rect.zoomY = zoom;
  }
  rect.width = static_cast<int32_t>(imageWidth * rect.zoomX);
  rect.height = static_cast<int32_t>(imageHeight * rect.zoomY);
  auto place = [](int32_t area, int32_t size, int32_t scroll) {
    if (size <= area) return (area - size) / 2;
    return -std::clamp(scroll, 0, size - area);
  };
  rect.x = place(areaWidth, rect.width, scrollX);
  rect.y = place(std::max(0, clientHeight), rect.height, scrollY);
  return rect;
}

PictureArea pictureAreaOf(int32_t clientWidth, int32_t clientHeight, int32_t pictureWidth,
                          int32_t pictureHeight, int32_t barExtent) {
  PictureArea area;
  const int32_t fullWidth = std::max(0, clientWidth - kColourScaleWidth);
  const int32_t fullHeight = std::max(0, clientHeight);
  for (int pass = 0; pass < 2; ++pass) {
    area.width = std::max(0, fullWidth - (area.verticalBar ? barExtent : 0));
    area.height = std::max(0, fullHeight - (area.horizontalBar ? barExtent : 0));
    area.horizontalBar = pictureWidth > area.width;
    area.verticalBar = pictureHeight > area.height;
  }
  area.width = std::max(0, fullWidth - (area.verticalBar ? barExtent : 0));
  area.height = std::max(0, fullHeight - (area.horizontalBar ? barExtent : 0));
  area.maxScrollX = std::max(0, pictureWidth - area.width);
  area.maxScrollY = std::max(0, pictureHeight - area.height);
  return area;
}

ImagePixel imagePointOf(double pictureX, double pictureY, float zoomX, float zoomY,
                        int32_t imageWidth, int32_t imageHeight) {
  ImagePixel point;
  if (zoomX <= 0 || zoomY <= 0 || imageWidth <= 0 || imageHeight <= 0) return point;
  point.x = std::clamp(static_cast<int32_t>(std::floor(pictureX / zoomX)), 0, imageWidth - 1);
  point.y = std::clamp(static_cast<int32_t>(std::floor(pictureY / zoomY)), 0, imageHeight - 1);
  return point;
}

std::string timeStampText(int64_t secondsSinceEpoch) {
  const std::time_t when = static_cast<std::time_t>(secondsSinceEpoch);
  std::tm local{};
  localtime_r(&when, &local);
  char text[80];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

namespace {
char unitLetter(int32_t unit) { return unit == 1 ? 'F' : unit == 2 ? 'K' : 'C'; }
std::string label(const char* word, float value, int32_t unit) {
  char text[64];
  std::snprintf(text, sizeof text, "%s [%.1f\xC2\xB0%c]", word, static_cast<double>(value),
                unitLetter(unit));
  return text;
}
}  // namespace

std::string hotLabel(float value, int32_t unit) { return label("Hot", value, unit); }
std::string coldLabel(float value, int32_t unit) { return label("Cold", value, unit); }

float inUnit(float celsius, int32_t unit) {
  if (unit == 1) return ConvertCelsToFah(celsius);
  if (unit == 2) return ConvertCelToKel(celsius);
  return celsius;
}

}  // namespace solvane
