#include "record/ui/record_controller.h"

#include "app/notifier.h"
#include "app/ui/main_frame.h"
#include "app/vyn_cam_sdk_doc.h"
#include "export/file_names.h"
#include "record/record_rules.h"

#include <QAction>
#include <QFileDialog>

#include <cstring>

namespace solvane {

bool MovieWriterSink::open(const record::MovieSettings& settings) {
  std::string code(4, ' ');
  for (size_t i = 0; i < 4; ++i) code[i] = static_cast<char>((settings.fourcc >> (8 * i)) & 0xFF);
  writer_.open(settings.path, code, settings.frameStep, settings.frameRate, settings.quality);
  return writer_.state() != exports::MovieState::Closed;
}

bool MovieWriterSink::append(const record::MovieFrame& frame) {
  if (frame.bitsPerPixel != 32) return false;
  exports::MovieFrame picture;
  picture.width = frame.width;
  picture.height = frame.height;
  picture.stride = frame.width * 4;
  picture.pixels = frame.pixels;
  return writer_.appendFrame(picture);
}

void TempMapSeriesSink::exportFrame(const record::RawFrame& frame) {
  const size_t count = static_cast<size_t>(frame.width) * frame.height;
  if (current_.size() < count) return;
  // The exporter's thread outlives this call: it converts nothing, it writes this copy.
  auto temperatures =
      std::make_shared<std::vector<float>>(current_.begin(), current_.begin() + count);
  exporter_.start(name_(), frame.width, frame.height,
                  [temperatures] { return std::move(*temperatures); });
}

RecordController::RecordController(CMainFrame& frame, CVynCamSDKDoc& document,
                                   desktop::Notifier& notifier, FrameKeeper& frames,
                                   std::function<float()> cameraRate)
    : QObject(&frame),
      frame_(frame),
      document_(document),
      notifier_(notifier),
      cameraRate_(std::move(cameraRate)),
      series_(
          [this] {
            const AnalyzerSettings& s = document_.settings();
            return exports::exportFileName(s.savePath, s.camName,
                                           exports::ExportKind::TemperatureMap,
                                           exports::localTimeNow());
          },
          tempMaps_) {
  recorder_ = std::make_unique<record::Recorder>(
      [this](const record::RecorderEvent& event) {
        // From whichever thread recorded: the window hears of it on its own.
        QMetaObject::invokeMethod(
            this, [this, event] { handle(event); }, Qt::QueuedConnection);
      },
      &movie_, &series_);
  frames.addListener([this](FrameContext& context) { onFrame(context); });
  askPath_ = [this](const QString& folder, const QString& filter) {
    return QFileDialog::getSaveFileName(&frame_, "Save IR stream file", folder, filter);
  };
  frame.bind(Command::RecordIrStream, this, [this](bool) { startRecording(); });
  connect(&frame, &CMainFrame::settingsChanged, this, &RecordController::refreshSettings);
  frame.bind(Command::StopIrStream, this, [this](bool) { stopRecording(); });
  // Freezing or disconnecting ends a recording of the camera: a file that stopped growing
  // must be closed, not left open until the next frame that never comes. The freeze
  // command's state is where the window shows that the stream stopped.
  connect(frame.command(Command::Freeze), &QAction::changed, this, [this] {
    refreshSettings();  // the display divisor may have changed
    const bool live = frame_.commandContext().live;
    if (wasLive_ && !live && !playing_ && recorder_->state().recording()) stopRecording();
    wasLive_ = live;
  });
}

RecordController::~RecordController() {
  // Closes the stream file or the movie so that what was recorded stays readable.
  recorder_->stop();
  tempMaps_.waitAll();
}

void RecordController::refreshSettings() {
  const AnalyzerSettings& s = document_.settings();
  record::RecordSettings settings;
  settings.savePath = s.savePath;
  settings.cameraName = s.camName;
  settings.useAvi = s.useAvi;
  settings.alarmRecordSelection = s.alarmRecordSelection;
  settings.scheduleRecordSelection = s.schedRecordSelection;
  settings.fourcc = s.fourcc;
  settings.aviQuality = s.aviQuality;
  // The link's rate belongs to the window's thread; frames read the copy.
  if (cameraRate_) rate_ = cameraRate_();
  divisor_ = s.frame;
  settings.saveFrame =
      record::decimationFor(s.recordCond, s.recordPeriod, s.recordTimeUnit, rate_, s.frame);
  recorder_->setSettings(settings);
  const int32_t objectFrame =
      record::decimationFor(s.updateCond, s.updatePeriod, s.updateTimeUnit, rate_, s.frame);
  if (objectFrame != document_.settings().objectFrame) {
    document_.settings().objectFrame = objectFrame;
    emit objectFrameChanged(objectFrame);
  }
}

bool RecordController::startRecording() {
  refreshSettings();
  const AnalyzerSettings& s = document_.settings();
  std::string chosen;
  if (s.recordManualName && record::recordFormOf(s.useAvi) != record::RecordForm::Csv) {
    const bool movie = record::recordFormOf(s.useAvi) == record::RecordForm::Avi;
    const QString path = askPath_(QString::fromStdString(s.savePath),
                                  movie ? "AVI Files (*.avi)" : "IR Files (*.hxr)");
    if (path.isEmpty()) return false;
    chosen = path.toStdString();
  }
  return recorder_->recordCommand(std::move(chosen));
}

void RecordController::stopRecording() {
  recorder_->stopCommand();
  // A stream file's end is not announced by the recorder: the buttons change now.
  refreshButtons();
}

bool RecordController::startAutomatic(record::RecordKind kind) {
  // A recording already running (the user's, or the other automatic one) keeps its file.
  if (recorder_->state().recording()) return false;
  refreshSettings();
  const bool started = recorder_->start(kind);
  refreshButtons();
  return started;
}

void RecordController::stopAutomatic(record::RecordKind kind) {
  const record::RecorderState state = recorder_->state();
  if (!state.recording() || state.kind != kind) return;
  recorder_->stop();
  refreshButtons();
}

void RecordController::onPlaybackFrame(std::span<const uint16_t> pixels, int32_t timeValue) {
  recorder_->onPlaybackFrame(pixels, timeValue);
}

void RecordController::onFrame(FrameContext& context) {
  // A still frame composed again is not a new frame of the stream.
  if (context.replay || playing_) return;
  const record::RecorderState state = recorder_->state();
  record::CameraSnapshot camera;
  camera.cameraType = context.camera.cameraType;
  camera.width = context.width;
  camera.height = context.height;
  camera.env = context.input.env;
  camera.rangeIndex = IRFrameRangeIndex(&context.frame);
  camera.header = context.frame.header;
  camera.cameraFrameRate = rate_;
  camera.displayDivisor = divisor_;
  recorder_->setCamera(camera);
  const size_t count = static_cast<size_t>(context.count);
  if (context.frame.pixels == nullptr || context.frame.pixelCapacity < count) return;
  series_.setCurrent(context.out.temps);
  recorder_->onReceivedFrame(std::span<const uint16_t>(context.frame.pixels, count));
  series_.setCurrent({});
  if (state.avi && context.out.picture.size() >= count) {
    record::MovieFrame picture;
    picture.pixels = std::span<const uint8_t>(
        reinterpret_cast<const uint8_t*>(context.out.picture.data()), count * 4);
    picture.width = context.width;
    picture.height = context.height;
    picture.bitsPerPixel = 32;
    recorder_->onComposedPicture(picture);
  }
}

void RecordController::refreshButtons() {
  const record::RecorderState state = recorder_->state();
  frame_.updateCommandContext([&state](CommandContext& context) {
    context.recording = state.recording();
    context.userRecording = state.recording() && state.kind == record::RecordKind::User;
  });
}

void RecordController::handle(const record::RecorderEvent& event) {
  // A failure may have ended the recording without a word of its own: the buttons follow
  // the recorder's state after every event.
  refreshButtons();
  if (event.kind == record::RecorderEvent::Kind::Message)
    notifier_.tell(event.text, event.title.empty() ? "Error Message" : event.title,
                   Severity::Error);
  else
    emit recordingChanged(event.value);
}

}  // namespace solvane
