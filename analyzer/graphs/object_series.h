// The Chart View follows the measurement objects: one series per object id, added when an id
// first appears in a measurement pass and removed when it is gone from one. This keeps the
// bookkeeping of which ids the plot shows, apart from any widget.
#pragma once

#include "graphs/trend_plot.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace solvane::graphs {

// One object of one measurement pass, as the time plot needs it.
struct ChartObject {
  int32_t id = 0;
  std::string name;
  ObjectSample sample;
  bool valid = true;  // false: the object could not be measured this time (no point)
};

struct AddedSeries {
  int32_t id = 0;
  std::string name;
  uint32_t colour = 0;  // 0xRRGGBB
};

struct SeriesChanges {
  std::vector<int32_t> removed;
  std::vector<AddedSeries> added;  // in the order of the pass
};

// Distinct, readable on white; chosen by the order series appear.
uint32_t seriesColour(size_t appearance);

class ObjectSeriesFollower {
 public:
  // The ids of this pass against those shown: what to remove and what to add.
  SeriesChanges follow(std::span<const ChartObject> pass);
  const std::vector<int32_t>& shown() const { return shown_; }
  void reset() { shown_.clear(); }

 private:
  std::vector<int32_t> shown_;
  size_t appearances_ = 0;
};

// The points of a pass: every measured object's sample.
std::vector<ObjectSample> samplesOf(std::span<const ChartObject> pass);

}  // namespace solvane::graphs
