// Sends firmware block records with the SDK's firmware message and takes the camera's ACK or
// NAK as the verdict. For a connection whose packets nobody else reads at the time.
#pragma once

#include <chrono>
#include <cstdint>
#include <stop_token>

#include <irdex.h>

#include "update/firmware_update.h"

namespace tessor {

// The identifier word of firmware packets: the standard one of the camera link.
inline constexpr uint32_t kFirmwarePacketIdentifier = 0x56594E02;

class SdkFirmwareSender {
 public:
  SdkFirmwareSender(int32_t socket, IrdexTimer** keepAlive,
                    std::chrono::milliseconds answerTimeout = std::chrono::seconds(10))
      : socket_(socket), keepAlive_(keepAlive), answerTimeout_(answerTimeout) {}

  // True once the camera acknowledges the block; false on a NAK, a closed connection, no
  // answer within the time-out, or a stop request.
  bool operator()(const FirmwareBlockRecord& record, std::stop_token stop) const;

 private:
  int32_t socket_;
  IrdexTimer** keepAlive_;
  std::chrono::milliseconds answerTimeout_;
};

}  // namespace tessor
