// Headless capture from a camera through the analyzer's acquisition: the same address rule,
// connection, header and table handshake, and reconnection of a dropped link (within the
// attempt limit). Frames reach the caller on the acquisition thread; everything else (the
// header, the start of the stream, failures) is handled on the caller's thread.
#pragma once

#include "acquisition/live_acquisition.h"
#include "commands.h"

#include <irdex.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace irdexcli {

struct CameraAddress {
  std::string host;
  std::string port = "15001";
  std::string text() const { return host + ":" + port; }
};
// "A.B.C.D" or "A.B.C.D:PORT"; throws a usage error for anything else.
CameraAddress parseCameraAddress(const std::string& text);

struct CaptureSettings {
  CameraAddress address;
  int32_t attempts = 3;
  std::chrono::milliseconds retryDelay{2000};
  // How long the first frame may take once the capture started, and the longest gap
  // between frames after it (reconnections included): the receiver itself waits without
  // a bound on a link that stalls.
  std::chrono::milliseconds frameTimeout{20000};
  // A camera that refuses commands because someone works it by hand: a one-frame capture
  // ends with that reason; a recording says so once and waits (up to the frame timeout)
  // for the camera to take commands again, keeping what it recorded.
  bool waitOutRefusals = false;
};

class CameraCapture {
 public:
  // Takes one received frame on the acquisition thread; returns false once it wants no more.
  using FrameTaker = std::function<bool(const IRFrame& frame, const solvane::CameraState& camera)>;
  // The camera's header arrived (again, after a reconnection); on the caller's thread.
  using HeaderTaker = std::function<void(const CamHeaderBlock& header,
                                         const solvane::CameraState& camera, bool first)>;

  CameraCapture(CaptureSettings settings, FrameTaker frames, HeaderTaker headers);
  ~CameraCapture();

  enum class End { Done, Interrupted };
  // Connects and streams until `done()` holds (checked whenever something happens and at
  // least every 100 ms), the context is interrupted, or the capture fails (thrown as a run
  // error naming the camera). `tick` runs on every check, for progress.
  End run(Context& context, const std::function<bool()>& done, const std::function<void()>& tick);
  // Stops the stream and closes the connection (also done by the destructor).
  void stop();

  // When the first frame was taken.
  std::optional<std::chrono::steady_clock::time_point> firstFrameAt() const;

 private:
  void onEvent(solvane::AcquisitionEvent event);
  void onFrame(const IRFrame& frame, const solvane::CameraState& camera);

  CaptureSettings settings_;
  FrameTaker frames_;
  HeaderTaker headers_;
  solvane::LiveAcquisition acquisition_;

  // Guards everything below; `changed_` wakes the caller's thread.
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<solvane::AcquisitionEvent> events_;
  bool headerReady_ = false;  // the caller has taken the header: frames may go to the taker
  bool taking_ = true;
  std::optional<std::chrono::steady_clock::time_point> firstFrame_;
  std::chrono::steady_clock::time_point lastFrame_{};
};

}  // namespace irdexcli
