// The settings catalogue against the camera's own tables: every id with its page, header
// offset and width, list texts, read rules and packing.
#include <gtest/gtest.h>

#include <ostream>

#include <array>
#include <string>
#include <vector>

#include "camera/settings_catalogue.h"

namespace {

using camera::Page;
using camera::SettingId;

struct FieldCase {
  const char* key;
  uint16_t id;  // the command that carries the field
  int offset;
  int width;
  std::vector<std::string> texts;
};

void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.key; }

class CatalogueField : public ::testing::TestWithParam<FieldCase> {};

const camera::CommandEntry* commandCarrying(std::string_view key) {
  for (const auto& command : camera::settingCommands())
    for (auto field : command.fields)
      if (field == key) return &command;
  return nullptr;
}

TEST_P(CatalogueField, HasItsIdOffsetWidthAndTexts) {
  const FieldCase& c = GetParam();
  const camera::FieldEntry* field = camera::findField(c.key);
  ASSERT_NE(field, nullptr);
  if (field->kind != camera::FieldKind::Readout) {
    const camera::CommandEntry* command = commandCarrying(c.key);
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(camera::toWire(command->id), c.id);
  }
  EXPECT_EQ(field->offset, c.offset);
  if (c.offset >= 0) {
    EXPECT_EQ(field->width, c.width);
  }
  std::vector<std::string> texts(field->choices.begin(), field->choices.end());
  EXPECT_EQ(texts, c.texts);
}

const std::vector<std::string> kOffOn{"Off", "On"};
const std::vector<std::string> kLevels{"Level0", "Level1", "Level2", "Level3",
                                       "Level4", "Level5", "Level6"};

INSTANTIATE_TEST_SUITE_P(
    Every, CatalogueField,
    ::testing::Values(
        FieldCase{"kt_video.agc", 0x0101, -1, 1, {"Off", "Histogram", "Brightness"}},
        FieldCase{"kt_video.level", 0x0102, -1, 2, {}},
        FieldCase{"kt_video.span", 0x0103, -1, 2, {}},
        FieldCase{"kt_video.palette",
                  0x0105,
                  -1,
                  1,
                  {"Grey", "Rainbow", "Iron", "GreyRed", "GlowBow", "Yellow", "MidGrey", "MidGreen",
                   "User Color1", "User Color2"}},
        FieldCase{"kt_video.invert", 0x0106, -1, 1, kOffOn},
        FieldCase{"kt_video.mirror", 0x0107, -1, 1, kOffOn},
        FieldCase{"kt_video.flip", 0x0108, -1, 1, kOffOn},
        FieldCase{"kt_video.zoom", 0x0109, -1, 1, {"Off", "2x", "4x"}},
        FieldCase{"kt_video.filter",
                  0x010A,
                  -1,
                  1,
                  {"Off", "Slight Sharpten", "Strong Sharpten", "Median", "Gaussian"}},
        FieldCase{"kt_display.colour_bar", 0x0201, 18, 1, kOffOn},
        FieldCase{"kt_display.temp_info", 0x0202, 19, 1, kOffOn},
        FieldCase{"kt_display.min_max", 0x0203, 20, 1, kOffOn},
        FieldCase{"kt_display.temp_type", 0x0204, 21, 1, {"Celsius", "Fahrenheit"}},
        FieldCase{"kt_display.transparency", 0x0205, 24, 1, {"0", "20", "40", "60", "80"}},
        FieldCase{"kt_display.centre", 0x0206, 56, 1, kOffOn},
        FieldCase{"kt_display.spot", 0x0207, 57, 1, kOffOn},
        FieldCase{"kt_display.correction", 0x0208, 58, 1, kOffOn},
        FieldCase{"kt_comm.id", 0x0306, 8, 1, {}},
        FieldCase{"kt_comm.baud", 0x0307, 9, 1, {"2400", "4800", "9600", "19200", "38400"}},
        FieldCase{"kt_comm.dhcp", 0x0301, 22, 1, kOffOn},
        FieldCase{"kt_comm.ip", 0x0301, 31, 4, {}}, FieldCase{"kt_comm.mask", 0x0301, 35, 4, {}},
        FieldCase{"kt_comm.gateway", 0x0301, 39, 4, {}},
        FieldCase{"kt_system.tv", 0x0501, 6, 1, {"NTSC", "PAL"}},
        FieldCase{"kt_system.nuc_period",
                  0x0502,
                  28,
                  2,
                  {"1 min", "5 min", "10 min", "30 min", "60 min", "off"}},
        FieldCase{"kt_system.range", 0x0503, 7, 1, {"Normal Mode", "High Mode"}},
        FieldCase{"ks_display.icon", 0x0209, 80, 1, kOffOn},
        FieldCase{"ks_display.centre", 0x0206, 56, 1, kOffOn},
        FieldCase{"ks_display.min_max", 0x0203, 20, 1, kOffOn},
        FieldCase{"ks_display.colour_bar", 0x0201, 18, 1, kOffOn},
        FieldCase{"ks_display.temp_info", 0x0202, 19, 1, kOffOn},
        FieldCase{"ks_display.roi", 0x0207, 57, 1, {"Off", "Empty", "Filled"}},
        FieldCase{"ks_display.correction", 0x0208, 58, 1, kOffOn},
        FieldCase{"ks_display.transparency", 0x0205, 24, 1, {"Off", "20%", "40%", "60%", "80%"}},
        FieldCase{"ks_display.temp_type", 0x0204, 21, 1, {"Celsius", "Fahrenheit"}},
        FieldCase{"ks_size.tv_h", 0x0441, 93, 2, {}}, FieldCase{"ks_size.tv_v", 0x0441, 97, 2, {}},
        FieldCase{"ks_size.hdmi_h", 0x0442, 101, 2, {}},
        FieldCase{"ks_size.hdmi_v", 0x0442, 105, 2, {}},
        FieldCase{"ks_video.brightness", 0x0102, 81, 1, {}},
        FieldCase{"ks_video.contrast", 0x0103, 82, 1, {}},
        FieldCase{"ks_video.zoom", 0x0109, 25, 1, {"Off", "x2", "x4"}},
        FieldCase{"ks_video.rotation", 0x0451, 16, 1, {"Off", "Mirror", "Flip", "M + F"}},
        FieldCase{"ks_video.palette",
                  0x0105,
                  23,
                  1,
                  {"Grey", "Iron", "Rainbow", "Grey Red", "Glowbow", "Yellow", "MidGrey"}},
        FieldCase{"ks_video.invert", 0x0106, 15, 1, kOffOn},
        FieldCase{"ks_image32.agc", 0x0101, 14, 1, {"Manual", "Auto"}},
        FieldCase{"ks_image32.maximum", 0x0461, 88, 2, {}},
        FieldCase{"ks_image32.noise", 0x010A, 27, 1, {"Off", "NR1", "NR2", "NR1 + NR2"}},
        FieldCase{"ks_image32.edge", 0x010B, 83, 1, kOffOn},
        FieldCase{"ks_image32.nr1", 0x010C, 122, 1, kLevels},
        FieldCase{"ks_image32.nr2", 0x010D, 123, 1, kLevels},
        FieldCase{"ks_image32.ee", 0x010E, 124, 1, kLevels},
        FieldCase{"ks_image33.agc", 0x0101, 14, 1, {"Manual", "Auto"}},
        FieldCase{"ks_image33.level", 0x0463, -1, 2, {}},
        FieldCase{"ks_image33.span", 0x0464, -1, 2, {}},
        FieldCase{"ks_image33.noise", 0x010A, 27, 1, {"Off", "NR1", "NR2", "NR1 + NR2"}},
        FieldCase{"ks_image33.edge", 0x010B, 83, 1, kOffOn},
        FieldCase{"ks_image33.nr1", 0x010C, 122, 1, kLevels},
        FieldCase{"ks_image33.nr2", 0x010D, 123, 1, kLevels},
        FieldCase{"ks_image33.ee", 0x010E, 124, 1, kLevels},
        FieldCase{"ks_nuc.mode", 0x0431, 84, 1, {"Off", "Time", "Auto", "Time + Auto"}},
        FieldCase{"ks_nuc.time", 0x0431, 85, 1, {"1 min", "5 min", "10 min", "30 min", "60 min"}},
        FieldCase{
            "ks_nuc.threshold", 0x0431, 86, 1, {"Lowest", "Low", "Middle", "High", "Highest"}},
        FieldCase{"ks_network.dhcp", 0x0301, 22, 1, kOffOn},
        FieldCase{"ks_network.ip", 0x0301, 31, 4, {}},
        FieldCase{"ks_network.mask", 0x0301, 35, 4, {}},
        FieldCase{"ks_network.gateway", 0x0301, 39, 4, {}},
        FieldCase{"ks_alarm.out1_type", 0x0411, 110, 1, {"NO", "NC"}},
        FieldCase{"ks_alarm.out1_mode",
                  0x0411,
                  111,
                  1,
                  {"OFF", "READY FOR USE", "ALIVE PWM", "TEMPERATURE", "REMOTE CONTROL", "TEST ON",
                   "TEST OFF"}},
        FieldCase{"ks_alarm.out1_duration", 0x0411, 112, 1, {}},
        FieldCase{"ks_alarm.out1_remote", 0, 113, 1, kOffOn},
        FieldCase{"ks_alarm.out2_type", 0x0411, 114, 1, {"NO", "NC"}},
        FieldCase{"ks_alarm.out2_duration", 0x0411, 116, 1, {}},
        FieldCase{"ks_correction.used", 0x0B01, 130, 1, {"OFF", "ON"}},
        FieldCase{"ks_correction.emissivity", 0x0B01, 131, 1, {}},
        FieldCase{"ks_correction.transmission", 0x0B01, 132, 1, {}},
        FieldCase{"ks_correction.atmosphere", 0x0B01, 133, 2, {}},
        FieldCase{"ks_correction.zero_offset", 0x0B01, 118, 2, {}},
        FieldCase{"ks_correction.distance", 0x0B01, 120, 2, {}},
        FieldCase{"ks_system.tv", 0x0501, 6, 1, {"NTSC", "PAL"}},
        FieldCase{"ks_system.hdmi",
                  0x0471,
                  109,
                  1,
                  {"1920x1080 60p", "1920x1080 50p", "1280x720 60p", "1280x720 50p"}},
        FieldCase{"ks_system.protocol", 0x0305, -1, 1, {"Pelco-D", "SAMSUNG-T", "Thermal"}},
        FieldCase{"ks_system.id", 0x0306, -1, 1, {}},
        FieldCase{"ks_system.baud",
                  0x0307,
                  -1,
                  1,
                  {"2400", "4800", "9600", "19200", "38400", "57600", "115200"}},
        FieldCase{"ks_system.range", 0x0503, 7, 1, {"Normal", "High"}},
        FieldCase{"ks_system.iso_below_colour", 0x0482, -1, 1, {}},
        FieldCase{"ks_system.iso_interval_colour", 0x0482, -1, 1, {}},
        FieldCase{"ks_system.iso_above_colour", 0x0482, -1, 1, {}},
        FieldCase{"ks_system.iso_mode",
                  0x0481,
                  -1,
                  1,
                  {"Off", "Max. Below", "Min. Above", "Interval", "All"}}),
    [](const auto& info) {
      std::string name = info.param.key;
      for (char& ch : name)
        if (ch == '.') ch = '_';
      return name;
    });

TEST(Catalogue, FieldKeysAreUnique) {
  const auto& fields = camera::settingFields();
  for (size_t i = 0; i < fields.size(); ++i)
    for (size_t j = i + 1; j < fields.size(); ++j) EXPECT_NE(fields[i].key, fields[j].key);
}

TEST(Catalogue, EveryCommandNamesFieldsOfItsOwnPage) {
  for (const auto& command : camera::settingCommands()) {
    for (auto key : command.fields) {
      const camera::FieldEntry* field = camera::findField(key);
      ASSERT_NE(field, nullptr) << command.key << " names " << key;
      EXPECT_EQ(field->page, command.page) << command.key;
    }
  }
}

// "Initialized" on a KT camera sends exactly these, in this order.
TEST(Catalogue, KtInitialisationSendsTheDefaultsInPageOrder) {
  std::vector<uint16_t> ids;
  std::vector<uint16_t> values;
  for (const auto& command : camera::settingCommands()) {
    if (!command.restoredOnInitialise) continue;
    std::vector<int64_t> initial;
    for (auto key : command.fields) initial.push_back(camera::findField(key)->initial);
    const camera::SettingCommand sent = camera::packCommand(command, initial);
    ids.push_back(camera::toWire(sent.id));
    values.push_back(sent.value);
  }
  EXPECT_EQ(ids, (std::vector<uint16_t>{0x0101, 0x0105, 0x0106, 0x0107, 0x0108, 0x0109, 0x010A,
                                        0x0201, 0x0202, 0x0203, 0x0204, 0x0205, 0x0206, 0x0207,
                                        0x0208, 0x0502, 0x0503, 0x0301, 0x0306, 0x0307}));
  EXPECT_EQ(values,
            (std::vector<uint16_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 1, 2}));
}

struct PackCase {
  const char* name;
  const char* command;
  std::vector<int64_t> values;
  camera::SettingCommand expected;
};

void PrintTo(const PackCase& c, std::ostream* os) { *os << c.name; }

class CataloguePacking : public ::testing::TestWithParam<PackCase> {};

const camera::CommandEntry& commandNamed(std::string_view key) {
  for (const auto& command : camera::settingCommands())
    if (command.key == key) return command;
  throw std::runtime_error("no command " + std::string(key));
}

TEST_P(CataloguePacking, PutsValueAndWordsWhereTheCameraReadsThem) {
  const PackCase& c = GetParam();
  const camera::SettingCommand sent = camera::packCommand(commandNamed(c.command), c.values);
  EXPECT_EQ(camera::toWire(sent.id), camera::toWire(c.expected.id));
  EXPECT_EQ(sent.value, c.expected.value);
  EXPECT_EQ(sent.words[0], c.expected.words[0]);
  EXPECT_EQ(sent.words[1], c.expected.words[1]);
  EXPECT_EQ(sent.words[2], c.expected.words[2]);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CataloguePacking,
    ::testing::Values(
        PackCase{"kt_zoom_4x", "kt_zoom", {2}, {SettingId::Zoom, 2, {0, 0, 0}}},
        PackCase{"kt_level_negative", "kt_level", {-25}, {SettingId::Level, 0xFFE7, {0, 0, 0}}},
        PackCase{"kt_dhcp_drops_the_addresses",
                 "kt_ip",
                 {1, 0xC0A80102, 0xFFFFFF00, 0xC0A80101},
                 {SettingId::IpSetting, 1, {0, 0, 0}}},
        PackCase{"kt_fixed_address",
                 "kt_ip",
                 {0, 0xC0A80102, 0xFFFFFF00, 0xC0A80101},
                 {SettingId::IpSetting, 0, {0xC0A80102, 0xFFFFFF00, 0xC0A80101}}},
        PackCase{"kt_nuc_now", "kt_nuc_now", {}, {SettingId::NucPeriod, 7, {0, 0, 0}}},
        PackCase{"ks_dhcp_keeps_the_addresses",
                 "ks_network",
                 {1, 0xC0A80064, 0xFFFFFF00, 0xC0A80001},
                 {SettingId::IpSetting, 1, {0xC0A80064, 0xFFFFFF00, 0xC0A80001}}},
        PackCase{"ks_nuc_timing",
                 "ks_nuc_timing",
                 {0, 3, 4},
                 {SettingId::NucTiming, 0, {0x00030004, 0, 0}}},
        PackCase{"ks_nuc_once", "ks_nuc_once", {}, {SettingId::NucOnce, 0, {0, 0, 0}}},
        PackCase{"ks_alarm_output_2",
                 "ks_alarm_out2",
                 {1, 3, 200},
                 {SettingId::AlarmOutput, 1, {0x0103C800, 0, 0}}},
        PackCase{"ks_tv_window",
                 "ks_tv_window",
                 {8, 12},
                 {SettingId::TvOutputWindow, 0, {8 * 65537, 12 * 65537, 0}}},
        PackCase{"ks_hdmi_window",
                 "ks_hdmi_window",
                 {160, 90},
                 {SettingId::HdmiOutputWindow, 0, {160 * 65537, 90 * 65537, 0}}},
        PackCase{"ks_manual_maximum",
                 "ks32_maximum",
                 {1200, -200},
                 {SettingId::ManualMaximum, 1200, {0xFFFFFF38, 0xFFFFFF38, 0xFFFFFF38}}},
        PackCase{"ks_correction",
                 "ks_correction",
                 {1, 95, 100, 250, -15, 30},
                 {SettingId::CorrectionParameters, 1, {0x5F6400FA, 0x001EFFF1, 0}}},
        PackCase{"ks_isotherm_interval",
                 "ks_isotherm",
                 {4, 200, 400},
                 {SettingId::IsothermMode, 0, {4, 200, 400}}},
        PackCase{"ks_isotherm_colours",
                 "ks_isotherm_colours",
                 {0x0000FF, 0x00FF00, 0xFF0000},
                 {SettingId::IsothermColours, 0, {0x0000FF, 0x00FF00, 0xFF0000}}},
        PackCase{"ks_rotation_both", "ks_rotation", {3}, {SettingId::Rotation, 3, {0, 0, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReadCase {
  const char* name;
  const char* field;
  std::vector<std::pair<int, uint8_t>> bytes;
  int64_t expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class CatalogueRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(CatalogueRead, AppliesTheHeaderRules) {
  std::array<uint8_t, 512> header{};
  for (auto [offset, byte] : GetParam().bytes) header[static_cast<size_t>(offset)] = byte;
  const auto value = camera::readField(*camera::findField(GetParam().field), header);
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(*value, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CatalogueRead,
    ::testing::Values(
        ReadCase{"dhcp_above_1_reads_0", "kt_comm.dhcp", {{22, 2}}, 0},
        ReadCase{"ks_transparency_above_4_reads_4", "ks_display.transparency", {{24, 9}}, 4},
        ReadCase{"kt_transparency_above_4_reads_0", "kt_display.transparency", {{24, 9}}, 0},
        ReadCase{"ks_roi_above_2_reads_2", "ks_display.roi", {{57, 5}}, 2},
        ReadCase{"rotation_from_mirror_and_flip", "ks_video.rotation", {{16, 1}, {17, 1}}, 3},
        ReadCase{"rotation_flip_only", "ks_video.rotation", {{17, 1}}, 2},
        ReadCase{"address_first_part_highest",
                 "ks_network.ip",
                 {{31, 0x64}, {32, 0x00}, {33, 0xA8}, {34, 0xC0}},
                 0xC0A80064},
        ReadCase{"nuc_period_16_bit", "kt_system.nuc_period", {{28, 4}, {29, 0}}, 4},
        ReadCase{"manual_minimum_signed", "ks_image32.minimum", {{90, 0x38}, {91, 0xFF}}, -200},
        ReadCase{"out_of_list_reads_initial", "kt_comm.baud", {{9, 40}}, 2},
        ReadCase{"range_held_in_limits", "ks_correction.emissivity", {{131, 250}}, 100}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Catalogue, FieldsTheHeaderDoesNotCarryReadNothing) {
  std::array<uint8_t, 512> header{};
  EXPECT_FALSE(camera::readField(*camera::findField("kt_video.zoom"), header).has_value());
}

struct AddressCase {
  const char* name;
  const char* text;
  std::optional<uint32_t> address;
};

void PrintTo(const AddressCase& c, std::ostream* os) { *os << c.name; }

class AddressText : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AddressText, ParsesDottedQuads) {
  EXPECT_EQ(camera::parseAddress(GetParam().text), GetParam().address);
}

INSTANTIATE_TEST_SUITE_P(Texts, AddressText,
                         ::testing::Values(AddressCase{"plain", "192.168.0.100", 0xC0A80064},
                                           AddressCase{"part_above_255", "192.168.0.256",
                                                       std::nullopt},
                                           AddressCase{"three_parts", "192.168.0", std::nullopt},
                                           AddressCase{"trailing_text", "1.2.3.4x", std::nullopt},
                                           AddressCase{"empty", "", std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
