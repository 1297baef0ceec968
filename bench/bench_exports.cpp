// The analyzer's exports at 640 x 480: a radiometric snapshot written and read back, a CSV
// temperature map, and a movie being appended to, each beside the work it cannot avoid.
// Files go to a temporary folder and reach the page cache, as exports during a live view do.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <irdex.h>
#include <stdlib.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench_peers.h"
#include "export/frame_temperatures.h"
#include "export/movie_writer.h"
#include "export/temperature_map.h"
#include "export/video_codecs.h"
#include "snapshot/snapshot.h"

namespace {

using irdex::bench::concat;
using irdex::bench::FrameSize;
using irdex::bench::kLarge;
using irdex::bench::versus;

// The IR segments may add this much to compressing the picture alone.
constexpr double kSnapshotOverhead = 1.3;
// Formatting a map may cost this much over converting it and writing the same bytes.
constexpr double kTempMapOverhead = 4.0;
constexpr int kMovieRate = 30;

struct Folder {
  Folder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "irdex-bench-exports-XXXXXX").string();
    if (mkdtemp(pattern.data())) path = pattern;
  }
  ~Folder() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
  std::string file(const std::string& name) const { return path + "/" + name; }
  std::string path;
};
const Folder& folder() {
  static const Folder instance;
  return instance;
}

// A rendered view: smooth warm and cold regions with a little noise, 32-bit B, G, R, X.
std::vector<uint8_t> viewPicture(const FrameSize& size) {
  std::vector<uint8_t> bytes(static_cast<std::size_t>(size.pixels()) * 4);
  uint32_t noise = 12345;
  for (int y = 0; y < size.height; ++y) {
    for (int x = 0; x < size.width; ++x) {
      noise = noise * 1103515245u + 12345u;
      const double warm =
          std::exp(-((x - 200.0) * (x - 200.0) + (y - 240.0) * (y - 240.0)) / 9000.0);
      const int v = static_cast<int>(warm * 200.0 + y * 0.1) + static_cast<int>((noise >> 28) & 3);
      uint8_t* p = bytes.data() + (static_cast<std::size_t>(y) * size.width + x) * 4;
      p[0] = static_cast<uint8_t>(255 - v);
      p[1] = static_cast<uint8_t>(v / 2);
      p[2] = static_cast<uint8_t>(v);
      p[3] = 0xFF;
    }
  }
  return bytes;
}

std::vector<uint16_t> rawFrame(const FrameSize& size) {
  std::vector<uint16_t> pixels(static_cast<std::size_t>(size.pixels()));
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = static_cast<uint16_t>(7000 + (i % size.width) * 3 + (i / size.width) * 2);
  }
  return pixels;
}

snapshot::IrData irData(const FrameSize& size) {
  snapshot::IrData ir;
  ir.info[0] = static_cast<uint8_t>(size.width);
  ir.info[1] = static_cast<uint8_t>(size.width >> 8);
  ir.info[2] = static_cast<uint8_t>(size.height);
  ir.info[3] = static_cast<uint8_t>(size.height >> 8);
  ir.camHeader[snapshot::kCamHeaderVersionAt] = 17;
  ir.pixels = rawFrame(size);
  return ir;
}

snapshot::Picture pictureOf(const std::vector<uint8_t>& bytes, const FrameSize& size) {
  return snapshot::Picture{size.width, size.height, size.width * 4, snapshot::PixelFormat::Bgrx,
                           bytes};
}

void registerSnapshot(const FrameSize& size) {
  const std::string peer = concat("BM_PeerTurboJpegCompress/", size.name());
  const std::string readPeer = concat("BM_PeerReadSnapshotBytes/", size.name());
  const std::string writePeer = concat("BM_PeerCompressAndWriteSnapshotBytes/", size.name());
  benchmark::RegisterBenchmark(
      concat("BM_SnapshotWrite/", size.name()).c_str(), [=](benchmark::State& state) {
        const auto bytes = viewPicture(size);
        const auto ir = irData(size);
        // Every snapshot the analyzer takes gets a name of its own (the time is in it), so
        // each write here makes a new file; the files are removed outside the timing.
        int n = 0;
        for (auto _ : state) {
          const std::string path = folder().file("write-" + std::to_string(n++) + ".jpg");
          const auto result = snapshot::writeSnapshotFile(path, pictureOf(bytes, size), &ir);
          if (!result.irInserted) state.SkipWithError("snapshot not written");
          if (n % 64 == 0) {
            state.PauseTiming();
            for (int i = n - 64; i < n; ++i)
              ::unlink(folder().file("write-" + std::to_string(i) + ".jpg").c_str());
            state.ResumeTiming();
          }
        }
        state.SetLabel(versus(peer, kSnapshotOverhead) + " " +
                       versus(writePeer, kSnapshotOverhead));
      });
  // The IR segments alone, without the file: encoding and inserting them into memory.
  benchmark::RegisterBenchmark(
      concat("BM_SnapshotEncodeWithIr/", size.name()).c_str(), [=](benchmark::State& state) {
        const auto bytes = viewPicture(size);
        const auto ir = irData(size);
        for (auto _ : state) {
          const auto file =
              snapshot::insertIrSegments(snapshot::encodeJpeg(pictureOf(bytes, size)), ir);
          if (file.empty()) state.SkipWithError("segments not inserted");
          benchmark::DoNotOptimize(file.data());
        }
        state.SetLabel(versus(peer, kSnapshotOverhead));
      });
  // Compressing and then writing the same snapshot bytes with one write(): what any
  // snapshot file of this size costs, without the temporary file and the rename.
  benchmark::RegisterBenchmark(writePeer.c_str(), [=](benchmark::State& state) {
    const auto bytes = viewPicture(size);
    const auto ir = irData(size);
    const auto file = snapshot::insertIrSegments(snapshot::encodeJpeg(pictureOf(bytes, size)), ir);
    tjhandle handle = tjInitCompress();
    int n = 0;
    for (auto _ : state) {
      const std::string path = folder().file("write-peer-" + std::to_string(n++) + ".jpg");
      unsigned char* jpeg = nullptr;
      unsigned long jpegSize = 0;
      tjCompress2(handle, bytes.data(), size.width, size.width * 4, size.height, TJPF_BGRX, &jpeg,
                  &jpegSize, TJSAMP_420, snapshot::kDefaultQuality, 0);
      const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      benchmark::DoNotOptimize(::write(fd, file.data(), file.size()));
      ::close(fd);
      tjFree(jpeg);
      if (n % 64 == 0) {
        state.PauseTiming();
        for (int i = n - 64; i < n; ++i)
          ::unlink(folder().file("write-peer-" + std::to_string(i) + ".jpg").c_str());
        state.ResumeTiming();
      }
    }
    tjDestroy(handle);
  });
  benchmark::RegisterBenchmark(peer.c_str(), [=](benchmark::State& state) {
    const auto bytes = viewPicture(size);
    tjhandle handle = tjInitCompress();
    for (auto _ : state) {
      unsigned char* jpeg = nullptr;
      unsigned long jpegSize = 0;
      tjCompress2(handle, bytes.data(), size.width, size.width * 4, size.height, TJPF_BGRX, &jpeg,
                  &jpegSize, TJSAMP_420, snapshot::kDefaultQuality, 0);
      benchmark::DoNotOptimize(jpeg);
      tjFree(jpeg);
    }
    tjDestroy(handle);
  });

  benchmark::RegisterBenchmark(concat("BM_SnapshotRead/", size.name()).c_str(),
                               [=](benchmark::State& state) {
                                 const std::string path = folder().file("read.jpg");
                                 const auto bytes = viewPicture(size);
                                 const auto ir = irData(size);
                                 snapshot::writeSnapshotFile(path, pictureOf(bytes, size), &ir);
                                 for (auto _ : state) {
                                   const auto result = snapshot::readSnapshotFile(path);
                                   if (!result.ok()) state.SkipWithError("snapshot not read");
                                   benchmark::DoNotOptimize(result.data.pixels.data());
                                 }
                                 state.SetLabel(versus(peer) + " " + versus(readPeer));
                               });
  benchmark::RegisterBenchmark(readPeer.c_str(), [=](benchmark::State& state) {
    const std::string path = folder().file("read-peer.jpg");
    const auto bytes = viewPicture(size);
    const auto ir = irData(size);
    snapshot::writeSnapshotFile(path, pictureOf(bytes, size), &ir);
    const auto fileSize = std::filesystem::file_size(path);
    for (auto _ : state) {
      std::vector<uint8_t> file(fileSize);
      const int fd = ::open(path.c_str(), O_RDONLY);
      benchmark::DoNotOptimize(::read(fd, file.data(), file.size()));
      ::close(fd);
      benchmark::DoNotOptimize(file.data());
    }
  });
}

void registerTemperatureMap(const FrameSize& size) {
  auto table = std::make_shared<std::vector<float>>(65536);
  if (GetTempMapTable(table->data(), 0) != SDK_SUCCESS) return;
  solvane::exports::KtFrameCopy frame;
  frame.width = static_cast<uint16_t>(size.width);
  frame.height = static_cast<uint16_t>(size.height);
  frame.pixels = rawFrame(size);
  frame.header[4] = 17;
  frame.table = table;
  const std::string peer = concat("BM_PeerRawToTempAndFwrite/", size.name());

  benchmark::RegisterBenchmark(
      concat("BM_TemperatureMapExport/", size.name()).c_str(), [=](benchmark::State& state) {
        const std::string path = folder().file("map.csv");
        for (auto _ : state) {
          const auto temperatures = solvane::exports::temperaturesOf(frame);
          if (solvane::exports::writeTemperatureMap(path, temperatures, size.width, size.height) !=
              solvane::exports::TempMapOutcome::Written) {
            state.SkipWithError("map not written");
          }
          ::unlink(path.c_str());
        }
        state.SetLabel(versus(peer, kTempMapOverhead));
      });
  benchmark::RegisterBenchmark(peer.c_str(), [=](benchmark::State& state) {
    // The same bytes the export writes, formatted once outside the loop.
    const std::string text = solvane::exports::formatTemperatureMap(
        solvane::exports::temperaturesOf(frame), size.width, size.height);
    const std::string path = folder().file("map-peer.csv");
    for (auto _ : state) {
      const auto temperatures = solvane::exports::temperaturesOf(frame);
      benchmark::DoNotOptimize(temperatures.data());
      std::FILE* file = std::fopen(path.c_str(), "w");
      std::fwrite(text.data(), 1, text.size(), file);
      std::fclose(file);
      ::unlink(path.c_str());
    }
  });
}

void registerMovie(const FrameSize& size) {
  const auto codecs = solvane::exports::availableVideoCodecs();
  const int index = solvane::exports::defaultCodecIndex(codecs, -1);
  if (index < 0) return;
  const std::string fourcc = codecs[static_cast<std::size_t>(index)].fourcc;
  benchmark::RegisterBenchmark(
      concat("BM_MovieAppend_", fourcc, "/", size.name()).c_str(), [=](benchmark::State& state) {
        const auto bytes = viewPicture(size);
        solvane::exports::MovieWriter writer;
        writer.open(folder().file("movie.avi"), fourcc, 1, kMovieRate, 10000);
        for (auto _ : state) {
          if (!writer.appendFrame(
                  solvane::exports::MovieFrame{size.width, size.height, size.width * 4, bytes})) {
            state.SkipWithError(writer.lastError().c_str());
            break;
          }
        }
        writer.close();
        state.SetLabel(concat("fps:", std::to_string(kMovieRate)));
      });
}

}  // namespace

int main(int argc, char** argv) {
  registerSnapshot(kLarge);
  registerTemperatureMap(kLarge);
  registerMovie(kLarge);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
