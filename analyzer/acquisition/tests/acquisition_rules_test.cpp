#include "acquisition/camera_address.h"
#include "acquisition/camera_facts.h"
#include "acquisition/camera_name.h"
#include "acquisition/frame_rate.h"
#include "testing/case_name.h"
#include "view/level_guard.h"

#include "discovery/core/names_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace solvane {
namespace {

struct IpCase {
  const char* text;
  bool valid;
};

class CameraIp : public ::testing::TestWithParam<IpCase> {};

TEST_P(CameraIp, FollowsTheDottedRule) {
  EXPECT_EQ(isValidCameraIp(GetParam().text), GetParam().valid) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Addresses, CameraIp,
                         ::testing::Values(IpCase{"192.168.0.100", true}, IpCase{"127.0.0.1", true},
                                           IpCase{"1.2.3.4", true}, IpCase{"255.255.255.255", true},
                                           IpCase{"192.168.0.1000", false},
                                           IpCase{"192.168.1", false}, IpCase{"", false},
                                           IpCase{"1.2.3", false}, IpCase{"1.2.3.4.5", false},
                                           IpCase{"a.b.c.d", false}, IpCase{"1..2.3", false},
                                           IpCase{"192.168.0.1 ", false}, IpCase{"1.2.3.", false}),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Case", i, *p.text ? p.text : "Empty",
                                           p.valid ? "Valid" : "Refused");
                         });

TEST(FrameRate, UserDialogArithmetic) {
  EXPECT_EQ(divisorFromSeconds(2, 30.0f), 59);
  EXPECT_EQ(divisorFromSeconds(1, 30.0f), 29);
  EXPECT_EQ(divisorFromSeconds(3, 9.0f), 26);
  EXPECT_DOUBLE_EQ(userFramesPerSecond(3), 0.333);
  EXPECT_DOUBLE_EQ(userFramesPerSecond(7), 0.143);
  // Opening the dialog recovers the seconds a divisor was made from.
  for (int s = 1; s <= 30; ++s) EXPECT_EQ(secondsFromDivisor(divisorFromSeconds(s, 30), 30), s);
  // A divisor that still gives more than one frame a second opens at one second.
  EXPECT_EQ(secondsFromDivisor(3, 30.0f), 1);
}

TEST(FrameRate, MenuChoicesAndTheirText) {
  EXPECT_EQ(divisorFor(FrameRateChoice::Full, 30), 0);
  EXPECT_EQ(divisorFor(FrameRateChoice::Half, 30), 1);
  EXPECT_EQ(divisorFor(FrameRateChoice::Third, 30), 2);
  EXPECT_EQ(divisorFor(FrameRateChoice::Quarter, 30), 3);
  EXPECT_EQ(divisorFor(FrameRateChoice::OnePerSecond, 30), 29);
  EXPECT_EQ(divisorFor(FrameRateChoice::OnePerSecond, 9), 8);
  EXPECT_EQ(choiceOfDivisor(29, 30), FrameRateChoice::OnePerSecond);
  EXPECT_EQ(choiceOfDivisor(2, 30), FrameRateChoice::Third);
  EXPECT_EQ(choiceOfDivisor(59, 30), FrameRateChoice::UserDefined);
  EXPECT_EQ(userDefineText(59), "User Define(0.500 fps)");
  EXPECT_EQ(userDefineText(29), "User Define...");
}

TEST(LevelGuard, OnlyASpanOfSixIsKeptInsideTheRange) {
  EXPECT_FLOAT_EQ(guardLevel(-19.0f, 6.0f, -20.0f, 120.0f), -17.0f);
  EXPECT_FLOAT_EQ(guardLevel(-17.0f, 6.0f, -20.0f, 120.0f), -17.0f);
  EXPECT_FLOAT_EQ(guardLevel(119.0f, 6.0f, -20.0f, 120.0f), 117.0f);
  EXPECT_FLOAT_EQ(guardLevel(50.0f, 6.0f, -20.0f, 120.0f), 50.0f);
  EXPECT_FLOAT_EQ(guardLevel(-19.0f, 6.5f, -20.0f, 120.0f), -19.0f);
}

CamHeaderBlock headerOf(uint8_t version, uint8_t model, uint8_t sizeCode) {
  CamHeaderBlock header{};
  header.bytes[IRDEX_HEADER_VERSION] = version;
  header.bytes[IRDEX_HEADER_MODEL] = model;
  header.bytes[header_byte::kSensorSize] = sizeCode;
  return header;
}

struct ModelCase {
  uint8_t version, model, sizeCode;
  int32_t type;
  bool known;
  uint16_t width, height;
  int32_t modelIndex;
  bool ks;
};

class HeaderKinds : public ::testing::TestWithParam<ModelCase> {};

TEST_P(HeaderKinds, NameTheCameraTypeAndModel) {
  const ModelCase& c = GetParam();
  EXPECT_EQ(cameraTypeOf(c.version, c.model), c.type);
  const auto model = cameraModelOf(headerOf(c.version, c.model, c.sizeCode));
  ASSERT_EQ(model.has_value(), c.known);
  if (!model) return;
  EXPECT_EQ(model->width, c.width);
  EXPECT_EQ(model->height, c.height);
  EXPECT_EQ(model->modelIndex, c.modelIndex);
  EXPECT_EQ(model->ks, c.ks);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, HeaderKinds,
    ::testing::Values(ModelCase{16, 0, 0, 0, true, 320, 240, 0, false},
                      ModelCase{10, 0, 1, 0, true, 384, 288, 1, false},
                      ModelCase{20, 0, 1, 0, true, 384, 288, 1, false},
                      ModelCase{20, 0, 2, 0, false, 0, 0, 0, false},
                      ModelCase{20, 1, 0, 1, true, 640, 480, 2, false},
                      ModelCase{20, 1, 1, 1, true, 640, 480, 2, false},
                      // A KT header with sensor code 2 leaves the resolution alone.
                      ModelCase{20, 1, 2, 1, false, 0, 0, 0, false},
                      ModelCase{32, 0x20, 0, 2, true, 384, 288, 3, true},
                      ModelCase{33, 0x20, 0, 2, true, 384, 288, 3, true},
                      ModelCase{32, 0x21, 0, 3, true, 640, 480, 4, true},
                      ModelCase{40, 0x21, 0, 3, true, 640, 480, 4, true},
                      ModelCase{33, 0x7E, 0, -1, false, 0, 0, 0, false},
                      ModelCase{33, 1, 0, -1, false, 0, 0, 0, false}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName("V", int(p.version), "Model", int(p.model), "Size", int(p.sizeCode));
    });

TEST(RangeList, OneEntryPerMaskBitWithItsName) {
  CamHeaderBlock header = headerOf(33, 0x21, 0);
  header.bytes[header_byte::kRangeMask] = 0x05;  // ranges 0 and 2
  std::memcpy(header.bytes + header_byte::kRangeNames, "Normal", 6);
  std::memcpy(header.bytes + header_byte::kRangeNames + 10, "MedicalXYZW", 10);
  const auto list = rangeListOf(header);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].type, 0);
  EXPECT_EQ(list[0].name, "Normal");
  EXPECT_EQ(list[1].type, 2);
  EXPECT_EQ(list[1].name, "MedicalXYZ");
  // Older headers carry no list; a full mask never reads past the header.
  EXPECT_TRUE(rangeListOf(headerOf(32, 0x21, 0)).empty());
  header.bytes[header_byte::kRangeMask] = 0xFF;
  header.bytes[header_byte::kRangeMask + 1] = 0xFF;
  EXPECT_EQ(rangeListOf(header).size(), 14u);
}

TEST(RangeCommand, ValueByHeaderVersion) {
  EXPECT_EQ(rangeCommandValue(33, 2), 2);
  EXPECT_EQ(rangeCommandValue(32, 2), 1);
  EXPECT_EQ(rangeCommandValue(20, 0), 0);
}

struct RateCase {
  const char* name;
  int32_t window;
  std::vector<double> intervals;  // seconds between frames, repeated to fill the window
  int32_t tenths;
};
void PrintTo(const RateCase& c, std::ostream* out) { *out << c.name; }
class MeasuredRateWindow : public testing::TestWithParam<RateCase> {};
TEST_P(MeasuredRateWindow, IsFramesOverTheTimeTheyTook) {
  const RateCase& c = GetParam();
  MeasuredRate rate(c.window);
  double now = 100.0;
  ASSERT_FALSE(rate.frameArrived(now));  // the window's time starts here
  std::optional<int32_t> shown;
  for (int32_t i = 0; i < c.window; ++i) {
    now += c.intervals[static_cast<size_t>(i) % c.intervals.size()];
    shown = rate.frameArrived(now);
    if (i + 1 < c.window) {
      ASSERT_FALSE(shown) << i;
    }
  }
  EXPECT_EQ(shown, c.tenths);
}
INSTANTIATE_TEST_SUITE_P(Windows, MeasuredRateWindow,
                         testing::Values(RateCase{.name = "steadyCamera",
                                                  .window = kLiveRateWindow,
                                                  .intervals = {1.0 / 30.07},
                                                  .tenths = 301},
                                         // Alternating short and long intervals of the same mean:
                                         // the mean of their reciprocals would say 36 Hz.
                                         RateCase{.name = "jitteryCamera",
                                                  .window = kLiveRateWindow,
                                                  .intervals = {0.0166, 0.0499},
                                                  .tenths = 301},
                                         RateCase{.name = "reducedRateCamera",
                                                  .window = kLiveRateWindow,
                                                  .intervals = {1.0 / 9.0},
                                                  .tenths = 90},
                                         RateCase{.name = "playbackOfTwentyFrames",
                                                  .window = kPlaybackRateWindow,
                                                  .intervals = {0.04, 0.06},
                                                  .tenths = 200}),
                         [](const testing::TestParamInfo<RateCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(MeasuredRate, AnOutageEndsTheShownRateOnce) {
  MeasuredRate rate(2);
  rate.frameArrived(0.0);
  rate.frameArrived(0.1);
  ASSERT_EQ(rate.frameArrived(0.2), 100);
  EXPECT_FALSE(rate.outage(0.2 + kRateOutageSeconds / 2));
  EXPECT_TRUE(rate.outage(0.2 + kRateOutageSeconds));
  EXPECT_FALSE(rate.outage(10.0));  // told once
  // Frames again: a fresh window, its time starting at the first of them.
  rate.frameArrived(20.0);
  rate.frameArrived(20.5);
  EXPECT_EQ(rate.frameArrived(21.0), 20);
}

TEST(MeasuredRate, NoOutageBeforeARateWasShown) {
  MeasuredRate rate;
  rate.frameArrived(0.0);
  EXPECT_FALSE(rate.outage(60.0));
}

TEST(CameraName, FromTheNeighbourTableAndTheNamesFile) {
  const std::string table =
      "IP address       HW type     Flags       HW address            Mask     Device\n"
      "10.0.0.7         0x1         0x2         00:1a:2b:3c:4d:5e     *        eth0\n"
      "10.0.0.8         0x1         0x0         00:00:00:00:00:00     *        eth0\n";
  const auto folder = std::filesystem::temp_directory_path() / "solvane_camera_name_test";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "arp") << table;
  const std::vector<discovery::NameRecord> records{{"00:1A:2B:3C:4D:5E", "Furnace"}};
  ASSERT_TRUE(discovery::writeNamesFile(folder / "cam_name.cnm", records));
  EXPECT_EQ(cameraNameFor("10.0.0.7", folder / "arp", folder / "cam_name.cnm"), "Furnace");
  EXPECT_EQ(cameraNameFor("10.0.0.8", folder / "arp", folder / "cam_name.cnm"), "Thermal");
  EXPECT_EQ(cameraNameFor("10.0.0.7", folder / "none", folder / "cam_name.cnm"), "Thermal");
  EXPECT_EQ(cameraNameFor("10.0.0.7", folder / "arp", folder / "none.cnm"), "Thermal");
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace solvane
