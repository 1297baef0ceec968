#include "graphs/object_series.h"

#include <algorithm>
#include <array>

namespace solvane::graphs {

uint32_t seriesColour(size_t appearance) {
  static constexpr std::array<uint32_t, 8> kColours = {0x1F77B4, 0xD62728, 0x2CA02C, 0xFF7F0E,
                                                       0x9467BD, 0x8C564B, 0xE377C2, 0x17BECF};
  return kColours[appearance % kColours.size()];
}

SeriesChanges ObjectSeriesFollower::follow(std::span<const ChartObject> pass) {
  SeriesChanges changes;
  auto inPass = [&pass](int32_t id) {
    return std::any_of(pass.begin(), pass.end(), [id](const ChartObject& o) { return o.id == id; });
  };
  for (int32_t id : shown_)
    if (!inPass(id)) changes.removed.push_back(id);
  std::erase_if(shown_, [&inPass](int32_t id) { return !inPass(id); });
  for (const ChartObject& object : pass) {
    if (std::find(shown_.begin(), shown_.end(), object.id) != shown_.end()) continue;
    shown_.push_back(object.id);
    changes.added.push_back(AddedSeries{object.id, object.name, seriesColour(appearances_++)});
  }
  return changes;
}

std::vector<ObjectSample> samplesOf(std::span<const ChartObject> pass) {
  std::vector<ObjectSample> samples;
  samples.reserve(pass.size());
  for (const ChartObject& object : pass)
    if (object.valid) samples.push_back(object.sample);
  return samples;
}

}  // namespace solvane::graphs
