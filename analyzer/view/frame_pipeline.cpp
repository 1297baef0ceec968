#include "view/frame_pipeline.h"

#include "view/display_choices.h"
#include "view/level_guard.h"

#include <algorithm>
#include <cstring>

namespace solvane {
namespace {

// Whole-image statistics (histogram, hot and cold points) are refreshed every 12th frame.
constexpr uint64_t kStatisticsCadence = 12;

bool isBuiltIn(StageSlot slot) { return slot <= StageSlot::Colour; }

}  // namespace

FramePipeline::FramePipeline() {
  if (GetImageLUT(palette_.data(), kGreyPalette, 0) != SDK_SUCCESS)
    for (int i = 0; i < 256; ++i) palette_[3 * i] = palette_[3 * i + 1] = palette_[3 * i + 2] = i;
  // The order of the stages, in one place. Measure, isotherm, alarm and record stay empty
  // until their features attach to them.
  auto at = [this](StageSlot slot) -> Stage& { return stages_[static_cast<size_t>(slot)]; };
  at(StageSlot::MapToGrey) = [this](FrameContext& c) { return mapToGrey(c); };
  at(StageSlot::Filter) = [this](FrameContext& c) { return filter(c); };
  at(StageSlot::WholeImageStatistics) = [this](FrameContext& c) { return wholeImageStatistics(c); };
  at(StageSlot::Temperatures) = [this](FrameContext& c) { return temperatures(c); };
  at(StageSlot::Colour) = [this](FrameContext& c) { return colour(c); };
}

bool FramePipeline::setPalette(int32_t index, bool invert) {
  std::array<uint8_t, 768> fresh{};
  if (GetImageLUT(fresh.data(), index, invert ? 1 : 0) != SDK_SUCCESS) return false;
  std::lock_guard lock(mutex_);
  palette_ = fresh;
  return true;
}

void FramePipeline::setFilters(const FilterState& filters) {
  std::lock_guard lock(mutex_);
  filters_ = filters;
}

FilterState FramePipeline::filters() const {
  std::lock_guard lock(mutex_);
  return filters_;
}

void FramePipeline::restart() {
  std::lock_guard lock(mutex_);
  cadence_ = 0;
  carriedPlateau_.reset();
}

bool FramePipeline::attach(StageSlot slot, Stage stage) {
  if (isBuiltIn(slot) || slot >= StageSlot::Count) return false;
  std::lock_guard lock(runMutex_);
  stages_[static_cast<size_t>(slot)] = std::move(stage);
  return true;
}

void FramePipeline::setEventSink(std::function<void(PipelineEvent)> sink) {
  std::lock_guard lock(runMutex_);
  sink_ = std::move(sink);
}

const TemperatureSource& FramePipeline::sourceFor(const CameraState& camera) {
  const bool ks = isKsCameraType(camera.cameraType);
  if (!source_ || sourceKs_ != ks) {
    source_ = temperatureSourceFor(ks);
    sourceKs_ = ks;
  }
  return *source_;
}

bool FramePipeline::process(const IRFrame& frame, const CameraState& camera,
                            const PipelineInput& input, float& level, float& span) {
  std::lock_guard run(runMutex_);
  keepStill(frame, camera, input, level, span);
  return this->run(frame, camera, input, level, span, false);
}

void FramePipeline::keepStill(const IRFrame& frame, const CameraState& camera,
                              const PipelineInput& input, float level, float span) {
  const size_t count = frame.pixels ? frame.pixelCapacity : 0;
  still_.pixels.assign(frame.pixels, frame.pixels + count);
  still_.frame = IRFrame{};
  still_.frame.header = frame.header;
  still_.frame.driftCorrection = frame.driftCorrection;
  still_.frame.pixels = still_.pixels.data();
  still_.frame.pixelCapacity = static_cast<uint32_t>(still_.pixels.size());
  still_.camera = camera;
  still_.input = input;
  still_.level = level;
  still_.span = span;
  still_.valid = count > 0;
}

void FramePipeline::changeStillInput(const std::function<void(PipelineInput&)>& change) {
  std::lock_guard run(runMutex_);
  change(still_.input);
}

bool FramePipeline::reprocessStill() {
  std::lock_guard run(runMutex_);
  if (!still_.valid) return false;
  // A frame record of our own with a calibration slot of its own: the receiver's slot may be
  // re-made or freed by a new header or a disconnection meanwhile.
  IRFrame frame = still_.frame;
  const bool ks = isKsCameraType(still_.camera.cameraType);
  const bool slot = ks && CreateIRCamDataKS(&frame) == SDK_SUCCESS;
  if (slot)
    LoadIRCamDataKS(&frame, still_.pixels.data(), static_cast<int32_t>(still_.pixels.size()));
  float level = still_.level;
  float span = still_.span;
  const bool done =
      (!ks || slot) && this->run(frame, still_.camera, still_.input, level, span, true);
  if (slot) CloseIRCamDataKS(&frame);
  return done;
}

void FramePipeline::retuneStill(const PipelineInput& input, float level, float span) {
  std::lock_guard run(runMutex_);
  still_.input = input;
  still_.level = level;
  still_.span = span;
}

bool FramePipeline::run(const IRFrame& frame, const CameraState& camera, const PipelineInput& input,
                        float& level, float& span, bool replay) {
  // The frame last published is reused once nobody holds it any more.
  if (!spare_ || spare_.use_count() != 1) spare_ = std::make_shared<ComposedFrame>();
  spare_->measurements.reset();  // a reused frame must not show an older frame's results
  const uint16_t w = camera.width;
  const uint16_t h = camera.height;
  FrameContext context{frame,
                       camera,
                       input,
                       sourceFor(camera),
                       level,
                       span,
                       replay,
                       w,
                       h,
                       static_cast<int32_t>(w) * h,
                       IrdexImageSize(w, h),
                       *spare_};
  for (const Stage& stage : stages_)
    if (stage && !stage(context)) return false;
  level = context.level;
  span = context.span;

  std::optional<LevelSpanChanged> changed;
  std::shared_ptr<const ComposedFrame> published;
  {
    std::lock_guard lock(mutex_);
    spare_->frameNumber = (done_ ? done_->frameNumber : 0) + 1;
    published = spare_;
    spare_ = std::const_pointer_cast<ComposedFrame>(std::exchange(done_, published));
    const std::pair<float, float> now{level, span};
    if (announcedLevelSpan_ != now) {
      announcedLevelSpan_ = now;
      changed = LevelSpanChanged{level, span};
    }
  }
  if (sink_) {
    if (changed) sink_(*changed);
    sink_(FrameComposed{std::move(published)});
  }
  return true;
}

bool FramePipeline::mapToGrey(FrameContext& c) {
  c.out.width = c.width;
  c.out.height = c.height;
  c.out.grey.resize(c.count);
  AgcParams agc = c.input.agc;
  // APE and SAPE blend each frame's plateau with the last one, kept in the record; the input
  // is a fresh copy per frame, so the plateau is carried here. A re-render of the still frame
  // neither reads nor moves it, so it looks the same however often it is redone.
  const bool adaptive = agc.outputMethod == 3 || agc.outputMethod == 4;
  if (adaptive && !c.replay) {
    std::lock_guard lock(mutex_);
    if (carriedPlateau_) agc.prevPlateau = *carriedPlateau_;
  }
  if (c.source.mapToGrey(c.out.grey.data(), c.frame, c.count, c.input.table, c.input.env, &c.level,
                         &c.span, &agc) != SDK_SUCCESS)
    return false;
  if (!c.replay) {
    std::lock_guard lock(mutex_);
    if (adaptive)
      carriedPlateau_ = agc.prevPlateau;
    else
      carriedPlateau_.reset();
  }
  c.level = guardLevel(c.level, c.span, c.input.rangeMin, c.input.rangeMax);
  c.out.level = c.level;
  c.out.span = c.span;
  return true;
}

bool FramePipeline::filter(FrameContext& c) {
  const FilterState f = filters();
  uint8_t* image = c.out.grey.data();
  if (f.kernel != 0) ApplyImageFilter(image, c.width, c.height, f.kernel);
  switch (f.blur) {
    case Blur::None: break;
    case Blur::Bilateral:
      BilateralFilter(image, c.width, c.height, f.bilateralSpatial, f.bilateralRange, 1);
      break;
    case Blur::Box: BoxBlur(image, c.width, c.height, std::max(0, f.boxSize / 2)); break;
    case Blur::Gaussian: {
      if (f.gaussianWidth <= 0 || f.gaussianHeight <= 0) break;
      const int32_t radius = std::clamp(std::max(f.gaussianWidth, f.gaussianHeight) / 2, 1, 248);
      if (radius != gaussianRadius_) {
        gaussWeights_.assign(2 * radius + 1, 0);
        gaussProducts_.assign((2 * radius + 1) * 256, 0);
        GetGaussianKernel(gaussWeights_.data(), gaussProducts_.data(), radius);
        gaussianRadius_ = radius;
      }
      FastGaussianBlur(image, c.width, c.height, gaussWeights_.data(), gaussProducts_.data(),
                       radius);
      break;
    }
    case Blur::Stack: FastStackBlur(image, c.width, c.height, std::max(1, f.stackRadius)); break;
  }
  return true;
}

bool FramePipeline::wholeImageStatistics(FrameContext& c) {
  bool due = false;
  if (!c.replay) {
    std::lock_guard lock(mutex_);
    due = cadence_++ % kStatisticsCadence == 0;
  }
  if (due) {
    histogram_.assign(65536, 0);
    GetIRHistogram(histogram_.data(), c.frame.pixels, c.count);
    freshHistogram_ = std::make_shared<FrameHistogram>();
    freshHistogram_->counts = histogram_;
    RoiTempStats stats{};
    int32_t minPos[2] = {0, 0};  // x, y
    int32_t maxPos[2] = {0, 0};
    const RoiRect whole{0, 0, c.width, c.height};
    if (c.source.regionStatistics(c.frame, c.size, c.input.table, c.input.env, whole, &stats,
                                  minPos, maxPos) == SDK_SUCCESS &&
        c.width > 0)
      hotCold_ = HotCold{maxPos[0], maxPos[1], minPos[0], minPos[1], stats.maxTemp, stats.minTemp};
  }
  c.out.hotCold = hotCold_;
  return true;
}

bool FramePipeline::temperatures(FrameContext& c) {
  c.out.temps.resize(c.count);
  if (!c.source.temperatures(c.frame, c.size, c.input.table, c.input.env, c.out.temps.data()))
    std::fill(c.out.temps.begin(), c.out.temps.end(), 0.0f);
  if (freshHistogram_ && c.frame.pixels) {
    freshHistogram_->celsiusOfCount.assign(65536, 0.0f);
    for (int32_t k = 0; k < c.count; ++k)
      freshHistogram_->celsiusOfCount[c.frame.pixels[k]] = c.out.temps[static_cast<size_t>(k)];
    histogramShown_ = std::move(freshHistogram_);
  }
  c.out.histogram = histogramShown_;
  c.out.mouseTemp.reset();
  const PipelineInput& in = c.input;
  if (in.showMouseTemp && in.mouseX >= 0 && in.mouseY >= 0 && in.mouseX < c.width &&
      in.mouseY < c.height)
    c.out.mouseTemp = c.out.temps[static_cast<size_t>(in.mouseY) * c.width + in.mouseX];
  return true;
}

bool FramePipeline::colour(FrameContext& c) {
  std::array<uint8_t, 768> palette;
  {
    std::lock_guard lock(mutex_);
    palette = palette_;
  }
  c.out.picture.resize(c.count);
  GetGrayToPaletteImage(c.out.grey.data(), c.out.picture.data(), c.width, c.height, palette.data(),
                        32, 0, 0);
  for (auto& pixel : c.out.picture) pixel |= 0xFF000000u;
  return true;
}

std::shared_ptr<const ComposedFrame> FramePipeline::latest() const {
  std::lock_guard lock(mutex_);
  return done_;
}

std::pair<uint16_t, uint16_t> FramePipeline::frameSize() const {
  std::lock_guard lock(mutex_);
  if (!done_) return {0, 0};
  return {done_->width, done_->height};
}

uint64_t FramePipeline::frameCount() const {
  std::lock_guard lock(mutex_);
  return done_ ? done_->frameNumber : 0;
}

std::optional<float> FramePipeline::temperatureAt(int32_t x, int32_t y) const {
  const auto frame = latest();
  if (!frame || x < 0 || y < 0 || x >= frame->width || y >= frame->height || frame->temps.empty())
    return std::nullopt;
  return frame->temps[static_cast<size_t>(y) * frame->width + x];
}

std::optional<uint8_t> FramePipeline::intensityAt(int32_t x, int32_t y) const {
  const auto frame = latest();
  if (!frame || x < 0 || y < 0 || x >= frame->width || y >= frame->height || frame->grey.empty())
    return std::nullopt;
  return frame->grey[static_cast<size_t>(y) * frame->width + x];
}

}  // namespace solvane
