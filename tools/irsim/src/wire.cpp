#include "wire.h"

#include <algorithm>

namespace irsim {

std::vector<uint8_t> makePacket(uint16_t type, std::span<const uint8_t> payload) {
  std::vector<uint8_t> packet(kPacketHeadSize + payload.size(), 0);
  putLe32(packet.data(), kPacketId);
  putLe32(packet.data() + 4, static_cast<uint32_t>(packet.size()));
  putLe16(packet.data() + 8, type);
  std::copy(payload.begin(), payload.end(), packet.begin() + kPacketHeadSize);
  return packet;
}

std::vector<uint8_t> makeAnswer(uint16_t type, int16_t code1, int16_t code2) {
  uint8_t codes[4];
  putLe16(codes, static_cast<uint16_t>(code1));
  putLe16(codes + 2, static_cast<uint16_t>(code2));
  return makePacket(type, codes);
}

}  // namespace irsim
