// A firmware update from the file to the simulated camera through the SDK: every block
// acknowledged and the image reassembled, or the first refusal reported as a failure.
#include <gtest/gtest.h>

#include <thread>

#include "palette/tests/sim_link.h"
#include "update/firmware_update.h"
#include "update/receiver_fed_sender.h"
#include "update/sdk_firmware_sender.h"

namespace tessor {
namespace {

UpdateFile signedFile(size_t size, int32_t version) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 12; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 31 + 9);
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put(0, kUpdateFileSignature);
  put(8, static_cast<uint32_t>(version));
  put(4, crc32Ieee(std::span<const uint8_t>(bytes).subspan(8)));
  return parseUpdateFile(bytes, "fw").file;
}

TEST(FirmwareUpdateEndToEnd, EveryBlockArrivesAndTheImageMatchesItsCrc) {
  testing::SimLink link;
  const UpdateFile file = signedFile(5 * 1024 + 100, 20261208);
  const FirmwareUpdateResult result =
      sendFirmware(file, SdkFirmwareSender(link.socket, &link.keepAlive), {}, {});
  EXPECT_EQ(result.outcome, FirmwareUpdateOutcome::Completed);
  EXPECT_EQ(result.blocksSent, 6);
  const auto image = link.sim->uploads().firmware();
  ASSERT_TRUE(image.has_value());
  EXPECT_TRUE(image->crcMatched);
  EXPECT_TRUE(std::equal(image->bytes.begin(), image->bytes.end(), file.buffer.begin()));
  EXPECT_EQ(image->bytes.size(), file.fileSize);
  EXPECT_TRUE(link.logSays("firmware block 6/6, image of 5220 bytes, CRC matched"));
}

TEST(FirmwareUpdateEndToEnd, RefusalMidWayStopsAndReportsFailure) {
  testing::SimLink link;
  const UpdateFile file = signedFile(5 * 1024, 1);
  irsim::Fault refuse;
  refuse.kind = irsim::Fault::Kind::Nak;
  refuse.reason = 9;
  // The camera starts refusing once two blocks are in.
  const FirmwareUpdateResult result =
      sendFirmware(file, SdkFirmwareSender(link.socket, &link.keepAlive),
                   [&](int sent, int) {
                     if (sent == 2) link.sim->addFault(refuse);
                   },
                   {});
  EXPECT_EQ(result.outcome, FirmwareUpdateOutcome::SendFailed);
  EXPECT_EQ(result.failedBlock, 3);
  EXPECT_EQ(finishMessage(result).text, "Failed to send firmware file!!!");
  EXPECT_FALSE(link.sim->uploads().firmware().has_value());
  EXPECT_TRUE(link.logSays("nak 9"));
  const auto log = link.sim->commandLog();
  EXPECT_EQ(
      std::count_if(log.begin(), log.end(), [](const irsim::LogEntry& e) { return e.type == 49; }),
      3);
}

TEST(FirmwareUpdateEndToEnd, CameraGoneMidWayIsAFailure) {
  testing::SimLink link;
  const UpdateFile file = signedFile(4 * 1024, 1);
  const FirmwareUpdateResult result =
      sendFirmware(file, SdkFirmwareSender(link.socket, &link.keepAlive),
                   [&](int sent, int) {
                     if (sent == 1) link.sim->stop();
                   },
                   {});
  EXPECT_EQ(result.outcome, FirmwareUpdateOutcome::SendFailed);
  EXPECT_EQ(result.failedBlock, 2);
}

TEST(FirmwareUpdateEndToEnd, CameraVersionComesFromItsSystemData) {
  testing::SimLink link;
  SendMessageToCamera(link.socket, &link.keepAlive, 6, 0, 0, 0, 0, 0);
  ASSERT_TRUE(link.readable());
  CamSysData data{};
  ASSERT_EQ(GetCamSysData(link.socket, &link.keepAlive, &data), 1);
  ASSERT_EQ(data.packetKind, 13);
  irsim::CameraConfig config;
  ASSERT_TRUE(irsim::parseModel("kt640", config, nullptr));
  config.version = 20;
  EXPECT_EQ(firmwareVersionFromSystemData(std::span<const uint8_t, 64>(data.block, 64)),
            irsim::firmwareNumber(config));
}

// The window's way: a receive thread pulls every packet and hands ACK and NAK over.
TEST(FirmwareUpdateEndToEnd, AnswersReadByAReceiveThreadDriveTheUpdate) {
  testing::SimLink link;
  ReceiverFedFirmwareSender sender(link.socket, &link.keepAlive);
  std::vector<uint16_t> pixels(640 * 481);
  std::vector<uint8_t> staging(8192);
  IRFrame frame{};
  frame.pixels = pixels.data();
  frame.pixelCapacity = static_cast<uint32_t>(pixels.size());
  frame.staging = staging.data();
  std::thread receiver([&] {
    while (true) {
      const SdkStatus status = GetIRImages(link.socket, &link.keepAlive, &frame);
      if (status == 1 && frame.packetKind == 0) {
        sender.answerArrived(true);
      } else if (frame.packetKind == 1) {
        sender.answerArrived(false);
      } else if (status != 1) {
        return;  // the camera is gone
      }
    }
  });
  const UpdateFile file = signedFile(3 * 1024 + 1, 42);
  irsim::Fault refuse;
  refuse.kind = irsim::Fault::Kind::Nak;
  const FirmwareUpdateResult whole = sendFirmware(file, std::ref(sender), {}, {});
  link.sim->addFault(refuse);
  const FirmwareUpdateResult refused = sendFirmware(file, std::ref(sender), {}, {});
  link.sim->stop();
  receiver.join();
  EXPECT_EQ(whole.outcome, FirmwareUpdateOutcome::Completed);
  ASSERT_TRUE(link.sim->uploads().firmware().has_value());
  EXPECT_TRUE(link.sim->uploads().firmware()->crcMatched);
  EXPECT_EQ(refused.outcome, FirmwareUpdateOutcome::SendFailed);
  EXPECT_EQ(refused.failedBlock, 1);
}

}  // namespace
}  // namespace tessor
