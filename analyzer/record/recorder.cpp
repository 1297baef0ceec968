#include "record/recorder.h"

#include "record/stream_geometry.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

namespace solvane::record {

// Events gathered under the recording lock and handed out after it is released.
struct Recorder::Pending {
  std::vector<RecorderEvent> events;
  void notice(int32_t value) { events.push_back({RecorderEvent::Kind::MainFrame, value, {}, {}}); }
  void message(std::string text, std::string title = kErrorTitle) {
    events.push_back({RecorderEvent::Kind::Message, 0, std::move(text), std::move(title)});
  }
};

Recorder::Recorder(EventSink events, MovieSink* movie, TempMapSink* tempMaps)
    : Recorder(std::move(events), movie, tempMaps, Hooks{}) {}

Recorder::Recorder(EventSink events, MovieSink* movie, TempMapSink* tempMaps, Hooks hooks)
    : events_(std::move(events)), movie_(movie), tempMaps_(tempMaps), hooks_(std::move(hooks)) {}

Recorder::~Recorder() {
  std::lock_guard lock(lock_);
  if (stream_) CloseIRStream(stream_);
  stream_ = nullptr;
  if (movie_ && movie_->isOpen()) movie_->close();
}

void Recorder::setSettings(const RecordSettings& settings) {
  std::lock_guard lock(lock_);
  settings_ = settings;
  settings_.saveFrame = std::max(settings_.saveFrame, 1);
}

RecordSettings Recorder::settings() const {
  std::lock_guard lock(lock_);
  return settings_;
}

void Recorder::setCamera(const CameraSnapshot& camera) {
  Pending out;
  {
    std::lock_guard lock(lock_);
    // A recording goes on across a reconnection; but frames of another size or family
    // (another camera answered at the address) cannot join the file: they get one of their
    // own, as at the size limit.
    const bool otherFrames = state_.raw && stream_ &&
                             (camera.width != header_.width || camera.height != header_.height ||
                              streamVersionFor(camera.cameraType) != streamVersion_);
    camera_ = camera;
    if (otherFrames) {
      restartPending_ = true;
      stopLocked(out);
    }
  }
  dispatch(out);
}

RecorderState Recorder::state() const {
  std::lock_guard lock(lock_);
  return state_;
}

void Recorder::dispatch(Pending& out) {
  if (!events_) return;
  for (const RecorderEvent& event : out.events) events_(event);
}

RecordForm Recorder::formOf(RecordKind kind) const {
  const int32_t selection = kind == RecordKind::Alarm      ? settings_.alarmRecordSelection
                            : kind == RecordKind::Schedule ? settings_.scheduleRecordSelection
                                                           : settings_.useAvi;
  return recordFormOf(selection).value_or(RecordForm::Raw);
}

std::string Recorder::fileNameLocked(RecordKind kind, const LocalTime& time,
                                     const char* extension) {
  if (kind != RecordKind::User || chosenPath_.empty())
    return freeFileName(
        recordingFileName(settings_.savePath, settings_.cameraName, time, extension));
  std::string chosen = chosenPath_;
  const std::string ending = std::string(".") + extension;
  const std::string given = std::filesystem::path(chosen).extension().string();
  if (!std::equal(given.begin(), given.end(), ending.begin(), ending.end(),
                  [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
    chosen += ending;
  // The user's name as chosen (the save dialog asked before replacing a file); the later
  // files of the same recording (size limit, another camera) beside it, never over it.
  if (!chosenTaken_) {
    chosenTaken_ = true;
    return chosen;
  }
  return freeFileName(chosen);
}

bool Recorder::recordCommand(std::string chosenPath) {
  Pending out;
  bool started;
  {
    std::lock_guard lock(lock_);
    chosenPath_ = std::move(chosenPath);
    chosenTaken_ = false;
    state_.resume = true;
    started = startLocked(RecordKind::User, true, out);
  }
  dispatch(out);
  return started;
}

void Recorder::stopCommand() {
  Pending out;
  {
    std::lock_guard lock(lock_);
    state_.resume = false;
    stopLocked(out);
  }
  dispatch(out);
}

bool Recorder::start(RecordKind kind, bool notify) {
  Pending out;
  bool started;
  {
    std::lock_guard lock(lock_);
    started = startLocked(kind, notify, out);
  }
  dispatch(out);
  return started;
}

void Recorder::stop() {
  Pending out;
  {
    std::lock_guard lock(lock_);
    stopLocked(out);
  }
  dispatch(out);
}

bool Recorder::resumeAfterReconnect() {
  Pending out;
  bool started = false;
  {
    std::lock_guard lock(lock_);
    if (state_.resume && !state_.recording()) started = startLocked(RecordKind::User, true, out);
  }
  dispatch(out);
  return started;
}

bool Recorder::startLocked(RecordKind kind, bool notify, Pending& out) {
  const RecordForm form = formOf(kind);
  bool started = false;
  switch (form) {
    case RecordForm::Raw: started = startRawLocked(kind, out); break;
    case RecordForm::Avi: started = startMovieLocked(kind, out); break;
    case RecordForm::Csv:
      state_.csv = true;
      started = true;
      break;
  }
  if (!started) return false;
  activeForm_ = form;
  state_.kind = kind;
  if (kind != RecordKind::Alarm && notify) out.notice(kNoticeRecordingStarted);
  return true;
}

bool Recorder::startRawLocked(RecordKind kind, Pending& out) {
  closeStreamLocked(out);
  const LocalTime time = hooks_.localTime();
  const std::string path = fileNameLocked(kind, time, kStreamExtension);

  header_ = IRHeader{};
  header_.version = static_cast<uint8_t>(streamVersionFor(camera_.cameraType));
  header_.width = camera_.width;
  header_.height = camera_.height;
  header_.emissivity = camera_.env.emissivity;
  header_.atmosphericTemp = camera_.env.atmosphericTemp;
  header_.transmission = camera_.env.transmission;
  header_.reserved = camera_.env.reserved;
  headerExt_ = IRHeaderExt{};
  headerExt_.recorder = camera_.rangeIndex;
  headerExt_.year = time.year;
  headerExt_.month = time.month;
  headerExt_.day = time.day;
  headerExt_.hour = time.hour;
  headerExt_.minute = time.minute;
  headerExt_.second = time.second;
  std::memcpy(headerExt_.camHeader, camera_.header.bytes, sizeof headerExt_.camHeader);

  IRStreamHandle stream = nullptr;
  if (SaveIRHeader(&stream, path.c_str(), &header_, &headerExt_) != SDK_SUCCESS || !stream) {
    out.message(kFileOpenError);
    return false;
  }
  stream_ = stream;
  streamVersion_ = header_.version;
  streamBytes_ = firstFrameFor(streamVersion_);
  state_.raw = true;
  state_.frameCounter = 0;
  state_.path = path;
  state_.files.push_back(path);
  timer_.start(hooks_.now());
  return true;
}

bool Recorder::startMovieLocked(RecordKind kind, Pending& out) {
  if (settings_.fourcc.empty()) {
    out.message(kNoCodec, kWarningTitle);
    return false;
  }
  if (!movie_) {
    out.message(kUnsupportedCodec, kMovieErrorTitle);
    return false;
  }
  MovieSettings movie;
  movie.path = fileNameLocked(kind, hooks_.localTime(), kMovieExtension);
  movie.fourcc = fourccOf(settings_.fourcc);
  movie.frameStep = (std::max(camera_.displayDivisor, 0) + 1) * settings_.saveFrame;
  movie.frameRate = static_cast<int32_t>(camera_.cameraFrameRate);
  movie.quality = settings_.aviQuality;
  if (!movie_->open(movie)) {
    out.message(movie_->errorText(), kMovieErrorTitle);
    return false;
  }
  state_.avi = true;
  state_.path = movie.path;
  state_.files.push_back(movie.path);
  // The first composed picture is appended at once.
  movieCount_ = settings_.saveFrame - 1;
  return true;
}

void Recorder::closeStreamLocked(Pending& out) {
  if (!stream_) return;
  if (CloseIRStream(stream_) != SDK_SUCCESS) out.message(kFileCloseError);
  stream_ = nullptr;
}

void Recorder::stopLocked(Pending& out) {
  if (!state_.recording()) return;
  state_.raw = false;
  state_.csv = false;
  closeStreamLocked(out);
  if (activeForm_ == RecordForm::Csv) {
    out.notice(kNoticeRecordingEnded);
  } else if (restartPending_) {
    restartPending_ = false;
    // The new file continues the same recording: RAW whatever the selection says now, and
    // the record buttons are not told.
    startRawLocked(state_.kind, out);
  } else {
    out.notice(kNoticeRecordingEnded);
  }
  if (state_.avi) {
    if (movie_ && movie_->isOpen()) movie_->close();
    state_.avi = false;
  }
}

void Recorder::appendLocked(std::span<const uint16_t> pixels, int32_t timeValue, Pending& out) {
  if (!state_.raw || !stream_) return;
  const int32_t width = header_.width;
  const int32_t height = header_.height;
  const std::size_t imagePixels = static_cast<std::size_t>(width) * height;
  const bool extraRow = streamVersion_ >= 32;
  const std::size_t framePixels = imagePixels + (extraRow ? static_cast<std::size_t>(width) : 0);

  SdkStatus status = SDK_ERR_BUFFER;
  const uint16_t* data = pixels.data();
  if (pixels.size() >= imagePixels && data) {
    if (pixels.size() < framePixels) {
      // A frame without its extra row (a version-32 camera's image alone): the row is written
      // as zeros rather than read past the caller's buffer.
      padded_.assign(framePixels, 0);
      std::copy_n(pixels.begin(), imagePixels, padded_.begin());
      data = padded_.data();
    }
    if (streamBytes_ > hooks_.fileSizeLimit) {
      status = SDK_ERR_FRAME_COUNT_OVER;
    } else {
      status = SetIRImageToStream_v2(stream_, data, static_cast<int32_t>(imagePixels), timeValue,
                                     &state_.frameCounter, streamVersion_);
    }
  }
  switch (status) {
    case SDK_SUCCESS: streamBytes_ += frameBytesFor(streamVersion_, width, height); return;
    case SDK_ERR_FRAME_COUNT_OVER: {
      // The file is full: a new one starts at once, and the frame that found it full is the
      // new file's first, so the roll-over loses nothing.
      restartPending_ = true;
      stopLocked(out);
      if (state_.raw && stream_ && streamBytes_ <= hooks_.fileSizeLimit) {
        appendLocked(pixels, timeValue, out);
      }
      return;
    }
    case SDK_ERR_BUFFER:
      stopLocked(out);
      out.message(kImageBufferError);
      return;
    case SDK_ERR_OPEN_FILE:
      stopLocked(out);
      out.message(kNoStream);
      return;
    default:
      stopLocked(out);
      out.message(kImageWriteError);
      return;
  }
}

void Recorder::exportTempMapLocked(std::span<const uint16_t> pixels) {
  if (!tempMaps_) return;
  RawFrame frame;
  frame.width = camera_.width;
  frame.height = camera_.height;
  const std::size_t imagePixels = static_cast<std::size_t>(frame.width) * frame.height;
  if (pixels.size() < imagePixels) return;
  frame.pixels = pixels.first(imagePixels);
  frame.env = camera_.env;
  frame.header = camera_.header;
  tempMaps_->exportFrame(frame);
}

void Recorder::onReceivedFrame(std::span<const uint16_t> pixels) {
  Pending out;
  {
    std::lock_guard lock(lock_);
    if (++receivedCount_ >= settings_.saveFrame) {
      receivedCount_ = 0;
      const int32_t timeValue = timer_.next(hooks_.now());
      appendLocked(pixels, timeValue, out);
      if (state_.csv) exportTempMapLocked(pixels);
    }
  }
  dispatch(out);
}

void Recorder::onPlaybackFrame(std::span<const uint16_t> pixels, int32_t timeValue) {
  Pending out;
  {
    std::lock_guard lock(lock_);
    if (++receivedCount_ >= settings_.saveFrame) {
      receivedCount_ = 0;
      if (state_.csv) exportTempMapLocked(pixels);
    }
    appendLocked(pixels, timeValue, out);
  }
  dispatch(out);
}

void Recorder::onComposedPicture(const MovieFrame& picture) {
  Pending out;
  {
    std::lock_guard lock(lock_);
    if (!state_.avi || !movie_) return;
    if (++movieCount_ < settings_.saveFrame) return;
    movieCount_ = 0;
    if (!movie_->append(picture)) {
      const std::string why = movie_->errorText();
      state_.resume = false;
      stopLocked(out);
      out.message(why, kMovieErrorTitle);
    }
  }
  dispatch(out);
}

}  // namespace solvane::record
