// Recording a simulated camera on loopback through the SDK, as the acquisition thread does,
// until the camera drops the connection: the file left behind plays every frame it got.
#include "record/play_file.h"
#include "record/recorder.h"

#include "record_test_support.h"
#include "simulator.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <numeric>
#include <thread>

namespace solvane::record {
namespace {

using namespace std::chrono_literals;

// The SDK's receivers wait without a time limit; a camera that stops answering would hang
// the test. The watchdog stops the simulator after a generous bound, which ends every wait.
class Watchdog {
 public:
  explicit Watchdog(irsim::Simulator& sim)
      : thread_([this, &sim] {
          std::unique_lock lock(mutex_);
          if (!done_.wait_for(lock, 60s, [&] { return finished_; })) {
            ADD_FAILURE() << "the test outlived its bound; the camera is stopped";
            sim.stop();
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      finished_ = true;
    }
    done_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::thread thread_;
};

struct CameraCase {
  const char* name;
  const char* model;
  int32_t cameraType;
  uint16_t width, height;
  uint8_t fileVersion;
};
void PrintTo(const CameraCase& c, std::ostream* os) { *os << c.name; }

uint64_t checksum(const uint16_t* pixels, std::size_t count) {
  return std::accumulate(pixels, pixels + count, uint64_t{0},
                         [](uint64_t sum, uint16_t p) { return sum * 31 + p; });
}

class RecordingADroppedCamera : public ::testing::TestWithParam<CameraCase> {};

TEST_P(RecordingADroppedCamera, LeavesAFileWhoseEveryFramePlays) {
  const auto& c = GetParam();
  constexpr uint32_t kFramesBeforeDrop = 12;
  irsim::Options options;
  options.port = 0;
  ASSERT_TRUE(irsim::parseModel(c.model, options.camera, nullptr));
  options.notice = [](const std::string&) {};
  options.scene.motionPeriod = 40;  // frames differ from each other
  irsim::Fault drop;
  drop.kind = irsim::Fault::Kind::CloseAfterFrames;
  drop.count = kFramesBeforeDrop;
  options.faults.push_back(drop);
  irsim::Simulator sim(options);
  std::string error;
  ASSERT_TRUE(sim.start(&error)) << error;
  Watchdog watchdog(sim);

  std::vector<uint16_t> pixels(640 * 481);
  std::vector<uint8_t> staging(8192);
  IRFrame frame{};
  frame.pixels = pixels.data();
  frame.pixelCapacity = static_cast<uint32_t>(pixels.size());
  frame.staging = staging.data();
  int32_t socket = -1;
  IrdexTimer* keepAlive = nullptr;
  const std::string port = std::to_string(sim.port());
  ASSERT_EQ(OpenConnect(&socket, &keepAlive, "127.0.0.1", port.c_str(), 2, 1), SDK_SUCCESS);

  testing::TempFolder folder;
  std::vector<RecorderEvent> events;
  Recorder recorder([&](const RecorderEvent& e) { events.push_back(e); });
  RecordSettings settings;
  settings.savePath = folder.path();
  recorder.setSettings(settings);

  // The header first, then the stream.
  ASSERT_EQ(SendCameraMessage(socket, &keepAlive, 7, 0, 0), SDK_SUCCESS);
  SdkStatus status = SDK_SUCCESS;
  for (int i = 0; i < 400 && status == SDK_SUCCESS && frame.packetKind != 8; ++i)
    status = GetIRImages(socket, &keepAlive, &frame);
  ASSERT_EQ(frame.packetKind, 8);
  CameraSnapshot camera;
  camera.cameraType = c.cameraType;
  camera.width = c.width;
  camera.height = c.height;
  camera.header = frame.header;
  recorder.setCamera(camera);
  ASSERT_TRUE(recorder.recordCommand());
  ASSERT_EQ(SendCameraMessage(socket, &keepAlive, 3, 0, 0), SDK_SUCCESS);

  // What the acquisition hands over: the image, and the extra row for KS headers above 32.
  const std::size_t handed = std::size_t{c.width} * (c.height + (IRFrameVersion(&frame) > 32));
  std::vector<uint64_t> received;
  for (int i = 0; i < 2000; ++i) {
    status = GetIRImages(socket, &keepAlive, &frame);
    if (status != SDK_SUCCESS) break;
    if (frame.packetKind != 5) continue;
    received.push_back(checksum(pixels.data(), std::size_t{c.width} * c.height));
    recorder.onReceivedFrame(std::span<const uint16_t>(pixels.data(), handed));
  }
  EXPECT_NE(status, SDK_SUCCESS);  // the camera went away
  const std::string path = recorder.state().path;
  recorder.stop();  // a pull error stops the recording
  CloseConnect(&socket, keepAlive);
  sim.stop();
  ASSERT_EQ(received.size(), kFramesBeforeDrop);

  PlayFile file;
  ASSERT_TRUE(file.open(path, error)) << error;
  EXPECT_EQ(file.header().version, c.fileVersion);
  ASSERT_EQ(file.frameCount(), static_cast<int32_t>(received.size()));
  EXPECT_EQ(file.fileLength(),
            file.geometry().firstFrame + file.frameCount() * file.geometry().frameBytes);
  for (int32_t k = 0; k < file.frameCount(); ++k) {
    const FrameRead read = file.readForward(k, false);
    ASSERT_EQ(read.status, k + 1 < file.frameCount() ? SDK_SUCCESS : SDK_ERR_END_OF_IR_IMAGE);
    EXPECT_EQ(checksum(file.pixels().data(), std::size_t{c.width} * c.height), received[k]) << k;
  }
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].value, kNoticeRecordingStarted);
  EXPECT_EQ(events[1].value, kNoticeRecordingEnded);
}

INSTANTIATE_TEST_SUITE_P(Cameras, RecordingADroppedCamera,
                         ::testing::Values(CameraCase{"FirstGeneration", "gen1-320", 0, 320, 240,
                                                      17},
                                           CameraCase{"Kt640", "kt640", 1, 640, 480, 17},
                                           CameraCase{"Va320", "va320", 2, 384, 288, 32}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace solvane::record
