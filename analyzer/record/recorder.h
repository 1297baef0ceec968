// The document's recording: RAW stream files, AVI movies and CSV temperature-map series,
// started and stopped by the user, an alarm or the schedule, fed by the acquisition thread
// (every received frame), the playback thread (every played frame) and the view (every
// composed picture). Everything runs under the recording lock; what the user is told goes
// out through the event sink after the lock is released, so a listener may call back in.
#pragma once

#include "record/frame_sinks.h"
#include "record/record_rules.h"

#include <irdex.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace solvane::record {

// The settings a recording reads ("SAVE PATH", "CAM NAME", "USE AVI", ...).
struct RecordSettings {
  std::string savePath;
  std::string cameraName = "Thermal";
  int32_t useAvi = 0;
  int32_t alarmRecordSelection = 0;
  int32_t scheduleRecordSelection = 0;
  std::string fourcc = "MSVC";
  int32_t aviQuality = 10000;
  int32_t saveFrame = 1;
};

// What the recorder needs to know of the camera (or of the file played back).
struct CameraSnapshot {
  int32_t cameraType = 0;
  uint16_t width = 320;
  uint16_t height = 240;
  EnvParams env{0.95f, 20.0f, 1.0f, 0.0f};
  uint8_t rangeIndex = 0;
  CamHeaderBlock header{};
  float cameraFrameRate = 30.0f;
  int32_t displayDivisor = 0;
};

struct RecorderEvent {
  enum class Kind {
    MainFrame,  // value: 3 a recording started, 1 it ended (the record buttons follow)
    Message     // text and title of a message box
  };
  Kind kind = Kind::Message;
  int32_t value = 0;
  std::string text;
  std::string title;
};

struct RecorderState {
  bool raw = false;
  bool avi = false;
  bool csv = false;
  RecordKind kind = RecordKind::User;
  bool resume = false;
  uint32_t frameCounter = 0;       // frames in the current stream file
  std::string path;                // the current stream file or movie
  std::vector<std::string> files;  // every stream file and movie started, oldest first
  bool recording() const { return raw || avi || csv; }
};

class Recorder {
 public:
  using EventSink = std::function<void(const RecorderEvent&)>;
  using SteadyClock = std::chrono::steady_clock;

  // Clocks and the size limit, replaceable by tests.
  struct Hooks {
    std::function<LocalTime()> localTime = currentLocalTime;
    std::function<SteadyClock::time_point()> now = [] { return SteadyClock::now(); };
    int64_t fileSizeLimit = kStreamFileLimit;
  };

  explicit Recorder(EventSink events, MovieSink* movie = nullptr, TempMapSink* tempMaps = nullptr);
  Recorder(EventSink events, MovieSink* movie, TempMapSink* tempMaps, Hooks hooks);
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  void setSettings(const RecordSettings& settings);
  RecordSettings settings() const;
  void setCamera(const CameraSnapshot& camera);

  // "Record IR stream file": the recording is to be resumed after a reconnection. A path
  // the user chose ("Manual Name") names its first file; empty names it automatically.
  bool recordCommand(std::string chosenPath = {});
  // "Stop to save IR stream file", and every stop that is not to be resumed (disconnect,
  // freeze, loading a file, a failed movie frame).
  void stopCommand();
  // Starts a recording of the form the kind selects; false when nothing was started.
  bool start(RecordKind kind, bool notify = true);
  // Ends whatever records; the resume flag stays (a pull error stops, the reconnection
  // resumes).
  void stop();
  // After a reconnection: starts a user recording again when the resume flag is set.
  bool resumeAfterReconnect();

  // A frame received from the camera: counted for "SAVE FRAME"; every such frame gets the
  // time since the previous one and goes to the stream file or the CSV series.
  void onReceivedFrame(std::span<const uint16_t> pixels);
  // A frame played back: appended with the time value read from the file; counted for the
  // CSV series like a received frame.
  void onPlaybackFrame(std::span<const uint16_t> pixels, int32_t timeValue);
  // The composed picture of a processed frame, for a movie.
  void onComposedPicture(const MovieFrame& picture);

  RecorderState state() const;

 private:
  struct Pending;
  bool startLocked(RecordKind kind, bool notify, Pending& out);
  bool startRawLocked(RecordKind kind, Pending& out);
  bool startMovieLocked(RecordKind kind, Pending& out);
  std::string fileNameLocked(RecordKind kind, const LocalTime& time, const char* extension);
  void stopLocked(Pending& out);
  void closeStreamLocked(Pending& out);
  void appendLocked(std::span<const uint16_t> pixels, int32_t timeValue, Pending& out);
  void exportTempMapLocked(std::span<const uint16_t> pixels);
  RecordForm formOf(RecordKind kind) const;
  void dispatch(Pending& out);

  EventSink events_;
  MovieSink* movie_;
  TempMapSink* tempMaps_;
  Hooks hooks_;

  // The recording lock: guards everything below.
  mutable std::mutex lock_;
  RecordSettings settings_;
  CameraSnapshot camera_;
  RecorderState state_;
  RecordForm activeForm_ = RecordForm::Raw;
  IRStreamHandle stream_ = nullptr;
  int32_t streamVersion_ = 17;
  int64_t streamBytes_ = 0;
  bool restartPending_ = false;
  std::string chosenPath_;  // the user recording's own name, if one was chosen
  bool chosenTaken_ = false;
  int32_t receivedCount_ = 0;
  int32_t movieCount_ = 0;
  RecordTimer timer_;
  IRHeader header_{};
  IRHeaderExt headerExt_{};
  std::vector<uint16_t> padded_;
};

}  // namespace solvane::record
