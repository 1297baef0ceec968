// The request/answer readers: one exchange each, through a private staging buffer, meant for
// moments when no frames stream.
#include <irdex.h>

#include <cstring>

#include "link/packet.h"
#include "link/receive_common.h"
#include "link/socket_io.h"
#include "records/boundary.h"

namespace irdex::link {
namespace {

// Consumes a payload this reader has no use for, so the socket stays at a packet start.
SdkStatus ignorePayload(ExactReader& reader, const PacketHeader& header, SdkStatus status) {
  const SdkStatus read = reader.skip(header.payloadSize());
  return read == SDK_SUCCESS ? status : read;
}

// The opening every answer shares: a NAK counts before the identifier is looked at (its codes
// are read and -100 returned), and a foreign identifier or an impossible length ends the call.
// True when the caller is done and returns `status`; false leaves an ACK or a payload to read.
bool answerEndsAtHead(ExactReader& reader, PacketHeader& header, int32_t socket,
                      IrdexTimer** keepAlive, int16_t& code1, int16_t& code2, SdkStatus& status) {
  status = readPacketHeader(reader, header);
  if (status != SDK_SUCCESS) return true;
  if (header.type == kTypeNak && header.lengthIsSane()) {
    status = readAckCodes(reader, header, code1, code2);
    if (status == SDK_SUCCESS) status = SDK_ERR_NAK;
    return true;
  }
  if (header.id != kPacketId) {
    status = rejectUnknownId(header, socket, keepAlive);
    return true;
  }
  if (!header.lengthIsSane()) {
    status = rejectLength(header);
    return true;
  }
  return false;
}

}  // namespace

SdkStatus getCamSysData(int32_t socket, IrdexTimer** keepAlive, CamSysData* data) {
  if (data == nullptr) return SDK_ERR_BUFFER;
  data->ackCode1 = 0;
  data->ackCode2 = 0;
  data->packetKind = kKindNone;
  PrivateStaging staging;
  ExactReader reader = staging.reader(socket);
  PacketHeader header;
  SdkStatus status;
  if (answerEndsAtHead(reader, header, socket, keepAlive, data->ackCode1, data->ackCode2, status))
    return status;
  if (header.type == kTypeAck) return readAckCodes(reader, header, data->ackCode1, data->ackCode2);
  if (header.type == kTypeSystemData) {
    status = readPayloadInto(reader, header, data->block, sizeof data->block);
    if (status != SDK_SUCCESS) return status;
    data->packetKind = kKindSystemData;
    return SDK_SUCCESS;
  }
  return ignorePayload(reader, header, SDK_SUCCESS);
}

SdkStatus getCamTempTable(int32_t socket, IrdexTimer** keepAlive, CamTempTable* table) {
  if (table == nullptr) return SDK_ERR_BUFFER;
  PrivateStaging staging;
  ExactReader reader = staging.reader(socket);
  for (;;) {
    table->ackCode1 = 0;
    table->ackCode2 = 0;
    PacketHeader header;
    SdkStatus status;
    if (answerEndsAtHead(reader, header, socket, keepAlive, table->ackCode1, table->ackCode2,
                         status))
      return status;
    switch (header.type) {
      case kTypeAck: return readAckCodes(reader, header, table->ackCode1, table->ackCode2);
      case kTypeTableFirst:
        table->kind = kKindTempTable;
        status = readPayloadInto(reader, header, table->first, sizeof table->first);
        if (status != SDK_SUCCESS) return status;
        continue;  // the second half follows
      case kTypeTableSecond:
        table->kind = kKindTempTable;
        return readPayloadInto(reader, header, table->second, sizeof table->second);
      default: return ignorePayload(reader, header, SDK_SUCCESS);
    }
  }
}

SdkStatus getUpdateData(int32_t socket, IrdexTimer** keepAlive, UpdateAnswer* answer) {
  if (answer == nullptr) return SDK_ERR_BUFFER;
  answer->kind = kKindNone;
  answer->code1 = 0;
  answer->code2 = 0;
  PrivateStaging staging;
  ExactReader reader = staging.reader(socket);
  PacketHeader header;
  SdkStatus status;
  if (answerEndsAtHead(reader, header, socket, keepAlive, answer->code1, answer->code2, status)) {
    if (status == SDK_ERR_NAK) answer->kind = kKindNak;
    return status;
  }
  if (header.type == kTypeAck) {
    status = readAckCodes(reader, header, answer->code1, answer->code2);
    if (status != SDK_SUCCESS) return status;
    answer->kind = kKindAck;
    return SDK_SUCCESS;
  }
  if (header.type == kTypeUpdateData) {
    status = readPayloadInto(reader, header, answer->data, sizeof answer->data);
    if (status != SDK_SUCCESS) return status;
    answer->kind = kKindUpdate;
    return SDK_SUCCESS;
  }
  return ignorePayload(reader, header, SDK_ERR_UNSUPPORTED);
}

SdkStatus getFpgaRegData(int32_t socket, IrdexTimer** keepAlive, FpgaAnswer* answer) {
  if (answer == nullptr) return SDK_ERR_BUFFER;
  answer->code1 = 0;
  answer->code2 = 0;
  PrivateStaging staging;
  ExactReader reader = staging.reader(socket);
  PacketHeader header;
  SdkStatus status;
  if (answerEndsAtHead(reader, header, socket, keepAlive, answer->code1, answer->code2, status))
    return status;
  if (header.type == kTypeAck) return readAckCodes(reader, header, answer->code1, answer->code2);
  if (header.type == kTypeFpgaRegister) {
    status = readPayloadInto(reader, header, answer->data, sizeof answer->data);
    if (status != SDK_SUCCESS) return status;
    answer->kind = kKindFpga;
    return SDK_SUCCESS;
  }
  return ignorePayload(reader, header, SDK_ERR_UNSUPPORTED);
}

}  // namespace irdex::link

extern "C" IRDEX_API SdkStatus GetCamSysData(int32_t socket, IrdexTimer** keepAlive,
                                             CamSysData* data) {
  return irdex::guarded([&] { return irdex::link::getCamSysData(socket, keepAlive, data); });
}

extern "C" IRDEX_API SdkStatus GetCamTempTable(int32_t socket, IrdexTimer** keepAlive,
                                               CamTempTable* table) {
  return irdex::guarded([&] { return irdex::link::getCamTempTable(socket, keepAlive, table); });
}

extern "C" IRDEX_API SdkStatus GetUpdateData(int32_t socket, IrdexTimer** keepAlive,
                                             UpdateAnswer* answer) {
  return irdex::guarded([&] { return irdex::link::getUpdateData(socket, keepAlive, answer); });
}

extern "C" IRDEX_API SdkStatus GetFpgaRegData(int32_t socket, IrdexTimer** keepAlive,
                                              FpgaAnswer* answer) {
  return irdex::guarded([&] { return irdex::link::getFpgaRegData(socket, keepAlive, answer); });
}
