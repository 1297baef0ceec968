// Sending an update file to the camera: one 1,036-byte block record per 1,024 bytes of the
// file, sent in order on a worker thread that stops at the first refused block or on Cancel.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

#include "update/update_file.h"

namespace tessor {

inline constexpr size_t kFirmwareRecordSize = 1036;
using FirmwareBlockRecord = std::array<uint8_t, kFirmwareRecordSize>;

// The record for block `number` (counted from 1): version, file size, block count, number,
// then the block's bytes.
FirmwareBlockRecord buildFirmwareBlockRecord(const UpdateFile& file, uint16_t number);

// Sends one record and says whether the camera took it. It may wait for the answer, but
// must give up soon once `stop` is requested.
using FirmwareBlockSender = std::function<bool(const FirmwareBlockRecord&, std::stop_token stop)>;
// Blocks sent so far and in all; called on the worker thread after each accepted block.
using FirmwareProgress = std::function<void(int sent, int total)>;

enum class FirmwareUpdateOutcome { Completed, Cancelled, SendFailed };

struct FirmwareUpdateResult {
  FirmwareUpdateOutcome outcome = FirmwareUpdateOutcome::Cancelled;
  int blocksSent = 0;
  int failedBlock = 0;  // the block number the camera did not take (SendFailed)
};

// The page's closing message for a result.
UpdateMessage finishMessage(const FirmwareUpdateResult& result);

// Walks the blocks in order. Returns when done, on the first failed send, or when `stop`
// is requested before a block.
FirmwareUpdateResult sendFirmware(const UpdateFile& file, const FirmwareBlockSender& send,
                                  const FirmwareProgress& progress, std::stop_token stop);

// The update on its own thread. Starting again first stops the earlier run; destruction
// stops and joins.
class FirmwareUpdateWorker {
 public:
  using Finished = std::function<void(const FirmwareUpdateResult&)>;

  FirmwareUpdateWorker() = default;
  ~FirmwareUpdateWorker();
  FirmwareUpdateWorker(const FirmwareUpdateWorker&) = delete;
  FirmwareUpdateWorker& operator=(const FirmwareUpdateWorker&) = delete;

  // `finished` and `progress` are called on the worker thread.
  void start(std::shared_ptr<const UpdateFile> file, FirmwareBlockSender send,
             FirmwareProgress progress, Finished finished);
  // The abort flag: the worker stops before its next block.
  void cancel();
  bool running() const;
  // Waits for the current run to end; false when it is still running after `timeout`.
  bool waitFinished(std::chrono::milliseconds timeout) const;

 private:
  void stopAndJoin();

  std::jthread thread_;
  // Guards running_; the worker clears it as its last act.
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool running_ = false;
};

}  // namespace tessor
