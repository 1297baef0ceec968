#include "measurement_pass.h"

#include "rect_roi.h"
#include "roi_labels.h"
#include "spot_roi.h"

#include <algorithm>
#include <cmath>

namespace solvane {

const ObjectMeasurement* MeasurementResult::find(int32_t id) const {
  for (const auto& o : objects)
    if (o.id == id) return &o;
  return nullptr;
}

bool frameReadable(const MeasurementFrame& in) {
  if (!in.frame || in.width == 0 || in.height == 0) return false;
  const uint64_t pixels = uint64_t{in.width} * in.height;
  if (!in.frame->pixels || in.frame->pixelCapacity < pixels) return false;
  const uint8_t version = IRFrameVersion(in.frame);
  if (version >= 33 && (!in.frame->ksCalib || !in.frame->ksSmoothed)) return false;
  if (version < 32 && !in.table) return false;
  return true;
}

bool PixelWalk::begin(const IRFrame& frame, uint16_t width, uint16_t, const float* temperatures) {
  const uint8_t version = IRFrameVersion(&frame);
  // Calibrated KS conversions read the 3 x 3 mean image, which holds unsigned means.
  counts_ = version >= 33 ? reinterpret_cast<const uint16_t*>(frame.ksSmoothed) : frame.pixels;
  temperatures_ = temperatures;
  width_ = width;
  screen_ = version >= 17 && version <= 31;
  const bool high = IRFrameRangeIndex(&frame) == 1;
  low_ = high ? 0.0f : -30.0f;
  high_ = high ? 650.0f : 130.0f;
  previous_ = 0.0f;
  values_.clear();
  stats_ = RoiStatistics{};
  stats_.minTemp = 10000.0f;
  stats_.maxTemp = -10000.0f;
  sum_ = 0;
  return counts_ && temperatures_;
}

void PixelWalk::add(const PixelSpan& span) {
  const uint16_t* row = counts_ + static_cast<size_t>(span.y) * width_;
  for (int32_t x = span.x0; x <= span.x1; ++x) {
    float g = temperatures_[row[x]];
    if (screen_) {
      if (g >= low_ && g <= high_)
        previous_ = g;
      else
        g = previous_;
    }
    if (g <= stats_.minTemp) stats_.minTemp = g, stats_.minX = x, stats_.minY = span.y;
    if (g >= stats_.maxTemp) stats_.maxTemp = g, stats_.maxX = x, stats_.maxY = span.y;
    sum_ += g;
    values_.push_back(g);
  }
}

RoiStatistics PixelWalk::finish(int64_t* pixelCount) {
  const auto count = static_cast<int64_t>(values_.size());
  if (pixelCount) *pixelCount = count;
  if (count == 0) return RoiStatistics{};
  stats_.avgTemp = static_cast<float>(sum_ / static_cast<double>(count));
  double squares = 0;
  for (const float g : values_) {
    const double d = double(g) - double(stats_.avgTemp);
    squares += d * d;
  }
  stats_.stdDev = static_cast<float>(std::sqrt(squares / static_cast<double>(count)));
  stats_.valid = true;
  return stats_;
}

RoiStatistics MeasurementPass::measure(const MeasurementFrame& in, const CObjectROI& object,
                                       int64_t* pixelCount) {
  if (pixelCount) *pixelCount = 0;
  if (!frameReadable(in)) return {};
  const IRFrame* frame = in.frame;
  const bool ks = IRFrameVersion(frame) >= 32;
  const uint32_t size = IrdexImageSize(in.width, in.height);
  const ImageBounds bounds{in.width, in.height};
  const EnvParams chosen = object.environmentFor(in.env);
  // Parameters that are the defaults in their integer hundredths are the defaults.
  const EnvParams env = environmentChanged(chosen) ? chosen : kDefaultEnvironment;

  RoiStatistics stats;
  switch (object.kind()) {
    case RoiKind::Spot: {
      const auto& spot = static_cast<const CSpotROI&>(object);
      if (spot.x() < 0 || spot.y() < 0 || spot.x() >= in.width || spot.y() >= in.height) return {};
      const float t = ks ? GetPointTempKS(frame, size, env, spot.x(), spot.y())
                         : GetPointTemp(frame, size, in.table, env, spot.x(), spot.y());
      if (t == -1000.0f || !std::isfinite(t)) return {};
      stats = {true, t, t, t, 0.0f, spot.x(), spot.y(), spot.x(), spot.y()};
      if (pixelCount) *pixelCount = 1;
      return stats;
    }
    case RoiKind::Rect: {
      const BoxGeometry& box = static_cast<const CRectROI&>(object).box();
      // The library does not clip below version 33: the region is cut to the frame here.
      const RoiRect region{std::clamp<int32_t>(box.left, 0, in.width),
                           std::clamp<int32_t>(box.top, 0, in.height),
                           std::clamp<int32_t>(box.right, 0, in.width),
                           std::clamp<int32_t>(box.bottom, 0, in.height)};
      if (region.right <= region.left || region.bottom <= region.top) return {};
      RoiTempStats out{};
      int32_t minPos[2] = {region.left, region.top}, maxPos[2] = {region.left, region.top};
      const SdkStatus status =
          ks ? GetROITempKS(frame, size, env, region, &out, minPos, maxPos)
             : GetROITemp(frame, size, in.table, env, region, &out, minPos, maxPos);
      if (status != 1) return {};
      stats = {true,      out.minTemp, out.maxTemp, out.avgTemp, out.stdDev,
               minPos[0], minPos[1],   maxPos[0],   maxPos[1]};
      if (pixelCount)
        *pixelCount = int64_t{region.right - region.left} * (region.bottom - region.top);
      return stats;
    }
    default: break;
  }
  const float* temperatures = temperatures_.lookup(in, env);
  if (!temperatures || !walk_.begin(*frame, in.width, in.height, temperatures)) return {};
  object.forEachSpan(bounds, [this](const PixelSpan& span) { walk_.add(span); });
  return walk_.finish(pixelCount);
}

std::shared_ptr<const MeasurementResult> MeasurementPass::run(const MeasurementFrame& frame,
                                                              CManagerROI& manager, TempUnit unit) {
  auto result = std::make_shared<MeasurementResult>();
  result->frameNumber = frame.frameNumber;
  result->unit = unit;
  manager.withObjects([&](std::vector<std::unique_ptr<CObjectROI>>& objects) {
    result->objects.reserve(objects.size());
    for (auto& object : objects) {
      ObjectMeasurement m;
      m.id = object->id();
      m.kind = object->kind();
      m.name = object->name();
      m.stats = measure(frame, *object, &m.pixelCount);
      object->setStatistics(m.stats);
      m.label = labelText(*object, m.stats, unit);
      result->objects.push_back(std::move(m));
    }
  });
  std::shared_ptr<const MeasurementResult> published = std::move(result);
  {
    std::lock_guard lock(publishLock_);
    latest_ = published;
  }
  return published;
}

std::shared_ptr<const MeasurementResult> MeasurementPass::latest() const {
  std::lock_guard lock(publishLock_);
  return latest_;
}

void MeasurementPass::restart() { temperatures_.clear(); }

}  // namespace solvane
