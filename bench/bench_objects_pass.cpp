// The analyzer's measurement pass on a 640 x 480 KS frame with 30 spots and 30 areas
// (rectangles, ellipses, polygons and lines spread over the frame). The render thread runs
// it once per frame; it has to fit in a fifth of the 33 ms frame period (<= 6.6 ms, at least
// 151.5 passes a second). The peer walks the same pixels once with a plain loop: count,
// table look-up, minimum, maximum and sum.
#include "camera.h"
#include "circle_roi.h"
#include "conversion.h"
#include "line_roi.h"
#include "manager_roi.h"
#include "measurement_pass.h"
#include "polygon_roi.h"
#include "rect_roi.h"
#include "scene.h"
#include "spot_roi.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <limits>
#include <memory>
#include <span>
#include <vector>

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr const char* kPeer = "BM_ObjectsPeerPlainWalk640x480";

struct KsFrame {
  irsim::CameraConfig config;
  std::vector<uint16_t> pixels = std::vector<uint16_t>(kWidth * (kHeight + 1));
  IRFrame frame{};

  KsFrame() {
    irsim::parseModel("vi640", config, nullptr);
    const irsim::CameraHeader header(config);
    const auto tables = irsim::FirstGenerationTables::builtIn();
    const irsim::RawMapper mapper(header, tables);
    const irsim::Scene scene(irsim::SceneConfig{}, kWidth, kHeight);
    scene.render(40, mapper, std::span<uint16_t>(pixels.data(), kWidth * kHeight));
    std::memcpy(frame.header.bytes, header.bytes().data(), sizeof frame.header.bytes);
    frame.pixels = pixels.data();
    frame.pixelCapacity = static_cast<uint32_t>(pixels.size());
    CreateIRCamDataKS(&frame);
    LoadIRCamDataKS(&frame, pixels.data(), static_cast<int32_t>(pixels.size()));
  }
  ~KsFrame() { CloseIRCamDataKS(&frame); }

  solvane::MeasurementFrame measurementFrame() const {
    solvane::MeasurementFrame m;
    m.frame = &frame;
    m.width = kWidth;
    m.height = kHeight;
    return m;
  }
};

// 30 spots on a grid; 30 areas on a 6 x 5 grid of 100 x 90 cells, each kind in turn, about
// 70 x 60 pixels each.
void fillObjects(solvane::CManagerROI& manager) {
  using namespace solvane;
  for (int i = 0; i < 30; ++i) {
    auto spot = manager.makeObject(RoiKind::Spot);
    static_cast<CSpotROI&>(*spot).setPosition(20 + (i % 6) * 100, 30 + (i / 6) * 90);
    manager.add(std::move(spot));
  }
  for (int i = 0; i < 30; ++i) {
    const int32_t x = 10 + (i % 6) * 105, y = 10 + (i / 6) * 93;
    const BoxGeometry box{x, y, x + 70, y + 60};
    std::unique_ptr<CObjectROI> area;
    switch (i % 4) {
      case 0: area = std::make_unique<CRectROI>(box); break;
      case 1: area = std::make_unique<CCircleROI>(box); break;
      case 2:
        area = std::make_unique<CPolygonROI>(std::vector<PixelPoint>{
            {x, y}, {x + 70, y + 10}, {x + 35, y + 30}, {x + 60, y + 60}, {x + 5, y + 50}});
        break;
      default:
        area = std::make_unique<CLineROI>(PixelPoint{x, y}, PixelPoint{x + 69, y + 59});
        break;
    }
    manager.add(std::move(area));
  }
}

void BM_ObjectsMeasurementPass640x480(benchmark::State& state) {
  KsFrame frame;
  solvane::CManagerROI manager;
  fillObjects(manager);
  solvane::MeasurementPass pass;
  const auto input = frame.measurementFrame();
  for (auto _ : state) {
    auto result = pass.run(input, manager, solvane::TempUnit::Celsius);
    benchmark::DoNotOptimize(result);
  }
  state.SetLabel(std::string("vs:") + kPeer + " fps:151.5");
}

void BM_ObjectsPeerPlainWalk640x480(benchmark::State& state) {
  KsFrame frame;
  solvane::CManagerROI manager;
  fillObjects(manager);
  // The pixels every object covers, found once outside the timing.
  std::vector<solvane::PixelSpan> spans;
  manager.withObjects([&](const std::vector<std::unique_ptr<solvane::CObjectROI>>& objects) {
    for (const auto& o : objects)
      o->forEachSpan({kWidth, kHeight}, [&](const solvane::PixelSpan& s) { spans.push_back(s); });
  });
  std::vector<float> table(65536);
  for (size_t n = 0; n < table.size(); ++n)
    table[n] = ConvertRawToTempKS(&frame.frame, EnvParams{0.95f, 20.0f, 1.0f, 0.0f},
                                  static_cast<uint16_t>(n));
  const auto* counts = reinterpret_cast<const uint16_t*>(frame.frame.ksSmoothed);
  for (auto _ : state) {
    float low = std::numeric_limits<float>::max(), high = -low;
    double sum = 0;
    for (const auto& s : spans) {
      const uint16_t* row = counts + static_cast<size_t>(s.y) * kWidth;
      for (int32_t x = s.x0; x <= s.x1; ++x) {
        const float t = table[row[x]];
        low = std::min(low, t);
        high = std::max(high, t);
        sum += t;
      }
    }
    benchmark::DoNotOptimize(low);
    benchmark::DoNotOptimize(high);
    benchmark::DoNotOptimize(sum);
  }
}

}  // namespace

BENCHMARK(BM_ObjectsMeasurementPass640x480)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ObjectsPeerPlainWalk640x480)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
