// The connection to one camera and the thread that keeps it: connects and reconnects, asks
// for the camera header until it arrives, pulls packets, hands frames to the view's pipeline
// and reports to the window through an ordered queue of events.
#pragma once

#include "acquisition/camera_address.h"
#include "acquisition/camera_facts.h"
#include "acquisition/frame_rate.h"

#include <irdex.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace solvane {

// What the acquisition thread tells the window, in the order it happened.
struct AcquisitionEvent {
  enum class Kind {
    FrameRate,       // code 1: value is the measured rate in tenths of a hertz; 0: no rate
    Model,           // value: model index of the camera
    PullFailed,      // value: NAK type (ackCode2), code: status
    HeaderApplied,   // header: the camera header block; the range and rate are to be applied
    TitleChanged,    // text: camera name
    StatusText,      // text: "RECEIVE CAMERA DATA" or an error text
    OperatedByHand,  // the camera refused a command: it is worked by its own buttons
    StartStreaming,  // the temperature table is done: start streaming in 500 ms
    Connected,       // a connection attempt succeeded (value: attempt number)
    ThreadEnded      // the attempt limit was reached
  };
  Kind kind = Kind::StatusText;
  int32_t value = 0;
  int32_t code = 0;
  std::string text;
  CamHeaderBlock header{};
};

struct AcquisitionOptions {
  std::string address;
  std::string port = kCameraPort;
  int32_t attemptLimit = 99;
  std::chrono::milliseconds retryDelay{10000};
  std::chrono::milliseconds tableWait{1000};
  // Where the camera name is looked up.
  std::filesystem::path neighbourTable = "/proc/net/arp";
  std::filesystem::path namesFile;
};

// What the thread knows about the camera once the header arrived.
struct CameraState {
  uint16_t width = 320;
  uint16_t height = 240;
  int32_t cameraType = 0;
  int32_t modelIndex = 0;
  bool ks = false;
  uint8_t headerVersion = 0;
  std::vector<RangeEntry> ranges;
  std::string name;
  bool tableValid = false;
};

class LiveAcquisition {
 public:
  using EventSink = std::function<void(AcquisitionEvent)>;
  // Runs on the acquisition thread for every frame taken; `frame.pixels` is the document's
  // copy of width x height (plus the KS extra row) pixels.
  using FrameHandler = std::function<void(const IRFrame& frame, const CameraState& camera)>;

  LiveAcquisition(EventSink events, FrameHandler frames);
  ~LiveAcquisition();
  LiveAcquisition(const LiveAcquisition&) = delete;
  LiveAcquisition& operator=(const LiveAcquisition&) = delete;

  // Starts the thread; false (and nothing started) for an invalid address or when a thread
  // already runs.
  bool connect(AcquisitionOptions options);
  // Clears the run flag, closes the connection and waits for the thread (cooperatively: every
  // wait of the thread wakes on the flag). Returns within about a second.
  void disconnect();

  bool acquiring() const { return acquiring_; }
  bool threadRunning() const { return running_; }
  bool connected() const;
  int32_t attempts() const { return attempts_; }

  // Commands: the command lock is held and the handle re-tested inside it. Return 1 when sent.
  int32_t sendCommand(int32_t index);
  int32_t sendSetting(uint16_t id, int16_t value, uint32_t word3 = 0);

  // Frame rate: the divisor is remembered and sent when connected.
  void setDivisor(int32_t divisor);
  int32_t divisor() const { return divisor_; }
  int32_t startStreaming();  // the divisor, then command 3
  int32_t stopStreaming();   // command 4

  // Range change: frames are dropped for `settle` from now; sends 0x0503 and asks for the
  // header again. False when the header request failed (the caller then disconnects).
  bool changeRange(int32_t range,
                   std::chrono::milliseconds settle = std::chrono::milliseconds(2000));
  bool settling() const;

  // NUC by family; focus (0) or zoom (1): direction 1 "+", 2 "-", 0 stop.
  void nuc();
  void focusZoom(int32_t which, int32_t direction);

  // Snapshot of the camera state (taken under a lock).
  CameraState camera() const;

 private:
  void run();
  bool waitStopped(std::chrono::milliseconds duration);
  bool openConnection();
  void closeConnection();
  void temperatureTable();
  void pull();
  void takeHeader();
  void takeFrame();
  void post(AcquisitionEvent event);
  void postRate(std::optional<int32_t> tenths);

  EventSink events_;
  FrameHandler frames_;
  AcquisitionOptions options_;
  std::thread thread_;
  std::atomic<bool> acquiring_{false};
  std::atomic<bool> running_{false};
  std::atomic<int32_t> attempts_{-1};
  std::atomic<int32_t> divisor_{0};
  std::mutex stopMutex_;
  std::condition_variable stopChanged_;

  mutable std::mutex commandLock_;
  int32_t socket_ = -1;
  IrdexTimer* timer_ = nullptr;

  std::atomic<int64_t> settleUntil_{0};
  bool headerSeen_ = false;
  bool tableDone_ = false;
  mutable std::mutex cameraMutex_;
  CameraState camera_;

  IRFrame live_{};
  std::vector<uint16_t> receive_;
  std::vector<uint8_t> staging_;
  std::vector<uint16_t> pixels_;
  IRFrame current_{};
  MeasuredRate rate_;
  CamTempTable table_{};
};

}  // namespace solvane
