#include "record/record_rules.h"
#include "record/frame_sinks.h"

#include "record_test_support.h"

#include <gtest/gtest.h>

#include <fstream>

namespace solvane::record {
namespace {

using namespace std::chrono_literals;

TEST(RecordingFileName, JoinsFolderCameraTagAndLocalTime) {
  EXPECT_EQ(recordingFileName("/home/u/Pictures", "Thermal", {2026, 3, 7, 9, 5, 2}, "hxr"),
            "/home/u/Pictures/Thermal_IRS_20260307090502.hxr");
}

TEST(RecordingFileName, KeepsASingleSeparatorAfterAFolderEndingInOne) {
  EXPECT_EQ(recordingFileName("/data/", "Cam A", {2026, 12, 31, 23, 59, 59}, "avi"),
            "/data/Cam A_IRS_20261231235959.avi");
}

TEST(FreeFileName, NumbersASecondFileOfTheSameSecond) {
  testing::TempFolder folder;
  const std::string name = folder.file("Thermal_IRS_20260101000000.hxr");
  EXPECT_EQ(freeFileName(name), name);
  std::ofstream(name) << "x";
  EXPECT_EQ(freeFileName(name), folder.file("Thermal_IRS_20260101000000_2.hxr"));
  std::ofstream(folder.file("Thermal_IRS_20260101000000_2.hxr")) << "x";
  EXPECT_EQ(freeFileName(name), folder.file("Thermal_IRS_20260101000000_3.hxr"));
}

struct DecimationCase {
  const char* name;
  int32_t condition, period, unit;
  float cameraRate;
  int32_t divisor;
  int32_t expected;
};
void PrintTo(const DecimationCase& c, std::ostream* os) { *os << c.name; }

class Decimation : public ::testing::TestWithParam<DecimationCase> {};

TEST_P(Decimation, KeepsEveryNthFrame) {
  const auto& c = GetParam();
  EXPECT_EQ(decimationFor(c.condition, c.period, c.unit, c.cameraRate, c.divisor), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, Decimation,
    ::testing::Values(DecimationCase{.name = "FullRate",
                                     .condition = 0,
                                     .period = 9,
                                     .unit = 2,
                                     .cameraRate = 30,
                                     .divisor = 3,
                                     .expected = 1},
                      DecimationCase{.name = "HalfRate",
                                     .condition = 1,
                                     .period = 9,
                                     .unit = 2,
                                     .cameraRate = 30,
                                     .divisor = 3,
                                     .expected = 2},
                      DecimationCase{.name = "UserEverySecond",
                                     .condition = 2,
                                     .period = 1,
                                     .unit = 0,
                                     .cameraRate = 30,
                                     .divisor = 0,
                                     .expected = 30},
                      DecimationCase{.name = "UserEveryFiveMinutes",
                                     .condition = 2,
                                     .period = 5,
                                     .unit = 1,
                                     .cameraRate = 30,
                                     .divisor = 0,
                                     .expected = 9000},
                      DecimationCase{.name = "UserEveryHourAtHalfDisplayRate",
                                     .condition = 2,
                                     .period = 1,
                                     .unit = 2,
                                     .cameraRate = 30,
                                     .divisor = 1,
                                     .expected = 54000},
                      DecimationCase{.name = "UserEveryDayOfTheSlowCamera",
                                     .condition = 2,
                                     .period = 1,
                                     .unit = 3,
                                     .cameraRate = 9,
                                     .divisor = 0,
                                     .expected = 777600},
                      DecimationCase{.name = "TruncatesTheCameraRate",
                                     .condition = 2,
                                     .period = 2,
                                     .unit = 0,
                                     .cameraRate = 9.9f,
                                     .divisor = 0,
                                     .expected = 18},
                      DecimationCase{.name = "PeriodShorterThanADisplayedFrameKeepsEveryFrame",
                                     .condition = 2,
                                     .period = 1,
                                     .unit = 0,
                                     .cameraRate = 9,
                                     .divisor = 59,
                                     .expected = 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct TimeValueCase {
  const char* name;
  std::chrono::nanoseconds interval;
  int32_t expected;
};
void PrintTo(const TimeValueCase& c, std::ostream* os) { *os << c.name; }

class TimeValue : public ::testing::TestWithParam<TimeValueCase> {};

TEST_P(TimeValue, CountsTenMicrosecondSteps) {
  RecordTimer timer;
  const auto start = RecordTimer::Clock::time_point{} + 1h;
  timer.start(start);
  EXPECT_EQ(timer.next(start + GetParam().interval), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Intervals, TimeValue,
    ::testing::Values(
        // 12:00:59.900 to 12:01:00.000: a tenth of a second, across the minute.
        TimeValueCase{"TenthOfASecondAcrossAMinute", 100ms, 10000},
        TimeValueCase{"ThirtyHertz", 33333us, 3333}, TimeValueCase{"FiveMinutes", 5min, 30'000'000},
        TimeValueCase{"FiveHours", 5h, 1'800'000'000},
        TimeValueCase{"BeyondTheFieldIsItsLargestValue", 7h, 2'147'483'647}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordTimer, MeasuresFromThePreviousRecordedFrame) {
  RecordTimer timer;
  const auto t0 = RecordTimer::Clock::time_point{} + 1h;
  timer.start(t0);
  EXPECT_EQ(timer.next(t0 + 40ms), 4000);
  EXPECT_EQ(timer.next(t0 + 100ms), 6000);
}

struct VersionCase {
  const char* name;
  int32_t cameraType;
  int32_t version;
};
void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.name; }

class StreamVersion : public ::testing::TestWithParam<VersionCase> {};

TEST_P(StreamVersion, MatchesTheFramesOfTheCamera) {
  EXPECT_EQ(streamVersionFor(GetParam().cameraType), GetParam().version);
}

INSTANTIATE_TEST_SUITE_P(CameraTypes, StreamVersion,
                         ::testing::Values(VersionCase{"FirstGeneration", 0, 17},
                                           VersionCase{"Kt640WithoutExtraRow", 1, 17},
                                           VersionCase{"Va320", 2, 32},
                                           VersionCase{"Vi640", 3, 32}),
                         [](const auto& info) { return std::string(info.param.name); });

struct CommandCase {
  const char* name;
  bool live, fileOpen, recording;
  RecordKind kind;
  bool record, stop;
};
void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.name; }

class RecordCommands : public ::testing::TestWithParam<CommandCase> {};

TEST_P(RecordCommands, EnableByState) {
  const auto& c = GetParam();
  const RecordCommandState state = recordCommands(c.live, c.fileOpen, c.recording, c.kind);
  EXPECT_EQ(state.record, c.record);
  EXPECT_EQ(state.stop, c.stop);
}

INSTANTIATE_TEST_SUITE_P(
    States, RecordCommands,
    ::testing::Values(
        CommandCase{"IdleOffline", false, false, false, RecordKind::User, false, false},
        CommandCase{"Live", true, false, false, RecordKind::User, true, false},
        CommandCase{"FileOpen", false, true, false, RecordKind::User, true, false},
        CommandCase{"UserRecording", true, false, true, RecordKind::User, true, true},
        CommandCase{"AlarmRecording", true, false, true, RecordKind::Alarm, true, false},
        CommandCase{"ScheduleRecording", true, false, true, RecordKind::Schedule, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StatusTexts, ImageSizeAndTitle) {
  EXPECT_EQ(imageSizeText(640, 480), "( 640 * 480 * 8b )");
  EXPECT_EQ(fileWindowTitle("Thermal_IRS_20260101000000"), "Solvane - Thermal_IRS_20260101000000");
}

TEST(Fourcc, FirstCharacterInTheLowestByte) {
  EXPECT_EQ(fourccOf(std::string("XVID")), 0x44495658u);
  EXPECT_EQ(fourccOf(std::string("XVID")), fourccOf("XVID"));
}

}  // namespace
}  // namespace solvane::record
