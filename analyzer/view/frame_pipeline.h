// What the view makes of every frame: the AGC image, the filters, the whole-image histogram
// and hot/cold points every 12th frame, the mouse temperature and the false-colour picture.
// Runs on the thread that delivered the frame; the window reads the result under a lock.
#pragma once

#include "acquisition/live_acquisition.h"

#include <irdex.h>

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace solvane {

// At most one blur runs on a frame; each keeps its parameters while another is chosen.
enum class Blur { None, Box, Gaussian, Stack, Bilateral };

struct FilterState {
  int32_t kernel = 0;  // "FILTER": 0 none, else the library's kernel type
  Blur blur = Blur::None;
  float bilateralSpatial = 1.5f;
  float bilateralRange = 25.0f;
  int32_t boxSize = 3;
  int32_t gaussianWidth = 5;
  int32_t gaussianHeight = 5;
  float gaussianSigma = 1.0f;
  int32_t stackRadius = 2;
};

struct PipelineInput {
  EnvParams env{0.95f, 20.0f, 1.0f, 0.0f};
  AgcParams agc{};
  float rangeMin = -20.0f;
  float rangeMax = 150.0f;
  const float* table = nullptr;  // TempMapTable of KT cameras
  bool showMouseTemp = true;
  int32_t mouseX = -1;  // image pixels; -1 outside
  int32_t mouseY = -1;
};

struct HotCold {
  int32_t hotX = 0, hotY = 0, coldX = 0, coldY = 0;
  float hot = 0, cold = 0;
};

// The last composed frame.
struct ComposedFrame {
  uint16_t width = 0;
  uint16_t height = 0;
  std::vector<uint8_t> grey;      // AGC output after filters
  std::vector<uint32_t> picture;  // 0xAARRGGBB
  std::vector<float> temps;       // degrees Celsius per pixel
  std::optional<HotCold> hotCold;
  std::optional<float> mouseTemp;
  float level = 0;
  float span = 0;
  uint64_t frameNumber = 0;
};

class FramePipeline {
 public:
  FramePipeline();

  // GetImageLUT; false (palette unchanged) on failure.
  bool setPalette(int32_t index, bool invert);
  void setFilters(const FilterState& filters);
  FilterState filters() const;
  // The 12-frame cadence starts again (new connection or file).
  void restart();

  // Steps of the pipeline for one frame. Level and span are in/out (automatic AGC).
  // Returns false when the AGC refused the frame.
  bool process(const IRFrame& frame, const CameraState& camera, const PipelineInput& input,
               float& level, float& span);

  // Copies out the last composed frame.
  ComposedFrame latest() const;
  uint64_t frameCount() const;
  // The temperature of a pixel of the last frame.
  std::optional<float> temperatureAt(int32_t x, int32_t y) const;
  std::optional<uint8_t> intensityAt(int32_t x, int32_t y) const;
  // Width and height of the last composed frame (0 x 0 before the first).
  std::pair<uint16_t, uint16_t> frameSize() const;

 private:
  void applyFilters(uint8_t* image, uint16_t width, uint16_t height, const FilterState& f);

  mutable std::mutex mutex_;
  std::array<uint8_t, 768> palette_{};
  FilterState filters_;
  int32_t gaussianRadius_ = 0;
  std::vector<int32_t> gaussWeights_;
  std::vector<int32_t> gaussProducts_;
  uint64_t cadence_ = 0;
  std::vector<int32_t> histogram_;
  std::optional<HotCold> hotCold_;
  ComposedFrame work_;
  ComposedFrame done_;
};

}  // namespace solvane
