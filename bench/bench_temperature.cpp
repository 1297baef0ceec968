// Temperature conversion of whole frames for every generation, with the analyzer's default
// parameters and with others; the KS smoothing; region statistics over the whole frame.
// Conversions beside a plain look-up loop of the same types over the same image, the
// smoothing beside OpenCV's 3 x 3 box filter, the corrected version-32 conversion also beside
// the uncorrected one; each beside a memcpy of the same bytes for scale.
#include <benchmark/benchmark.h>
#include <irdex.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#ifdef IRDEX_HAVE_OPENCV
#include <opencv2/imgproc.hpp>
#endif

#include "bench_peers.h"
#include "records/byte_order.h"

namespace {

using irdex::bench::concat;
using irdex::bench::FrameSize;
using irdex::bench::kSizes;
using irdex::bench::memcpyPeer;
using irdex::bench::versus;

constexpr EnvParams kDefaults{0.95f, 20.0f, 1.0f, 0.0f};
constexpr EnvParams kAdjusted{0.8f, 25.0f, 0.9f, 0.0f};
// A conversion reads one per-count table entry per pixel, so a plain look-up loop over the
// same image is its floor.
constexpr double kLookupLimit = 1.5;
// The smoothing beside OpenCV's 3 x 3 box filter of the same 16-bit image.
constexpr double kOpenCvLimit = 1.5;
// Corrected version 32 may take at most twice the uncorrected time.
constexpr double kCorrectionLimit = 2.0;

struct Generation {
  const char* name;
  uint8_t version;
};
constexpr Generation kGenerations[] = {
    {"FirstGen", 5}, {"Kt", 20}, {"KsBuiltIn", 32}, {"KsCalibrated", 33}};

std::vector<float> deliveredTable() {
  std::vector<float> table(65536);
  if (GetTempMapTable(table.data(), 0) != SDK_SUCCESS) {
    for (int i = 0; i < 65536; ++i) table[i] = static_cast<float>(i) * 0.01f - 40.0f;
  }
  return table;
}

// Counts of a plausible scene: 4000 .. 12000 with noise.
std::vector<uint16_t> scene(const FrameSize& size) {
  std::mt19937 random(42);
  std::vector<uint16_t> pixels(static_cast<std::size_t>(size.pixels()));
  for (std::size_t k = 0; k < pixels.size(); ++k)
    pixels[k] = static_cast<uint16_t>(4000 + (k * 7) % 8000 + random() % 16);
  return pixels;
}

// A frame of the given header version over the scene, holding a KS slot from version 33 on.
class BenchFrame {
 public:
  BenchFrame(uint8_t version, const FrameSize& size) : pixels_(scene(size)), frame_{} {
    uint8_t* h = frame_.header.bytes;
    h[IRDEX_HEADER_VERSION] = version;
    h[IRDEX_HEADER_MODEL] = version >= 32 ? size.ksModel : (version >= 17 ? 1 : 0);
    frame_.pixels = pixels_.data();
    frame_.pixelCapacity = static_cast<uint32_t>(pixels_.size());
    // Range 0 calibrated: -20.0 degrees at count 2000 to 120.0 at 14000.
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
  IRFrame* frame() { return &frame_; }
  const std::vector<uint16_t>& pixels() const { return pixels_; }

 private:
  std::vector<uint16_t> pixels_;
  IRFrame frame_;
};

uint32_t packedSize(const FrameSize& size) {
  return IrdexImageSize(static_cast<uint16_t>(size.width), static_cast<uint16_t>(size.height));
}

void rawToTemp(benchmark::State& state, uint8_t version, FrameSize size, EnvParams params) {
  const auto table = deliveredTable();
  BenchFrame f(version, size);
  std::vector<float> out(f.pixels().size());
  for (auto _ : state) {
    if (GetRawToTemp(f.frame(), packedSize(size), table.data(), params, out.data()) !=
        SDK_SUCCESS) {
      state.SkipWithError("conversion failed");
      break;
    }
    benchmark::ClobberMemory();
  }
}

void loadKs(benchmark::State& state, FrameSize size) {
  BenchFrame f(33, size);
  for (auto _ : state) {
    if (LoadIRCamDataKS(f.frame(), f.pixels().data(), static_cast<int32_t>(size.pixels())) !=
        SDK_SUCCESS) {
      state.SkipWithError("no KS slot");
      break;
    }
    benchmark::ClobberMemory();
  }
}

#ifdef IRDEX_HAVE_OPENCV
// The same 3 x 3 mean with the same clamp-to-edge border (OpenCV rounds where the smoothing
// truncates, which costs the same).
void cvBlur3x3(benchmark::State& state, FrameSize size) {
  std::vector<uint16_t> pixels = scene(size);
  const cv::Mat in(size.height, size.width, CV_16UC1, pixels.data());
  cv::Mat out(size.height, size.width, CV_16UC1);
  for (auto _ : state) {
    cv::blur(in, out, cv::Size(3, 3), cv::Point(-1, -1), cv::BORDER_REPLICATE);
    benchmark::ClobberMemory();
  }
}
#endif

void wholeFrameRegion(benchmark::State& state, uint8_t version, FrameSize size, EnvParams params) {
  const auto table = deliveredTable();
  BenchFrame f(version, size);
  const RoiRect region{0, 0, size.width, size.height};
  RoiTempStats stats{};
  int32_t minPos[2], maxPos[2];
  for (auto _ : state) {
    if (GetROITemp(f.frame(), packedSize(size), table.data(), params, region, &stats, minPos,
                   maxPos) != SDK_SUCCESS) {
      state.SkipWithError("statistics failed");
      break;
    }
    benchmark::ClobberMemory();
  }
}

void registerAll() {
  for (const FrameSize& size : kSizes) {
    // Counts in (2 bytes), temperatures out (4 bytes).
    const std::string conversionPeer =
        concat(versus(irdex::bench::lookupPeer<uint16_t, float>(size), kLookupLimit), " ",
               versus(memcpyPeer(2, 4, size)));
    for (const Generation& g : kGenerations) {
      for (const bool adjusted : {false, true}) {
        const std::string name =
            concat("BM_GetRawToTemp/", g.name, adjusted ? "_Adjusted_" : "_Default_", size.name());
        std::string label = conversionPeer;
        if (adjusted && g.version == 32)
          label = concat(label, " ",
                         versus(concat("BM_GetRawToTemp/", g.name, "_Default_", size.name()),
                                kCorrectionLimit));
        const uint8_t version = g.version;
        const EnvParams params = adjusted ? kAdjusted : kDefaults;
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
          rawToTemp(state, version, size, params);
          state.SetLabel(label);
        });
      }
    }
    irdex::bench::registerMemcpyPeer(2, 4, size);
    irdex::bench::registerLookupPeer<uint16_t, float>(size, scene(size));

#ifdef IRDEX_HAVE_OPENCV
    const std::string smoothingPeer =
        concat(versus(concat("BM_PeerCvBlur3x3_16U/", size.name()), kOpenCvLimit), " ",
               versus(memcpyPeer(2, 2, size)));
    benchmark::RegisterBenchmark(concat("BM_PeerCvBlur3x3_16U/", size.name()).c_str(),
                                 [=](benchmark::State& state) { cvBlur3x3(state, size); });
#else
    const std::string smoothingPeer = versus(memcpyPeer(2, 2, size));
#endif
    benchmark::RegisterBenchmark(concat("BM_LoadIRCamDataKS/", size.name()).c_str(),
                                 [=](benchmark::State& state) {
                                   loadKs(state, size);
                                   state.SetLabel(smoothingPeer);
                                 });
    irdex::bench::registerMemcpyPeer(2, 2, size);

    // Counts in, a 16-byte record out: next to nothing written. Region statistics are not
    // a single pass (versions up to 32 walk the region twice by definition, mean first and
    // then the deviation, and every path tracks the extremes' positions), so the memcpy is
    // shown for scale without a limit.
    const std::string regionPeer = memcpyPeer(2, 0, size);
    for (const Generation& g : kGenerations) {
      for (const bool adjusted : {false, true}) {
        const std::string name = concat("BM_GetROITemp_WholeFrame/", g.name,
                                        adjusted ? "_Adjusted_" : "_Default_", size.name());
        const std::string label = versus(regionPeer);
        const uint8_t version = g.version;
        const EnvParams params = adjusted ? kAdjusted : kDefaults;
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
          wholeFrameRegion(state, version, size, params);
          state.SetLabel(label);
        });
      }
    }
    irdex::bench::registerMemcpyPeer(2, 0, size);
  }
}

}  // namespace

int main(int argc, char** argv) {
  registerAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
