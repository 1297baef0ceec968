// A line between two pixels, measured by the analyzer's own walk of the pixels on it.
#pragma once

#include "object_roi.h"

namespace solvane {

struct PixelPoint {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const PixelPoint&) const = default;
};

class CLineROI : public CObjectROI {
 public:
  CLineROI(PixelPoint start = {}, PixelPoint end = {});

  RoiKind kind() const override { return RoiKind::Line; }
  std::unique_ptr<CObjectROI> clone() const override;
  HitResult hitTest(ImagePoint point, const ViewMapping& view) const override;
  void moveBy(int32_t dx, int32_t dy, const ImageBounds& bounds) override;
  // Handle 0 is the start, 1 the end.
  int resizeHandle(int handle, ImagePoint point, const ImageBounds& bounds) override;
  bool clampTo(const ImageBounds& bounds) override;
  std::vector<ImagePoint> handles() const override;
  void forEachSpan(const ImageBounds& bounds, const SpanSink& sink) const override;
  bool contains(int32_t x, int32_t y) const override;
  QString coordinateText() const override;

  PixelPoint start() const { return start_; }
  PixelPoint end() const { return end_; }
  void setEnds(PixelPoint start, PixelPoint end);
  // The pixels on the line from start to end (Bresenham), each once.
  const std::vector<PixelPoint>& samples() const { return samples_; }

  static constexpr double kHandleDevice = 10.0;
  static constexpr double kBorderDevice = 3.0;

 private:
  void resample();

  PixelPoint start_, end_;
  std::vector<PixelPoint> samples_;
  std::vector<PixelPoint> rowOrder_;  // samples sorted by row, then column
};

}  // namespace solvane
