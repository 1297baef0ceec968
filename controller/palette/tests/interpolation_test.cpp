// Each interpolation method against its formula, and the HSL methods against colours whose
// hues are known.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "palette/interpolation.h"
#include "palette/tests/named_case.h"

namespace tessor {
namespace {

using ChannelFormula = std::function<double(double a, double b, double p, double s, double e)>;

struct FormulaCase {
  const char* name;
  InterpolationMethod method;
  ChannelFormula formula;
};

class InterpolationFormula : public ::testing::TestWithParam<FormulaCase> {};

TEST_P(InterpolationFormula, MatchesOnEveryChannelAcrossTheSegment) {
  const ColourRef a = makeColour(12, 250, 99);
  const ColourRef b = makeColour(240, 3, 100);
  const double s = 0.25, e = 0.75;
  for (int step = 0; step <= 40; ++step) {
    const double p = s + (e - s) * step / 40.0;
    SCOPED_TRACE(p);
    const ColourRef got = interpolate(GetParam().method, a, b, p, s, e);
    auto expect = [&](uint8_t channel, double ca, double cb) {
      EXPECT_EQ(channel, static_cast<int>(GetParam().formula(ca, cb, p, s, e)));
    };
    expect(redOf(got), 12, 240);
    expect(greenOf(got), 250, 3);
    expect(blueOf(got), 99, 100);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Methods, InterpolationFormula,
    ::testing::Values(FormulaCase{"Linear", InterpolationMethod::Linear,
                                  [](double a, double b, double p, double s, double e) {
                                    return (b * (p - s) + a * (e - p)) / (e - s);
                                  }},
                      FormulaCase{"FlatStart", InterpolationMethod::FlatStart,
                                  [](double a, double, double, double, double) { return a; }},
                      FormulaCase{"FlatMiddle", InterpolationMethod::FlatMiddle,
                                  [](double a, double b, double, double, double) {
                                    return static_cast<double>(
                                        (static_cast<int>(a) + static_cast<int>(b)) / 2);
                                  }},
                      FormulaCase{"FlatEnd", InterpolationMethod::FlatEnd,
                                  [](double, double b, double, double, double) { return b; }},
                      FormulaCase{"Cosine", InterpolationMethod::Cosine,
                                  [](double a, double b, double p, double s, double e) {
                                    const double f = (1 - std::cos(M_PI * (p - s) / (e - s))) * 0.5;
                                    return a * (1 - f) + b * f;
                                  }},
                      FormulaCase{"Reverse", InterpolationMethod::Reverse,
                                  [](double a, double b, double p, double s, double e) {
                                    if (p == s) return b;
                                    if (p == e) return a;
                                    return (b * (e - p) + a * (p - s)) / (e - s);
                                  }}),
    testing::CaseName());

struct HueCase {
  const char* name;
  InterpolationMethod method;
  ColourRef from;
  ColourRef to;
  ColourRef middle;  // the colour halfway along the chosen arc
};

constexpr ColourRef kRed = makeColour(255, 0, 0);
constexpr ColourRef kGreen = makeColour(0, 255, 0);
constexpr ColourRef kBlue = makeColour(0, 0, 255);
constexpr ColourRef kYellow = makeColour(255, 255, 0);
constexpr ColourRef kMagenta = makeColour(255, 0, 255);

class HslArc : public ::testing::TestWithParam<HueCase> {};

TEST_P(HslArc, PassesThroughTheHueHalfwayAlongItsArc) {
  EXPECT_EQ(interpolate(GetParam().method, GetParam().from, GetParam().to, 0.5, 0.0, 1.0),
            GetParam().middle);
}

TEST_P(HslArc, KeepsBothEndColours) {
  EXPECT_EQ(interpolate(GetParam().method, GetParam().from, GetParam().to, 0.0, 0.0, 1.0),
            GetParam().from);
  EXPECT_EQ(interpolate(GetParam().method, GetParam().from, GetParam().to, 1.0, 0.0, 1.0),
            GetParam().to);
}

// Red has hue 0, yellow 1/6, green 1/3, blue 2/3, magenta 5/6.
INSTANTIATE_TEST_SUITE_P(
    Arcs, HslArc,
    ::testing::Values(
        HueCase{"ClockwiseRedToBlue", InterpolationMethod::HslClockwise, kRed, kBlue, kGreen},
        HueCase{"AntiClockwiseRedToBlue", InterpolationMethod::HslAntiClockwise, kRed, kBlue,
                kMagenta},
        HueCase{"ShortestRedToBlue", InterpolationMethod::HslShortest, kRed, kBlue, kMagenta},
        HueCase{"LongestRedToBlue", InterpolationMethod::HslLongest, kRed, kBlue, kGreen},
        HueCase{"ClockwiseRedToGreen", InterpolationMethod::HslClockwise, kRed, kGreen, kYellow},
        HueCase{"AntiClockwiseRedToGreen", InterpolationMethod::HslAntiClockwise, kRed, kGreen,
                kBlue},
        HueCase{"ShortestRedToGreen", InterpolationMethod::HslShortest, kRed, kGreen, kYellow},
        HueCase{"LongestRedToGreen", InterpolationMethod::HslLongest, kRed, kGreen, kBlue}),
    testing::CaseName());

struct RoundTripCase {
  const char* name;
  ColourRef colour;
};

class HslRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(HslRoundTrip, GivesTheSameColourBack) {
  EXPECT_EQ(fromHsl(toHsl(GetParam().colour)), GetParam().colour);
}

INSTANTIATE_TEST_SUITE_P(Colours, HslRoundTrip,
                         ::testing::Values(RoundTripCase{"Brown", makeColour(200, 100, 50)},
                                           RoundTripCase{"Grey", makeColour(77, 77, 77)},
                                           RoundTripCase{"White", makeColour(255, 255, 255)},
                                           RoundTripCase{"PaleBlue", makeColour(180, 200, 255)},
                                           RoundTripCase{"DarkTeal", makeColour(1, 90, 89)}),
                         testing::CaseName());

TEST(HslInterpolation, LightnessRunsLinearlyBetweenGreys) {
  const ColourRef mid = interpolate(InterpolationMethod::HslShortest, makeColour(0, 0, 0),
                                    makeColour(200, 200, 200), 0.5, 0.0, 1.0);
  EXPECT_EQ(mid, makeColour(100, 100, 100));
}

}  // namespace
}  // namespace tessor
