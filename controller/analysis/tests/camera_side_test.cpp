// The camera-side settings' commands, value by value: units, rounding, the two rectangle
// layouts, what each camera version gets, and what the header says.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "analysis/core/camera_side.h"

namespace analysis {
namespace {

using camera::SettingCommand;
using camera::SettingId;

struct CaseName {
  template <typename Info>
  std::string operator()(const Info& info) const {
    return info.param.name;
  }
};

std::array<uint8_t, 512> headerOf(uint8_t version, bool fahrenheit = false) {
  std::array<uint8_t, 512> h{};
  h[4] = version;
  h[21] = fahrenheit ? 1 : 0;
  return h;
}

std::vector<uint16_t> idsOf(const Commands& commands) {
  std::vector<uint16_t> ids;
  for (const auto& c : commands) ids.push_back(camera::toWire(c.id));
  return ids;
}

const SettingCommand* find(const Commands& commands, uint16_t id) {
  for (const auto& c : commands)
    if (camera::toWire(c.id) == id) return &c;
  return nullptr;
}

// ---- KT "Set Alarm": which ids go out, in which order ----
struct AlarmOrderCase {
  const char* name;
  uint8_t version;
  std::vector<uint16_t> ids;
};

class SetAlarmOrder : public ::testing::TestWithParam<AlarmOrderCase> {};

TEST_P(SetAlarmOrder, SendsTheRegionOnlyToCamerasThatHaveIt) {
  KtAlarmPage page;
  page.loadHeader(headerOf(GetParam().version));
  EXPECT_EQ(idsOf(page.setAlarm()), GetParam().ids);
}

const std::vector<uint16_t> kSettingsOnly{0x0401, 0x0404, 0x0402, 0x0405,
                                          0x0403, 0x0406, 0x0407, 0x0408};
std::vector<uint16_t> withRegion() {
  std::vector<uint16_t> ids{0x0409, 0x040A};
  ids.insert(ids.end(), kSettingsOnly.begin(), kSettingsOnly.end());
  return ids;
}

INSTANTIATE_TEST_SUITE_P(Versions, SetAlarmOrder,
                         ::testing::Values(AlarmOrderCase{"version11", 11, kSettingsOnly},
                                           AlarmOrderCase{"version12", 12, withRegion()},
                                           AlarmOrderCase{"version20", 20, withRegion()}),
                         CaseName());

// ---- KT alarm value: whole degrees in the shown unit, sent as Celsius tenths ----
struct AlarmValueCase {
  const char* name;
  bool fahrenheit;
  int entered;
  uint16_t sent;
};

class AlarmValue : public ::testing::TestWithParam<AlarmValueCase> {};

TEST_P(AlarmValue, IsSentInCelsiusTenths) {
  KtAlarmPage page;
  page.loadHeader(headerOf(20, GetParam().fahrenheit));
  page.alarms[0].value = GetParam().entered;
  EXPECT_EQ(find(page.setAlarm(), 0x0403)->value, GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(Units, AlarmValue,
                         ::testing::Values(AlarmValueCase{"celsius50", false, 50, 500},
                                           AlarmValueCase{"fahrenheit100", true, 100, 370},
                                           AlarmValueCase{"fahrenheitBelowZeroCutsTowardZero", true,
                                                          0, 0xFF56},
                                           AlarmValueCase{"celsiusNegative", false, -20, 0xFF38}),
                         CaseName());

// ---- alarm rectangle packing ----
struct RectCase {
  const char* name;
  uint8_t version;
  PixelRect rect;
  uint32_t word1, word2;
};

class AlarmRect : public ::testing::TestWithParam<RectCase> {};

TEST_P(AlarmRect, PacksForTheCameraVersion) {
  const auto words = packAlarmRect(GetParam().rect, GetParam().version);
  EXPECT_EQ(words[0], GetParam().word1);
  EXPECT_EQ(words[1], GetParam().word2);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, AlarmRect,
    ::testing::Values(
        RectCase{"compactHalvesEachCoordinate", 20, {10, 21, 301, 401}, 0xC8960A05, 0},
        RectCase{"compactLastVersion32", 32, {0, 0, 20, 20}, 0x0A0A0000, 0},
        RectCase{"fullFromVersion33", 33, {10, 21, 301, 401}, 0x0015000A, 0x0191012D},
        RectCase{"fullKeepsWideCoordinates", 40, {600, 470, 639, 479}, 0x01D60258, 0x01DF027F}),
    CaseName());

TEST(KtAlarmPage, RegionCommandCarriesRoiAndExcludeFlags) {
  KtAlarmPage page;
  page.loadHeader(headerOf(33));
  page.alarms[1].roiUsed = true;
  page.alarms[1].exclude = true;
  page.alarms[1].rect = {1, 2, 3, 4};
  const SettingCommand* region2 = find(page.setAlarm(), 0x040A);
  ASSERT_NE(region2, nullptr);
  EXPECT_EQ(region2->value, 3);
  EXPECT_EQ(region2->words[0], 0x00020001u);
  EXPECT_EQ(region2->words[1], 0x00040003u);
}

// ---- reading the alarm page from the header ----
struct AlarmReadCase {
  const char* name;
  size_t offset;
  uint8_t stored;
  int KtAlarm::*field;
  size_t alarm;
  int shown;
};

class AlarmRead : public ::testing::TestWithParam<AlarmReadCase> {};

TEST_P(AlarmRead, FollowsTheReadAsRules) {
  auto header = headerOf(20);
  header[GetParam().offset] = GetParam().stored;
  KtAlarmPage page;
  page.loadHeader(header);
  EXPECT_EQ(page.alarms[GetParam().alarm].*GetParam().field, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, AlarmRead,
    ::testing::Values(AlarmReadCase{"function1Min", 47, 4, &KtAlarm::function, 0, 4},
                      AlarmReadCase{"function1AboveMinReadsOff", 47, 5, &KtAlarm::function, 0, 0},
                      AlarmReadCase{"condition1Below", 48, 1, &KtAlarm::condition, 0, 1},
                      AlarmReadCase{"condition2OutOfListReadsAbove", 52, 7, &KtAlarm::condition, 1,
                                    0},
                      AlarmReadCase{"function2Mean", 51, 2, &KtAlarm::function, 1, 2},
                      AlarmReadCase{"duration1", 60, 9, &KtAlarm::duration, 0, 9},
                      AlarmReadCase{"duration2", 61, 200, &KtAlarm::duration, 1, 200}),
    CaseName());

TEST(KtAlarmPage, ValuesAreTenthsShownAsWholeDegrees) {
  auto header = headerOf(20);
  header[49] = 0xF4;  // 500
  header[50] = 0x01;
  header[53] = 0x38;  // -200
  header[54] = 0xFF;
  header[62] = 0x01;
  KtAlarmPage page;
  page.loadHeader(header);
  EXPECT_EQ(page.alarms[0].value, 50);
  EXPECT_EQ(page.alarms[1].value, -20);
  EXPECT_TRUE(page.alarms[0].exclude);
}

// A value read while the page shows Fahrenheit must go back out as the same Celsius value.
TEST(KtAlarmPage, FahrenheitReadBackSendsTheSameValue) {
  auto header = headerOf(20, true);
  header[49] = 0x72;  // 370
  header[50] = 0x01;
  KtAlarmPage page;
  page.loadHeader(header);
  EXPECT_EQ(page.alarms[0].value, 99);
  EXPECT_EQ(find(page.setAlarm(), 0x0403)->value, 370);
}

TEST(KtAlarmPage, DefaultsSendTheRegionOfTwentyPixels) {
  KtAlarmPage page;
  page.loadHeader(headerOf(20));
  page.alarms[0].function = 3;
  const Commands sent = page.restoreDefaults();
  EXPECT_EQ(idsOf(sent), (std::vector<uint16_t>{0x0401, 0x0402, 0x0403, 0x0404, 0x0405, 0x0406,
                                                0x0409, 0x040A}));
  EXPECT_EQ(sent[0].value, 0);
  EXPECT_EQ(find(sent, 0x0409)->words[0], 0x0A0A0000u);
  EXPECT_EQ(find(sent, 0x040A)->words[0], 0u);
}

// ---- isotherm limits ----
struct IsothermCase {
  const char* name;
  IsothermPosition position;
  double top, bottom;
  bool fahrenheit;
  uint32_t limits;  // lower << 16 | upper
};

class IsothermLimits : public ::testing::TestWithParam<IsothermCase> {};

TEST_P(IsothermLimits, AreRoundedTenthsWithOpenEnds) {
  KtIsothermPage page;
  page.unit = GetParam().fahrenheit ? ShownUnit::Fahrenheit : ShownUnit::Celsius;
  page.isotherms[0] = KtIsotherm{true, 0x00FF00, static_cast<int>(GetParam().position),
                                 GetParam().top, GetParam().bottom};
  const Commands sent = page.sendIsotherms();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].words[1], GetParam().limits);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, IsothermLimits,
    ::testing::Values(
        IsothermCase{"top30", IsothermPosition::Top, 30.0, 0.0, false, 300u << 16 | 30000u},
        IsothermCase{"bottomOpensDownwards", IsothermPosition::Bottom, 0.0, 20.0, false,
                     35536u << 16 | 200u},
        IsothermCase{"intervalBothLimits", IsothermPosition::Interval, 40.0, 25.5, false,
                     255u << 16 | 400u},
        IsothermCase{"halfTenthRoundsAwayFromZero", IsothermPosition::Top, 30.25, 0.0, false,
                     303u << 16 | 30000u},
        IsothermCase{"negativeHalfTenthRoundsAwayFromZero", IsothermPosition::Bottom, 0.0, -10.25,
                     false, 35536u << 16 | 0xFF99u},
        IsothermCase{"fahrenheitTop", IsothermPosition::Top, 86.0, 0.0, true, 300u << 16 | 30000u}),
    CaseName());

TEST(KtIsothermPage, ValueCarriesNumberEnableAndColour) {
  KtIsothermPage page;
  page.isotherms[1] = KtIsotherm{true, 0x123456, 0, 30.0, 20.0};
  const Commands sent = page.sendIsotherms();
  EXPECT_EQ(sent[0].value, 0x0100);
  EXPECT_EQ(sent[1].value, 0x0201);
  EXPECT_EQ(sent[1].words[0], 0x123456u);
}

// ---- KT analysis ----
TEST(KtAnalysisPage, CorrectionPacksRatiosAndAtmosphere) {
  KtAnalysisPage page;
  page.correction = {0.95, 0.8, -12.3};
  const SettingCommand c = page.correctionCommand();
  EXPECT_EQ(camera::toWire(c.id), 0x0B01);
  EXPECT_EQ(c.value, 1);
  EXPECT_EQ(c.words[0], 95u << 24 | 80u << 16 | 0xFF85u);
}

TEST(KtAnalysisPage, SpotInfoGoesOncePerSpotWithItsFlagsAndPosition) {
  KtAnalysisPage page;
  page.unit = ShownUnit::Fahrenheit;
  page.spots[2] = KtSpot{true, 100, 200, true, {0.5, 1.0, 212.0}};
  const Commands sent = page.spotCommands();
  ASSERT_EQ(sent.size(), 10u);
  EXPECT_EQ(sent[0].value >> 8, 1);
  EXPECT_EQ(sent[2].value, 3 << 8 | 3);
  EXPECT_EQ(sent[2].words[0], 50u << 24 | 100u << 16 | 1000u);
  EXPECT_EQ(sent[2].words[1], 100u << 16 | 200u);
}

// ---- KS ----
struct RegionAlarmCase {
  const char* name;
  KsRegionAlarm alarm;
  uint16_t value;
  uint32_t word1, word2;
};

class RegionAlarm : public ::testing::TestWithParam<RegionAlarmCase> {};

TEST_P(RegionAlarm, PacksModeSwitchesDelayAndTemperature) {
  const SettingCommand c = GetParam().alarm.command(ShownUnit::Celsius);
  EXPECT_EQ(camera::toWire(c.id), 0x0421);
  EXPECT_EQ(c.value, GetParam().value);
  EXPECT_EQ(c.words[0], GetParam().word1);
  EXPECT_EQ(c.words[1], GetParam().word2);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, RegionAlarm,
    ::testing::Values(
        RegionAlarmCase{"centreAboveOff", {3, false, 0, 0, 0, 50.0}, 3, 0, 500},
        RegionAlarmCase{
            "roi01BelowBothOutputs", {4, true, 3, 1, 10, 36.6}, 11, 0x01030100, 10u << 16 | 366u},
        RegionAlarmCase{
            "roi10NegativeTemperature", {13, true, 1, 0, 0, -5.0}, 20, 0x01010000, 0xFFCEu}),
    CaseName());

TEST(KsRegions, GeometryAndCorrectionNameTheRegionFromEleven) {
  KsRegion r{2, 10, 20, 30, 40, true, {0.9, 0.75, 23.4}};
  const SettingCommand geometry = regionGeometryCommand(9, r);
  EXPECT_EQ(geometry.value, 20 << 8 | 2);
  EXPECT_EQ(geometry.words[0], 10u << 16 | 20u);
  EXPECT_EQ(geometry.words[1], 30u << 16 | 40u);
  const SettingCommand correction = regionCorrectionCommand(0, r, ShownUnit::Celsius);
  EXPECT_EQ(correction.value, 11 << 8 | 1);
  EXPECT_EQ(correction.words[0], (90u << 8 | 75u) << 16);
  EXPECT_EQ(correction.words[1], 234u);
}

struct LabelCase {
  const char* name;
  int index, mode;
  const char* label;
};

class RegionLabel : public ::testing::TestWithParam<LabelCase> {};

TEST_P(RegionLabel, NamesKindAndNumber) {
  KsRegion r;
  r.mode = GetParam().mode;
  EXPECT_EQ(regionLabel(GetParam().index, r), GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(Kinds, RegionLabel,
                         ::testing::Values(LabelCase{"spot1", 0, 1, "Spot01"},
                                           LabelCase{"rect10", 9, 2, "Rect10"},
                                           LabelCase{"offHasNone", 4, 0, ""}),
                         CaseName());

TEST(KsRegions, ClampKeepsARegionInsideThePicture) {
  const KsRegion r = clampedRegion(KsRegion{2, 380, -5, 50, 400}, 384, 288);
  EXPECT_EQ(r.x, 380);
  EXPECT_EQ(r.y, 0);
  EXPECT_EQ(r.width, 4);
  EXPECT_EQ(r.height, 288);
}

TEST(Units, RatiosAreHeldWithinOneHundred) {
  EXPECT_EQ(ratioByte(1.7), 100);
  EXPECT_EQ(ratioByte(-0.2), 0);
  EXPECT_EQ(ratioByte(0.955), 96);
}

}  // namespace
}  // namespace analysis
