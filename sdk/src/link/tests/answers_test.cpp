#include <gtest/gtest.h>
#include <irdex.h>

#include <cstring>

#include "link_peer.h"
#include "records/byte_order.h"

namespace irdex::link::testing {
namespace {

Bytes codes(int16_t a, int16_t b) {
  Bytes bytes(4);
  writeLe16(bytes.data(), uint16_t(a));
  writeLe16(bytes.data() + 2, uint16_t(b));
  return bytes;
}

TEST(GetCamSysData, CopiesTheBlockAndReportsNakBeforeTheIdentifier) {
  Connection link;
  CamSysData data{};
  Bytes block(64);
  for (int i = 0; i < 64; ++i) block[i] = uint8_t(i);
  sendAll(link.camera, packet(48, block));
  EXPECT_EQ(GetCamSysData(link.program, &link.keepAlive, &data), 1);
  EXPECT_EQ(data.packetKind, 13);
  EXPECT_EQ(Bytes(data.block, data.block + 64), block);

  // A NAK counts even with a foreign identifier, and nothing goes back to the camera.
  sendAll(link.camera, packet(21, codes(4, 2), 0xDEADBEEFu));
  EXPECT_EQ(GetCamSysData(link.program, &link.keepAlive, &data), -100);
  EXPECT_EQ(data.packetKind, -1);
  EXPECT_EQ(data.ackCode2, 2);
  EXPECT_TRUE(receiveExactly(link.camera, 1, std::chrono::milliseconds(200)).empty());

  sendAll(link.camera, packet(6, codes(7, 8)));
  EXPECT_EQ(GetCamSysData(link.program, &link.keepAlive, &data), 1);
  EXPECT_EQ(data.packetKind, -1);
  EXPECT_EQ(data.ackCode1, 7);

  EXPECT_EQ(GetCamSysData(link.program, &link.keepAlive, nullptr), -1000);
}

TEST(GetCamSysData, ForeignIdentifierSendsTheNak) {
  Connection link;
  CamSysData data{};
  sendAll(link.camera, packet(48, Bytes(64), 0x01020304u));
  EXPECT_EQ(GetCamSysData(link.program, &link.keepAlive, &data), -12);
  EXPECT_EQ(receivePacket(link.camera), packet(21, codes(35, 1)));
}

TEST(GetCamTempTable, FirstHalfThenAckFillsOnlyTheFirstHalf) {
  Connection link;
  CamTempTable table{};
  sendAll(link.camera, concat({packet(55, Bytes(2056, 0x5A)), packet(6, codes(19, 0))}));
  EXPECT_EQ(GetCamTempTable(link.program, &link.keepAlive, &table), 1);
  EXPECT_EQ(table.kind, 19);
  EXPECT_EQ(Bytes(table.first, table.first + 2056), Bytes(2056, 0x5A));
  EXPECT_EQ(Bytes(table.second, table.second + 2056), Bytes(2056, 0));
  EXPECT_EQ(table.ackCode1, 19);
}

TEST(GetCamTempTable, BothHalvesInOneCall) {
  Connection link;
  CamTempTable table{};
  sendAll(link.camera, concat({packet(55, Bytes(2056, 1)), packet(56, Bytes(2056, 2))}));
  EXPECT_EQ(GetCamTempTable(link.program, &link.keepAlive, &table), 1);
  EXPECT_EQ(table.first[2055], 1);
  EXPECT_EQ(table.second[0], 2);
  EXPECT_EQ(table.second[2055], 2);
  sendAll(link.camera, packet(21, codes(19, 5)));
  EXPECT_EQ(GetCamTempTable(link.program, &link.keepAlive, &table), -100);
  EXPECT_EQ(table.ackCode2, 5);
}

TEST(GetUpdateData, KindFollowsTheAnswer) {
  Connection link;
  UpdateAnswer answer{};
  Bytes data(16);
  for (int i = 0; i < 16; ++i) data[i] = uint8_t(0xA0 + i);
  sendAll(link.camera, packet(130, data));
  EXPECT_EQ(GetUpdateData(link.program, &link.keepAlive, &answer), 1);
  EXPECT_EQ(answer.kind, 21);
  EXPECT_EQ(Bytes(answer.data, answer.data + 16), data);

  sendAll(link.camera, packet(6, codes(1, 2)));
  EXPECT_EQ(GetUpdateData(link.program, &link.keepAlive, &answer), 1);
  EXPECT_EQ(answer.kind, 0);
  sendAll(link.camera, packet(21, codes(3, 4)));
  EXPECT_EQ(GetUpdateData(link.program, &link.keepAlive, &answer), -100);
  EXPECT_EQ(answer.kind, 1);
  EXPECT_EQ(answer.code2, 4);
  sendAll(link.camera, packet(35, Bytes(10)));
  EXPECT_EQ(GetUpdateData(link.program, &link.keepAlive, &answer), -20);
  EXPECT_EQ(answer.kind, -1);
}

TEST(GetFpgaRegData, RegisterAnswerSetsKindAndAckLeavesIt) {
  Connection link;
  FpgaAnswer answer{};
  sendAll(link.camera, packet(145, Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(GetFpgaRegData(link.program, &link.keepAlive, &answer), 1);
  EXPECT_EQ(answer.kind, 20);
  EXPECT_EQ(Bytes(answer.data, answer.data + 8), (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));

  answer.kind = 77;
  sendAll(link.camera, packet(6, codes(11, 12)));
  EXPECT_EQ(GetFpgaRegData(link.program, &link.keepAlive, &answer), 1);
  EXPECT_EQ(answer.kind, 77);
  EXPECT_EQ(answer.code1, 11);
  EXPECT_EQ(answer.code2, 12);
  EXPECT_EQ(Bytes(answer.data, answer.data + 8), (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
}

// Every request/answer reader keeps to its private staging buffer and refuses lengths no
// packet has, before reading a payload.
TEST(AnswerReaders, RefuseImpossibleLengths) {
  LogCapture log;
  Connection link;
  CamSysData data{};
  CamTempTable table{};
  UpdateAnswer update{};
  FpgaAnswer fpga{};
  const Bytes huge = packet(48, {}, 0x56594E02u, 0x7FFFFFFF);
  sendAll(link.camera, huge);
  EXPECT_EQ(GetCamSysData(link.program, &link.keepAlive, &data), -12);
  sendAll(link.camera, huge);
  EXPECT_EQ(GetCamTempTable(link.program, &link.keepAlive, &table), -12);
  sendAll(link.camera, huge);
  EXPECT_EQ(GetUpdateData(link.program, &link.keepAlive, &update), -12);
  sendAll(link.camera, packet(21, {}, 0x56594E02u, 3));
  EXPECT_EQ(GetFpgaRegData(link.program, &link.keepAlive, &fpga), -12);
  EXPECT_EQ(log.entries().size(), 4u);
}

}  // namespace
}  // namespace irdex::link::testing
