#include <gtest/gtest.h>
#include <irdex.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "stream/ir_stream.h"
#include "stream_test_support.h"

namespace {

using stream_test::extensionOf;
using stream_test::framePattern;
using stream_test::headerOf;

constexpr uint16_t kGuard = 0xBEEF;
constexpr int kGuardPixels = 16;

// Which family of exports writes and reads a file.
enum class Family { Plain, PlainExtended, Versioned };

struct Layout {
  const char* name;
  Family family;
  int32_t version;
  int32_t pixelCount;
  int64_t frameBytes;      // worked out by hand from the file layout
  int64_t pixelsPerFrame;  // what a read delivers
  int32_t firstFrame;
};

std::ostream& operator<<(std::ostream& out, const Layout& layout) { return out << layout.name; }

// One open file read through the family's exports.
struct Reader {
  Layout layout;
  IRStreamHandle stream;
  int32_t fileLength;

  SdkStatus forward(std::vector<uint16_t>& pixels, int32_t& offset, int32_t& timing, int64_t& stamp,
                    bool wrap) const {
    switch (layout.family) {
      case Family::Plain:
        return GetIRImageFromStream(stream, pixels.data(), layout.pixelCount, fileLength, &offset,
                                    &timing, wrap);
      case Family::PlainExtended:
        return GetIRImageFromStream_n(stream, pixels.data(), layout.pixelCount, fileLength, &offset,
                                      &timing, wrap, 1);
      case Family::Versioned:
        return GetIRImageFromStream_v2(stream, pixels.data(), layout.pixelCount, fileLength,
                                       &offset, &timing, &stamp, wrap, layout.version);
    }
    return 0;
  }
  SdkStatus backward(std::vector<uint16_t>& pixels, int32_t& offset, int32_t& timing,
                     int64_t& stamp) const {
    switch (layout.family) {
      case Family::Plain:
        return GetRevIRImageFromStream(stream, pixels.data(), layout.pixelCount, &offset, &timing);
      case Family::PlainExtended:
        return GetRevIRImageFromStream_n(stream, pixels.data(), layout.pixelCount, &offset, &timing,
                                         1);
      case Family::Versioned:
        return GetRevIRImageFromStream_v2(stream, pixels.data(), layout.pixelCount, &offset,
                                          &timing, &stamp, layout.version);
    }
    return 0;
  }
};

class StreamFile : public stream_test::TempFolder {
 protected:
  // Records `count` frames of the layout; frame k has timing value timings[k % 3].
  std::vector<std::vector<uint16_t>> record(const std::string& file, const Layout& layout,
                                            int count) {
    IRStreamHandle stream = nullptr;
    const auto header = headerOf(static_cast<uint8_t>(layout.version), 320, 240);
    const auto ext = extensionOf(17, 1);
    const SdkStatus opened = layout.firstFrame == 21
                                 ? SaveIRImage(&stream, file.c_str(), &header)
                                 : SaveIRHeader(&stream, file.c_str(), &header, &ext);
    EXPECT_EQ(opened, SDK_SUCCESS);
    std::vector<std::vector<uint16_t>> frames;
    uint16_t counter16 = 0;
    uint32_t counter32 = 0;
    for (int k = 0; k < count; ++k) {
      frames.push_back(framePattern(static_cast<std::size_t>(layout.pixelsPerFrame), k));
      const int32_t timing = kTimings[k % 3];
      const SdkStatus written =
          layout.family == Family::Versioned
              ? SetIRImageToStream_v2(stream, frames.back().data(), layout.pixelCount, timing,
                                      &counter32, layout.version)
              : SetIRImageToStream(stream, frames.back().data(), layout.pixelCount, timing,
                                   &counter16);
      EXPECT_EQ(written, SDK_SUCCESS);
      // Every frame is in the file once the call returns, before the file is closed.
      EXPECT_EQ(sizeOf(file), layout.firstFrame + (k + 1) * layout.frameBytes);
    }
    EXPECT_EQ(counter16 + counter32, static_cast<uint32_t>(count));
    EXPECT_EQ(CloseIRStream(stream), SDK_SUCCESS);
    return frames;
  }

  Reader open(const std::string& file, const Layout& layout) {
    Reader reader{layout, nullptr, 0};
    EXPECT_EQ(LoadIRImage(&reader.stream, file.c_str(), &reader.fileLength), SDK_SUCCESS);
    opened_.push_back(reader.stream);
    return reader;
  }
  void TearDown() override {
    for (auto* stream : opened_) CloseIRStream(stream);
    TempFolder::TearDown();
  }

  static std::vector<uint16_t> pixelBuffer(const Layout& layout) {
    return std::vector<uint16_t>(static_cast<std::size_t>(layout.pixelsPerFrame) + kGuardPixels,
                                 kGuard);
  }
  static void expectFrame(const std::vector<uint16_t>& buffer, const std::vector<uint16_t>& frame) {
    ASSERT_GE(buffer.size(), frame.size());
    EXPECT_TRUE(std::equal(frame.begin(), frame.end(), buffer.begin()));
    for (std::size_t i = frame.size(); i < buffer.size(); ++i) ASSERT_EQ(buffer[i], kGuard);
  }

  static constexpr int32_t kTimings[3] = {40, 0, -5};
  static constexpr int32_t kStoredTimings[3] = {40, 33, 33};
  std::vector<IRStreamHandle> opened_;
};

// ---------------------------------------------------------------------------------------
// Round trips of every layout: exact sizes on disk, forward to the end, backward to the start.

const Layout kLayouts[] = {
    {"Plain_v16_320x240", Family::Plain, 16, 76800, 153608, 76800, 21},
    {"PlainExtended_v17_320x240", Family::PlainExtended, 17, 76800, 153608, 76800, 1022},
    {"Versioned_v16_320x240", Family::Versioned, 16, 76800, 153608, 76800, 21},
    {"Versioned_v17_320x240", Family::Versioned, 17, 76800, 153608, 76800, 1022},
    {"Versioned_v20_640x480", Family::Versioned, 20, 307200, 615680, 307200, 1022},
    {"Versioned_v31_320x240plus", Family::Versioned, 31, 77039, 154718, 77039, 1022},
    {"Versioned_v20_384wide", Family::Versioned, 20, 77040, 154848, 77040, 1022},
    {"Versioned_v32_384x288", Family::Versioned, 32, 110592, 222720, 110976, 1022},
    {"Versioned_v33_640x480", Family::Versioned, 33, 307200, 616960, 307840, 1022},
};

class EveryLayout : public StreamFile, public ::testing::WithParamInterface<Layout> {};

TEST_P(EveryLayout, RoundTripsForwardToTheEndAndBackwardToTheStart) {
  const Layout layout = GetParam();
  const std::string file = path("clip.hxr");
  const int64_t before = std::time(nullptr);
  const auto frames = record(file, layout, 3);
  const int64_t after = std::time(nullptr);

  Reader reader = open(file, layout);
  ASSERT_EQ(reader.fileLength, layout.firstFrame + 3 * layout.frameBytes);
  IRHeader header{};
  IRHeaderExt ext{};
  int32_t offset = -1;
  ASSERT_EQ(GetIRHeaders(reader.stream, &header, &ext, &offset), SDK_SUCCESS);
  EXPECT_EQ(offset, layout.firstFrame);
  EXPECT_EQ(header.version, layout.version);

  auto pixels = pixelBuffer(layout);
  const auto F = static_cast<int32_t>(layout.frameBytes);
  const bool stamped = layout.family == Family::Versioned && layout.version >= 20;
  for (int k = 0; k < 3; ++k) {
    int32_t timing = 0;
    int64_t stamp = 0;
    const SdkStatus status = reader.forward(pixels, offset, timing, stamp, false);
    EXPECT_EQ(status, k < 2 ? SDK_SUCCESS : SDK_ERR_END_OF_IR_IMAGE) << "frame " << k;
    // The last frame is delivered with the end status and the offset stays on it.
    EXPECT_EQ(offset, layout.firstFrame + (k < 2 ? k + 1 : 2) * F);
    expectFrame(pixels, frames[static_cast<std::size_t>(k)]);
    EXPECT_EQ(timing, kStoredTimings[k]);
    if (stamped) {
      EXPECT_GE(stamp, before);
      EXPECT_LE(stamp, after);
    }
  }

  for (int k = 2; k >= 0; --k) {
    int32_t timing = 0;
    int64_t stamp = 0;
    const SdkStatus status = reader.backward(pixels, offset, timing, stamp);
    // Stepping back reports the start as soon as the frame before is the first one.
    EXPECT_EQ(status, k == 2 ? SDK_SUCCESS : SDK_ERR_START_OF_IR_IMAGE) << "frame " << k;
    EXPECT_EQ(offset, layout.firstFrame + (k == 2 ? F : 0));
    expectFrame(pixels, frames[static_cast<std::size_t>(k)]);
    EXPECT_EQ(timing, kStoredTimings[k]);
  }
}

TEST_P(EveryLayout, ReadingOnFromTheLastFrameWrapsToTheFirst) {
  const Layout layout = GetParam();
  const std::string file = path("loop.HXR");
  const auto frames = record(file, layout, 2);
  Reader reader = open(file, layout);
  auto pixels = pixelBuffer(layout);
  int32_t offset = static_cast<int32_t>(layout.firstFrame + layout.frameBytes);
  int32_t timing = 0;
  int64_t stamp = 0;
  ASSERT_EQ(reader.forward(pixels, offset, timing, stamp, true), SDK_SUCCESS);
  expectFrame(pixels, frames[1]);
  EXPECT_EQ(offset, layout.firstFrame);
  ASSERT_EQ(reader.forward(pixels, offset, timing, stamp, true), SDK_SUCCESS);
  expectFrame(pixels, frames[0]);
}

INSTANTIATE_TEST_SUITE_P(Layouts, EveryLayout, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// The bytes of one frame.

TEST_F(StreamFile, TimeStampedFrameHasMarkTimingStampZeroFillerAndPixels) {
  const std::string file = path("bytes.hxr");
  IRStreamHandle stream = nullptr;
  const auto header = headerOf(20, 320, 240);
  const auto ext = extensionOf(17, 1);
  ASSERT_EQ(SaveIRHeader(&stream, file.c_str(), &header, &ext), SDK_SUCCESS);
  const auto pixels = framePattern(76800, 3);
  uint32_t counter = 41;
  const int64_t before = std::time(nullptr);
  ASSERT_EQ(SetIRImageToStream_v2(stream, pixels.data(), 76800, -7, &counter, 20), SDK_SUCCESS);
  const int64_t after = std::time(nullptr);
  EXPECT_EQ(counter, 42u);
  ASSERT_EQ(CloseIRStream(stream), SDK_SUCCESS);

  const auto bytes = readAll(file);
  ASSERT_EQ(bytes.size(), 1022u + 2 * (76800 + 320));
  EXPECT_EQ(std::memcmp(bytes.data(), &header, 21), 0);
  EXPECT_EQ(std::memcmp(bytes.data() + 21, &ext, 1001), 0);
  EXPECT_EQ(stream_test::le32(bytes, 1022), 0x499602D2u);
  EXPECT_EQ(stream_test::le32(bytes, 1026), 33u);
  EXPECT_GE(stream_test::le64(bytes, 1030), before);
  EXPECT_LE(stream_test::le64(bytes, 1030), after);
  for (std::size_t i = 1038; i < 1038 + 2 * 320 - 16; ++i) ASSERT_EQ(bytes[i], 0) << i;
  const std::size_t first = 1022 + 2 * 320;
  EXPECT_EQ(bytes[first], pixels[0] & 0xFF);
  EXPECT_EQ(bytes[first + 1], pixels[0] >> 8);
  EXPECT_EQ(std::memcmp(bytes.data() + first, pixels.data(), 2 * 76800), 0);
}

// ---------------------------------------------------------------------------------------
// Files cut short and offsets that point nowhere.

const Layout kKs = kLayouts[7];  // version 32, 384 x 288 with the extra row

TEST_F(StreamFile, FileCutMidFrameReadsEveryWholeFrameThenReportsTheEnd) {
  const std::string file = path("crashed.hxr");
  const auto frames = record(file, kKs, 4);
  const int64_t F = kKs.frameBytes;
  std::filesystem::resize_file(file, static_cast<uintmax_t>(1022 + 3 * F + F / 2));

  Reader reader = open(file, kKs);
  auto pixels = pixelBuffer(kKs);
  int32_t offset = 1022;
  int32_t timing = 0;
  int64_t stamp = 0;
  for (int k = 0; k < 3; ++k) {
    const SdkStatus status = reader.forward(pixels, offset, timing, stamp, false);
    EXPECT_EQ(status, k < 2 ? SDK_SUCCESS : SDK_ERR_END_OF_IR_IMAGE) << "frame " << k;
    expectFrame(pixels, frames[static_cast<std::size_t>(k)]);
  }
  EXPECT_EQ(offset, 1022 + 2 * F);
  // Asking again stays on the last whole frame instead of landing inside the torn one.
  EXPECT_EQ(reader.forward(pixels, offset, timing, stamp, false), SDK_ERR_END_OF_IR_IMAGE);
  expectFrame(pixels, frames[2]);
  EXPECT_EQ(offset, 1022 + 2 * F);
  EXPECT_EQ(reader.forward(pixels, offset, timing, stamp, true), SDK_SUCCESS);
  EXPECT_EQ(offset, 1022);
}

TEST_F(StreamFile, OffsetPastTheLastWholeFrameDeliversTheLastOrWrapsToTheFirst) {
  const std::string file = path("tail.hxr");
  const auto frames = record(file, kKs, 3);
  const int64_t F = kKs.frameBytes;
  std::filesystem::resize_file(file, static_cast<uintmax_t>(1022 + 3 * F + 100));
  Reader reader = open(file, kKs);
  auto pixels = pixelBuffer(kKs);
  int32_t timing = 0;
  int64_t stamp = 0;

  int32_t offset = reader.fileLength;
  EXPECT_EQ(reader.forward(pixels, offset, timing, stamp, false), SDK_ERR_END_OF_IR_IMAGE);
  expectFrame(pixels, frames[2]);
  EXPECT_EQ(offset, 1022 + 2 * F);

  offset = reader.fileLength - 50;
  EXPECT_EQ(reader.forward(pixels, offset, timing, stamp, true), SDK_SUCCESS);
  expectFrame(pixels, frames[0]);
  EXPECT_EQ(offset, 1022 + F);
}

struct BadRead {
  const char* name;
  int32_t fileBytes;    // bytes of the file after its 1022-byte head
  int32_t offset;       // offset passed in
  int32_t lengthDelta;  // added to the true length the caller passes
  bool backward;
  SdkStatus status;
  int32_t offsetAfter;
};

std::ostream& operator<<(std::ostream& out, const BadRead& c) { return out << c.name; }

class BadReads : public StreamFile, public ::testing::WithParamInterface<BadRead> {};

TEST_P(BadReads, GiveAClearStatusAndNeverAFrameOrANegativeOffset) {
  const BadRead c = GetParam();
  const std::string file = path("bad.hxr");
  const auto frames = record(file, kKs, 1);
  std::filesystem::resize_file(file, static_cast<uintmax_t>(1022 + c.fileBytes));
  Reader reader = open(file, kKs);
  auto pixels = pixelBuffer(kKs);
  std::fill(pixels.begin(), pixels.end(), kGuard);
  int32_t offset = c.offset;
  int32_t timing = -99;
  int64_t stamp = -99;
  SdkStatus status;
  if (c.backward) {
    status = reader.backward(pixels, offset, timing, stamp);
  } else {
    reader.fileLength += c.lengthDelta;
    status = reader.forward(pixels, offset, timing, stamp, false);
  }
  EXPECT_EQ(status, c.status);
  EXPECT_EQ(offset, c.offsetAfter);
  EXPECT_EQ(timing, -99);
  for (std::size_t i = kKs.pixelsPerFrame; i < pixels.size(); ++i) ASSERT_EQ(pixels[i], kGuard);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, BadReads,
    ::testing::Values(
        BadRead{"ShorterThanOneFrame", 100, 1022, 0, false, SDK_ERR_READ_IR_IMAGE, 1022},
        BadRead{"OnlyTheHeader", 0, 1022, 0, false, SDK_ERR_READ_IR_IMAGE, 1022},
        BadRead{"EmptyEvenOfHeaderBeforeOffsetZero", -1022, 0, 0, false, SDK_ERR_READ_IR_IMAGE,
                1022},
        BadRead{"NegativeOffset", 222720, -5, 0, false, SDK_ERR_FRAME_POSITION, -5},
        BadRead{"NegativeOffsetBackward", 222720, -5, 0, true, SDK_ERR_FRAME_POSITION, -5},
        BadRead{"OffsetOffTheFrameGrid", 222720 * 2, 1024, 0, false, SDK_ERR_FRAME_POSITION, 1024},
        BadRead{"LengthLongerThanTheFile", 222720, 1022 + 222720, 222720, false,
                SDK_ERR_READ_IR_IMAGE, 1022 + 222720},
        BadRead{"NegativeLength", 222720, 1022, -(1022 + 222720) - 10, false, SDK_ERR_READ_IR_IMAGE,
                1022},
        BadRead{"BackwardPastTheEnd", 222720, 1022 + 222720, 0, true, SDK_ERR_READ_IR_IMAGE,
                1022 + 222720},
        BadRead{"BackwardIntoATornFrame", 1000, 1022, 0, true, SDK_ERR_READ_IR_IMAGE, 1022}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// Headers.

TEST_F(StreamFile, FirstGenerationHeaderClearsTheExtensionsFirstByteAndStartsFramesAt21) {
  const std::string file = path("v16.hxr");
  IRStreamHandle stream = nullptr;
  const auto written = headerOf(16, 320, 240);
  ASSERT_EQ(SaveIRImage(&stream, file.c_str(), &written), SDK_SUCCESS);
  ASSERT_EQ(CloseIRStream(stream), SDK_SUCCESS);
  EXPECT_EQ(sizeOf(file), 21);

  int32_t length = 0;
  ASSERT_EQ(LoadIRImage(&stream, file.c_str(), &length), SDK_SUCCESS);
  opened_.push_back(stream);
  IRHeader header{};
  IRHeaderExt ext;
  std::memset(&ext, 0xAB, sizeof ext);
  int32_t offset = 0;
  EXPECT_EQ(GetIRHeaders(stream, &header, &ext, &offset), SDK_SUCCESS);
  EXPECT_EQ(offset, 21);
  EXPECT_EQ(ext.recorder, 0);
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(&ext)[1], 0xAB);
  EXPECT_EQ(std::memcmp(&header, &written, sizeof header), 0);
}

TEST_F(StreamFile, ExtendedHeaderRoundTripsWhole) {
  const std::string file = path("v32.hxr");
  IRStreamHandle stream = nullptr;
  const auto header = headerOf(32, 384, 288);
  const auto ext = extensionOf(32, 0x20);
  ASSERT_EQ(SaveIRHeader(&stream, file.c_str(), &header, &ext), SDK_SUCCESS);
  ASSERT_EQ(CloseIRStream(stream), SDK_SUCCESS);

  int32_t length = 0;
  ASSERT_EQ(LoadIRImage(&stream, file.c_str(), &length), SDK_SUCCESS);
  opened_.push_back(stream);
  EXPECT_EQ(length, 1022);
  IRHeader readHeader{};
  IRHeaderExt readExt{};
  int32_t offset = 0;
  EXPECT_EQ(GetIRHeader(stream, &readHeader, &offset), SDK_SUCCESS);
  EXPECT_EQ(offset, 21);
  EXPECT_EQ(GetIRHeaders(stream, &readHeader, &readExt, &offset), SDK_SUCCESS);
  EXPECT_EQ(offset, 1022);
  EXPECT_EQ(std::memcmp(&readHeader, &header, sizeof header), 0);
  EXPECT_EQ(std::memcmp(&readExt, &ext, sizeof ext), 0);
}

// Files of the first generation had a 17-byte header before the extension; they are told
// apart by the camera version and model the 21-byte reading finds at extension bytes 33, 34.
struct OldHeader {
  const char* name;
  uint8_t atExt33, atExt34;  // the bytes a 21-byte reading sees there
  int32_t offset;
};

class SeventeenByteHeader : public StreamFile, public ::testing::WithParamInterface<OldHeader> {};

TEST_P(SeventeenByteHeader, IsRecognisedOnlyByAnUnknownCameraVersionAndModel) {
  const OldHeader c = GetParam();
  std::vector<uint8_t> bytes(17 + 1001 + 64, 0);
  bytes[0] = 17;
  for (std::size_t i = 17; i < 17 + 1001; ++i) bytes[i] = static_cast<uint8_t>(i * 5 + 1);
  bytes[21 + 33] = c.atExt33;
  bytes[21 + 34] = c.atExt34;
  const std::string file = path("old.hxr");
  writeAll(file, bytes);

  IRStreamHandle stream = nullptr;
  int32_t length = 0;
  ASSERT_EQ(LoadIRImage(&stream, file.c_str(), &length), SDK_SUCCESS);
  opened_.push_back(stream);
  IRHeader header{};
  IRHeaderExt ext{};
  int32_t offset = 0;
  EXPECT_EQ(GetIRHeaders(stream, &header, &ext, &offset), SDK_SUCCESS);
  EXPECT_EQ(offset, c.offset);
  EXPECT_EQ(std::memcmp(&ext, bytes.data() + (c.offset - 1001), sizeof ext), 0);
}

INSTANTIATE_TEST_SUITE_P(Recognition, SeventeenByteHeader,
                         ::testing::Values(OldHeader{"UnknownVersionAndModel", 0x77, 0x66, 1018},
                                           OldHeader{"KnownModelKtFamily", 0x77, 1, 1022},
                                           OldHeader{"KnownModelKs", 0x77, 0x21, 1022},
                                           OldHeader{"KnownVersion33", 33, 0x66, 1022},
                                           OldHeader{"KnownVersion17", 17, 0x66, 1022}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StreamFile, ShortHeadersAreReportedAsUnreadable) {
  const std::string tiny = path("tiny.hxr");
  writeAll(tiny, std::vector<uint8_t>(10, 17));
  const std::string cut = path("cut.hxr");
  std::vector<uint8_t> bytes(21 + 500, 0);
  bytes[0] = 17;
  writeAll(cut, bytes);

  IRStreamHandle stream = nullptr;
  int32_t length = 0;
  IRHeader header{};
  IRHeaderExt ext{};
  int32_t offset = 77;
  ASSERT_EQ(LoadIRImage(&stream, tiny.c_str(), &length), SDK_SUCCESS);
  opened_.push_back(stream);
  EXPECT_EQ(GetIRHeader(stream, &header, &offset), SDK_ERR_BUFFER);
  EXPECT_EQ(GetIRHeaders(stream, &header, &ext, &offset), SDK_ERR_BUFFER);
  EXPECT_EQ(offset, 77);

  ASSERT_EQ(LoadIRImage(&stream, cut.c_str(), &length), SDK_SUCCESS);
  opened_.push_back(stream);
  EXPECT_EQ(GetIRHeaders(stream, &header, &ext, &offset), SDK_ERR_BUFFER);
  EXPECT_EQ(offset, 521);
}

// ---------------------------------------------------------------------------------------
// File names.

struct NameCase {
  const char* name;
  SdkStatus status;
};

class FileNames : public StreamFile, public ::testing::WithParamInterface<NameCase> {};

TEST_P(FileNames, OnlyNamesEndingInTheExtensionInAnyCaseOpen) {
  const NameCase c = GetParam();
  const std::string file = path(c.name);
  // A valid container, so that a refusal can come from the name alone.
  HXRFileHeader created{};
  IRStreamHandle stream = nullptr;
  ASSERT_EQ(HXRFileOpen(&stream, file.c_str(), 1, &created), SDK_SUCCESS);
  ASSERT_EQ(CloseIRStream(stream), SDK_SUCCESS);

  stream = nullptr;
  int32_t length = 0;
  EXPECT_EQ(LoadIRImage(&stream, file.c_str(), &length), c.status);
  EXPECT_EQ(stream != nullptr, c.status == SDK_SUCCESS);
  opened_.push_back(stream);
  stream = nullptr;
  HXRFileHeader header{};
  EXPECT_EQ(HXRFileOpen(&stream, file.c_str(), 0, &header), c.status);
  EXPECT_EQ(stream != nullptr, c.status == SDK_SUCCESS);
  opened_.push_back(stream);
}

INSTANTIATE_TEST_SUITE_P(Names, FileNames,
                         ::testing::Values(NameCase{"clip.hxr", SDK_SUCCESS},
                                           NameCase{"CLIP.HXR", SDK_SUCCESS},
                                           NameCase{"clip.HxR", SDK_SUCCESS},
                                           NameCase{"clip.hxr.bak", SDK_ERR_OPEN_FILE},
                                           NameCase{"clip.hxr~", SDK_ERR_OPEN_FILE},
                                           NameCase{"clip.hx", SDK_ERR_OPEN_FILE},
                                           NameCase{"clip.avi", SDK_ERR_OPEN_FILE}),
                         [](const auto& info) {
                           std::string name = std::to_string(info.index) + "_" + info.param.name;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

TEST_F(StreamFile, LengthOfAFileBeyondThirtyTwoBitsStopsAtTheLargestOffset) {
  const std::string file = path("long.hxr");
  const auto frames = record(file, kLayouts[3], 1);
  std::filesystem::resize_file(file, 3ull << 30);  // sparse
  IRStreamHandle stream = nullptr;
  int32_t length = 0;
  ASSERT_EQ(LoadIRImage(&stream, file.c_str(), &length), SDK_SUCCESS);
  opened_.push_back(stream);
  EXPECT_EQ(length, 0x7FFFFFFF);
  // The reachable part still plays: the first frame is followed by a whole (zero) frame.
  std::vector<uint16_t> pixels(76800);
  int32_t offset = 1022, timing = 0;
  int64_t stamp = 0;
  EXPECT_EQ(GetIRImageFromStream_v2(stream, pixels.data(), 76800, length, &offset, &timing, &stamp,
                                    0, 17),
            SDK_SUCCESS);
  EXPECT_EQ(pixels, frames[0]);
  EXPECT_EQ(GetIRImageFromStream_v2(stream, pixels.data(), 76800, length, &offset, &timing, &stamp,
                                    0, 17),
            SDK_ERR_FRAME_POSITION);
}

TEST_F(StreamFile, EmptyMissingAndFolderNamesAreRefused) {
  IRStreamHandle stream = nullptr;
  int32_t length = 0;
  EXPECT_EQ(LoadIRImage(&stream, "", &length), SDK_ERR_OPEN_FILE);
  EXPECT_EQ(LoadIRImage(&stream, path("absent.hxr").c_str(), &length), SDK_ERR_OPEN_FILE);
  std::filesystem::create_directory(path("folder.hxr"));
  EXPECT_EQ(LoadIRImage(&stream, path("folder.hxr").c_str(), &length), SDK_ERR_OPEN_FILE);
  EXPECT_EQ(stream, nullptr);
  const auto header = headerOf(17, 320, 240);
  const auto ext = extensionOf(17, 1);
  stream = reinterpret_cast<IRStreamHandle>(&length);
  EXPECT_EQ(SaveIRHeader(&stream, path("no/such/folder.hxr").c_str(), &header, &ext),
            SDK_ERR_OPEN_FILE);
  EXPECT_EQ(stream, nullptr);
}

// ---------------------------------------------------------------------------------------
// Writing limits and failures.

TEST_F(StreamFile, FirstLayoutCounterStopsAfter9601Frames) {
  const std::string file = path("count.hxr");
  IRStreamHandle stream = nullptr;
  const auto header = headerOf(16, 320, 240);
  ASSERT_EQ(SaveIRImage(&stream, file.c_str(), &header), SDK_SUCCESS);
  opened_.push_back(stream);
  const auto pixels = framePattern(100, 1);
  uint16_t counter = 9600;
  EXPECT_EQ(SetIRImageToStream(stream, pixels.data(), 100, 1, &counter), SDK_SUCCESS);
  EXPECT_EQ(counter, 9601);
  EXPECT_EQ(SetIRImageToStream(stream, pixels.data(), 100, 1, &counter), SDK_ERR_FRAME_COUNT_OVER);
  EXPECT_EQ(counter, 9601);
  // The count is checked before the handle: nothing else is looked at.
  EXPECT_EQ(SetIRImageToStream(nullptr, pixels.data(), 100, 1, &counter), SDK_ERR_FRAME_COUNT_OVER);
  EXPECT_EQ(sizeOf(file), 21 + 208);
}

TEST_F(StreamFile, FileAlready600MiBLongTakesNoFurtherFrame) {
  const std::string file = path("full.hxr");
  IRStreamHandle stream = nullptr;
  const auto header = headerOf(17, 320, 240);
  const auto ext = extensionOf(17, 1);
  ASSERT_EQ(SaveIRHeader(&stream, file.c_str(), &header, &ext), SDK_SUCCESS);
  opened_.push_back(stream);
  const auto pixels = framePattern(76800, 1);

  // Sparse files: the limit is about the length, not about the bytes on disk.
  std::filesystem::resize_file(file, 629145600);
  uint32_t counter = 5;
  uint16_t counter16 = 5;
  EXPECT_EQ(SetIRImageToStream_v2(stream, pixels.data(), 76800, 1, &counter, 17), SDK_SUCCESS);
  EXPECT_EQ(sizeOf(file), 629145600 + 153608);
  EXPECT_EQ(counter, 6u);

  std::filesystem::resize_file(file, 629145601);
  EXPECT_EQ(SetIRImageToStream_v2(stream, pixels.data(), 76800, 1, &counter, 17),
            SDK_ERR_FRAME_COUNT_OVER);
  EXPECT_EQ(SetIRImageToStream(stream, pixels.data(), 76800, 1, &counter16),
            SDK_ERR_FRAME_COUNT_OVER);
  EXPECT_EQ(sizeOf(file), 629145601);
  EXPECT_EQ(counter, 6u);
  EXPECT_EQ(counter16, 5);
}

TEST_F(StreamFile, FrameBeyondTheReachOfAThirtyTwoBitOffsetIsRefused) {
  const std::string file = path("huge.hxr");
  IRStreamHandle stream = nullptr;
  const auto header = headerOf(17, 320, 240);
  ASSERT_EQ(SaveIRImage(&stream, file.c_str(), &header), SDK_SUCCESS);
  std::unique_ptr<IRStream> owned(stream);
  // Refused before a byte of it is touched, so the span only has to name the size.
  static const uint16_t anyPixel = 0;
  const int64_t count = 1'100'000'000;
  const std::span<const uint16_t> pixels(&anyPixel, static_cast<std::size_t>(count));
  EXPECT_EQ(irdex::stream::appendStreamFrame(
                *owned, irdex::stream::FrameLayout::forVersion(17, count), pixels, 1, 0),
            SDK_ERR_FRAME_COUNT_OVER);
  EXPECT_EQ(sizeOf(file), 21);
}

TEST_F(StreamFile, FrameThatCannotBeWrittenWholeIsTakenBack) {
  const std::string file = path("disk-full.hxr");
  const Layout layout = kLayouts[3];
  IRStreamHandle stream = nullptr;
  const auto header = headerOf(17, 320, 240);
  const auto ext = extensionOf(17, 1);
  ASSERT_EQ(SaveIRHeader(&stream, file.c_str(), &header, &ext), SDK_SUCCESS);
  opened_.push_back(stream);
  const auto first = framePattern(76800, 1);
  const auto second = framePattern(76800, 2);
  uint32_t counter = 0;
  ASSERT_EQ(SetIRImageToStream_v2(stream, first.data(), 76800, 1, &counter, 17), SDK_SUCCESS);

  // A file size limit stands in for a full disk: the frame breaks off half-way.
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit limited = old;
  limited.rlim_cur = static_cast<rlim_t>(1022 + layout.frameBytes + layout.frameBytes / 2);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const SdkStatus status = SetIRImageToStream_v2(stream, second.data(), 76800, 1, &counter, 17);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(status, SDK_ERR_WRITE_IR_IMAGE);
  EXPECT_EQ(counter, 1u);
  EXPECT_EQ(sizeOf(file), 1022 + layout.frameBytes);
  ASSERT_EQ(SetIRImageToStream_v2(stream, second.data(), 76800, 1, &counter, 17), SDK_SUCCESS);

  Reader reader = open(file, layout);
  auto pixels = pixelBuffer(layout);
  int32_t offset = 1022, timing = 0;
  int64_t stamp = 0;
  EXPECT_EQ(reader.forward(pixels, offset, timing, stamp, false), SDK_SUCCESS);
  expectFrame(pixels, first);
  EXPECT_EQ(reader.forward(pixels, offset, timing, stamp, false), SDK_ERR_END_OF_IR_IMAGE);
  expectFrame(pixels, second);
}

TEST_F(StreamFile, HeaderThatCannotBeWrittenClosesTheFileAndFails) {
  const auto header = headerOf(17, 320, 240);
  const auto ext = extensionOf(17, 1);
  IRStreamHandle stream = nullptr;
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  EXPECT_EQ(SaveIRImage(&stream, "/dev/full", &header), SDK_ERR_OPEN_FILE);
  EXPECT_EQ(SaveIRHeader(&stream, "/dev/full", &header, &ext), SDK_ERR_OPEN_FILE);
  EXPECT_EQ(stream, nullptr);
}

// ---------------------------------------------------------------------------------------
// Missing pointers are reported before any work, in the order the interface names.

struct MissingPointer {
  const char* name;
  std::function<SdkStatus(IRStreamHandle, const char*)> call;
  SdkStatus status;
};

std::ostream& operator<<(std::ostream& out, const MissingPointer& c) { return out << c.name; }

class MissingPointers : public StreamFile, public ::testing::WithParamInterface<MissingPointer> {};

TEST_P(MissingPointers, AreReportedWithTheirStatusAndLeaveTheFileAlone) {
  const std::string file = path("p.hxr");
  IRStreamHandle stream = nullptr;
  const auto header = headerOf(32, 384, 288);
  const auto ext = extensionOf(32, 0x20);
  ASSERT_EQ(SaveIRHeader(&stream, file.c_str(), &header, &ext), SDK_SUCCESS);
  opened_.push_back(stream);
  EXPECT_EQ(GetParam().call(stream, file.c_str()), GetParam().status);
  EXPECT_EQ(sizeOf(file), 1022);
}

std::vector<uint16_t> gPixels(110592 + 384);
uint16_t gCounter16 = 0;
uint32_t gCounter32 = 0;
int32_t gOffset = 1022, gTiming = 0, gLength = 1022;
IRHeader gHeader{};

INSTANTIATE_TEST_SUITE_P(
    Exports, MissingPointers,
    ::testing::Values(
        MissingPointer{"SaveIRHeaderExt",
                       [](auto, auto f) {
                         IRStreamHandle h;
                         return SaveIRHeader(&h, f, &gHeader, nullptr);
                       },
                       SDK_ERR_OPEN_FILE},
        MissingPointer{"SetStream",
                       [](auto, auto) {
                         return SetIRImageToStream(nullptr, gPixels.data(), 10, 1, &gCounter16);
                       },
                       SDK_ERR_OPEN_FILE},
        MissingPointer{"SetV2Pixels",
                       [](auto, auto) {
                         return SetIRImageToStream_v2(nullptr, nullptr, 10, 1, &gCounter32, 32);
                       },
                       SDK_ERR_BUFFER},
        MissingPointer{"SetV2Counter",
                       [](auto s, auto) {
                         return SetIRImageToStream_v2(s, gPixels.data(), 10, 1, nullptr, 32);
                       },
                       SDK_ERR_BUFFER},
        MissingPointer{"SetV2NegativeCount",
                       [](auto s, auto) {
                         return SetIRImageToStream_v2(s, gPixels.data(), -1, 1, &gCounter32, 32);
                       },
                       SDK_ERR_BUFFER},
        MissingPointer{"LoadLength",
                       [](auto, auto f) {
                         IRStreamHandle h;
                         return LoadIRImage(&h, f, nullptr);
                       },
                       SDK_ERR_BUFFER},
        MissingPointer{"HeadersStream",
                       [](auto, auto) { return GetIRHeaders(nullptr, nullptr, nullptr, nullptr); },
                       SDK_ERR_STREAM_BUFFER},
        MissingPointer{"HeadersExt",
                       [](auto s, auto) { return GetIRHeaders(s, &gHeader, nullptr, &gOffset); },
                       SDK_ERR_BUFFER},
        MissingPointer{"ForwardStream",
                       [](auto, auto) {
                         return GetIRImageFromStream_n(nullptr, gPixels.data(), 10, gLength,
                                                       &gOffset, &gTiming, 0, 1);
                       },
                       SDK_ERR_OPEN_FILE},
        MissingPointer{"ForwardStamp",
                       [](auto s, auto) {
                         return GetIRImageFromStream_v2(s, gPixels.data(), 110592, gLength,
                                                        &gOffset, &gTiming, nullptr, 0, 32);
                       },
                       SDK_ERR_BUFFER},
        MissingPointer{"BackwardStamp",
                       [](auto s, auto) {
                         return GetRevIRImageFromStream_v2(s, gPixels.data(), 110592, &gOffset,
                                                           &gTiming, nullptr, 32);
                       },
                       SDK_ERR_BUFFER},
        MissingPointer{"BackwardNegativeCount",
                       [](auto s, auto) {
                         return GetRevIRImageFromStream(s, gPixels.data(), -3, &gOffset, &gTiming);
                       },
                       SDK_ERR_BUFFER},
        MissingPointer{"CloseNothing", [](auto, auto) { return CloseIRStream(nullptr); },
                       SDK_SUCCESS}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
