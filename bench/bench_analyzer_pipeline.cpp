// The analyzer's per-frame pipeline (AGC image, filter, the 12-frame histogram and hot/cold
// refresh, the temperature array and the false-colour picture) on 640 x 480 KS frames of
// the simulated blob scene, without a window. The camera delivers 30 frames a second; the
// pipeline must keep well ahead of that.
#include "view/display_choices.h"
#include "view/frame_pipeline.h"

#include "camera.h"
#include "conversion.h"
#include "scene.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

struct KsFrames {
  irsim::CameraConfig config;
  std::vector<std::vector<uint16_t>> images;
  std::vector<uint16_t> pixels = std::vector<uint16_t>(640 * 481);
  std::vector<uint8_t> staging = std::vector<uint8_t>(8192);
  IRFrame frame{};
  solvane::CameraState camera;

  KsFrames() {
    irsim::parseModel("vi640", config, nullptr);
    const irsim::CameraHeader header(config);
    const auto tables = irsim::FirstGenerationTables::builtIn();
    const irsim::RawMapper mapper(header, tables);
    const irsim::Scene scene(irsim::SceneConfig{}, 640, 480);
    for (uint64_t tick = 0; tick < 16; ++tick) {
      std::vector<uint16_t> image(640 * 481, 0);
      scene.render(tick * 10, mapper, std::span<uint16_t>(image.data(), 640 * 480));
      images.push_back(std::move(image));
    }
    std::memcpy(frame.header.bytes, header.bytes().data(), sizeof frame.header.bytes);
    frame.pixels = pixels.data();
    frame.pixelCapacity = static_cast<uint32_t>(pixels.size());
    frame.staging = staging.data();
    CreateIRCamDataKS(&frame);
    camera.width = 640;
    camera.height = 480;
    camera.cameraType = 3;
    camera.modelIndex = 4;
    camera.ks = true;
    camera.headerVersion = config.version;
  }
  ~KsFrames() { CloseIRCamDataKS(&frame); }

  // What the receiver does with each frame before the pipeline sees it.
  void deliver(size_t index) {
    const auto& image = images[index % images.size()];
    std::copy(image.begin(), image.end(), pixels.begin());
    LoadIRCamDataKS(&frame, pixels.data(), static_cast<int32_t>(pixels.size()));
  }
};

void runPipeline(benchmark::State& state, const solvane::FilterState& filters) {
  KsFrames frames;
  solvane::FramePipeline pipeline;
  pipeline.setPalette(8, false);
  pipeline.setFilters(filters);
  solvane::PipelineInput input;
  input.mouseX = 320;
  input.mouseY = 240;
  float level = 30.0f, span = 20.0f;
  size_t index = 0;
  for (auto _ : state) {
    frames.deliver(index++);
    pipeline.process(frames.frame, frames.camera, input, level, span);
    benchmark::DoNotOptimize(pipeline.frameCount());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["frames_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_PipelineKs640(benchmark::State& state) { runPipeline(state, {}); }

void BM_PipelineKs640Soften(benchmark::State& state) {
  solvane::FilterState filters;
  filters.kernel = solvane::kernelTypeOf(solvane::FilterKind::SoftenSlightly);
  runPipeline(state, filters);
}

void BM_PipelineKs640StackBlur(benchmark::State& state) {
  solvane::FilterState filters;
  filters.blur = solvane::Blur::Stack;
  filters.stackRadius = 2;
  runPipeline(state, filters);
}

}  // namespace

BENCHMARK(BM_PipelineKs640)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PipelineKs640Soften)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PipelineKs640StackBlur)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
