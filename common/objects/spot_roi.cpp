#include "spot_roi.h"

#include <algorithm>
#include <cmath>

namespace solvane {

using roi_geometry::clampInt;

std::unique_ptr<CObjectROI> CSpotROI::clone() const {
  auto copy = std::make_unique<CSpotROI>(x_, y_);
  copy->copySharedFrom(*this);
  return copy;
}

HitResult CSpotROI::hitTest(ImagePoint point, const ViewMapping& view) const {
  const ImagePoint centre{x_ + 0.5, y_ + 0.5};
  if (roi_geometry::onHandle(point, centre, kPickDevice, view)) return {HitPart::Body, -1};
  return {};
}

void CSpotROI::moveBy(int32_t dx, int32_t dy, const ImageBounds& bounds) {
  x_ = clampInt(int64_t{x_} + dx, 0, bounds.width - 1);
  y_ = clampInt(int64_t{y_} + dy, 0, bounds.height - 1);
}

int CSpotROI::resizeHandle(int handle, ImagePoint point, const ImageBounds& bounds) {
  // A spot has no size: dragging it anywhere places it there.
  x_ = clampInt(static_cast<int64_t>(std::floor(std::clamp(point.x, -1e9, 1e9))), 0,
                bounds.width - 1);
  y_ = clampInt(static_cast<int64_t>(std::floor(std::clamp(point.y, -1e9, 1e9))), 0,
                bounds.height - 1);
  return handle;
}

bool CSpotROI::clampTo(const ImageBounds& bounds) {
  const int32_t x = clampInt(x_, 0, bounds.width - 1), y = clampInt(y_, 0, bounds.height - 1);
  const bool changed = x != x_ || y != y_;
  x_ = x, y_ = y;
  return changed;
}

void CSpotROI::forEachSpan(const ImageBounds& bounds, const SpanSink& sink) const {
  if (x_ >= 0 && y_ >= 0 && x_ < bounds.width && y_ < bounds.height) sink({y_, x_, x_});
}

QString CSpotROI::coordinateText() const { return QString::asprintf("[%3d,%3d]", x_, y_); }

}  // namespace solvane
