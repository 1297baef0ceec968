// `irdex record`, `snapshot` and `grab` against the camera simulator on loopback, run
// in-process.
#include "cli_error.h"
#include "cli_test_support.h"
#include "record/play_file.h"
#include "simulator.h"
#include "snapshot/snapshot.h"
#include "testing/case_name.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <tiffio.h>
#include <unistd.h>

#include <cmath>
#include <future>
#include <thread>

namespace irdexcli {
namespace {

using namespace irdexcli::testing;
using namespace std::chrono_literals;

class SimulatedCamera {
 public:
  explicit SimulatedCamera(const std::string& model, std::vector<irsim::Fault> faults = {}) {
    irsim::Options options;
    options.port = 0;
    options.notice = [](const std::string&) {};
    options.scene.motionPeriod = 40;
    options.faults = std::move(faults);
    EXPECT_TRUE(irsim::parseModel(model, options.camera, nullptr)) << model;
    sim_ = std::make_unique<irsim::Simulator>(options);
    std::string error;
    EXPECT_TRUE(sim_->start(&error)) << error;
  }
  ~SimulatedCamera() { sim_->stop(); }
  std::string address() const { return "127.0.0.1:" + std::to_string(sim_->port()); }
  irsim::Simulator& sim() { return *sim_; }

 private:
  std::unique_ptr<irsim::Simulator> sim_;
};

// A loopback port with nothing listening on it.
std::string closedLoopbackAddress() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
}

// The whole frames a stream file plays, or -1 when it does not open or holds a partial frame.
int32_t playableFrames(const std::string& path) {
  solvane::record::PlayFile file;
  std::string error;
  if (!file.open(path, error)) return -1;
  if (file.fileLength() !=
      file.geometry().firstFrame + file.frameCount() * file.geometry().frameBytes)
    return -1;
  for (int32_t k = 0; k < file.frameCount(); ++k) {
    const auto read = file.readForward(k, false);
    if (read.status != SDK_SUCCESS && read.status != SDK_ERR_END_OF_IR_IMAGE) return -1;
  }
  return file.frameCount();
}

struct CameraCase {
  const char* name;
  const char* model;
  uint8_t fileVersion;
};

class RecordASimulatedCamera : public ::testing::TestWithParam<CameraCase> {};

TEST_P(RecordASimulatedCamera, LeavesAFileThatPlaysItsThirtyFrames) {
  SimulatedCamera camera(GetParam().model);
  TempFolder folder;
  const ToolRun run =
      runTool({"record", camera.address(), folder.file("run.hxr"), "--frames", "30"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(playableFrames(folder.file("run.hxr")), 30);
  solvane::record::PlayFile file;
  std::string error;
  ASSERT_TRUE(file.open(folder.file("run.hxr"), error));
  EXPECT_EQ(file.header().version, GetParam().fileVersion);
  // Only the file is left: the recorder's working folder is gone.
  EXPECT_EQ(folder.names(), std::vector<std::string>{"run.hxr"});
}

INSTANTIATE_TEST_SUITE_P(Cameras, RecordASimulatedCamera,
                         ::testing::Values(CameraCase{"FirstGeneration", "gen1-320", 17},
                                           CameraCase{"Kt640", "kt640", 17},
                                           CameraCase{"Va320", "va320", 32},
                                           CameraCase{"Vi640", "vi640", 32}),
                         testsupport::ByName());

TEST(Record, AnInterruptEndsItWithEveryWholeFrameKept) {
  SimulatedCamera camera("va320");
  TempFolder folder;
  std::atomic<bool> interrupted{false};
  auto recording = std::async(std::launch::async, [&] {
    return runTool({"record", camera.address(), folder.file("run.hxr")}, &interrupted);
  });
  ASSERT_TRUE(camera.sim().waitFor([](const irsim::Stats& s) { return s.framesSent >= 12; }, 60s));
  interrupted = true;
  ASSERT_EQ(recording.wait_for(60s), std::future_status::ready);
  const ToolRun run = recording.get();
  EXPECT_EQ(run.status, kExitOk) << run.err;
  EXPECT_GT(playableFrames(folder.file("run.hxr")), 0);
}

TEST(Record, ContinuesTheSameFileAcrossADroppedLink) {
  irsim::Fault drop;
  drop.kind = irsim::Fault::Kind::CloseAfterFrames;
  drop.count = 8;  // every connection ends after 8 frames
  SimulatedCamera camera("kt640", {drop});
  TempFolder folder;
  const ToolRun run = runTool({"record", camera.address(), folder.file("run.hxr"), "--frames", "20",
                               "--attempts", "10", "--retry-delay", "0.05"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(playableFrames(folder.file("run.hxr")), 20);
  EXPECT_GE(camera.sim().stats().connections, 3u);
}

TEST(Record, TimedRecordingHoldsFramesOfThatTime) {
  SimulatedCamera camera("va320");
  TempFolder folder;
  const ToolRun run =
      runTool({"record", camera.address(), folder.file("run.hxr"), "--seconds", "1"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const ToolRun info = runTool({"info", "--json", folder.file("run.hxr")});
  ASSERT_EQ(info.status, kExitOk);
  const auto at = info.out.find("\"durationSeconds\": ");
  ASSERT_NE(at, std::string::npos);
  // The frames span about the second asked for (not less than most of it).
  EXPECT_GT(std::stod(info.out.substr(at + 19)), 0.5);
}

TEST(Record, ACameraThatFallsSilentEndsItKeepingTheFramesReceived) {
  irsim::Fault stall;
  stall.kind = irsim::Fault::Kind::Stall;
  stall.count = 10;  // after 10 frames nothing more, ever
  SimulatedCamera camera("va320", {stall});
  TempFolder folder;
  const ToolRun run = runTool(
      {"record", camera.address(), folder.file("run.hxr"), "--frames", "50", "--timeout", "1"});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_TRUE(run.oneErrorLine()) << run.err;
  EXPECT_NE(run.err.find("no frame from the camera for 1 s; 10 frames kept"), std::string::npos)
      << run.err;
  EXPECT_EQ(playableFrames(folder.file("run.hxr")), 10);
}

// Someone works the camera by hand: a one-frame command ends with that reason at once; a
// recording says so once and waits, ending only when no frame came within its timeout.
TEST(Capture, ACameraOperatedByHandEndsAGrabAndMakesARecordingWait) {
  irsim::Fault storm;
  storm.kind = irsim::Fault::Kind::Nak;
  storm.reason = 2;
  SimulatedCamera camera("va320", {storm});
  TempFolder folder;
  const ToolRun grab = runTool({"grab", camera.address(), folder.file("now.tiff")});
  EXPECT_EQ(grab.status, kExitFailure);
  EXPECT_TRUE(grab.oneErrorLine()) << grab.err;
  EXPECT_NE(grab.err.find("refuses commands (it is operated by hand)"), std::string::npos);

  const ToolRun record = runTool(
      {"record", camera.address(), folder.file("run.hxr"), "--frames", "5", "--timeout", "2"});
  EXPECT_EQ(record.status, kExitFailure);
  EXPECT_NE(record.err.find("operated by hand); waiting\n"), std::string::npos) << record.err;
  EXPECT_NE(record.err.find("no frame from the camera for 2 s"), std::string::npos) << record.err;
}

struct UnreachableCase {
  const char* name;
  const char* command;
  const char* output;
};

class UnreachableCamera : public ::testing::TestWithParam<UnreachableCase> {};

TEST_P(UnreachableCamera, FailsWithOneLineNamingTheCamera) {
  TempFolder folder;
  const std::string address = closedLoopbackAddress();
  const ToolRun run = runTool({GetParam().command, address, folder.file(GetParam().output),
                               "--attempts", "2", "--retry-delay", "0.05"});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_TRUE(run.oneErrorLine()) << run.err;
  EXPECT_NE(run.err.find(address + ": no camera answers"), std::string::npos) << run.err;
  EXPECT_EQ(folder.names(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Commands, UnreachableCamera,
                         ::testing::Values(UnreachableCase{"Record", "record", "run.hxr"},
                                           UnreachableCase{"Snapshot", "snapshot", "shot.jpg"},
                                           UnreachableCase{"Grab", "grab", "now.tiff"}),
                         testsupport::ByName());

TEST(Snapshot, SavesAFrameTheSnapshotReaderLoads) {
  SimulatedCamera camera("vi640");
  TempFolder folder;
  const ToolRun run = runTool({"snapshot", camera.address(), folder.file("shot.jpg")});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const snapshot::ReadResult read = snapshot::readSnapshotFile(folder.file("shot.jpg"));
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.data.width(), 640);
  EXPECT_EQ(read.data.headerVersion(), camera.sim().header()[IRDEX_HEADER_VERSION]);
}

TEST(Grab, WritesOneTiffPageOfTheCamerasTemperatures) {
  SimulatedCamera camera("va320");
  TempFolder folder;
  const ToolRun run = runTool({"grab", camera.address(), folder.file("now.tiff")});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  TIFF* tiff = TIFFOpen(folder.file("now.tiff").c_str(), "r");
  ASSERT_NE(tiff, nullptr);
  uint32_t width = 0, height = 0;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
  std::vector<float> row(width);
  ASSERT_EQ(TIFFReadScanline(tiff, row.data(), height / 2), 1);
  EXPECT_EQ(TIFFReadDirectory(tiff), 0);  // one page
  TIFFClose(tiff);
  EXPECT_EQ(width, 384u);
  EXPECT_EQ(height, 288u);
  // The simulated scene lies well inside what a camera can see.
  for (const float t : row) EXPECT_TRUE(std::isfinite(t) && t > -50 && t < 700) << t;
}

TEST(Grab, RefusesAnOutputKindItCannotWriteBeforeConnecting) {
  TempFolder folder;
  const ToolRun run = runTool({"grab", closedLoopbackAddress(), folder.file("now.hxr")});
  EXPECT_EQ(run.status, kExitUsage);
  EXPECT_TRUE(run.oneErrorLine()) << run.err;
  EXPECT_NE(run.err.find("wrong output kind"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace irdexcli
