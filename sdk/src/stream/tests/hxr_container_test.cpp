#include <gtest/gtest.h>
#include <irdex.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "stream/hxr_container.h"
#include "stream_test_support.h"

namespace {

using stream_test::framePattern;
using stream_test::le32;
using stream_test::le64;

constexpr uint16_t kWidth = 64;
constexpr uint16_t kHeight = 48;
constexpr uint32_t kPixels = kWidth * kHeight;
constexpr int64_t kStride = 2 * kPixels + 260;
constexpr uint16_t kGuard = 0xBEEF;

// A caller's frame buffer: the 260-byte head, then the pixels, then a guard that no read
// may reach.
struct FrameBuffer {
  explicit FrameBuffer(uint32_t pixels = kPixels)
      : bytes(260 + 2 * pixels + 64, 0), pixelCount(pixels) {
    for (std::size_t i = 260 + 2 * pixels; i < bytes.size(); i += 2) {
      bytes[i] = kGuard & 0xFF;
      bytes[i + 1] = kGuard >> 8;
    }
  }
  HXRFrame* frame() { return reinterpret_cast<HXRFrame*>(bytes.data()); }
  std::vector<uint16_t> pixels() const {
    std::vector<uint16_t> out(pixelCount);
    std::memcpy(out.data(), bytes.data() + 260, 2 * pixelCount);
    return out;
  }
  void setPixels(const std::vector<uint16_t>& pixels) {
    std::memcpy(bytes.data() + 260, pixels.data(), 2 * pixels.size());
  }
  bool guardIntact() const {
    for (std::size_t i = 260 + 2 * pixelCount; i < bytes.size(); i += 2) {
      if (bytes[i] != (kGuard & 0xFF) || bytes[i + 1] != (kGuard >> 8)) return false;
    }
    return true;
  }
  std::vector<uint8_t> bytes;
  uint32_t pixelCount;
};

class Container : public stream_test::TempFolder {
 protected:
  HXRFileHeader callerHeader(int32_t frameRate) {
    HXRFileHeader header{};
    header.width = kWidth;
    header.height = kHeight;
    header.user5 = 0x55;
    for (std::size_t i = 0; i < sizeof header.user11; ++i) header.user11[i] = uint8_t(i + 11);
    for (std::size_t i = 0; i < sizeof header.user60; ++i) header.user60[i] = uint8_t(i * 3);
    header.frameCount = 77;  // left over from an earlier recording
    header.frameRate = frameRate;
    return header;
  }

  // Creates a container of `count` frames; frame k (from 1) holds framePattern(k).
  void createWithFrames(const std::string& file, int count) {
    HXRFileHeader header = callerHeader(25);
    IRStreamHandle stream = nullptr;
    ASSERT_EQ(HXRFileOpen(&stream, file.c_str(), 1, &header), SDK_SUCCESS);
    FrameBuffer buffer;
    buffer.frame()->pixelCount = kPixels;
    for (int k = 1; k <= count; ++k) {
      buffer.setPixels(framePattern(kPixels, k));
      ASSERT_EQ(AppendNewFrame(stream, buffer.frame(), 1), SDK_SUCCESS);
    }
    ASSERT_EQ(CloseIRStream(stream), SDK_SUCCESS);
  }

  IRStreamHandle openForReading(const std::string& file, HXRFileHeader& header) {
    IRStreamHandle stream = nullptr;
    EXPECT_EQ(HXRFileOpen(&stream, file.c_str(), 0, &header), SDK_SUCCESS);
    opened_.push_back(stream);
    return stream;
  }
  void TearDown() override {
    for (auto* stream : opened_) CloseIRStream(stream);
    TempFolder::TearDown();
  }
  std::vector<IRStreamHandle> opened_;
};

TEST_F(Container, CreationWritesTheSignedHeaderAndKeepsTheCallersBytes) {
  const std::string file = path("new.hxr");
  HXRFileHeader header = callerHeader(0);
  const HXRFileHeader original = header;
  IRStreamHandle stream = nullptr;
  ASSERT_EQ(HXRFileOpen(&stream, file.c_str(), 1, &header), SDK_SUCCESS);
  opened_.push_back(stream);

  const auto bytes = readAll(file);
  ASSERT_EQ(bytes.size(), 1028u);
  EXPECT_EQ(std::memcmp(bytes.data(), "HXR", 3), 0);
  EXPECT_EQ(bytes[3] | (bytes[4] << 8), 1024);
  EXPECT_EQ(bytes[5], 0x55);
  EXPECT_EQ(bytes[6], 20);
  EXPECT_EQ(bytes[7] | (bytes[8] << 8), kWidth);
  EXPECT_EQ(bytes[9] | (bytes[10] << 8), kHeight);
  EXPECT_EQ(std::memcmp(bytes.data() + 11, original.user11, 17), 0);
  EXPECT_EQ(std::memcmp(bytes.data() + 60, original.user60, 968), 0);
  const auto month = static_cast<int32_t>(le32(bytes, 32));
  EXPECT_TRUE(month >= 1 && month <= 12) << month;
  EXPECT_GE(static_cast<int32_t>(le32(bytes, 28)), 2000);
  EXPECT_EQ(le32(bytes, 52), 0u);   // no frame yet, whatever the record held
  EXPECT_EQ(le32(bytes, 56), 30u);  // the default frame rate
  // The caller's record is what went to disk.
  EXPECT_EQ(std::memcmp(&header, bytes.data(), 1028), 0);
}

TEST_F(Container, WithoutLocalTimeTheDateIsZeroAndTheClockMinusOne) {
  HXRFileHeader header = callerHeader(12);
  std::unique_ptr<IRStream> stream;
  ASSERT_EQ(irdex::stream::createContainer(path("clockless.hxr"), header, std::nullopt, stream),
            SDK_SUCCESS);
  const int32_t expected[] = {0, 0, 0, -1, -1, -1, 0, 12};
  const auto bytes = readAll(path("clockless.hxr"));
  for (std::size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(static_cast<int32_t>(le32(bytes, 28 + 4 * i)), expected[i]) << "field " << i;
  }
}

TEST_F(Container, AppendedFramesLieOnTheStrideWithTheirNumbersAndTheCountFollows) {
  const std::string file = path("rec.hxr");
  HXRFileHeader header = callerHeader(25);
  IRStreamHandle stream = nullptr;
  ASSERT_EQ(HXRFileOpen(&stream, file.c_str(), 1, &header), SDK_SUCCESS);
  opened_.push_back(stream);
  FrameBuffer buffer;
  HXRFrame* frame = buffer.frame();
  frame->mark = 'q';
  frame->user1 = 0x11;
  frame->zero = 0x99;
  frame->user3 = 0x33;
  frame->pixelCount = kPixels;
  std::memset(frame->user20, 0x20, sizeof frame->user20);

  for (uint32_t k = 1; k <= 3; ++k) {
    buffer.setPixels(framePattern(kPixels, static_cast<int>(k)));
    const int64_t before = std::time(nullptr);
    ASSERT_EQ(AppendNewFrame(stream, frame, 1), SDK_SUCCESS);
    const int64_t after = std::time(nullptr);
    EXPECT_EQ(frame->frameNumber, k);
    // On disk at once: the frame and the header's count.
    const auto bytes = readAll(file);
    ASSERT_EQ(static_cast<int64_t>(bytes.size()), 1028 + k * kStride);
    EXPECT_EQ(le32(bytes, 52), k);
    const std::size_t at = static_cast<std::size_t>(1028 + (k - 1) * kStride);
    EXPECT_EQ(bytes[at], 'X');
    EXPECT_EQ(bytes[at + 1], 0x11);
    EXPECT_EQ(bytes[at + 2], 0);
    EXPECT_EQ(bytes[at + 3], 0x33);
    EXPECT_EQ(le32(bytes, at + 4), k);
    EXPECT_GE(le64(bytes, at + 8), before);
    EXPECT_LE(le64(bytes, at + 8), after);
    EXPECT_EQ(le32(bytes, at + 16), kPixels);
    EXPECT_EQ(bytes[at + 20], 0x20);
    const auto pixels = framePattern(kPixels, static_cast<int>(k));
    EXPECT_EQ(std::memcmp(bytes.data() + at + 260, pixels.data(), 2 * kPixels), 0);
  }
}

TEST_F(Container, AppendLimitsAndRefusals) {
  const std::string file = path("limits.hxr");
  HXRFileHeader header = callerHeader(25);
  IRStreamHandle stream = nullptr;
  ASSERT_EQ(HXRFileOpen(&stream, file.c_str(), 1, &header), SDK_SUCCESS);
  opened_.push_back(stream);
  FrameBuffer buffer;
  HXRFrame* frame = buffer.frame();
  frame->pixelCount = kPixels;

  EXPECT_EQ(AppendNewFrame(stream, frame, 0), SDK_ERR_BUFFER);
  EXPECT_EQ(AppendNewFrame(stream, nullptr, 1), SDK_ERR_BUFFER);
  frame->frameNumber = 9601;
  EXPECT_EQ(AppendNewFrame(stream, frame, 1), SDK_ERR_FRAME_COUNT_OVER);
  EXPECT_EQ(AppendNewFrame(nullptr, frame, 1), SDK_ERR_FRAME_COUNT_OVER);
  frame->frameNumber = 9600;
  EXPECT_EQ(AppendNewFrame(nullptr, frame, 1), SDK_ERR_OPEN_FILE);
  // A pixel count other than the container's W x H would break the frame stride.
  frame->pixelCount = kPixels + 1;
  EXPECT_EQ(AppendNewFrame(stream, frame, 1), SDK_ERR_BUFFER);
  EXPECT_EQ(frame->frameNumber, 9600u);
  EXPECT_EQ(sizeOf(file), 1028);
  frame->pixelCount = kPixels;
  EXPECT_EQ(AppendNewFrame(stream, frame, 1), SDK_SUCCESS);
  EXPECT_EQ(frame->frameNumber, 9601u);
  EXPECT_EQ(le32(readAll(file), 52), 9601u);
}

struct Query {
  const char* name;
  uint32_t currentNumber;  // the record's frame number before the call
  int32_t mode;
  int32_t wrap;
  SdkStatus status;
  uint32_t deliveredNumber;  // 0: nothing delivered
};

std::ostream& operator<<(std::ostream& out, const Query& q) { return out << q.name; }

class QueryModes : public Container, public ::testing::WithParamInterface<Query> {};

TEST_P(QueryModes, ChooseTheFrameByNumber) {
  const Query q = GetParam();
  const std::string file = path("four.hxr");
  createWithFrames(file, 4);
  HXRFileHeader header{};
  IRStreamHandle stream = openForReading(file, header);
  ASSERT_EQ(header.frameCount, 4);
  FrameBuffer buffer;
  buffer.frame()->frameNumber = q.currentNumber;
  EXPECT_EQ(QueryFrame(stream, header, buffer.frame(), 0, q.mode, q.wrap), q.status);
  EXPECT_TRUE(buffer.guardIntact());
  if (q.deliveredNumber) {
    EXPECT_EQ(buffer.frame()->frameNumber, q.deliveredNumber);
    EXPECT_EQ(buffer.frame()->mark, 'X');
    EXPECT_EQ(buffer.pixels(), framePattern(kPixels, static_cast<int>(q.deliveredNumber)));
  } else {
    EXPECT_EQ(buffer.frame()->frameNumber, q.currentNumber);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, QueryModes,
    ::testing::Values(Query{"NextFromFirst", 1, 3, 0, SDK_SUCCESS, 2},
                      Query{"NextFromNothing", 0, 3, 0, SDK_SUCCESS, 1},
                      Query{"NextAtTheCountEnds", 4, 3, 0, SDK_ERR_END_OF_IR_IMAGE, 0},
                      Query{"NextAtTheCountWraps", 4, 3, 1, SDK_SUCCESS, 1},
                      Query{"NextBeyondTheCountWraps", 900, 3, 1, SDK_SUCCESS, 1},
                      Query{"PreviousFromThird", 3, 4, 0, SDK_SUCCESS, 2},
                      Query{"PreviousFromSecond", 2, 4, 0, SDK_SUCCESS, 1},
                      Query{"PreviousFromFirstStarts", 1, 4, 1, SDK_ERR_START_OF_IR_IMAGE, 0},
                      Query{"First", 3, 5, 0, SDK_SUCCESS, 1},
                      Query{"LastByAnyOtherMode", 1, 0, 0, SDK_SUCCESS, 4},
                      Query{"LastByMode9", 1, 9, 0, SDK_SUCCESS, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Container, ReaderSeesNewFramesOnlyThroughAFreshHeader) {
  const std::string file = path("live.hxr");
  HXRFileHeader written = callerHeader(25);
  IRStreamHandle writer = nullptr;
  ASSERT_EQ(HXRFileOpen(&writer, file.c_str(), 1, &written), SDK_SUCCESS);
  opened_.push_back(writer);
  FrameBuffer appended;
  appended.frame()->pixelCount = kPixels;
  appended.setPixels(framePattern(kPixels, 1));
  ASSERT_EQ(AppendNewFrame(writer, appended.frame(), 1), SDK_SUCCESS);

  HXRFileHeader header{};
  IRStreamHandle reader = openForReading(file, header);
  ASSERT_EQ(header.frameCount, 1);
  appended.setPixels(framePattern(kPixels, 2));
  ASSERT_EQ(AppendNewFrame(writer, appended.frame(), 1), SDK_SUCCESS);

  FrameBuffer buffer;
  buffer.frame()->frameNumber = 1;
  EXPECT_EQ(QueryFrame(reader, header, buffer.frame(), 0, 3, 0), SDK_ERR_END_OF_IR_IMAGE);
  IRStreamHandle again = openForReading(file, header);
  EXPECT_EQ(header.frameCount, 2);
  EXPECT_EQ(QueryFrame(again, header, buffer.frame(), 0, 3, 0), SDK_SUCCESS);
  EXPECT_EQ(buffer.pixels(), framePattern(kPixels, 2));
  // The writer's own handle reads as well.
  EXPECT_EQ(QueryFrame(writer, header, buffer.frame(), 0, 5, 0), SDK_SUCCESS);
  EXPECT_EQ(buffer.pixels(), framePattern(kPixels, 1));
}

TEST_F(Container, ForeignOrShortFilesAreRefusedAndLeaveNoHandle) {
  const std::string foreign = path("foreign.hxr");
  std::vector<uint8_t> bytes(2000, 0);
  std::memcpy(bytes.data(), "HXQ", 3);
  writeAll(foreign, bytes);
  const std::string shortFile = path("short.hxr");
  std::memcpy(bytes.data(), "HXR", 3);
  bytes.resize(1027);
  writeAll(shortFile, bytes);

  IRStreamHandle stream = nullptr;
  HXRFileHeader header{};
  EXPECT_EQ(HXRFileOpen(&stream, foreign.c_str(), 0, &header), SDK_ERR_HXR_SIGNATURE);
  EXPECT_EQ(stream, nullptr);
  EXPECT_EQ(HXRFileOpen(&stream, shortFile.c_str(), 2, &header), SDK_ERR_BUFFER);
  EXPECT_EQ(stream, nullptr);
  EXPECT_EQ(HXRFileOpen(&stream, path("absent.hxr").c_str(), 0, &header), SDK_ERR_OPEN_FILE);
  EXPECT_EQ(HXRFileOpen(&stream, path("x.hxr").c_str(), 0, nullptr), SDK_ERR_BUFFER);
  EXPECT_EQ(HXRFileOpen(&stream, path("x.hxr").c_str(), 1, nullptr), SDK_ERR_OPEN_FILE);
  EXPECT_EQ(HXRFileOpen(nullptr, path("x.hxr").c_str(), 1, &header), SDK_ERR_OPEN_FILE);
  EXPECT_EQ(HXRFileOpen(&stream, path("no/folder.hxr").c_str(), 1, &header), SDK_ERR_OPEN_FILE);
  EXPECT_EQ(stream, nullptr);
}

// Containers whose header or frames lie: the caller's buffer holds exactly the header's
// W x H pixels, and no read may go past it or far outside the file.
struct HostileQuery {
  const char* name;
  uint16_t width, height;  // the header the caller passes
  int32_t frameCount;
  uint32_t storedPixelCount;  // what the frame on disk claims
  uint8_t storedMark;
  uint32_t currentNumber;
  int32_t mode;
  SdkStatus status;
};

std::ostream& operator<<(std::ostream& out, const HostileQuery& q) { return out << q.name; }

class HostileContainers : public Container, public ::testing::WithParamInterface<HostileQuery> {};

TEST_P(HostileContainers, GiveAClearStatusAndStayInsideTheBuffer) {
  const HostileQuery q = GetParam();
  const std::string file = path("hostile.hxr");
  createWithFrames(file, 2);
  auto bytes = readAll(file);
  bytes[1028] = q.storedMark;
  bytes[1028 + 16] = static_cast<uint8_t>(q.storedPixelCount);
  bytes[1028 + 17] = static_cast<uint8_t>(q.storedPixelCount >> 8);
  bytes[1028 + 18] = static_cast<uint8_t>(q.storedPixelCount >> 16);
  bytes[1028 + 19] = static_cast<uint8_t>(q.storedPixelCount >> 24);
  writeAll(file, bytes);

  HXRFileHeader header{};
  IRStreamHandle stream = openForReading(file, header);
  header.width = q.width;
  header.height = q.height;
  header.frameCount = q.frameCount;
  const uint32_t bufferPixels = static_cast<uint32_t>(q.width) * q.height;
  FrameBuffer buffer(bufferPixels <= (1u << 22) ? bufferPixels : 0);
  buffer.frame()->frameNumber = q.currentNumber;
  EXPECT_EQ(QueryFrame(stream, header, buffer.frame(), 0, q.mode, 0), q.status);
  EXPECT_TRUE(buffer.guardIntact());
  EXPECT_EQ(buffer.frame()->frameNumber, q.currentNumber);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, HostileContainers,
    ::testing::Values(
        HostileQuery{"FrameClaimsMorePixels", kWidth, kHeight, 2, kPixels * 4, 'X', 0, 5,
                     SDK_ERR_BUFFER},
        HostileQuery{"FrameClaimsFewerPixels", kWidth, kHeight, 2, kPixels - 1, 'X', 0, 5,
                     SDK_ERR_BUFFER},
        HostileQuery{"FrameWithoutItsMark", kWidth, kHeight, 2, kPixels, 'Y', 0, 5,
                     SDK_ERR_FRAME_POSITION},
        HostileQuery{"CountBeyondTheFile", kWidth, kHeight, 40, kPixels, 'X', 0, 0, SDK_ERR_BUFFER},
        HostileQuery{"NoFrameCounted", kWidth, kHeight, 0, kPixels, 'X', 0, 0, SDK_ERR_BUFFER},
        HostileQuery{"NegativeCount", kWidth, kHeight, -3, kPixels, 'X', 0, 0, SDK_ERR_BUFFER},
        HostileQuery{"NumberFarBeyondTheFile", kWidth, kHeight, 0x7FFFFFFF, kPixels, 'X',
                     0x7FFFFF00u, 3, SDK_ERR_BUFFER},
        HostileQuery{"PositionOverflowsAnyFile", 0xFFFF, 0xFFFF, 0x7FFFFFFF, kPixels, 'X',
                     0x7FFFFF00u, 3, SDK_ERR_BUFFER},
        HostileQuery{"PreviousFarBeyondTheFile", 0xFFFF, 0xFFFF, 5, kPixels, 'X', 0xFFFFFFFFu, 4,
                     SDK_ERR_BUFFER}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
