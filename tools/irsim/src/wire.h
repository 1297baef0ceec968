// Packets of the camera link as the camera sees them: a 16-byte head (identifier, total
// length, type, six zero bytes) and a payload. Kept apart from the SDK's own reader and
// writer on purpose, so that the simulator checks the SDK instead of mirroring it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace irsim {

inline constexpr uint32_t kPacketId = 0x56594E02;
inline constexpr size_t kPacketHeadSize = 16;
// Nothing the programs send is longer than the palette block; anything far beyond it is a
// broken or hostile peer, not a command.
inline constexpr uint32_t kMaxCommandLength = 64 * 1024;

// Packet types, both directions.
namespace type {
inline constexpr uint16_t kAck = 6;
inline constexpr uint16_t kNak = 21;
inline constexpr uint16_t kKeepAlive = 32;
inline constexpr uint16_t kStartStream = 33;
inline constexpr uint16_t kStopStream = 34;
inline constexpr uint16_t kFrame = 35;
inline constexpr uint16_t kRequestHeader = 36;
inline constexpr uint16_t kHeader = 37;
inline constexpr uint16_t kSetting = 39;
inline constexpr uint16_t kPalette = 40;
inline constexpr uint16_t kHello = 41;
inline constexpr uint16_t kSystemData = 48;
inline constexpr uint16_t kFirmware = 49;
inline constexpr uint16_t kMac = 50;
inline constexpr uint16_t kRequestTempTable = 54;
inline constexpr uint16_t kTempTableFirst = 55;
inline constexpr uint16_t kTempTableSecond = 56;  // also the offset table the programs send
inline constexpr uint16_t kRequestSystemData = 80;
inline constexpr uint16_t kUpdate = 129;
inline constexpr uint16_t kUpdateAnswer = 130;
inline constexpr uint16_t kFpgaRegisters = 145;
inline constexpr uint16_t kRequestDeviceInfo = 161;
inline constexpr uint16_t kDeviceInfo = 162;
}  // namespace type

// NAK reasons the camera gives.
inline constexpr int16_t kReasonUnsupported = 1;
inline constexpr int16_t kReasonOperatedByHand = 2;

inline uint16_t getLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t getLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void putLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void putLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

struct PacketHead {
  uint32_t id = 0;
  uint32_t length = 0;
  uint16_t type = 0;
};

inline PacketHead parseHead(const uint8_t* p) {
  return PacketHead{getLe32(p), getLe32(p + 4), getLe16(p + 8)};
}

// A whole packet: head with the standard identifier, then the payload.
std::vector<uint8_t> makePacket(uint16_t type, std::span<const uint8_t> payload);
// ACK and NAK carry two 16-bit codes.
std::vector<uint8_t> makeAnswer(uint16_t type, int16_t code1, int16_t code2);

}  // namespace irsim
