// The rectangle that rectangles and ellipses are edited by: corners in image pixels, right
// and bottom exclusive, never empty and never outside the image.
#pragma once

#include "roi_types.h"

#include <vector>

namespace solvane {

struct BoxGeometry {
  int32_t left = 0, top = 0, right = 1, bottom = 1;

  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
  // The eight handles in BoxHandle order.
  std::vector<ImagePoint> handles() const;
  // The handle under `p`, or -1.
  int handleAt(ImagePoint p, double handleDevice, const ViewMapping& view) const;
  void moveBy(int32_t dx, int32_t dy, const ImageBounds& bounds);
  int resize(int handle, ImagePoint p, const ImageBounds& bounds);
  bool clampTo(const ImageBounds& bounds);
};

}  // namespace solvane
