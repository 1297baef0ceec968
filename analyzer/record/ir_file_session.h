// The document's play side: "Load IR file" for stream files and radiometric snapshots,
// "Close IR file", and the play controls, which start the playback thread when needed.
#pragma once

#include "record/play_file.h"
#include "record/playback_engine.h"
#include "record/playback_thread.h"

#include <irdex.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace solvane::record {

inline constexpr std::size_t kInfoBlockBytes = 260;

// What a radiometric snapshot holds: the IR information block, the camera header and the raw
// frame (W x H pixels). Read by the snapshot code, which shows its own messages on failure.
struct SnapshotImage {
  std::array<uint8_t, kInfoBlockBytes> info{};
  CamHeaderBlock header{};
  std::vector<uint16_t> pixels;
};

class SnapshotReader {
 public:
  virtual ~SnapshotReader() = default;
  virtual std::optional<SnapshotImage> read(const std::string& path) = 0;
};

// The image parameters a snapshot restores, decoded from its information block.
struct SnapshotParams {
  uint16_t width = 0;
  uint16_t height = 0;
  int32_t agcMode = 0;
  float level = 0;
  float span = 0;
  float atmosphericTemp = 0;
  float transmission = 0;
  float emissivity = 0;
  int32_t range = 0;
  int32_t palette = 0;
  float zoom = 1.0f;
  bool invert = false;
  bool mirror = false;
  bool flip = false;
};
SnapshotParams snapshotParamsOf(const std::array<uint8_t, kInfoBlockBytes>& info);

enum class IrFileKind { Stream, Snapshot };
// The extension decides, compared exactly: "hxr" or "jpg"; anything else (also "JPG") none.
std::optional<IrFileKind> irFileKindOf(const std::string& path);
// The file's name without folder and extension: the camera name and the window title.
std::string fileTitleOf(const std::string& path);

struct LoadOutcome {
  bool loaded = false;
  IrFileKind kind = IrFileKind::Stream;
  std::string message;  // shown with the title "Error Message" when not empty
  std::string statusPane;
  std::string windowTitle;
  std::string cameraName;
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t range = 0;
  EnvParams env{};
  bool ksFamily = false;  // stream version above 16
  CamHeaderBlock header{};
  int32_t frameCount = 0;                  // the slider's range
  std::optional<SnapshotParams> snapshot;  // a snapshot's restored parameters
};

class IrFileSession {
 public:
  IrFileSession(
      PlaybackEngine::FrameHandler frames, PlaybackEngine::EventSink events,
      SnapshotReader* snapshots = nullptr, std::unique_ptr<Pacer> pacer = nullptr,
      std::function<PlaybackEngine::Clock::time_point()> now = [] {
        return PlaybackEngine::Clock::now();
      });
  ~IrFileSession();

  // "Load IR file" from the moment the user chose the file: the caller has disconnected,
  // stopped any recording and reset the view.
  LoadOutcome load(const std::string& path);
  // "Close IR file": ends the playback thread between two frames and closes the stream.
  // False (with "File close error!") when closing failed.
  bool close(std::string* message = nullptr);

  bool streamOpen() const { return file_.isOpen(); }
  bool stillImage() const { return still_; }
  const std::string& stillPath() const { return stillPath_; }
  // The frame record of a loaded snapshot (its pixels, header and KS calibration).
  const IRFrame& stillFrame() const { return stillFrame_; }

  // Play controls.
  void play();
  void pause();
  void stop();
  void rewind();
  void fastForward();
  void stepBackward();
  void stepForward();
  void seek(int32_t frame) { engine_.seek(frame); }
  void setLoop(bool loop) { engine_.setLoop(loop); }

  PlaybackEngine& engine() { return engine_; }
  const PlayFile& file() const { return file_; }
  bool threadRunning() const { return thread_.running(); }

 private:
  void releaseStill();

  PlayFile file_;
  PlaybackEngine engine_;
  PlaybackThread thread_;
  SnapshotReader* snapshots_;
  bool still_ = false;
  std::string stillPath_;
  std::vector<uint16_t> stillPixels_;
  IRFrame stillFrame_{};
};

}  // namespace solvane::record
