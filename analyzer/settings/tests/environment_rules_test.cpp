#include "settings/environment_rules.h"

#include "app/analyzer_settings.h"
#include "app/settings_store.h"
#include "testing/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace solvane::settings {
namespace {

using testsupport::TempFolder;

std::string testName(std::string text) {
  for (char& c : text) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return text;
}

struct EntryCase {
  const char* label;
  const char* key;
  const char* text;
  Verdict verdict;
};

class TypedEntry : public testing::TestWithParam<EntryCase> {};

TEST_P(TypedEntry, IsJudgedByItsKeysLimits) {
  const EntryCase& c = GetParam();
  const NumberRule* rule = numberRule(c.key);
  ASSERT_NE(rule, nullptr);
  double value = 0.0;
  EXPECT_EQ(checkNumber(*rule, c.text, value), c.verdict);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, TypedEntry,
    testing::Values(
        EntryCase{"reconnect_lowest", "NET_MAX_RECONNECTION_ATTEMPT", "1", Verdict::Accepted},
        EntryCase{"reconnect_zero", "NET_MAX_RECONNECTION_ATTEMPT", "0", Verdict::TooLow},
        EntryCase{"reconnect_fraction", "NET_MAX_RECONNECTION_ATTEMPT", "2.5", Verdict::NotANumber},
        EntryCase{"font_size_too_big", "FONT_SIZE", "73", Verdict::TooHigh},
        EntryCase{"font_size_blanks", "FONT_SIZE", " 12 ", Verdict::Accepted},
        EntryCase{"sd_rate_tenth", "SD RATE", "0.1", Verdict::Accepted},
        EntryCase{"sd_rate_hundredth", "SD RATE", "2.25", Verdict::NotANumber},
        EntryCase{"sd_rate_over", "SD RATE", "10.1", Verdict::TooHigh},
        EntryCase{"b_rate_half", "B RATE", "0.5", Verdict::TooHigh},
        EntryCase{"b_rate_zero", "B RATE", "0", Verdict::TooLow},
        EntryCase{"intercept_255", "INTERCEPT", "255", Verdict::TooHigh},
        EntryCase{"gamma_zero", "GAMMA", "0", Verdict::TooLow},
        EntryCase{"plateau_zero", "PLATEAU", "0", Verdict::TooLow},
        EntryCase{"plateau_negative", "PLATEAU", "-5", Verdict::TooLow},
        EntryCase{"epsilon_letters", "EPSILON", "abc", Verdict::NotANumber},
        EntryCase{"psi_empty", "PSI", "", Verdict::NotANumber},
        EntryCase{"psi_infinite", "PSI", "inf", Verdict::NotANumber},
        EntryCase{"psi_one", "PSI", "1.0", Verdict::Accepted},
        EntryCase{"psi_trailing_text", "PSI", "0.3x", Verdict::NotANumber}),
    [](const testing::TestParamInfo<EntryCase>& info) { return testName(info.param.label); });

TEST(Verdicts, EachRefusalHasItsMessage) {
  EXPECT_EQ(verdictText(Verdict::Accepted), "");
  EXPECT_EQ(verdictText(Verdict::TooLow), "Lower bound limit!");
  EXPECT_EQ(verdictText(Verdict::TooHigh), "Upper bound limit!");
  EXPECT_EQ(verdictText(Verdict::NotANumber), "Please enter a number.");
}

// Every value a page can accept, on the step its key stores, comes back from the INI file
// unchanged: the stored scales truncate, so a value one float step below would lose a unit.
class NumberKey : public testing::TestWithParam<NumberRule> {};

TEST_P(NumberKey, EveryAcceptedStepSurvivesTheSettingsFile) {
  const NumberRule& rule = GetParam();
  const SettingsContext context{"", "/pictures"};
  const double step = std::pow(10.0, -rule.decimals);
  const double stride = std::max(step, (rule.maximum - rule.minimum) / 400.0);
  TempFolder folder;
  for (double v = rule.minimum; v <= rule.maximum + step / 2; v += stride) {
    const double onStep = std::round(v / step) * step;
    AnalyzerSettings settings = defaultSettings(context);
    setNumber(settings, rule.key, onStep);
    SettingsStore store(folder.iniFile());
    saveSettings(store, settings);
    store.sync();
    SettingsStore reread(folder.iniFile());
    const AnalyzerSettings loaded = loadSettings(reread, context);
    EXPECT_NEAR(numberValue(loaded, rule.key), onStep, step / 10) << rule.key << " " << onStep;
  }
}

TEST_P(NumberKey, ValuesOutsideTheLimitsAreNeverWritten) {
  const NumberRule& rule = GetParam();
  AnalyzerSettings settings = defaultSettings({"", "/pictures"});
  setNumber(settings, rule.key, rule.maximum + 1000);
  EXPECT_NEAR(numberValue(settings, rule.key), rule.maximum, 1e-6);
  setNumber(settings, rule.key, rule.minimum - 1000);
  EXPECT_NEAR(numberValue(settings, rule.key), rule.minimum, 1e-6);
  setNumber(settings, rule.key, std::nan(""));
  EXPECT_NEAR(numberValue(settings, rule.key), rule.minimum, 1e-6);
}

TEST_P(NumberKey, TheDefaultIsWithinTheLimits) {
  const NumberRule& rule = GetParam();
  const double value = numberValue(defaultSettings({"", "/pictures"}), rule.key);
  EXPECT_GE(value, rule.minimum - 1e-6);
  EXPECT_LE(value, rule.maximum + 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Pages, NumberKey, testing::ValuesIn(numberRules()),
                         [](const testing::TestParamInfo<NumberRule>& info) {
                           return testName(info.param.key);
                         });

struct NameCase {
  const char* label;
  const char* name;
  bool refused;
};

class CameraName : public testing::TestWithParam<NameCase> {};

TEST_P(CameraName, IsRefusedWhenItCannotBePartOfAFileName) {
  EXPECT_EQ(cameraNameFault(GetParam().name).has_value(), GetParam().refused);
}

INSTANTIATE_TEST_SUITE_P(
    General, CameraName,
    testing::Values(
        NameCase{"empty", "", false}, NameCase{"plain", "Thermal", false},
        NameCase{"blank_and_dash", "Line 3-A", false}, NameCase{"slash", "a/b", true},
        NameCase{"backslash", "a\\b", true}, NameCase{"colon", "C:", true},
        NameCase{"question_mark", "why?", true}, NameCase{"newline", "a\nb", true},
        NameCase{"dot_dot", "..", true},
        NameCase{"too_long",
                 "0123456789012345678901234567890123456789012345678901234567890123456789", true}),
    [](const testing::TestParamInfo<NameCase>& info) { return testName(info.param.label); });

struct UseCase {
  const char* key;
  int32_t input;
  int32_t output;
  bool used;
};

class AgcParameter : public testing::TestWithParam<UseCase> {};

TEST_P(AgcParameter, IsOfferedOnlyWhereTheMethodsReadIt) {
  const UseCase& c = GetParam();
  EXPECT_EQ(parameterUsed(c.key, c.input, c.output), c.used);
}

INSTANTIATE_TEST_SUITE_P(
    Image, AgcParameter,
    testing::Values(UseCase{"SD RATE", 2, 0, true}, UseCase{"SD RATE", 1, 0, false},
                    UseCase{"B RATE", 1, 0, true}, UseCase{"B RATE", 4, 0, false},
                    UseCase{"INTERCEPT", 2, 0, true}, UseCase{"INTERCEPT", 2, 2, false},
                    UseCase{"GAMMA", 2, 1, true}, UseCase{"GAMMA", 2, 0, false},
                    UseCase{"PLATEAU", 2, 2, true}, UseCase{"PLATEAU", 2, 4, false},
                    UseCase{"EPSILON", 2, 3, true}, UseCase{"EPSILON", 2, 4, false},
                    UseCase{"PSI", 2, 4, true}, UseCase{"PSI", 2, 3, true},
                    UseCase{"PSI", 2, 2, false}),
    [](const testing::TestParamInfo<UseCase>& info) {
      return testName(std::string(info.param.key) + "_in" + std::to_string(info.param.input) +
                      "_out" + std::to_string(info.param.output));
    });

struct ColourCase {
  const char* label;
  int32_t stored;
  Rgb rgb;
};

class LabelColour : public testing::TestWithParam<ColourCase> {};

TEST_P(LabelColour, IsStoredWithRedInTheLowByte) {
  EXPECT_EQ(rgbFromStored(GetParam().stored), GetParam().rgb);
  EXPECT_EQ(storedFromRgb(GetParam().rgb), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Labels, LabelColour,
                         testing::Values(ColourCase{"white", 0xFFFFFF, {255, 255, 255}},
                                         ColourCase{"black", 0, {0, 0, 0}},
                                         ColourCase{"red", 0x0000FF, {255, 0, 0}},
                                         ColourCase{"blue", 0xFF0000, {0, 0, 255}},
                                         ColourCase{"mixed", 0x123456, {0x56, 0x34, 0x12}}),
                         [](const testing::TestParamInfo<ColourCase>& info) {
                           return testName(info.param.label);
                         });

TEST(DialogChanges, LandOnTheSettingsAsTheyAreNowAndLeaveOtherKeys) {
  const AnalyzerSettings opened = defaultSettings({"", "/pictures"});
  AnalyzerSettings edited = opened;
  edited.tempUnit = 1;
  edited.gamma = 2.5f;
  AnalyzerSettings now = opened;
  now.camName = "Thermal";  // named by a connection while the dialog was open
  now.emissivity = 0.5f;
  applyChanges(now, opened, edited);
  EXPECT_EQ(now.tempUnit, 1);
  EXPECT_FLOAT_EQ(now.gamma, 2.5f);
  EXPECT_EQ(now.camName, "Thermal");
  EXPECT_FLOAT_EQ(now.emissivity, 0.5f);
}

}  // namespace
}  // namespace solvane::settings
