#include "rect_roi.h"

#include <algorithm>

namespace solvane {

std::unique_ptr<CObjectROI> CRectROI::clone() const {
  auto copy = std::make_unique<CRectROI>(box_);
  copy->copySharedFrom(*this);
  return copy;
}

HitResult CRectROI::hitTest(ImagePoint p, const ViewMapping& view) const {
  if (const int h = box_.handleAt(p, kHandleDevice, view); h >= 0) return {HitPart::Handle, h};
  const auto corners = box_.handles();
  for (int i = 0; i < 8; i += 2) {
    const ImagePoint a = corners[i], b = corners[(i + 2) % 8];
    if (roi_geometry::viewDistanceToSegment(p, a, b, view) <= kBorderDevice)
      return {HitPart::Border, -1};
  }
  if (p.x >= box_.left && p.x < box_.right && p.y >= box_.top && p.y < box_.bottom)
    return {HitPart::Body, -1};
  return {};
}

void CRectROI::forEachSpan(const ImageBounds& bounds, const SpanSink& sink) const {
  const int32_t x0 = std::max(box_.left, 0), x1 = std::min(box_.right, bounds.width) - 1;
  if (x1 < x0) return;
  for (int32_t y = std::max(box_.top, 0); y < std::min(box_.bottom, bounds.height); ++y)
    sink({y, x0, x1});
}

bool CRectROI::contains(int32_t x, int32_t y) const {
  return x >= box_.left && x < box_.right && y >= box_.top && y < box_.bottom;
}

QString boxCoordinateText(const BoxGeometry& box) {
  return QString::asprintf("[%3d,%3d,%3d,%3d]", box.left, box.top, box.right, box.bottom);
}

QString CRectROI::coordinateText() const { return boxCoordinateText(box_); }

}  // namespace solvane
