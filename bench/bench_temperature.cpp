// Temperature conversion of whole frames, the KS smoothing and region statistics, each
// beside a memcpy of the same input and output bytes (the memory-bandwidth floor of a
// single pass over them).
#include <benchmark/benchmark.h>
#include <irdex.h>

#include <cstring>
#include <random>
#include <vector>

#include "records/byte_order.h"

namespace {

constexpr EnvParams kDefaults{0.95f, 20.0f, 1.0f, 0.0f};
constexpr EnvParams kAdjusted{0.8f, 25.0f, 0.9f, 0.0f};

struct Geometry {
  int width, height;
  uint8_t model;
};
constexpr Geometry kVa320{384, 288, 0x20};
constexpr Geometry kVi640{640, 480, 0x21};

std::vector<float> deliveredTable() {
  std::vector<float> table(65536);
  if (GetTempMapTable(table.data(), 0) != SDK_SUCCESS) {
    for (int i = 0; i < 65536; ++i) table[i] = static_cast<float>(i) * 0.01f - 40.0f;
  }
  return table;
}

// Counts of a plausible scene: 4000 .. 12000 with noise.
std::vector<uint16_t> scene(const Geometry& g) {
  std::mt19937 random(42);
  std::vector<uint16_t> pixels(static_cast<std::size_t>(g.width) * g.height);
  for (std::size_t k = 0; k < pixels.size(); ++k)
    pixels[k] = static_cast<uint16_t>(4000 + (k * 7) % 8000 + random() % 16);
  return pixels;
}

// A frame of the given header version over the scene, holding a KS slot from version 33 on.
class BenchFrame {
 public:
  BenchFrame(uint8_t version, const Geometry& g) : pixels_(scene(g)), frame_{} {
    uint8_t* h = frame_.header.bytes;
    h[IRDEX_HEADER_VERSION] = version;
    h[IRDEX_HEADER_MODEL] = version >= 32 ? g.model : (version >= 17 ? 1 : 0);
    frame_.pixels = pixels_.data();
    frame_.pixelCapacity = static_cast<uint32_t>(pixels_.size());
    irdex::writeLe16(h + 339, 1);
    irdex::writeLe16(h + 347, static_cast<uint16_t>(-200));
    irdex::writeLe16(h + 349, 1200);
    irdex::writeLe16(h + 355, 2000);
    irdex::writeLe16(h + 357, 14000);
    CreateIRCamDataKS(&frame_);
    LoadIRCamDataKS(&frame_, pixels_.data(), static_cast<int32_t>(pixels_.size()));
  }
  ~BenchFrame() { CloseIRCamDataKS(&frame_); }
  BenchFrame(const BenchFrame&) = delete;
  BenchFrame& operator=(const BenchFrame&) = delete;
  const IRFrame* frame() const { return &frame_; }
  IRFrame* frame() { return &frame_; }
  const std::vector<uint16_t>& pixels() const { return pixels_; }

 private:
  std::vector<uint16_t> pixels_;
  IRFrame frame_;
};

void BM_GetRawToTemp(benchmark::State& state, uint8_t version, EnvParams params) {
  const auto table = deliveredTable();
  BenchFrame f(version, kVi640);
  std::vector<float> out(f.pixels().size());
  const uint32_t size = IrdexImageSize(kVi640.width, kVi640.height);
  for (auto _ : state) {
    benchmark::DoNotOptimize(GetRawToTemp(f.frame(), size, table.data(), params, out.data()));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(out.size()));
}
BENCHMARK_CAPTURE(BM_GetRawToTemp, FirstGen_Default_640x480, 5, kDefaults);
BENCHMARK_CAPTURE(BM_GetRawToTemp, FirstGen_Adjusted_640x480, 5, kAdjusted);
BENCHMARK_CAPTURE(BM_GetRawToTemp, Kt_Default_640x480, 20, kDefaults);
BENCHMARK_CAPTURE(BM_GetRawToTemp, Kt_Adjusted_640x480, 20, kAdjusted);
BENCHMARK_CAPTURE(BM_GetRawToTemp, KsBuiltIn_Default_640x480, 32, kDefaults);
BENCHMARK_CAPTURE(BM_GetRawToTemp, KsBuiltIn_Adjusted_640x480, 32, kAdjusted);
BENCHMARK_CAPTURE(BM_GetRawToTemp, KsCalibrated_Default_640x480, 33, kDefaults);
BENCHMARK_CAPTURE(BM_GetRawToTemp, KsCalibrated_Adjusted_640x480, 33, kAdjusted);

// 16-bit counts in, 32-bit temperatures out.
void BM_PeerMemcpy_RawToTemp_640x480(benchmark::State& state) {
  const std::size_t pixels = static_cast<std::size_t>(kVi640.width) * kVi640.height;
  std::vector<char> in(pixels * 6, 1), out(pixels * 6);
  for (auto _ : state) {
    std::memcpy(out.data(), in.data(), in.size());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(pixels));
}
BENCHMARK(BM_PeerMemcpy_RawToTemp_640x480);

void BM_LoadIRCamDataKS(benchmark::State& state, Geometry g) {
  BenchFrame f(33, g);
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadIRCamDataKS(f.frame(), f.pixels().data(), 0));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(f.pixels().size()));
}
BENCHMARK_CAPTURE(BM_LoadIRCamDataKS, 384x288, kVa320);
BENCHMARK_CAPTURE(BM_LoadIRCamDataKS, 640x480, kVi640);

// 16-bit counts in, 16-bit means out.
void BM_PeerMemcpy_Smoothing(benchmark::State& state, Geometry g) {
  const std::size_t pixels = static_cast<std::size_t>(g.width) * g.height;
  std::vector<char> in(pixels * 4, 1), out(pixels * 4);
  for (auto _ : state) {
    std::memcpy(out.data(), in.data(), in.size());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(pixels));
}
BENCHMARK_CAPTURE(BM_PeerMemcpy_Smoothing, 384x288, kVa320);
BENCHMARK_CAPTURE(BM_PeerMemcpy_Smoothing, 640x480, kVi640);

void BM_GetROITemp_WholeFrame(benchmark::State& state, uint8_t version, Geometry g,
                              EnvParams params) {
  const auto table = deliveredTable();
  BenchFrame f(version, g);
  const RoiRect region{0, 0, g.width, g.height};
  RoiTempStats stats{};
  int32_t minPos[2], maxPos[2];
  const uint32_t size =
      IrdexImageSize(static_cast<uint16_t>(g.width), static_cast<uint16_t>(g.height));
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        GetROITemp(f.frame(), size, table.data(), params, region, &stats, minPos, maxPos));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(f.pixels().size()));
}
BENCHMARK_CAPTURE(BM_GetROITemp_WholeFrame, FirstGen_384x288, 5, kVa320, kDefaults);
BENCHMARK_CAPTURE(BM_GetROITemp_WholeFrame, FirstGen_640x480, 5, kVi640, kDefaults);
BENCHMARK_CAPTURE(BM_GetROITemp_WholeFrame, KsBuiltIn_Adjusted_640x480, 32, kVi640, kAdjusted);
BENCHMARK_CAPTURE(BM_GetROITemp_WholeFrame, KsCalibrated_384x288, 33, kVa320, kAdjusted);
BENCHMARK_CAPTURE(BM_GetROITemp_WholeFrame, KsCalibrated_640x480, 33, kVi640, kAdjusted);

// The region's counts in, the 16-byte record out.
void BM_PeerMemcpy_Region(benchmark::State& state, Geometry g) {
  const std::size_t bytes = static_cast<std::size_t>(g.width) * g.height * 2 + 16;
  std::vector<char> in(bytes, 1), out(bytes);
  for (auto _ : state) {
    std::memcpy(out.data(), in.data(), in.size());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(g.width) * g.height);
}
BENCHMARK_CAPTURE(BM_PeerMemcpy_Region, 384x288, kVa320);
BENCHMARK_CAPTURE(BM_PeerMemcpy_Region, 640x480, kVi640);

}  // namespace

BENCHMARK_MAIN();
