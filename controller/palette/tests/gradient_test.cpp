// The gradient's peg operations and the colour table it makes.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "palette/gradient.h"
#include "palette/tests/named_case.h"

namespace tessor {
namespace {

struct ClampCase {
  const char* name;
  float requested;
  float placed;
};

class AddPegClamps : public ::testing::TestWithParam<ClampCase> {};

TEST_P(AddPegClamps, PlacesThePegInsideTheBar) {
  CGradient gradient;
  const int index = gradient.addPeg(makeColour(1, 2, 3), GetParam().requested);
  EXPECT_EQ(gradient.peg(index).position, GetParam().placed);
}

INSTANTIATE_TEST_SUITE_P(Positions, AddPegClamps,
                         ::testing::Values(ClampCase{"AboveOne", 1.5f, 1.0f},
                                           ClampCase{"BelowZero", -0.25f, 0.0f},
                                           ClampCase{"Inside", 0.25f, 0.25f}),
                         testing::CaseName());

TEST(CGradientPegs, AddReturnsTheSortedIndexOfTheNewPeg) {
  CGradient gradient;
  gradient.addPeg(makeColour(1, 0, 0), 0.2f);
  gradient.addPeg(makeColour(2, 0, 0), 0.8f);
  const int index = gradient.addPeg(makeColour(3, 0, 0), 0.5f);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(gradient.peg(1).colour, makeColour(3, 0, 0));
}

TEST(CGradientPegs, SetMovesThePegToItsSortedPlaceAndKeepsItsId) {
  CGradient gradient;
  const uint32_t id = gradient.peg(gradient.addPeg(makeColour(1, 0, 0), 0.2f)).id;
  gradient.addPeg(makeColour(2, 0, 0), 0.5f);
  const int moved = gradient.setPeg(0, makeColour(9, 9, 9), 0.9f);
  EXPECT_EQ(moved, 1);
  EXPECT_EQ(gradient.peg(1).id, id);
  EXPECT_EQ(gradient.peg(1).colour, makeColour(9, 9, 9));
}

struct FixedPegCase {
  const char* name;
  int index;
  float position;
};

class SetFixedPeg : public ::testing::TestWithParam<FixedPegCase> {};

TEST_P(SetFixedPeg, ChangesOnlyTheColour) {
  CGradient gradient;
  EXPECT_EQ(gradient.setPeg(GetParam().index, makeColour(7, 8, 9), 0.5f), GetParam().index);
  EXPECT_EQ(gradient.peg(GetParam().index).colour, makeColour(7, 8, 9));
  EXPECT_EQ(gradient.peg(GetParam().index).position, GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(Fixed, SetFixedPeg,
                         ::testing::Values(FixedPegCase{"Start", kPegStart, 0.0f},
                                           FixedPegCase{"End", kPegEnd, 1.0f},
                                           FixedPegCase{"Background", kPegBackground, 0.0f}),
                         testing::CaseName());

struct BadIndexCase {
  const char* name;
  int index;
};

class PegIndexOutsideTheArray : public ::testing::TestWithParam<BadIndexCase> {
 protected:
  PegIndexOutsideTheArray() {
    gradient.addPeg(makeColour(1, 1, 1), 0.3f);
    gradient.addPeg(makeColour(2, 2, 2), 0.6f);
  }
  CGradient gradient;
};

TEST_P(PegIndexOutsideTheArray, IsRefusedByGet) {
  EXPECT_THROW(gradient.peg(GetParam().index), std::invalid_argument);
}
TEST_P(PegIndexOutsideTheArray, IsRefusedBySet) {
  EXPECT_THROW(gradient.setPeg(GetParam().index, 0, 0.5f), std::invalid_argument);
}
TEST_P(PegIndexOutsideTheArray, IsRefusedByRemoveAndChangesNothing) {
  EXPECT_THROW(gradient.removePeg(GetParam().index), std::invalid_argument);
  EXPECT_EQ(gradient.pegCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(Indexes, PegIndexOutsideTheArray,
                         ::testing::Values(BadIndexCase{"PegCount", 2},
                                           BadIndexCase{"FarAbove", 99},
                                           BadIndexCase{"None", kPegNone},
                                           BadIndexCase{"BelowBackground", -5}),
                         testing::CaseName());

TEST(CGradientPegs, IdsAreNeverReused) {
  CGradient gradient;
  std::set<uint32_t> seen;
  for (int round = 0; round < 5; ++round) {
    const int index = gradient.addPeg(0, 0.5f);
    EXPECT_TRUE(seen.insert(gradient.peg(index).id).second);
    gradient.removePeg(index);
  }
}

struct IndexCase {
  const char* name;
  std::vector<float> pegs;
  float position;
  int expected;
};

class IndexFromPosition : public ::testing::TestWithParam<IndexCase> {};

TEST_P(IndexFromPosition, FindsTheSegment) {
  CGradient gradient;
  for (float p : GetParam().pegs) gradient.addPeg(0, p);
  EXPECT_EQ(gradient.indexFromPosition(GetParam().position), GetParam().expected);
}

const std::vector<float> kThreePegs = {0.2f, 0.5f, 0.8f};
INSTANTIATE_TEST_SUITE_P(Cases, IndexFromPosition,
                         ::testing::Values(IndexCase{"BelowFirstPeg", kThreePegs, 0.1f, kPegStart},
                                           IndexCase{"OnFirstPeg", kThreePegs, 0.2f, 0},
                                           IndexCase{"InFirstSegment", kThreePegs, 0.3f, 0},
                                           IndexCase{"OnMiddlePeg", kThreePegs, 0.5f, 0},
                                           IndexCase{"InSecondSegment", kThreePegs, 0.6f, 1},
                                           IndexCase{"AboveLastPeg", kThreePegs, 0.9f, kPegNone},
                                           IndexCase{"OnePegBelow", {0.5f}, 0.2f, kPegStart},
                                           IndexCase{"OnePegAbove", {0.5f}, 0.7f, kPegNone},
                                           IndexCase{"OnePegOn", {0.5f}, 0.5f, kPegNone},
                                           IndexCase{"NoPegs", {}, 0.5f, kPegNone}),
                         testing::CaseName());

uint8_t red(const std::vector<uint8_t>& table, int i) { return table[3 * i + 2]; }
uint8_t green(const std::vector<uint8_t>& table, int i) { return table[3 * i + 1]; }
uint8_t blue(const std::vector<uint8_t>& table, int i) { return table[3 * i]; }

TEST(MakeEntries, NoPegsAndLinearRunsFromStartToEndInEqualSteps) {
  CGradient gradient;
  gradient.setMethod(InterpolationMethod::Linear);
  const ColourRef start = makeColour(10, 200, 40);
  const ColourRef end = makeColour(250, 20, 41);
  gradient.setStartColour(start);
  gradient.setEndColour(end);
  const auto table = gradient.makeEntries(256);
  // start + (end - start) * i / 256, taken down to a whole number.
  auto expected = [](int a, int b, int i) { return (a * 256 + (b - a) * i) / 256; };
  for (int i = 0; i < 256; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(red(table, i), expected(10, 250, i));
    EXPECT_EQ(green(table, i), expected(200, 20, i));
    EXPECT_EQ(blue(table, i), expected(40, 41, i));
  }
}

TEST(MakeEntries, QuantizationFourGivesTheColoursAtTheCentresOfTheQuarters) {
  CGradient gradient;
  gradient.setMethod(InterpolationMethod::Linear);
  gradient.setQuantization(4);
  const auto table = gradient.makeEntries(256);
  // Black to white: the centres 0.125, 0.375, 0.625, 0.875 of 255.
  const int centres[4] = {31, 95, 159, 223};
  std::set<int> distinct;
  for (int i = 0; i < 256; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(red(table, i), centres[i / 64]);
    distinct.insert(red(table, i));
  }
  EXPECT_EQ(distinct.size(), 4u);
}

TEST(MakeEntries, PegsSplitTheBarIntoSegments) {
  CGradient gradient;
  gradient.setMethod(InterpolationMethod::Linear);
  gradient.addPeg(makeColour(255, 0, 0), 0.5f);
  const auto table = gradient.makeEntries(256);
  // Halfway from black to red, then halfway from red to white.
  EXPECT_EQ(red(table, 64), 127);
  EXPECT_EQ(green(table, 64), 0);
  EXPECT_EQ(red(table, 192), 255);
  EXPECT_EQ(green(table, 192), 127);
  EXPECT_EQ(blue(table, 192), 127);
  EXPECT_EQ(red(table, 128), 255);
}

TEST(MakeEntries, BackgroundTakesOnlyTheFirstEntry) {
  CGradient gradient;
  gradient.setMethod(InterpolationMethod::FlatEnd);
  gradient.setStartColour(makeColour(1, 1, 1));
  gradient.setEndColour(makeColour(100, 100, 100));
  gradient.setBackgroundColour(makeColour(0, 0, 255));
  gradient.setUseBackground(true);
  const auto table = gradient.makeEntries(256);
  EXPECT_EQ(blue(table, 0), 255);
  EXPECT_EQ(red(table, 0), 0);
  EXPECT_EQ(red(table, 1), 100);
}

struct ZeroWidthCase {
  const char* name;
  InterpolationMethod method;
  ColourRef first;  // the first entry, on a zero-width segment
};

class PegOnTheStartPeg : public ::testing::TestWithParam<ZeroWidthCase> {};

// The segment from the start peg to a peg at 0.0 has no width: no method may divide by it.
TEST_P(PegOnTheStartPeg, FirstEntryTakesTheSegmentsRuleWithoutDividingByZero) {
  CGradient gradient;
  gradient.setMethod(GetParam().method);
  gradient.setStartColour(makeColour(30, 60, 90));
  gradient.addPeg(makeColour(200, 100, 0), 0.0f);
  const auto table = gradient.makeEntries(256);
  EXPECT_EQ(makeColour(red(table, 0), green(table, 0), blue(table, 0)), GetParam().first);
}

INSTANTIATE_TEST_SUITE_P(
    Methods, PegOnTheStartPeg,
    ::testing::Values(
        ZeroWidthCase{"Linear", InterpolationMethod::Linear, makeColour(30, 60, 90)},
        ZeroWidthCase{"Cosine", InterpolationMethod::Cosine, makeColour(30, 60, 90)},
        ZeroWidthCase{"HslClockwise", InterpolationMethod::HslClockwise, makeColour(30, 60, 90)},
        ZeroWidthCase{"HslLongest", InterpolationMethod::HslLongest, makeColour(30, 60, 90)},
        ZeroWidthCase{"Reverse", InterpolationMethod::Reverse, makeColour(30, 60, 90)},
        ZeroWidthCase{"FlatEnd", InterpolationMethod::FlatEnd, makeColour(200, 100, 0)}),
    testing::CaseName());

TEST(MakeEntries, QuantizationOfZeroCountsAsOff) {
  CGradient gradient;
  const auto plain = gradient.makeEntries(256);
  gradient.setQuantization(0);
  EXPECT_EQ(gradient.makeEntries(256), plain);
}

}  // namespace
}  // namespace tessor
