#include "acquisition/live_acquisition.h"

#include "acquisition/camera_name.h"

#include "app/status_panes.h"

#include <pthread.h>
#include <sched.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

namespace solvane {
namespace {

using Clock = std::chrono::steady_clock;

// The buffers are made once for the largest frame, so a header never has to move them under
// the receiver.
constexpr size_t kLargestFrame = kLargestFramePixels;
constexpr size_t kStagingBytes = 8192;
constexpr uint32_t kTableFirmware = 13031203;

int64_t nowTicks() { return Clock::now().time_since_epoch().count(); }

}  // namespace

LiveAcquisition::LiveAcquisition(EventSink events, FrameHandler frames)
    : events_(std::move(events)), frames_(std::move(frames)) {
  receive_.assign(kLargestFrame, 0);
  pixels_.assign(kLargestFrame, 0);
  staging_.assign(kStagingBytes, 0);
}

LiveAcquisition::~LiveAcquisition() { disconnect(); }

bool LiveAcquisition::connect(AcquisitionOptions options) {
  if (running_ || !isValidCameraIp(options.address)) return false;
  if (thread_.joinable()) thread_.join();
  options_ = std::move(options);
  attempts_ = -1;
  acquiring_ = true;
  running_ = true;
  try {
    thread_ = std::thread([this] { run(); });
  } catch (...) {
    acquiring_ = false;
    running_ = false;
    return false;
  }
  return true;
}

void LiveAcquisition::disconnect() {
  {
    std::lock_guard lock(stopMutex_);
    acquiring_ = false;
  }
  stopChanged_.notify_all();
  // The receiver may be inside the library on this socket. Shutting the socket down wakes it
  // with the end of the stream; closing it under the receiver would release the camera's
  // calibration slot while the receiver reads it, and free a descriptor number it still uses.
  {
    std::lock_guard lock(commandLock_);
    if (socket_ != -1) ::shutdown(socket_, SHUT_RDWR);
  }
  if (thread_.joinable()) thread_.join();
  closeConnection();
  running_ = false;
}

bool LiveAcquisition::waitStopped(std::chrono::milliseconds duration) {
  std::unique_lock lock(stopMutex_);
  return stopChanged_.wait_for(lock, duration, [this] { return !acquiring_; });
}

bool LiveAcquisition::connected() const {
  std::lock_guard lock(commandLock_);
  return socket_ != -1;
}

void LiveAcquisition::post(AcquisitionEvent event) {
  if (events_) events_(std::move(event));
}

bool LiveAcquisition::openConnection() {
  // The counter names the last attempt (0 for the first): a limit of 3 allows attempts 0, 1
  // and 2, at 0 s, 10 s and 20 s.
  if (attempts_ + 1 >= options_.attemptLimit) {
    AcquisitionEvent ended;
    ended.kind = AcquisitionEvent::Kind::ThreadEnded;
    ended.value = attempts_;
    post(ended);
    running_ = false;
    return false;
  }
  if (attempts_ >= 0 && waitStopped(options_.retryDelay)) return false;
  ++attempts_;
  int32_t socket = -1;
  IrdexTimer* timer = nullptr;
  const SdkStatus status =
      OpenConnect(&socket, &timer, options_.address.c_str(), options_.port.c_str(), 2, 1);
  if (status == -1 || socket == -1) return true;
  {
    std::lock_guard lock(commandLock_);
    socket_ = socket;
    timer_ = timer;
  }
  // A Disconnect that came while the connection was being made must still close it.
  if (!acquiring_) {
    closeConnection();
    return false;
  }
  std::memset(&live_, 0, sizeof live_);
  live_.pixels = receive_.data();
  live_.pixelCapacity = static_cast<uint32_t>(receive_.size());
  live_.staging = staging_.data();
  live_.packetKind = -1;
  headerSeen_ = false;
  tableDone_ = false;
  rate_.reset();
  AcquisitionEvent event;
  event.kind = AcquisitionEvent::Kind::Connected;
  event.value = attempts_;
  post(event);
  return true;
}

void LiveAcquisition::closeConnection() {
  std::lock_guard lock(commandLock_);
  if (socket_ == -1) return;
  CloseConnect(&socket_, timer_);
  socket_ = -1;
  timer_ = nullptr;
}

// The acquisition thread keeps to one processor, away from the render work on small
// machines' second one; where the processor is not ours to pick, it runs wherever it lands.
namespace {
void pinAcquisitionThread() {
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(std::thread::hardware_concurrency() < 3 ? 0 : 1, &set);
  pthread_setaffinity_np(pthread_self(), sizeof set, &set);
}
}  // namespace

void LiveAcquisition::run() {
  pinAcquisitionThread();
  while (acquiring_) {
    if (waitStopped(std::chrono::milliseconds(1))) break;
    if (!connected()) {
      if (!openConnection()) break;
      continue;
    }
    if (headerSeen_ && !tableDone_) {
      temperatureTable();
    } else if (!headerSeen_) {
      if (sendCommand(7) != SDK_SUCCESS) continue;
    }
    pull();
  }
  running_ = false;
}

void LiveAcquisition::temperatureTable() {
  const uint8_t model = live_.header.bytes[IRDEX_HEADER_MODEL];
  bool valid = false;
  if (live_.sysWord >= kTableFirmware && model == 0) {
    if (waitStopped(std::chrono::milliseconds(1))) return;
    if (sendCommand(19) != SDK_SUCCESS) return;
    if (waitStopped(options_.tableWait)) return;
    int32_t socket;
    IrdexTimer* timer;
    {
      std::lock_guard lock(commandLock_);
      socket = socket_;
      timer = timer_;
    }
    if (socket == -1) return;
    const SdkStatus status = GetCamTempTable(socket, &timer, &table_);
    if (status == SDK_SUCCESS) {
      valid = true;
    } else {
      AcquisitionEvent failed;
      failed.kind = AcquisitionEvent::Kind::PullFailed;
      failed.value = 3;
      failed.code = status;
      post(failed);
    }
  }
  {
    std::lock_guard lock(cameraMutex_);
    camera_.tableValid = valid;
  }
  tableDone_ = true;
  AcquisitionEvent start;
  start.kind = AcquisitionEvent::Kind::StartStreaming;
  post(start);
  AcquisitionEvent applied;
  applied.kind = AcquisitionEvent::Kind::HeaderApplied;
  applied.header = live_.header;
  post(applied);
}

void LiveAcquisition::pull() {
  // The receive runs outside the command lock (sends from the window go on meanwhile); it
  // works on copies of the handles so that a Disconnect clearing them is no data race.
  int32_t socket;
  IrdexTimer* timer;
  {
    std::lock_guard lock(commandLock_);
    socket = socket_;
    timer = timer_;
  }
  if (socket == -1) return;
  live_.driftCorrection = live_.header.bytes[header_byte::kTempOffset] != 0 ? 1 : 0;
  const SdkStatus result = GetIRImages(socket, &timer, &live_);
  const bool frame = result == SDK_SUCCESS && (live_.packetKind == 5 || live_.packetKind == 8);
  const double now = std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
  if (frame) {
    if (auto tenths = rate_.frameArrived(now)) postRate(*tenths);
  } else if (rate_.outage(now)) {
    postRate(std::nullopt);
  }
  if (result == -100 && live_.ackCode2 == 2) {
    AcquisitionEvent hand;
    hand.kind = AcquisitionEvent::Kind::OperatedByHand;
    post(hand);
    return;
  }
  if (result == SDK_SUCCESS) {
    if (live_.packetKind == 5) {
      takeFrame();
    } else if (live_.packetKind == 8) {
      if (!headerSeen_) takeHeader();
      takeFrame();
    }
    return;
  }
  if (!acquiring_) return;  // a Disconnect closed the socket under the receiver
  AcquisitionEvent failed;
  failed.kind = AcquisitionEvent::Kind::PullFailed;
  failed.value = live_.ackCode2;
  failed.code = result;
  post(failed);
  AcquisitionEvent status;
  status.kind = AcquisitionEvent::Kind::StatusText;
  status.text = pullErrorText(result);
  post(status);
  closeConnection();
  // The link is down: the last measured rate no longer holds.
  rate_.reset();
  postRate(std::nullopt);
}

void LiveAcquisition::postRate(std::optional<int32_t> tenths) {
  AcquisitionEvent rate;
  rate.kind = AcquisitionEvent::Kind::FrameRate;
  rate.value = tenths.value_or(0);
  rate.code = tenths ? 1 : 0;
  post(rate);
}

void LiveAcquisition::takeHeader() {
  AcquisitionEvent status;
  status.kind = AcquisitionEvent::Kind::StatusText;
  status.text = kReceiveCameraData;
  post(status);
  headerSeen_ = true;
  // The limit counts the attempts since the camera last answered: a fixed camera on a flaky
  // network reconnects for months, not for its first 99 outages.
  attempts_ = 0;
  const CamHeaderBlock& header = live_.header;
  const uint8_t version = header.bytes[IRDEX_HEADER_VERSION];
  const uint8_t model = header.bytes[IRDEX_HEADER_MODEL];
  std::string name = cameraNameFor(options_.address, options_.neighbourTable, options_.namesFile);
  int32_t modelIndex;
  {
    std::lock_guard lock(cameraMutex_);
    camera_.headerVersion = version;
    const int32_t type = cameraTypeOf(version, model);
    if (type >= 0) camera_.cameraType = type;
    camera_.ranges = rangeListOf(header);
    if (const auto chosen = cameraModelOf(header)) {
      camera_.width = chosen->width;
      camera_.height = chosen->height;
      camera_.modelIndex = chosen->modelIndex;
      camera_.ks = chosen->ks;
    }
    camera_.name = name;
    modelIndex = camera_.modelIndex;
  }
  AcquisitionEvent title;
  title.kind = AcquisitionEvent::Kind::TitleChanged;
  title.text = name;
  post(title);
  AcquisitionEvent modelEvent;
  modelEvent.kind = AcquisitionEvent::Kind::Model;
  modelEvent.value = modelIndex;
  post(modelEvent);
}

void LiveAcquisition::takeFrame() {
  if (settling()) return;
  CameraState camera = this->camera();
  if (camera.width == 0 || camera.height == 0) return;
  const size_t rows = camera.height + (hasExtraRow(camera.headerVersion) ? 1 : 0);
  const size_t count = std::min(static_cast<size_t>(camera.width) * rows, receive_.size());
  std::copy_n(receive_.begin(), count, pixels_.begin());
  current_ = live_;
  current_.pixels = pixels_.data();
  current_.pixelCapacity = static_cast<uint32_t>(count);
  if (frames_) frames_(current_, camera);
}

CameraState LiveAcquisition::camera() const {
  std::lock_guard lock(cameraMutex_);
  return camera_;
}

int32_t LiveAcquisition::sendCommand(int32_t index) {
  std::lock_guard lock(commandLock_);
  if (socket_ == -1) return -1;
  return SendCameraMessage(socket_, &timer_, index, 0, 0);
}

int32_t LiveAcquisition::sendSetting(uint16_t id, int16_t value, uint32_t word3) {
  std::lock_guard lock(commandLock_);
  if (socket_ == -1) return -1;
  return SendMessageToCamera(socket_, &timer_, 10, static_cast<int16_t>(id), value, word3, 0, 0);
}

void LiveAcquisition::setDivisor(int32_t divisor) {
  divisor_ = std::max(0, divisor);
  sendSetting(0x0A01, static_cast<int16_t>(divisor_.load()));
}

int32_t LiveAcquisition::startStreaming() {
  sendSetting(0x0A01, static_cast<int16_t>(divisor_.load()));
  return sendCommand(3);
}

int32_t LiveAcquisition::stopStreaming() { return sendCommand(4); }

bool LiveAcquisition::changeRange(int32_t range, std::chrono::milliseconds settle) {
  settleUntil_ = (Clock::now() + std::chrono::duration_cast<Clock::duration>(settle))
                     .time_since_epoch()
                     .count();
  const uint8_t version = camera().headerVersion;
  if (connected()) sendSetting(0x0503, rangeCommandValue(version, range));
  return sendCommand(7) == SDK_SUCCESS;
}

bool LiveAcquisition::settling() const { return nowTicks() < settleUntil_.load(); }

void LiveAcquisition::nuc() {
  const int32_t type = camera().cameraType;
  if (isKsCameraType(type))
    sendSetting(0x0432, 0);
  else
    sendSetting(0x0502, 7);
}

void LiveAcquisition::focusZoom(int32_t which, int32_t direction) {
  // The setting's value is the motor (0 focus, 1 zoom); the direction rides in the next word.
  sendSetting(0x0491, static_cast<int16_t>(which), static_cast<uint32_t>(direction));
}

}  // namespace solvane
