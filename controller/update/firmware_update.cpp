#include "update/firmware_update.h"

namespace tessor {

namespace {
void putLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void putLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
}  // namespace

FirmwareBlockRecord buildFirmwareBlockRecord(const UpdateFile& file, uint16_t number) {
  FirmwareBlockRecord record{};
  putLe32(record.data(), static_cast<uint32_t>(file.version));
  putLe32(record.data() + 4, file.fileSize);
  putLe16(record.data() + 8, file.blockCount);
  putLe16(record.data() + 10, number);
  if (number >= 1 && number <= file.blockCount) {
    const size_t offset = (static_cast<size_t>(number) - 1) * kUpdateBlockSize;
    std::copy_n(file.buffer.begin() + static_cast<std::ptrdiff_t>(offset), kUpdateBlockSize,
                record.begin() + 12);
  }
  return record;
}

UpdateMessage finishMessage(const FirmwareUpdateResult& result) {
  if (result.outcome == FirmwareUpdateOutcome::Completed)
    return {"Completed to send a firmware file!", "Notification Message"};
  return {"Failed to send firmware file!!!", "Warning Message"};
}

FirmwareUpdateResult sendFirmware(const UpdateFile& file, const FirmwareBlockSender& send,
                                  const FirmwareProgress& progress, std::stop_token stop) {
  FirmwareUpdateResult result;
  for (int number = 1; number <= file.blockCount; ++number) {
    if (stop.stop_requested()) {
      result.outcome = FirmwareUpdateOutcome::Cancelled;
      return result;
    }
    const FirmwareBlockRecord record =
        buildFirmwareBlockRecord(file, static_cast<uint16_t>(number));
    if (!send(record, stop)) {
      // A send given up because of Cancel is a cancellation, not a refusal by the camera.
      result.outcome = stop.stop_requested() ? FirmwareUpdateOutcome::Cancelled
                                             : FirmwareUpdateOutcome::SendFailed;
      result.failedBlock = number;
      return result;
    }
    result.blocksSent = number;
    if (progress) progress(number, file.blockCount);
  }
  result.outcome =
      file.blockCount > 0 ? FirmwareUpdateOutcome::Completed : FirmwareUpdateOutcome::SendFailed;
  return result;
}

FirmwareUpdateWorker::~FirmwareUpdateWorker() { stopAndJoin(); }

void FirmwareUpdateWorker::stopAndJoin() {
  if (thread_.joinable()) {
    thread_.request_stop();
    thread_.join();
  }
}

void FirmwareUpdateWorker::start(std::shared_ptr<const UpdateFile> file, FirmwareBlockSender send,
                                 FirmwareProgress progress, Finished finished) {
  stopAndJoin();
  {
    std::lock_guard lock(mutex_);
    running_ = true;
  }
  thread_ = std::jthread([this, file = std::move(file), send = std::move(send),
                          progress = std::move(progress),
                          finished = std::move(finished)](std::stop_token stop) {
    const FirmwareUpdateResult result = sendFirmware(*file, send, progress, stop);
    if (finished) finished(result);
    {
      std::lock_guard lock(mutex_);
      running_ = false;
    }
    changed_.notify_all();
  });
}

void FirmwareUpdateWorker::cancel() { thread_.request_stop(); }

bool FirmwareUpdateWorker::running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

bool FirmwareUpdateWorker::waitFinished(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [this] { return !running_; });
}

}  // namespace tessor
