// The suite's own SDK against the simulated camera, end to end over loopback: connection,
// headers of every camera kind, streaming, settings, the temperature table, faults, and the
// scene temperatures as the SDK measures them.
#include <gtest/gtest.h>
#include <irdex.h>
#include "testing/case_name.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "simulator.h"

namespace {

constexpr auto kBound = std::chrono::seconds(20);
constexpr EnvParams kDefaults{0.95f, 20.0f, 1.0f, 0.0f};

irsim::Options optionsFor(const char* model, int version) {
  irsim::Options options;
  options.port = 0;
  EXPECT_TRUE(irsim::parseModel(model, options.camera, nullptr));
  options.camera.version = static_cast<uint8_t>(version);
  options.notice = [](const std::string&) {};
  options.scene.motionPeriod = 0;
  return options;
}

// The SDK's receivers wait without a time limit; a camera that stops answering would hang
// a test. The watchdog stops the simulator after a generous bound, which ends every wait.
class Watchdog {
 public:
  explicit Watchdog(irsim::Simulator& sim)
      : thread_([this, &sim] {
          std::unique_lock lock(mutex_);
          if (!done_.wait_for(lock, std::chrono::seconds(60), [&] { return finished_; })) {
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

struct SdkCamera {
  std::unique_ptr<irsim::Simulator> sim;
  int32_t socket = -1;
  IrdexTimer* keepAlive = nullptr;
  std::vector<uint16_t> pixels = std::vector<uint16_t>(640 * 481);
  std::vector<uint8_t> staging = std::vector<uint8_t>(8192);
  IRFrame frame{};
  std::unique_ptr<Watchdog> watchdog;

  explicit SdkCamera(const irsim::Options& options) : sim(new irsim::Simulator(options)) {
    std::string error;
    EXPECT_TRUE(sim->start(&error)) << error;
    watchdog = std::make_unique<Watchdog>(*sim);
    std::memset(&frame, 0, sizeof frame);
    frame.pixels = pixels.data();
    frame.pixelCapacity = static_cast<uint32_t>(pixels.size());
    frame.staging = staging.data();
    const std::string port = std::to_string(sim->port());
    EXPECT_EQ(OpenConnect(&socket, &keepAlive, "127.0.0.1", port.c_str(), 2, 1), 1);
  }
  ~SdkCamera() {
    if (socket != -1) CloseConnect(&socket, keepAlive);
    CloseIRCamDataKS(&frame);
    watchdog.reset();
    sim->stop();
  }

  // One packet, as the analyzer pulls it (drift correction on when byte 118 is not 0).
  SdkStatus pull() {
    const int16_t offset =
        static_cast<int16_t>(frame.header.bytes[118] | (frame.header.bytes[119] << 8));
    frame.driftCorrection = IRFrameVersion(&frame) > 32 && offset != 0 ? 1 : 0;
    return GetIRImages(socket, &keepAlive, &frame);
  }
  // Pulls until a packet of `kind` arrives; the status of that pull, or the first failure.
  SdkStatus pullUntil(int32_t kind, int limit = 400) {
    for (int i = 0; i < limit; ++i) {
      const SdkStatus status = pull();
      if (status != 1 || frame.packetKind == kind) return status;
    }
    return -9999;
  }
  SdkStatus header() {
    SendCameraMessage(socket, &keepAlive, 7, 0, 0);
    return pullUntil(8);
  }
  uint16_t width() const {
    const uint8_t version = IRFrameVersion(&frame);
    if (version <= 16) return frame.header.bytes[6] == 1 ? 384 : 320;
    if (version >= 32 && IRFrameModel(&frame) == 0x20) return 384;
    return 640;
  }
  uint16_t height() const { return width() == 384 ? 288 : width() == 320 ? 240 : 480; }
};

struct KindCase {
  const char* model;
  int version;
  uint32_t framePixels;
};

class SdkKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(SdkKinds, HeaderFramesAndSceneTemperatures) {
  const KindCase& k = GetParam();
  auto options = optionsFor(k.model, k.version);
  options.scene.background = 24.0f;
  options.scene.hot = 90.0f;
  options.scene.cold = 2.0f;
  SdkCamera camera(options);
  ASSERT_EQ(camera.header(), 1);
  // The SDK's rearranged header is the header the camera holds, byte for byte.
  const irsim::HeaderBytes held = camera.sim->header();
  EXPECT_EQ(std::memcmp(camera.frame.header.bytes, held.data(), 512), 0);
  EXPECT_EQ(camera.frame.sysWord, irsim::firmwareNumber(options.camera));

  ASSERT_EQ(SendCameraMessage(camera.socket, &camera.keepAlive, 3, 0, 0), 1);
  ASSERT_EQ(camera.pullUntil(5), 1);

  // The table a first-generation camera converts with: the delivered file when there is
  // one (and then it is the camera's), otherwise the simulator's own.
  std::vector<float> table(65536);
  const int range = IRFrameRangeIndex(&camera.frame);
  if (GetTempMapTable(table.data(), range) == 1) {
    EXPECT_EQ(table, camera.sim->tables().table(range));
  } else {
    table = camera.sim->tables().table(range);
  }
  const uint32_t size = IrdexImageSize(camera.width(), camera.height());
  const bool ks = IRFrameVersion(&camera.frame) >= 32;
  auto temperatureAt = [&](int x, int y) {
    return ks ? GetPointTempKS(&camera.frame, size, kDefaults, x, y)
              : GetPointTemp(&camera.frame, size, table.data(), kDefaults, x, y);
  };
  const auto hot = camera.sim->scene().hotCentre(0);
  const auto cold = camera.sim->scene().coldCentre(0);
  // Precision: what a count or two is worth around the temperature.
  auto tolerance = [&](float t) {
    if (IRFrameVersion(&camera.frame) > 16) return 0.03f;
    const auto it = std::lower_bound(table.begin(), table.end(), t);
    const size_t i = std::min<size_t>(static_cast<size_t>(it - table.begin()), 65534);
    return 2.0f * (table[i + 1] - table[i]) + 0.001f;
  };
  EXPECT_NEAR(temperatureAt(hot.x, hot.y), 90.0f, tolerance(90.0f));
  EXPECT_NEAR(temperatureAt(cold.x, cold.y), 2.0f, tolerance(2.0f));
  EXPECT_NEAR(temperatureAt(3, 3), 24.0f, tolerance(24.0f));
  EXPECT_EQ(SendCameraMessage(camera.socket, &camera.keepAlive, 4, 0, 0), 1);
  EXPECT_EQ(k.framePixels, static_cast<uint32_t>(camera.width()) *
                               (camera.height() + (IRFrameVersion(&camera.frame) <= 16 ? 0 : 1)));
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, SdkKinds,
    ::testing::Values(KindCase{"gen1-320", 16, 76800}, KindCase{"gen1-384", 12, 110592},
                      KindCase{"kt640", 20, 307840}, KindCase{"va320", 32, 110976},
                      KindCase{"va320", 33, 110976}, KindCase{"vi640", 33, 307840}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName(p.model, "V", p.version);
    });

TEST(SdkLink, DriftCorrectedKsFramesMeasureTheScene) {
  auto options = optionsFor("vi640", 33);
  options.camera.tempOffsetTenths = 35;
  options.scene.kind = irsim::SceneKind::Flat;
  options.scene.flat = 41.0f;
  SdkCamera camera(options);
  ASSERT_EQ(camera.header(), 1);
  SendCameraMessage(camera.socket, &camera.keepAlive, 3, 0, 0);
  ASSERT_EQ(camera.pullUntil(5), 1);
  EXPECT_EQ(camera.frame.driftCorrection, 1u);
  EXPECT_NEAR(GetPointTempKS(&camera.frame, IrdexImageSize(640, 480), kDefaults, 320, 240), 41.0f,
              0.1f);
}

TEST(SdkLink, SettingRoundTripAndRangeChange) {
  SdkCamera camera(optionsFor("va320", 33));
  ASSERT_EQ(camera.header(), 1);
  ASSERT_EQ(SendMessageToCamera(camera.socket, &camera.keepAlive, 10, 0x0204, 1, 0, 0, 0), 1);
  ASSERT_EQ(camera.pullUntil(0), 1);
  EXPECT_EQ(camera.frame.ackCode1, 39);
  EXPECT_EQ(camera.frame.ackCode2, 0x0204);
  SendMessageToCamera(camera.socket, &camera.keepAlive, 10, 0x0503, 1, 0, 0, 0);
  ASSERT_EQ(camera.pullUntil(0), 1);
  ASSERT_EQ(camera.header(), 1);
  EXPECT_EQ(camera.frame.header.bytes[21], 1);
  EXPECT_EQ(IRFrameRangeIndex(&camera.frame), 1);
  int16_t low = 0, high = 0;
  EXPECT_EQ(GetTempRangeValueKS(&camera.frame, 1, &low, &high), 1);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 650);
  EXPECT_TRUE(camera.sim->waitForCommand(
      [](const irsim::LogEntry& e) {
        return e.type == 39 && e.settingId == 0x0503 && e.value == 1;
      },
      kBound));
  EXPECT_TRUE(
      camera.sim->waitForCommand([](const irsim::LogEntry& e) { return e.type == 32; }, kBound))
      << "the SDK's keep-alive";
}

TEST(SdkLink, DivisorThinsTheStream) {
  SdkCamera camera(optionsFor("va320", 33));
  ASSERT_EQ(camera.header(), 1);
  SendMessageToCamera(camera.socket, &camera.keepAlive, 10, 0x0A01, 2, 0, 0, 0);
  ASSERT_EQ(camera.pullUntil(0), 1);
  EXPECT_EQ(camera.sim->stats().divisor, 2u);
  SendCameraMessage(camera.socket, &camera.keepAlive, 3, 0, 0);
  std::vector<uint32_t> ticks;
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(camera.pullUntil(5), 1);
    const uint16_t* row = camera.pixels.data() + 384 * 288;
    ticks.push_back(row[2] | (static_cast<uint32_t>(row[3]) << 16));
  }
  EXPECT_EQ(ticks[1] - ticks[0], 3u);
  EXPECT_EQ(ticks[2] - ticks[1], 3u);
}

TEST(SdkLink, TemperatureTableAndSystemData) {
  SdkCamera camera(optionsFor("gen1-320", 16));
  ASSERT_EQ(camera.header(), 1);
  EXPECT_GE(camera.frame.sysWord, 13031203u) << "the analyzer then asks for the table";
  SendCameraMessage(camera.socket, &camera.keepAlive, 19, 0, 0);
  CamTempTable table{};
  ASSERT_EQ(GetCamTempTable(camera.socket, &camera.keepAlive, &table), 1);
  EXPECT_EQ(table.kind, 19);
  EXPECT_EQ(table.first[2], 0);
  EXPECT_EQ(table.second[2], 1);
  float entry;
  std::memcpy(&entry, &table.second[8], 4);
  EXPECT_EQ(entry, camera.sim->tables().table(0)[512 * 64]);

  SendCameraMessage(camera.socket, &camera.keepAlive, 6, 0, 0);
  CamSysData data{};
  ASSERT_EQ(GetCamSysData(camera.socket, &camera.keepAlive, &data), 1);
  EXPECT_EQ(data.packetKind, 13);
}

TEST(SdkFaults, CloseAfterAFrameIsAClosedConnection) {
  auto options = optionsFor("va320", 33);
  options.faults.push_back({irsim::Fault::Kind::CloseAfterFrames, 1});
  SdkCamera camera(options);
  ASSERT_EQ(camera.header(), 1);
  SendCameraMessage(camera.socket, &camera.keepAlive, 3, 0, 0);
  ASSERT_EQ(camera.pullUntil(5), 1);
  EXPECT_EQ(camera.pullUntil(5), -10);
}

TEST(SdkFaults, CloseMidPacketIsAClosedConnection) {
  auto options = optionsFor("vi640", 33);
  options.faults.push_back({irsim::Fault::Kind::CloseMidPacket, 1});
  SdkCamera camera(options);
  ASSERT_EQ(camera.header(), 1);
  SendCameraMessage(camera.socket, &camera.keepAlive, 3, 0, 0);
  ASSERT_EQ(camera.pullUntil(5), 1);
  EXPECT_EQ(camera.pullUntil(5), -10);
}

TEST(SdkFaults, ForeignBytesAreRefusedWithANakAndTheStreamGoesOn) {
  auto options = optionsFor("va320", 33);
  irsim::Fault fault;
  fault.kind = irsim::Fault::Kind::ForeignBytes;
  fault.count = 1;
  fault.bytes = 16;
  options.faults.push_back(fault);
  SdkCamera camera(options);
  SendCameraMessage(camera.socket, &camera.keepAlive, 7, 0, 0);
  EXPECT_EQ(camera.pull(), -12);
  EXPECT_TRUE(camera.sim->waitForCommand(
      [](const irsim::LogEntry& e) {
        return e.type == 21 && e.payload.size() == 4 && e.payload[0] == 35 && e.payload[2] == 1;
      },
      kBound));
  EXPECT_EQ(camera.pullUntil(8), 1);
}

class SdkNak : public ::testing::TestWithParam<int> {};

TEST_P(SdkNak, CarriesTheReason) {
  auto options = optionsFor("va320", 33);
  irsim::Fault fault;
  fault.kind = irsim::Fault::Kind::Nak;
  fault.reason = static_cast<int16_t>(GetParam());
  fault.settingId = 0x0503;
  options.faults.push_back(fault);
  SdkCamera camera(options);
  ASSERT_EQ(camera.header(), 1);
  SendMessageToCamera(camera.socket, &camera.keepAlive, 10, 0x0503, 1, 0, 0, 0);
  EXPECT_EQ(camera.pull(), -100);
  EXPECT_EQ(camera.frame.packetKind, 1);
  EXPECT_EQ(camera.frame.ackCode2, GetParam());
}

INSTANTIATE_TEST_SUITE_P(UnsupportedAndByHand, SdkNak, ::testing::Values(1, 2),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Code", p);
                         });

TEST(SdkFaults, UnsupportedModelFramesAreRefused) {
  auto options = optionsFor("va320", 33);
  options.faults.push_back({irsim::Fault::Kind::UnsupportedModel});
  SdkCamera camera(options);
  ASSERT_EQ(camera.header(), 1);
  EXPECT_EQ(IRFrameModel(&camera.frame), irsim::kUnsupportedModel);
  SendCameraMessage(camera.socket, &camera.keepAlive, 3, 0, 0);
  SdkStatus status = 1;
  for (int i = 0; i < 10 && status == 1; ++i) status = camera.pull();
  EXPECT_EQ(status, -1002);
}

TEST(SdkFaults, StallAndSlowLinkStillDeliverWholeFrames) {
  auto options = optionsFor("va320", 33);
  irsim::Fault stall;
  stall.kind = irsim::Fault::Kind::Stall;
  stall.count = 1;
  stall.durationMs = 300;
  irsim::Fault slow;
  slow.kind = irsim::Fault::Kind::SlowLink;
  slow.bytesPerSecond = 2000000;
  options.faults = {stall, slow};
  SdkCamera camera(options);
  ASSERT_EQ(camera.header(), 1);
  SendCameraMessage(camera.socket, &camera.keepAlive, 3, 0, 0);
  ASSERT_EQ(camera.pullUntil(5), 1);
  ASSERT_EQ(camera.pullUntil(5), 1);
  EXPECT_EQ(camera.pixels[384 * 288 + 1], 0x5659) << "the extra row begins with its mark";
}

TEST(SdkLink, CloseConnectEndsTheCamerasSession) {
  SdkCamera camera(optionsFor("kt640", 20));
  ASSERT_EQ(camera.header(), 1);
  EXPECT_EQ(CloseConnect(&camera.socket, camera.keepAlive), 1);
  EXPECT_EQ(camera.socket, -1);
  camera.keepAlive = nullptr;
  EXPECT_TRUE(
      camera.sim->waitFor([](const irsim::Stats& s) { return !s.clientConnected; }, kBound));
}

}  // namespace
