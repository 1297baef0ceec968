#include <gtest/gtest.h>
#include <irdex.h>
#include <sys/socket.h>
#include <unistd.h>
#include "testing/case_name.h"

#include <atomic>
#include <cstring>
#include <thread>

#include "link_peer.h"
#include "records/byte_order.h"

namespace irdex::link::testing {
namespace {

TEST(SendCameraMessage, NakIsTwentyExactBytesFollowedAtOnceByKeepAlive) {
  Connection link;
  EXPECT_EQ(SendCameraMessage(link.program, &link.keepAlive, 1, 35, 1), 1);
  const Bytes expected{0x02, 0x4E, 0x59, 0x56, 0x14, 0, 0,    0, 0x15, 0,
                       0,    0,    0,    0,    0,    0, 0x23, 0, 0x01, 0};
  EXPECT_EQ(receiveExactly(link.camera, 20), expected);
  EXPECT_EQ(receiveExactly(link.camera, 16), keepAlivePacket());
  EXPECT_NE(link.keepAlive, nullptr);
}

struct IndexCase {
  bool toCamera;  // SendMessageToCamera, else SendCameraMessage
  int32_t index;
  uint16_t type;
  uint32_t length;
};

class CommandIndex : public ::testing::TestWithParam<IndexCase> {};

TEST_P(CommandIndex, SelectsTypeAndLength) {
  const IndexCase c = GetParam();
  Connection link;
  if (c.toCamera) {
    SendMessageToCamera(link.program, &link.keepAlive, c.index, 7, 8, 9, 10, 11);
  } else {
    SendCameraMessage(link.program, &link.keepAlive, c.index, 7, 8);
  }
  const Bytes sent = receivePacket(link.camera);
  ASSERT_EQ(sent.size(), c.length);
  const bool callerId = c.toCamera && c.index == 12;
  EXPECT_EQ(readLe32(sent.data()), callerId ? 9u : 0x56594E02u);
  EXPECT_EQ(lengthOf(sent), c.length);
  EXPECT_EQ(typeOf(sent), c.type);
  EXPECT_TRUE(std::all_of(sent.begin() + 10, sent.begin() + 16, [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(receivePacket(link.camera), keepAlivePacket());
}

INSTANTIATE_TEST_SUITE_P(
    BothExports, CommandIndex,
    ::testing::Values(
        IndexCase{false, 0, 6, 20}, IndexCase{false, 1, 21, 20}, IndexCase{false, 2, 32, 16},
        IndexCase{false, 3, 33, 16}, IndexCase{false, 4, 34, 16}, IndexCase{false, 5, 0, 16},
        IndexCase{false, 6, 80, 16}, IndexCase{false, 7, 36, 16}, IndexCase{false, 8, 0, 16},
        IndexCase{false, 10, 0, 16}, IndexCase{false, 13, 0, 16}, IndexCase{false, 14, 51, 16},
        IndexCase{false, 15, 52, 16}, IndexCase{false, 19, 54, 16}, IndexCase{false, 22, 161, 16},
        IndexCase{false, -3, 0, 16}, IndexCase{true, 0, 6, 20}, IndexCase{true, 1, 21, 20},
        IndexCase{true, 2, 32, 16}, IndexCase{true, 5, 0, 16}, IndexCase{true, 6, 80, 16},
        IndexCase{true, 7, 36, 16}, IndexCase{true, 8, 37, 16}, IndexCase{true, 9, 38, 16},
        IndexCase{true, 10, 39, 48}, IndexCase{true, 12, 41, 16}, IndexCase{true, 13, 0, 16},
        IndexCase{true, 14, 0, 16}, IndexCase{true, 19, 54, 16}, IndexCase{true, 22, 0, 16}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName(p.toCamera ? "ToCamera" : "CameraMessage", "Index", p.index);
    });

TEST(SendMessageToCamera, SettingPayloadPacksIdAndValues) {
  Connection link;
  SendMessageToCamera(link.program, &link.keepAlive, 10, 1, 2, 0x11223344u, 5, 0xFFFFFFFFu);
  const Bytes sent = receivePacket(link.camera);
  ASSERT_EQ(sent.size(), 48u);
  const Bytes expected{0x01, 0x00, 0x02, 0x00, 0x44, 0x33, 0x22, 0x11, 5, 0, 0,
                       0,    0xFF, 0xFF, 0xFF, 0xFF, 0,    0,    0,    0, 0, 0,
                       0,    0,    0,    0,    0,    0,    0,    0,    0, 0};
  EXPECT_EQ(Bytes(sent.begin() + 16, sent.end()), expected);
}

TEST(SendMessageToCamera, CallerIdentifierOnlyWhenAsked) {
  Connection link;
  SendMessageToCamera(link.program, &link.keepAlive, 12, 0, 0, 0xA1B2C3D4u, 0, 0);
  EXPECT_EQ(readLe32(receivePacket(link.camera).data()), 0x56594E02u);
  EXPECT_EQ(receivePacket(link.camera), keepAlivePacket());
  SendMessageToCamera(link.program, &link.keepAlive, 12, 0, 1, 0xA1B2C3D4u, 0, 0);
  const Bytes sent = receivePacket(link.camera);
  EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 4), (Bytes{0xD4, 0xC3, 0xB2, 0xA1}));
  EXPECT_EQ(typeOf(sent), 41);
}

TEST(DedicatedCommands, CarryTheCallersBlockWithTypeLengthAndIdentifier) {
  Connection link;
  PaletteBlock palette;
  for (std::size_t i = 0; i < sizeof palette.bytes; ++i) palette.bytes[i] = uint8_t(i * 7);
  FirmwareBlock firmware;
  std::memset(firmware.bytes, 0x5A, sizeof firmware.bytes);
  MacField first, second;
  std::memset(first.bytes, 0x01, 16);
  std::memset(second.bytes, 0x02, 16);
  TempOffsetTable table;
  std::memset(table.bytes, 0x33, sizeof table.bytes);
  std::vector<uint8_t> update(2068, 0x44);
  const uint32_t registers[2] = {0x01020304u, 0xA0B0C0D0u};

  struct Expect {
    uint16_t type;
    uint32_t length;
    uint32_t id;
    Bytes payload;
  };
  const std::vector<Expect> expected{
      {40, 9244, 0x56594E02u, Bytes(palette.bytes, palette.bytes + sizeof palette.bytes)},
      {49, 1052, 0x11111111u, Bytes(1036, 0x5A)},
      {50, 48, 0x22222222u, concat({Bytes(16, 0x01), Bytes(16, 0x02)})},
      {56, 2072, 0x56594E02u, Bytes(2056, 0x33)},
      {129, 2084, 0x33333333u, Bytes(2068, 0x44)},
      {145, 24, 0x44444444u, Bytes{4, 3, 2, 1, 0xD0, 0xC0, 0xB0, 0xA0}},
  };
  EXPECT_EQ(SendPaletteMessage(link.program, &link.keepAlive, palette), 1);
  EXPECT_EQ(SendFirmwareMessage(link.program, &link.keepAlive, 0x11111111u, firmware), 1);
  EXPECT_EQ(SendMacMessage(link.program, &link.keepAlive, 0x22222222u, first, second), 1);
  EXPECT_EQ(SendTempOffsetTableMessage(link.program, &link.keepAlive, table), 1);
  EXPECT_EQ(SendUpdateMessage(link.program, &link.keepAlive, 0x33333333u, update.data()), 1);
  EXPECT_EQ(SendFpgaRegMessage(link.program, &link.keepAlive, 0x44444444u, registers), 1);

  // Keep-alives may fall anywhere between the commands; the commands come whole and in order.
  std::size_t next = 0;
  while (next < expected.size()) {
    const Bytes sent = receivePacket(link.camera);
    ASSERT_FALSE(sent.empty());
    if (typeOf(sent) == 32) continue;
    const Expect& e = expected[next++];
    EXPECT_EQ(typeOf(sent), e.type);
    EXPECT_EQ(sent.size(), e.length);
    EXPECT_EQ(readLe32(sent.data()), e.id);
    EXPECT_EQ(Bytes(sent.begin() + 16, sent.end()), e.payload) << "type " << e.type;
  }
}

TEST(SendingExports, ReturnOneAndMakeNoTimerOnSocketMinusOne) {
  IrdexTimer* slot = nullptr;
  PaletteBlock palette{};
  FirmwareBlock firmware{};
  MacField mac{};
  TempOffsetTable table{};
  const uint8_t update[2068] = {};
  const uint32_t registers[2] = {};
  EXPECT_EQ(SendCameraMessage(-1, &slot, 1, 35, 1), 1);
  EXPECT_EQ(SendMessageToCamera(-1, &slot, 10, 1, 2, 3, 4, 5), 1);
  EXPECT_EQ(SendPaletteMessage(-1, &slot, palette), 1);
  EXPECT_EQ(SendFirmwareMessage(-1, &slot, 1, firmware), 1);
  EXPECT_EQ(SendMacMessage(-1, &slot, 1, mac, mac), 1);
  EXPECT_EQ(SendTempOffsetTableMessage(-1, &slot, table), 1);
  EXPECT_EQ(SendUpdateMessage(-1, &slot, 1, update), 1);
  EXPECT_EQ(SendFpgaRegMessage(-1, &slot, 1, registers), 1);
  EXPECT_EQ(SendUpdateMessage(-1, &slot, 1, nullptr), 1);
  EXPECT_EQ(SendFpgaRegMessage(-1, &slot, 1, nullptr), 1);
  EXPECT_EQ(SendCameraMessage(-1, nullptr, 2, 0, 0), 1);
  EXPECT_EQ(slot, nullptr);
}

TEST(SendingExports, SurviveACameraThatClosedItsEnd) {
  LogCapture log;
  Connection link;
  ::close(link.camera);
  link.camera = -1;
  // The first sends may still be taken by the kernel; later ones meet the reset. Either way
  // the process lives on (no SIGPIPE) and every export reports the hand-over.
  for (int i = 0; i < 50; ++i) {
    PaletteBlock palette{};
    EXPECT_EQ(SendPaletteMessage(link.program, &link.keepAlive, palette), 1);
  }
  bool sendLogged = false;
  for (const auto& entry : log.entries()) sendLogged |= entry.find("\tsend\t") != std::string::npos;
  EXPECT_TRUE(sendLogged);
}

// Commands of two threads and the keep-alive of a third share one connection: every packet
// arrives whole, with a known type and a length that matches it.
TEST(SendingExports, PacketsOfOneConnectionNeverInterleave) {
  Connection link;
  SendCameraMessage(link.program, &link.keepAlive, 2, 0, 0);  // makes the timer
  constexpr int kEach = 150;
  std::atomic<bool> go{false};
  auto palettes = [&] {
    while (!go) std::this_thread::yield();
    PaletteBlock palette;
    std::memset(palette.bytes, 0xAB, sizeof palette.bytes);
    for (int i = 0; i < kEach; ++i) SendPaletteMessage(link.program, &link.keepAlive, palette);
  };
  auto settings = [&] {
    while (!go) std::this_thread::yield();
    for (int i = 0; i < kEach; ++i) {
      SendMessageToCamera(link.program, &link.keepAlive, 10, 1, 2, 3, 4, 5);
    }
  };
  std::thread a(palettes), b(settings);
  go = true;
  int palettesSeen = 0, settingsSeen = 0;
  while (palettesSeen < kEach || settingsSeen < kEach) {
    const Bytes sent = receivePacket(link.camera);
    ASSERT_GE(sent.size(), 16u);
    ASSERT_EQ(readLe32(sent.data()), 0x56594E02u);
    const uint16_t type = typeOf(sent);
    if (type == 40) {
      ASSERT_EQ(sent.size(), 9244u);
      ASSERT_TRUE(std::all_of(sent.begin() + 16, sent.end(), [](uint8_t v) { return v == 0xAB; }));
      ++palettesSeen;
    } else if (type == 39) {
      ASSERT_EQ(sent.size(), 48u);
      ++settingsSeen;
    } else {
      ASSERT_EQ(sent, keepAlivePacket());
    }
  }
  a.join();
  b.join();
}

}  // namespace
}  // namespace irdex::link::testing
