#include "app/core/sdk_camera_link.h"

#include <sys/socket.h>

#include <cstring>

#include "app/core/connection_rules.h"
#include "camera/camera_models.h"
#include "pages/core/range_list.h"
#include "update/sdk_firmware_sender.h"

namespace tessor {

namespace {

constexpr size_t kRawBufferValues = 786432;  // 1,572,864 bytes
constexpr size_t kStagingSize = 8192;
constexpr size_t kTempTableSize = 65536;
constexpr size_t kPaletteSize = 768;
constexpr int32_t kDefaultPalette = 11;
constexpr int32_t kFamilyIpv4 = 2;
constexpr int32_t kTypeStream = 1;

constexpr int32_t kKindAck = 0;
constexpr int32_t kKindNak = 1;
constexpr int32_t kKindFrame = 5;
constexpr int32_t kKindHeader = 8;
constexpr int32_t kKindSystemData = 13;
constexpr int32_t kStatusOk = 1;
constexpr int32_t kStatusRefused = -100;
constexpr int32_t kStatusClosedByCamera = -10;
constexpr int16_t kReasonOperatedByHand = static_cast<int16_t>(0x8001);
constexpr int16_t kReasonUnsupported = 1;
// A KT camera streams three frames after each header, then is stopped again.
constexpr int kFramesAfterHeader = 3;
// From this header version on the program is too old for the camera.
constexpr uint8_t kFirstUnknownVersion = 34;

AgcParams defaultAgc() {
  AgcParams agc{};
  agc.manual = 0;
  agc.inputMethod = 2;
  agc.outputMethod = 0;
  agc.brightnessRate = 0.01f;
  agc.sdRate = 5.0f;
  agc.intercept = 0;
  agc.gamma = 1.0f;
  agc.plateau = 100;
  agc.epsilon = 0.5f;
  agc.psi = 0.3f;
  agc.prevPlateau = 0.0f;
  return agc;
}

// The fixed table of a version-32 KS camera: -30 °C up to count 2000, then 0.013333334
// degrees per count up to 14000, then 130 °C.
void fillVersion32Table(std::vector<float>& table) {
  for (size_t i = 0; i < table.size(); ++i) {
    if (i <= 2000)
      table[i] = -30.0f;
    else if (i < 14000)
      table[i] = static_cast<float>(i - 2000) * 0.013333334f - 30.0f;
    else
      table[i] = 130.0f;
  }
}

}  // namespace

SdkCameraLink::SdkCameraLink(std::function<void(ReceiverEvent)> post)
    : post_(std::move(post)), pixels_(kRawBufferValues), staging_(kStagingSize) {}

SdkCameraLink::~SdkCameraLink() { close(); }

bool SdkCameraLink::open(const std::string& address) {
  close();
  int32_t handle = -1;
  IrdexTimer* keepAlive = nullptr;
  const int32_t status =
      OpenConnect(&handle, &keepAlive, address.c_str(), kCameraPort, kFamilyIpv4, kTypeStream);
  if (status != kStatusOk || handle == -1) {
    if (handle != -1 || keepAlive) CloseConnect(&handle, keepAlive);
    return false;
  }
  {
    std::lock_guard lock(sendMutex_);
    handle_ = handle;
    keepAlive_ = keepAlive;
  }
  std::memset(&frame_, 0, sizeof frame_);
  frame_.pixels = pixels_.data();
  frame_.pixelCapacity = static_cast<uint32_t>(pixels_.size());
  std::fill(staging_.begin(), staging_.end(), 0);
  frame_.staging = staging_.data();
  streamStarting_ = false;
  framesSinceStart_ = 0;
  {
    // Each connection fills its own table at its first header: a table made for one kind
    // of camera must not convert the counts of the next.
    std::lock_guard lock(publishedMutex_);
    tempTable_.clear();
  }
  stopping_ = false;
  const uint64_t session = ++session_;
  receiver_ = std::thread([this, session] { receive(session); });
  return true;
}

void SdkCameraLink::close() {
  int32_t handle;
  {
    std::lock_guard lock(sendMutex_);
    handle = handle_;
  }
  stopping_ = true;
  ++session_;  // whatever the thread still reports belongs to a closed connection
  // Shutting the socket down ends the receiver's wait at once; the thread then ends by
  // itself, before the handle and the keep-alive are released under it.
  if (handle != -1) ::shutdown(handle, SHUT_RDWR);
  if (receiver_.joinable()) receiver_.join();
  std::lock_guard lock(sendMutex_);
  if (handle_ != -1 || keepAlive_) CloseConnect(&handle_, keepAlive_);
  handle_ = -1;
  keepAlive_ = nullptr;
}

int32_t SdkCameraLink::send(camera::CommandIndex index, int16_t arg1, int16_t arg2, uint32_t arg3,
                            uint32_t arg4, uint32_t arg5) {
  std::lock_guard lock(sendMutex_);
  if (handle_ == -1) return -1;
  return SendMessageToCamera(handle_, &keepAlive_, static_cast<int32_t>(index), arg1, arg2, arg3,
                             arg4, arg5);
}

void SdkCameraLink::sendCommand(camera::CommandIndex index) { send(index); }

bool SdkCameraLink::sendSetting(const camera::SettingCommand& command) {
  return send(camera::CommandIndex::Setting, static_cast<int16_t>(camera::toWire(command.id)),
              static_cast<int16_t>(command.value), command.words[0], command.words[1],
              command.words[2]) == kStatusOk;
}

int32_t SdkCameraLink::sendPalette(const PaletteBlock& block) {
  std::lock_guard lock(sendMutex_);
  if (handle_ == -1) return -1;
  return SendPaletteMessage(handle_, &keepAlive_, block);
}

int32_t SdkCameraLink::sendFirmware(const FirmwareBlock& block) {
  std::lock_guard lock(sendMutex_);
  if (handle_ == -1) return -1;
  return SendFirmwareMessage(handle_, &keepAlive_, kFirmwarePacketIdentifier, block);
}

void SdkCameraLink::setAnswerListener(std::function<void(bool)> listener) {
  std::lock_guard lock(listenerMutex_);
  answerListener_ = std::move(listener);
}

void SdkCameraLink::answerArrived(bool acknowledged) {
  std::lock_guard lock(listenerMutex_);
  if (answerListener_) answerListener_(acknowledged);
}

std::vector<uint8_t> SdkCameraLink::image() const {
  std::lock_guard lock(publishedMutex_);
  return image_;
}

SdkCameraLink::Picture SdkCameraLink::picture() const {
  std::lock_guard lock(publishedMutex_);
  return Picture{image_, imageWidth_, imageHeight_, imagePalette_};
}

std::vector<float> SdkCameraLink::temperatureTable() const {
  std::lock_guard lock(publishedMutex_);
  return tempTable_;
}

void SdkCameraLink::post(uint64_t session, ReceiverEvent event) {
  if (session == session_ && !stopping_) post_(std::move(event));
}

void SdkCameraLink::receive(uint64_t session) {
  int32_t handle;
  {
    std::lock_guard lock(sendMutex_);
    handle = handle_;
  }
  // The keep-alive slot belongs to the senders (under sendMutex_); the receiver gets a slot
  // of its own, which the SDK only reads to send a NAK after foreign bytes.
  IrdexTimer* receiverSlot = nullptr;
  while (!stopping_) {
    const int32_t status = static_cast<int16_t>(GetIRImages(handle, &receiverSlot, &frame_));
    if (stopping_) break;
    // A sender waiting for the camera's verdict (a firmware block) hears it first; what the
    // window makes of a NAK follows below.
    if (frame_.packetKind == kKindAck && status == kStatusOk) answerArrived(true);
    if (frame_.packetKind == kKindNak) answerArrived(false);
    if (status != kStatusOk) {
      const int16_t reason = frame_.ackCode2;
      if (status == kStatusRefused && reason == kReasonOperatedByHand) {
        post(session, OperatedByHand{});
        continue;
      }
      post(session, ReceiveError{status, reason});
      if (status == kStatusRefused && reason == kReasonUnsupported) continue;
      break;
    }
    switch (frame_.packetKind) {
      case kKindFrame:
        handleFrame();
        post(session, ImageReady{});
        break;
      case kKindHeader: handleHeader(session); break;
      case kKindSystemData: post(session, SystemDataArrived{frame_.sysWord}); break;
      default: break;
    }
  }
  if (receiverSlot) {
    int32_t noSocket = -1;
    CloseConnect(&noSocket, receiverSlot);
  }
}

void SdkCameraLink::handleFrame() {
  if (width_ == 0 || height_ == 0) return;  // no header yet: nothing to size the image by
  const uint8_t version = frame_.header.bytes[4];
  float level = 0.0f;
  float span = 0.0f;
  std::vector<uint8_t> image(static_cast<size_t>(width_) * static_cast<size_t>(height_));
  const int32_t pixelCount = width_ * height_;
  if (version < camera::kFirstKsVersion) {
    if (streamStarting_) {
      if (++framesSinceStart_ >= kFramesAfterHeader) {
        send(camera::CommandIndex::StopStream);
        streamStarting_ = false;
      }
    } else {
      send(camera::CommandIndex::StopStream);
    }
    std::lock_guard lock(publishedMutex_);
    GetImage(image.data(), &frame_, pixelCount, tempTable_.empty() ? nullptr : tempTable_.data(),
             &level, &span, &agc_);
  } else {
    GetImageKS(image.data(), &frame_, pixelCount, &level, &span, &agc_);
  }
  std::lock_guard lock(publishedMutex_);
  image_ = std::move(image);
  imageWidth_ = width_;
  imageHeight_ = height_;
  if (imagePalette_.empty()) imagePalette_ = palette_;
}

void SdkCameraLink::handleHeader(uint64_t session) {
  const uint8_t* header = frame_.header.bytes;
  const uint8_t version = header[4];
  const auto geometry = camera::controllerFrameGeometry(version, header[5], header[6]);
  if (!geometry) {
    post(session, ReceiveError{kStatusClosedByCamera, 0});
    return;
  }
  width_ = geometry->width;
  height_ = geometry->height;
  frame_.pixelCapacity = static_cast<uint32_t>(geometry->rawValues);
  // The staging buffer is left as it is: bytes of the next packet that came in with the
  // header are waiting there, and dropping them would cut a packet in two.

  std::unique_lock tableLock(publishedMutex_);
  const bool justAllocated = tempTable_.empty();
  if (justAllocated) tempTable_.assign(kTempTableSize, 0.0f);
  if (version >= camera::kFirstCalibratedKsVersion) {
    GetTempMapTableKS(&frame_, tempTable_.data(), header[7]);
  } else if (version == camera::kFirstKsVersion) {
    if (justAllocated) fillVersion32Table(tempTable_);
  } else if (justAllocated && GetTempMapTable(tempTable_.data(), 0) != kStatusOk) {
    tempTable_.clear();
    post(session, ReceiverNotice{text::kTempTableFailed, text::kErrorCaption});
  }
  tableLock.unlock();
  if (palette_.empty()) {
    palette_.assign(kPaletteSize, 0);
    if (GetImageLUT(palette_.data(), kDefaultPalette, 0) != kStatusOk)
      post(session, ReceiverNotice{text::kPaletteFailed, text::kErrorCaption});
  }
  agc_ = defaultAgc();
  if (version < camera::kFirstKsVersion) {
    send(camera::CommandIndex::StartStream);
    streamStarting_ = true;
    framesSinceStart_ = 0;
  }
  HeaderArrived arrived;
  std::memcpy(arrived.header.data(), header, arrived.header.size());
  if (version >= camera::kFirstCalibratedKsVersion)
    arrived.ranges = pages::measurementRanges(arrived.header);
  // Every KS header names its generation, so that a version-32 camera after a later one
  // gets its own "Image Adjustments" page back.
  if (version >= camera::kFirstKsVersion) post(session, GenerationKnown{version});
  arrived.supported = version < kFirstUnknownVersion;
  arrived.systemData = frame_.sysWord;
  post(session, std::move(arrived));
}

}  // namespace tessor
