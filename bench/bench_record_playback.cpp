// The analyzer's recording and playback at 640 x 480 KS frames (the image and the extra
// row): a played frame without pacing (read, calibration smoothing skipped below version
// 33, hand-over) and a recorded frame (decimation, time value, lock and write), each beside
// plain pread()/write() of the same bytes. Files live in a temporary folder and reach the
// page cache, as they do while the analyzer runs.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <irdex.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "record/ir_file_session.h"
#include "record/recorder.h"

namespace {

using namespace solvane::record;

constexpr uint16_t kWidth = 640;
constexpr uint16_t kHeight = 480;
constexpr int32_t kVersion = 32;
constexpr int kPlaybackFrames = 64;
constexpr int kFramesPerRecording = 64;  // a recording is restarted after so many frames
constexpr std::size_t kFramePixels = std::size_t{kWidth} * (kHeight + 1);
constexpr std::size_t kFrameBytes = 2 * (std::size_t{kWidth} * kHeight + 2 * kWidth);

struct Folder {
  Folder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "solvane-bench-record-XXXXXX").string();
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

// A version-32 file of kPlaybackFrames frames, written once.
const std::string& playbackFile() {
  static const std::string path = [] {
    const std::string name = folder().path + "/playback.hxr";
    IRHeader header{};
    header.version = kVersion;
    header.width = kWidth;
    header.height = kHeight;
    IRHeaderExt ext{};
    ext.camHeader[4] = kVersion;
    ext.camHeader[5] = 0x21;
    IRStreamHandle stream = nullptr;
    SaveIRHeader(&stream, name.c_str(), &header, &ext);
    std::vector<uint16_t> pixels(kFramePixels);
    uint32_t counter = 0;
    for (int k = 0; k < kPlaybackFrames; ++k) {
      for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint16_t>(i + k);
      SetIRImageToStream_v2(stream, pixels.data(), kWidth * kHeight, 3333, &counter, kVersion);
    }
    CloseIRStream(stream);
    return name;
  }();
  return path;
}

void BM_PlaybackUnpaced(benchmark::State& state) {
  uint64_t sum = 0;
  IrFileSession session([&](const PlayedFrame& f) { sum += f.pixels[0]; }, nullptr);
  const LoadOutcome loaded = session.load(playbackFile());
  if (!loaded.loaded) {
    state.SkipWithError("the playback file could not be loaded");
    return;
  }
  PlaybackEngine& engine = session.engine();
  engine.setLoop(true);
  engine.play();
  for (auto _ : state) {
    // The due time is ignored: frames as fast as the file gives them.
    benchmark::DoNotOptimize(engine.runPass());
  }
  benchmark::DoNotOptimize(sum);
  state.SetLabel("vs:BM_PeerPlaybackRead/640x481/real_time fps:300");
}

void BM_PeerPlaybackRead(benchmark::State& state) {
  const int fd = open(playbackFile().c_str(), O_RDONLY);
  std::vector<uint8_t> buffer(kFrameBytes);
  int frame = 0;
  for (auto _ : state) {
    const off_t at = static_cast<off_t>(1022 + frame * kFrameBytes);
    benchmark::DoNotOptimize(pread(fd, buffer.data(), buffer.size(), at));
    frame = (frame + 1) % kPlaybackFrames;
  }
  close(fd);
}

void BM_RecordFrame(benchmark::State& state) {
  const std::string recordings = folder().path + "/recordings";
  std::filesystem::create_directories(recordings);
  Recorder recorder(nullptr);
  RecordSettings settings;
  settings.savePath = recordings;
  recorder.setSettings(settings);
  CameraSnapshot camera;
  camera.cameraType = 3;
  camera.width = kWidth;
  camera.height = kHeight;
  recorder.setCamera(camera);
  std::vector<uint16_t> pixels(kFramePixels, 5000);
  recorder.recordCommand();
  int inFile = 0;
  for (auto _ : state) {
    recorder.onReceivedFrame(pixels);
    if (++inFile == kFramesPerRecording) {
      state.PauseTiming();
      recorder.stopCommand();
      std::filesystem::remove_all(recordings);
      std::filesystem::create_directories(recordings);
      recorder.recordCommand();
      inFile = 0;
      state.ResumeTiming();
    }
  }
  recorder.stopCommand();
  state.SetLabel("vs:BM_PeerRecordWrite/640x481/real_time fps:200");
}

void BM_PeerRecordWrite(benchmark::State& state) {
  const std::string name = folder().path + "/peer.raw";
  int fd = open(name.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
  std::vector<uint8_t> buffer(kFrameBytes, 7);
  int inFile = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(write(fd, buffer.data(), buffer.size()));
    if (++inFile == kFramesPerRecording) {
      state.PauseTiming();
      close(fd);
      fd = open(name.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
      inFile = 0;
      state.ResumeTiming();
    }
  }
  close(fd);
}

BENCHMARK(BM_PlaybackUnpaced)->Name("BM_PlaybackUnpaced/640x481")->UseRealTime();
BENCHMARK(BM_PeerPlaybackRead)->Name("BM_PeerPlaybackRead/640x481")->UseRealTime();
BENCHMARK(BM_RecordFrame)->Name("BM_RecordFrame/640x481")->UseRealTime();
BENCHMARK(BM_PeerRecordWrite)->Name("BM_PeerRecordWrite/640x481")->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
