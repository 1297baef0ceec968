// Block records and the worker that sends them: order, the first failure, Cancel.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "palette/tests/named_case.h"
#include "update/firmware_update.h"

namespace tessor {
namespace {

constexpr auto kBound = std::chrono::seconds(20);

UpdateFile fileOfSize(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i % 251 + 1);
  return parseUpdateFile(bytes, "fw").file;
}

uint32_t le32(const FirmwareBlockRecord& r, size_t at) {
  return r[at] | (r[at + 1] << 8) | (r[at + 2] << 16) | (static_cast<uint32_t>(r[at + 3]) << 24);
}
uint16_t le16(const FirmwareBlockRecord& r, size_t at) {
  return static_cast<uint16_t>(r[at] | (r[at + 1] << 8));
}

TEST(FirmwareBlockRecord, CarriesTheFileFieldsAndTheBlock) {
  const UpdateFile file = fileOfSize(2049);
  const FirmwareBlockRecord record = buildFirmwareBlockRecord(file, 2);
  EXPECT_EQ(le32(record, 0), static_cast<uint32_t>(file.version));
  EXPECT_EQ(le32(record, 4), 2049u);
  EXPECT_EQ(le16(record, 8), 3);
  EXPECT_EQ(le16(record, 10), 2);
  EXPECT_EQ(record[12], static_cast<uint8_t>(1024 % 251 + 1));
}

TEST(FirmwareBlockRecord, LastBlockIsPaddedWithZeros) {
  const FirmwareBlockRecord record = buildFirmwareBlockRecord(fileOfSize(2049), 3);
  EXPECT_EQ(record[12], static_cast<uint8_t>(2048 % 251 + 1));
  EXPECT_TRUE(std::all_of(record.begin() + 13, record.end(), [](uint8_t b) { return b == 0; }));
}

// Records what it is given; refuses block `failAt` (0: none).
struct RecordingSender {
  int failAt = 0;
  std::vector<uint16_t> numbers;
  std::vector<uint8_t> image;
  bool operator()(const FirmwareBlockRecord& record, std::stop_token) {
    const uint16_t number = le16(record, 10);
    numbers.push_back(number);
    if (number == failAt) return false;
    image.insert(image.end(), record.begin() + 12, record.end());
    return true;
  }
};

TEST(SendFirmware, SendsEveryBlockInOrderAndReportsCompletion) {
  const UpdateFile file = fileOfSize(5000);
  RecordingSender sender;
  std::vector<int> progress;
  const FirmwareUpdateResult result =
      sendFirmware(file, std::ref(sender),
                   [&](int sent, int total) { progress.push_back(sent * 100 + total); }, {});
  EXPECT_EQ(result.outcome, FirmwareUpdateOutcome::Completed);
  EXPECT_EQ(sender.numbers, (std::vector<uint16_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(sender.image, file.buffer);
  EXPECT_EQ(progress, (std::vector<int>{105, 205, 305, 405, 505}));
  EXPECT_EQ(finishMessage(result).text, "Completed to send a firmware file!");
  EXPECT_EQ(finishMessage(result).caption, "Notification Message");
}

struct FailCase {
  const char* name;
  int failAt;
};

class SendFirmwareFailure : public ::testing::TestWithParam<FailCase> {};

TEST_P(SendFirmwareFailure, StopsAtTheFirstFailedSendAndReportsFailure) {
  RecordingSender sender;
  sender.failAt = GetParam().failAt;
  const FirmwareUpdateResult result = sendFirmware(fileOfSize(5000), std::ref(sender), {}, {});
  EXPECT_EQ(result.outcome, FirmwareUpdateOutcome::SendFailed);
  EXPECT_EQ(result.failedBlock, GetParam().failAt);
  EXPECT_EQ(result.blocksSent, GetParam().failAt - 1);
  EXPECT_EQ(sender.numbers.back(), GetParam().failAt);
  EXPECT_EQ(finishMessage(result).text, "Failed to send firmware file!!!");
  EXPECT_EQ(finishMessage(result).caption, "Warning Message");
}

INSTANTIATE_TEST_SUITE_P(Blocks, SendFirmwareFailure,
                         ::testing::Values(FailCase{"First", 1}, FailCase{"Middle", 3},
                                           FailCase{"Last", 5}),
                         testing::CaseName());

TEST(SendFirmware, StopRequestedBeforehandSendsNothing) {
  std::stop_source source;
  source.request_stop();
  RecordingSender sender;
  const FirmwareUpdateResult result =
      sendFirmware(fileOfSize(3000), std::ref(sender), {}, source.get_token());
  EXPECT_EQ(result.outcome, FirmwareUpdateOutcome::Cancelled);
  EXPECT_TRUE(sender.numbers.empty());
  EXPECT_EQ(finishMessage(result).text, "Failed to send firmware file!!!");
}

// A sender that holds block 2 until it is told to stop, like a camera that does not answer.
struct HangingSender {
  std::shared_ptr<std::atomic<int>> entered = std::make_shared<std::atomic<int>>(0);
  bool operator()(const FirmwareBlockRecord& record, std::stop_token stop) const {
    if (le16(record, 10) < 2) return true;
    entered->store(1);
    std::mutex m;
    std::condition_variable_any cv;
    std::unique_lock lock(m);
    return cv.wait_for(lock, stop, std::chrono::seconds(60), [] { return false; });
  }
};

TEST(FirmwareUpdateWorker, CancelStopsAWaitingSendAndReportsCancellation) {
  FirmwareUpdateWorker worker;
  HangingSender sender;
  std::mutex m;
  std::condition_variable cv;
  std::optional<FirmwareUpdateResult> finished;
  worker.start(std::make_shared<UpdateFile>(fileOfSize(4000)), sender, {},
               [&](const FirmwareUpdateResult& r) {
                 std::lock_guard lock(m);
                 finished = r;
                 cv.notify_all();
               });
  {
    std::unique_lock lock(m);
    ASSERT_FALSE(
        cv.wait_for(lock, std::chrono::milliseconds(200), [&] { return finished.has_value(); }));
  }
  worker.cancel();
  ASSERT_TRUE(worker.waitFinished(kBound));
  std::lock_guard lock(m);
  ASSERT_TRUE(finished.has_value());
  EXPECT_EQ(finished->outcome, FirmwareUpdateOutcome::Cancelled);
  EXPECT_EQ(finished->blocksSent, 1);
}

TEST(FirmwareUpdateWorker, StartingAgainStopsTheEarlierRun) {
  FirmwareUpdateWorker worker;
  std::vector<FirmwareUpdateOutcome> outcomes;
  std::mutex m;
  auto record = [&](const FirmwareUpdateResult& r) {
    std::lock_guard lock(m);
    outcomes.push_back(r.outcome);
  };
  worker.start(std::make_shared<UpdateFile>(fileOfSize(4000)), HangingSender{}, {}, record);
  worker.start(std::make_shared<UpdateFile>(fileOfSize(1000)), RecordingSender{}, {}, record);
  ASSERT_TRUE(worker.waitFinished(kBound));
  std::lock_guard lock(m);
  EXPECT_EQ(outcomes, (std::vector<FirmwareUpdateOutcome>{FirmwareUpdateOutcome::Cancelled,
                                                          FirmwareUpdateOutcome::Completed}));
}

}  // namespace
}  // namespace tessor
