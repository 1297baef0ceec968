#include "imaging/render_frame.h"

#include <algorithm>
#include <optional>
#include <span>

#include "imaging/corrected.h"
#include "imaging/render.h"
#include "imaging/render_scales.h"
#include "temperature/ks_calibration.h"

namespace irdex::imaging {
namespace {

constexpr uint8_t kLastFirstGeneration = 16;
constexpr uint8_t kLastTemperatureCode = 31;
constexpr uint8_t kBuiltInVersion = 32;
constexpr uint8_t kKtModel = 1;

// The pixels a render reads: the count given, never more than the frame says it holds.
std::span<const uint16_t> framePixels(const IRFrame& frame, int32_t pixelCount) {
  uint32_t count = pixelCount > 0 ? static_cast<uint32_t>(pixelCount) : 0u;
  if (frame.pixelCapacity != 0) count = std::min(count, frame.pixelCapacity);
  return {frame.pixels, count};
}

// Versions 0 to 32: the window and the grey levels from the frame's own counts, or from
// their corrected counts when `correction` is given.
void renderCounts(const IRFrame& frame, const RenderCall& call, const CountScale& scale,
                  bool allowCoreWindow, const CorrectedCounts* correction) {
  RenderScratch& scratch = renderScratch();
  RenderJob job;
  job.pixels = framePixels(frame, call.pixelCount);
  const CountHistogram pixels = buildHistogram(scratch.pixelBins, job.pixels);
  job.pixelHistogram = &pixels;
  job.windowHistogram = &pixels;
  job.allowCoreWindow = allowCoreWindow;
  CountHistogram corrected;
  if (correction && !pixels.empty()) {
    correction->fill(scratch.countMap, pixels.lowest, pixels.highest);
    job.countMap = scratch.countMap;
    if (call.agc->manual == 0) {
      corrected = remapHistogram(scratch.windowBins, pixels, scratch.countMap);
      job.windowHistogram = &corrected;
    }
  }
  renderGrey(call.out, job, scale, *call.agc, *call.level, *call.span);
}

// Version 33 and above: the window from the slot's 3 x 3 mean image, the grey levels from
// the raw pixels.
SdkStatus renderCalibrated(const IRFrame& frame, const RenderCall& call, bool allowCoreWindow,
                           const LevelTransform* transform) {
  const KSCameraData* slot = ks::slotOf(frame);
  if (slot == nullptr) return SDK_ERR_MISSING_VALUE;  // no slot was free for this frame
  const int rangeIndex = IRFrameRangeIndex(&frame);
  const ks::KSRangeCal* range = ks::calibratedRange(*slot, rangeIndex);
  if (range == nullptr) return SDK_ERR_MISSING_VALUE;  // the camera calibrated no such range
  const CalibratedScale scale(*slot, *range, rangeIndex);

  RenderScratch& scratch = renderScratch();
  RenderJob job;
  job.pixels = framePixels(frame, call.pixelCount);
  const CountHistogram pixels = buildHistogram(scratch.pixelBins, job.pixels);
  job.pixelHistogram = &pixels;
  job.allowCoreWindow = allowCoreWindow;
  job.transform = transform;
  CountHistogram smoothed;
  if (call.agc->manual == 0) {
    // The mean image lives in the slot's buffer, which ends at the largest KS frame.
    const size_t count = std::min<size_t>(job.pixels.size(), ks::kReceiveBufferPixels);
    smoothed = buildHistogram(scratch.windowBins, {ks::smoothedCounts(*slot), count});
    job.windowHistogram = &smoothed;
  }
  renderGrey(call.out, job, scale, *call.agc, *call.level, *call.span);
  return SDK_SUCCESS;
}

// Versions 0 to 32 of the plain and corrected renderings.
void renderOlderGeneration(const IRFrame& frame, const RenderCall& call, bool allowCoreWindow,
                           const CorrectedCounts* correction) {
  const uint8_t version = IRFrameVersion(&frame);
  if (version <= kLastFirstGeneration) {
    renderCounts(frame, call, TableScale(call.table), allowCoreWindow, correction);
  } else if (version <= kLastTemperatureCode) {
    renderCounts(frame, call, TemperatureCodeScale(IRFrameRangeIndex(&frame)), allowCoreWindow,
                 correction);
  } else {
    renderCounts(frame, call, BuiltInScale(IRFrameRangeIndex(&frame)), allowCoreWindow, nullptr);
  }
}

}  // namespace

SdkStatus checkRenderCall(const IRFrame* frame, const RenderCall& call, bool corrected) {
  if (call.out == nullptr || frame == nullptr || frame->pixels == nullptr) return SDK_ERR_BUFFER;
  if (call.level == nullptr || call.span == nullptr || call.agc == nullptr) return SDK_ERR_BUFFER;
  // The table gives the temperatures of versions 0 to 16, and the corrected renderings of
  // versions up to 31 find the reflected count in it unless the camera is a KT one.
  const uint8_t version = IRFrameVersion(frame);
  const bool readsTable =
      version <= kLastFirstGeneration ||
      (corrected && version <= kLastTemperatureCode && IRFrameModel(frame) != kKtModel);
  if (readsTable && call.table == nullptr) return SDK_ERR_BUFFER;
  return SDK_SUCCESS;
}

SdkStatus renderImage(const IRFrame& frame, const RenderCall& call) {
  if (IRFrameVersion(&frame) > kBuiltInVersion)
    return renderCalibrated(frame, call, false, nullptr);
  renderOlderGeneration(frame, call, false, nullptr);
  return SDK_SUCCESS;
}

SdkStatus renderImageKS(const IRFrame& frame, const RenderCall& call) {
  if (IRFrameVersion(&frame) < kBuiltInVersion) return SDK_ERR_INVALID_HANDLE;
  return renderImage(frame, call);
}

SdkStatus renderCorrectedImage(const IRFrame& frame, const RenderCall& call) {
  if (IRFrameVersion(&frame) >= kBuiltInVersion) return renderCorrectedImageKS(frame, call);
  const CorrectedCounts correction(frame, call.params, call.table);
  renderOlderGeneration(frame, call, true, &correction);
  return SDK_SUCCESS;
}

SdkStatus renderCorrectedImageKS(const IRFrame& frame, const RenderCall& call) {
  const uint8_t version = IRFrameVersion(&frame);
  if (version < kBuiltInVersion) return SDK_ERR_INVALID_HANDLE;
  if (version == kBuiltInVersion) {
    // Version 32 counts carry no correction here: the parameters are not used.
    renderOlderGeneration(frame, call, true, nullptr);
    return SDK_SUCCESS;
  }
  std::optional<RadianceLevels> levels;
  if (!temperature::isDefaultParams(call.params)) levels.emplace(call.params);
  return renderCalibrated(frame, call, true, levels ? &*levels : nullptr);
}

}  // namespace irdex::imaging
