// The connection to one camera through the SDK: the handle, the keep-alive slot, the frame
// record with its buffers, and the receive thread that turns each packet into an event.
#pragma once

#include <irdex.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "app/core/controller_core.h"
#include "app/core/receiver_events.h"

namespace tessor {

class SdkCameraLink : public ConnectionPort {
 public:
  // `post` runs on the receive thread and must hand the event over to the window's thread.
  explicit SdkCameraLink(std::function<void(ReceiverEvent)> post);
  ~SdkCameraLink() override;
  SdkCameraLink(const SdkCameraLink&) = delete;
  SdkCameraLink& operator=(const SdkCameraLink&) = delete;

  bool open(const std::string& address) override;
  // Ends the receive thread (it never outlives this call) and closes the connection.
  void close() override;
  void sendCommand(camera::CommandIndex index) override;
  bool sendSetting(const camera::SettingCommand& command) override;

  // The user palette and firmware messages; -1 without a connection, else the SDK's status.
  int32_t sendPalette(const PaletteBlock& block);
  int32_t sendFirmware(const FirmwareBlock& block);
  // Told on the receive thread of every ACK (true) and NAK (false) the camera sends.
  void setAnswerListener(std::function<void(bool acknowledged)> listener);

  // The last 8-bit image; for the previews of the analysis pages.
  std::vector<uint8_t> image() const;
  struct Picture {
    std::vector<uint8_t> pixels;  // width x height 8-bit values
    int width = 0;
    int height = 0;
    std::vector<uint8_t> palette;  // 256 RGB triples
  };
  Picture picture() const;
  // The temperature of each raw count for the connected camera (empty before its header).
  std::vector<float> temperatureTable() const;

 private:
  void receive(uint64_t session);
  void handleHeader(uint64_t session);
  void handleFrame();
  void post(uint64_t session, ReceiverEvent event);
  int32_t send(camera::CommandIndex index, int16_t arg1 = 0, int16_t arg2 = 0, uint32_t arg3 = 0,
               uint32_t arg4 = 0, uint32_t arg5 = 0);

  std::function<void(ReceiverEvent)> post_;
  int32_t handle_ = -1;
  IrdexTimer* keepAlive_ = nullptr;
  // Sends of the window's thread and the receive thread go one at a time: each send
  // replaces the keep-alive timer in keepAlive_.
  mutable std::mutex sendMutex_;
  std::thread receiver_;
  std::atomic<bool> stopping_{false};
  std::atomic<uint64_t> session_{0};

  // Guards answerListener_, set by the window's thread and called by the receive thread.
  std::mutex listenerMutex_;
  std::function<void(bool)> answerListener_;
  void answerArrived(bool acknowledged);

  // Owned by the receive thread while it runs.
  IRFrame frame_{};
  std::vector<uint16_t> pixels_;
  std::vector<uint8_t> staging_;
  std::vector<uint8_t> palette_;
  AgcParams agc_{};
  int width_ = 0;
  int height_ = 0;
  bool streamStarting_ = false;
  int framesSinceStart_ = 0;

  // Guards what the receive thread publishes: image_ and tempTable_.
  mutable std::mutex publishedMutex_;
  std::vector<uint8_t> image_;
  int imageWidth_ = 0;
  int imageHeight_ = 0;
  std::vector<uint8_t> imagePalette_;
  std::vector<float> tempTable_;
};

}  // namespace tessor
