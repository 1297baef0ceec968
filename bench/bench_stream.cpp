// Recording and playing 640 x 481 frames (a 640 x 480 image and the extra row) through the
// stream exports, beside plain write()/read() of the same bytes: the cost of the library
// over the system calls it has to make anyway. Items per second are frames per second.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <irdex.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int32_t kImagePixels = 640 * 480;
constexpr std::size_t kFramePixels = 640 * 481;
constexpr int32_t kVersion = 32;
constexpr std::size_t kStreamFrameBytes = 2 * (kImagePixels + 2 * 640);  // head + pixels
constexpr std::size_t kContainerFrameBytes = sizeof(HXRFrame) + 2 * kFramePixels;
constexpr int kFramesPerFile = 400;  // well below the size and count limits
constexpr int kPlaybackFrames = 64;

// One temporary folder for the whole run, removed at exit.
struct Folder {
  Folder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "irdex-bench-stream-XXXXXX").string();
    if (mkdtemp(pattern.data())) path = pattern;
  }
  ~Folder() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
  std::string file(const char* name) const { return path + "/" + name; }
  std::string path;
};
const Folder& folder() {
  static const Folder instance;
  return instance;
}

std::vector<uint16_t> scene(int frame) {
  std::vector<uint16_t> pixels(kFramePixels);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = static_cast<uint16_t>(7000 + (i % 640) * 3 + (i / 640) + frame * 11);
  }
  return pixels;
}

IRStreamHandle newRecording(const std::string& name) {
  IRHeader header{};
  header.version = kVersion;
  header.width = 640;
  header.height = 480;
  IRHeaderExt ext{};
  IRStreamHandle stream = nullptr;
  SaveIRHeader(&stream, name.c_str(), &header, &ext);
  return stream;
}

void BM_StreamWrite_640x481(benchmark::State& state) {
  const std::string name = folder().file("write.hxr");
  const auto pixels = scene(1);
  IRStreamHandle stream = newRecording(name);
  uint32_t counter = 0;
  for (auto _ : state) {
    if (counter == kFramesPerFile) {
      state.PauseTiming();
      CloseIRStream(stream);
      stream = newRecording(name);
      counter = 0;
      state.ResumeTiming();
    }
    if (SetIRImageToStream_v2(stream, pixels.data(), kImagePixels, 33, &counter, kVersion) !=
        SDK_SUCCESS) {
      state.SkipWithError("frame not written");
      break;
    }
  }
  CloseIRStream(stream);
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kStreamFrameBytes));
}
BENCHMARK(BM_StreamWrite_640x481);

void BM_StreamRead_640x481(benchmark::State& state) {
  const std::string name = folder().file("read.hxr");
  {
    IRStreamHandle stream = newRecording(name);
    uint32_t counter = 0;
    for (int k = 0; k < kPlaybackFrames; ++k) {
      const auto pixels = scene(k);
      SetIRImageToStream_v2(stream, pixels.data(), kImagePixels, 33, &counter, kVersion);
    }
    CloseIRStream(stream);
  }
  IRStreamHandle stream = nullptr;
  int32_t length = 0;
  LoadIRImage(&stream, name.c_str(), &length);
  std::vector<uint16_t> pixels(kFramePixels);
  int32_t offset = 1022, timing = 0;
  int64_t stamp = 0;
  for (auto _ : state) {
    if (GetIRImageFromStream_v2(stream, pixels.data(), kImagePixels, length, &offset, &timing,
                                &stamp, 1, kVersion) != SDK_SUCCESS) {
      state.SkipWithError("frame not read");
      break;
    }
    benchmark::DoNotOptimize(pixels.data());
  }
  CloseIRStream(stream);
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kStreamFrameBytes));
}
BENCHMARK(BM_StreamRead_640x481);

IRStreamHandle newContainer(const std::string& name) {
  HXRFileHeader header{};
  header.width = 640;
  header.height = 481;
  IRStreamHandle stream = nullptr;
  HXRFileOpen(&stream, name.c_str(), 1, &header);
  return stream;
}

std::vector<uint8_t> containerFrame(int frame) {
  std::vector<uint8_t> buffer(kContainerFrameBytes);
  auto* head = reinterpret_cast<HXRFrame*>(buffer.data());
  head->pixelCount = kFramePixels;
  const auto pixels = scene(frame);
  std::memcpy(buffer.data() + sizeof(HXRFrame), pixels.data(), 2 * kFramePixels);
  return buffer;
}

void BM_ContainerAppend_640x481(benchmark::State& state) {
  const std::string name = folder().file("append.hxr");
  auto buffer = containerFrame(1);
  auto* frame = reinterpret_cast<HXRFrame*>(buffer.data());
  IRStreamHandle stream = newContainer(name);
  for (auto _ : state) {
    if (frame->frameNumber == kFramesPerFile) {
      state.PauseTiming();
      CloseIRStream(stream);
      stream = newContainer(name);
      frame->frameNumber = 0;
      state.ResumeTiming();
    }
    if (AppendNewFrame(stream, frame, 1) != SDK_SUCCESS) {
      state.SkipWithError("frame not appended");
      break;
    }
  }
  CloseIRStream(stream);
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kContainerFrameBytes));
}
BENCHMARK(BM_ContainerAppend_640x481);

void BM_ContainerQueryNext_640x481(benchmark::State& state) {
  const std::string name = folder().file("query.hxr");
  {
    IRStreamHandle stream = newContainer(name);
    auto buffer = containerFrame(1);
    for (int k = 0; k < kPlaybackFrames; ++k) {
      AppendNewFrame(stream, reinterpret_cast<HXRFrame*>(buffer.data()), 1);
    }
    CloseIRStream(stream);
  }
  HXRFileHeader header{};
  IRStreamHandle stream = nullptr;
  HXRFileOpen(&stream, name.c_str(), 0, &header);
  std::vector<uint8_t> buffer(kContainerFrameBytes);
  auto* frame = reinterpret_cast<HXRFrame*>(buffer.data());
  for (auto _ : state) {
    if (QueryFrame(stream, header, frame, 0, 3, 1) != SDK_SUCCESS) {
      state.SkipWithError("frame not read");
      break;
    }
    benchmark::DoNotOptimize(buffer.data());
  }
  CloseIRStream(stream);
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kContainerFrameBytes));
}
BENCHMARK(BM_ContainerQueryNext_640x481);

// The peer: the same frame bytes with one write() or read() each, no format at all.
void BM_PeerWrite_640x481(benchmark::State& state) {
  const std::string name = folder().file("peer-write.bin");
  std::vector<uint8_t> bytes(kStreamFrameBytes, 0x5A);
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  int frames = 0;
  for (auto _ : state) {
    if (frames == kFramesPerFile) {
      state.PauseTiming();
      ::ftruncate(fd, 0);
      ::lseek(fd, 0, SEEK_SET);
      frames = 0;
      state.ResumeTiming();
    }
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      state.SkipWithError("write failed");
      break;
    }
    ++frames;
  }
  ::close(fd);
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kStreamFrameBytes));
}
BENCHMARK(BM_PeerWrite_640x481);

void BM_PeerRead_640x481(benchmark::State& state) {
  const std::string name = folder().file("peer-read.bin");
  std::vector<uint8_t> bytes(kStreamFrameBytes, 0x5A);
  int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
  for (int k = 0; k < kPlaybackFrames; ++k) {
    if (::write(fd, bytes.data(), bytes.size()) < 0) break;
  }
  int frame = 0;
  for (auto _ : state) {
    const auto at = static_cast<off_t>(frame * kStreamFrameBytes);
    if (::pread(fd, bytes.data(), bytes.size(), at) != static_cast<ssize_t>(bytes.size())) {
      state.SkipWithError("read failed");
      break;
    }
    frame = (frame + 1) % kPlaybackFrames;
    benchmark::DoNotOptimize(bytes.data());
  }
  ::close(fd);
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kStreamFrameBytes));
}
BENCHMARK(BM_PeerRead_640x481);

}  // namespace

BENCHMARK_MAIN();
