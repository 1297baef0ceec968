// Steps every receiving export shares: the packet header, bounded payloads, foreign bytes.
#pragma once

#include <irdex.h>

#include <cstddef>
#include <cstdint>

#include "link/packet.h"
#include "link/socket_io.h"

namespace irdex::link {

// Reads the 16-byte packet header.
SdkStatus readPacketHeader(ExactReader& reader, PacketHeader& header);

// The identifier is not ours: tells the debug channel, answers with a NAK, -12.
SdkStatus rejectUnknownId(const PacketHeader& header, int socket, IrdexTimer** keepAlive);

// A length no packet of the protocol has: the stream cannot be followed any further, so the
// receiver reports it (-12) instead of waiting for or allocating that many bytes.
SdkStatus rejectLength(const PacketHeader& header);

// Consumes the whole payload: its first bytes fill `destination` (up to `size`), a shorter
// payload leaves the rest of `destination` zero, a longer one is read and dropped.
SdkStatus readPayloadInto(ExactReader& reader, const PacketHeader& header, uint8_t* destination,
                          std::size_t size);

// Reads the two i16 codes of an ACK or NAK payload.
SdkStatus readAckCodes(ExactReader& reader, const PacketHeader& header, int16_t& code1,
                       int16_t& code2);

// A private zeroed staging buffer for one request/answer exchange; bytes behind the answer
// are dropped with it.
struct PrivateStaging {
  uint8_t bytes[kStagingSize] = {};
  uint32_t pending = 0;
  int32_t offset = 0;
  ExactReader reader(int socket) { return ExactReader(socket, bytes, pending, offset); }
};

}  // namespace irdex::link
