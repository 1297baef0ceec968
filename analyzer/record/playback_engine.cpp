#include "record/playback_engine.h"

#include "record/record_rules.h"

#include <algorithm>
#include <cmath>

namespace solvane::record {

namespace {
bool readsForward(PlayMode mode) {
  return mode == PlayMode::Play || mode == PlayMode::FastForward || mode == PlayMode::StepForward;
}
bool readsBackward(PlayMode mode) {
  return mode == PlayMode::Rewind || mode == PlayMode::StepBackward;
}
}  // namespace

PlayControlState playControlsFor(PlayMode mode) {
  PlayControlState state;
  const bool moving =
      mode == PlayMode::Play || mode == PlayMode::Rewind || mode == PlayMode::FastForward;
  state.play = !moving;
  state.pause = moving;
  state.stop = moving;
  state.steps = !moving;
  return state;
}

std::string playbackErrorText(SdkStatus status) {
  const char* why = "No code.";
  switch (status) {
    case SDK_ERR_OPEN_FILE: why = "File open error."; break;
    case SDK_ERR_READ_IR_IMAGE: why = "IR image read error."; break;
    case SDK_ERR_STREAM_BUFFER: why = "File stream buffer allocation error."; break;
    case SDK_ERR_FRAME_POSITION: why = "First frame position error."; break;
    case SDK_ERR_BUFFER: why = "Buffer allocation error."; break;
    default: break;
  }
  return std::string(kDataFileError) + why;
}

PlaybackEngine::PlaybackEngine(PlayFile& file, FrameHandler frames, EventSink events,
                               std::function<Clock::time_point()> now)
    : file_(file), frames_(std::move(frames)), events_(std::move(events)), now_(std::move(now)) {}

void PlaybackEngine::setMode(PlayMode mode, double speed, bool moveOn) {
  {
    std::lock_guard lock(stateLock_);
    mode_ = mode;
    speed_ = speed;
    singleStep_ = mode == PlayMode::StepBackward || mode == PlayMode::StepForward;
    suspendRequested_ = !moveOn;
  }
  changed_.notify_all();
}

void PlaybackEngine::play() { setMode(PlayMode::Play, kNormalSpeed, true); }
void PlaybackEngine::pause() { setMode(PlayMode::Paused, kNormalSpeed, false); }
void PlaybackEngine::rewind() { setMode(PlayMode::Rewind, kFastSpeed, true); }
void PlaybackEngine::fastForward() { setMode(PlayMode::FastForward, kFastSpeed, true); }
void PlaybackEngine::stepBackward() { setMode(PlayMode::StepBackward, kNormalSpeed, true); }
void PlaybackEngine::stepForward() { setMode(PlayMode::StepForward, kNormalSpeed, true); }

void PlaybackEngine::stop() {
  setMode(PlayMode::Stopped, kNormalSpeed, false);
  {
    std::lock_guard lock(stateLock_);
    nextFrame_ = 0;
    shown_.reset();
  }
  if (events_) {
    events_({PlaybackEvent::Kind::Stopped, 0, {}});
    events_({PlaybackEvent::Kind::Position, 0, {}});
  }
}

void PlaybackEngine::setLoop(bool loop) {
  std::lock_guard lock(stateLock_);
  loop_ = loop;
}

bool PlaybackEngine::loop() const {
  std::lock_guard lock(stateLock_);
  return loop_;
}

PlayMode PlaybackEngine::mode() const {
  std::lock_guard lock(stateLock_);
  return mode_;
}

double PlaybackEngine::speed() const {
  std::lock_guard lock(stateLock_);
  return speed_;
}

int32_t PlaybackEngine::shownFrame() const {
  std::lock_guard lock(stateLock_);
  return shown_.value_or(0);
}

void PlaybackEngine::seek(int32_t frame) {
  std::lock_guard read(readLock_);
  const int32_t count = file_.frameCount();
  if (count == 0) return;
  frame = std::clamp(frame, 0, count - 1);
  bool standing;
  {
    std::lock_guard lock(stateLock_);
    standing = !readsForward(mode_) && !readsBackward(mode_);
    nextFrame_ = frame;
  }
  if (!standing) return;
  const FrameRead got = file_.readForward(frame, false);
  if (deliver(got)) {
    std::lock_guard lock(stateLock_);
    nextFrame_.reset();
  }
}

void PlaybackEngine::showFirstFrame() {
  {
    std::lock_guard lock(stateLock_);
    mode_ = PlayMode::NoThread;
    shown_.reset();
    nextFrame_.reset();
  }
  seek(0);
}

bool PlaybackEngine::deliver(const FrameRead& read) {
  const bool whole = read.status == SDK_SUCCESS || read.status == SDK_ERR_END_OF_IR_IMAGE ||
                     read.status == SDK_ERR_START_OF_IR_IMAGE;
  if (!whole) return false;
  if (frames_) {
    const auto& pixels = file_.pixels();
    frames_(PlayedFrame{file_.frame(), std::span<const uint16_t>(pixels.data(), pixels.size()),
                        read.frame, read.timing, read.timeStamp});
  }
  {
    std::lock_guard lock(stateLock_);
    shown_ = read.frame;
  }
  if (events_) events_({PlaybackEvent::Kind::Position, read.frame, {}});
  return true;
}

PlaybackEngine::Pass PlaybackEngine::runPass() {
  std::lock_guard read(readLock_);
  PlayMode mode;
  double speed;
  bool wrap;
  int32_t target;
  {
    std::lock_guard lock(stateLock_);
    mode = mode_;
    speed = speed_;
    wrap = loop_;
    if (!readsForward(mode) && !readsBackward(mode)) {
      suspendRequested_ = true;
      return Pass{Pass::Next::Suspend, now_()};
    }
    // The frame after (or before) the one shown; the slider and stop name it themselves.
    if (nextFrame_) {
      target = *nextFrame_;
    } else if (shown_) {
      target = readsForward(mode) ? *shown_ + 1 : std::max(*shown_ - 1, 0);
    } else {
      target = 0;
    }
    nextFrame_.reset();
  }

  const FrameRead got =
      readsForward(mode) ? file_.readForward(target, wrap) : file_.readBackward(target);
  // The reading export says "start" already when it steps onto the first frame from the
  // second; playback stands still only once the first frame itself is shown.
  const bool atEnd = got.status == SDK_ERR_END_OF_IR_IMAGE ||
                     (got.status == SDK_ERR_START_OF_IR_IMAGE && got.frame == 0);
  if (!deliver(got)) {
    if (events_) events_({PlaybackEvent::Kind::Error, got.status, playbackErrorText(got.status)});
    return Pass{Pass::Next::End, now_()};
  }
  const Clock::time_point handled = now_();

  bool suspend;
  {
    std::lock_guard lock(stateLock_);
    if (atEnd || singleStep_) {
      singleStep_ = false;
      mode_ = PlayMode::Paused;
      suspendRequested_ = true;
    }
    suspend = suspendRequested_;
  }
  if (atEnd && events_) events_({PlaybackEvent::Kind::Paused, got.frame, {}});

  // The recorded time value (10 us units) sets the pace; fast modes wait a fifth as long.
  const double scaled = std::floor(static_cast<double>(got.timing) * speed);
  const auto waitMs =
      static_cast<int64_t>(std::floor(static_cast<double>(got.timing) * speed * 0.01));
  const Clock::time_point due = handled + std::chrono::milliseconds(std::max<int64_t>(waitMs, 0));

  // A time value of zero (a damaged file) has no rate; it is left out instead of dividing.
  if (scaled >= 1.0) rateSum_ += 100000.0 / scaled;
  if (++rateFrames_ == kFrameRateFrames) {
    const auto shown = static_cast<int32_t>(std::floor(rateSum_ * 10.0 / kFrameRateFrames + 0.5));
    rateSum_ = 0;
    rateFrames_ = 0;
    if (events_) events_({PlaybackEvent::Kind::FrameRate, shown, {}});
  }
  return Pass{suspend ? Pass::Next::Suspend : Pass::Next::Continue, due};
}

bool PlaybackEngine::waitWhileSuspended() {
  std::unique_lock lock(stateLock_);
  changed_.wait(lock, [&] { return interrupted_ || !suspendRequested_; });
  return !interrupted_;
}

void PlaybackEngine::interrupt() {
  {
    std::lock_guard lock(stateLock_);
    interrupted_ = true;
  }
  changed_.notify_all();
}

void PlaybackEngine::clearInterrupt() {
  std::lock_guard lock(stateLock_);
  interrupted_ = false;
}

bool PlaybackEngine::interrupted() const {
  std::lock_guard lock(stateLock_);
  return interrupted_;
}

}  // namespace solvane::record
