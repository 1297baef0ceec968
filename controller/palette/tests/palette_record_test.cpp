// The user palette record: YCbCr entries byte for byte, their reverse order, and the
// picture of the palette that travels with them.
#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "palette/palette_record.h"
#include "palette/tests/named_case.h"

namespace tessor {
namespace {

struct EntryCase {
  const char* name;
  uint8_t r, g, b;
  std::array<uint8_t, 4> bytes;  // Cb, Y, 0, Cr
};

class YCbCrEntryBytes : public ::testing::TestWithParam<EntryCase> {};

TEST_P(YCbCrEntryBytes, MatchKnownValues) {
  EXPECT_EQ(yCbCrEntry(GetParam().r, GetParam().g, GetParam().b), GetParam().bytes);
}

// Negative chroma sums truncate toward zero before the offset is added.
INSTANTIATE_TEST_SUITE_P(Colours, YCbCrEntryBytes,
                         ::testing::Values(EntryCase{"Black", 0, 0, 0, {128, 16, 0, 128}},
                                           EntryCase{"White", 255, 255, 255, {128, 235, 0, 128}},
                                           EntryCase{"Red", 255, 0, 0, {91, 82, 0, 240}},
                                           EntryCase{"Green", 0, 255, 0, {55, 145, 0, 35}},
                                           EntryCase{"Blue", 0, 0, 255, {240, 41, 0, 111}}),
                         testing::CaseName());

std::array<uint8_t, 4> entryAt(const PaletteRecord& record, size_t entry) {
  std::array<uint8_t, 4> bytes;
  std::copy_n(record.begin() + kPaletteEntriesOffset + 4 * entry, 4, bytes.begin());
  return bytes;
}

CGradient blackToWhiteLinear() {
  CGradient g;
  g.setMethod(InterpolationMethod::Linear);
  return g;
}

struct KnownEntry {
  const char* name;
  size_t entry;
  std::array<uint8_t, 4> bytes;
};

class GreyRampRecord : public ::testing::TestWithParam<KnownEntry> {};

// Colour i of the ramp is the grey 255 * i / 256, and lands in entry 255 - i.
TEST_P(GreyRampRecord, HoldsTheEntryByteForByte) {
  const auto entries = blackToWhiteLinear().makeEntries(256);
  PaletteRecord record;
  ASSERT_TRUE(buildPaletteRecord(entries, 0, {}, record, nullptr));
  EXPECT_EQ(entryAt(record, GetParam().entry), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Entries, GreyRampRecord,
                         ::testing::Values(KnownEntry{"First", 0, {128, 234, 0, 128}},
                                           KnownEntry{"Middle", 127, {128, 125, 0, 128}},
                                           KnownEntry{"ColourTwo", 253, {128, 17, 0, 128}},
                                           KnownEntry{"ColourOne", 254, {128, 16, 0, 128}},
                                           KnownEntry{
                                               "LastRepeatsColourOne", 255, {128, 16, 0, 128}}),
                         testing::CaseName());

TEST(PaletteRecord, FirstColourNeverReachesTheCamera) {
  CGradient g;
  g.setBackgroundColour(makeColour(255, 0, 0));
  g.setUseBackground(true);
  PaletteRecord record;
  ASSERT_TRUE(buildPaletteRecord(g.makeEntries(256), 1, {}, record, nullptr));
  const auto redBytes = yCbCrEntry(255, 0, 0);
  for (size_t i = 0; i < kPaletteEntryCount; ++i) EXPECT_NE(entryAt(record, i), redBytes) << i;
  EXPECT_EQ(entryAt(record, 254), entryAt(record, 255));
}

TEST(PaletteRecord, HeadAndPictureFieldsSitInPlace) {
  const std::vector<uint8_t> picture = {0x89, 'P', 'N', 'G', 1, 2, 3};
  PaletteRecord record;
  record.fill(0xAA);
  ASSERT_TRUE(buildPaletteRecord(CGradient().makeEntries(256), 1, picture, record, nullptr));
  for (size_t i = 0; i < kPaletteSlotOffset; ++i) EXPECT_EQ(record[i], 0) << i;
  EXPECT_EQ(record[kPaletteSlotOffset], 1);
  EXPECT_EQ(record[1032], 7);
  EXPECT_EQ(record[1033], 0);
  EXPECT_TRUE(std::equal(picture.begin(), picture.end(), record.begin() + kPalettePictureOffset));
  EXPECT_TRUE(std::all_of(record.begin() + kPalettePictureOffset + picture.size(), record.end(),
                          [](uint8_t b) { return b == 0; }));
}

struct RefusedCase {
  const char* name;
  size_t colours;
  int slot;
  size_t pictureBytes;
};

class PaletteRecordRefuses : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(PaletteRecordRefuses, WithAReason) {
  const std::vector<uint8_t> entries(GetParam().colours * 3, 0);
  const std::vector<uint8_t> picture(GetParam().pictureBytes, 1);
  PaletteRecord record;
  std::string error;
  EXPECT_FALSE(buildPaletteRecord(entries, GetParam().slot, picture, record, &error));
  EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(Inputs, PaletteRecordRefuses,
                         ::testing::Values(RefusedCase{"PictureOneByteTooLong", 256, 0, 8193},
                                           RefusedCase{"SlotThree", 256, 2, 10},
                                           RefusedCase{"NegativeSlot", 256, -1, 10},
                                           RefusedCase{"TooFewColours", 255, 0, 10}),
                         testing::CaseName());

TEST(PaletteRecord, PictureOfExactlyTheFieldSizeFits) {
  const std::vector<uint8_t> picture(kPalettePictureCapacity, 7);
  PaletteRecord record;
  EXPECT_TRUE(buildPaletteRecord(CGradient().makeEntries(256), 0, picture, record, nullptr));
  EXPECT_EQ(record.back(), 7);
}

// Decodes the picture field with libpng's simple reader: one column of 256 RGB pixels.
std::vector<uint8_t> decodePicture(const PaletteRecord& record, size_t length) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, record.data() + kPalettePictureOffset, length))
    return {};
  image.format = PNG_FORMAT_RGB;
  if (image.width != 1 || image.height != 256) {
    png_image_free(&image);
    return {};
  }
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
  return rgb;
}

TEST(PaletteUpload, SendsTheWholePictureRowByRowAsTheGradient) {
  CGradient g;
  g.addPeg(makeColour(255, 40, 0), 0.3f);
  g.addPeg(makeColour(0, 90, 255), 0.7f);
  g.setMethod(InterpolationMethod::HslShortest);
  const PaletteUpload upload = preparePaletteUpload(g, 1);
  ASSERT_TRUE(upload.ok) << upload.error;
  uint32_t length = 0;
  for (int i = 0; i < 4; ++i) length |= uint32_t{upload.record[1032 + i]} << (8 * i);
  EXPECT_EQ(length, upload.pictureBytes);
  const auto rgb = decodePicture(upload.record, length);
  ASSERT_EQ(rgb.size(), 768u);
  const auto entries = g.makeEntries(256);
  for (size_t i = 0; i < 256; ++i) {
    EXPECT_EQ(rgb[3 * i], entries[3 * i + 2]) << i;
    EXPECT_EQ(rgb[3 * i + 2], entries[3 * i]) << i;
  }
  EXPECT_EQ(upload.record[kPaletteSlotOffset], 1);
}

TEST(PaletteUpload, WithoutAPlaceForThePictureSendsThePaletteAlone) {
  const char* saved = std::getenv("TMPDIR");
  const std::string kept = saved ? saved : "";
  ::setenv("TMPDIR", "/nonexistent/folder", 1);
  ::testing::internal::CaptureStdout();
  const PaletteUpload upload = preparePaletteUpload(CGradient(), 0);
  const std::string said = ::testing::internal::GetCapturedStdout();
  if (saved) {
    ::setenv("TMPDIR", kept.c_str(), 1);
  } else {
    ::unsetenv("TMPDIR");
  }
  ASSERT_TRUE(upload.ok) << upload.error;
  EXPECT_EQ(said, "File could not be opened\n");
  EXPECT_FALSE(upload.pictureError.empty());
  EXPECT_EQ(upload.pictureBytes, 0u);
  EXPECT_TRUE(std::all_of(upload.record.begin() + kPalettePictureLengthOffset, upload.record.end(),
                          [](uint8_t b) { return b == 0; }));
}

TEST(PaletteUpload, LeavesNoPictureInTheCurrentFolder) {
  std::filesystem::remove(kPalettePictureName);
  ASSERT_TRUE(preparePaletteUpload(CGradient(), 0).ok);
  EXPECT_FALSE(std::filesystem::exists(kPalettePictureName));
}

}  // namespace
}  // namespace tessor
