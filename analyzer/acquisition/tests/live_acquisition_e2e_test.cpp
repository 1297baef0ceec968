// The acquisition thread and the frame pipeline against the simulated camera on loopback.
#include "acquisition/live_acquisition.h"
#include "view/frame_pipeline.h"

#include "simulator.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace solvane {
namespace {

using namespace std::chrono_literals;
using Kind = AcquisitionEvent::Kind;
constexpr auto kBound = 30s;

irsim::Options cameraOptions(const char* model) {
  irsim::Options options;
  options.port = 0;
  EXPECT_TRUE(irsim::parseModel(model, options.camera, nullptr));
  options.notice = [](const std::string&) {};
  options.scene.motionPeriod = 0;
  return options;
}

// A camera that closes the link after every `frames` frames.
irsim::Options closingAfterFrames(const char* model, uint32_t frames) {
  irsim::Options options = cameraOptions(model);
  irsim::Fault fault;
  fault.kind = irsim::Fault::Kind::CloseAfterFrames;
  fault.count = frames;
  options.faults.push_back(fault);
  return options;
}

// Collects the thread's events and runs the pipeline on every frame, as the window would.
class Harness {
 public:
  explicit Harness(irsim::Options options) : sim_(std::move(options)) {
    std::string error;
    started_ = sim_.start(&error);
    EXPECT_TRUE(started_) << error;
    acquisition_ = std::make_unique<LiveAcquisition>(
        [this](AcquisitionEvent event) {
          {
            std::lock_guard lock(mutex_);
            events_.push_back(std::move(event));
          }
          changed_.notify_all();
        },
        [this](const IRFrame& frame, const CameraState& camera) {
          float level = 30, span = 10;
          PipelineInput input;
          input.table = nullptr;
          if (!isKsCameraType(camera.cameraType)) {
            if (table_.empty()) {
              table_.assign(65536, 0);
              GetTempMapTable(table_.data(), 0);
            }
            input.table = table_.data();
          }
          const bool settling = acquisition_->settling();
          pipeline_.process(frame, camera, input, level, span);
          {
            std::lock_guard lock(mutex_);
            ++frames_;
            if (settling) framesWhileSettling_ = true;
          }
          changed_.notify_all();
        });
  }
  ~Harness() {
    acquisition_->disconnect();
    sim_.stop();
  }

  bool connect(int32_t limit = 99, std::chrono::milliseconds delay = 200ms, uint16_t port = 0) {
    AcquisitionOptions options;
    options.address = "127.0.0.1";
    options.port = std::to_string(port ? port : sim_.port());
    options.attemptLimit = limit;
    options.retryDelay = delay;
    options.tableWait = 50ms;
    return acquisition_->connect(options);
  }

  int count(Kind kind) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(events_.begin(), events_.end(),
                                          [kind](const auto& e) { return e.kind == kind; }));
  }
  bool waitEvent(Kind kind, int atLeast = 1) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kBound, [&] {
      return std::count_if(events_.begin(), events_.end(),
                           [kind](const auto& e) { return e.kind == kind; }) >= atLeast;
    });
  }
  bool waitFrames(uint64_t atLeast) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kBound, [&] { return frames_ >= atLeast; });
  }
  uint64_t frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
  }
  bool framesWhileSettling() const {
    std::lock_guard lock(mutex_);
    return framesWhileSettling_;
  }
  std::vector<AcquisitionEvent> events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }
  bool waitSetting(uint16_t id, uint16_t value) {
    return sim_.waitForCommand(
        [&](const irsim::LogEntry& e) { return e.settingId == id && e.value == value; }, kBound);
  }
  // Header, temperature table and the start of streaming, as the window does it.
  bool goLive() {
    if (!connect() || !waitEvent(Kind::StartStreaming)) return false;
    return acquisition_->startStreaming() == SDK_SUCCESS;
  }

  irsim::Simulator sim_;
  bool started_ = false;
  std::unique_ptr<LiveAcquisition> acquisition_;
  FramePipeline pipeline_;
  std::vector<float> table_;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<AcquisitionEvent> events_;
  uint64_t frames_ = 0;
  bool framesWhileSettling_ = false;
};

TEST(LiveAcquisitionE2E, ConnectsTakesTheHeaderAndStreams) {
  Harness h(cameraOptions("vi640"));
  ASSERT_TRUE(h.goLive());
  ASSERT_TRUE(h.waitFrames(70));
  ASSERT_TRUE(h.waitEvent(Kind::FrameRate));
  const CameraState camera = h.acquisition_->camera();
  EXPECT_EQ(camera.width, 640);
  EXPECT_EQ(camera.height, 480);
  EXPECT_EQ(camera.cameraType, 3);
  EXPECT_EQ(camera.modelIndex, 4);
  EXPECT_EQ(camera.name, "Thermal");
  // The events came in the order the window relies on.
  const auto events = h.events();
  std::vector<Kind> order;
  for (const auto& e : events)
    if (e.kind != Kind::FrameRate) order.push_back(e.kind);
  ASSERT_GE(order.size(), 6u);
  EXPECT_EQ(order[0], Kind::Connected);
  EXPECT_EQ(order[1], Kind::StatusText);
  EXPECT_EQ(order[2], Kind::TitleChanged);
  EXPECT_EQ(order[3], Kind::Model);
  EXPECT_EQ(order[4], Kind::StartStreaming);
  EXPECT_EQ(order[5], Kind::HeaderApplied);
  for (const auto& e : events) {
    if (e.kind == Kind::FrameRate && e.code == 1) {
      EXPECT_GT(e.value, 0);
    }
  }
}

TEST(LiveAcquisitionE2E, MouseTemperatureOverTheHotBlobMatchesTheScene) {
  Harness h(cameraOptions("vi640"));
  ASSERT_TRUE(h.goLive());
  ASSERT_TRUE(h.waitFrames(30));
  const irsim::PixelPoint hot = h.sim_.scene().hotCentre(0);
  const irsim::PixelPoint cold = h.sim_.scene().coldCentre(0);
  const auto hotTemp = h.pipeline_.temperatureAt(hot.x, hot.y);
  const auto coldTemp = h.pipeline_.temperatureAt(cold.x, cold.y);
  const auto background = h.pipeline_.temperatureAt(2, 2);
  ASSERT_TRUE(hotTemp && coldTemp && background);
  EXPECT_NEAR(*hotTemp, h.sim_.scene().config().hot, 1.5);
  EXPECT_NEAR(*coldTemp, h.sim_.scene().config().cold, 1.5);
  EXPECT_NEAR(*background, h.sim_.scene().config().background, 1.5);
  const ComposedFrame frame = *h.pipeline_.latest();
  ASSERT_TRUE(frame.hotCold.has_value());
  EXPECT_NEAR(frame.hotCold->hot, h.sim_.scene().config().hot, 1.5);
  EXPECT_NEAR(frame.hotCold->hotX, hot.x, h.sim_.scene().plateauRadius());
  EXPECT_NEAR(frame.hotCold->hotY, hot.y, h.sim_.scene().plateauRadius());
  EXPECT_NEAR(frame.hotCold->cold, h.sim_.scene().config().cold, 1.5);
  EXPECT_NEAR(frame.hotCold->coldX, cold.x, h.sim_.scene().plateauRadius());
  EXPECT_NEAR(frame.hotCold->coldY, cold.y, h.sim_.scene().plateauRadius());
}

TEST(LiveAcquisitionE2E, AClosedLinkIsReopenedAndStreamsAgain) {
  Harness h(closingAfterFrames("va320", 20));
  ASSERT_TRUE(h.goLive());
  ASSERT_TRUE(h.waitEvent(Kind::PullFailed));
  ASSERT_TRUE(h.waitEvent(Kind::Connected, 2));
  // The new connection asks for the header again and streams once told to.
  ASSERT_TRUE(h.waitEvent(Kind::StartStreaming, 2));
  const uint64_t before = h.frames();
  ASSERT_EQ(h.acquisition_->startStreaming(), SDK_SUCCESS);
  EXPECT_TRUE(h.waitFrames(before + 5));
  bool errorText = false;
  for (const auto& e : h.events())
    if (e.kind == Kind::StatusText && e.text.rfind("ERROR : ", 0) == 0) errorText = true;
  EXPECT_TRUE(errorText);
}

// A limit of 2 allows two attempts in a row; a camera that answers in between starts the
// count again, so the third connection of the session is still made.
TEST(LiveAcquisitionE2E, TheAttemptLimitCountsOnlyAttemptsSinceTheCameraAnswered) {
  Harness h(closingAfterFrames("va320", 10));
  ASSERT_TRUE(h.connect(2));
  for (int session = 1; session <= 3; ++session) {
    ASSERT_TRUE(h.waitEvent(Kind::StartStreaming, session)) << session;
    ASSERT_EQ(h.acquisition_->startStreaming(), SDK_SUCCESS);
    ASSERT_TRUE(h.waitEvent(Kind::PullFailed, session)) << session;
  }
  EXPECT_TRUE(h.waitEvent(Kind::Connected, 4));
  EXPECT_EQ(h.count(Kind::ThreadEnded), 0);
}

TEST(LiveAcquisitionE2E, ACameraWorkedByHandKeepsTheLink) {
  irsim::Options options = cameraOptions("vi640");
  irsim::Fault fault;
  fault.kind = irsim::Fault::Kind::Nak;
  fault.reason = 2;
  fault.settingId = 0x0432;
  options.faults.push_back(fault);
  Harness h(std::move(options));
  ASSERT_TRUE(h.goLive());
  ASSERT_TRUE(h.waitFrames(5));
  h.acquisition_->nuc();
  ASSERT_TRUE(h.waitEvent(Kind::OperatedByHand));
  const uint64_t before = h.frames();
  EXPECT_TRUE(h.waitFrames(before + 10));
  EXPECT_EQ(h.count(Kind::Connected), 1);
  EXPECT_EQ(h.count(Kind::PullFailed), 0);
}

TEST(LiveAcquisitionE2E, ARangeChangeSendsTheRangeAsksForTheHeaderAndSettles) {
  Harness h(cameraOptions("vi640"));
  ASSERT_TRUE(h.goLive());
  ASSERT_TRUE(h.waitFrames(5));
  h.sim_.clearCommandLog();
  ASSERT_TRUE(h.acquisition_->changeRange(1, 2000ms));
  EXPECT_TRUE(h.acquisition_->settling());
  ASSERT_TRUE(h.waitSetting(0x0503, 1));
  EXPECT_TRUE(
      h.sim_.waitForCommand([](const irsim::LogEntry& e) { return e.note == "header"; }, kBound));
  // Frames come back once the settling time is over, and none were taken during it.
  const uint64_t before = h.frames();
  ASSERT_TRUE(h.waitFrames(before + 5));
  EXPECT_FALSE(h.framesWhileSettling());
  EXPECT_FALSE(h.acquisition_->settling());
}

TEST(LiveAcquisitionE2E, NucByFamily) {
  {
    Harness ks(cameraOptions("va320"));
    ASSERT_TRUE(ks.goLive());
    ks.acquisition_->nuc();
    EXPECT_TRUE(ks.waitSetting(0x0432, 0));
  }
  {
    Harness kt(cameraOptions("kt640"));
    ASSERT_TRUE(kt.goLive());
    EXPECT_EQ(kt.acquisition_->camera().cameraType, 1);
    kt.acquisition_->nuc();
    EXPECT_TRUE(kt.waitSetting(0x0502, 7));
  }
}

TEST(LiveAcquisitionE2E, FocusPressAndReleaseSendDirectionThenStop) {
  Harness h(cameraOptions("vi640"));
  ASSERT_TRUE(h.goLive());
  h.sim_.clearCommandLog();
  h.acquisition_->focusZoom(1, 2);
  h.acquisition_->focusZoom(1, 0);
  ASSERT_TRUE(h.sim_.waitForCommand(
      [](const irsim::LogEntry& e) { return e.settingId == 0x0491 && e.words[0] == 0; }, kBound));
  std::vector<uint32_t> directions;
  for (const auto& e : h.sim_.commandLog())
    if (e.settingId == 0x0491 && e.value == 1) directions.push_back(e.words[0]);
  EXPECT_EQ(directions, (std::vector<uint32_t>{2, 0}));
}

TEST(LiveAcquisitionE2E, TheAttemptLimitEndsTheThread) {
  irsim::Options options = cameraOptions("vi640");
  Harness h(std::move(options));
  const uint16_t port = h.sim_.port();
  h.sim_.stop();  // nobody listens there any more
  ASSERT_TRUE(h.connect(3, 20ms, port));
  ASSERT_TRUE(h.waitEvent(Kind::ThreadEnded));
  EXPECT_EQ(h.acquisition_->attempts(), 2);  // attempts 0, 1 and 2
  EXPECT_EQ(h.count(Kind::Connected), 0);
  // The flag stays set until the user disconnects.
  EXPECT_TRUE(h.acquisition_->acquiring());
  h.acquisition_->disconnect();
  EXPECT_FALSE(h.acquisition_->acquiring());
}

TEST(LiveAcquisitionE2E, NewerFirstGenerationCamerasSendTheirTemperatureTable) {
  Harness h(cameraOptions("gen1-320"));
  ASSERT_TRUE(h.goLive());
  ASSERT_TRUE(h.waitFrames(15));
  const CameraState camera = h.acquisition_->camera();
  EXPECT_TRUE(camera.tableValid);
  EXPECT_EQ(camera.cameraType, 0);
  EXPECT_EQ(camera.modelIndex, 0);
  EXPECT_EQ(camera.width, 320);
  // The view reads the scene through the delivered temperature table.
  const irsim::PixelPoint hot = h.sim_.scene().hotCentre(0);
  const auto hotTemp = h.pipeline_.temperatureAt(hot.x, hot.y);
  ASSERT_TRUE(hotTemp);
  EXPECT_NEAR(*hotTemp, h.sim_.scene().config().hot, 2.0);
}

TEST(LiveAcquisitionE2E, KtCamerasGoLiveWithoutATable) {
  Harness h(cameraOptions("kt640"));
  ASSERT_TRUE(h.goLive());
  ASSERT_TRUE(h.waitFrames(5));
  const CameraState camera = h.acquisition_->camera();
  EXPECT_FALSE(camera.tableValid);
  EXPECT_EQ(camera.cameraType, 1);
  EXPECT_EQ(camera.modelIndex, 2);
  EXPECT_EQ(camera.width, 640);
}

TEST(LiveAcquisitionE2E, InvalidAddressesStartNothing) {
  LiveAcquisition acquisition(nullptr, nullptr);
  AcquisitionOptions options;
  options.address = "192.168.0.1000";
  EXPECT_FALSE(acquisition.connect(options));
  options.address = "192.168.1";
  EXPECT_FALSE(acquisition.connect(options));
  EXPECT_FALSE(acquisition.threadRunning());
}

}  // namespace
}  // namespace solvane
