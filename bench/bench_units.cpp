// Unit conversion of whole temperature maps, one export call per value as the programs make
// it, beside a memcpy of the same bytes (the memory-bandwidth limit of a single pass). The
// call per value is the cost here, so the row is shown for scale without a limit.
#include <benchmark/benchmark.h>
#include <irdex.h>

#include <string>
#include <vector>

#include "bench_peers.h"

namespace {

using irdex::bench::FrameSize;

void registerAll() {
  for (const FrameSize& size : irdex::bench::kSizes) {
    const std::string peer = irdex::bench::memcpyPeer(4, 4, size);
    benchmark::RegisterBenchmark(("BM_ConvertCelsToFah/" + size.name()).c_str(),
                                 [size, peer](benchmark::State& state) {
                                   const auto pixels = static_cast<std::size_t>(size.pixels());
                                   std::vector<float> in(pixels), out(pixels);
                                   for (std::size_t i = 0; i < pixels; ++i)
                                     in[i] = static_cast<float>(i % 400) - 40.0f;
                                   for (auto _ : state) {
                                     for (std::size_t i = 0; i < pixels; ++i)
                                       out[i] = ConvertCelsToFah(in[i]);
                                     benchmark::ClobberMemory();
                                   }
                                   state.SetLabel(irdex::bench::versus(peer));
                                 });
    irdex::bench::registerMemcpyPeer(4, 4, size);
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
