// A rectangle, measured by the library's region statistics.
#pragma once

#include "box_geometry.h"
#include "object_roi.h"

namespace solvane {

class CRectROI : public CObjectROI {
 public:
  explicit CRectROI(const BoxGeometry& box = {}) : box_(box) {}

  RoiKind kind() const override { return RoiKind::Rect; }
  std::unique_ptr<CObjectROI> clone() const override;
  HitResult hitTest(ImagePoint point, const ViewMapping& view) const override;
  void moveBy(int32_t dx, int32_t dy, const ImageBounds& bounds) override {
    box_.moveBy(dx, dy, bounds);
  }
  int resizeHandle(int handle, ImagePoint point, const ImageBounds& bounds) override {
    return box_.resize(handle, point, bounds);
  }
  bool clampTo(const ImageBounds& bounds) override { return box_.clampTo(bounds); }
  std::vector<ImagePoint> handles() const override { return box_.handles(); }
  void forEachSpan(const ImageBounds& bounds, const SpanSink& sink) const override;
  bool contains(int32_t x, int32_t y) const override;
  QString coordinateText() const override;

  const BoxGeometry& box() const { return box_; }
  void setBox(const BoxGeometry& box) { box_ = box; }

  static constexpr double kHandleDevice = 6.0;
  static constexpr double kBorderDevice = 3.0;

 private:
  BoxGeometry box_;
};

// The coordinate text both box shapes show: "[left,top,right,bottom]".
QString boxCoordinateText(const BoxGeometry& box);

}  // namespace solvane
