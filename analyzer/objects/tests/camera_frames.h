// Real frames of the simulated camera for every conversion family, held the way the
// analyzer holds them: an IRFrame with the camera header, the pixels and, for calibrated KS
// cameras, the calibration slot and its smoothed image.
#pragma once

#include "count_temperatures.h"

#include "camera.h"
#include "conversion.h"
#include "scene.h"

#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace solvane::testing {

struct CameraKind {
  std::string name;
  std::string model;  // irsim model text
  uint8_t version;
  uint8_t range = 0;
};

inline std::vector<CameraKind> cameraKinds() {
  return {{"FirstGeneration320", "gen1-320", 16},
          {"KtTemperatureCodes", "kt640", 20},
          {"KtHighRange", "kt640", 20, 1},
          {"KsBuiltInTables", "va320", 32},
          {"KsCalibrated640", "vi640", 33}};
}

class CameraFrames {
 public:
  explicit CameraFrames(const CameraKind& kind, irsim::SceneConfig scene = {}) {
    irsim::parseModel(kind.model, config_, nullptr);
    config_.version = kind.version;
    config_.initialRange = kind.range;
    header_ = std::make_unique<irsim::CameraHeader>(config_);
    width_ = static_cast<uint16_t>(header_->width());
    height_ = static_cast<uint16_t>(header_->height());
    tables_ = irsim::FirstGenerationTables::builtIn();
    mapper_ = std::make_unique<irsim::RawMapper>(*header_, tables_);
    scene.motionPeriod = 0;
    scene_ = std::make_unique<irsim::Scene>(scene, width_, height_);
    pixels_.assign(static_cast<size_t>(width_) * (height_ + 1), 0);
    std::memcpy(frame_.header.bytes, header_->bytes().data(), sizeof frame_.header.bytes);
    frame_.pixels = pixels_.data();
    frame_.pixelCapacity = static_cast<uint32_t>(pixels_.size());
    CreateIRCamDataKS(&frame_);
    scene_->render(0, *mapper_, std::span<uint16_t>(pixels_.data(), size_t{width_} * height_));
    LoadIRCamDataKS(&frame_, pixels_.data(), static_cast<int32_t>(pixels_.size()));
  }
  ~CameraFrames() { CloseIRCamDataKS(&frame_); }
  CameraFrames(const CameraFrames&) = delete;
  CameraFrames& operator=(const CameraFrames&) = delete;

  MeasurementFrame measurementFrame(EnvParams env = {0.95f, 20.0f, 1.0f, 0.0f}) const {
    MeasurementFrame m;
    m.frame = &frame_;
    m.width = width_;
    m.height = height_;
    m.table = tables_.table(frame_.header.bytes[7]).data();
    m.env = env;
    return m;
  }
  uint16_t width() const { return width_; }
  uint16_t height() const { return height_; }
  const irsim::Scene& scene() const { return *scene_; }
  const IRFrame& frame() const { return frame_; }

 private:
  irsim::CameraConfig config_;
  std::unique_ptr<irsim::CameraHeader> header_;
  irsim::FirstGenerationTables tables_ = irsim::FirstGenerationTables::builtIn();
  std::unique_ptr<irsim::RawMapper> mapper_;
  std::unique_ptr<irsim::Scene> scene_;
  std::vector<uint16_t> pixels_;
  IRFrame frame_{};
  uint16_t width_ = 0, height_ = 0;
};

}  // namespace solvane::testing
