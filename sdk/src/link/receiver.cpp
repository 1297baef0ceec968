// GetIRImages: the streaming receiver, one packet per call.
#include <irdex.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "link/drift_correction.h"
#include "link/first_generation.h"
#include "link/frame_size.h"
#include "link/packet.h"
#include "link/receive_common.h"
#include "link/socket_io.h"
#include "records/boundary.h"
#include "records/byte_order.h"
#include "records/debug_channel.h"
#include "temperature/ks_slots.h"

namespace irdex::link {
namespace {

uint8_t* bytesOf(uint16_t* pixels) { return reinterpret_cast<uint8_t*>(pixels); }

// Consumes a payload nobody takes, then reports `status` (or the read error, which matters
// more: the connection is gone).
SdkStatus dropPayload(ExactReader& reader, const PacketHeader& header, SdkStatus status) {
  const SdkStatus read = reader.skip(header.payloadSize());
  return read == SDK_SUCCESS ? status : read;
}

SdkStatus receiveFrame(ExactReader& reader, const PacketHeader& header, IRFrame& frame) {
  const uint8_t version = IRFrameVersion(&frame);
  const auto framePixelCount =
      framePixels(version, IRFrameModel(&frame), frame.header.bytes[IRDEX_HEADER_SENSOR_SIZE]);
  if (!framePixelCount) return dropPayload(reader, header, SDK_ERR_MODEL_MISMATCH);

  const uint32_t delivered = std::min(frame.pixelCapacity, *framePixelCount);
  if (frame.pixelCapacity < *framePixelCount) {
    char text[64];
    std::snprintf(text, sizeof text, "Invalid raw data buffer size [%d:%d]\r\n",
                  static_cast<int>(frame.pixelCapacity), static_cast<int>(*framePixelCount));
    debug::output(text);
  }

  if (!camera::isCalibrated(version)) {
    // Straight into the caller's buffer: the one copy a frame costs.
    const SdkStatus status =
        readPayloadInto(reader, header, bytesOf(frame.pixels), std::size_t{delivered} * 2);
    if (status != SDK_SUCCESS) return status;
  } else {
    uint16_t* received = ks::receiveBuffer(frame);
    // A KS camera whose header found no free calibration slot cannot be converted; the frame
    // is consumed and refused instead of being read into nowhere.
    if (received == nullptr) return dropPayload(reader, header, SDK_ERR_MISSING_VALUE);
    SdkStatus status =
        readPayloadInto(reader, header, bytesOf(received), std::size_t{*framePixelCount} * 2);
    if (status != SDK_SUCCESS) return status;
    const auto image = ksImageGeometry(IRFrameModel(&frame));
    ks::RangeLimits limits{};
    int32_t shift = 0;
    if (frame.driftCorrection == 1 && image &&
        ks::rangeLimits(frame, IRFrameRangeIndex(&frame), limits) && ks::driftShift(frame, shift)) {
      applyDriftCorrection(bytesOf(received), image->width, image->height, shift, limits);
    }
    std::memcpy(frame.pixels, received, std::size_t{delivered} * 2);
    ks::smoothFrame(frame, received);
  }
  frame.packetKind = kKindFrame;
  return SDK_SUCCESS;
}

SdkStatus receiveHeader(ExactReader& reader, const PacketHeader& header, IRFrame& frame,
                        int socket) {
  // Whatever the length, the whole payload is consumed and at most one block taken.
  uint8_t block[kHeaderBlockSize];
  const SdkStatus status = readPayloadInto(reader, header, block, sizeof block);
  if (status != SDK_SUCCESS) return status;
  std::memcpy(frame.header.bytes, block, sizeof block);
  if (IRFrameVersion(&frame) <= kFirstGenerationLastVersion) {
    rearrangeFirstGenerationHeader(frame.header.bytes);
  }
  // A camera without a free slot still has its header; its frames are refused later.
  (void)ks::remakeSlotForHeader(frame, socket);
  frame.packetKind = kKindHeader;
  return SDK_SUCCESS;
}

SdkStatus receiveByteImage(ExactReader& reader, const PacketHeader& header, IRFrame& frame) {
  const uint8_t version = IRFrameVersion(&frame);
  if (camera::isKs(version)) return dropPayload(reader, header, SDK_ERR_UNSUPPORTED);
  const auto size =
      framePixels(version, IRFrameModel(&frame), frame.header.bytes[IRDEX_HEADER_SENSOR_SIZE]);
  if (!size) return dropPayload(reader, header, SDK_ERR_MODEL_MISMATCH);
  const std::size_t bytes = std::min<std::size_t>(*size, std::size_t{frame.pixelCapacity} * 2);
  const SdkStatus status = readPayloadInto(reader, header, bytesOf(frame.pixels), bytes);
  if (status != SDK_SUCCESS) return status;
  frame.packetKind = kKindByteImage;
  return SDK_SUCCESS;
}

}  // namespace

SdkStatus getIRImages(int32_t socket, IrdexTimer** keepAlive, IRFrame* frame) {
  if (frame == nullptr || keepAlive == nullptr) return SDK_ERR_MISSING_VALUE;
  frame->packetKind = kKindNone;
  if (frame->pixels == nullptr || frame->staging == nullptr) return SDK_ERR_BUFFER;

  ExactReader reader(socket, frame->staging, frame->pendingBytes, frame->readOffset);
  PacketHeader header;
  SdkStatus status = readPacketHeader(reader, header);
  if (status != SDK_SUCCESS) return status;
  if (header.id != kPacketId) return rejectUnknownId(header, socket, keepAlive);
  if (!header.lengthIsSane()) return rejectLength(header);

  switch (header.type) {
    case kTypeAck:
    case kTypeNak:
      status = readAckCodes(reader, header, frame->ackCode1, frame->ackCode2);
      if (status != SDK_SUCCESS) return status;
      frame->packetKind = header.type == kTypeAck ? kKindAck : kKindNak;
      return header.type == kTypeAck ? SDK_SUCCESS : SDK_ERR_NAK;
    case kTypeFrame: return receiveFrame(reader, header, *frame);
    case kTypeHeader: return receiveHeader(reader, header, *frame, socket);
    case kTypeSystemData: {
      uint8_t block[kSystemBlockSize];
      status = readPayloadInto(reader, header, block, sizeof block);
      if (status != SDK_SUCCESS) return status;
      frame->sysWord = readLe32(block + 10);
      frame->packetKind = kKindSystemData;
      return SDK_SUCCESS;
    }
    case kTypeByteImage: return receiveByteImage(reader, header, *frame);
    case kTypeDeviceInfo: {
      uint8_t info[8];
      status = readPayloadInto(reader, header, info, sizeof info);
      if (status != SDK_SUCCESS) return status;
      frame->devWord1 = readLe32(info);
      frame->devWord2 = readLe16(info + 4);
      frame->devWord3 = readLe16(info + 6);
      frame->packetKind = kKindDeviceInfo;
      return SDK_SUCCESS;
    }
    default: {
      char text[48];
      std::snprintf(text, sizeof text, "Not support packet type [%04X]\r\n", header.type);
      debug::output(text);
      // Consumed so the next call starts at the next packet instead of inside this one.
      return dropPayload(reader, header, SDK_ERR_UNSUPPORTED);
    }
  }
}

}  // namespace irdex::link

extern "C" IRDEX_API SdkStatus GetIRImages(int32_t socket, IrdexTimer** keepAlive, IRFrame* frame) {
  return irdex::guarded([&] { return irdex::link::getIRImages(socket, keepAlive, frame); });
}
