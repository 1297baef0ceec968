#include "camera_capture.h"

#include "acquisition/camera_address.h"
#include "arguments.h"
#include "cli_error.h"

#include <cstdio>

namespace irdexcli {
namespace {

using Clock = std::chrono::steady_clock;
// The analyzer starts the stream this long after the temperature table is done.
constexpr auto kStreamStartDelay = std::chrono::milliseconds(500);
constexpr auto kCheckInterval = std::chrono::milliseconds(100);

}  // namespace

CameraAddress parseCameraAddress(const std::string& text) {
  CameraAddress address;
  const auto colon = text.find(':');
  address.host = text.substr(0, colon);
  if (colon != std::string::npos) {
    const auto port = parseInteger(text.substr(colon + 1));
    if (!port || *port < 1 || *port > 65535)
      throw usageError("'" + text + "': the port must be a number from 1 to 65535");
    address.port = std::to_string(*port);
  }
  if (!solvane::isValidCameraIp(address.host))
    throw usageError("'" + text + "' is not a camera address (A.B.C.D or A.B.C.D:PORT)");
  return address;
}

CameraCapture::CameraCapture(CaptureSettings settings, FrameTaker frames, HeaderTaker headers)
    : settings_(std::move(settings)),
      frames_(std::move(frames)),
      headers_(std::move(headers)),
      acquisition_([this](solvane::AcquisitionEvent event) { onEvent(std::move(event)); },
                   [this](const IRFrame& frame, const solvane::CameraState& camera) {
                     onFrame(frame, camera);
                   }) {}

CameraCapture::~CameraCapture() { stop(); }

void CameraCapture::stop() {
  if (acquisition_.connected()) acquisition_.stopStreaming();
  acquisition_.disconnect();
}

void CameraCapture::onEvent(solvane::AcquisitionEvent event) {
  {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
  }
  changed_.notify_all();
}

void CameraCapture::onFrame(const IRFrame& frame, const solvane::CameraState& camera) {
  // Header packets are handed over too; only frame packets are frames.
  if (frame.packetKind != 5) return;
  {
    std::lock_guard lock(mutex_);
    if (!headerReady_ || !taking_) return;
  }
  const bool more = frames_(frame, camera);
  {
    std::lock_guard lock(mutex_);
    lastFrame_ = Clock::now();
    if (!firstFrame_) firstFrame_ = lastFrame_;
    if (!more) taking_ = false;
  }
  changed_.notify_all();
}

std::optional<Clock::time_point> CameraCapture::firstFrameAt() const {
  std::lock_guard lock(mutex_);
  return firstFrame_;
}

CameraCapture::End CameraCapture::run(Context& context, const std::function<bool()>& done,
                                      const std::function<void()>& tick) {
  solvane::AcquisitionOptions options;
  options.address = settings_.address.host;
  options.port = settings_.address.port;
  options.attemptLimit = settings_.attempts;
  options.retryDelay = settings_.retryDelay;
  if (!acquisition_.connect(options))
    throw CliError(settings_.address.text() + ": the capture could not be started");

  const auto started = Clock::now();
  // When the stream is to be started (the epoch: not pending).
  Clock::time_point streamAt{};
  bool headerSeen = false;
  bool refusalTold = false;  // once per connection
  for (;;) {
    std::deque<solvane::AcquisitionEvent> events;
    {
      std::unique_lock lock(mutex_);
      changed_.wait_for(lock, kCheckInterval, [&] { return !events_.empty(); });
      events.swap(events_);
    }
    for (const auto& event : events) {
      using Kind = solvane::AcquisitionEvent::Kind;
      switch (event.kind) {
        case Kind::ThreadEnded:
          throw CliError(settings_.address.text() + ": no camera answers (" +
                         std::to_string(settings_.attempts) + " attempts)");
        case Kind::StartStreaming: streamAt = Clock::now() + kStreamStartDelay; break;
        case Kind::HeaderApplied: {
          headers_(event.header, acquisition_.camera(), !headerSeen);
          headerSeen = true;
          std::lock_guard lock(mutex_);
          headerReady_ = true;
          break;
        }
        case Kind::OperatedByHand:
          if (!settings_.waitOutRefusals)
            throw CliError(settings_.address.text() +
                           ": the camera refuses commands (it is operated by hand)");
          if (!refusalTold) {
            context.err << "irdex: " << settings_.address.text()
                        << ": the camera refuses commands (it is operated by hand); waiting\n";
            refusalTold = true;
          }
          break;
        case Kind::Connected: refusalTold = false; break;
        default: break;
      }
    }
    if (streamAt != Clock::time_point{} && Clock::now() >= streamAt) {
      acquisition_.startStreaming();
      streamAt = Clock::time_point{};
    }
    tick();
    if (context.stopRequested()) return End::Interrupted;
    if (done()) return End::Done;
    Clock::time_point lastFrame;
    bool taking;
    {
      std::lock_guard lock(mutex_);
      lastFrame = firstFrame_ ? lastFrame_ : started;
      taking = taking_;
    }
    if (taking && Clock::now() - lastFrame > settings_.frameTimeout) {
      char seconds[32];
      std::snprintf(seconds, sizeof seconds, "%g", settings_.frameTimeout.count() / 1000.0);
      throw CliError(settings_.address.text() + ": no frame from the camera for " + seconds + " s");
    }
  }
}

}  // namespace irdexcli
