#include "circle_roi.h"

#include "rect_roi.h"

#include <algorithm>
#include <cmath>

namespace solvane {

namespace {
// Unsigned: the products are squares and never negative, and unsigned 128-bit arithmetic
// needs no runtime support from the overflow checks of sanitizer builds.
using Wide = unsigned __int128;
Wide square(int64_t v) {
  const auto m = static_cast<uint64_t>(v < 0 ? -v : v);
  return Wide(m) * m;
}

int64_t floorDiv2(int64_t n) { return n >= 0 ? n / 2 : -((-n + 1) / 2); }
int64_t ceilDiv2(int64_t n) { return -floorDiv2(-n); }
}  // namespace

std::unique_ptr<CObjectROI> CCircleROI::clone() const {
  auto copy = std::make_unique<CCircleROI>(box_);
  copy->copySharedFrom(*this);
  return copy;
}

// With doubled coordinates the centre and the semi-axes are integers: for a pixel centre
// (x + 0.5, y + 0.5), u = 2x + 1 - (left + right) and v = 2y + 1 - (top + bottom); the
// pixel is inside when u^2 B^2 + v^2 A^2 <= A^2 B^2 with A, B the box width and height.
bool CCircleROI::contains(int32_t x, int32_t y) const {
  const int64_t a = box_.width(), b = box_.height();
  if (a <= 0 || b <= 0) return false;
  const int64_t u = 2 * int64_t{x} + 1 - (int64_t{box_.left} + box_.right);
  const int64_t v = 2 * int64_t{y} + 1 - (int64_t{box_.top} + box_.bottom);
  return square(u) * square(b) + square(v) * square(a) <= square(a) * square(b);
}

void CCircleROI::forEachSpan(const ImageBounds& bounds, const SpanSink& sink) const {
  const int64_t a = box_.width(), b = box_.height();
  if (a <= 0 || b <= 0) return;
  const int64_t sumX = int64_t{box_.left} + box_.right;
  const int64_t sumY = int64_t{box_.top} + box_.bottom;
  const int32_t yEnd = std::min(box_.bottom, bounds.height);
  for (int32_t y = std::max(box_.top, 0); y < yEnd; ++y) {
    const int64_t v = 2 * int64_t{y} + 1 - sumY;
    if (v * v > b * b) continue;
    // Largest |u| with u^2 B^2 <= A^2 (B^2 - v^2): estimated, then made exact.
    const Wide room = square(a) * Wide(static_cast<uint64_t>(b * b - v * v));
    auto fits = [&](int64_t u) { return square(u) * square(b) <= room; };
    int64_t umax = static_cast<int64_t>(std::sqrt(static_cast<double>(room)) / double(b));
    while (fits(umax + 1)) ++umax;
    while (umax > 0 && !fits(umax)) --umax;
    if (!fits(umax)) continue;
    // u = 2x + 1 - sumX  <=>  x = (u + sumX - 1) / 2
    const int64_t x0 = std::max<int64_t>(ceilDiv2(-umax + sumX - 1), std::max(box_.left, 0));
    const int64_t x1 =
        std::min<int64_t>(floorDiv2(umax + sumX - 1), std::min(box_.right, bounds.width) - 1);
    if (x0 <= x1) sink({y, static_cast<int32_t>(x0), static_cast<int32_t>(x1)});
  }
}

HitResult CCircleROI::hitTest(ImagePoint p, const ViewMapping& view) const {
  if (const int h = box_.handleAt(p, kHandleDevice, view); h >= 0) return {HitPart::Handle, h};
  const double zx = view.zoomX > 0 ? view.zoomX : 1.0, zy = view.zoomY > 0 ? view.zoomY : 1.0;
  const double cx = (box_.left + box_.right) / 2.0, cy = (box_.top + box_.bottom) / 2.0;
  const double ra = box_.width() / 2.0, rb = box_.height() / 2.0;
  if (ra <= 0 || rb <= 0) return {};
  const double nx = (p.x - cx) / ra, ny = (p.y - cy) / rb;
  const double r = std::sqrt(nx * nx + ny * ny);
  // Distance to the outline along the ray from the centre, in device pixels.
  const double radiusDevice =
      r > 0 ? std::hypot(nx / r * ra * zx, ny / r * rb * zy) : std::min(ra * zx, rb * zy);
  if (std::fabs(r - 1.0) * radiusDevice <= kBorderDevice) return {HitPart::Border, -1};
  if (r < 1.0) return {HitPart::Body, -1};
  return {};
}

QString CCircleROI::coordinateText() const { return boxCoordinateText(box_); }

}  // namespace solvane
