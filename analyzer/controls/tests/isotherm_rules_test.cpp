#include "controls/isotherm_rules.h"

#include <gtest/gtest.h>

#include <ostream>

#include <array>
#include <functional>
#include <string>

namespace solvane::controls {
namespace {

constexpr float kRangeLow = -20.0f;
constexpr float kRangeHigh = 130.0f;

IsothermSettings bands(bool interval, bool above, bool below, std::array<float, 4> limits) {
  IsothermSettings settings;
  settings.enabled = {interval, above, below};
  settings.limit = limits;
  return settings;
}

std::array<int32_t, 4> tenthsOf(const IsothermEditor& editor) {
  return {
      editor.limitTenths(IsothermLimit::Below), editor.limitTenths(IsothermLimit::IntervalLower),
      editor.limitTenths(IsothermLimit::IntervalUpper), editor.limitTenths(IsothermLimit::Above)};
}

struct OpenCase {
  std::string name;
  IsothermSettings settings;
  std::array<int32_t, 4> tenths;  // below, interval lower, interval upper, above
};
void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.name; }

class IsothermOpen : public ::testing::TestWithParam<OpenCase> {};

TEST_P(IsothermOpen, MovesLimitsThatBreakTheOrder) {
  IsothermEditor editor(GetParam().settings, Unit::Celsius, kRangeLow, kRangeHigh);
  EXPECT_EQ(tenthsOf(editor), GetParam().tenths);
}

INSTANTIATE_TEST_SUITE_P(
    Order, IsothermOpen,
    ::testing::Values(
        OpenCase{"in_order_stays", bands(true, true, true, {10, 20, 30, 40}), {100, 200, 300, 400}},
        OpenCase{
            "above_under_interval", bands(true, true, false, {0, 20, 30, 25}), {0, 200, 300, 305}},
        OpenCase{"below_over_interval",
                 bands(true, false, true, {50, 20, 30, 0}),
                 {50 * 10, 505, 510, 0}},
        OpenCase{
            "above_past_range_end", bands(false, true, false, {0, 0, 0, 200}), {0, 0, 0, 1300}},
        OpenCase{
            "below_under_range_start", bands(false, false, true, {-40, 0, 0, 0}), {-200, 0, 0, 0}},
        OpenCase{"disabled_bands_do_not_constrain",
                 bands(false, true, false, {90, 80, 70, 60}),
                 {900, 800, 700, 600}},
        OpenCase{"crowded_at_top",
                 bands(true, true, true, {129.8f, 129.9f, 130, 130}),
                 {1285, 1290, 1295, 1300}}),
    [](const auto& info) { return info.param.name; });

TEST(IsothermEditor, SwitchingABandOnMovesOnlyThatBand) {
  IsothermEditor editor(bands(true, false, false, {25, 20, 30, 0}), Unit::Celsius, kRangeLow,
                        kRangeHigh);
  editor.setEnabled(IsothermBand::Below, true);
  EXPECT_EQ(tenthsOf(editor), (std::array<int32_t, 4>{195, 200, 300, 0}));
}

TEST(IsothermEditor, RangeTooNarrowForGapsSharesItOut) {
  IsothermEditor editor(bands(true, true, true, {10, 10, 10, 10}), Unit::Celsius, 10.0f, 10.2f);
  const auto t = tenthsOf(editor);
  EXPECT_TRUE(t[0] >= 100 && t[3] <= 102) << t[0] << " " << t[3];
}

struct EditCase {
  std::string name;
  IsothermSettings settings;
  IsothermLimit limit;
  std::function<Refusal(IsothermEditor&, IsothermLimit)> edit;
  Refusal refusal;
  int32_t tenthsAfter;
};
void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }

class IsothermEdit : public ::testing::TestWithParam<EditCase> {};

TEST_P(IsothermEdit, KeepsTheOrder) {
  const auto& c = GetParam();
  IsothermEditor editor(c.settings, Unit::Celsius, kRangeLow, kRangeHigh);
  EXPECT_EQ(c.edit(editor, c.limit), c.refusal);
  EXPECT_EQ(editor.limitTenths(c.limit), c.tenthsAfter);
}

auto stepBy(int32_t delta) {
  return [delta](IsothermEditor& e, IsothermLimit l) { return e.step(l, delta); };
}
auto typeText(std::string text) {
  return [text](IsothermEditor& e, IsothermLimit l) { return e.type(l, text); };
}

const IsothermSettings kAllOn = bands(true, true, true, {10, 20, 30, 40});

INSTANTIATE_TEST_SUITE_P(
    Rules, IsothermEdit,
    ::testing::Values(
        EditCase{"interval_lower_reaches_upper", kAllOn, IsothermLimit::IntervalLower,
                 typeText("30"), Refusal::MinimumReachedMax, 299},
        EditCase{"interval_upper_reaches_lower", kAllOn, IsothermLimit::IntervalUpper,
                 typeText("20"), Refusal::MaximumReachedMin, 201},
        EditCase{"below_steps_into_interval", bands(true, false, true, {19.9f, 20, 30, 40}),
                 IsothermLimit::Below, stepBy(1), Refusal::UpperBound, 199},
        EditCase{"above_steps_into_interval", bands(true, true, false, {0, 20, 30, 30.1f}),
                 IsothermLimit::Above, stepBy(-1), Refusal::LowerBound, 301},
        EditCase{"above_steps_past_range_end", bands(false, true, false, {0, 0, 0, 130}),
                 IsothermLimit::Above, stepBy(1), Refusal::UpperBound, 1300},
        EditCase{"below_steps_past_range_start", bands(false, false, true, {-20, 0, 0, 0}),
                 IsothermLimit::Below, stepBy(-1), Refusal::LowerBound, -200},
        EditCase{"disabled_limit_stops_at_spin_range", bands(false, false, false, {-50, 0, 0, 0}),
                 IsothermLimit::Below, stepBy(-1), Refusal::LowerBound, -500},
        EditCase{"typed_half_rounds_up", kAllOn, IsothermLimit::IntervalLower, typeText("25.05"),
                 Refusal::None, 251},
        EditCase{"typed_negative_half_rounds_down", bands(false, false, true, {0, 20, 30, 40}),
                 IsothermLimit::Below, typeText("-0.05"), Refusal::None, -1},
        EditCase{"typed_letters", kAllOn, IsothermLimit::Above, typeText("hot"),
                 Refusal::NotANumber, 400},
        EditCase{"typed_far_beyond_spin", kAllOn, IsothermLimit::Above, typeText("1e9"),
                 Refusal::NotANumber, 400},
        EditCase{"typed_over_spin_range", bands(false, false, false, {0, 20, 30, 40}),
                 IsothermLimit::Above, typeText("1000.1"), Refusal::UpperBound, 400}),
    [](const auto& info) { return info.param.name; });

TEST(IsothermEditor, HandsFahrenheitLimitsBackInCelsius) {
  IsothermEditor editor(bands(false, true, false, {0, 20, 30, 40}), Unit::Fahrenheit, kRangeLow,
                        kRangeHigh);
  ASSERT_EQ(editor.limitTenths(IsothermLimit::Above), 1040);
  ASSERT_EQ(editor.type(IsothermLimit::Above, "212"), Refusal::None);
  EXPECT_NEAR(editor.settings().limitOf(IsothermLimit::Above), 100.0f, 1e-4f);
}

TEST(IsothermEditor, ColoursAndEnablesReachTheSettings) {
  IsothermEditor editor(IsothermSettings{}, Unit::Celsius, kRangeLow, kRangeHigh);
  editor.setColour(IsothermBand::Above, 0x123456);
  editor.setEnabled(IsothermBand::Above, true);
  EXPECT_EQ(editor.settings().colourOf(IsothermBand::Above), 0x123456u);
  EXPECT_TRUE(editor.settings().isEnabled(IsothermBand::Above));
}

TEST(IsothermMenu, NamesEachBand) {
  EXPECT_EQ(isothermMenuText(IsothermBand::Interval), "&Interval");
  EXPECT_EQ(isothermMenuText(IsothermBand::Above), "&Above");
  EXPECT_EQ(isothermMenuText(IsothermBand::Below), "&Below");
  EXPECT_EQ(refusalText(Refusal::MinimumReachedMax), "Minimum is less than maximum!");
  EXPECT_EQ(refusalText(Refusal::MaximumReachedMin), "Maximum is greater than minimum!");
}

}  // namespace
}  // namespace solvane::controls
