#include "update/receiver_fed_sender.h"

#include <cstring>

#include "update/sdk_firmware_sender.h"

namespace tessor {

bool ReceiverFedFirmwareSender::operator()(const FirmwareBlockRecord& record,
                                           std::stop_token stop) {
  if (socket_ < 0) return false;  // the SDK would report the send as done all the same
  FirmwareBlock block;
  std::memcpy(block.bytes, record.data(), sizeof block.bytes);
  std::unique_lock lock(mutex_);
  // An answer left over from an earlier block must not count for this one.
  answer_.reset();
  lock.unlock();
  SendFirmwareMessage(socket_, keepAlive_, kFirmwarePacketIdentifier, block);
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
