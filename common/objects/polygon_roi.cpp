#include "polygon_roi.h"

#include <algorithm>
#include <cmath>

namespace solvane {

using roi_geometry::clampInt;

namespace {
// Where edge (a, b) crosses the horizontal line through py, when it does. Both the span walk
// and the single-pixel test use this one expression, so they agree to the last bit.
bool crossing(const PixelPoint& a, const PixelPoint& b, double py, double& x) {
  if ((a.y > py) == (b.y > py)) return false;
  x = (double(b.x) - a.x) * (py - a.y) / (double(b.y) - a.y) + a.x;
  return true;
}
}  // namespace

std::unique_ptr<CObjectROI> CPolygonROI::clone() const {
  auto copy = std::make_unique<CPolygonROI>(vertices_);
  copy->copySharedFrom(*this);
  return copy;
}

bool CPolygonROI::contains(int32_t x, int32_t y) const {
  const double px = x + 0.5, py = y + 0.5;
  bool inside = false;
  const size_t n = vertices_.size();
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    double cx = 0;
    if (crossing(vertices_[i], vertices_[j], py, cx) && px < cx) inside = !inside;
  }
  return inside;
}

void CPolygonROI::forEachSpan(const ImageBounds& bounds, const SpanSink& sink) const {
  const size_t n = vertices_.size();
  if (n < 3) return;
  int32_t top = vertices_[0].y, bottom = vertices_[0].y;
  for (const auto& v : vertices_) top = std::min(top, v.y), bottom = std::max(bottom, v.y);
  std::vector<double> xs;
  xs.reserve(n);
  for (int32_t y = std::max(top, 0); y < std::min(bottom, bounds.height); ++y) {
    const double py = y + 0.5;
    xs.clear();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
      double cx = 0;
      if (crossing(vertices_[i], vertices_[j], py, cx)) xs.push_back(cx);
    }
    std::sort(xs.begin(), xs.end());
    // A pixel centre px is inside when an odd number of crossings lie right of it, that is
    // when xs[2k] <= px < xs[2k + 1] for some k.
    for (size_t k = 0; k + 1 < xs.size(); k += 2) {
      const double from = xs[k], to = xs[k + 1];
      if (!(from < to)) continue;
      int64_t x0 = static_cast<int64_t>(std::ceil(from - 0.5));
      while (double(x0 - 1) + 0.5 >= from) --x0;
      while (double(x0) + 0.5 < from) ++x0;
      int64_t x1 = static_cast<int64_t>(std::floor(to - 0.5));
      while (double(x1 + 1) + 0.5 < to) ++x1;
      while (double(x1) + 0.5 >= to) --x1;
      x0 = std::max<int64_t>(x0, 0);
      x1 = std::min<int64_t>(x1, bounds.width - 1);
      if (x0 <= x1) sink({y, static_cast<int32_t>(x0), static_cast<int32_t>(x1)});
    }
  }
}

std::vector<ImagePoint> CPolygonROI::handles() const {
  std::vector<ImagePoint> all;
  all.reserve(vertices_.size());
  for (const auto& v : vertices_) all.push_back({double(v.x), double(v.y)});
  return all;
}

HitResult CPolygonROI::hitTest(ImagePoint p, const ViewMapping& view) const {
  const auto all = handles();
  for (size_t i = 0; i < all.size(); ++i)
    if (roi_geometry::onHandle(p, all[i], kHandleDevice, view))
      return {HitPart::Handle, static_cast<int>(i)};
  for (size_t i = 0, j = all.size() - 1; i < all.size(); j = i++)
    if (roi_geometry::viewDistanceToSegment(p, all[j], all[i], view) <= kBorderDevice)
      return {HitPart::Border, -1};
  // The body test uses the point itself, not a pixel centre.
  bool inside = false;
  for (size_t i = 0, j = all.size() - 1; i < all.size(); j = i++) {
    const ImagePoint a = all[i], b = all[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
      inside = !inside;
  }
  return inside ? HitResult{HitPart::Body, -1} : HitResult{};
}

void CPolygonROI::moveBy(int32_t dx, int32_t dy, const ImageBounds& bounds) {
  if (vertices_.empty()) return;
  int64_t minX = vertices_[0].x, maxX = minX, minY = vertices_[0].y, maxY = minY;
  for (const auto& v : vertices_) {
    minX = std::min<int64_t>(minX, v.x), maxX = std::max<int64_t>(maxX, v.x);
    minY = std::min<int64_t>(minY, v.y), maxY = std::max<int64_t>(maxY, v.y);
  }
  const auto ddx = static_cast<int32_t>(std::clamp<int64_t>(dx, -minX, bounds.width - maxX));
  const auto ddy = static_cast<int32_t>(std::clamp<int64_t>(dy, -minY, bounds.height - maxY));
  for (auto& v : vertices_) v.x += ddx, v.y += ddy;
}

int CPolygonROI::resizeHandle(int handle, ImagePoint p, const ImageBounds& bounds) {
  if (handle < 0 || static_cast<size_t>(handle) >= vertices_.size()) return handle;
  vertices_[static_cast<size_t>(handle)] = {
      clampInt(std::llround(std::clamp(p.x, -1e9, 1e9)), 0, bounds.width),
      clampInt(std::llround(std::clamp(p.y, -1e9, 1e9)), 0, bounds.height)};
  return handle;
}

bool CPolygonROI::clampTo(const ImageBounds& bounds) {
  bool changed = false;
  for (auto& v : vertices_) {
    const PixelPoint c{clampInt(v.x, 0, bounds.width), clampInt(v.y, 0, bounds.height)};
    changed = changed || !(c == v);
    v = c;
  }
  return changed;
}

QString CPolygonROI::coordinateText() const {
  return QString::asprintf("[%3d]", static_cast<int>(vertices_.size()));
}

}  // namespace solvane
