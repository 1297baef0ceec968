#include <gtest/gtest.h>
#include <irdex.h>

#include <cmath>
#include <string>

namespace {

struct ConversionCase {
  const char* name;
  float (*convert)(float);
  float input;
  float expected;
};

class UnitConversion : public ::testing::TestWithParam<ConversionCase> {};

// Within single-precision rounding of the exact result.
TEST_P(UnitConversion, MatchesTheReferenceValue) {
  const ConversionCase& c = GetParam();
  EXPECT_NEAR(c.convert(c.input), c.expected, std::fabs(c.expected) * 4e-7f + 1e-5f) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    ReferencePoints, UnitConversion,
    ::testing::Values(ConversionCase{"C->F 100", ConvertCelsToFah, 100.0f, 212.0f},
                      ConversionCase{"F->C 212", ConvertFahToCels, 212.0f, 100.0f},
                      ConversionCase{"C->K 0", ConvertCelToKel, 0.0f, 273.15f},
                      ConversionCase{"K->C 273.15", ConvertKelvToCels, 273.15f, 0.0f},
                      ConversionCase{"K->F 273.15", ConvertKelvToFah, 273.15f, 32.0f},
                      ConversionCase{"F->K 32", ConvertFahToKel, 32.0f, 273.15f},
                      ConversionCase{"C->F -40", ConvertCelsToFah, -40.0f, -40.0f},
                      ConversionCase{"F->C -40", ConvertFahToCels, -40.0f, -40.0f},
                      ConversionCase{"K->C 0", ConvertKelvToCels, 0.0f, -273.15f}),
    [](const ::testing::TestParamInfo<ConversionCase>& info) {
      return "Case" + std::to_string(info.index);
    });

// The rules fix single-precision arithmetic with single-precision constants; a double
// intermediate would differ in the last bit for some inputs.
TEST(UnitConversion, RoundsInSinglePrecisionStepByStep) {
  for (int step = 0; step < 6000; ++step) {
    const float v = -300.0f + 0.37f * static_cast<float>(step);
    volatile float fahrenheitDiff = v - 32.0f;
    EXPECT_EQ(ConvertFahToCels(v), fahrenheitDiff / 1.8f);
    volatile float scaled = v * 1.8f;
    EXPECT_EQ(ConvertCelsToFah(v), scaled + 32.0f);
    volatile float kelvinDiff = v - 273.15f;
    volatile float kelvinScaled = kelvinDiff * 1.8f;
    EXPECT_EQ(ConvertKelvToFah(v), kelvinScaled + 32.0f);
    volatile float fahToCels = fahrenheitDiff / 1.8f;
    EXPECT_EQ(ConvertFahToKel(v), fahToCels + 273.15f);
  }
}

TEST(GetError, ReturnsSuccessAndLeavesTheTextUntouched) {
  char text[16] = "unchanged";
  for (int32_t code : {1, -1, -6, -20, -1000, 12345}) {
    EXPECT_EQ(GetError(code, text), 1);
    EXPECT_STREQ(text, "unchanged");
  }
}

TEST(GetError, ReportsAMissingTextBuffer) {
  EXPECT_EQ(GetError(-1, nullptr), -1000);
  EXPECT_EQ(GetError(1, nullptr), -1000);
}

}  // namespace
