#include "controls/environment_entry.h"

#include <gtest/gtest.h>

#include <ostream>

#include <limits>
#include <string>

namespace solvane::controls {
namespace {

struct TypedFractionCase {
  std::string name;
  std::string text;
  Refusal refusal;
  float value;  // what stands afterwards (0.5 before the entry)
  int32_t counter;
};
void PrintTo(const TypedFractionCase& c, std::ostream* os) { *os << c.name; }

class TypedFraction : public ::testing::TestWithParam<TypedFractionCase> {};

TEST_P(TypedFraction, StandsOrKeepsThePreviousValue) {
  const auto& c = GetParam();
  FractionEntry entry(0.5f);
  EXPECT_EQ(entry.typeText(c.text), c.refusal);
  EXPECT_FLOAT_EQ(entry.value(), c.value);
  EXPECT_EQ(entry.counter(), c.counter);
}

INSTANTIATE_TEST_SUITE_P(
    Emissivity, TypedFraction,
    ::testing::Values(TypedFractionCase{"below_half_a_hundredth", "0.004", Refusal::LowerBound,
                                        0.5f, 50},
                      TypedFractionCase{"half_a_hundredth", "0.005", Refusal::None, 0.005f, 0},
                      TypedFractionCase{"over_one", "1.001", Refusal::UpperBound, 0.5f, 50},
                      TypedFractionCase{"exactly_one", "1", Refusal::None, 1.0f, 100},
                      TypedFractionCase{"thousandths_stand", "0.957", Refusal::None, 0.957f, 95},
                      TypedFractionCase{"blanks_around", "  0.25 ", Refusal::None, 0.25f, 25},
                      TypedFractionCase{"negative", "-0.3", Refusal::LowerBound, 0.5f, 50},
                      TypedFractionCase{"letters", "abc", Refusal::NotANumber, 0.5f, 50},
                      TypedFractionCase{"not_a_number", "nan", Refusal::NotANumber, 0.5f, 50},
                      TypedFractionCase{"infinite", "inf", Refusal::NotANumber, 0.5f, 50},
                      TypedFractionCase{"empty", "", Refusal::NotANumber, 0.5f, 50},
                      TypedFractionCase{"trailing_garbage", "0.5x", Refusal::NotANumber, 0.5f, 50}),
    [](const auto& info) { return info.param.name; });

struct FractionStepCase {
  std::string name;
  float start;
  int32_t delta;
  Refusal refusal;
  int32_t counter;
};
void PrintTo(const FractionStepCase& c, std::ostream* os) { *os << c.name; }

class FractionStep : public ::testing::TestWithParam<FractionStepCase> {};

TEST_P(FractionStep, StopsAtOneHundredthAndOne) {
  const auto& c = GetParam();
  FractionEntry entry(c.start);
  EXPECT_EQ(entry.step(c.delta), c.refusal);
  EXPECT_EQ(entry.counter(), c.counter);
  EXPECT_FLOAT_EQ(entry.value(), c.refusal == Refusal::None ? c.counter / 100.0f : c.start);
}

INSTANTIATE_TEST_SUITE_P(
    Spin, FractionStep,
    ::testing::Values(FractionStepCase{"down_from_lowest", 0.01f, -1, Refusal::LowerBound, 1},
                      FractionStepCase{"up_from_highest", 1.0f, 1, Refusal::UpperBound, 100},
                      FractionStepCase{"up_inside", 0.95f, 1, Refusal::None, 96},
                      FractionStepCase{"down_to_lowest", 0.02f, -1, Refusal::None, 1}),
    [](const auto& info) { return info.param.name; });

struct TypedTemperatureCase {
  std::string name;
  Unit unit;
  std::string text;
  Refusal refusal;
  int32_t counter;  // 200 (20.0 °C shown) stays when refused, in Celsius cases
};
void PrintTo(const TypedTemperatureCase& c, std::ostream* os) { *os << c.name; }

class TypedTemperature : public ::testing::TestWithParam<TypedTemperatureCase> {};

TEST_P(TypedTemperature, KeepsInsideTheLimitsOfTheUnit) {
  const auto& c = GetParam();
  TemperatureEntry entry(20.0f, c.unit);
  const int32_t before = entry.counter();
  EXPECT_EQ(entry.typeText(c.text), c.refusal);
  EXPECT_EQ(entry.counter(), c.refusal == Refusal::None ? c.counter : before);
}

INSTANTIATE_TEST_SUITE_P(
    AtmosphericTemp, TypedTemperature,
    ::testing::Values(
        TypedTemperatureCase{"fahrenheit_213", Unit::Fahrenheit, "213", Refusal::UpperBound, 0},
        TypedTemperatureCase{"fahrenheit_212", Unit::Fahrenheit, "212", Refusal::None, 2120},
        TypedTemperatureCase{"fahrenheit_lowest", Unit::Fahrenheit, "-58", Refusal::None, -580},
        TypedTemperatureCase{"fahrenheit_under", Unit::Fahrenheit, "-58.1", Refusal::LowerBound, 0},
        TypedTemperatureCase{"celsius_over", Unit::Celsius, "100.1", Refusal::UpperBound, 0},
        TypedTemperatureCase{"celsius_lowest", Unit::Celsius, "-50", Refusal::None, -500},
        TypedTemperatureCase{"celsius_truncates", Unit::Celsius, "21.37", Refusal::None, 213},
        TypedTemperatureCase{"kelvin_under", Unit::Kelvin, "222.9", Refusal::LowerBound, 0},
        TypedTemperatureCase{"kelvin_highest", Unit::Kelvin, "373", Refusal::None, 3730},
        TypedTemperatureCase{"kelvin_letters", Unit::Kelvin, "warm", Refusal::NotANumber, 0}),
    [](const auto& info) { return info.param.name; });

struct TemperatureStepCase {
  std::string name;
  Unit unit;
  float celsius;
  int32_t delta;
  Refusal refusal;
};
void PrintTo(const TemperatureStepCase& c, std::ostream* os) { *os << c.name; }

class TemperatureStep : public ::testing::TestWithParam<TemperatureStepCase> {};

TEST_P(TemperatureStep, IsUndoneBeyondTheLimit) {
  const auto& c = GetParam();
  TemperatureEntry entry(c.celsius, c.unit);
  const int32_t before = entry.counter();
  EXPECT_EQ(entry.step(c.delta), c.refusal);
  EXPECT_EQ(entry.counter(), c.refusal == Refusal::None ? before + c.delta : before);
}

INSTANTIATE_TEST_SUITE_P(
    Spin, TemperatureStep,
    ::testing::Values(
        TemperatureStepCase{"celsius_top", Unit::Celsius, 100.0f, 1, Refusal::UpperBound},
        TemperatureStepCase{"celsius_bottom", Unit::Celsius, -50.0f, -1, Refusal::LowerBound},
        TemperatureStepCase{"fahrenheit_top", Unit::Fahrenheit, 100.0f, 1, Refusal::UpperBound},
        TemperatureStepCase{"fahrenheit_below_top", Unit::Fahrenheit, 100.0f, -1, Refusal::None},
        TemperatureStepCase{"kelvin_bottom", Unit::Kelvin, -50.15f, -1, Refusal::LowerBound}),
    [](const auto& info) { return info.param.name; });

TEST(EnvironmentEntry, AppliesATypedFahrenheitTemperatureInCelsius) {
  EnvironmentEntry entry(EnvParams{0.95f, 20.0f, 1.0f, 0.0f}, Unit::Fahrenheit);
  ASSERT_EQ(entry.atmosphericTemp.typeText("212"), Refusal::None);
  EXPECT_NEAR(entry.env().atmosphericTemp, 100.0f, 1e-4f);
}

TEST(EnvironmentEntry, ShowsAStoredCelsiusValueInTheDisplayUnit) {
  EnvironmentEntry entry(EnvParams{0.95f, 20.0f, 1.0f, 0.0f}, Unit::Kelvin);
  EXPECT_EQ(entry.atmosphericTemp.counter(), 2931);  // 293.15f lies just under 293.15
}

struct CaptionCase {
  std::string name;
  Unit unit;
  std::string caption;
};
void PrintTo(const CaptionCase& c, std::ostream* os) { *os << c.name; }

class AtmosphericCaption : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(AtmosphericCaption, NamesTheUnit) {
  EXPECT_EQ(atmosphericTempCaption(GetParam().unit), GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(Units, AtmosphericCaption,
                         ::testing::Values(CaptionCase{"celsius", Unit::Celsius,
                                                       "Atmospheric Temp. (\xC2\xB0"
                                                       "C)"},
                                           CaptionCase{"fahrenheit", Unit::Fahrenheit,
                                                       "Atmospheric Temp. (\xC2\xB0"
                                                       "F)"},
                                           CaptionCase{"kelvin", Unit::Kelvin,
                                                       "Atmospheric Temp. (\xC2\xB0"
                                                       "K)"}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace solvane::controls

namespace solvane::controls {
namespace {

// Stored settings are not validated when loaded; a wild value gives a counter, not a fault.
TEST(EnvironmentEntry, WildStoredValuesGiveTameCounters) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(FractionEntry(nan).counter(), 0);
  EXPECT_EQ(FractionEntry(3e38f).counter(), 1000000000);
  TemperatureEntry hot(3e38f, Unit::Celsius);
  EXPECT_EQ(hot.step(1), Refusal::UpperBound);
  EXPECT_EQ(hot.step(-1), Refusal::UpperBound);
  EXPECT_EQ(hot.type(25.0), Refusal::None);
}

}  // namespace
}  // namespace solvane::controls
