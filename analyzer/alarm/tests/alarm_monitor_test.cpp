#include "alarm/alarm_monitor.h"

#include "action_log.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace solvane::alarm {
namespace {

using testing::ActionLog;

constexpr int32_t kSpotId = 1;
constexpr int32_t kAreaId = 2;
constexpr float kHot = 50.0f;
constexpr float kCool = 20.0f;

ObjectMeasurement spot(float value, int32_t id = kSpotId) {
  return {.kind = ObjectKind::Spot, .objectId = id, .name = "Spot 1", .value = value};
}

ObjectMeasurement area(float maximum, int32_t id = kAreaId) {
  return {.kind = ObjectKind::Area,
          .objectId = id,
          .name = "Rect 1",
          .value = maximum,
          .minimum = 10.0f,
          .maximum = maximum,
          .average = 15.0f};
}

// A monitor over a live stream at 10 fps with times of 100 ms (one frame each), one armed
// spot alarm above 40 °C on "Alarm1", and the alarm switched on.
class AlarmMonitorTest : public ::testing::Test {
 protected:
  AlarmMonitorTest() {
    settings_.thresholdMs = settings_.delayMs = settings_.intervalMs = 100;
    monitor_.setSettings(settings_);
    monitor_.setFrameRate(10.0, 0);
    monitor_.setObjectFrame(2);
    monitor_.setStreamShown(true);
    monitor_.setSwitch(true);
    arm(ObjectKind::Spot, kSpotId, AlarmOutput::Alarm1);
    log_.clear();
  }

  void arm(ObjectKind kind, int32_t id, AlarmOutput output,
           AlarmResult result = AlarmResult::Value) {
    AlarmRecord record = defaultAlarmRecord(id);
    record.value = 40.0f;
    record.selected = 1;
    record.output = static_cast<int32_t>(output);
    record.result = static_cast<int32_t>(result);
    monitor_.tables().of(kind).adopt(record, "object");
  }

  void change(void (*edit)(AlarmSettings&)) {
    edit(settings_);
    monitor_.setSettings(settings_);
  }

  void pass(const ObjectMeasurement& measurement, int times = 1) {
    for (int i = 0; i < times; ++i) monitor_.runPass(std::span(&measurement, 1));
  }

  // With one frame of threshold, the second hot pass raises the alarm.
  void raise() { pass(spot(kHot), 2); }
  // One frame of delay: the second cool pass ends it (and starts the hold-off).
  void end() { pass(spot(kCool), 2); }

  ActionLog log_;
  AlarmMonitor monitor_{log_};
  AlarmSettings settings_;
};

TEST_F(AlarmMonitorTest, TimesBecomeFrameCountsOfTheShownRate) {
  change([](AlarmSettings& s) { s.thresholdMs = s.delayMs = s.intervalMs = 2000; });
  monitor_.setFrameRate(30.0, 0);
  EXPECT_EQ(monitor_.frameCounts(), (AlarmFrameCounts{60, 60, 60}));
  monitor_.setFrameRate(30.0, 1);
  EXPECT_EQ(monitor_.frameCounts(), (AlarmFrameCounts{30, 30, 30}));
}

TEST_F(AlarmMonitorTest, RaisingAndEndingSetAndClearTheObjectFlag) {
  change([](AlarmSettings& s) { s.display = true; });
  raise();
  end();
  EXPECT_EQ(log_.all<SetAlarmFlag>(),
            (std::vector<SetAlarmFlag>{{ObjectKind::Spot, kSpotId, true, true},
                                       {ObjectKind::Spot, kSpotId, false, true}}));
  EXPECT_EQ(monitor_.objectState(ObjectKind::Spot, kSpotId).generation.state,
            static_cast<int32_t>(AlarmState::HoldOff));
}

TEST_F(AlarmMonitorTest, ObjectInAlarmLosesItsColoursWhileTheyAreSuppressed) {
  change([](AlarmSettings& s) { s.display = true; });
  raise();
  monitor_.setAlarmColoursSuppressed(true);
  EXPECT_EQ(log_.all<SetAlarmFlag>(),
            (std::vector<SetAlarmFlag>{{ObjectKind::Spot, kSpotId, true, true},
                                       {ObjectKind::Spot, kSpotId, true, false}}));
}

TEST_F(AlarmMonitorTest, AreaComparesTheStatisticItsResultNames) {
  arm(ObjectKind::Area, kAreaId, AlarmOutput::Alarm1, AlarmResult::Average);
  pass(area(kHot), 3);  // maximum hot, average 15 °C
  EXPECT_FALSE(monitor_.anyAlarm());
  arm(ObjectKind::Area, kAreaId, AlarmOutput::Alarm1, AlarmResult::Maximum);
  pass(area(kHot), 2);
  EXPECT_TRUE(monitor_.anyAlarm());
}

TEST_F(AlarmMonitorTest, UnarmedObjectNeverAlarms) {
  pass(area(kHot), 10);  // gets its default record, not armed
  EXPECT_NE(monitor_.tables().areas.find(kAreaId), nullptr);
  EXPECT_TRUE(log_.actions.empty());
}

TEST_F(AlarmMonitorTest, DisarmingAnObjectInAlarmClearsItsFlag) {
  raise();
  monitor_.tables().spots.find(kSpotId)->record.selected = 0;
  pass(spot(kHot));
  EXPECT_FALSE(monitor_.anyAlarm());
  EXPECT_FALSE(log_.all<SetAlarmFlag>().back().on);
}

struct QuietCase {
  const char* name;
  bool switchOn;
  bool streamShown;
};

void PrintTo(const QuietCase& c, std::ostream* os) { *os << c.name; }

class AlarmMonitorQuiet : public AlarmMonitorTest,
                          public ::testing::WithParamInterface<QuietCase> {};

TEST_P(AlarmMonitorQuiet, EvaluatesNothingButStillListsTheObject) {
  monitor_.setSwitch(GetParam().switchOn);
  monitor_.setStreamShown(GetParam().streamShown);
  log_.clear();
  pass(area(kHot), 10);
  EXPECT_TRUE(log_.actions.empty());
  EXPECT_NE(monitor_.tables().areas.find(kAreaId), nullptr);
}

INSTANTIATE_TEST_SUITE_P(States, AlarmMonitorQuiet,
                         ::testing::Values(QuietCase{"AlarmSwitchedOff", false, true},
                                           QuietCase{"SingleSnapshotShown", true, false},
                                           QuietCase{"NeitherOn", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct OutputCase {
  const char* name;
  CameraFamily family;
  AlarmOutput output;
  uint16_t settingId;
  int16_t onValue;
};

void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.name; }

class AlarmMonitorOutputs : public AlarmMonitorTest,
                            public ::testing::WithParamInterface<OutputCase> {};

TEST_P(AlarmMonitorOutputs, RisingAndFallingRequestSendOnAndOff) {
  const OutputCase& c = GetParam();
  change([](AlarmSettings& s) { s.digital = true; });
  arm(ObjectKind::Spot, kSpotId, c.output);
  monitor_.cameraConnected(c.family);
  raise();
  end();
  EXPECT_EQ(log_.all<SendDigitalOutput>(),
            (std::vector<SendDigitalOutput>{{c.settingId, c.onValue, {0, 0, 0}},
                                            {c.settingId, 0, {0, 0, 0}}}));
}

INSTANTIATE_TEST_SUITE_P(
    Cameras, AlarmMonitorOutputs,
    ::testing::Values(OutputCase{"KtAlarm1", CameraFamily::Kt, AlarmOutput::Alarm1, 0x0401, 5},
                      OutputCase{"KtAlarm2", CameraFamily::Kt, AlarmOutput::Alarm2, 0x0404, 5},
                      OutputCase{"KsAlarm1", CameraFamily::Ks, AlarmOutput::Alarm1, 0x0401, 1},
                      OutputCase{"KsAlarm2", CameraFamily::Ks, AlarmOutput::Alarm2, 0x0404, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AlarmMonitorTest, OutputsStayAloneWithoutTheDigitalAction) {
  monitor_.cameraConnected(CameraFamily::Kt);
  raise();
  end();
  EXPECT_EQ(log_.count<SendDigitalOutput>(), 0u);
}

TEST_F(AlarmMonitorTest, OutputStaysOnWhileASecondObjectStillAsksForIt) {
  change([](AlarmSettings& s) { s.digital = true; });
  arm(ObjectKind::Area, kAreaId, AlarmOutput::Alarm1, AlarmResult::Maximum);
  monitor_.cameraConnected(CameraFamily::Kt);
  const std::vector<ObjectMeasurement> bothHot{spot(kHot), area(kHot)};
  const std::vector<ObjectMeasurement> areaHot{spot(kCool), area(kHot)};
  for (int i = 0; i < 2; ++i) monitor_.runPass(bothHot);
  for (int i = 0; i < 3; ++i) monitor_.runPass(areaHot);
  EXPECT_EQ(log_.count<SendDigitalOutput>(), 1u);
  EXPECT_TRUE(monitor_.outputOn(AlarmOutput::Alarm1));
}

TEST_F(AlarmMonitorTest, DigitalActionSwitchedOffWhileAnOutputIsOnSendsBothOffCommands) {
  change([](AlarmSettings& s) { s.digital = true; });
  monitor_.cameraConnected(CameraFamily::Ks);
  raise();
  log_.clear();
  change([](AlarmSettings& s) { s.digital = false; });
  pass(spot(kHot));
  EXPECT_EQ(log_.all<SendDigitalOutput>(),
            (std::vector<SendDigitalOutput>{{0x0401, 0, {0, 0, 0}}, {0x0404, 0, {0, 0, 0}}}));
}

TEST_F(AlarmMonitorTest, SwitchingTheAlarmOffClearsEveryFlagAndSendsTheOffCommandsOnce) {
  change([](AlarmSettings& s) { s.digital = true; });
  arm(ObjectKind::Area, kAreaId, AlarmOutput::Alarm2, AlarmResult::Maximum);
  monitor_.cameraConnected(CameraFamily::Kt);
  const std::vector<ObjectMeasurement> bothHot{spot(kHot), area(kHot)};
  for (int i = 0; i < 2; ++i) monitor_.runPass(bothHot);
  log_.clear();
  monitor_.setSwitch(false);
  monitor_.setSwitch(false);
  for (int i = 0; i < 3; ++i) monitor_.runPass(bothHot);
  EXPECT_EQ(log_.all<SendDigitalOutput>(),
            (std::vector<SendDigitalOutput>{{0x0401, 0, {0, 0, 0}}, {0x0404, 0, {0, 0, 0}}}));
  EXPECT_EQ(log_.count<SetAlarmFlag>(), 2u);
  EXPECT_FALSE(monitor_.anyAlarm());
  EXPECT_EQ(monitor_.objectState(ObjectKind::Area, kAreaId), ObjectAlarmState{});
}

TEST_F(AlarmMonitorTest, CameraThatWentAwayWithAnOutputOnGetsTheOffCommandOnReconnect) {
  change([](AlarmSettings& s) { s.digital = true; });
  monitor_.cameraConnected(CameraFamily::Kt);
  raise();
  monitor_.cameraDisconnected();
  end();  // the output falls while nobody can be told
  log_.clear();
  monitor_.cameraConnected(CameraFamily::Kt);
  EXPECT_EQ(log_.all<SendDigitalOutput>(),
            (std::vector<SendDigitalOutput>{{0x0401, 0, {0, 0, 0}}}));
  EXPECT_FALSE(monitor_.outputOn(AlarmOutput::Alarm1));
}

TEST_F(AlarmMonitorTest, ReconnectDuringAnAlarmTurnsTheOutputOffThenOnAgain) {
  change([](AlarmSettings& s) { s.digital = true; });
  monitor_.cameraConnected(CameraFamily::Kt);
  raise();
  monitor_.cameraDisconnected();
  log_.clear();
  monitor_.cameraConnected(CameraFamily::Kt);
  pass(spot(kHot));
  EXPECT_EQ(log_.all<SendDigitalOutput>(),
            (std::vector<SendDigitalOutput>{{0x0401, 0, {0, 0, 0}}, {0x0401, 5, {0, 0, 0}}}));
}

struct FormCase {
  const char* name;
  RecordForm form;
};

void PrintTo(const FormCase& c, std::ostream* os) { *os << c.name; }

class AlarmMonitorRecording : public AlarmMonitorTest,
                              public ::testing::WithParamInterface<FormCase> {};

TEST_P(AlarmMonitorRecording, RecordsInTheChosenFormForTheLengthOfTheAlarm) {
  const RecordForm form = GetParam().form;
  settings_.store = settings_.recordCheck = true;
  settings_.recordSelection = static_cast<int32_t>(form);
  monitor_.setSettings(settings_);
  raise();
  pass(spot(kHot), 5);
  end();
  EXPECT_EQ(log_.all<StartRecording>(), (std::vector<StartRecording>{{ActionSource::Alarm, form}}));
  EXPECT_EQ(log_.all<StopRecording>(), (std::vector<StopRecording>{{ActionSource::Alarm, form}}));
}

INSTANTIATE_TEST_SUITE_P(Forms, AlarmMonitorRecording,
                         ::testing::Values(FormCase{"Raw", RecordForm::Raw},
                                           FormCase{"Avi", RecordForm::Avi},
                                           FormCase{"Csv", RecordForm::Csv}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AlarmMonitorTest, RecordingNeedsTheStoreAction) {
  change([](AlarmSettings& s) { s.recordCheck = true; });
  raise();
  end();
  EXPECT_EQ(log_.count<StartRecording>(), 0u);
}

TEST_F(AlarmMonitorTest, AlarmLogStartsOnceGetsALineEveryObjectFrameAndEndsWithTheAlarm) {
  change([](AlarmSettings& s) { s.store = s.exportObjects = true; });
  raise();              // starts the log
  pass(spot(kHot), 4);  // two lines at objectFrame 2
  end();                // the first cool pass is still in alarm: a third line is not due yet
  EXPECT_EQ(log_.count<StartObjectLog>(), 1u);
  EXPECT_EQ(log_.count<AppendObjectLogLine>(), 2u);
  EXPECT_EQ(log_.all<EndObjectLog>(), (std::vector<EndObjectLog>{{ActionSource::Alarm}}));
  EXPECT_STREQ(objectLogTag(ActionSource::Alarm), "AlarmObj");
}

TEST_F(AlarmMonitorTest, OneShotEveryObjectFrameWhileInAlarm) {
  change([](AlarmSettings& s) { s.store = s.oneShot = true; });
  raise();              // pass 1 of the alarm
  pass(spot(kHot), 5);  // passes 2..6: shots on 2, 4, 6
  end();                // pass 7 in alarm, then over
  pass(spot(kCool), 4);
  EXPECT_EQ(log_.count<TakeOneShot>(), 3u);
}

TEST_F(AlarmMonitorTest, AlarmColoursFlashOnlyWithDisplayAndFlash) {
  change([](AlarmSettings& s) { s.flash = true; });
  raise();
  end();
  EXPECT_EQ(log_.count<Flash>(), 0u);
  change([](AlarmSettings& s) { s.display = true; });
  pass(spot(kCool), 2);  // let the hold-off run out
  raise();
  end();
  EXPECT_EQ(log_.all<Flash>(), (std::vector<Flash>{{true}, {false}}));
}

TEST_F(AlarmMonitorTest, NewAlarmPlaysTheSoundUntilNoObjectIsInAlarm) {
  change([](AlarmSettings& s) {
    s.play = s.playLoop = true;
    s.playPath = "/sounds/siren.wav";
  });
  raise();
  pass(spot(kHot), 3);
  EXPECT_EQ(log_.all<StartSound>(), (std::vector<StartSound>{{"/sounds/siren.wav", true}}));
  EXPECT_EQ(log_.count<StopSound>(), 0u);
  end();
  EXPECT_EQ(log_.count<StopSound>(), 1u);
}

TEST_F(AlarmMonitorTest, NoSoundWhileTheEnvironmentDialogIsOpen) {
  change([](AlarmSettings& s) {
    s.play = true;
    s.playPath = "/sounds/siren.wav";
  });
  monitor_.setEnvironmentDialogOpen(true);
  raise();
  EXPECT_EQ(log_.count<StartSound>(), 0u);
}

TEST_F(AlarmMonitorTest, StreamThatStopsEndsWhatTheAlarmBegan) {
  change([](AlarmSettings& s) {
    s.store = s.recordCheck = s.exportObjects = s.display = s.flash = s.play = true;
    s.playPath = "/sounds/siren.wav";
  });
  raise();
  log_.clear();
  monitor_.setStreamShown(false);
  EXPECT_EQ(log_.count<SetAlarmFlag>(), 1u);
  EXPECT_EQ(log_.count<StopRecording>(), 1u);
  EXPECT_EQ(log_.count<EndObjectLog>(), 1u);
  EXPECT_EQ(log_.all<Flash>(), (std::vector<Flash>{{false}}));
  EXPECT_EQ(log_.count<StopSound>(), 1u);
}

TEST_F(AlarmMonitorTest, DeletedObjectInAlarmLetsItsOutputFall) {
  change([](AlarmSettings& s) { s.digital = true; });
  monitor_.cameraConnected(CameraFamily::Kt);
  raise();
  monitor_.removeObject(ObjectKind::Spot, kSpotId);
  monitor_.runPass({});
  EXPECT_FALSE(monitor_.outputOn(AlarmOutput::Alarm1));
  EXPECT_EQ(monitor_.tables().spots.find(kSpotId), nullptr);
}

TEST_F(AlarmMonitorTest, RestoredStateCarriesOnFromTheFile) {
  monitor_.restoreObjectState(ObjectKind::Spot, kSpotId,
                              {.generation = {.state = 1, .count = 0}, .alarmFlag = true});
  EXPECT_TRUE(monitor_.anyAlarm());
  pass(spot(kCool), 2);
  EXPECT_EQ(monitor_.objectState(ObjectKind::Spot, kSpotId),
            (ObjectAlarmState{.generation = {.state = 2, .count = 0}, .alarmFlag = false}));
}

}  // namespace
}  // namespace solvane::alarm
