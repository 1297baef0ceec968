// What the writer puts into a file, and that the reader gets the same frame back.
#include "snapshot/snapshot.h"
#include "snapshot_fixtures.h"

#include <gtest/gtest.h>

#include <turbojpeg.h>
#include <unistd.h>
#include <ostream>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace snapshot {
namespace {

using testing::makeIrData;
using testing::makePicture;
using testing::walkSegments;

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A fresh folder per test, removed with its contents.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "snapshot-test-XXXXXX");
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                                  std::filesystem::directory_iterator()));
  }

 private:
  std::filesystem::path path_;
};

std::vector<uint8_t> snapshotBytes(const IrData& ir) {
  const auto picture = makePicture(ir.width(), ir.height());
  return insertIrSegments(encodeJpeg(picture.picture), ir);
}

struct LayoutCase {
  std::string name;
  uint16_t width, height;
  std::vector<std::size_t> payloads;
};
void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class WrittenLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(WrittenLayout, CutsTheFrameIntoNumberedSegments) {
  const auto& c = GetParam();
  const auto segments = walkSegments(snapshotBytes(makeIrData(c.width, c.height)));
  ASSERT_EQ(segments.size(), 2 + c.payloads.size());
  std::vector<std::size_t> payloads;
  for (std::size_t k = 0; k < c.payloads.size(); ++k) {
    const auto& s = segments[2 + k];
    EXPECT_EQ(s.marker, 0xE1);
    EXPECT_EQ(s.kind, 1);
    EXPECT_EQ(s.count, c.payloads.size());
    EXPECT_EQ(s.index, k + 1);
    payloads.push_back(s.length - 34);
  }
  EXPECT_EQ(payloads, c.payloads);
}

INSTANTIATE_TEST_SUITE_P(
    Snapshot, WrittenLayout,
    ::testing::Values(LayoutCase{"Kt320x240", 320, 240, {61440, 61440, 30720}},
                      LayoutCase{"Ks384x288", 384, 288, {61440, 61440, 61440, 36864}},
                      LayoutCase{"Ks640x480", 640, 480, std::vector<std::size_t>(10, 61440)},
                      LayoutCase{"Tiny3x1", 3, 1, {6}}),
    [](const auto& info) { return info.param.name; });

TEST(SnapshotWriter, PutsTheInformationSegmentRightAfterApp0) {
  const IrData ir = makeIrData(320, 240);
  const auto bytes = snapshotBytes(ir);
  const auto segments = walkSegments(bytes);
  ASSERT_GE(segments.size(), 2u);
  EXPECT_EQ(segments[0].marker, 0xE0);
  EXPECT_EQ(segments[1].marker, 0xE1);
  EXPECT_EQ(segments[1].length, 806u);
  EXPECT_EQ(segments[1].kind, 0);
  EXPECT_EQ(segments[1].count, 1);
  EXPECT_EQ(segments[1].index, 1);
  const std::vector<uint8_t> head(bytes.begin() + segments[1].payloadAt - 32,
                                  bytes.begin() + segments[1].payloadAt);
  std::vector<uint8_t> expectedHead(32, 0);
  expectedHead[0] = 'K';
  expectedHead[1] = 'T';
  expectedHead[2] = 0x20;
  expectedHead[5] = 1;
  expectedHead[6] = 1;
  EXPECT_EQ(head, expectedHead);
}

TEST(SnapshotWriter, KeepsTheEncodersBytesAroundTheSegments) {
  const IrData ir = makeIrData(320, 240);
  const auto picture = makePicture(320, 240);
  const auto jpeg = encodeJpeg(picture.picture);
  const auto bytes = insertIrSegments(jpeg, ir);
  const auto segments = walkSegments(bytes);
  const std::size_t app0End = 4 + segments[0].length;
  std::size_t irBytes = 0;
  for (std::size_t k = 1; k < segments.size(); ++k) irBytes += 2 + segments[k].length;
  std::vector<uint8_t> withoutIr(bytes.begin(), bytes.begin() + app0End);
  withoutIr.insert(withoutIr.end(), bytes.begin() + app0End + irBytes, bytes.end());
  EXPECT_EQ(withoutIr, jpeg);
}

TEST(SnapshotWriter, StaysADecodableJpeg) {
  const auto bytes = snapshotBytes(makeIrData(384, 288));
  tjhandle handle = tjInitDecompress();
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  const int status = tjDecompressHeader3(handle, bytes.data(), bytes.size(), &width, &height,
                                         &subsampling, &colorspace);
  std::vector<uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  const int decoded = status == 0 ? tjDecompress2(handle, bytes.data(), bytes.size(), rgb.data(),
                                                  width, 0, height, TJPF_RGB, 0)
                                  : -1;
  tjDestroy(handle);
  EXPECT_EQ(decoded, 0);
  EXPECT_EQ(width, 384);
  EXPECT_EQ(height, 288);
}

struct RoundTripCase {
  std::string name;
  uint16_t width, height;
  uint8_t headerVersion;
  std::size_t rows;  // rows of the pixel buffer the reader makes
};
void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }

class SnapshotRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(SnapshotRoundTrip, GivesBackBlocksAndPixels) {
  const auto& c = GetParam();
  const IrData written = makeIrData(c.width, c.height, c.headerVersion, 7);
  const ReadResult read = readSnapshot(snapshotBytes(written));
  ASSERT_TRUE(read.ok()) << messageFor(read.error);
  EXPECT_EQ(read.data.info, written.info);
  EXPECT_EQ(read.data.camHeader, written.camHeader);
  std::vector<uint16_t> expected = written.pixels;
  expected.resize(std::size_t{c.width} * c.rows, 0);
  EXPECT_EQ(read.data.pixels, expected);
}

INSTANTIATE_TEST_SUITE_P(Snapshot, SnapshotRoundTrip,
                         ::testing::Values(RoundTripCase{"Kt320x240", 320, 240, 17, 240},
                                           RoundTripCase{"Ks384x288", 384, 288, 32, 288},
                                           RoundTripCase{"KsCalibrated384x288", 384, 288, 33, 289},
                                           RoundTripCase{"KsCalibrated640x480", 640, 480, 33, 481},
                                           RoundTripCase{"OddSize5x3", 5, 3, 17, 3}),
                         [](const auto& info) { return info.param.name; });

TEST(SnapshotWriter, WritesOnlyThePictureRowsOfAnExtraRowBuffer) {
  IrData ir = makeIrData(384, 288, 33);
  ir.pixels.resize(384 * 289, 0xABCD);
  const auto segments = walkSegments(snapshotBytes(ir));
  ASSERT_EQ(segments.size(), 6u);
  EXPECT_EQ(segments.back().length - 34, 36864u);
}

TEST(SnapshotReader, PlainJpegHasNoIrData) {
  const auto picture = makePicture(64, 48);
  const ReadResult read = readSnapshot(encodeJpeg(picture.picture));
  EXPECT_EQ(read.error, ReadError::NoInformation);
  EXPECT_EQ(messageFor(read.error), "No IR data!");
}

TEST(SnapshotWriter, RefusesAJpegWithoutApp0) {
  const std::vector<uint8_t> noApp0 = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x04, 0, 0, 0xFF, 0xD9};
  EXPECT_TRUE(insertIrSegments(noApp0, makeIrData(4, 4)).empty());
}

TEST(SnapshotWriter, RefusesAFrameShorterThanItsSize) {
  IrData ir = makeIrData(320, 240);
  ir.pixels.resize(320 * 239);
  const auto picture = makePicture(32, 24);
  EXPECT_TRUE(insertIrSegments(encodeJpeg(picture.picture), ir).empty());
}

TEST(SnapshotWriter, RefusesAnUnusablePicture) {
  const std::vector<uint8_t> few(10);
  EXPECT_TRUE(encodeJpeg(Picture{100, 100, 300, PixelFormat::Rgb, few}).empty());
}

TEST(SnapshotFile, WritesAFileTheReaderLoads) {
  TempFolder folder;
  const IrData ir = makeIrData(320, 240);
  const auto picture = makePicture(320, 240);
  const auto path = folder.path() / "Cam_IR_20260101120000.jpg";
  const WriteResult written = writeSnapshotFile(path, picture.picture, &ir);
  ASSERT_TRUE(written.ok());
  EXPECT_TRUE(written.irInserted);
  const ReadResult read = readSnapshotFile(path);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.data.pixels, ir.pixels);
}

TEST(SnapshotFile, WithoutAFrameStaysAPlainJpeg) {
  TempFolder folder;
  const auto picture = makePicture(32, 24);
  const auto path = folder.path() / "plain.jpg";
  const WriteResult written = writeSnapshotFile(path, picture.picture, nullptr);
  ASSERT_TRUE(written.ok());
  EXPECT_FALSE(written.irInserted);
  EXPECT_EQ(readFile(path), encodeJpeg(picture.picture));
}

TEST(SnapshotFile, ReplacesTheOldFileAndLeavesNothingElse) {
  TempFolder folder;
  const auto path = folder.path() / "shot.jpg";
  const auto first = makePicture(32, 24);
  const IrData firstIr = makeIrData(32, 24, 17, 1);
  ASSERT_TRUE(writeSnapshotFile(path, first.picture, &firstIr).ok());
  const IrData secondIr = makeIrData(32, 24, 17, 2);
  ASSERT_TRUE(writeSnapshotFile(path, first.picture, &secondIr).ok());
  EXPECT_EQ(folder.entries(), 1u);
  EXPECT_EQ(readSnapshotFile(path).data.pixels, secondIr.pixels);
}

TEST(SnapshotFile, UnwritableFolderKeepsTheOldFile) {
  TempFolder folder;
  const auto path = folder.path() / "shot.jpg";
  const auto picture = makePicture(32, 24);
  const IrData ir = makeIrData(32, 24);
  ASSERT_TRUE(writeSnapshotFile(path, picture.picture, &ir).ok());
  const auto before = readFile(path);
  std::filesystem::permissions(
      folder.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const WriteResult result = writeSnapshotFile(path, picture.picture, &ir);
  std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all);
  // Root writes anywhere; the file must survive either way.
  if (::geteuid() != 0) {
    EXPECT_EQ(result.error, WriteError::CannotCreate);
  }
  EXPECT_EQ(readFile(path), before);
  EXPECT_EQ(folder.entries(), 1u);
}

TEST(SnapshotFile, MissingFolderIsReported) {
  TempFolder folder;
  const auto picture = makePicture(32, 24);
  const auto result =
      writeSnapshotFile(folder.path() / "missing" / "shot.jpg", picture.picture, nullptr);
  EXPECT_EQ(result.error, WriteError::CannotCreate);
  EXPECT_EQ(folder.entries(), 0u);
}

}  // namespace
}  // namespace snapshot
