#include "record/recorder.h"
#include "record/play_file.h"
#include "record/stream_geometry.h"

#include "record_test_support.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

namespace solvane::record {
namespace {

using namespace std::chrono_literals;
using testing::TempFolder;
using Kind = RecorderEvent::Kind;

std::vector<uint8_t> fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

float floatAt(const std::vector<uint8_t>& bytes, std::size_t at) {
  float value;
  std::memcpy(&value, &bytes[at], sizeof value);
  return value;
}
int32_t int32At(const std::vector<uint8_t>& bytes, std::size_t at) {
  int32_t value;
  std::memcpy(&value, &bytes[at], sizeof value);
  return value;
}

struct FakeMovie : MovieSink {
  bool open(const MovieSettings& s) override {
    settings = s;
    opened = true;
    return true;
  }
  bool append(const MovieFrame& frame) override {
    if (failNext) {
      opened = false;
      return false;
    }
    appended.push_back(frame.width);
    return true;
  }
  std::string errorText() const override {
    return "Unable to Write Video Stream to the output Movie File";
  }
  bool isOpen() const override { return opened; }
  void close() override {
    opened = false;
    ++closed;
  }
  MovieSettings settings;
  bool opened = false;
  bool failNext = false;
  int closed = 0;
  std::vector<int32_t> appended;
};

struct FakeTempMaps : TempMapSink {
  void exportFrame(const RawFrame& frame) override {
    std::lock_guard lock(mutex);
    firstPixels.push_back(frame.pixels.empty() ? 0 : frame.pixels[0]);
  }
  std::mutex mutex;
  std::vector<uint16_t> firstPixels;
};

// A recorder with clocks the test moves, and every event it sends.
class RecorderHarness {
 public:
  explicit RecorderHarness(int64_t limit = kStreamFileLimit, MovieSink* movie = nullptr,
                           TempMapSink* maps = nullptr) {
    Recorder::Hooks hooks;
    hooks.localTime = [this] {
      std::lock_guard lock(mutex_);
      LocalTime t = wallClock;
      if (advanceWallClock) ++wallClock.second;
      return t;
    };
    hooks.now = [this] {
      std::lock_guard lock(mutex_);
      return steady;
    };
    hooks.fileSizeLimit = limit;
    recorder = std::make_unique<Recorder>(
        [this](const RecorderEvent& e) {
          std::lock_guard lock(mutex_);
          events.push_back(e);
        },
        movie, maps, hooks);
    RecordSettings settings;
    settings.savePath = folder.path();
    settings.cameraName = "Thermal";
    recorder->setSettings(settings);
  }

  void camera(int32_t type, uint16_t width, uint16_t height) {
    CameraSnapshot snapshot;
    snapshot.cameraType = type;
    snapshot.width = width;
    snapshot.height = height;
    snapshot.env = EnvParams{0.93f, 24.5f, 0.85f, 7.0f};
    snapshot.rangeIndex = 2;
    for (int i = 0; i < 512; ++i) snapshot.header.bytes[i] = static_cast<uint8_t>(i * 7);
    snapshot.displayDivisor = 1;
    recorder->setCamera(snapshot);
    width_ = width;
    height_ = height;
    extra_ = type >= 2 ? width : 0;
  }
  void settings(const std::function<void(RecordSettings&)>& change) {
    RecordSettings s = recorder->settings();
    change(s);
    recorder->setSettings(s);
  }
  std::vector<uint16_t> frame(int32_t k) const {
    return std::vector<uint16_t>(std::size_t{width_} * height_ + extra_, testing::frameValue(k));
  }
  void receive(int32_t k, std::chrono::nanoseconds later = 0ns) {
    {
      std::lock_guard lock(mutex_);
      steady += later;
    }
    recorder->onReceivedFrame(frame(k));
  }
  std::vector<RecorderEvent> taken() {
    std::lock_guard lock(mutex_);
    return events;
  }
  std::vector<int32_t> notices() {
    std::vector<int32_t> values;
    for (const auto& e : taken())
      if (e.kind == Kind::MainFrame) values.push_back(e.value);
    return values;
  }
  std::vector<std::pair<std::string, std::string>> messages() {
    std::vector<std::pair<std::string, std::string>> shown;
    for (const auto& e : taken())
      if (e.kind == Kind::Message) shown.emplace_back(e.text, e.title);
    return shown;
  }

  TempFolder folder;
  LocalTime wallClock{2026, 12, 8, 1, 30, 15};
  bool advanceWallClock = false;
  RecordTimer::Clock::time_point steady = RecordTimer::Clock::time_point{} + 10h;
  std::unique_ptr<Recorder> recorder;
  std::vector<RecorderEvent> events;

 private:
  std::mutex mutex_;
  uint16_t width_ = 320, height_ = 240;
  std::size_t extra_ = 0;
};

struct PlayedBack {
  std::vector<uint16_t> values;
  std::vector<int32_t> timings;
};
PlayedBack playBack(const std::string& path) {
  PlayFile file;
  std::string error;
  PlayedBack played;
  EXPECT_TRUE(file.open(path, error)) << error << " " << path;
  for (int32_t k = 0; k < file.frameCount(); ++k) {
    const FrameRead read = file.readForward(k, false);
    EXPECT_TRUE(read.status == SDK_SUCCESS || read.status == SDK_ERR_END_OF_IR_IMAGE);
    played.values.push_back(file.pixels()[0]);
    played.timings.push_back(read.timing);
  }
  return played;
}

TEST(RawRecording, NamesTheFileByCameraAndStartTime) {
  RecorderHarness h;
  h.camera(0, 320, 240);
  ASSERT_TRUE(h.recorder->recordCommand());
  const std::string expected = h.folder.file("Thermal_IRS_20261208013015.hxr");
  EXPECT_EQ(h.recorder->state().path, expected);
  EXPECT_TRUE(std::filesystem::exists(expected));
  EXPECT_EQ(h.notices(), std::vector<int32_t>{kNoticeRecordingStarted});
}

struct HeaderCase {
  const char* name;
  int32_t cameraType;
  uint16_t width, height;
  uint8_t version;
};
void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.name; }

class RawRecordingHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(RawRecordingHeader, CarriesSizeParametersStartTimeAndCameraHeader) {
  const auto& c = GetParam();
  RecorderHarness h;
  h.camera(c.cameraType, c.width, c.height);
  ASSERT_TRUE(h.recorder->start(RecordKind::User));
  h.recorder->stopCommand();
  const auto bytes = fileBytes(h.recorder->state().files.at(0));
  ASSERT_EQ(bytes.size(), 1022u);
  EXPECT_EQ(bytes[0], c.version);
  EXPECT_EQ(bytes[1] | bytes[2] << 8, c.width);
  EXPECT_EQ(bytes[3] | bytes[4] << 8, c.height);
  EXPECT_EQ(floatAt(bytes, 5), 0.93f);
  EXPECT_EQ(floatAt(bytes, 9), 24.5f);
  EXPECT_EQ(floatAt(bytes, 13), 0.85f);
  EXPECT_EQ(floatAt(bytes, 17), 7.0f);
  EXPECT_EQ(bytes[21], 2);  // the temperature range
  const int32_t date[] = {2026, 12, 8, 1, 30, 15};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(int32At(bytes, 22 + 4 * i), date[i]) << i;
  for (int i = 0; i < 512; ++i) ASSERT_EQ(bytes[21 + 29 + i], static_cast<uint8_t>(i * 7)) << i;
}

INSTANTIATE_TEST_SUITE_P(CameraTypes, RawRecordingHeader,
                         ::testing::Values(HeaderCase{"FirstGeneration", 0, 320, 240, 17},
                                           HeaderCase{"Kt640", 1, 640, 480, 17},
                                           HeaderCase{"Va320", 2, 384, 288, 32},
                                           HeaderCase{"Vi640", 3, 640, 480, 32}),
                         [](const auto& info) { return std::string(info.param.name); });

class RawRecordingDecimation : public ::testing::TestWithParam<int32_t> {};

TEST_P(RawRecordingDecimation, KeepsTheReceivedFramesDividedBySaveFrame) {
  const int32_t saveFrame = GetParam();
  RecorderHarness h;
  h.camera(2, 384, 288);
  h.settings([&](RecordSettings& s) { s.saveFrame = saveFrame; });
  ASSERT_TRUE(h.recorder->recordCommand());
  constexpr int32_t kReceived = 12;
  for (int32_t k = 0; k < kReceived; ++k) h.receive(k, 33ms);
  EXPECT_EQ(h.recorder->state().frameCounter, static_cast<uint32_t>(kReceived / saveFrame));
  const std::string path = h.recorder->state().path;
  h.recorder->stopCommand();
  const PlayedBack played = playBack(path);
  ASSERT_EQ(played.values.size(), static_cast<std::size_t>(kReceived / saveFrame));
  // The kept frames are the SAVE FRAME-th, 2 x SAVE FRAME-th, ... received ones.
  for (std::size_t i = 0; i < played.values.size(); ++i)
    EXPECT_EQ(played.values[i], testing::frameValue(static_cast<int32_t>((i + 1) * saveFrame) - 1));
}

INSTANTIATE_TEST_SUITE_P(SaveFrame, RawRecordingDecimation, ::testing::Values(1, 2, 3, 5),
                         [](const auto& info) { return "Every" + std::to_string(info.param); });

TEST(RawRecording, StoresTheIntervalSinceThePreviousRecordedFrame) {
  RecorderHarness h;
  h.camera(0, 320, 240);
  ASSERT_TRUE(h.recorder->recordCommand());
  h.receive(0, 100ms);    // a tenth of a second after the start
  h.receive(1, 5min);     // a user-defined recording every five minutes
  h.receive(2, 33334us);  // thirty hertz
  const std::string path = h.recorder->state().path;
  h.recorder->stopCommand();
  EXPECT_EQ(playBack(path).timings, (std::vector<int32_t>{10000, 30'000'000, 3333}));
}

TEST(RawRecording, WritesAZeroExtraRowForAFrameThatHasNone) {
  RecorderHarness h;
  h.camera(2, 384, 288);
  ASSERT_TRUE(h.recorder->recordCommand());
  h.recorder->onReceivedFrame(std::vector<uint16_t>(384 * 288, 77));
  const std::string path = h.recorder->state().path;
  h.recorder->stopCommand();
  PlayFile file;
  std::string error;
  ASSERT_TRUE(file.open(path, error));
  ASSERT_EQ(file.frameCount(), 1);
  file.readForward(0, false);
  EXPECT_EQ(file.pixels()[384 * 288 - 1], 77);
  EXPECT_EQ(file.pixels()[384 * 288], 0);
  EXPECT_EQ(file.pixels().back(), 0);
}

TEST(RawRecording, RefusesAFrameSmallerThanTheImage) {
  RecorderHarness h;
  h.camera(0, 320, 240);
  ASSERT_TRUE(h.recorder->recordCommand());
  h.recorder->onReceivedFrame(std::vector<uint16_t>(100, 1));
  EXPECT_FALSE(h.recorder->state().recording());
  EXPECT_EQ(h.messages().back(),
            std::make_pair(std::string(kImageBufferError), std::string(kErrorTitle)));
}

TEST(RawRecording, PlayedFramesKeepTheirTimeValueAndAreAllRecorded) {
  RecorderHarness h;
  h.camera(0, 320, 240);
  h.settings([](RecordSettings& s) { s.saveFrame = 3; });
  ASSERT_TRUE(h.recorder->recordCommand());
  for (int32_t k = 0; k < 4; ++k) h.recorder->onPlaybackFrame(h.frame(k), 500 + k);
  const std::string path = h.recorder->state().path;
  h.recorder->stopCommand();
  EXPECT_EQ(playBack(path).timings, (std::vector<int32_t>{500, 501, 502, 503}));
}

TEST(RawRecording, AFailingWriteStopsAndKeepsTheFramesWrittenSoFar) {
  RecorderHarness h;
  h.camera(0, 320, 240);
  ASSERT_TRUE(h.recorder->recordCommand());
  h.receive(0, 40ms);
  // The process may write files of two and a half frames: the second frame is cut short.
  signal(SIGXFSZ, SIG_IGN);
  rlimit before{};
  getrlimit(RLIMIT_FSIZE, &before);
  rlimit small = before;
  small.rlim_cur = 1022 + 2 * (2 * 320 * 240 + 8) - 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  h.receive(1, 40ms);
  h.receive(2, 40ms);
  setrlimit(RLIMIT_FSIZE, &before);
  EXPECT_FALSE(h.recorder->state().recording());
  EXPECT_EQ(h.messages(),
            (std::vector<std::pair<std::string, std::string>>{{kImageWriteError, kErrorTitle}}));
  EXPECT_EQ(playBack(h.recorder->state().files.at(0)).values, (std::vector<uint16_t>{1000}));
}

TEST(RawRecording, AnUnwritableFolderGivesFileOpenError) {
  RecorderHarness h;
  h.camera(0, 320, 240);
  h.settings([&](RecordSettings& s) { s.savePath = h.folder.file("missing/deeper"); });
  EXPECT_FALSE(h.recorder->recordCommand());
  EXPECT_FALSE(h.recorder->state().recording());
  EXPECT_EQ(h.messages(),
            (std::vector<std::pair<std::string, std::string>>{{kFileOpenError, kErrorTitle}}));
  EXPECT_TRUE(h.notices().empty());
}

// Frame bytes of a 320 x 240 version-17 file.
constexpr int64_t kSmallFrame = 2 * 320 * 240 + 8;

TEST(RawRollOver, ContinuesInANewFileWithANewTimeStampAndLosesNoFrame) {
  // The limit is passed when a file holds more than it: three frames here.
  RecorderHarness h(1022 + 2 * kSmallFrame + 1);
  h.advanceWallClock = true;
  h.camera(0, 320, 240);
  ASSERT_TRUE(h.recorder->recordCommand());
  for (int32_t k = 0; k < 7; ++k) h.receive(k, 40ms);
  h.recorder->stopCommand();
  const auto files = h.recorder->state().files;
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(std::filesystem::path(files[0]).filename(), "Thermal_IRS_20261208013015.hxr");
  EXPECT_EQ(std::filesystem::path(files[1]).filename(), "Thermal_IRS_20261208013016.hxr");
  EXPECT_EQ(std::filesystem::path(files[2]).filename(), "Thermal_IRS_20261208013017.hxr");
  std::vector<uint16_t> all;
  for (const auto& file : files) {
    const auto values = playBack(file).values;
    all.insert(all.end(), values.begin(), values.end());
  }
  std::vector<uint16_t> expected;
  for (int32_t k = 0; k < 7; ++k) expected.push_back(testing::frameValue(k));
  EXPECT_EQ(all, expected);
  // The record buttons saw one recording.
  EXPECT_EQ(h.notices(), (std::vector<int32_t>{kNoticeRecordingStarted, kNoticeRecordingEnded}));
  EXPECT_TRUE(h.messages().empty());
}

// "Manual Name": the chosen path (its extension added when missing) names the first file;
// the size limit continues beside it, never over it; alarm recordings stay automatic.
TEST(RawRollOver, AChosenNameKeepsItsFileAndContinuesBesideIt) {
  RecorderHarness h(1022 + 2 * kSmallFrame + 1);
  h.camera(0, 320, 240);
  const std::string chosen = h.folder.path() + "/furnace start";
  ASSERT_TRUE(h.recorder->recordCommand(chosen));
  for (int32_t k = 0; k < 5; ++k) h.receive(k, 40ms);
  h.recorder->stopCommand();
  EXPECT_EQ(h.recorder->state().files,
            (std::vector<std::string>{chosen + ".hxr", chosen + "_2.hxr"}));
  ASSERT_TRUE(h.recorder->start(RecordKind::Alarm));
  EXPECT_EQ(std::filesystem::path(h.recorder->state().path).filename(),
            "Thermal_IRS_20261208013015.hxr");
  h.recorder->stop();
  ASSERT_TRUE(h.recorder->recordCommand(h.folder.path() + "/again.HXR"));
  EXPECT_EQ(h.recorder->state().path, h.folder.path() + "/again.HXR");
}

TEST(RawRollOver, WithinTheSameSecondDoesNotOverwriteTheFullFile) {
  RecorderHarness h(1022 + kSmallFrame + 1);
  h.camera(0, 320, 240);
  ASSERT_TRUE(h.recorder->recordCommand());
  for (int32_t k = 0; k < 4; ++k) h.receive(k, 40ms);
  h.recorder->stopCommand();
  const auto files = h.recorder->state().files;
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(std::filesystem::path(files[1]).filename(), "Thermal_IRS_20261208013015_2.hxr");
  EXPECT_EQ(playBack(files[0]).values.size() + playBack(files[1]).values.size(), 4u);
}

// A reconnection to the same address can reach another camera: its frames start a file of
// their own instead of being cut to the first camera's size.
TEST(RawRecording, AnotherCameraSizeOrFamilyContinuesInANewFile) {
  RecorderHarness h;
  h.advanceWallClock = true;
  h.camera(0, 320, 240);
  ASSERT_TRUE(h.recorder->recordCommand());
  for (int32_t k = 0; k < 2; ++k) h.receive(k, 40ms);
  h.camera(0, 320, 240);  // the same camera again: the same file
  h.receive(2, 40ms);
  h.camera(2, 640, 480);  // a KS camera of another size
  for (int32_t k = 3; k < 6; ++k) h.receive(k, 40ms);
  h.recorder->stopCommand();
  const auto files = h.recorder->state().files;
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(playBack(files[0]).values,
            (std::vector<uint16_t>{testing::frameValue(0), testing::frameValue(1),
                                   testing::frameValue(2)}));
  EXPECT_EQ(playBack(files[1]).values.size(), 3u);
  PlayFile second;
  std::string error;
  ASSERT_TRUE(second.open(files[1], error)) << error;
  EXPECT_EQ(second.header().width, 640);
  EXPECT_EQ(second.header().version, 32);
  EXPECT_EQ(h.notices(), (std::vector<int32_t>{kNoticeRecordingStarted, kNoticeRecordingEnded}));
}

TEST(Recording, UseAviWithoutCodecRecordsNothing) {
  FakeMovie movie;
  RecorderHarness h(kStreamFileLimit, &movie);
  h.camera(3, 640, 480);
  h.settings([](RecordSettings& s) {
    s.useAvi = 1;
    s.fourcc.clear();
  });
  EXPECT_FALSE(h.recorder->recordCommand());
  EXPECT_FALSE(h.recorder->state().recording());
  EXPECT_FALSE(movie.opened);
  EXPECT_TRUE(h.folder.files().empty());
  EXPECT_EQ(h.messages(),
            (std::vector<std::pair<std::string, std::string>>{{kNoCodec, kWarningTitle}}));
  EXPECT_TRUE(h.notices().empty());
}

TEST(Recording, MovieOpensWithStepRateAndQualityAndTakesTheFirstPicture) {
  FakeMovie movie;
  RecorderHarness h(kStreamFileLimit, &movie);
  h.camera(3, 640, 480);
  h.settings([](RecordSettings& s) {
    s.useAvi = 1;
    s.fourcc = "XVID";
    s.saveFrame = 3;
    s.aviQuality = 7500;
  });
  ASSERT_TRUE(h.recorder->recordCommand());
  EXPECT_EQ(movie.settings.path, h.folder.file("Thermal_IRS_20261208013015.avi"));
  EXPECT_EQ(movie.settings.fourcc, fourccOf("XVID"));
  EXPECT_EQ(movie.settings.frameStep, (1 + 1) * 3);
  EXPECT_EQ(movie.settings.frameRate, 30);
  EXPECT_EQ(movie.settings.quality, 7500);
  std::vector<uint8_t> pixels(16);
  for (int32_t k = 0; k < 7; ++k) h.recorder->onComposedPicture(MovieFrame{pixels, k, 1, 32});
  // Pictures 0, 3 and 6: the first at once, then every third.
  EXPECT_EQ(movie.appended, (std::vector<int32_t>{0, 3, 6}));
  h.recorder->stopCommand();
  EXPECT_EQ(movie.closed, 1);
  EXPECT_EQ(h.notices(), (std::vector<int32_t>{kNoticeRecordingStarted, kNoticeRecordingEnded}));
}

TEST(Recording, AFailedMoviePictureStopsForGoodWithTheWritersText) {
  FakeMovie movie;
  RecorderHarness h(kStreamFileLimit, &movie);
  h.camera(3, 640, 480);
  h.settings([](RecordSettings& s) { s.useAvi = 1; });
  ASSERT_TRUE(h.recorder->recordCommand());
  movie.failNext = true;
  std::vector<uint8_t> pixels(16);
  h.recorder->onComposedPicture(MovieFrame{pixels, 1, 1, 32});
  const RecorderState state = h.recorder->state();
  EXPECT_FALSE(state.recording());
  EXPECT_FALSE(state.resume);
  EXPECT_EQ(
      h.messages(),
      (std::vector<std::pair<std::string, std::string>>{{movie.errorText(), kMovieErrorTitle}}));
}

TEST(Recording, CsvSeriesExportsEverySaveFrameThFrame) {
  FakeTempMaps maps;
  RecorderHarness h(kStreamFileLimit, nullptr, &maps);
  h.camera(0, 320, 240);
  h.settings([](RecordSettings& s) {
    s.useAvi = 2;
    s.saveFrame = 2;
  });
  ASSERT_TRUE(h.recorder->recordCommand());
  for (int32_t k = 0; k < 6; ++k) h.receive(k, 33ms);
  h.recorder->stopCommand();
  EXPECT_EQ(maps.firstPixels, (std::vector<uint16_t>{testing::frameValue(1), testing::frameValue(3),
                                                     testing::frameValue(5)}));
  EXPECT_TRUE(h.folder.files().empty());
  EXPECT_EQ(h.notices(), (std::vector<int32_t>{kNoticeRecordingStarted, kNoticeRecordingEnded}));
}

struct KindCase {
  const char* name;
  RecordKind kind;
  int32_t useAvi, alarmSelection, scheduleSelection;
  bool raw, csv;
  std::vector<int32_t> notices;
};
void PrintTo(const KindCase& c, std::ostream* os) { *os << c.name; }

class RecordingKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(RecordingKinds, SelectTheirFormAndTellTheRecordButtons) {
  const auto& c = GetParam();
  FakeTempMaps maps;
  RecorderHarness h(kStreamFileLimit, nullptr, &maps);
  h.camera(0, 320, 240);
  h.settings([&](RecordSettings& s) {
    s.useAvi = c.useAvi;
    s.alarmRecordSelection = c.alarmSelection;
    s.scheduleRecordSelection = c.scheduleSelection;
  });
  ASSERT_TRUE(h.recorder->start(c.kind));
  EXPECT_EQ(h.recorder->state().raw, c.raw);
  EXPECT_EQ(h.recorder->state().csv, c.csv);
  EXPECT_EQ(h.recorder->state().kind, c.kind);
  h.recorder->stop();
  EXPECT_EQ(h.notices(), c.notices);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RecordingKinds,
    ::testing::Values(
        KindCase{"UserRaw", RecordKind::User, 0, 2, 2, true, false, {3, 1}},
        KindCase{"UserCsv", RecordKind::User, 2, 0, 0, false, true, {3, 1}},
        KindCase{"AlarmRawFromItsSelection", RecordKind::Alarm, 2, 0, 2, true, false, {1}},
        KindCase{"AlarmCsvFromItsSelection", RecordKind::Alarm, 0, 2, 0, false, true, {1}},
        KindCase{"ScheduleRawFromItsSelection", RecordKind::Schedule, 2, 2, 0, true, false, {3, 1}},
        KindCase{
            "ScheduleCsvFromItsSelection", RecordKind::Schedule, 0, 0, 2, false, true, {3, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Recording, ResumesAfterAReconnectionOnlyWhileTheUserWantsIt) {
  RecorderHarness h;
  h.advanceWallClock = true;
  h.camera(0, 320, 240);
  ASSERT_TRUE(h.recorder->recordCommand());
  h.recorder->stop();  // a pull error
  EXPECT_TRUE(h.recorder->state().resume);
  EXPECT_TRUE(h.recorder->resumeAfterReconnect());
  EXPECT_EQ(h.recorder->state().files.size(), 2u);
  h.recorder->stopCommand();
  EXPECT_FALSE(h.recorder->resumeAfterReconnect());
  EXPECT_FALSE(h.recorder->state().recording());
}

TEST(Recording, StopWhileIdleChangesNothing) {
  RecorderHarness h;
  h.recorder->stop();
  h.recorder->stopCommand();
  EXPECT_TRUE(h.taken().empty());
}

TEST(Recording, AppendsAndStopsFromSeveralThreadsLeaveWholeFiles) {
  RecorderHarness h;
  h.advanceWallClock = true;
  h.camera(0, 320, 240);
  ASSERT_TRUE(h.recorder->recordCommand());
  std::thread acquisition([&] {
    for (int32_t k = 0; k < 60; ++k) h.recorder->onReceivedFrame(h.frame(k));
  });
  for (int i = 0; i < 5; ++i) {
    h.recorder->stop();
    h.recorder->resumeAfterReconnect();
  }
  acquisition.join();
  h.recorder->stopCommand();
  for (const auto& file : h.recorder->state().files) {
    const auto size = static_cast<int64_t>(std::filesystem::file_size(file));
    EXPECT_EQ((size - 1022) % kSmallFrame, 0) << file;
  }
}

}  // namespace
}  // namespace solvane::record
