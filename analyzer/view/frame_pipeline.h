// What the view makes of every frame, as an ordered list of small stages over one frame
// context: map to grey, filter, whole-image statistics every 12th frame, temperatures,
// colour; measurement, isotherms, alarms and recording have their places after them. Runs on
// the thread that delivered the frame (live acquisition, playback, or a re-render of the
// still frame) and publishes an immutable composed frame.
#pragma once

#include "acquisition/live_acquisition.h"
#include "view/temperature_source.h"

#include <irdex.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace solvane {

struct MeasurementResult;  // the measurement objects' statistics of one frame

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

// The raw histogram of the last statistics frame, and the temperature each count present in it
// had in that frame (so the histogram pane needs no conversion of its own).
struct FrameHistogram {
  std::vector<int32_t> counts;        // one entry per raw count
  std::vector<float> celsiusOfCount;  // meaningful where counts > 0
};

// One frame as composed for the screen; never changed once published.
struct ComposedFrame {
  uint16_t width = 0;
  uint16_t height = 0;
  std::vector<uint8_t> grey;      // AGC output after filters
  std::vector<uint32_t> picture;  // 0xAARRGGBB
  std::vector<float> temps;       // degrees Celsius per pixel
  std::optional<HotCold> hotCold;
  // Shared by the frames until the next statistics frame replaces it.
  std::shared_ptr<const FrameHistogram> histogram;
  std::optional<float> mouseTemp;
  float level = 0;
  float span = 0;
  uint64_t frameNumber = 0;
  // The objects' statistics of this very frame; null when no measurement ran.
  std::shared_ptr<const MeasurementResult> measurements;
};

// What the pipeline announces, in order, on the thread that ran it.
struct FrameComposed {
  std::shared_ptr<const ComposedFrame> frame;
};
struct LevelSpanChanged {
  float level = 0;
  float span = 0;
};
using PipelineEvent = std::variant<FrameComposed, LevelSpanChanged>;

// Everything one frame's stages share.
struct FrameContext {
  const IRFrame& frame;
  const CameraState& camera;
  const PipelineInput& input;
  const TemperatureSource& source;
  float level;  // in/out: the automatic AGC carries them from frame to frame
  float span;
  bool replay;  // the still frame again: the 12-frame cadence does not move
  uint16_t width;
  uint16_t height;
  int32_t count;  // width x height
  uint32_t size;  // the image size the temperature exports take
  ComposedFrame& out;
};

// The places of the stage list, in the order they run.
enum class StageSlot {
  MapToGrey,
  Filter,
  WholeImageStatistics,
  Temperatures,
  Colour,
  Measure,
  Isotherm,
  Alarm,
  Record,
  Count
};
// A stage; false ends the frame unpublished.
using Stage = std::function<bool(FrameContext&)>;

class FramePipeline {
 public:
  FramePipeline();

  // GetImageLUT; false (palette unchanged) on failure.
  bool setPalette(int32_t index, bool invert);
  void setFilters(const FilterState& filters);
  FilterState filters() const;
  // The 12-frame cadence starts again (new connection or file).
  void restart();
  // Fills one of the later places (measure, isotherm, alarm, record); the built-in stages
  // cannot be replaced. False for a built-in place.
  bool attach(StageSlot slot, Stage stage);
  // Receives every event; set before frames flow.
  void setEventSink(std::function<void(PipelineEvent)> sink);

  // Runs the stages on one frame. Level and span are in/out (automatic AGC). Returns false
  // when the AGC refused the frame. The frame is kept as the still frame.
  bool process(const IRFrame& frame, const CameraState& camera, const PipelineInput& input,
               float& level, float& span);
  // Runs the stages again on the still frame with the current choices (palette, filters):
  // a frozen picture takes them at once. False when there is no still frame.
  bool reprocessStill();
  // The still frame is composed again with new parameters (emissivity, AGC record, manual
  // window): a frozen picture follows the controls too.
  void retuneStill(const PipelineInput& input, float level, float span);
  // Changed settings reach the still frame too (its next re-render uses them).
  void changeStillInput(const std::function<void(PipelineInput&)>& change);

  // The last composed frame, shared: no copy.
  std::shared_ptr<const ComposedFrame> latest() const;
  uint64_t frameCount() const;
  // The temperature of a pixel of the last frame.
  std::optional<float> temperatureAt(int32_t x, int32_t y) const;
  std::optional<uint8_t> intensityAt(int32_t x, int32_t y) const;
  // Width and height of the last composed frame (0 x 0 before the first).
  std::pair<uint16_t, uint16_t> frameSize() const;

 private:
  bool run(const IRFrame& frame, const CameraState& camera, const PipelineInput& input,
           float& level, float& span, bool replay);
  void keepStill(const IRFrame& frame, const CameraState& camera, const PipelineInput& input,
                 float level, float span);
  const TemperatureSource& sourceFor(const CameraState& camera);

  bool mapToGrey(FrameContext& c);
  bool filter(FrameContext& c);
  bool wholeImageStatistics(FrameContext& c);
  bool temperatures(FrameContext& c);
  bool colour(FrameContext& c);

  // Serialises whole runs: live frames and a still-frame re-render may come from two threads.
  std::mutex runMutex_;
  std::array<Stage, static_cast<size_t>(StageSlot::Count)> stages_;
  std::unique_ptr<TemperatureSource> source_;
  std::optional<bool> sourceKs_;
  std::function<void(PipelineEvent)> sink_;
  int32_t gaussianRadius_ = 0;
  std::vector<int32_t> gaussWeights_;
  std::vector<int32_t> gaussProducts_;
  std::vector<int32_t> histogram_;
  std::optional<HotCold> hotCold_;
  std::shared_ptr<FrameHistogram> freshHistogram_;  // counted, waiting for its temperatures
  std::shared_ptr<const FrameHistogram> histogramShown_;
  std::shared_ptr<ComposedFrame> spare_;

  // The still frame: the last frame's header and pixels, with what it was composed with.
  struct Still {
    IRFrame frame{};
    std::vector<uint16_t> pixels;
    CameraState camera;
    PipelineInput input;
    float level = 0;
    float span = 0;
    bool valid = false;
  } still_;

  // Guards the choices and the published frame, which the UI thread reads.
  mutable std::mutex mutex_;
  std::array<uint8_t, 768> palette_{};
  FilterState filters_;
  uint64_t cadence_ = 0;
  std::optional<float> carriedPlateau_;  // APE/SAPE: the plateau the last live frame left
  std::shared_ptr<const ComposedFrame> done_;
  std::optional<std::pair<float, float>> announcedLevelSpan_;
};

}  // namespace solvane
