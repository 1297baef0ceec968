// Recording and playing frames of 384 x 289 and 640 x 481 (the image and the extra row)
// through both HXR forms, beside plain write()/read() of the same bytes: the cost of the
// library over the system calls it has to make anyway. The files live in a temporary folder
// and reach the page cache, as a recording does while the camera runs.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <irdex.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_peers.h"

namespace {

using irdex::bench::FrameSize;
using irdex::bench::versus;

constexpr int32_t kVersion = 32;
constexpr int kFramesPerFile = 400;  // well below the size and count limits
constexpr int kPlaybackFrames = 64;
// The recorder must keep up with this many frames per second, and playback with recording.
constexpr double kRecordingRate = 200.0;

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
  std::string file(const std::string& name) const { return path + "/" + name; }
  std::string path;
};
const Folder& folder() {
  static const Folder instance;
  return instance;
}

// A frame as recorded: the image and one extra row.
struct Recorded {
  FrameSize size;
  int32_t imagePixels() const { return size.width * size.height; }
  std::size_t framePixels() const {
    return static_cast<std::size_t>(size.width) * (size.height + 1);
  }
  std::string name() const {
    return std::to_string(size.width) + "x" + std::to_string(size.height + 1);
  }
  std::size_t containerFrameBytes() const { return sizeof(HXRFrame) + 2 * framePixels(); }
};

std::vector<uint16_t> scene(const Recorded& r, int frame) {
  std::vector<uint16_t> pixels(r.framePixels());
  const auto w = static_cast<std::size_t>(r.size.width);
  for (std::size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = static_cast<uint16_t>(7000 + (i % w) * 3 + (i / w) + frame * 11);
  return pixels;
}

IRStreamHandle newRecording(const std::string& name, const Recorded& r) {
  IRHeader header{};
  header.version = kVersion;
  header.width = static_cast<uint16_t>(r.size.width);
  header.height = static_cast<uint16_t>(r.size.height);
  IRHeaderExt ext{};
  IRStreamHandle stream = nullptr;
  SaveIRHeader(&stream, name.c_str(), &header, &ext);
  return stream;
}

off_t fileSize(const std::string& name) {
  struct stat info {};
  return ::stat(name.c_str(), &info) == 0 ? info.st_size : 0;
}

// What one frame adds to a stream file, measured rather than assumed: the size of a
// recording of two frames less that of one frame.
std::size_t streamFrameBytes(const Recorded& r) {
  const std::string name = folder().file("measure-" + r.name() + ".hxr");
  const auto pixels = scene(r, 0);
  off_t sizes[2] = {0, 0};
  for (int frames = 1; frames <= 2; ++frames) {
    IRStreamHandle stream = newRecording(name, r);
    uint32_t counter = 0;
    for (int k = 0; k < frames; ++k)
      SetIRImageToStream_v2(stream, pixels.data(), r.imagePixels(), 33, &counter, kVersion);
    CloseIRStream(stream);
    sizes[frames - 1] = fileSize(name);
  }
  std::filesystem::remove(name);
  return sizes[1] > sizes[0] ? static_cast<std::size_t>(sizes[1] - sizes[0]) : 2 * r.framePixels();
}

void streamWrite(benchmark::State& state, const Recorded& r) {
  const std::string name = folder().file("write-" + r.name() + ".hxr");
  const auto pixels = scene(r, 1);
  IRStreamHandle stream = newRecording(name, r);
  uint32_t counter = 0;
  for (auto _ : state) {
    if (counter == kFramesPerFile) {
      state.PauseTiming();
      CloseIRStream(stream);
      stream = newRecording(name, r);
      counter = 0;
      state.ResumeTiming();
    }
    if (SetIRImageToStream_v2(stream, pixels.data(), r.imagePixels(), 33, &counter, kVersion) !=
        SDK_SUCCESS) {
      state.SkipWithError("frame not written");
      break;
    }
  }
  CloseIRStream(stream);
}

void streamRead(benchmark::State& state, const Recorded& r) {
  const std::string name = folder().file("read-" + r.name() + ".hxr");
  {
    IRStreamHandle stream = newRecording(name, r);
    uint32_t counter = 0;
    for (int k = 0; k < kPlaybackFrames; ++k) {
      const auto pixels = scene(r, k);
      SetIRImageToStream_v2(stream, pixels.data(), r.imagePixels(), 33, &counter, kVersion);
    }
    CloseIRStream(stream);
  }
  IRStreamHandle stream = nullptr;
  int32_t length = 0;
  if (LoadIRImage(&stream, name.c_str(), &length) != SDK_SUCCESS) {
    state.SkipWithError("recording not opened");
    return;
  }
  std::vector<uint16_t> pixels(r.framePixels());
  int32_t offset = 1022, timing = 0;
  int64_t stamp = 0;
  for (auto _ : state) {
    // Wrapping at the end, as playback in a loop does.
    if (GetIRImageFromStream_v2(stream, pixels.data(), r.imagePixels(), length, &offset, &timing,
                                &stamp, 1, kVersion) != SDK_SUCCESS) {
      state.SkipWithError("frame not read");
      break;
    }
    benchmark::DoNotOptimize(pixels.data());
  }
  CloseIRStream(stream);
}

IRStreamHandle newContainer(const std::string& name, const Recorded& r) {
  HXRFileHeader header{};
  header.width = static_cast<uint16_t>(r.size.width);
  header.height = static_cast<uint16_t>(r.size.height + 1);
  IRStreamHandle stream = nullptr;
  HXRFileOpen(&stream, name.c_str(), 1, &header);
  return stream;
}

std::vector<uint8_t> containerFrame(const Recorded& r, int frame) {
  std::vector<uint8_t> buffer(r.containerFrameBytes());
  auto* head = reinterpret_cast<HXRFrame*>(buffer.data());
  head->pixelCount = static_cast<uint32_t>(r.framePixels());
  const auto pixels = scene(r, frame);
  std::memcpy(buffer.data() + sizeof(HXRFrame), pixels.data(), 2 * r.framePixels());
  return buffer;
}

void containerAppend(benchmark::State& state, const Recorded& r) {
  const std::string name = folder().file("append-" + r.name() + ".hxr");
  auto buffer = containerFrame(r, 1);
  auto* frame = reinterpret_cast<HXRFrame*>(buffer.data());
  IRStreamHandle stream = newContainer(name, r);
  for (auto _ : state) {
    if (frame->frameNumber == kFramesPerFile) {
      state.PauseTiming();
      CloseIRStream(stream);
      stream = newContainer(name, r);
      frame->frameNumber = 0;
      state.ResumeTiming();
    }
    if (AppendNewFrame(stream, frame, 1) != SDK_SUCCESS) {
      state.SkipWithError("frame not appended");
      break;
    }
  }
  CloseIRStream(stream);
}

void containerQueryNext(benchmark::State& state, const Recorded& r) {
  const std::string name = folder().file("query-" + r.name() + ".hxr");
  {
    IRStreamHandle stream = newContainer(name, r);
    auto buffer = containerFrame(r, 1);
    for (int k = 0; k < kPlaybackFrames; ++k)
      AppendNewFrame(stream, reinterpret_cast<HXRFrame*>(buffer.data()), 1);
    CloseIRStream(stream);
  }
  HXRFileHeader header{};
  IRStreamHandle stream = nullptr;
  if (HXRFileOpen(&stream, name.c_str(), 0, &header) != SDK_SUCCESS) {
    state.SkipWithError("container not opened");
    return;
  }
  std::vector<uint8_t> buffer(r.containerFrameBytes());
  auto* frame = reinterpret_cast<HXRFrame*>(buffer.data());
  for (auto _ : state) {
    // The next frame, wrapping at the end.
    if (QueryFrame(stream, header, frame, 0, 3, 1) != SDK_SUCCESS) {
      state.SkipWithError("frame not read");
      break;
    }
    benchmark::DoNotOptimize(buffer.data());
  }
  CloseIRStream(stream);
}

// The peers: the same frame bytes with one write() or pread() each, no format at all.
void peerWrite(benchmark::State& state, const std::string& file, std::size_t frameBytes) {
  const std::string name = folder().file(file);
  std::vector<uint8_t> bytes(frameBytes, 0x5A);
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  int frames = 0;
  for (auto _ : state) {
    if (frames == kFramesPerFile) {
      state.PauseTiming();
      if (::ftruncate(fd, 0) != 0) state.SkipWithError("truncate failed");
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
}

void peerRead(benchmark::State& state, const std::string& file, std::size_t frameBytes) {
  const std::string name = folder().file(file);
  std::vector<uint8_t> bytes(frameBytes, 0x5A);
  const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
  for (int k = 0; k < kPlaybackFrames; ++k) {
    if (::write(fd, bytes.data(), bytes.size()) < 0) break;
  }
  int frame = 0;
  for (auto _ : state) {
    const auto at = static_cast<off_t>(frame * frameBytes);
    if (::pread(fd, bytes.data(), bytes.size(), at) != static_cast<ssize_t>(bytes.size())) {
      state.SkipWithError("read failed");
      break;
    }
    frame = (frame + 1) % kPlaybackFrames;
    benchmark::DoNotOptimize(bytes.data());
  }
  ::close(fd);
}

// Registers one suite's write and read rows with their peers and limits.
template <typename Write, typename Read>
void registerPair(const std::string& form, const Recorded& r, std::size_t frameBytes, Write write,
                  Read read) {
  const std::string size = r.name();
  const std::string writeName = "BM_" + form + "Write_" + size;
  const std::string readName = "BM_" + form + "Read_" + size;
  const std::string writePeer = "BM_PeerWrite_" + form + "_" + size;
  const std::string readPeer = "BM_PeerRead_" + form + "_" + size;
  const std::string fps = " fps:" + std::to_string(static_cast<int>(kRecordingRate));
  const std::string writeLabel = versus(writePeer) + fps;
  const std::string readLabel = versus(readPeer) + fps + " " + versus(writeName, 1.0);
  const auto bytes = static_cast<int64_t>(frameBytes);
  benchmark::RegisterBenchmark(writeName.c_str(), [=](benchmark::State& state) {
    write(state, r);
    state.SetBytesProcessed(state.iterations() * bytes);
    state.SetLabel(writeLabel);
  })->UseRealTime();
  benchmark::RegisterBenchmark(readName.c_str(), [=](benchmark::State& state) {
    read(state, r);
    state.SetBytesProcessed(state.iterations() * bytes);
    state.SetLabel(readLabel);
  })->UseRealTime();
  benchmark::RegisterBenchmark(writePeer.c_str(), [=](benchmark::State& state) {
    peerWrite(state, "peer-write-" + form + size, frameBytes);
    state.SetBytesProcessed(state.iterations() * bytes);
  })->UseRealTime();
  benchmark::RegisterBenchmark(readPeer.c_str(), [=](benchmark::State& state) {
    peerRead(state, "peer-read-" + form + size, frameBytes);
    state.SetBytesProcessed(state.iterations() * bytes);
  })->UseRealTime();
}

void registerAll() {
  for (const FrameSize& size : irdex::bench::kSizes) {
    const Recorded r{size};
    registerPair("Stream", r, streamFrameBytes(r), streamWrite, streamRead);
    registerPair("Container", r, r.containerFrameBytes(), containerAppend, containerQueryNext);
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
