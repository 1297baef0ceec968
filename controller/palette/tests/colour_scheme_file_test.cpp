// The colour-scheme file: its byte layout, the round trip, and files that are cut short or
// make promises they do not keep.
#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <filesystem>
#include <string>
#include <vector>

#include "palette/colour_scheme_file.h"
#include "palette/tests/named_case.h"

namespace tessor {
namespace {

CGradient sampleGradient() {
  CGradient g;
  g.setBackgroundColour(makeColour(1, 2, 3));
  g.setStartColour(makeColour(4, 5, 6));
  g.setEndColour(makeColour(7, 8, 9));
  g.setUseBackground(true);
  g.setQuantization(12);
  g.setMethod(InterpolationMethod::HslLongest);
  g.addPeg(makeColour(10, 11, 12), 0.25f);
  g.addPeg(makeColour(13, 14, 15), 0.75f);
  return g;
}

std::vector<uint8_t> le32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

TEST(ColourSchemeFile, WritesEachFieldInOrder) {
  std::vector<uint8_t> expected;
  for (uint32_t word :
       {0x030201u, 0x060504u, 0x090807u, 1u, 12u, 8u, 2u, 0x0C0B0Au, std::bit_cast<uint32_t>(0.25f),
        0x0F0E0Du, std::bit_cast<uint32_t>(0.75f)}) {
    const auto bytes = le32(word);
    expected.insert(expected.end(), bytes.begin(), bytes.end());
  }
  EXPECT_EQ(writeColourScheme(sampleGradient()), expected);
}

TEST(ColourSchemeFile, RoundTripKeepsEverythingButTheIds) {
  const CGradient original = sampleGradient();
  CGradient loaded;
  ASSERT_TRUE(readColourScheme(writeColourScheme(original), loaded).ok);
  EXPECT_EQ(writeColourScheme(loaded), writeColourScheme(original));
  ASSERT_EQ(loaded.pegCount(), 2);
  for (int i = 0; i < 2; ++i) EXPECT_NE(loaded.peg(i).id, original.peg(i).id);
}

TEST(ColourSchemeFile, MissingFileSaysSo) {
  CGradient g;
  const SchemeOutcome outcome = loadColourSchemeFile("/nonexistent/folder/x.cip", g);
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.error.find("cannot be opened"), std::string::npos);
}

struct CutCase {
  const char* name;
  size_t keptBytes;
  ColourRef background;  // as left in the gradient
  int quantization;
  int pegs;
};

class SchemeCutShort : public ::testing::TestWithParam<CutCase> {};

TEST_P(SchemeCutShort, FailsWithAMessageAndKeepsWhatWasRead) {
  auto bytes = writeColourScheme(sampleGradient());
  bytes.resize(GetParam().keptBytes);
  CGradient g;
  g.addPeg(makeColour(99, 99, 99), 0.5f);  // replaced only once the peg count is read
  const SchemeOutcome outcome = readColourScheme(bytes, g);
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.error.find("ends early"), std::string::npos) << outcome.error;
  EXPECT_EQ(g.backgroundColour(), GetParam().background);
  EXPECT_EQ(g.quantization(), GetParam().quantization);
  EXPECT_EQ(g.pegCount(), GetParam().pegs);
}

INSTANTIATE_TEST_SUITE_P(Cuts, SchemeCutShort,
                         ::testing::Values(CutCase{"Empty", 0, 0, kQuantizationOff, 1},
                                           CutCase{"InsideBackground", 3, 0, kQuantizationOff, 1},
                                           CutCase{"AfterQuantization", 20, 0x030201, 12, 1},
                                           CutCase{"BeforePegCount", 24, 0x030201, 12, 1},
                                           CutCase{"InsideFirstPeg", 32, 0x030201, 12, 0},
                                           CutCase{"InsideSecondPeg", 43, 0x030201, 12, 1}),
                         testing::CaseName());

TEST(ColourSchemeFile, AbsurdPegCountFailsCleanlyAfterThePegsPresent) {
  auto bytes = writeColourScheme(sampleGradient());
  const auto count = le32(0xFFFFFFFFu);
  std::copy(count.begin(), count.end(), bytes.begin() + 24);
  CGradient g;
  const SchemeOutcome outcome = readColourScheme(bytes, g);
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.error.find("4294967295 pegs but holds 2"), std::string::npos) << outcome.error;
  EXPECT_EQ(g.pegCount(), 2);
}

TEST(ColourSchemeFile, UnknownMethodIsRefused) {
  auto bytes = writeColourScheme(sampleGradient());
  bytes[20] = 10;
  CGradient g;
  const SchemeOutcome outcome = readColourScheme(bytes, g);
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.error.find("interpolation method (10)"), std::string::npos);
  EXPECT_EQ(g.method(), InterpolationMethod::Cosine);
}

TEST(ColourSchemeFile, PegWithoutAValidPositionIsRefused) {
  auto bytes = writeColourScheme(sampleGradient());
  const auto nan = le32(0x7FC00000u);
  std::copy(nan.begin(), nan.end(), bytes.begin() + 32);
  CGradient g;
  EXPECT_FALSE(readColourScheme(bytes, g).ok);
}

TEST(ColourSchemeFile, PositionOutsideTheBarIsClamped) {
  auto bytes = writeColourScheme(sampleGradient());
  const auto far = le32(std::bit_cast<uint32_t>(7.5f));
  std::copy(far.begin(), far.end(), bytes.begin() + 32);
  CGradient g;
  ASSERT_TRUE(readColourScheme(bytes, g).ok);
  EXPECT_EQ(g.peg(1).position, 1.0f);
}

}  // namespace
}  // namespace tessor
