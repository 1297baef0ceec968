#include "record/ui/playback_controller.h"

#include "acquisition/camera_facts.h"
#include "app/notifier.h"
#include "app/status_panes.h"
#include "app/ui/main_frame.h"
#include "app/vyn_cam_sdk_doc.h"
#include "export/ui/export_controller.h"
#include "record/record_rules.h"
#include "record/ui/record_controller.h"
#include "snapshot/snapshot.h"

#include <QAction>
#include <QDockWidget>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSlider>

#include <cstring>

namespace solvane {
namespace {

constexpr const char* kErrorTitle = "Error Message";
constexpr const char* kRecentKey = "Recent File List/Files";

// Reads snapshots through the shared reader and says why one could not be read.
class SnapshotFileReader final : public record::SnapshotReader {
 public:
  explicit SnapshotFileReader(desktop::Notifier& notifier) : notifier_(notifier) {}
  std::optional<record::SnapshotImage> read(const std::string& path) override {
    const snapshot::ReadResult result = snapshot::readSnapshotFile(path);
    if (!result.ok()) {
      const std::string_view message = snapshot::messageFor(result.error);
      if (!message.empty()) notifier_.tell(std::string(message), kErrorTitle, Severity::Error);
      return std::nullopt;
    }
    record::SnapshotImage image;
    image.info = result.data.info;
    std::memcpy(image.header.bytes, result.data.camHeader.data(), sizeof image.header.bytes);
    image.pixels = result.data.pixels;
    return image;
  }

 private:
  desktop::Notifier& notifier_;
};

struct ButtonEntry {
  const char* objectName;
  const char* text;
  const char* accessibleName;
  void (CIRPlayControlDlgDock::*signal)();
};
constexpr ButtonEntry kButtons[] = {
    {"playButton", ">", "Play", &CIRPlayControlDlgDock::play},
    {"pauseButton", "||", "Pause", &CIRPlayControlDlgDock::pause},
    {"stopButton", "Stop", "Stop", &CIRPlayControlDlgDock::stop},
    {"rewindButton", "<<", "Rewind", &CIRPlayControlDlgDock::rewind},
    {"fastForwardButton", ">>", "Fast forward", &CIRPlayControlDlgDock::fastForward},
    {"stepBackwardButton", "<", "Step backward", &CIRPlayControlDlgDock::stepBackward},
    {"stepForwardButton", ">", "Step forward", &CIRPlayControlDlgDock::stepForward},
};

}  // namespace

QStringList withRecentFile(QStringList files, const QString& path) {
  files.removeAll(path);
  files.prepend(path);
  while (files.size() > kRecentFileCount) files.removeLast();
  return files;
}

CIRPlayControlDlgDock::CIRPlayControlDlgDock(QWidget* parent) : QWidget(parent) {
  setObjectName("PlayControlPaneBody");
  auto* layout = new QGridLayout(this);
  int column = 0;
  for (const ButtonEntry& definition : kButtons) {
    auto* button = new QPushButton(QString::fromUtf8(definition.text), this);
    button->setObjectName(definition.objectName);
    button->setAccessibleName(definition.accessibleName);
    button->setToolTip(definition.accessibleName);
    button->setMaximumWidth(48);
    connect(button, &QPushButton::clicked, this, definition.signal);
    layout->addWidget(button, 0, column++);
  }
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setObjectName("positionSlider");
  slider_->setAccessibleName("Position");
  slider_->setRange(0, 0);
  layout->addWidget(slider_, 1, 0, 1, column - 2);
  frameNumber_ = new QLabel("0", this);
  frameNumber_->setObjectName("frameNumber");
  frameNumber_->setAccessibleName("Frame number");
  layout->addWidget(frameNumber_, 1, column - 2, 1, 2);
  connect(slider_, &QSlider::valueChanged, this, [this](int value) {
    frameNumber_->setNum(value);
    if (!settingPosition_) emit seek(value);
  });
  showMode(record::PlayMode::NoThread, false);
}

QPushButton* CIRPlayControlDlgDock::button(const char* objectName) const {
  return findChild<QPushButton*>(objectName);
}

void CIRPlayControlDlgDock::showMode(record::PlayMode mode, bool streamOpen) {
  const record::PlayControlState state = record::playControlsFor(mode);
  button("playButton")->setEnabled(streamOpen && state.play);
  button("pauseButton")->setEnabled(streamOpen && state.pause);
  button("stopButton")->setEnabled(streamOpen && state.stop);
  button("rewindButton")->setEnabled(streamOpen && state.rewind);
  button("fastForwardButton")->setEnabled(streamOpen && state.fastForward);
  button("stepBackwardButton")->setEnabled(streamOpen && state.steps);
  button("stepForwardButton")->setEnabled(streamOpen && state.steps);
  slider_->setEnabled(streamOpen);
}

void CIRPlayControlDlgDock::setFrameCount(int32_t count) {
  settingPosition_ = true;
  slider_->setRange(0, count > 0 ? count - 1 : 0);
  settingPosition_ = false;
}

void CIRPlayControlDlgDock::showPosition(int32_t frame) {
  // The thread's position moves the slider without asking to seek there again.
  settingPosition_ = true;
  slider_->setValue(frame);
  frameNumber_->setNum(frame);
  settingPosition_ = false;
}

PlaybackController::PlaybackController(CMainFrame& frame, CVynCamSDKDoc& document,
                                       desktop::Notifier& notifier, FramePipeline& pipeline,
                                       ExportController& exports, RecordController& records,
                                       std::function<void()> disconnectCamera)
    : QObject(&frame),
      frame_(frame),
      document_(document),
      notifier_(notifier),
      pipeline_(pipeline),
      exports_(exports),
      records_(records),
      disconnectCamera_(std::move(disconnectCamera)),
      reader_(std::make_unique<SnapshotFileReader>(notifier)) {
  session_ = std::make_unique<record::IrFileSession>(
      [this](const record::PlayedFrame& played) { onFrame(played); },
      [this](const record::PlaybackEvent& event) {
        QMetaObject::invokeMethod(
            this, [this, event] { handle(event); }, Qt::QueuedConnection);
      },
      reader_.get());

  pane_ = new CIRPlayControlDlgDock(frame.pane(kPlayControlPane));
  frame.pane(kPlayControlPane)->setWidget(pane_);
  auto& s = *session_;
  const auto control = [this](void (record::IrFileSession::*act)()) {
    return [this, act] {
      (session_.get()->*act)();
      refreshControls();
    };
  };
  connect(pane_, &CIRPlayControlDlgDock::play, this, control(&record::IrFileSession::play));
  connect(pane_, &CIRPlayControlDlgDock::pause, this, control(&record::IrFileSession::pause));
  connect(pane_, &CIRPlayControlDlgDock::stop, this, control(&record::IrFileSession::stop));
  connect(pane_, &CIRPlayControlDlgDock::rewind, this, control(&record::IrFileSession::rewind));
  connect(pane_, &CIRPlayControlDlgDock::fastForward, this,
          control(&record::IrFileSession::fastForward));
  connect(pane_, &CIRPlayControlDlgDock::stepBackward, this,
          control(&record::IrFileSession::stepBackward));
  connect(pane_, &CIRPlayControlDlgDock::stepForward, this,
          control(&record::IrFileSession::stepForward));
  connect(pane_, &CIRPlayControlDlgDock::seek, this, [&s](int index) { s.seek(index); });

  frame.bind(Command::LoadIrFile, this, [this](bool) { chooseAndOpen(); });
  frame.bind(Command::CloseIrFile, this, [this](bool) { close(); });
  frame.bind(Command::PlayLoop, this, [this](bool checked) {
    session_->setLoop(checked);
    frame_.updateCommandContext([checked](CommandContext& c) { c.playLoop = checked; });
  });

  // The recent files sit in the File menu, just before "Exit".
  QMenu* fileMenu = nullptr;
  for (QAction* action : frame.menuBar()->actions())
    if (action->menu() && action->menu()->actions().contains(frame.command(Command::LoadIrFile)))
      fileMenu = action->menu();
  if (fileMenu) {
    recentMenu_ = new QMenu("Recent Files", fileMenu);
    recentMenu_->setObjectName("menuRecentFiles");
    recentMenu_->setAccessibleName("Recent Files");
    fileMenu->insertMenu(frame.command(Command::Exit), recentMenu_);
  }
  recent_ = QSettings().value(kRecentKey).toStringList().mid(0, kRecentFileCount);
  rememberRecent({});
}

PlaybackController::~PlaybackController() {
  // The playback thread composes into the pipeline: it ends before anything it uses.
  session_.reset();
}

void PlaybackController::rememberRecent(const QString& path) {
  if (!path.isEmpty()) {
    recent_ = withRecentFile(recent_, path);
    QSettings().setValue(kRecentKey, recent_);
  }
  if (!recentMenu_) return;
  recentMenu_->clear();
  for (int i = 0; i < recent_.size(); ++i) {
    const QString file = recent_[i];
    QAction* entry = recentMenu_->addAction(QString("&%1 %2").arg(i + 1).arg(file));
    entry->setObjectName(QString("actionRecentFile%1").arg(i + 1));
    connect(entry, &QAction::triggered, this, [this, file] { open(file.toStdString()); });
  }
  recentMenu_->setEnabled(!recent_.isEmpty());
}

void PlaybackController::chooseAndOpen() {
  QFileDialog dialog(&frame_, "Load IR file", QString::fromStdString(document_.settings().savePath),
                     kIrFileFilter);
  dialog.setDefaultSuffix("hxr");
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAccessibleName("Load IR file");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  open(dialog.selectedFiles().front().toStdString());
}

bool PlaybackController::open(const std::string& path) {
  if (disconnectCamera_) disconnectCamera_();
  records_.stopRecording();
  if (!record::irFileKindOf(path)) {
    notifier_.tell(record::kLoadRefused, kErrorTitle, Severity::Error);
    return false;
  }
  exports_.frames().clear();
  exports_.setLoadedSnapshot(std::nullopt);
  const record::LoadOutcome out = session_->load(path);
  if (!out.message.empty()) notifier_.tell(out.message, kErrorTitle, Severity::Error);
  if (!out.loaded) {
    records_.setPlaying(false);
    refreshControls();
    return false;
  }

  AnalyzerSettings& settings = document_.settings();
  settings.camName = out.cameraName;
  settings.emissivity = out.env.emissivity;
  settings.atmTemp = out.env.atmosphericTemp;
  settings.atmTrans = out.env.transmission;
  if (out.snapshot) {
    const record::SnapshotParams& p = *out.snapshot;
    settings.agcMode = p.agcMode;
    settings.dynamicRange = p.range;
    settings.palette = p.palette;
    settings.invert = p.invert;
    settings.mirror = p.mirror;
    settings.flip = p.flip;
    if (p.zoom > 0) settings.zoom = p.zoom;
  }
  document_.setImageSize(out.width, out.height);
  {
    std::lock_guard lock(inputMutex_);
    camera_ = CameraState{};
    camera_.width = out.width;
    camera_.height = out.height;
    camera_.headerVersion = out.header.bytes[IRDEX_HEADER_VERSION];
    camera_.cameraType =
        cameraTypeOf(out.header.bytes[IRDEX_HEADER_VERSION], out.header.bytes[IRDEX_HEADER_MODEL]);
    camera_.ks = isKsCameraType(camera_.cameraType);
    // The ranges of the camera that recorded a KS file of the later generation, as a live
    // header of that camera would give them.
    camera_.ranges = camera_.ks && camera_.headerVersion > 32 ? rangeListOf(out.header)
                                                              : std::vector<RangeEntry>{};
    camera_.name = out.cameraName;
    input_ = PipelineInput{};
    input_.env = out.env;
    input_.agc = document_.agcParams();
    table_.assign(65536, 0.0f);
    int16_t low = 0, high = 0;
    if (!camera_.ks && GetTempMapTable(table_.data(), out.range) == SDK_SUCCESS) {
      input_.table = table_.data();
      if (GetTempRangeValue(out.range, &low, &high) == SDK_SUCCESS && high > low) {
        input_.rangeMin = low;
        input_.rangeMax = high;
      }
    }
    level_ = out.snapshot ? out.snapshot->level : document_.image().level;
    span_ = out.snapshot ? out.snapshot->span : document_.image().span;
  }
  pipeline_.setPalette(settings.palette, settings.invert);
  pipeline_.restart();

  frame_.statusPane(StatusPane::Model)->setText(QString::fromStdString(out.statusPane));
  frame_.showName(QString::fromStdString(out.cameraName));
  pane_->setFrameCount(out.frameCount);
  pane_->showPosition(0);
  records_.setPlaying(out.kind == record::IrFileKind::Stream);
  if (out.kind == record::IrFileKind::Snapshot) {
    exports_.setLoadedSnapshot(path);
    showStill();
  } else {
    // The stream's first frame was shown by the load, before the window knew its size.
    session_->seek(0);
  }
  frame_.updateCommandContext([](CommandContext& c) { c.fileOpen = true; });
  rememberRecent(QString::fromStdString(path));
  refreshControls();
  return true;
}

void PlaybackController::showStill() {
  PipelineInput input;
  CameraState camera;
  float level, span;
  {
    std::lock_guard lock(inputMutex_);
    input = input_;
    camera = camera_;
    level = level_;
    span = span_;
  }
  pipeline_.process(session_->stillFrame(), camera, input, level, span);
}

void PlaybackController::close() {
  std::string message;
  if (!session_->close(&message) && !message.empty())
    notifier_.tell(message, kErrorTitle, Severity::Error);
  records_.setPlaying(false);
  exports_.setLoadedSnapshot(std::nullopt);
  pane_->setFrameCount(0);
  pane_->showPosition(0);
  frame_.showName({});
  frame_.updateCommandContext([](CommandContext& c) { c.fileOpen = false; });
  refreshControls();
}

void PlaybackController::onFrame(const record::PlayedFrame& played) {
  PipelineInput input;
  CameraState camera;
  float level, span;
  {
    std::lock_guard lock(inputMutex_);
    input = input_;
    camera = camera_;
    level = level_;
    span = span_;
  }
  if (pipeline_.process(played.frame, camera, input, level, span)) {
    std::lock_guard lock(inputMutex_);
    level_ = level;
    span_ = span;
  }
  const size_t count = static_cast<size_t>(camera.width) * camera.height;
  if (played.pixels.size() >= count)
    records_.onPlaybackFrame(played.pixels.first(count), played.timing);
}

void PlaybackController::handle(const record::PlaybackEvent& event) {
  using Kind = record::PlaybackEvent::Kind;
  switch (event.kind) {
    case Kind::Position:
      pane_->showPosition(event.value);
      emit positionChanged(event.value);
      break;
    case Kind::FrameRate:
      frame_.statusPane(StatusPane::FrameRate)
          ->setText(QString::fromStdString(frameRateText(event.value / 10.0)));
      break;
    case Kind::Error: notifier_.tell(event.text, kErrorTitle, Severity::Error); break;
    case Kind::Paused:
    case Kind::Stopped: break;
  }
  refreshControls();
}

void PlaybackController::refreshControls() {
  pane_->showMode(session_->engine().mode(), session_->streamOpen());
}

}  // namespace solvane
