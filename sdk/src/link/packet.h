// The 16-byte header that opens every packet of the camera link, in both directions, and the
// packet types and sizes the library knows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "records/byte_order.h"

namespace irdex::link {

inline constexpr uint32_t kPacketId = 0x56594E02u;  // bytes 02 4E 59 56 on the wire
inline constexpr std::size_t kPacketHeaderSize = 16;
inline constexpr std::size_t kStagingSize = 8192;

// The largest packet the protocol has: a 640 x 481 frame. Longer lengths are garbage and
// must not make the receiver allocate or wait for them.
inline constexpr uint32_t kLargestPacket = kPacketHeaderSize + 640u * 481u * 2u;

enum PacketType : uint16_t {
  kTypeZero = 0,
  kTypeAck = 6,
  kTypeNak = 21,
  kTypeKeepAlive = 32,
  kTypeFrame = 35,
  kTypeHeader = 37,
  kTypeSystemData = 48,
  kTypeByteImage = 53,
  kTypeTableFirst = 55,
  kTypeTableSecond = 56,
  kTypeUpdateData = 130,
  kTypeFpgaRegister = 145,
  kTypeDeviceInfo = 162,
};

// PacketKind values of the receiving records.
enum PacketKind : int32_t {
  kKindNone = -1,
  kKindAck = 0,
  kKindNak = 1,
  kKindFrame = 5,
  kKindHeader = 8,
  kKindSystemData = 13,
  kKindByteImage = 16,
  kKindTempTable = 19,
  kKindFpga = 20,
  kKindUpdate = 21,
  kKindDeviceInfo = 23,
};

inline constexpr std::size_t kHeaderBlockSize = 512;
inline constexpr std::size_t kSystemBlockSize = 64;
inline constexpr std::size_t kTableHalfSize = 2056;

struct PacketHeader {
  uint32_t id = 0;
  uint32_t length = 0;
  uint16_t type = 0;

  static PacketHeader parse(const uint8_t* bytes) {
    return {readLe32(bytes), readLe32(bytes + 4), readLe16(bytes + 8)};
  }
  // Lengths the protocol can carry: at least a header, at most the largest frame.
  bool lengthIsSane() const { return length >= kPacketHeaderSize && length <= kLargestPacket; }
  std::size_t payloadSize() const { return length - kPacketHeaderSize; }
};

// A whole command packet: header (identifier, total length, type, six zero bytes) and the
// payload, ready for one send.
inline std::vector<uint8_t> buildPacket(uint16_t type, std::size_t payloadSize,
                                        uint32_t id = kPacketId) {
  std::vector<uint8_t> packet(kPacketHeaderSize + payloadSize, 0);
  writeLe32(packet.data(), id);
  writeLe32(packet.data() + 4, static_cast<uint32_t>(packet.size()));
  writeLe16(packet.data() + 8, type);
  return packet;
}

}  // namespace irdex::link
