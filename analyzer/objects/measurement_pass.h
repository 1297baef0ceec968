// The per-frame measurement of every object: spots and rectangles through the library's
// point and region statistics, ellipses, polygons and lines through the analyzer's own walk
// of their pixels. Runs on the render thread under the manager's object lock and publishes
// an immutable result that any thread may keep; nobody waits for the next one.
#pragma once

#include "count_temperatures.h"
#include "manager_roi.h"
#include "object_roi.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace solvane {

struct ObjectMeasurement {
  int32_t id = 0;
  RoiKind kind = RoiKind::Spot;
  QString name;
  RoiStatistics stats;  // stats.valid false when the object could not be measured
  int64_t pixelCount = 0;
  QString label;
};

struct MeasurementResult {
  uint64_t frameNumber = 0;
  TempUnit unit = TempUnit::Celsius;
  std::vector<ObjectMeasurement> objects;  // in list order
  const ObjectMeasurement* find(int32_t id) const;
};

// The statistics of an arbitrary set of pixels by the analyzer's walk: each pixel's count
// (the smoothed image for calibrated KS frames) looked up in `temperatures`; for
// temperature-coded KT frames (versions 17 to 31) a value outside the range's limits counts
// as the previous pixel's. Minimum and maximum take the last pixel on ties; the deviation
// is the square root of the mean squared deviation.
class PixelWalk {
 public:
  // False when the frame has no pixels to read.
  bool begin(const IRFrame& frame, uint16_t width, uint16_t height, const float* temperatures);
  void add(const PixelSpan& span);
  RoiStatistics finish(int64_t* pixelCount = nullptr);

 private:
  const uint16_t* counts_ = nullptr;
  const float* temperatures_ = nullptr;
  uint16_t width_ = 0;
  bool screen_ = false;  // temperature-coded: refuse values outside [low, high]
  float low_ = 0, high_ = 0;
  float previous_ = 0.0f;
  std::vector<float> values_;
  RoiStatistics stats_;
  double sum_ = 0;
};

class MeasurementPass {
 public:
  // Measures every object of `objects` on `frame` under the object lock, stores each
  // object's statistics in it and publishes the result.
  std::shared_ptr<const MeasurementResult> run(const MeasurementFrame& frame, CManagerROI& objects,
                                               TempUnit unit);
  // The last published result (null before the first pass).
  std::shared_ptr<const MeasurementResult> latest() const;
  // A new connection or file: cached conversions are dropped.
  void restart();

  // One object alone, without publishing (also the unit of the pass).
  RoiStatistics measure(const MeasurementFrame& frame, const CObjectROI& object,
                        int64_t* pixelCount = nullptr);

 private:
  CountTemperatures temperatures_;  // render thread only
  PixelWalk walk_;                  // render thread only
  mutable std::mutex publishLock_;  // guards latest_
  std::shared_ptr<const MeasurementResult> latest_;
};

// True when the frame record can be read at width x height.
bool frameReadable(const MeasurementFrame& frame);

}  // namespace solvane
