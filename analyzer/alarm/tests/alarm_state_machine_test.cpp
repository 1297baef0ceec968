#include "alarm/alarm_state_machine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace solvane::alarm {
namespace {

constexpr float kLimit = 25.0f;

// One condition with a reading that meets it and one that does not.
struct ConditionCase {
  const char* name;
  AlarmCondition condition;
  float meets;
  float misses;
};

void PrintTo(const ConditionCase& c, std::ostream* os) { *os << c.name; }

const ConditionCase kConditions[] = {
    {.name = "Above", .condition = AlarmCondition::Above, .meets = 30.0f, .misses = 20.0f},
    {.name = "Below", .condition = AlarmCondition::Below, .meets = 20.0f, .misses = 30.0f},
};

std::string conditionName(const ::testing::TestParamInfo<ConditionCase>& info) {
  return info.param.name;
}

// Runs readings through one object and records its state after every pass.
struct Trace {
  std::vector<AlarmState> states;
  std::vector<bool> flags;
  int raised = 0;
  int ended = 0;
};

Trace run(AlarmCondition condition, const std::vector<float>& readings,
          const AlarmFrameCounts& counts, GenerationRecord generation = {}) {
  Trace trace;
  bool flag = generation.state == static_cast<int32_t>(AlarmState::InAlarm);
  for (float reading : readings) {
    const AlarmStep step = stepAlarm(generation, flag, condition, reading, kLimit, counts);
    trace.states.push_back(stateOf(generation));
    trace.flags.push_back(flag);
    trace.raised += step.raised ? 1 : 0;
    trace.ended += step.ended ? 1 : 0;
  }
  return trace;
}

std::vector<float> repeat(float reading, int times) {
  return std::vector<float>(static_cast<size_t>(times), reading);
}

std::vector<float> operator+(std::vector<float> a, const std::vector<float>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class AlarmStateMachine : public ::testing::TestWithParam<ConditionCase> {};

TEST_P(AlarmStateMachine, WalksIdleInAlarmHoldOffAndBackToIdle) {
  const ConditionCase& c = GetParam();
  const AlarmFrameCounts counts{.threshold = 3, .delay = 2, .interval = 4};
  // Four passes meet the condition (three counted, the fourth raises), three miss it (two
  // counted, the third ends the alarm), then the hold-off counts whatever is measured.
  const Trace trace =
      run(c.condition, repeat(c.meets, 4) + repeat(c.misses, 3) + repeat(c.meets, 5), counts);
  using S = AlarmState;
  EXPECT_EQ(trace.states,
            (std::vector<S>{S::Idle, S::Idle, S::Idle, S::InAlarm, S::InAlarm, S::InAlarm,
                            S::HoldOff, S::HoldOff, S::HoldOff, S::HoldOff, S::HoldOff, S::Idle}));
  EXPECT_EQ(trace.flags, (std::vector<bool>{false, false, false, true, true, true, false, false,
                                            false, false, false, false}));
  EXPECT_EQ(trace.raised, 1);
  EXPECT_EQ(trace.ended, 1);
}

TEST_P(AlarmStateMachine, ReadingAtTheLimitMeetsTheCondition) {
  const Trace trace = run(GetParam().condition, repeat(kLimit, 1), {0, 0, 0});
  EXPECT_EQ(trace.states.back(), AlarmState::InAlarm);
}

TEST_P(AlarmStateMachine, ShortDipInsideTheDelayKeepsTheAlarm) {
  const ConditionCase& c = GetParam();
  const AlarmFrameCounts counts{.threshold = 0, .delay = 3, .interval = 0};
  const Trace trace = run(
      c.condition,
      repeat(c.meets, 1) + repeat(c.misses, 3) + repeat(c.meets, 1) + repeat(c.misses, 3), counts);
  EXPECT_EQ(trace.ended, 0);
  EXPECT_TRUE(trace.flags.back());
}

TEST_P(AlarmStateMachine, ReadingWithoutAValueNeverCountsTowardsAnAlarm) {
  const Trace trace =
      run(GetParam().condition, repeat(std::numeric_limits<float>::quiet_NaN(), 10), {0, 0, 0});
  EXPECT_EQ(trace.raised, 0);
}

INSTANTIATE_TEST_SUITE_P(Conditions, AlarmStateMachine, ::testing::ValuesIn(kConditions),
                         conditionName);

struct CrossingCase {
  const char* name;
  int32_t threshold;
  int meetingPasses;
  bool raises;
};

void PrintTo(const CrossingCase& c, std::ostream* os) { *os << c.name; }

class AlarmCrossing : public ::testing::TestWithParam<CrossingCase> {};

TEST_P(AlarmCrossing, RaisesOnlyAfterTheThresholdCountHasPassed) {
  const CrossingCase& c = GetParam();
  const AlarmFrameCounts counts{.threshold = c.threshold, .delay = 0, .interval = 0};
  // The crossing repeats: a short one must not add up over several crossings.
  std::vector<float> readings;
  for (int crossing = 0; crossing < 3; ++crossing) {
    readings = readings + repeat(30.0f, c.meetingPasses) + repeat(20.0f, 2);
  }
  EXPECT_EQ(run(AlarmCondition::Above, readings, counts).raised > 0, c.raises);
}

INSTANTIATE_TEST_SUITE_P(Crossings, AlarmCrossing,
                         ::testing::Values(CrossingCase{.name = "OneFrameUnderSixtyFrames",
                                                        .threshold = 60,
                                                        .meetingPasses = 1,
                                                        .raises = false},
                                           CrossingCase{.name = "FiftyNineFramesUnderSixty",
                                                        .threshold = 60,
                                                        .meetingPasses = 59,
                                                        .raises = false},
                                           CrossingCase{.name = "SixtyFramesOnlyReachTheCount",
                                                        .threshold = 60,
                                                        .meetingPasses = 60,
                                                        .raises = false},
                                           CrossingCase{.name = "SixtyOneFramesRaise",
                                                        .threshold = 60,
                                                        .meetingPasses = 61,
                                                        .raises = true},
                                           CrossingCase{.name = "ZeroThresholdRaisesAtOnce",
                                                        .threshold = 0,
                                                        .meetingPasses = 1,
                                                        .raises = true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AlarmHoldOff, IntervalBlocksANewAlarmOfTheSameObject) {
  const AlarmFrameCounts counts{.threshold = 0, .delay = 0, .interval = 10};
  // Raise, end, then meet the condition all through the hold-off.
  const Trace blocked =
      run(AlarmCondition::Above, repeat(30.0f, 1) + repeat(20.0f, 1) + repeat(30.0f, 11), counts);
  EXPECT_EQ(blocked.raised, 1);
  // One more pass after the interval has run out: the object is idle and may raise again.
  const Trace after =
      run(AlarmCondition::Above, repeat(30.0f, 1) + repeat(20.0f, 1) + repeat(30.0f, 12), counts);
  EXPECT_EQ(after.raised, 2);
}

TEST(AlarmRestoredState, UnknownStateFromAFileStartsIdle) {
  GenerationRecord generation{.state = 7, .count = -4};
  bool flag = false;
  stepAlarm(generation, flag, AlarmCondition::Above, 20.0f, kLimit, {5, 5, 5});
  EXPECT_EQ(generation, (GenerationRecord{.state = 0, .count = 0}));
}

}  // namespace
}  // namespace solvane::alarm
