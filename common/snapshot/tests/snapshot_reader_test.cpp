// The reader walks outside bytes: every damaged layout must be refused with its message,
// never copied out of bounds.
#include "snapshot/snapshot.h"
#include "snapshot_fixtures.h"

#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <string>

namespace snapshot {
namespace {

using testing::FileBuilder;

std::vector<uint8_t> filler(std::size_t count) { return std::vector<uint8_t>(count, 0x5A); }

struct LayoutCase {
  std::string name;
  std::function<std::vector<uint8_t>()> build;
  ReadError expected;
};
void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class ReaderLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ReaderLayout, GivesTheExpectedOutcome) {
  const ReadResult result = readSnapshot(GetParam().build());
  EXPECT_EQ(result.error, GetParam().expected);
  if (!result.ok()) {
    EXPECT_TRUE(result.data.pixels.empty());
  }
  // Damage is refused the way a file without IR data is.
  if (GetParam().expected == ReadError::DamagedIrData) {
    EXPECT_EQ(messageFor(result.error), "No IR data!");
  }
}

const LayoutCase kLayouts[] = {
    {.name = "EmptyFile",
     .build = [] { return std::vector<uint8_t>{}; },
     .expected = ReadError::NotJpeg},
    {.name = "PngSignature",
     .build = [] { return std::vector<uint8_t>{0x89, 'P', 'N', 'G', 0x0D, 0x0A}; },
     .expected = ReadError::NotJpeg},
    {.name = "ForeignApp1",
     .build =
         [] {
           return FileBuilder().app0().app1({'E', 'x', 'i', 'f', 0, 0}, filler(20)).bytes();
         },
     .expected = ReadError::NoIrData},
    {.name = "NoIrSegmentAtAll",
     .build =
         [] {
           return FileBuilder().app0().raw({0xFF, 0xDB, 0, 4, 0, 0}).endOfImage().bytes();
         },
     .expected = ReadError::NoInformation},
    {.name = "App0LengthBelowTwo",
     .build =
         [] {
           return FileBuilder().raw({0xFF, 0xE0, 0x00, 0x01}).bytes();
         },
     .expected = ReadError::InvalidJpeg},
    {.name = "App1LengthBelowTwo",
     .build =
         [] {
           return FileBuilder().app0().raw({0xFF, 0xE1, 0x00, 0x00}).bytes();
         },
     .expected = ReadError::InvalidJpeg},
    {.name = "App0CutShort",
     .build =
         [] {
           return FileBuilder().raw({0xFF, 0xE0, 0x00, 0x40, 1, 2, 3}).bytes();
         },
     .expected = ReadError::PrematureEnd},
    {.name = "SegmentHeaderCutShort",
     .build =
         [] {
           return FileBuilder().app0().raw({0xFF, 0xE1, 0x03, 0x26, 'K', 'T', 0x20}).bytes();
         },
     .expected = ReadError::MarkerHeader},
    {.name = "InformationPayloadCutShort",
     .build =
         [] {
           auto bytes = FileBuilder().app0().information(320, 240).bytes();
           bytes.erase(bytes.end() - 100, bytes.end());
           return bytes;
         },
     .expected = ReadError::PrematureEnd},
    {.name = "LengthShorterThanSegmentHeader",
     .build = [] { return FileBuilder().app0().irSegment(0, 1, 1, filler(800), 20).bytes(); },
     .expected = ReadError::DamagedIrData},
    {.name = "InformationPayloadTooSmall",
     .build = [] { return FileBuilder().app0().irSegment(0, 1, 1, filler(600)).bytes(); },
     .expected = ReadError::DamagedIrData},
    {.name = "PixelsBeforeInformation",
     .build =
         [] {
           return FileBuilder()
               .app0()
               .irSegment(1, 3, 1, filler(100))
               .information(320, 240)
               .bytes();
         },
     .expected = ReadError::DamagedIrData},
    {.name = "SegmentIndexZero",
     .build =
         [] {
           return FileBuilder()
               .app0()
               .information(320, 240)
               .irSegment(1, 3, 0, filler(100))
               .bytes();
         },
     .expected = ReadError::DamagedIrData},
    {.name = "SegmentIndexPastCount",
     .build =
         [] {
           return FileBuilder()
               .app0()
               .information(320, 240)
               .irSegment(1, 3, 4, filler(100))
               .bytes();
         },
     .expected = ReadError::DamagedIrData},
    {.name = "PayloadLongerThanAChunk",
     .build =
         [] {
           return FileBuilder()
               .app0()
               .information(640, 480)
               .irSegment(1, 10, 1, filler(61442))
               .bytes();
         },
     .expected = ReadError::DamagedIrData},
    {.name = "SegmentPastTheFrame",
     .build =
         [] {
           return FileBuilder()
               .app0()
               .information(320, 240)
               .irSegment(1, 3, 3, filler(61440))
               .bytes();
         },
     .expected = ReadError::DamagedIrData},
    {.name = "SegmentPastTheExtraRow",
     .build =
         [] {
           return FileBuilder()
               .app0()
               .information(640, 480, 33)
               .irSegment(1, 11, 11, filler(1282))
               .bytes();
         },
     .expected = ReadError::DamagedIrData},
    {.name = "SegmentFillingTheExtraRow",
     .build =
         [] {
           return FileBuilder()
               .app0()
               .information(640, 480, 33)
               .irSegment(1, 11, 11, filler(1280))
               .bytes();
         },
     .expected = ReadError::None},
    {.name = "WidthZero",
     .build = [] { return FileBuilder().app0().information(0, 240).bytes(); },
     .expected = ReadError::DamagedIrData},
    {.name = "HeightZero",
     .build = [] { return FileBuilder().app0().information(320, 0).bytes(); },
     .expected = ReadError::DamagedIrData},
    {.name = "WidthAboveAnyCamera",
     .build = [] { return FileBuilder().app0().information(641, 480).bytes(); },
     .expected = ReadError::DamagedIrData},
    {.name = "HeightAboveAnyCamera",
     .build = [] { return FileBuilder().app0().information(640, 482).bytes(); },
     .expected = ReadError::DamagedIrData},
    {.name = "ExtraRowAboveAnyCamera",
     .build = [] { return FileBuilder().app0().information(640, 481, 33).bytes(); },
     .expected = ReadError::DamagedIrData},
    {.name = "LargestFrame",
     .build = [] { return FileBuilder().app0().information(640, 481, 17).bytes(); },
     .expected = ReadError::None},
    {.name = "ScanEndsAtANonMarkerByte",
     .build =
         [] {
           return FileBuilder().app0().information(320, 240).raw({0x00, 0x00, 0xFF}).bytes();
         },
     .expected = ReadError::None},
    {.name = "UnknownSegmentKindIsSkipped",
     .build =
         [] {
           return FileBuilder().app0().information(320, 240).irSegment(7, 1, 9, filler(50)).bytes();
         },
     .expected = ReadError::None},
};

INSTANTIATE_TEST_SUITE_P(Snapshot, ReaderLayout, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return info.param.name; });

TEST(SnapshotReader, SkipsPixelSegmentsWhenOnlyInformationIsWanted) {
  // The report program reads only the parameters; a broken pixel segment does not concern it.
  const auto bytes =
      FileBuilder().app0().information(320, 240).irSegment(1, 3, 0, filler(100)).bytes();
  const ReadResult result = readSnapshot(bytes, ReadMode::InformationOnly);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.data.width(), 320);
  EXPECT_TRUE(result.data.pixels.empty());
}

TEST(SnapshotReader, ExtraRowStaysZero) {
  std::vector<uint8_t> chunk(61440, 0xFF);
  FileBuilder builder;
  builder.app0().information(384, 288, 33);
  for (uint8_t k = 1; k <= 4; ++k) {
    builder.irSegment(1, 4, k, k < 4 ? chunk : std::vector<uint8_t>(36864, 0xFF));
  }
  const ReadResult result = readSnapshot(builder.bytes());
  ASSERT_TRUE(result.ok());
  ASSERT_EQ(result.data.pixels.size(), 384u * 289u);
  EXPECT_EQ(result.data.pixels[384 * 288 - 1], 0xFFFF);
  EXPECT_EQ(result.data.pixels[384 * 288], 0);
  EXPECT_EQ(result.data.pixels.back(), 0);
}

TEST(SnapshotReader, MissingFileCannotBeOpened) {
  EXPECT_EQ(readSnapshotFile("/nonexistent/folder/shot.jpg").error, ReadError::CannotOpen);
}

TEST(SnapshotInfo, DecodesEveryFieldAtItsOffset) {
  InfoBlock block{};
  const uint8_t head[27] = {0x40, 0x01, 0xF0, 0x00, 1,    0,    0xC3, 0x00, 0x64,
                            0x00, 0,    0,    0x18, 0xFC, 0xFF, 0xFF, 0xE8, 0x03,
                            0xB6, 0x03, 2,    11,   20,   1,    0,    1,    2};
  std::copy(std::begin(head), std::end(head), block.begin());
  const InfoFields f = decodeInfo(block);
  EXPECT_EQ(f.width, 320);
  EXPECT_EQ(f.height, 240);
  EXPECT_EQ(f.agcMode, 1);
  EXPECT_EQ(f.levelTenths, 195);
  EXPECT_EQ(f.spanTenths, 100);
  EXPECT_EQ(f.atmTempThousandths, -1000);
  EXPECT_EQ(f.transmissionThousandths, 1000);
  EXPECT_EQ(f.emissivityThousandths, 950);
  EXPECT_EQ(f.dynamicRange, 2);
  EXPECT_EQ(f.palette, 11);
  EXPECT_EQ(f.zoomTenths, 20);
  EXPECT_EQ(f.invert, 1);
  EXPECT_EQ(f.mirror, 0);
  EXPECT_EQ(f.flip, 1);
  EXPECT_EQ(f.tempUnit, 2);
}

}  // namespace
}  // namespace snapshot
