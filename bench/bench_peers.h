// What every suite shares: the two frame sizes, the memory-bandwidth peer and the look-up
// peer.
//
// Labels tell scripts/bench_table.py how to print a row: "vs:<benchmark>" pairs it with a
// peer measured in the same run, "max:<r>" after a pairing is the highest acceptable ratio of
// our time to the peer's, "fps:<n>" is the lowest acceptable frame rate.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace irdex::bench {

struct FrameSize {
  int width, height;
  uint8_t ksModel;  // the KS model of this image size
  int64_t pixels() const { return static_cast<int64_t>(width) * height; }
  std::string name() const { return std::to_string(width) + "x" + std::to_string(height); }
};
inline constexpr FrameSize kSmall{384, 288, 0x20};
inline constexpr FrameSize kLarge{640, 480, 0x21};
inline constexpr FrameSize kSizes[] = {kSmall, kLarge};

// Pieces joined into one name or label.
template <typename... Parts>
std::string concat(const Parts&... parts) {
  std::string result;
  (result.append(parts), ...);
  return result;
}

// A single pass that reads `inBytes` and writes `outBytes` per pixel moves as much memory
// as a memcpy of their mean. Shown for scale only: how far a per-pixel export stays from
// it depends on the machine's caches and memory more than on the export, so it carries no
// limit.
inline std::string memcpyPeer(int inBytes, int outBytes, const FrameSize& size) {
  return "BM_PeerMemcpy/in" + std::to_string(inBytes) + "_out" + std::to_string(outBytes) + "_" +
         size.name();
}

inline void registerMemcpyPeer(int inBytes, int outBytes, const FrameSize& size) {
  const auto bytes = static_cast<std::size_t>(size.pixels() * (inBytes + outBytes) / 2);
  benchmark::RegisterBenchmark(memcpyPeer(inBytes, outBytes, size).c_str(),
                               [bytes](benchmark::State& state) {
                                 std::vector<char> in(bytes, 1), out(bytes);
                                 for (auto _ : state) {
                                   std::memcpy(out.data(), in.data(), bytes);
                                   benchmark::ClobberMemory();
                                 }
                               });
}

// The true floor of a table conversion: one look-up per pixel, out[i] = table[in[i]], with
// the export's own input and output types (so the same loads and stores) and its own input
// image (so the same spread of table entries in the cache). No per-pixel table export can
// do less. Its name carries the types, e.g. "BM_PeerLookup/u16_f32_640x480".
template <typename In, typename Out>
std::string lookupPeer(const FrameSize& size) {
  const std::string in = std::to_string(sizeof(In) * 8);
  const std::string out = std::to_string(sizeof(Out) * 8);
  return concat("BM_PeerLookup/u", in, std::is_floating_point_v<Out> ? "_f" : "_u", out, "_",
                size.name());
}

template <typename In, typename Out>
void registerLookupPeer(const FrameSize& size, std::vector<In> input) {
  benchmark::RegisterBenchmark(lookupPeer<In, Out>(size).c_str(), [input](benchmark::State& state) {
    std::vector<Out> table(std::size_t{1} << (8 * sizeof(In)));
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<Out>(i * 3 + 1);
    std::vector<Out> out(input.size());
    for (auto _ : state) {
      const In* __restrict in = input.data();
      Out* __restrict o = out.data();
      const Out* __restrict t = table.data();
      for (std::size_t i = 0; i < input.size(); ++i) o[i] = t[in[i]];
      benchmark::ClobberMemory();
    }
  });
}

// A pairing with its limit, as the table reads it.
inline std::string versus(const std::string& peer, double maxRatio = 0.0) {
  std::string label = "vs:" + peer;
  if (maxRatio > 0.0) {
    std::string ratio = std::to_string(maxRatio);
    ratio.erase(ratio.find_last_not_of('0') + 1);
    if (ratio.back() == '.') ratio.pop_back();
    label += " max:" + ratio;
  }
  return label;
}

}  // namespace irdex::bench
