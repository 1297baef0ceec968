#include "imaging/palette.h"
#include "testing/case_name.h"

#include <gtest/gtest.h>
#include <irdex.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

namespace irdex::imaging {
namespace {

constexpr int kPaletteCount = 13;
constexpr int kGrey = 11;
constexpr int kIron = 8;

std::array<uint8_t, 768> palette(int index, int invert) {
  std::array<uint8_t, 768> entries{};
  EXPECT_EQ(GetImageLUT(entries.data(), index, invert), SDK_SUCCESS) << "palette " << index;
  return entries;
}

TEST(PaletteFile, HoldsThirteenRecordsOfNormalAndInvertedPalettes) {
  const auto size = std::filesystem::file_size(executableDirectory() / kPaletteFileName);
  EXPECT_EQ(size, static_cast<uintmax_t>(kPaletteCount * kPaletteRecordBytes));
}

TEST(PaletteFile, GreyIsAStraightRamp) {
  const auto grey = palette(kGrey, 0);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(grey[3 * i], i);
    ASSERT_EQ(grey[3 * i + 1], i);
    ASSERT_EQ(grey[3 * i + 2], i);
  }
}

TEST(PaletteFile, EveryInvertedPaletteIsItsNormalOneBackwards) {
  for (int p = 0; p < kPaletteCount; ++p) {
    const auto normal = palette(p, 0);
    // Only the low byte of the invert flag counts.
    const auto inverted = palette(p, 0x101);
    for (int i = 0; i < 256; ++i) {
      for (int c = 0; c < 3; ++c) ASSERT_EQ(inverted[3 * i + c], normal[3 * (255 - i) + c]);
    }
    EXPECT_EQ(palette(p, 0x100), normal);
  }
}

TEST(PaletteFile, IronRunsFromBlackToWhite) {
  const auto iron = palette(kIron, 0);
  EXPECT_EQ((std::array<uint8_t, 3>{iron[0], iron[1], iron[2]}), (std::array<uint8_t, 3>{0, 0, 0}));
  EXPECT_EQ((std::array<uint8_t, 3>{iron[765], iron[766], iron[767]}),
            (std::array<uint8_t, 3>{255, 255, 255}));
}

TEST(PaletteFile, BandedPalettesHaveAboutTenSteps) {
  for (const int p : {3, 7, 10}) {  // Rain10, Iron10, Grey10
    const auto entries = palette(p, 0);
    std::set<std::array<uint8_t, 3>> colours;
    for (int i = 0; i < 256; ++i)
      colours.insert({entries[3 * i], entries[3 * i + 1], entries[3 * i + 2]});
    EXPECT_EQ(colours.size(), 10u) << "palette " << p;
  }
}

TEST(PaletteFile, RefusesMissingBufferAndRecordsOutsideTheFile) {
  std::array<uint8_t, 768> entries{};
  EXPECT_EQ(GetImageLUT(nullptr, 0, 0), SDK_ERR_BUFFER);
  EXPECT_EQ(GetImageLUT(entries.data(), kPaletteCount, 0), SDK_ERR_BUFFER);
  EXPECT_EQ(GetImageLUT(entries.data(), -1, 0), SDK_ERR_BUFFER);
}

TEST(PaletteLoad, MissingFileIsAnOpenErrorAndAShortOneABufferError) {
  const auto folder = std::filesystem::temp_directory_path();
  std::array<uint8_t, 768> entries{};
  EXPECT_EQ(loadPalette(folder / "no-such-colormap.bin", entries, 0, false), SDK_ERR_OPEN_FILE);
  const auto shortFile = folder / ("irdex-short-colormap-" + std::to_string(::getpid()));
  {
    std::ofstream out(shortFile, std::ios::binary);
    out << std::string(1000, '\x7f');
  }
  EXPECT_EQ(loadPalette(shortFile, entries, 0, false), SDK_SUCCESS);
  EXPECT_EQ(loadPalette(shortFile, entries, 0, true), SDK_ERR_BUFFER);
  std::filesystem::remove(shortFile);
}

// Palette whose entry i is (i, 255 - i, i / 2).
std::vector<uint8_t> testPalette() {
  std::vector<uint8_t> entries;
  for (int i = 0; i < 256; ++i) {
    entries.push_back(static_cast<uint8_t>(i));
    entries.push_back(static_cast<uint8_t>(255 - i));
    entries.push_back(static_cast<uint8_t>(i / 2));
  }
  return entries;
}

TEST(GreyToPalette, ThirtyTwoBitPixelsAreBlueGreenRedZero) {
  const auto entries = testPalette();
  const uint8_t grey[2] = {0, 200};
  uint8_t dest[8];
  ASSERT_EQ(GetGrayToPaletteImage(grey, dest, 2, 1, entries.data(), 32, 0, 0), SDK_SUCCESS);
  EXPECT_EQ(std::vector<uint8_t>(dest, dest + 8),
            (std::vector<uint8_t>{0, 255, 0, 0, 100, 55, 200, 0}));
}

TEST(GreyToPalette, SixteenBitPixelsAreFiveSixFive) {
  const auto entries = testPalette();
  const uint8_t grey[1] = {200};  // (200, 55, 100)
  uint8_t dest[2];
  ASSERT_EQ(GetGrayToPaletteImage(grey, dest, 1, 1, entries.data(), 16, 0, 0), SDK_SUCCESS);
  const uint16_t expected = (200 >> 3) << 11 | (55 >> 2) << 5 | (100 >> 3);
  EXPECT_EQ(dest[0] | dest[1] << 8, expected);
}

TEST(GreyToPalette, TwentyFourBitPixelsReadThePaletteFromItsFarEnd) {
  const auto entries = testPalette();
  const uint8_t grey[2] = {0, 255};
  uint8_t dest[6];
  ASSERT_EQ(GetGrayToPaletteImage(grey, dest, 2, 1, entries.data(), 24, 0, 0), SDK_SUCCESS);
  // Grey 0 takes entry 255 (255, 0, 127), grey 255 entry 0 (0, 255, 0).
  EXPECT_EQ(std::vector<uint8_t>(dest, dest + 6), (std::vector<uint8_t>{255, 0, 127, 0, 255, 0}));
}

TEST(GreyToPalette, OtherBitDepthsWriteNothing) {
  const auto entries = testPalette();
  const uint8_t grey[4] = {1, 2, 3, 4};
  std::vector<uint8_t> dest(16, 0xAB);
  EXPECT_EQ(GetGrayToPaletteImage(grey, dest.data(), 2, 2, entries.data(), 8, 0, 0), SDK_SUCCESS);
  EXPECT_EQ(dest, std::vector<uint8_t>(16, 0xAB));
}

TEST(GreyToPalette, RefusesMissingPointers) {
  const auto entries = testPalette();
  const uint8_t grey[1] = {0};
  uint8_t dest[4];
  EXPECT_EQ(GetGrayToPaletteImage(nullptr, dest, 1, 1, entries.data(), 32, 0, 0), SDK_ERR_BUFFER);
  EXPECT_EQ(GetGrayToPaletteImage(grey, nullptr, 1, 1, entries.data(), 32, 0, 0), SDK_ERR_BUFFER);
  EXPECT_EQ(GetGrayToPaletteImage(grey, dest, 1, 1, nullptr, 32, 0, 0), SDK_ERR_BUFFER);
}

struct OrderCase {
  int mirror;
  int flip;
  std::vector<uint8_t> reds;  // red byte of each 32-bit pixel, in memory order
};

class GreyToPaletteOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(GreyToPaletteOrder, MirrorsRowsAndFlipsTheirOrder) {
  const auto entries = testPalette();          // red of entry i is i
  const uint8_t grey[6] = {1, 2, 3, 4, 5, 6};  // 3 x 2
  std::vector<uint8_t> dest(4 * 6 + 4, 0xEE);
  ASSERT_EQ(GetGrayToPaletteImage(grey, dest.data(), 3, 2, entries.data(), 32, GetParam().mirror,
                                  GetParam().flip),
            SDK_SUCCESS);
  std::vector<uint8_t> reds;
  for (int k = 0; k < 6; ++k) reds.push_back(dest[4 * k + 2]);
  EXPECT_EQ(reds, GetParam().reds);
  EXPECT_EQ(dest[24], 0xEE);  // nothing beyond width x height
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GreyToPaletteOrder,
    ::testing::Values(OrderCase{0, 0, {1, 2, 3, 4, 5, 6}}, OrderCase{1, 0, {3, 2, 1, 6, 5, 4}},
                      OrderCase{0, 1, {4, 5, 6, 1, 2, 3}}, OrderCase{1, 1, {6, 5, 4, 3, 2, 1}}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName(p.mirror ? "Mirror" : "NoMirror", p.flip ? "Flip" : "NoFlip");
    });

TEST(IRHistogram, AddsToTheCountersWithoutClearingThem) {
  std::vector<int32_t> histogram(65536, 0);
  histogram[7] = 5;
  const uint16_t pixels[5] = {7, 7, 65535, 0, 9};
  ASSERT_EQ(GetIRHistogram(histogram.data(), pixels, 4), SDK_SUCCESS);  // the fifth is not read
  EXPECT_EQ(histogram[7], 7);
  EXPECT_EQ(histogram[65535], 1);
  EXPECT_EQ(histogram[0], 1);
  EXPECT_EQ(histogram[9], 0);
  EXPECT_EQ(GetIRHistogram(histogram.data(), pixels, -3), SDK_SUCCESS);
  EXPECT_EQ(histogram[7], 7);
}

TEST(IRHistogram, RefusesMissingPointers) {
  std::vector<int32_t> histogram(65536, 0);
  const uint16_t pixels[1] = {1};
  EXPECT_EQ(GetIRHistogram(nullptr, pixels, 1), SDK_ERR_BUFFER);
  EXPECT_EQ(GetIRHistogram(histogram.data(), nullptr, 1), SDK_ERR_BUFFER);
}

}  // namespace
}  // namespace irdex::imaging
