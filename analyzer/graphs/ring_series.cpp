#include "graphs/ring_series.h"

#include <algorithm>

namespace solvane::graphs {

RingSeries::RingSeries(size_t capacity) : points_(std::max<size_t>(capacity, 1)) {}

void RingSeries::push(PlotPoint point) {
  points_[head_] = point;
  head_ = (head_ + 1) % points_.size();
  size_ = std::min(size_ + 1, points_.size());
}

void RingSeries::clear() {
  head_ = 0;
  size_ = 0;
}

PlotPoint RingSeries::at(size_t index) const {
  const size_t oldest = (head_ + points_.size() - size_) % points_.size();
  return points_[(oldest + index) % points_.size()];
}

std::vector<PlotPoint> RingSeries::points() const {
  std::vector<PlotPoint> out;
  out.reserve(size_);
  for (size_t i = 0; i < size_; ++i) out.push_back(at(i));
  return out;
}

std::optional<Extent> RingSeries::valueExtent() const {
  if (size_ == 0) return std::nullopt;
  Extent extent{at(0).value, at(0).value};
  for (size_t i = 1; i < size_; ++i) {
    const double v = at(i).value;
    extent.low = std::min(extent.low, v);
    extent.high = std::max(extent.high, v);
  }
  return extent;
}

}  // namespace solvane::graphs
