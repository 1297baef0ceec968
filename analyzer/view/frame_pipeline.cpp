#include "view/frame_pipeline.h"

#include "view/level_guard.h"

#include <algorithm>

namespace solvane {

FramePipeline::FramePipeline() {
  if (GetImageLUT(palette_.data(), 11, 0) != SDK_SUCCESS)
    for (int i = 0; i < 256; ++i) palette_[3 * i] = palette_[3 * i + 1] = palette_[3 * i + 2] = i;
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
}

void FramePipeline::applyFilters(uint8_t* image, uint16_t width, uint16_t height,
                                 const FilterState& f) {
  if (f.kernel != 0) ApplyImageFilter(image, width, height, f.kernel);
  switch (f.blur) {
    case Blur::None: break;
    case Blur::Bilateral:
      BilateralFilter(image, width, height, f.bilateralSpatial, f.bilateralRange, 1);
      break;
    case Blur::Box: BoxBlur(image, width, height, std::max(0, f.boxSize / 2)); break;
    case Blur::Gaussian: {
      if (f.gaussianWidth <= 0 || f.gaussianHeight <= 0) break;
      const int32_t radius = std::clamp(std::max(f.gaussianWidth, f.gaussianHeight) / 2, 1, 248);
      if (radius != gaussianRadius_) {
        gaussWeights_.assign(2 * radius + 1, 0);
        gaussProducts_.assign((2 * radius + 1) * 256, 0);
        GetGaussianKernel(gaussWeights_.data(), gaussProducts_.data(), radius);
        gaussianRadius_ = radius;
      }
      FastGaussianBlur(image, width, height, gaussWeights_.data(), gaussProducts_.data(), radius);
      break;
    }
    case Blur::Stack: FastStackBlur(image, width, height, std::max(1, f.stackRadius)); break;
  }
}

bool FramePipeline::process(const IRFrame& frame, const CameraState& camera,
                            const PipelineInput& input, float& level, float& span) {
  const uint16_t w = camera.width;
  const uint16_t h = camera.height;
  const int32_t count = static_cast<int32_t>(w) * h;
  const bool ks = isKsCameraType(camera.cameraType);
  work_.width = w;
  work_.height = h;
  work_.grey.resize(count);
  AgcParams agc = input.agc;
  const SdkStatus mapped =
      ks ? GetCorrectedImageKS(work_.grey.data(), &frame, count, input.env, &level, &span, &agc)
         : GetCorrectedImage(work_.grey.data(), &frame, count, input.table, input.env, &level,
                             &span, &agc);
  if (mapped != SDK_SUCCESS) return false;
  level = guardLevel(level, span, input.rangeMin, input.rangeMax);

  FilterState filters;
  std::array<uint8_t, 768> palette;
  {
    std::lock_guard lock(mutex_);
    filters = filters_;
    palette = palette_;
  }
  applyFilters(work_.grey.data(), w, h, filters);

  const uint32_t size = IrdexImageSize(w, h);
  if (cadence_++ % 12 == 0) {
    histogram_.assign(65536, 0);
    GetIRHistogram(histogram_.data(), frame.pixels, count);
    RoiTempStats stats{};
    int32_t minPos[2] = {0, 0};  // x, y
    int32_t maxPos[2] = {0, 0};
    const RoiRect whole{0, 0, w, h};
    const SdkStatus roi =
        ks ? GetROITempKS(&frame, size, input.env, whole, &stats, minPos, maxPos)
           : GetROITemp(&frame, size, input.table, input.env, whole, &stats, minPos, maxPos);
    if (roi == SDK_SUCCESS && w > 0) {
      hotCold_ = HotCold{maxPos[0], maxPos[1], minPos[0], minPos[1], stats.maxTemp, stats.minTemp};
    }
  }

  work_.temps.resize(count);
  if (ks)
    GetRawToTempKS(&frame, size, input.env, work_.temps.data());
  else if (input.table)
    GetRawToTemp(&frame, size, input.table, input.env, work_.temps.data());
  work_.mouseTemp.reset();
  if (input.showMouseTemp && input.mouseX >= 0 && input.mouseY >= 0 && input.mouseX < w &&
      input.mouseY < h)
    work_.mouseTemp = work_.temps[static_cast<size_t>(input.mouseY) * w + input.mouseX];

  work_.picture.resize(count);
  GetGrayToPaletteImage(work_.grey.data(), work_.picture.data(), w, h, palette.data(), 32, 0, 0);
  for (auto& pixel : work_.picture) pixel |= 0xFF000000u;
  work_.hotCold = hotCold_;
  work_.level = level;
  work_.span = span;
  std::lock_guard lock(mutex_);
  work_.frameNumber = done_.frameNumber + 1;
  std::swap(work_, done_);
  return true;
}

ComposedFrame FramePipeline::latest() const {
  std::lock_guard lock(mutex_);
  return done_;
}

std::pair<uint16_t, uint16_t> FramePipeline::frameSize() const {
  std::lock_guard lock(mutex_);
  return {done_.width, done_.height};
}

uint64_t FramePipeline::frameCount() const {
  std::lock_guard lock(mutex_);
  return done_.frameNumber;
}

std::optional<float> FramePipeline::temperatureAt(int32_t x, int32_t y) const {
  std::lock_guard lock(mutex_);
  if (x < 0 || y < 0 || x >= done_.width || y >= done_.height || done_.temps.empty())
    return std::nullopt;
  return done_.temps[static_cast<size_t>(y) * done_.width + x];
}

std::optional<uint8_t> FramePipeline::intensityAt(int32_t x, int32_t y) const {
  std::lock_guard lock(mutex_);
  if (x < 0 || y < 0 || x >= done_.width || y >= done_.height || done_.grey.empty())
    return std::nullopt;
  return done_.grey[static_cast<size_t>(y) * done_.width + x];
}

}  // namespace solvane
