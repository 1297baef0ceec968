// The simulated camera's region alarm: which temperature it watches for each mode, and that
// it speaks once per crossing of the set temperature.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "region_alarm.h"

namespace irsim {
namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

Scene gradient() {
  SceneConfig config;
  config.kind = SceneKind::Gradient;
  config.gradientLow = 0.0f;
  config.gradientHigh = 63.0f;  // one degree per column
  return Scene(config, kWidth, kHeight);
}

struct WatchCase {
  const char* name;
  uint16_t mode;
  int condition;
  CameraRegion region;  // region 1
  float expected;
};

class WatchedTemperature : public ::testing::TestWithParam<WatchCase> {};

TEST_P(WatchedTemperature, FollowsTheModeAndCondition) {
  const Scene scene = gradient();
  std::array<CameraRegion, 10> regions{};
  regions[0] = GetParam().region;
  const RegionAlarmConfig config = parseRegionAlarm(
      GetParam().mode, 1u << 24 | static_cast<uint32_t>(GetParam().condition) << 8, 0);
  const auto watched = watchedTemperature(config, scene, 0, regions, kWidth, kHeight);
  ASSERT_TRUE(watched.has_value());
  EXPECT_NEAR(*watched, GetParam().expected, 0.01f);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WatchedTemperature,
    ::testing::Values(WatchCase{"wholeMaximum", 0, 1, {}, 63.0f},
                      WatchCase{"wholeMinimum", 1, 0, {}, 0.0f},
                      WatchCase{"wholeAverage", 2, 0, {}, 31.5f},
                      WatchCase{"centre", 3, 0, {}, 32.0f},
                      WatchCase{"rectangleAboveTakesItsHottest", 11, 0, {2, 10, 5, 6, 4}, 15.0f},
                      WatchCase{"rectangleBelowTakesItsColdest", 11, 1, {2, 10, 5, 6, 4}, 10.0f},
                      WatchCase{"spot", 11, 0, {1, 40, 7, 0, 0}, 40.0f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WatchedTemperature, RegionThatIsOffWatchesNothing) {
  const Scene scene = gradient();
  std::array<CameraRegion, 10> regions{};
  const auto config = parseRegionAlarm(15, 1u << 24, 0);
  EXPECT_FALSE(watchedTemperature(config, scene, 0, regions, kWidth, kHeight).has_value());
}

TEST(RegionAlarmWatch, SpeaksOncePerCrossing) {
  RegionAlarmWatch watch;
  watch.set(parseRegionAlarm(3, 1u << 24 | 2u << 16, 5u << 16 | 300u));  // above 30.0
  EXPECT_FALSE(watch.step(29.0f));
  const auto note = watch.step(31.0f);
  ASSERT_TRUE(note.has_value());
  EXPECT_EQ(*note, "region alarm mode 3 above 30.0: 31.0, output 2");
  EXPECT_FALSE(watch.step(32.0f));
  EXPECT_FALSE(watch.step(29.0f));
  EXPECT_TRUE(watch.step(31.0f));
}

TEST(RegionAlarmWatch, DisabledAlarmNeverSpeaks) {
  RegionAlarmWatch watch;
  watch.set(parseRegionAlarm(3, 0, 100u));
  EXPECT_FALSE(watch.step(90.0f));
}

}  // namespace
}  // namespace irsim
