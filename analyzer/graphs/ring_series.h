// A time series of fixed capacity: once full, every new point replaces the oldest, so a plot fed
// for a day holds the same memory as one fed for a minute.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace solvane::graphs {

struct PlotPoint {
  double seconds;
  double value;
};

struct Extent {
  double low;
  double high;
};

class RingSeries {
 public:
  explicit RingSeries(size_t capacity);

  void push(PlotPoint point);
  void clear();
  size_t size() const { return size_; }
  size_t capacity() const { return points_.size(); }
  bool empty() const { return size_ == 0; }
  // Oldest first.
  PlotPoint at(size_t index) const;
  PlotPoint newest() const { return at(size_ - 1); }
  std::vector<PlotPoint> points() const;
  std::optional<Extent> valueExtent() const;

 private:
  std::vector<PlotPoint> points_;
  size_t head_ = 0;  // where the next point goes
  size_t size_ = 0;
};

}  // namespace solvane::graphs
