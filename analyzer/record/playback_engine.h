// Playback of an opened stream file: the play modes, the frame each pass reads, when the next
// one is due and the frame rate shown. One pass reads and hands over one frame; the thread
// that runs the passes (playback_thread.h) does the waiting, so tests drive the engine pass by
// pass with a clock of their own.
#pragma once

#include "record/play_file.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>

namespace solvane::record {

enum class PlayMode : int32_t {
  Play = 0,
  Stopped = 1,
  Paused = 2,
  Rewind = 3,
  FastForward = 4,
  StepBackward = 5,
  StepForward = 6,
  NoThread = 7
};

inline constexpr double kNormalSpeed = 1.0;
inline constexpr double kFastSpeed = 0.2;  // fast forward and rewind wait a fifth as long
inline constexpr int32_t kFrameRateFrames = 20;

// Which play-control buttons are enabled in a mode: while frames move on their own, play and
// the steps are off; while playback stands (paused, stopped, stepped, just loaded), pause and
// stop are off and the steps on. Rewind and fast forward are always offered.
struct PlayControlState {
  bool play = false, pause = false, stop = false, rewind = true, fastForward = true, steps = false;
};
PlayControlState playControlsFor(PlayMode mode);

struct PlaybackEvent {
  enum class Kind {
    Position,   // value: the frame shown (slider and frame number)
    Paused,     // playback reached an end and paused
    Stopped,    // the stop button moved playback to the first frame
    FrameRate,  // value: frames per second in tenths (source: playback)
    Error       // text: why the file could not be read further; the thread ends
  };
  Kind kind = Kind::Position;
  int32_t value = 0;
  std::string text;
};

struct PlayedFrame {
  const IRFrame& frame;  // camera header of the file, `pixels` = the frame's pixels
  std::span<const uint16_t> pixels;
  int32_t index = 0;
  int32_t timing = 0;  // the recorded time value, passed on to a running recording
  int64_t timeStamp = 0;
};

class PlaybackEngine {
 public:
  using Clock = std::chrono::steady_clock;
  using FrameHandler = std::function<void(const PlayedFrame&)>;
  using EventSink = std::function<void(const PlaybackEvent&)>;

  PlaybackEngine(
      PlayFile& file, FrameHandler frames, EventSink events,
      std::function<Clock::time_point()> now = [] { return Clock::now(); });

  // Play controls, from the user-interface thread. Those that move playback on lift a
  // suspension; pause and stop ask for one.
  void play();
  void pause();
  void stop();
  void rewind();
  void fastForward();
  void stepBackward();
  void stepForward();
  // The slider: the next frame read is `frame`; while playback stands still it is read and
  // shown at once.
  void seek(int32_t frame);
  // "Play loop": playing past the last frame continues at the first.
  void setLoop(bool loop);
  bool loop() const;
  // After a load: the first frame is shown and no thread runs yet.
  void showFirstFrame();

  PlayMode mode() const;
  double speed() const;
  int32_t shownFrame() const;
  int32_t frameCount() const { return file_.frameCount(); }

  struct Pass {
    enum class Next { Continue, Suspend, End };
    Next next = Next::Continue;
    Clock::time_point due;  // when the next frame may be read
  };
  // One loop pass of the playback thread: reads the frame of the current mode, hands it
  // over, and says when the next is due.
  Pass runPass();

  // The thread's side of suspension: waits while a suspension is asked for; false once
  // interrupted (the thread is to end).
  bool waitWhileSuspended();
  void interrupt();
  void clearInterrupt();
  bool interrupted() const;

 private:
  void setMode(PlayMode mode, double speed, bool moveOn);
  bool deliver(const FrameRead& read);

  PlayFile& file_;
  FrameHandler frames_;
  EventSink events_;
  std::function<Clock::time_point()> now_;

  // Held while the file is read and the frame handed over: the pixels stay put meanwhile.
  std::mutex readLock_;

  // Guards the play state below; `changed_` wakes a suspended thread.
  mutable std::mutex stateLock_;
  std::condition_variable changed_;
  PlayMode mode_ = PlayMode::NoThread;
  double speed_ = kNormalSpeed;
  bool loop_ = true;
  bool singleStep_ = false;
  bool suspendRequested_ = false;
  bool interrupted_ = false;
  std::optional<int32_t> shown_;
  std::optional<int32_t> nextFrame_;  // set by the slider and by stop

  // Frame-rate accumulation, playback thread only.
  double rateSum_ = 0;
  int32_t rateFrames_ = 0;
};

std::string playbackErrorText(SdkStatus status);

}  // namespace solvane::record
