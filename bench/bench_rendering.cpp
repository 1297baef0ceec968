// The live render path: counts to grey (GetCorrectedImage, GetCorrectedImageKS) for every
// input and output method, grey to colour and the raw histogram, beside the pipeline a user
// would otherwise write with OpenCV on the same 16-bit frame.
#include <benchmark/benchmark.h>
#include <irdex.h>

#include "bench_peers.h"

#include <cstdint>
#include <utility>
#include <vector>

#ifdef IRDEX_HAVE_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

constexpr EnvParams kObject{0.9f, 25.0f, 0.95f, 0.0f};

int widthOf(int64_t size) { return size == 640 ? 640 : 384; }
int heightOf(int64_t size) { return size == 640 ? 480 : 288; }
const irdex::bench::FrameSize& sizeOf(int64_t size) {
  return size == 640 ? irdex::bench::kLarge : irdex::bench::kSmall;
}

// A slope, a hot object, a cold strip and sensor noise, counts base .. base + range.
std::vector<uint16_t> scene(int width, int height, uint16_t base, uint16_t range) {
  std::vector<uint16_t> pixels(static_cast<size_t>(width) * height);
  uint32_t noise = 1;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1103515245u + 12345u;
      double v = 0.3 * x / width + 0.2 * y / height;
      const double dx = x - 0.6 * width, dy = y - 0.4 * height;
      if (dx * dx + dy * dy < 0.02 * width * width) v = 0.85 + 0.1 * (x % 7) / 7.0;
      if (x < width / 12) v = 0.05;
      v += static_cast<double>((noise >> 16) % 200) / 8000.0;
      pixels[static_cast<size_t>(y) * width + x] = static_cast<uint16_t>(base + v * range);
    }
  }
  return pixels;
}

AgcParams agcFor(int64_t input, int64_t output) {
  AgcParams agc{};
  agc.inputMethod = static_cast<int32_t>(input);
  agc.outputMethod = static_cast<int32_t>(output);
  agc.brightnessRate = 0.01f;
  agc.sdRate = 5.0f;
  agc.gamma = 0.8f;
  agc.plateau = 100;
  agc.epsilon = 0.5f;
  agc.psi = 0.3f;
  return agc;
}

IRFrame frameOf(uint8_t version, uint8_t model, std::vector<uint16_t>& pixels) {
  IRFrame frame{};
  frame.header.bytes[IRDEX_HEADER_VERSION] = version;
  frame.header.bytes[IRDEX_HEADER_MODEL] = model;
  frame.pixels = pixels.data();
  frame.pixelCapacity = static_cast<uint32_t>(pixels.size());
  return frame;
}

void setItems(benchmark::State& state, int64_t pixels) {
  state.SetItemsProcessed(state.iterations() * pixels);
}

// A KT camera (temperature codes), the analyzer's render call.
void BM_GetCorrectedImage(benchmark::State& state) {
  const int width = widthOf(state.range(0)), height = heightOf(state.range(0));
  std::vector<uint16_t> pixels = scene(width, height, 4000, 4000);
  const IRFrame frame = frameOf(20, 1, pixels);
  std::vector<uint8_t> grey(pixels.size());
  AgcParams agc = agcFor(state.range(1), state.range(2));
  for (auto _ : state) {
    float level = 30.0f, span = 20.0f;
    GetCorrectedImage(grey.data(), &frame, static_cast<int32_t>(pixels.size()), nullptr, kObject,
                      &level, &span, &agc);
    benchmark::DoNotOptimize(grey.data());
  }
  setItems(state, static_cast<int64_t>(pixels.size()));
}

// A calibrated KS camera: the window comes from the slot's mean image.
void BM_GetCorrectedImageKS(benchmark::State& state) {
  const bool large = state.range(0) == 640;
  const int width = widthOf(state.range(0)), height = heightOf(state.range(0));
  std::vector<uint16_t> pixels = scene(width, height, 4000, 6000);
  IRFrame frame = frameOf(33, large ? 0x21 : 0x20, pixels);
  uint8_t* header = frame.header.bytes;
  header[339] = 0x01;  // range 0 calibrated: -20.0 degrees at 2000 to 120.0 at 14000
  const uint16_t fields[4] = {static_cast<uint16_t>(-200), 1200, 2000, 14000};
  for (int i = 0; i < 4; ++i) {
    header[347 + 2 * i] = static_cast<uint8_t>(fields[i]);
    header[348 + 2 * i] = static_cast<uint8_t>(fields[i] >> 8);
  }
  if (CreateIRCamDataKS(&frame) != SDK_SUCCESS) {
    state.SkipWithError("no KS calibration slot");
    return;
  }
  LoadIRCamDataKS(&frame, pixels.data(), static_cast<int32_t>(pixels.size()));
  std::vector<uint8_t> grey(pixels.size());
  AgcParams agc = agcFor(state.range(1), state.range(2));
  for (auto _ : state) {
    float level = 30.0f, span = 20.0f;
    GetCorrectedImageKS(grey.data(), &frame, static_cast<int32_t>(pixels.size()), kObject, &level,
                        &span, &agc);
    benchmark::DoNotOptimize(grey.data());
  }
  CloseIRCamDataKS(&frame);
  setItems(state, static_cast<int64_t>(pixels.size()));
}

void renderArguments(benchmark::internal::Benchmark* bench) {
  for (const int64_t size : {384, 640}) {
    for (int64_t input = 0; input <= 4; ++input) {
      for (int64_t output = 0; output <= 4; ++output) bench->Args({size, input, output});
    }
  }
  bench->ArgNames({"size", "input", "output"});
}
BENCHMARK(BM_GetCorrectedImage)->Apply(renderArguments);
BENCHMARK(BM_GetCorrectedImageKS)->Apply(renderArguments);

std::vector<uint8_t> ironLikePalette() {
  std::vector<uint8_t> palette(768);
  for (int i = 0; i < 256; ++i) {
    palette[3 * i] = static_cast<uint8_t>(i < 128 ? 2 * i : 255);
    palette[3 * i + 1] = static_cast<uint8_t>(i < 128 ? 0 : 2 * (i - 128));
    palette[3 * i + 2] = static_cast<uint8_t>(i < 64 ? 4 * i : (i < 128 ? 255 - 4 * (i - 64) : 0));
  }
  return palette;
}

void BM_GetGrayToPaletteImage32(benchmark::State& state) {
  const int width = widthOf(state.range(0)), height = heightOf(state.range(0));
  std::vector<uint8_t> grey(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i * 7);
  std::vector<uint32_t> colour(grey.size());
  const std::vector<uint8_t> palette = ironLikePalette();
  for (auto _ : state) {
    GetGrayToPaletteImage(grey.data(), colour.data(), static_cast<uint16_t>(width),
                          static_cast<uint16_t>(height), palette.data(), 32, 0, 0);
    benchmark::DoNotOptimize(colour.data());
  }
  setItems(state, static_cast<int64_t>(grey.size()));
  const auto size = sizeOf(state.range(0));
  state.SetLabel(irdex::bench::concat(
      irdex::bench::versus(irdex::bench::lookupPeer<uint8_t, uint32_t>(size), 1.5), " ",
      irdex::bench::versus(irdex::bench::memcpyPeer(1, 4, size))));
}
BENCHMARK(BM_GetGrayToPaletteImage32)->Arg(384)->Arg(640)->ArgName("size");

void BM_GetIRHistogram(benchmark::State& state) {
  const int width = widthOf(state.range(0)), height = heightOf(state.range(0));
  const std::vector<uint16_t> pixels = scene(width, height, 4000, 4000);
  std::vector<int32_t> histogram(65536);
  for (auto _ : state) {
    std::fill(histogram.begin(), histogram.end(), 0);  // the analyzer clears it first
    GetIRHistogram(histogram.data(), pixels.data(), static_cast<int32_t>(pixels.size()));
    benchmark::DoNotOptimize(histogram.data());
  }
  setItems(state, static_cast<int64_t>(pixels.size()));
#ifdef IRDEX_HAVE_OPENCV
  state.SetLabel(irdex::bench::concat(
      irdex::bench::versus("BM_PeerCvCalcHist/size:" + std::to_string(state.range(0)), 1.5), " ",
      irdex::bench::versus(irdex::bench::memcpyPeer(2, 0, sizeOf(state.range(0))))));
#else
  state.SetLabel(irdex::bench::versus(irdex::bench::memcpyPeer(2, 0, sizeOf(state.range(0)))));
#endif
}
BENCHMARK(BM_GetIRHistogram)->Arg(384)->Arg(640)->ArgName("size");

#ifdef IRDEX_HAVE_OPENCV
// The same image into 65,536 bins, one per count; OpenCV clears its bins itself.
void BM_PeerCvCalcHist(benchmark::State& state) {
  const int width = widthOf(state.range(0)), height = heightOf(state.range(0));
  std::vector<uint16_t> pixels = scene(width, height, 4000, 4000);
  const cv::Mat image(height, width, CV_16UC1, pixels.data());
  const int channels[] = {0};
  const int bins[] = {65536};
  const float range[] = {0.0f, 65536.0f};
  const float* ranges[] = {range};
  cv::Mat histogram;
  for (auto _ : state) {
    cv::calcHist(&image, 1, channels, cv::Mat(), histogram, 1, bins, ranges);
    benchmark::DoNotOptimize(histogram.data);
  }
  setItems(state, static_cast<int64_t>(pixels.size()));
}
BENCHMARK(BM_PeerCvCalcHist)->Arg(384)->Arg(640)->ArgName("size");
#endif

// What one live frame costs from counts to colour: render plus palette.
void BM_RenderAndColour(benchmark::State& state) {
  const int width = widthOf(state.range(0)), height = heightOf(state.range(0));
  std::vector<uint16_t> pixels = scene(width, height, 4000, 4000);
  const IRFrame frame = frameOf(20, 1, pixels);
  std::vector<uint8_t> grey(pixels.size());
  std::vector<uint32_t> colour(pixels.size());
  const std::vector<uint8_t> palette = ironLikePalette();
  AgcParams agc = agcFor(state.range(1), state.range(2));
  for (auto _ : state) {
    float level = 30.0f, span = 20.0f;
    GetCorrectedImage(grey.data(), &frame, static_cast<int32_t>(pixels.size()), nullptr, kObject,
                      &level, &span, &agc);
    GetGrayToPaletteImage(grey.data(), colour.data(), static_cast<uint16_t>(width),
                          static_cast<uint16_t>(height), palette.data(), 32, 0, 0);
    benchmark::DoNotOptimize(colour.data());
  }
  setItems(state, static_cast<int64_t>(pixels.size()));
#ifdef IRDEX_HAVE_OPENCV
  // "Min Max"/"Linear" within 1.5x of the OpenCV pipeline; the plateau methods within 2x.
  state.SetLabel(
      irdex::bench::versus("BM_PeerOpenCvPipeline/size:" + std::to_string(state.range(0)),
                           state.range(2) == 0 ? 1.5 : 2));
#endif
}
BENCHMARK(BM_RenderAndColour)
    ->ArgNames({"size", "input", "output"})
    ->Args({384, 0, 0})
    ->Args({640, 0, 0})
    ->Args({384, 0, 2})
    ->Args({640, 0, 2})
    ->Args({640, 0, 3})
    ->Args({640, 0, 4});

#ifdef IRDEX_HAVE_OPENCV
// The peer: stretch min..max to 8 bits, equalise, colour.
void BM_PeerOpenCvPipeline(benchmark::State& state) {
  const int width = widthOf(state.range(0)), height = heightOf(state.range(0));
  std::vector<uint16_t> pixels = scene(width, height, 4000, 4000);
  const cv::Mat frame(height, width, CV_16UC1, pixels.data());
  cv::Mat grey, equalised, colour;
  for (auto _ : state) {
    double low = 0.0, high = 0.0;
    cv::minMaxLoc(frame, &low, &high);
    const double scale = high > low ? 255.0 / (high - low) : 0.0;
    frame.convertTo(grey, CV_8U, scale, -low * scale);
    cv::equalizeHist(grey, equalised);
    cv::applyColorMap(equalised, colour, cv::COLORMAP_INFERNO);
    benchmark::DoNotOptimize(colour.data);
  }
  setItems(state, static_cast<int64_t>(pixels.size()));
}
BENCHMARK(BM_PeerOpenCvPipeline)->Arg(384)->Arg(640)->ArgName("size");
#endif

// The memory-bandwidth peers of the single-pass exports above.
const bool kMemcpyPeersRegistered = [] {
  for (const auto& size : irdex::bench::kSizes) {
    irdex::bench::registerMemcpyPeer(2, 0, size);
    irdex::bench::registerMemcpyPeer(1, 4, size);
    std::vector<uint8_t> grey(static_cast<size_t>(size.pixels()));
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i * 7);
    irdex::bench::registerLookupPeer<uint8_t, uint32_t>(size, std::move(grey));
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
