// `irdex convert` of a 640 x 480 stream file to a float TIFF and to CSV temperature maps, per
// frame: open, read, convert, format and write, as a batch run does it. The TIFF has to keep
// up with 200 frames/s; the CSV map may cost at most 4x of what it cannot avoid (the
// temperature conversion and one write of the text). Files live in a temporary folder and
// reach the page cache.
#include <benchmark/benchmark.h>
#include <irdex.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "frame_sinks.h"

namespace {

constexpr uint16_t kWidth = 640;
constexpr uint16_t kHeight = 480;
constexpr int32_t kFrames = 16;
// "%.2f" of a temperature and its comma: about seven bytes a value.
constexpr std::size_t kCsvBytes = std::size_t{kWidth} * kHeight * 7;

struct Folder {
  Folder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "irdex-bench-cli-XXXXXX").string();
    if (mkdtemp(pattern.data())) path = pattern;
  }
  ~Folder() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
  std::string path;
};
const Folder& folder() {
  static const Folder instance;
  return instance;
}

uint16_t rawValue(int32_t k, std::size_t i) {
  return static_cast<uint16_t>(7000 + (i * 7 + static_cast<std::size_t>(k) * 131) % 9000);
}

// A KT stream file of kFrames frames, written once through the SDK.
const std::string& streamFile() {
  static const std::string path = [] {
    const std::string name = folder().path + "/in.hxr";
    IRHeader header{};
    header.version = 17;
    header.width = kWidth;
    header.height = kHeight;
    header.emissivity = 0.95f;
    header.atmosphericTemp = 20.0f;
    header.transmission = 1.0f;
    IRHeaderExt ext{};
    ext.camHeader[IRDEX_HEADER_VERSION] = 17;
    ext.camHeader[IRDEX_HEADER_MODEL] = 1;
    IRStreamHandle stream = nullptr;
    SaveIRHeader(&stream, name.c_str(), &header, &ext);
    std::vector<uint16_t> pixels(std::size_t{kWidth} * kHeight);
    uint32_t counter = 0;
    for (int32_t k = 0; k < kFrames; ++k) {
      for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = rawValue(k, i);
      SetIRImageToStream_v2(stream, pixels.data(), static_cast<int32_t>(pixels.size()), 3333,
                            &counter, 17);
    }
    CloseIRStream(stream);
    return name;
  }();
  return path;
}

// One conversion of the whole file; the time is given per frame.
void convertPerFrame(benchmark::State& state, const std::string& output) {
  const std::string input = streamFile();
  for (auto _ : state) {
    std::ostringstream out, err;
    irdexcli::Context context{out, err, nullptr, false};
    const auto started = std::chrono::steady_clock::now();
    const int status = irdexcli::runCli({"convert", input, output, "--quiet"}, context);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (status != 0) {
      state.SkipWithError(err.str().c_str());
      break;
    }
    state.SetIterationTime(seconds / kFrames);
  }
}

void BM_CliConvertTiff(benchmark::State& state) {
  convertPerFrame(state, folder().path + "/out.tiff");
  state.SetLabel("fps:200");
}

void BM_CliConvertCsv(benchmark::State& state) {
  convertPerFrame(state, folder().path + "/map%02d.csv");
  state.SetLabel("vs:BM_PeerRawToTempWrite/640x480/manual_time max:4");
}

// What a CSV map cannot avoid: the conversion of the frame and one write of its text.
void BM_PeerRawToTempWrite(benchmark::State& state) {
  std::vector<float> table(65536);
  GetTempMapTable(table.data(), 0);
  std::vector<uint16_t> pixels(std::size_t{kWidth} * kHeight);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = rawValue(0, i);
  IRFrame frame{};
  frame.pixels = pixels.data();
  frame.pixelCapacity = static_cast<uint32_t>(pixels.size());
  frame.header.bytes[IRDEX_HEADER_VERSION] = 17;
  frame.header.bytes[IRDEX_HEADER_MODEL] = 1;
  std::vector<float> temperatures(pixels.size());
  const std::string text(kCsvBytes, '1');
  const std::string path = folder().path + "/peer.csv";
  for (auto _ : state) {
    const auto started = std::chrono::steady_clock::now();
    GetRawToTemp(&frame, IrdexImageSize(kWidth, kHeight), table.data(),
                 EnvParams{0.95f, 20.0f, 1.0f, 0.0f}, temperatures.data());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    benchmark::DoNotOptimize(temperatures.data());
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
  }
}

BENCHMARK(BM_CliConvertTiff)->Name("BM_CliConvertTiff/640x480")->UseManualTime();

// The CSV rows exist where the tool has the analyzer's temperature-map writer.
const bool kCsvRegistered = [] {
  if (!irdexcli::temperatureMapsAvailable()) return false;
  benchmark::RegisterBenchmark("BM_CliConvertCsv/640x480", BM_CliConvertCsv)->UseManualTime();
  benchmark::RegisterBenchmark("BM_PeerRawToTempWrite/640x480", BM_PeerRawToTempWrite)
      ->UseManualTime();
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
