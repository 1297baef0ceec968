// Sends firmware block records with the SDK's firmware message on a connection whose
// packets a receive thread reads (GetIRImages in a loop, as the controller's window does):
// that thread hands each ACK or NAK over, and the sender waits for it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>

#include <irdex.h>

#include "update/firmware_update.h"

namespace tessor {

class ReceiverFedFirmwareSender {
 public:
  // Hands one block to the link; false when there is no connection to take it.
  using BlockSend = std::function<bool(const FirmwareBlock&)>;

  ReceiverFedFirmwareSender(int32_t socket, IrdexTimer** keepAlive,
                            std::chrono::milliseconds answerTimeout = std::chrono::seconds(10));
  // For a link that serialises its own sends (the keep-alive slot is shared with them).
  explicit ReceiverFedFirmwareSender(
      BlockSend send, std::chrono::milliseconds answerTimeout = std::chrono::seconds(10))
      : send_(std::move(send)), answerTimeout_(answerTimeout) {}
  // Holds the answer being waited for: share it by reference, never by copy.
  ReceiverFedFirmwareSender(const ReceiverFedFirmwareSender&) = delete;
  ReceiverFedFirmwareSender& operator=(const ReceiverFedFirmwareSender&) = delete;

  // True once the receive thread reports the camera's ACK; false on a NAK, no answer within
  // the time-out, or a stop request.
  bool operator()(const FirmwareBlockRecord& record, std::stop_token stop);
  // Called by the receive thread for every ACK (true) or NAK (false) it reads.
  void answerArrived(bool acknowledged);

 private:
  BlockSend send_;
  std::chrono::milliseconds answerTimeout_;
  // Guards answer_: the receive thread fills it, the sending thread takes it.
  std::mutex mutex_;
  std::condition_variable_any answered_;
  std::optional<bool> answer_;
};

}  // namespace tessor
