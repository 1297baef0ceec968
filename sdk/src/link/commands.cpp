// The command exports: every packet the programs send to a camera.
#include "link/commands.h"

#include <cstring>
#include <vector>

#include "link/keep_alive.h"
#include "link/packet.h"
#include "link/socket_io.h"
#include "records/boundary.h"
#include "records/byte_order.h"

namespace irdex::link {
namespace {

struct IndexedCommand {
  int32_t index;
  uint16_t type;
};

// Indexes without an entry send a bare packet of type 0.
constexpr IndexedCommand kCameraMessageTypes[] = {
    {0, 6},  {1, 21},  {2, 32},  {3, 33},  {4, 34},   {6, 80},
    {7, 36}, {14, 51}, {15, 52}, {19, 54}, {22, 161},
};
constexpr IndexedCommand kMessageToCameraTypes[] = {
    {0, 6},  {1, 21}, {2, 32}, {3, 33},  {4, 34},  {6, 80},
    {7, 36}, {8, 37}, {9, 38}, {10, 39}, {12, 41}, {19, 54},
};

template <std::size_t N>
uint16_t typeOf(const IndexedCommand (&table)[N], int32_t index) {
  for (const IndexedCommand& entry : table) {
    if (entry.index == index) return entry.type;
  }
  return kTypeZero;
}

constexpr int32_t kIndexAck = 0;
constexpr int32_t kIndexNak = 1;
constexpr int32_t kIndexSetting = 10;
constexpr int32_t kIndexCallerId = 12;
constexpr std::size_t kSettingPayload = 32;

std::vector<uint8_t> ackOrNak(uint16_t type, int16_t arg1, int16_t arg2) {
  std::vector<uint8_t> packet = buildPacket(type, 4);
  writeLe16(packet.data() + 16, static_cast<uint16_t>(arg1));
  writeLe16(packet.data() + 18, static_cast<uint16_t>(arg2));
  return packet;
}

std::vector<uint8_t> withPayload(uint16_t type, uint32_t id, const void* payload,
                                 std::size_t size) {
  std::vector<uint8_t> packet = buildPacket(type, size, id);
  if (payload != nullptr) std::memcpy(packet.data() + kPacketHeaderSize, payload, size);
  return packet;
}

}  // namespace

void sendCommand(int socket, IrdexTimer** keepAlive, std::span<const uint8_t> packet) {
  sendWhole(socket, packet);
  restartKeepAlive(socket, keepAlive);
}

void sendUnknownIdNak(int socket, IrdexTimer** keepAlive) {
  constexpr int16_t kCodeFrame = 35;
  constexpr int16_t kCodeUnknownId = 1;
  sendCommand(socket, keepAlive, ackOrNak(kTypeNak, kCodeFrame, kCodeUnknownId));
}

SdkStatus sendCameraMessage(int32_t socket, IrdexTimer** keepAlive, int32_t index, int16_t arg1,
                            int16_t arg2) {
  const uint16_t type = typeOf(kCameraMessageTypes, index);
  if (index == kIndexAck || index == kIndexNak) {
    sendCommand(socket, keepAlive, ackOrNak(type, arg1, arg2));
  } else {
    sendCommand(socket, keepAlive, buildPacket(type, 0));
  }
  return SDK_SUCCESS;
}

SdkStatus sendMessageToCamera(int32_t socket, IrdexTimer** keepAlive, int32_t index, int16_t arg1,
                              int16_t arg2, uint32_t arg3, uint32_t arg4, uint32_t arg5) {
  const uint16_t type = typeOf(kMessageToCameraTypes, index);
  if (index == kIndexAck || index == kIndexNak) {
    sendCommand(socket, keepAlive, ackOrNak(type, arg1, arg2));
  } else if (index == kIndexSetting) {
    std::vector<uint8_t> packet = buildPacket(type, kSettingPayload);
    uint8_t* payload = packet.data() + kPacketHeaderSize;
    // Setting id in the lower half, its first value in the upper half.
    writeLe32(payload, (static_cast<uint32_t>(static_cast<uint16_t>(arg2)) << 16) |
                           static_cast<uint16_t>(arg1));
    writeLe32(payload + 4, arg3);
    writeLe32(payload + 8, arg4);
    writeLe32(payload + 12, arg5);
    sendCommand(socket, keepAlive, packet);
  } else if (index == kIndexCallerId) {
    sendCommand(socket, keepAlive, buildPacket(type, 0, arg2 == 0 ? kPacketId : arg3));
  } else {
    sendCommand(socket, keepAlive, buildPacket(type, 0));
  }
  return SDK_SUCCESS;
}

}  // namespace irdex::link

extern "C" IRDEX_API SdkStatus SendCameraMessage(int32_t socket, IrdexTimer** keepAlive,
                                                 int32_t index, int16_t arg1, int16_t arg2) {
  // Commands report nothing but having been handed over.
  return irdex::guarded(
      [&] { return irdex::link::sendCameraMessage(socket, keepAlive, index, arg1, arg2); },
      SDK_SUCCESS);
}

extern "C" IRDEX_API SdkStatus SendMessageToCamera(int32_t socket, IrdexTimer** keepAlive,
                                                   int32_t index, int16_t arg1, int16_t arg2,
                                                   uint32_t arg3, uint32_t arg4, uint32_t arg5) {
  return irdex::guarded(
      [&] {
        return irdex::link::sendMessageToCamera(socket, keepAlive, index, arg1, arg2, arg3, arg4,
                                                arg5);
      },
      SDK_SUCCESS);
}

namespace {

// The dedicated command packets: a fixed type and a block of the caller's bytes.
SdkStatus sendBlock(int32_t socket, IrdexTimer** keepAlive, uint16_t type, uint32_t id,
                    const void* block, std::size_t size) {
  // A failed send is not reported for these packets: the camera's answer tells.
  return irdex::guarded(
      [&] {
        irdex::link::sendCommand(socket, keepAlive,
                                 irdex::link::withPayload(type, id, block, size));
        return SDK_SUCCESS;
      },
      SDK_SUCCESS);
}

constexpr uint16_t kTypePalette = 40;
constexpr uint16_t kTypeFirmware = 49;
constexpr uint16_t kTypeMac = 50;
constexpr uint16_t kTypeTempOffsetTable = 56;
constexpr uint16_t kTypeUpdate = 129;
constexpr uint16_t kTypeFpgaRegisters = 145;
constexpr std::size_t kUpdateBlockSize = 2068;

}  // namespace

extern "C" IRDEX_API SdkStatus SendPaletteMessage(int32_t socket, IrdexTimer** keepAlive,
                                                  PaletteBlock block) {
  return sendBlock(socket, keepAlive, kTypePalette, irdex::link::kPacketId, block.bytes,
                   sizeof block.bytes);
}

extern "C" IRDEX_API SdkStatus SendFirmwareMessage(int32_t socket, IrdexTimer** keepAlive,
                                                   uint32_t identifier, FirmwareBlock block) {
  return sendBlock(socket, keepAlive, kTypeFirmware, identifier, block.bytes, sizeof block.bytes);
}

extern "C" IRDEX_API SdkStatus SendMacMessage(int32_t socket, IrdexTimer** keepAlive,
                                              uint32_t identifier, MacField first,
                                              MacField second) {
  uint8_t fields[sizeof first.bytes + sizeof second.bytes];
  std::memcpy(fields, first.bytes, sizeof first.bytes);
  std::memcpy(fields + sizeof first.bytes, second.bytes, sizeof second.bytes);
  return sendBlock(socket, keepAlive, kTypeMac, identifier, fields, sizeof fields);
}

extern "C" IRDEX_API SdkStatus SendTempOffsetTableMessage(int32_t socket, IrdexTimer** keepAlive,
                                                          TempOffsetTable table) {
  return sendBlock(socket, keepAlive, kTypeTempOffsetTable, irdex::link::kPacketId, table.bytes,
                   sizeof table.bytes);
}

extern "C" IRDEX_API SdkStatus SendUpdateMessage(int32_t socket, IrdexTimer** keepAlive,
                                                 uint32_t identifier, const uint8_t* data) {
  // Missing data sends nothing; the export still reports the hand-over.
  if (data == nullptr) return SDK_SUCCESS;
  return sendBlock(socket, keepAlive, kTypeUpdate, identifier, data, kUpdateBlockSize);
}

extern "C" IRDEX_API SdkStatus SendFpgaRegMessage(int32_t socket, IrdexTimer** keepAlive,
                                                  uint32_t identifier, const uint32_t* registers) {
  if (registers == nullptr) return SDK_SUCCESS;
  uint8_t payload[8];
  irdex::writeLe32(payload, registers[0]);
  irdex::writeLe32(payload + 4, registers[1]);
  return sendBlock(socket, keepAlive, kTypeFpgaRegisters, identifier, payload, sizeof payload);
}
