#include "update/sdk_firmware_sender.h"

#include <poll.h>

#include <cstring>

namespace tessor {

namespace {
constexpr int32_t kAnswerAck = 0;
constexpr SdkStatus kStatusNak = -100;
constexpr SdkStatus kStatusOtherPacket = -20;
}  // namespace

bool SdkFirmwareSender::operator()(const FirmwareBlockRecord& record, std::stop_token stop) const {
  // The SDK reports every send as done, even with no connection; only the answer tells.
  if (socket_ < 0) return false;
  FirmwareBlock block;
  std::memcpy(block.bytes, record.data(), sizeof block.bytes);
  SendFirmwareMessage(socket_, keepAlive_, kFirmwarePacketIdentifier, block);

  const auto deadline = std::chrono::steady_clock::now() + answerTimeout_;
  while (!stop.stop_requested() && std::chrono::steady_clock::now() < deadline) {
    // The SDK's reader waits without limit: read only once bytes are there, so Cancel and
    // the time-out are heard.
    pollfd watched{socket_, POLLIN, 0};
    const int ready = ::poll(&watched, 1, 100);
    if (ready < 0) return false;
    if (ready == 0) continue;
    UpdateAnswer answer{};
    const SdkStatus status = GetUpdateData(socket_, keepAlive_, &answer);
    if (status == 1 && answer.kind == kAnswerAck) return true;
    if (status == kStatusNak) return false;
    if (status == kStatusOtherPacket || status == 1) continue;  // not the answer to this block
    return false;                                               // the connection failed
  }
  return false;
}

}  // namespace tessor
