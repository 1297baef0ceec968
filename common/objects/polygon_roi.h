// A closed polygon with vertices on pixel corners, measured by the analyzer's own walk of
// the pixels whose centres lie inside (even-odd rule).
#pragma once

#include "line_roi.h"
#include "object_roi.h"

namespace solvane {

class CPolygonROI : public CObjectROI {
 public:
  explicit CPolygonROI(std::vector<PixelPoint> vertices = {}) : vertices_(std::move(vertices)) {}

  // Fewer makes no area; more is not a shape anyone draws by hand, and the object file
  // that claims more is refused.
  static constexpr int32_t kMinVertices = 3;
  static constexpr int32_t kMaxVertices = 4096;

  RoiKind kind() const override { return RoiKind::Polygon; }
  std::unique_ptr<CObjectROI> clone() const override;
  HitResult hitTest(ImagePoint point, const ViewMapping& view) const override;
  void moveBy(int32_t dx, int32_t dy, const ImageBounds& bounds) override;
  // Handle i is vertex i.
  int resizeHandle(int handle, ImagePoint point, const ImageBounds& bounds) override;
  bool clampTo(const ImageBounds& bounds) override;
  std::vector<ImagePoint> handles() const override;
  // Each row's crossings are found once and the pixels between them taken as spans.
  void forEachSpan(const ImageBounds& bounds, const SpanSink& sink) const override;
  bool contains(int32_t x, int32_t y) const override;
  QString coordinateText() const override;

  const std::vector<PixelPoint>& vertices() const { return vertices_; }
  void setVertices(std::vector<PixelPoint> vertices) { vertices_ = std::move(vertices); }

  static constexpr double kHandleDevice = 8.0;
  static constexpr double kBorderDevice = 3.0;

 private:
  std::vector<PixelPoint> vertices_;
};

}  // namespace solvane
