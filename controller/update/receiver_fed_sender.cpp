#include "update/receiver_fed_sender.h"

#include <cstring>

#include "update/sdk_firmware_sender.h"

namespace tessor {

ReceiverFedFirmwareSender::ReceiverFedFirmwareSender(int32_t socket, IrdexTimer** keepAlive,
                                                     std::chrono::milliseconds answerTimeout)
    : send_([socket, keepAlive](const FirmwareBlock& block) {
        // The SDK would report a send on no socket as done all the same.
        if (socket < 0) return false;
        SendFirmwareMessage(socket, keepAlive, kFirmwarePacketIdentifier, block);
        return true;
      }),
      answerTimeout_(answerTimeout) {}

bool ReceiverFedFirmwareSender::operator()(const FirmwareBlockRecord& record,
                                           std::stop_token stop) {
  FirmwareBlock block;
  std::memcpy(block.bytes, record.data(), sizeof block.bytes);
  std::unique_lock lock(mutex_);
  // An answer left over from an earlier block must not count for this one.
  answer_.reset();
  lock.unlock();
  if (!send_(block)) return false;
  lock.lock();
  if (!answered_.wait_for(lock, stop, answerTimeout_, [this] { return answer_.has_value(); }))
    return false;
  return *answer_;
}

void ReceiverFedFirmwareSender::answerArrived(bool acknowledged) {
  {
    std::lock_guard lock(mutex_);
    answer_ = acknowledged;
  }
  answered_.notify_all();
}

}  // namespace tessor
