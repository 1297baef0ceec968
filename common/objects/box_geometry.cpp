#include "box_geometry.h"

#include "object_roi.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace solvane {

using roi_geometry::clampInt;

std::vector<ImagePoint> BoxGeometry::handles() const {
  const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
  return {{double(left), double(top)},     {cx, double(top)},
          {double(right), double(top)},    {double(right), cy},
          {double(right), double(bottom)}, {cx, double(bottom)},
          {double(left), double(bottom)},  {double(left), cy}};
}

int BoxGeometry::handleAt(ImagePoint p, double handleDevice, const ViewMapping& view) const {
  const auto all = handles();
  for (size_t i = 0; i < all.size(); ++i)
    if (roi_geometry::onHandle(p, all[i], handleDevice, view)) return static_cast<int>(i);
  return -1;
}

void BoxGeometry::moveBy(int32_t dx, int32_t dy, const ImageBounds& bounds) {
  const int64_t ddx = std::clamp<int64_t>(dx, -int64_t{left}, int64_t{bounds.width} - right);
  const int64_t ddy = std::clamp<int64_t>(dy, -int64_t{top}, int64_t{bounds.height} - bottom);
  left += static_cast<int32_t>(ddx);
  right += static_cast<int32_t>(ddx);
  top += static_cast<int32_t>(ddy);
  bottom += static_cast<int32_t>(ddy);
}

namespace {
int mirrorHorizontally(int handle) {
  switch (handle) {
    case kTopLeft: return kTopRight;
    case kTopRight: return kTopLeft;
    case kRight: return kLeft;
    case kLeft: return kRight;
    case kBottomRight: return kBottomLeft;
    case kBottomLeft: return kBottomRight;
    default: return handle;
  }
}
int mirrorVertically(int handle) {
  switch (handle) {
    case kTopLeft: return kBottomLeft;
    case kBottomLeft: return kTopLeft;
    case kTop: return kBottom;
    case kBottom: return kTop;
    case kTopRight: return kBottomRight;
    case kBottomRight: return kTopRight;
    default: return handle;
  }
}
}  // namespace

int BoxGeometry::resize(int handle, ImagePoint p, const ImageBounds& bounds) {
  const int32_t px = clampInt(std::llround(std::clamp(p.x, -1e9, 1e9)), 0, bounds.width);
  const int32_t py = clampInt(std::llround(std::clamp(p.y, -1e9, 1e9)), 0, bounds.height);
  switch (handle) {
    case kTopLeft: left = px, top = py; break;
    case kTop: top = py; break;
    case kTopRight: right = px, top = py; break;
    case kRight: right = px; break;
    case kBottomRight: right = px, bottom = py; break;
    case kBottom: bottom = py; break;
    case kBottomLeft: left = px, bottom = py; break;
    case kLeft: left = px; break;
    default: return handle;
  }
  if (left > right) {
    std::swap(left, right);
    handle = mirrorHorizontally(handle);
  }
  if (top > bottom) {
    std::swap(top, bottom);
    handle = mirrorVertically(handle);
  }
  clampTo(bounds);
  return handle;
}

bool BoxGeometry::clampTo(const ImageBounds& bounds) {
  const BoxGeometry before = *this;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  const int32_t w = std::max(bounds.width, 1), h = std::max(bounds.height, 1);
  left = clampInt(left, 0, w - 1);
  top = clampInt(top, 0, h - 1);
  right = clampInt(right, left + 1, w);
  bottom = clampInt(bottom, top + 1, h);
  return before.left != left || before.top != top || before.right != right ||
         before.bottom != bottom;
}

}  // namespace solvane
