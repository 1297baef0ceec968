#include <gtest/gtest.h>
#include <irdex.h>
#include <sys/socket.h>
#include <unistd.h>
#include "testing/case_name.h"

#include <cstring>
#include <numeric>
#include <thread>

#include "link_peer.h"
#include "records/byte_order.h"
#include "temperature/ks_slots.h"

namespace irdex::link::testing {
namespace {

Bytes framePayload(std::size_t pixels, uint16_t first = 0) {
  Bytes bytes(pixels * 2);
  for (std::size_t i = 0; i < pixels; ++i) writeLe16(bytes.data() + 2 * i, uint16_t(first + i));
  return bytes;
}

Bytes codes(int16_t a, int16_t b) {
  Bytes bytes(4);
  writeLe16(bytes.data(), uint16_t(a));
  writeLe16(bytes.data() + 2, uint16_t(b));
  return bytes;
}

TEST(GetIRImages, MissingRecordsAreRefusedBeforeAnyRead) {
  FrameRecord record;
  IrdexTimer* slot = nullptr;
  EXPECT_EQ(GetIRImages(-1, &slot, nullptr), -1001);
  EXPECT_EQ(GetIRImages(-1, nullptr, &record.frame), -1001);
  record.frame.pixels = nullptr;
  EXPECT_EQ(GetIRImages(-1, &slot, &record.frame), -1000);
  EXPECT_EQ(record.frame.packetKind, -1);
}

TEST(GetIRImages, ForeignIdentifierGivesMinus12AndOneNakThenKeepAlive) {
  DebugCapture debug;
  Connection link;
  FrameRecord record;
  sendAll(link.camera, packet(6, codes(1, 2), 0x12345678u));
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), -12);
  const Bytes nak = receivePacket(link.camera);
  EXPECT_EQ(nak, packet(21, codes(35, 1)));
  EXPECT_EQ(receivePacket(link.camera), keepAlivePacket());
  EXPECT_EQ(debug.lines(),
            std::vector<std::string>{"Invalid Packet Header ID [56594E02:12345678]\r\n"});
  // Only the 16 header bytes were consumed: the payload is read as the next packet start.
  EXPECT_EQ(record.frame.pendingBytes, 4u);
}

TEST(GetIRImages, TwoPacketsInOneReceiveAreTwoCallsTheSecondWithoutTheSocket) {
  Connection link;
  FrameRecord record;
  Bytes system(64, 0);
  writeLe32(system.data() + 10, 13031203u);
  sendAll(link.camera, concat({packet(6, codes(3, 4)), packet(48, system)}));
  ASSERT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
  EXPECT_EQ(record.frame.packetKind, 0);
  EXPECT_EQ(record.frame.ackCode1, 3);
  EXPECT_EQ(record.frame.ackCode2, 4);
  ASSERT_EQ(record.frame.pendingBytes, 80u);
  // Socket -1: the whole second packet must come from the staging buffer.
  IrdexTimer* none = nullptr;
  ASSERT_EQ(GetIRImages(-1, &none, &record.frame), 1);
  EXPECT_EQ(record.frame.packetKind, 13);
  EXPECT_EQ(record.frame.sysWord, 13031203u);
  EXPECT_EQ(record.frame.pendingBytes, 0u);
}

TEST(GetIRImages, NakGivesMinus100WithItsCodes) {
  Connection link;
  FrameRecord record;
  sendAll(link.camera, packet(21, codes(9, 2)));
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), -100);
  EXPECT_EQ(record.frame.packetKind, 1);
  EXPECT_EQ(record.frame.ackCode1, 9);
  EXPECT_EQ(record.frame.ackCode2, 2);
}

TEST(GetIRImages, DeviceInformationFillsTheThreeWords) {
  Connection link;
  FrameRecord record;
  sendAll(link.camera, packet(162, Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
  EXPECT_EQ(record.frame.packetKind, 23);
  EXPECT_EQ(record.frame.devWord1, 0x04030201u);
  EXPECT_EQ(record.frame.devWord2, 0x0605);
  EXPECT_EQ(record.frame.devWord3, 0x0807);
}

TEST(GetIRImages, UnsupportedTypeIsMinus20AndTheStreamStaysInStep) {
  DebugCapture debug;
  Connection link;
  FrameRecord record;
  sendAll(link.camera, concat({packet(0x99, Bytes(100, 0x55)), packet(6, codes(1, 1))}));
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), -20);
  EXPECT_EQ(debug.lines(), std::vector<std::string>{"Not support packet type [0099]\r\n"});
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
  EXPECT_EQ(record.frame.packetKind, 0);
}

TEST(GetIRImages, ImpossibleLengthsAreRefusedAndLogged) {
  LogCapture log;
  for (const int64_t length : {0LL, 15LL, 615697LL, 0xFFFFFFFFLL}) {
    Connection link;
    FrameRecord record;
    sendAll(link.camera, packet(35, {}, 0x56594E02u, length));
    EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), -12) << length;
  }
  EXPECT_EQ(log.entries().size(), 4u);
}

TEST(GetIRImages, LargestFrameLengthIsAccepted) {
  Connection link;
  FrameRecord record;
  record.setHeader(20, 1);
  const Bytes payload = framePayload(640 * 481);
  std::thread camera([&] { sendAll(link.camera, packet(35, payload)); });
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
  camera.join();
  EXPECT_EQ(record.frame.packetKind, 5);
  EXPECT_EQ(std::memcmp(record.pixels.data(), payload.data(), payload.size()), 0);
}

TEST(GetIRImages, FrameLargerThanCapacityDeliversCapacityAndOneDebugLine) {
  DebugCapture debug;
  Connection link;
  FrameRecord record(76800);
  record.setHeader(20, 1);
  const Bytes payload = framePayload(307840, 1);
  std::thread camera([&] { sendAll(link.camera, packet(35, payload)); });
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
  camera.join();
  EXPECT_EQ(std::memcmp(record.pixels.data(), payload.data(), 76800 * 2), 0);
  EXPECT_EQ(debug.lines(),
            std::vector<std::string>{"Invalid raw data buffer size [76800:307840]\r\n"});
  EXPECT_EQ(record.frame.pendingBytes, 0u);  // the whole payload was consumed
}

TEST(GetIRImages, ShortFrameLeavesTheRestZero) {
  Connection link;
  FrameRecord record(76800);
  record.setHeader(5, 0, 0);
  sendAll(link.camera, packet(35, framePayload(1000, 7)));
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
  EXPECT_EQ(record.pixels[999], 1006);
  EXPECT_TRUE(std::all_of(record.pixels.begin() + 1000, record.pixels.end(),
                          [](uint16_t v) { return v == 0; }));
}

struct SizeCase {
  uint8_t version, model, sizeCode;
  int32_t status;
  uint32_t pixels;
};

class FrameSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(FrameSize, FollowsVersionModelAndSizeCode) {
  const SizeCase c = GetParam();
  Connection link;
  FrameRecord record(640 * 481 + 1);
  record.setHeader(c.version, c.model, c.sizeCode);
  // One pixel more than the frame holds (where a packet can carry it) is not delivered.
  const Bytes payload = framePayload(c.pixels < 307840 ? c.pixels + 1 : c.pixels, 1);
  std::thread camera([&] { sendAll(link.camera, packet(35, payload)); });
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), c.status);
  camera.join();
  if (c.status == 1) {
    if (c.pixels > 0) {
      EXPECT_EQ(record.pixels[c.pixels - 1], uint16_t(c.pixels));
    }
    EXPECT_EQ(record.pixels[c.pixels], 0xEEEE);
  }
  EXPECT_EQ(record.frame.pendingBytes, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FrameSize,
    ::testing::Values(SizeCase{0, 0, 0, 1, 76800}, SizeCase{16, 0, 1, 1, 110592},
                      SizeCase{3, 0, 7, 1, 0}, SizeCase{17, 1, 0, 1, 307840},
                      SizeCase{31, 1, 1, 1, 307840}, SizeCase{32, 0x20, 0, 1, 110976},
                      SizeCase{32, 0x21, 0, 1, 307840}, SizeCase{5, 1, 0, -1002, 100},
                      SizeCase{20, 0x21, 0, -1002, 100}, SizeCase{40, 1, 0, -1002, 100}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName("V", int(p.version), "Model", int(p.model), "Size", int(p.sizeCode));
    });

TEST(GetIRImages, ByteImageOfOlderGenerationsOnly) {
  Connection link;
  FrameRecord record(100);
  record.setHeader(20, 1);
  Bytes image(307840);
  std::iota(image.begin(), image.end(), uint8_t{0});
  std::thread camera([&] { sendAll(link.camera, packet(53, image)); });
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
  camera.join();
  EXPECT_EQ(record.frame.packetKind, 16);
  EXPECT_EQ(std::memcmp(record.pixels.data(), image.data(), 200), 0);

  record.setHeader(33, 0x20);
  sendAll(link.camera, concat({packet(53, Bytes(50, 1)), packet(6, codes(0, 0))}));
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), -20);
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
}

TEST(GetIRImages, HeaderOfAnyLengthTakesAtMost512Bytes) {
  Connection link;
  FrameRecord record;
  Bytes header(600, 0x11);
  header[4] = 20;
  header[5] = 1;
  sendAll(link.camera, concat({packet(37, header), packet(6, codes(5, 6))}));
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
  EXPECT_EQ(record.frame.packetKind, 8);
  EXPECT_EQ(record.frame.header.bytes[511], 0x11);
  EXPECT_EQ(record.frame.sysWord, 0u);  // nothing beyond the header was touched
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
  EXPECT_EQ(record.frame.ackCode2, 6);

  Bytes shortHeader(100, 0x22);
  shortHeader[4] = 20;
  shortHeader[5] = 1;
  sendAll(link.camera, packet(37, shortHeader));
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
  EXPECT_EQ(record.frame.header.bytes[99], 0x22);
  EXPECT_EQ(record.frame.header.bytes[100], 0);
}

TEST(GetIRImages, FirstGenerationHeaderIsRearranged) {
  Connection link;
  FrameRecord record;
  Bytes received(512);
  for (int i = 0; i < 512; ++i) received[i] = uint8_t(i * 3 + 1);
  received[4] = 12;  // version
  sendAll(link.camera, packet(37, received));
  ASSERT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
  const uint8_t* h = record.frame.header.bytes;
  for (int i = 0; i <= 4; ++i) EXPECT_EQ(h[i], received[i]) << i;
  EXPECT_EQ(h[5], 0);  // model
  EXPECT_EQ(h[6], received[11]);
  EXPECT_EQ(h[7], received[52]);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(h[8 + i], received[5 + i]);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(h[14 + i], received[12 + i]);
  EXPECT_EQ(h[30], received[30]);  // not moved: keeps what was received
  for (int i = 0; i < 24; ++i) EXPECT_EQ(h[31 + i], received[28 + i]);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(h[55 + i], received[53 + i]);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(readLe16(h + 63 + 2 * i), received[61 + i]);
  EXPECT_EQ(h[71], received[65]);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(readLe16(h + 72 + 2 * i), received[66 + i]);
  for (int i = 80; i < 512; ++i) EXPECT_EQ(h[i], received[i]) << i;

  received[4] = 10;  // the oldest layout also fixes two values
  sendAll(link.camera, packet(37, received));
  ASSERT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
  EXPECT_EQ(readLe16(record.frame.header.bytes + 128), 256);
  EXPECT_EQ(record.frame.header.bytes[7], 0);
}

// KS camera 0x20 with range 0 calibrated from count 1000 (-20.0 degrees) to 13000
// (100.0 degrees): 0.01 degrees per count; an offset of +2.5 degrees is 250 counts.
class KsFrames : public ::testing::Test {
 protected:
  static constexpr int kW = 384, kH = 288;
  void connectHeader(int16_t offset10) {
    sendAll(link.camera, packet(37, ksHeader(33, 0x20, 1000, 13000, -200, 1000, offset10)));
    ASSERT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
    ASSERT_NE(record.frame.ksCalib, nullptr);
    ASSERT_NE(record.frame.ksSmoothed, nullptr);
  }
  Bytes frameWithTrailer(uint32_t mark, int layoutBase) {
    Bytes bytes = framePayload(kW * (kH + 1));
    for (int i = 0; i < kW * kH; ++i) writeLe16(bytes.data() + 2 * i, 5000);
    writeLe16(bytes.data(), 700);        // still below the range after the shift
    writeLe16(bytes.data() + 2, 12900);  // shifted beyond the top
    uint8_t* e = bytes.data() + 2 * kW * kH;
    std::memset(e, 0, 2 * kW);
    writeLe32(e, mark);
    const int pairs = layoutBase, lastPair = layoutBase + 40, sums = layoutBase + 44,
              counts = layoutBase + 88, lastSum = layoutBase + 84, lastCount = layoutBase + 128,
              raw = layoutBase + 132;
    for (int j = 0; j < 10; ++j) {
      writeLe16(e + pairs + 4 * j, uint16_t(2000 + j));
      writeLe16(e + pairs + 4 * j + 2, 12800);
      writeLe32(e + sums + 4 * j, 100000u + j);
      writeLe32(e + counts + 4 * j, 10u + j);
    }
    writeLe16(e + lastPair, 1100);
    writeLe16(e + lastPair + 2, 65400);
    writeLe32(e + lastSum, 7u);
    writeLe32(e + lastCount, 3u);
    writeLe16(e + raw, 65500);
    return bytes;
  }
  Connection link;
  FrameRecord record{kW * (kH + 1)};
};

TEST_F(KsFrames, DriftCorrectionShiftsAndLimitsImageAndBothTrailerLayouts) {
  connectHeader(25);
  record.frame.driftCorrection = 1;
  for (const auto& [mark, base] : {std::pair{0x56594E02u, 108}, std::pair{0x56594E03u, 152}}) {
    const Bytes payload = frameWithTrailer(mark, base);
    std::thread camera([&] { sendAll(link.camera, packet(35, payload)); });
    ASSERT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
    camera.join();
    const uint16_t* p = record.pixels.data();
    EXPECT_EQ(p[0], 1000);   // 950 limited to the bottom
    EXPECT_EQ(p[1], 13000);  // 13150 limited to the top
    EXPECT_EQ(p[2], 5250);
    const uint8_t* e = reinterpret_cast<const uint8_t*>(p + kW * kH);
    EXPECT_EQ(readLe32(e), mark);
    for (int j = 0; j < 10; ++j) {
      EXPECT_EQ(readLe16(e + base + 4 * j), 2250 + j);
      EXPECT_EQ(readLe16(e + base + 4 * j + 2), 13000);
      EXPECT_EQ(readLe32(e + base + 44 + 4 * j), 100000u + j + (10u + j) * 250u);
    }
    EXPECT_EQ(readLe16(e + base + 40), 1350);
    EXPECT_EQ(readLe16(e + base + 42), 1000);  // 65400 + 250 wraps to 114, then limited
    EXPECT_EQ(readLe32(e + base + 84), 7u + 3u * 250u);
    EXPECT_EQ(readLe16(e + base + 132), uint16_t(65500 + 250));  // not limited
    // The mean image follows the corrected frame.
    EXPECT_EQ(record.frame.ksSmoothed[kW * 100 + 100], 5250);
  }
}

TEST_F(KsFrames, UnknownTrailerMarkAndSwitchedOffCorrectionLeaveBytesAlone) {
  connectHeader(-25);
  const Bytes payload = frameWithTrailer(0x12345678u, 108);
  std::thread camera([&] {
    sendAll(link.camera, packet(35, payload));
    sendAll(link.camera, packet(35, payload));
  });
  record.frame.driftCorrection = 1;
  ASSERT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
  EXPECT_EQ(record.pixels[2], 4750);
  EXPECT_EQ(std::memcmp(record.pixels.data() + kW * kH, payload.data() + 2 * kW * kH, 2 * kW), 0);
  record.frame.driftCorrection = 0;
  ASSERT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
  camera.join();
  EXPECT_EQ(std::memcmp(record.pixels.data(), payload.data(), payload.size()), 0);
}

TEST(GetIRImages, KsFrameWithoutAFreeSlotIsAClearError) {
  // Twenty other cameras hold every slot.
  std::vector<std::unique_ptr<FrameRecord>> others;
  for (int i = 0; i < ks::kSlotCount; ++i) {
    others.push_back(std::make_unique<FrameRecord>(1));
    auto header = ksHeader(33, 0x20, 1000, 13000, -200, 1000, 0);
    std::memcpy(others.back()->frame.header.bytes, header.data(), 512);
    ASSERT_EQ(ks::remakeSlotForHeader(others.back()->frame, 1000 + i), 1);
  }
  Connection link;
  FrameRecord record(384 * 289);
  sendAll(link.camera, packet(37, ksHeader(33, 0x20, 1000, 13000, -200, 1000, 0)));
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);
  EXPECT_EQ(record.frame.ksCalib, nullptr);
  EXPECT_EQ(record.frame.ksSmoothed, nullptr);
  const Bytes payload = framePayload(384 * 289);
  std::thread camera([&] {
    sendAll(link.camera, concat({packet(35, payload), packet(6, codes(1, 2))}));
  });
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), -1001);
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), 1);  // still in step
  camera.join();
}

TEST(GetIRImages, CameraClosingIsMinus10AndLogged) {
  LogCapture log;
  Connection link;
  FrameRecord record;
  sendAll(link.camera, Bytes{0x02, 0x4E});
  ::shutdown(link.camera, SHUT_WR);
  EXPECT_EQ(GetIRImages(link.program, &link.keepAlive, &record.frame), -10);
  const auto entries = log.entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_NE(entries[0].find("\trecv\t"), std::string::npos);
}

TEST(GetIRImages, CloseConnectFromAnotherThreadWakesTheReceiver) {
  Connection link;
  FrameRecord record;
  SdkStatus status = 0;
  IrdexTimer* none = nullptr;
  std::thread receiver(
      [&, socket = link.program] { status = GetIRImages(socket, &none, &record.frame); });
  // The receiver may or may not be waiting yet; either way it must come back.
  CloseConnect(&link.program, link.keepAlive);
  link.keepAlive = nullptr;
  receiver.join();
  EXPECT_TRUE(status == -10 || status == -11) << status;
}

}  // namespace
}  // namespace irdex::link::testing
