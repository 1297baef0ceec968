#include "controls/level_span_rules.h"

#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <string>

namespace solvane::controls {
namespace {

// The low range of a KT camera: -20 .. 130 °C.
constexpr float kRangeLow = -20.0f;
constexpr float kRangeHigh = 130.0f;

struct ConstraintCase {
  std::string name;
  float level;
  float span;
  std::function<Refusal(LevelSpanEntry&)> change;
  Refusal refusal;
  int32_t levelAfter;
  int32_t spanAfter;
};
void PrintTo(const ConstraintCase& c, std::ostream* os) { *os << c.name; }

class LevelSpanConstraint : public ::testing::TestWithParam<ConstraintCase> {};

TEST_P(LevelSpanConstraint, AcceptsOrUndoesTheChange) {
  const auto& c = GetParam();
  LevelSpanEntry entry(c.level, c.span, kRangeLow, kRangeHigh, Unit::Celsius);
  EXPECT_EQ(c.change(entry), c.refusal);
  EXPECT_EQ(entry.levelTenths(), c.levelAfter);
  EXPECT_EQ(entry.spanTenths(), c.spanAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Celsius, LevelSpanConstraint,
    ::testing::Values(ConstraintCase{"span_floor_at_twenty", 20.0f, 2.0f,
                                     [](LevelSpanEntry& e) { return e.stepSpan(-1); },
                                     Refusal::SpanTooNarrow, 200, 20},
                      ConstraintCase{"span_up_inside", 20.0f, 2.0f,
                                     [](LevelSpanEntry& e) { return e.stepSpan(1); }, Refusal::None,
                                     200, 21},
                      ConstraintCase{"level_down_past_bottom", -19.0f, 2.0f,
                                     [](LevelSpanEntry& e) { return e.stepLevel(-1); },
                                     Refusal::LowerBound, -190, 20},
                      ConstraintCase{"level_up_past_top", 129.0f, 2.0f,
                                     [](LevelSpanEntry& e) { return e.stepLevel(1); },
                                     Refusal::UpperBound, 1290, 20},
                      ConstraintCase{"span_grows_over_top", 125.0f, 10.0f,
                                     [](LevelSpanEntry& e) { return e.stepSpan(1); },
                                     Refusal::UpperBound, 1250, 100},
                      ConstraintCase{"odd_half_span_rounds_up", -18.9f, 2.0f,
                                     [](LevelSpanEntry& e) { return e.stepSpan(1); }, Refusal::None,
                                     -189, 21},
                      ConstraintCase{"odd_half_span_rounds_up_past_bottom", -19.0f, 2.0f,
                                     [](LevelSpanEntry& e) { return e.stepSpan(1); },
                                     Refusal::LowerBound, -190, 20},
                      ConstraintCase{"typed_level", 20.0f, 2.0f,
                                     [](LevelSpanEntry& e) { return e.typeLevel("35.26"); },
                                     Refusal::None, 353, 20},
                      ConstraintCase{"typed_span_too_narrow", 20.0f, 4.0f,
                                     [](LevelSpanEntry& e) { return e.typeSpan("1.5"); },
                                     Refusal::SpanTooNarrow, 200, 40},
                      ConstraintCase{"typed_huge_level", 20.0f, 4.0f,
                                     [](LevelSpanEntry& e) { return e.typeLevel("1e300"); },
                                     Refusal::NotANumber, 200, 40},
                      ConstraintCase{"typed_far_level", 20.0f, 4.0f,
                                     [](LevelSpanEntry& e) { return e.typeLevel("99999999"); },
                                     Refusal::UpperBound, 200, 40},
                      ConstraintCase{"typed_letters", 20.0f, 4.0f,
                                     [](LevelSpanEntry& e) { return e.typeSpan("wide"); },
                                     Refusal::NotANumber, 200, 40}),
    [](const auto& info) { return info.param.name; });

struct LabelCase {
  std::string name;
  Unit unit;
  std::string label;
};
void PrintTo(const LabelCase& c, std::ostream* os) { *os << c.name; }

class LevelSpanLabel : public ::testing::TestWithParam<LabelCase> {};

TEST_P(LevelSpanLabel, ShowsTheWindowInTheUnit) {
  LevelSpanEntry entry(20.0f, 10.0f, kRangeLow, kRangeHigh, GetParam().unit);
  EXPECT_EQ(entry.rangeLabel(), GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(Units, LevelSpanLabel,
                         ::testing::Values(LabelCase{"celsius", Unit::Celsius,
                                                     "15.00 - 25.00 \xC2\xB0"
                                                     "C)"},
                                           LabelCase{"fahrenheit", Unit::Fahrenheit,
                                                     "59.00 - 77.00 \xC2\xB0"
                                                     "F)"},
                                           LabelCase{"kelvin", Unit::Kelvin, "288.10 - 298.10 K)"}),
                         [](const auto& info) { return info.param.name; });

TEST(LevelSpanEntry, HandsFahrenheitBackInCelsius) {
  LevelSpanEntry entry(20.0f, 10.0f, kRangeLow, kRangeHigh, Unit::Fahrenheit);
  ASSERT_EQ(entry.stepLevel(18), Refusal::None);  // 68.0 -> 69.8 °F
  EXPECT_NEAR(entry.levelCelsius(), 21.0f, 1e-4f);
  EXPECT_NEAR(entry.spanCelsius(), 10.0f, 1e-4f);
}

TEST(LevelSpanEntry, BoundsFollowTheUnit) {
  // 130 °C is 266 °F: a window up to 266 °F fits, one tenth more does not.
  LevelSpanEntry entry(125.0f, 10.0f, kRangeLow, kRangeHigh, Unit::Fahrenheit);
  EXPECT_EQ(entry.check(2570, 180), Refusal::None);
  EXPECT_EQ(entry.check(2571, 180), Refusal::UpperBound);
}

TEST(AgcModeSwitch, AutomaticRemembersTheInputChoiceThatManualRestores) {
  AgcParams agc{};
  agc.manual = 1;
  agc.inputMethod = 1;
  AgcModeSwitch modeSwitch(agc);
  modeSwitch.setAutomatic(agc);
  EXPECT_TRUE(AgcModeSwitch::isAutomatic(agc));
  agc.inputMethod = 3;  // changed elsewhere while automatic
  modeSwitch.setManual(agc);
  EXPECT_EQ(agc.manual, 1);
  EXPECT_EQ(agc.inputMethod, 1);
}

TEST(RefusalText, NamesEachConstraint) {
  EXPECT_EQ(refusalText(Refusal::LowerBound), "Lower bound limit!");
  EXPECT_EQ(refusalText(Refusal::UpperBound), "Upper bound limit!");
  EXPECT_EQ(refusalText(Refusal::SpanTooNarrow), "Span must be greater than 2.0!");
  EXPECT_EQ(kStatusTitle, "Status Message");
}

}  // namespace
}  // namespace solvane::controls

namespace solvane::controls {
namespace {

TEST(HistogramLevelSpan, SpanMayNotBeNarrowerThanSixDegrees) {
  LevelSpanEntry entry(50.0f, 6.0f, kRangeLow, kRangeHigh, Unit::Celsius, kHistogramSpanFloor);
  EXPECT_EQ(entry.stepSpan(-1), Refusal::SpanUnderSix);
  EXPECT_EQ(entry.spanTenths(), 60);
  EXPECT_EQ(refusalText(Refusal::SpanUnderSix), "Span must be greater than 6 degrees!");
}

}  // namespace
}  // namespace solvane::controls
