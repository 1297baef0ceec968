#include "record/ir_file_session.h"
#include "record/record_rules.h"

#include "record_test_support.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <fstream>
#include <mutex>

namespace solvane::record {
namespace {

using namespace std::chrono_literals;
using testing::frameValue;
using testing::TempFolder;
using Next = PlaybackEngine::Pass::Next;
using EventKind = PlaybackEvent::Kind;

constexpr auto kBound = 30s;
constexpr int32_t kFrames = 5;

// Returns at once: the thread runs its passes back to back.
class InstantPacer : public Pacer {
 public:
  bool waitUntil(PlaybackEngine::Clock::time_point) override { return !interrupted_; }
  void interrupt() override { interrupted_ = true; }
  void reset() override { interrupted_ = false; }

 private:
  std::atomic<bool> interrupted_{false};
};

// A play session whose frames and events are kept, with a clock the test sets.
class Player {
 public:
  explicit Player(std::unique_ptr<Pacer> pacer = std::make_unique<InstantPacer>(),
                  SnapshotReader* snapshots = nullptr)
      : session(
            [this](const PlayedFrame& f) {
              std::lock_guard lock(mutex_);
              shown_.push_back(f.pixels[0]);
              timings_.push_back(f.timing);
              ksCalibrated_ = f.frame.ksCalib != nullptr;
              changed_.notify_all();
            },
            [this](const PlaybackEvent& e) {
              std::lock_guard lock(mutex_);
              events_.push_back(e);
              changed_.notify_all();
            },
            snapshots, std::move(pacer), [this] { return now; }) {}

  // Values of the frames shown since the last call.
  std::vector<uint16_t> takeShown() {
    std::lock_guard lock(mutex_);
    auto shown = std::move(shown_);
    shown_.clear();
    return shown;
  }
  std::vector<PlaybackEvent> events() {
    std::lock_guard lock(mutex_);
    return events_;
  }
  int count(EventKind kind) {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(events_.begin(), events_.end(),
                                          [kind](const auto& e) { return e.kind == kind; }));
  }
  bool waitFor(EventKind kind, int atLeast = 1) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kBound, [&] {
      return std::count_if(events_.begin(), events_.end(),
                           [kind](const auto& e) { return e.kind == kind; }) >= atLeast;
    });
  }
  bool waitShown(std::size_t atLeast) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kBound, [&] { return shown_.size() >= atLeast; });
  }
  bool ksCalibrated() {
    std::lock_guard lock(mutex_);
    return ksCalibrated_;
  }
  // Runs passes until one asks for suspension (at most `limit`); the frames they showed.
  std::vector<uint16_t> runUntilSuspended(int limit = 50) {
    for (int i = 0; i < limit; ++i)
      if (session.engine().runPass().next != Next::Continue) break;
    return takeShown();
  }
  std::vector<uint16_t> runPasses(int passes) {
    for (int i = 0; i < passes; ++i) session.engine().runPass();
    return takeShown();
  }

  PlaybackEngine::Clock::time_point now = PlaybackEngine::Clock::time_point{} + 1h;
  IrFileSession session;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<uint16_t> shown_;
  std::vector<int32_t> timings_;
  std::vector<PlaybackEvent> events_;
  bool ksCalibrated_ = false;
};

std::vector<uint16_t> values(std::initializer_list<int32_t> frames) {
  std::vector<uint16_t> out;
  for (int32_t k : frames) out.push_back(frameValue(k));
  return out;
}

struct VersionCase {
  const char* name;
  int32_t version;
  uint16_t width, height;
};
void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.name; }

class PlaybackOfVersion : public ::testing::TestWithParam<VersionCase> {
 protected:
  void SetUp() override {
    path_ = folder_.file("Thermal_IRS_20261208010000.hxr");
    testing::writeStreamFile(path_, GetParam().version, GetParam().width, GetParam().height,
                             kFrames);
    outcome_ = player_.session.load(path_);
    ASSERT_TRUE(outcome_.loaded) << outcome_.message;
    ASSERT_EQ(player_.takeShown(), values({0}));
  }
  PlaybackEngine& engine() { return player_.session.engine(); }

  TempFolder folder_;
  std::string path_;
  Player player_;
  LoadOutcome outcome_;
};

TEST_P(PlaybackOfVersion, CountsTheFramesTheWriterWrote) {
  EXPECT_EQ(outcome_.frameCount, kFrames);
  EXPECT_EQ(outcome_.width, GetParam().width);
  EXPECT_EQ(outcome_.height, GetParam().height);
  EXPECT_EQ(outcome_.statusPane, imageSizeText(GetParam().width, GetParam().height));
  EXPECT_EQ(outcome_.windowTitle, "Solvane - Thermal_IRS_20261208010000");
  EXPECT_EQ(outcome_.cameraName, "Thermal_IRS_20261208010000");
}

TEST_P(PlaybackOfVersion, SliderPositionsAreTheFramesOfTheFile) {
  std::ifstream in(path_, std::ios::binary);
  for (int32_t k = 0; k < kFrames; ++k) {
    // Every slider position starts with the frame mark ...
    const int64_t at = player_.session.file().geometry().positionOf(k);
    in.seekg(at);
    uint32_t mark = 0;
    in.read(reinterpret_cast<char*>(&mark), 4);
    EXPECT_EQ(mark, 1234567890u) << k;
    // ... and shows its frame.
    engine().seek(k);
    EXPECT_EQ(player_.takeShown(), values({k}));
  }
}

TEST_P(PlaybackOfVersion, PlaysToTheLastFrameAndPausesThereWithoutLoop) {
  engine().setLoop(false);
  engine().play();
  EXPECT_EQ(player_.runUntilSuspended(), values({1, 2, 3, 4}));
  EXPECT_EQ(engine().mode(), PlayMode::Paused);
  EXPECT_EQ(engine().shownFrame(), kFrames - 1);
  EXPECT_EQ(player_.count(EventKind::Paused), 1);
  // Play again: the last frame stays.
  engine().play();
  EXPECT_EQ(player_.runUntilSuspended(), values({4}));
}

TEST_P(PlaybackOfVersion, PlayLoopContinuesAtTheFirstFrame) {
  engine().play();  // the loop is on from the start
  EXPECT_EQ(player_.runPasses(7), values({1, 2, 3, 4, 0, 1, 2}));
  EXPECT_EQ(engine().mode(), PlayMode::Play);
  EXPECT_EQ(player_.count(EventKind::Paused), 0);
}

TEST_P(PlaybackOfVersion, FastForwardReachesTheEndLikePlay) {
  engine().setLoop(false);
  engine().fastForward();
  EXPECT_EQ(player_.runUntilSuspended(), values({1, 2, 3, 4}));
  EXPECT_EQ(engine().mode(), PlayMode::Paused);
}

TEST_P(PlaybackOfVersion, RewindReachesTheFirstFrameWithAndWithoutLoop) {
  for (bool loop : {true, false}) {
    engine().setLoop(loop);
    engine().seek(kFrames - 1);
    player_.takeShown();
    engine().rewind();
    EXPECT_EQ(player_.runUntilSuspended(), values({3, 2, 1, 0})) << loop;
    EXPECT_EQ(engine().mode(), PlayMode::Paused);
    EXPECT_EQ(engine().shownFrame(), 0);
  }
}

TEST_P(PlaybackOfVersion, StepsMoveOneFrameEitherWay) {
  const auto step = [&](bool forward) {
    forward ? engine().stepForward() : engine().stepBackward();
    EXPECT_EQ(engine().runPass().next, Next::Suspend);
    EXPECT_EQ(engine().mode(), PlayMode::Paused);
    const auto shown = player_.takeShown();
    return shown.empty() ? uint16_t{0} : shown.back();
  };
  EXPECT_EQ(step(true), frameValue(1));
  EXPECT_EQ(step(true), frameValue(2));
  EXPECT_EQ(step(false), frameValue(1));
  EXPECT_EQ(step(false), frameValue(0));
  EXPECT_EQ(step(false), frameValue(0));  // across the start: it stays
  EXPECT_EQ(step(true), frameValue(1));
}

TEST_P(PlaybackOfVersion, StepForwardAcrossTheEndFollowsTheLoop) {
  engine().seek(kFrames - 1);
  player_.takeShown();
  engine().setLoop(false);
  engine().stepForward();
  engine().runPass();
  EXPECT_EQ(player_.takeShown(), values({4}));
  engine().setLoop(true);
  engine().stepForward();
  engine().runPass();
  EXPECT_EQ(player_.takeShown(), values({0}));
}

TEST_P(PlaybackOfVersion, StopReturnsToTheFirstFrame) {
  engine().play();
  player_.runPasses(3);
  engine().stop();
  EXPECT_EQ(engine().mode(), PlayMode::Stopped);
  EXPECT_EQ(engine().runPass().next, Next::Suspend);  // stopped: nothing is read
  EXPECT_TRUE(player_.takeShown().empty());
  engine().play();
  EXPECT_EQ(player_.runPasses(2), values({0, 1}));
}

INSTANTIATE_TEST_SUITE_P(Versions, PlaybackOfVersion,
                         ::testing::Values(VersionCase{"V16", 16, 320, 240},
                                           VersionCase{"V17", 17, 320, 240},
                                           VersionCase{"V20", 20, 640, 480},
                                           VersionCase{"V32", 32, 384, 288},
                                           VersionCase{"V33", 33, 384, 288}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ControlCase {
  const char* name;
  PlayMode mode;
  bool play, pause, stop, steps;
};
void PrintTo(const ControlCase& c, std::ostream* os) { *os << c.name; }

class PlayControls : public ::testing::TestWithParam<ControlCase> {};

TEST_P(PlayControls, FollowTheMode) {
  const auto& c = GetParam();
  const PlayControlState state = playControlsFor(c.mode);
  EXPECT_EQ(state.play, c.play);
  EXPECT_EQ(state.pause, c.pause);
  EXPECT_EQ(state.stop, c.stop);
  EXPECT_EQ(state.steps, c.steps);
  EXPECT_TRUE(state.rewind && state.fastForward);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PlayControls,
    ::testing::Values(ControlCase{"Playing", PlayMode::Play, false, true, true, false},
                      ControlCase{"Rewinding", PlayMode::Rewind, false, true, true, false},
                      ControlCase{"FastForwarding", PlayMode::FastForward, false, true, true,
                                  false},
                      ControlCase{"Paused", PlayMode::Paused, true, false, false, true},
                      ControlCase{"Stopped", PlayMode::Stopped, true, false, false, true},
                      ControlCase{"Stepped", PlayMode::StepForward, true, false, false, true},
                      ControlCase{"JustLoaded", PlayMode::NoThread, true, false, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

// A file whose every frame has the same time value.
std::string steadyFile(const TempFolder& folder, int32_t timing) {
  const std::string path = folder.file("steady.hxr");
  IRHeader header{};
  header.version = 17;
  header.width = 320;
  header.height = 240;
  IRHeaderExt ext{};
  IRStreamHandle stream = nullptr;
  EXPECT_EQ(SaveIRHeader(&stream, path.c_str(), &header, &ext), SDK_SUCCESS);
  std::vector<uint16_t> pixels(320 * 240, 1);
  uint32_t counter = 0;
  for (int k = 0; k < 3; ++k)
    EXPECT_EQ(SetIRImageToStream_v2(stream, pixels.data(), 320 * 240, timing, &counter, 17),
              SDK_SUCCESS);
  CloseIRStream(stream);
  return path;
}

struct PaceCase {
  const char* name;
  bool fast;
  int32_t timing;
  int64_t waitMs;
  int32_t rate;  // tenths of a hertz after 20 frames
};
void PrintTo(const PaceCase& c, std::ostream* os) { *os << c.name; }

class Pacing : public ::testing::TestWithParam<PaceCase> {};

TEST_P(Pacing, WaitsTheRecordedIntervalAndShowsTheRate) {
  const auto& c = GetParam();
  TempFolder folder;
  Player player;
  ASSERT_TRUE(player.session.load(steadyFile(folder, c.timing)).loaded);
  auto& engine = player.session.engine();
  c.fast ? engine.fastForward() : engine.play();
  for (int i = 0; i < kFrameRateFrames; ++i) {
    player.now += 1s;
    const auto pass = engine.runPass();
    ASSERT_EQ(pass.due - player.now, std::chrono::milliseconds(c.waitMs));
  }
  const auto events = player.events();
  const auto rate = std::find_if(events.begin(), events.end(),
                                 [](const auto& e) { return e.kind == EventKind::FrameRate; });
  ASSERT_NE(rate, events.end());
  EXPECT_EQ(rate->value, c.rate);
  EXPECT_EQ(player.count(EventKind::FrameRate), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Speeds, Pacing,
    ::testing::Values(PaceCase{"PlayAt30Hz", false, 3333, 33, 300},
                      PaceCase{"FastForwardAFifthOfTheWait", true, 3333, 6, 1502},
                      PaceCase{"PlayOnceASecond", false, 100000, 1000, 10},
                      // A zero stored as 33 by the writer: no wait, and no division by zero.
                      PaceCase{"ShortestTimeValueFastHasNoRate", true, 1, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedName {
  const char* name;
  const char* file;
  const char* message;
};
void PrintTo(const RefusedName& c, std::ostream* os) { *os << c.name; }

class LoadRefused : public ::testing::TestWithParam<RefusedName> {};

TEST_P(LoadRefused, SaysWhyAndOpensNothing) {
  TempFolder folder;
  Player player;
  const std::string path = folder.file(GetParam().file);
  std::ofstream(path, std::ios::binary) << std::string(3000, '\x07');
  const LoadOutcome outcome = player.session.load(path);
  EXPECT_FALSE(outcome.loaded);
  EXPECT_EQ(outcome.message, GetParam().message);
  EXPECT_FALSE(player.session.streamOpen());
  EXPECT_FALSE(player.session.stillImage());
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadRefused,
    ::testing::Values(RefusedName{"JpgInCapitals", "x.JPG", kLoadRefused},
                      RefusedName{"HxrInCapitals", "x.HXR", kLoadRefused},
                      RefusedName{"BackupSuffix", "x.hxr.bak", kLoadRefused},
                      RefusedName{"OtherExtension", "x.png", kLoadRefused},
                      RefusedName{"NoExtension", "x", kLoadRefused},
                      RefusedName{"SizeNoReaderCanStepThrough", "bad.hxr", kFileLoadError},
                      RefusedName{"SnapshotWithoutReader", "x.jpg", kLoadRefused}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Load, MissingStreamFileGivesFileLoadError) {
  TempFolder folder;
  Player player;
  EXPECT_EQ(player.session.load(folder.file("gone.hxr")).message, kFileLoadError);
}

TEST(Load, KsFileOfVersion33GetsACalibrationSlotUntilClosed) {
  TempFolder folder;
  Player player;
  const std::string path = folder.file("ks.hxr");
  testing::writeStreamFile(path, 33, 384, 288, 2);
  ASSERT_TRUE(player.session.load(path).loaded);
  EXPECT_TRUE(player.ksCalibrated());
  EXPECT_TRUE(player.session.close());
  EXPECT_FALSE(player.session.streamOpen());
}

struct FakeSnapshots : SnapshotReader {
  std::optional<SnapshotImage> read(const std::string&) override {
    SnapshotImage image;
    const uint8_t info[] = {0x40, 0x01, 0xF0, 0x00, 2,    0, 0xF4, 0x01, 0x64,
                            0x00, 0,    0,    0x28, 0x5F, 0, 0,    0x84, 0x03,
                            0xB6, 0x03, 1,    5,    20,   1, 0,    1,    0};
    std::memcpy(image.info.data(), info, sizeof info);
    image.pixels.assign(320 * 240, 4242);
    return image;
  }
};

TEST(Load, SnapshotRestoresItsParametersAsAStillImage) {
  TempFolder folder;
  FakeSnapshots snapshots;
  Player player(std::make_unique<InstantPacer>(), &snapshots);
  const LoadOutcome outcome = player.session.load(folder.file("Thermal_IR_20261208010203.jpg"));
  ASSERT_TRUE(outcome.loaded) << outcome.message;
  EXPECT_TRUE(player.session.stillImage());
  EXPECT_EQ(outcome.statusPane, "( 320 * 240 * 8b )");
  ASSERT_TRUE(outcome.snapshot.has_value());
  const SnapshotParams& p = *outcome.snapshot;
  EXPECT_EQ(p.agcMode, 2);
  EXPECT_FLOAT_EQ(p.level, 50.0f);
  EXPECT_FLOAT_EQ(p.span, 10.0f);
  EXPECT_FLOAT_EQ(p.atmosphericTemp, 24.36f);
  EXPECT_FLOAT_EQ(p.transmission, 0.9f);
  EXPECT_FLOAT_EQ(p.emissivity, 0.95f);
  EXPECT_EQ(p.range, 1);
  EXPECT_EQ(p.palette, 5);
  EXPECT_FLOAT_EQ(p.zoom, 2.0f);
  EXPECT_TRUE(p.invert);
  EXPECT_FALSE(p.mirror);
  EXPECT_TRUE(p.flip);
  EXPECT_EQ(player.session.stillFrame().pixels[0], 4242);
}

TEST(PlaybackThread, PlaysOnItsOwnAndPausesOnTheLastFrame) {
  TempFolder folder;
  Player player;
  const std::string path = folder.file("a.hxr");
  testing::writeStreamFile(path, 32, 384, 288, kFrames);
  ASSERT_TRUE(player.session.load(path).loaded);
  player.takeShown();
  player.session.setLoop(false);
  player.session.play();
  ASSERT_TRUE(player.waitFor(EventKind::Paused));
  EXPECT_EQ(player.takeShown(), values({1, 2, 3, 4}));
  // Suspended, not ended: a step backward runs on the same thread.
  EXPECT_TRUE(player.session.threadRunning());
  player.session.stepBackward();
  ASSERT_TRUE(player.waitShown(1));
  EXPECT_EQ(player.takeShown(), values({3}));
  player.session.close();
  EXPECT_FALSE(player.session.threadRunning());
}

TEST(PlaybackThread, CloseEndsAThreadThatWaitsForALateFrame) {
  TempFolder folder;
  // Real pacing, ten seconds between frames: close must not wait them out.
  Player player(std::make_unique<SteadyPacer>());
  player.now = PlaybackEngine::Clock::now();
  ASSERT_TRUE(player.session.load(steadyFile(folder, 1'000'000)).loaded);
  player.takeShown();
  player.session.play();
  ASSERT_TRUE(player.waitShown(1));
  player.session.close();
  EXPECT_FALSE(player.session.threadRunning());
  EXPECT_EQ(player.takeShown().size(), 1u);
}

TEST(PlaybackThread, AnUnreadableFrameEndsTheThreadWithTheReason) {
  TempFolder folder;
  Player player;
  const std::string path = folder.file("broken.hxr");
  testing::writeStreamFile(path, 17, 320, 240, 3);
  {
    // The second frame's mark is overwritten.
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(1022 + (2 * 320 * 240 + 8));
    file.write("XXXX", 4);
  }
  ASSERT_TRUE(player.session.load(path).loaded);
  player.session.play();
  ASSERT_TRUE(player.waitFor(EventKind::Error));
  const auto events = player.events();
  const auto error = std::find_if(events.begin(), events.end(),
                                  [](const auto& e) { return e.kind == EventKind::Error; });
  EXPECT_EQ(error->text, std::string(kDataFileError) + "First frame position error.");
}

}  // namespace
}  // namespace solvane::record
