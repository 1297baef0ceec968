// A spot: one pixel, measured by the library's point conversion.
#pragma once

#include "object_roi.h"

namespace solvane {

class CSpotROI : public CObjectROI {
 public:
  CSpotROI(int32_t x = 0, int32_t y = 0) : x_(x), y_(y) {}

  RoiKind kind() const override { return RoiKind::Spot; }
  std::unique_ptr<CObjectROI> clone() const override;
  HitResult hitTest(ImagePoint point, const ViewMapping& view) const override;
  void moveBy(int32_t dx, int32_t dy, const ImageBounds& bounds) override;
  int resizeHandle(int handle, ImagePoint point, const ImageBounds& bounds) override;
  bool clampTo(const ImageBounds& bounds) override;
  std::vector<ImagePoint> handles() const override { return {}; }
  void forEachSpan(const ImageBounds& bounds, const SpanSink& sink) const override;
  bool contains(int32_t x, int32_t y) const override { return x == x_ && y == y_; }
  QString coordinateText() const override;

  int32_t x() const { return x_; }
  int32_t y() const { return y_; }
  void setPosition(int32_t x, int32_t y) { x_ = x, y_ = y; }

  // The square of device pixels around the spot's pixel that picks it.
  static constexpr double kPickDevice = 10.0;

 private:
  int32_t x_, y_;
};

}  // namespace solvane
