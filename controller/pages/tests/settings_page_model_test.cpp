// The page rules: what a change sends, the questions before it, greyed entries, buttons and
// the KT defaults.
#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "fake_port.h"
#include "pages/core/settings_page_model.h"

namespace {

using camera::Page;
using camera::SettingCommand;
using camera::SettingId;
using desktop::Answer;
using pages_test::HeaderRequest;
using pages_test::Sent;

using Header = std::array<uint8_t, 512>;

Header headerOf(uint8_t version, std::vector<std::pair<int, uint8_t>> bytes = {}) {
  Header header{};
  header[4] = version;
  for (auto [offset, byte] : bytes) header[static_cast<size_t>(offset)] = byte;
  return header;
}

Header ksRangesHeader() {
  // Ranges 1 and 2 with their names.
  Header header = headerOf(33, {{339, 0x06}});
  const char* names[] = {"0~650C", "100~1200C"};
  for (size_t n = 0; n < 2; ++n)
    for (size_t i = 0; names[n][i]; ++i)
      header[363 + 10 * n + i] = static_cast<uint8_t>(names[n][i]);
  return header;
}

struct ChangeCase {
  const char* name;
  Page page;
  Header header;
  const char* field;
  int64_t value;
  std::vector<Answer> answers;
  bool taken;
  std::vector<Sent> expected;
};

void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.name; }

class PageChange : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(PageChange, SendsExactlyWhatTheCameraExpects) {
  const ChangeCase& c = GetParam();
  pages_test::RecordingPort port;
  desktop::ScriptedNotifier notifier("Tessor", Answer::No);
  for (Answer answer : c.answers) notifier.answerNext(answer);
  pages::SettingsPageModel model(c.page, port, notifier);
  model.loadHeader(c.header, pages::measurementRanges(c.header));
  const int64_t before = model.value(c.field);
  EXPECT_EQ(model.change(c.field, c.value), c.taken);
  EXPECT_EQ(model.value(c.field), c.taken ? c.value : before);
  EXPECT_EQ(port.sent, c.expected);
}

SettingCommand cmd(SettingId id, uint16_t value, uint32_t w1 = 0, uint32_t w2 = 0,
                   uint32_t w3 = 0) {
  return SettingCommand{id, value, {w1, w2, w3}};
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PageChange,
    ::testing::Values(ChangeCase{"kt_zoom_4x_sends_value_2",
                                 Page::KtVideo,
                                 headerOf(20),
                                 "kt_video.zoom",
                                 2,
                                 {},
                                 true,
                                 {cmd(SettingId::Zoom, 2)}},
                      ChangeCase{"kt_tv_change_answered_yes",
                                 Page::KtSystem,
                                 headerOf(20),
                                 "kt_system.tv",
                                 1,
                                 {Answer::Yes},
                                 true,
                                 {cmd(SettingId::TvMode, 1)}},
                      ChangeCase{"kt_tv_change_answered_no_sends_nothing",
                                 Page::KtSystem,
                                 headerOf(20),
                                 "kt_system.tv",
                                 1,
                                 {Answer::No},
                                 false,
                                 {}},
                      ChangeCase{"kt_high_mode_greyed_for_version_10",
                                 Page::KtSystem,
                                 headerOf(10, {{129, 1}}),
                                 "kt_system.range",
                                 1,
                                 {},
                                 false,
                                 {}},
                      ChangeCase{"kt_high_mode_greyed_without_the_camera_flag",
                                 Page::KtSystem,
                                 headerOf(20),
                                 "kt_system.range",
                                 1,
                                 {},
                                 false,
                                 {}},
                      ChangeCase{"kt_high_mode_offered",
                                 Page::KtSystem,
                                 headerOf(20, {{129, 1}}),
                                 "kt_system.range",
                                 1,
                                 {},
                                 true,
                                 {cmd(SettingId::TemperatureRange, 1)}},
                      ChangeCase{"kt_address_alone_sends_nothing",
                                 Page::KtComm,
                                 headerOf(20),
                                 "kt_comm.ip",
                                 0x0A000001,
                                 {},
                                 true,
                                 {}},
                      ChangeCase{"ks_nuc_time_with_mode_off",
                                 Page::KsNuc,
                                 headerOf(33, {{84, 0}, {86, 2}}),
                                 "ks_nuc.time",
                                 3,
                                 {},
                                 true,
                                 {cmd(SettingId::NucTiming, 0, 0x00030002)}},
                      ChangeCase{"ks_tv_change_answered_no_sends_nothing",
                                 Page::KsSystem,
                                 headerOf(33),
                                 "ks_system.tv",
                                 1,
                                 {Answer::No},
                                 false,
                                 {}},
                      ChangeCase{"ks_hdmi_change_answered_yes",
                                 Page::KsSystem,
                                 headerOf(33),
                                 "ks_system.hdmi",
                                 2,
                                 {Answer::Yes},
                                 true,
                                 {cmd(SettingId::HdmiMode, 2)}},
                      ChangeCase{"ks_version_32_range_asks_first",
                                 Page::KsSystem,
                                 headerOf(32),
                                 "ks_system.range",
                                 1,
                                 {Answer::No},
                                 false,
                                 {}},
                      ChangeCase{"ks_version_33_range_by_number_then_header",
                                 Page::KsSystem,
                                 ksRangesHeader(),
                                 "ks_system.range",
                                 2,
                                 {},
                                 true,
                                 {cmd(SettingId::TemperatureRange, 2), HeaderRequest{}}},
                      ChangeCase{"ks_range_not_offered_is_refused",
                                 Page::KsSystem,
                                 ksRangesHeader(),
                                 "ks_system.range",
                                 0,
                                 {},
                                 false,
                                 {}},
                      ChangeCase{"ks_rotation",
                                 Page::KsVideo,
                                 headerOf(33),
                                 "ks_video.rotation",
                                 2,
                                 {},
                                 true,
                                 {cmd(SettingId::Rotation, 2)}},
                      ChangeCase{"ks_used_correction_sends_all_parameters",
                                 Page::KsCorrection,
                                 headerOf(33, {{131, 95}, {132, 100}, {133, 200}, {120, 10}}),
                                 "ks_correction.used",
                                 1,
                                 {},
                                 true,
                                 {cmd(SettingId::CorrectionParameters, 1, 0x5F6400C8, 0x000A0000)}},
                      ChangeCase{
                          "ks_isotherm_colour_sends_all_three",
                          Page::KsSystem,
                          headerOf(33),
                          "ks_system.iso_interval_colour",
                          0x808080,
                          {},
                          true,
                          {cmd(SettingId::IsothermColours, 0, 0xFF0000, 0x808080, 0x0000FF)}},
                      ChangeCase{"range_above_its_limit_is_refused",
                                 Page::KsVideo,
                                 headerOf(33),
                                 "ks_video.brightness",
                                 101,
                                 {},
                                 false,
                                 {}},
                      ChangeCase{"readout_is_never_sent",
                                 Page::KsAlarm,
                                 headerOf(33),
                                 "ks_alarm.out1_remote",
                                 1,
                                 {},
                                 false,
                                 {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ButtonCase {
  const char* name;
  Page page;
  Header header;
  std::vector<std::pair<const char*, int64_t>> changes;
  const char* button;
  std::vector<Sent> expected;
  const char* message;  // shown afterwards; empty: none
};

void PrintTo(const ButtonCase& c, std::ostream* os) { *os << c.name; }

class PageButton : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(PageButton, SendsItsCommandsAndReports) {
  const ButtonCase& c = GetParam();
  pages_test::RecordingPort port;
  desktop::ScriptedNotifier notifier("Tessor");
  pages::SettingsPageModel model(c.page, port, notifier);
  model.loadHeader(c.header);
  for (auto [key, value] : c.changes) ASSERT_TRUE(model.change(key, value)) << key;
  port.sent.clear();
  model.press(c.button);
  EXPECT_EQ(port.sent, c.expected);
  if (*c.message) {
    ASSERT_EQ(notifier.shown().size(), 1u);
    EXPECT_EQ(notifier.shown()[0].text, c.message);
    EXPECT_EQ(notifier.shown()[0].title, "Information");
  } else {
    EXPECT_TRUE(notifier.shown().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, PageButton,
    ::testing::Values(ButtonCase{"kt_dhcp_sends_three_zero_words",
                                 Page::KtComm,
                                 headerOf(20, {{31, 5}, {32, 6}, {33, 7}, {34, 8}}),
                                 {{"kt_comm.dhcp", 1}, {"kt_comm.mask", 0xFFFF0000}},
                                 "Set IP",
                                 {cmd(SettingId::IpSetting, 1)},
                                 "Completed IP setting."},
                      ButtonCase{"kt_fixed_address",
                                 Page::KtComm,
                                 headerOf(20, {{22, 1}}),
                                 {{"kt_comm.dhcp", 0},
                                  {"kt_comm.ip", 0xC0A80102},
                                  {"kt_comm.mask", 0xFFFFFF00},
                                  {"kt_comm.gateway", 0xC0A80101}},
                                 "Set IP",
                                 {cmd(SettingId::IpSetting, 0, 0xC0A80102, 0xFFFFFF00, 0xC0A80101)},
                                 "Completed IP setting."},
                      ButtonCase{"kt_rs485_sends_id_and_baud_together",
                                 Page::KtComm,
                                 headerOf(20, {{8, 1}, {9, 2}}),
                                 {{"kt_comm.id", 7}, {"kt_comm.baud", 4}},
                                 "Set RS-485",
                                 {cmd(SettingId::CameraId, 7), cmd(SettingId::BaudRate, 4)},
                                 "Completed RS-485 setting."},
                      ButtonCase{"kt_nuc_now",
                                 Page::KtSystem,
                                 headerOf(20),
                                 {},
                                 "NUC",
                                 {cmd(SettingId::NucPeriod, 7)},
                                 ""},
                      ButtonCase{"ks_alarm_output_1",
                                 Page::KsAlarm,
                                 headerOf(33),
                                 {{"ks_alarm.out1_type", 1},
                                  {"ks_alarm.out1_mode", 3},
                                  {"ks_alarm.out1_duration", 30}},
                                 "Set Alarm01",
                                 {cmd(SettingId::AlarmOutput, 0, 0x01031E00)},
                                 ""},
                      ButtonCase{"ks_tv_window",
                                 Page::KsVideoSize,
                                 headerOf(33),
                                 {{"ks_size.tv_h", 40}, {"ks_size.tv_v", 24}},
                                 "Set TV",
                                 {cmd(SettingId::TvOutputWindow, 0, 40 * 65537, 24 * 65537)},
                                 ""},
                      ButtonCase{"ks_network_keeps_addresses_under_dhcp",
                                 Page::KsNetwork,
                                 headerOf(33, {{22, 1}, {31, 0x64}, {33, 0xA8}, {34, 0xC0}}),
                                 {},
                                 "Set Network",
                                 {cmd(SettingId::IpSetting, 1, 0xC0A80064)},
                                 ""},
                      ButtonCase{"ks_manual_limits",
                                 Page::KsImage32,
                                 headerOf(32),
                                 {{"ks_image32.maximum", 1500}, {"ks_image32.minimum", 100}},
                                 "Set",
                                 {cmd(SettingId::ManualMaximum, 1500, 100, 100, 100),
                                  cmd(SettingId::ManualMinimum, 100)},
                                 ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsPage, FillsItsControlsFromTheHeader) {
  pages_test::RecordingPort port;
  desktop::ScriptedNotifier notifier("Tessor");
  pages::SettingsPageModel model(Page::KsVideo, port, notifier);
  model.loadHeader(headerOf(33, {{81, 70}, {82, 30}, {25, 2}, {16, 1}, {23, 4}, {15, 1}}));
  EXPECT_EQ(
      (std::vector<int64_t>{model.value("ks_video.brightness"), model.value("ks_video.contrast"),
                            model.value("ks_video.zoom"), model.value("ks_video.rotation"),
                            model.value("ks_video.palette"), model.value("ks_video.invert")}),
      (std::vector<int64_t>{70, 30, 2, 1, 4, 1}));
  EXPECT_TRUE(port.sent.empty());
}

TEST(SettingsPage, KtVideoDefaultsAreSetAndSent) {
  pages_test::RecordingPort port;
  desktop::ScriptedNotifier notifier("Tessor");
  pages::SettingsPageModel model(Page::KtVideo, port, notifier);
  ASSERT_TRUE(model.change("kt_video.zoom", 1));
  ASSERT_TRUE(model.change("kt_video.agc", 2));
  port.sent.clear();
  model.restoreDefaults();
  EXPECT_EQ(port.sent, (std::vector<Sent>{cmd(SettingId::AgcMode, 1), cmd(SettingId::Palette, 0),
                                          cmd(SettingId::Invert, 0), cmd(SettingId::Mirror, 0),
                                          cmd(SettingId::Flip, 0), cmd(SettingId::Zoom, 0),
                                          cmd(SettingId::ImageFilter, 0)}));
  EXPECT_EQ(model.value("kt_video.zoom"), 0);
}

TEST(SettingsPage, KsVersion33RangeListComesFromTheCamera) {
  pages_test::RecordingPort port;
  desktop::ScriptedNotifier notifier("Tessor");
  pages::SettingsPageModel model(Page::KsSystem, port, notifier);
  const Header header = ksRangesHeader();
  model.loadHeader(header, pages::measurementRanges(header));
  const auto entries = model.choices(*model.fieldIndex("ks_system.range"));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].text, "0~650C");
  EXPECT_EQ(entries[0].value, 1);
  EXPECT_EQ(entries[1].text, "100~1200C");
  EXPECT_EQ(entries[1].value, 2);
}

}  // namespace
