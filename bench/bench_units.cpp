// Unit conversion of a whole 640 x 480 temperature map, beside a memcpy of the same bytes
// (the memory-bandwidth limit of a single pass).
#include <benchmark/benchmark.h>
#include <irdex.h>

#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kPixels = 640 * 480;

void BM_ConvertCelsToFah_640x480(benchmark::State& state) {
  std::vector<float> in(kPixels), out(kPixels);
  for (std::size_t i = 0; i < kPixels; ++i) in[i] = static_cast<float>(i % 400) - 40.0f;
  for (auto _ : state) {
    for (std::size_t i = 0; i < kPixels; ++i) out[i] = ConvertCelsToFah(in[i]);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetLabel("vs:BM_PeerMemcpy_640x480_floats");
}
BENCHMARK(BM_ConvertCelsToFah_640x480);

void BM_PeerMemcpy_640x480_floats(benchmark::State& state) {
  std::vector<float> in(kPixels, 1.0f), out(kPixels);
  for (auto _ : state) {
    std::memcpy(out.data(), in.data(), kPixels * sizeof(float));
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_PeerMemcpy_640x480_floats);

}  // namespace

BENCHMARK_MAIN();
