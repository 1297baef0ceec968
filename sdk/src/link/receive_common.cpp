#include "link/receive_common.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "link/commands.h"
#include "link/message_log.h"
#include "records/byte_order.h"
#include "records/debug_channel.h"

namespace irdex::link {

SdkStatus readPacketHeader(ExactReader& reader, PacketHeader& header) {
  uint8_t bytes[kPacketHeaderSize];
  const SdkStatus status = reader.read(bytes, sizeof bytes);
  if (status != SDK_SUCCESS) return status;
  header = PacketHeader::parse(bytes);
  return SDK_SUCCESS;
}

SdkStatus rejectUnknownId(const PacketHeader& header, int socket, IrdexTimer** keepAlive) {
  char text[64];
  std::snprintf(text, sizeof text, "Invalid Packet Header ID [%08X:%08X]\r\n", kPacketId,
                header.id);
  debug::output(text);
  sendUnknownIdNak(socket, keepAlive);
  return SDK_ERR_UNKNOWN_PACKET_ID;
}

SdkStatus rejectLength(const PacketHeader& header) {
  char text[64];
  std::snprintf(text, sizeof text, "Invalid packet length [%u:%04X]\r\n", header.length,
                header.type);
  debug::output(text);
  std::snprintf(text, sizeof text, "Invalid packet length %u of packet type %u.", header.length,
                header.type);
  logEntry("recv", text);
  return SDK_ERR_UNKNOWN_PACKET_ID;
}

SdkStatus readPayloadInto(ExactReader& reader, const PacketHeader& header, uint8_t* destination,
                          std::size_t size) {
  const std::size_t payload = header.payloadSize();
  const std::size_t taken = std::min(payload, size);
  SdkStatus status = reader.read(destination, taken);
  if (status != SDK_SUCCESS) return status;
  if (taken < size) std::memset(destination + taken, 0, size - taken);
  return reader.skip(payload - taken);
}

SdkStatus readAckCodes(ExactReader& reader, const PacketHeader& header, int16_t& code1,
                       int16_t& code2) {
  uint8_t codes[4];
  const SdkStatus status = readPayloadInto(reader, header, codes, sizeof codes);
  if (status != SDK_SUCCESS) return status;
  code1 = readLe16s(codes);
  code2 = readLe16s(codes + 2);
  return SDK_SUCCESS;
}

}  // namespace irdex::link
