#include "line_roi.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace solvane {

using roi_geometry::clampInt;

CLineROI::CLineROI(PixelPoint start, PixelPoint end) : start_(start), end_(end) { resample(); }

std::unique_ptr<CObjectROI> CLineROI::clone() const {
  auto copy = std::make_unique<CLineROI>(start_, end_);
  copy->copySharedFrom(*this);
  return copy;
}

void CLineROI::setEnds(PixelPoint start, PixelPoint end) {
  start_ = start;
  end_ = end;
  resample();
}

void CLineROI::resample() {
  samples_.clear();
  int64_t x = start_.x, y = start_.y;
  const int64_t dx = std::llabs(int64_t{end_.x} - x), dy = -std::llabs(int64_t{end_.y} - y);
  const int64_t sx = x < end_.x ? 1 : -1, sy = y < end_.y ? 1 : -1;
  int64_t err = dx + dy;
  samples_.reserve(static_cast<size_t>(std::max(dx, -dy) + 1));
  while (true) {
    samples_.push_back({static_cast<int32_t>(x), static_cast<int32_t>(y)});
    if (x == end_.x && y == end_.y) break;
    const int64_t e2 = 2 * err;
    if (e2 >= dy) err += dy, x += sx;
    if (e2 <= dx) err += dx, y += sy;
  }
  rowOrder_ = samples_;
  std::sort(rowOrder_.begin(), rowOrder_.end(), [](const PixelPoint& a, const PixelPoint& b) {
    return a.y != b.y ? a.y < b.y : a.x < b.x;
  });
}

// The walk goes row by row like every other area, so ties and carried-over values fall the
// same way as for a rectangle; neighbouring pixels of one row form one span.
void CLineROI::forEachSpan(const ImageBounds& bounds, const SpanSink& sink) const {
  size_t i = 0;
  while (i < rowOrder_.size()) {
    size_t j = i;
    while (j + 1 < rowOrder_.size() && rowOrder_[j + 1].y == rowOrder_[i].y &&
           rowOrder_[j + 1].x == rowOrder_[j].x + 1)
      ++j;
    const PixelSpan span{rowOrder_[i].y, std::max(rowOrder_[i].x, 0),
                         std::min(rowOrder_[j].x, bounds.width - 1)};
    if (span.y >= 0 && span.y < bounds.height && span.x0 <= span.x1) sink(span);
    i = j + 1;
  }
}

bool CLineROI::contains(int32_t x, int32_t y) const {
  return std::binary_search(
      rowOrder_.begin(), rowOrder_.end(), PixelPoint{x, y},
      [](const PixelPoint& a, const PixelPoint& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
}

std::vector<ImagePoint> CLineROI::handles() const {
  return {{start_.x + 0.5, start_.y + 0.5}, {end_.x + 0.5, end_.y + 0.5}};
}

HitResult CLineROI::hitTest(ImagePoint p, const ViewMapping& view) const {
  const auto ends = handles();
  for (int i = 0; i < 2; ++i)
    if (roi_geometry::onHandle(p, ends[i], kHandleDevice, view)) return {HitPart::Handle, i};
  // A line has no inside: touching it anywhere takes the whole line.
  if (roi_geometry::viewDistanceToSegment(p, ends[0], ends[1], view) <= kBorderDevice)
    return {HitPart::Body, -1};
  return {};
}

void CLineROI::moveBy(int32_t dx, int32_t dy, const ImageBounds& bounds) {
  const int64_t minX = std::min(start_.x, end_.x), maxX = std::max(start_.x, end_.x);
  const int64_t minY = std::min(start_.y, end_.y), maxY = std::max(start_.y, end_.y);
  const auto ddx = static_cast<int32_t>(std::clamp<int64_t>(dx, -minX, bounds.width - 1 - maxX));
  const auto ddy = static_cast<int32_t>(std::clamp<int64_t>(dy, -minY, bounds.height - 1 - maxY));
  setEnds({start_.x + ddx, start_.y + ddy}, {end_.x + ddx, end_.y + ddy});
}

int CLineROI::resizeHandle(int handle, ImagePoint p, const ImageBounds& bounds) {
  const PixelPoint to{
      clampInt(static_cast<int64_t>(std::floor(std::clamp(p.x, -1e9, 1e9))), 0, bounds.width - 1),
      clampInt(static_cast<int64_t>(std::floor(std::clamp(p.y, -1e9, 1e9))), 0, bounds.height - 1)};
  if (handle == 0) setEnds(to, end_);
  if (handle == 1) setEnds(start_, to);
  return handle;
}

bool CLineROI::clampTo(const ImageBounds& bounds) {
  auto clampPoint = [&](PixelPoint p) {
    return PixelPoint{clampInt(p.x, 0, bounds.width - 1), clampInt(p.y, 0, bounds.height - 1)};
  };
  const PixelPoint s = clampPoint(start_), e = clampPoint(end_);
  const bool changed = !(s == start_) || !(e == end_);
  if (changed) setEnds(s, e);
  return changed;
}

QString CLineROI::coordinateText() const {
  return QString::asprintf("[%3d,%3d] [%3d,%3d]", start_.x, start_.y, end_.x, end_.y);
}

}  // namespace solvane
