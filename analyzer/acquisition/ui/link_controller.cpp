#include "acquisition/ui/link_controller.h"

#include "acquisition/acquisition_messages.h"
#include "acquisition/ui/camera_fps_setting.h"
#include "app/notifier.h"
#include "app/status_panes.h"
#include "app/ui/main_frame.h"
#include "app/vyn_cam_sdk_doc.h"
#include "discovery/core/names_file.h"

#include <QAction>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace solvane {
namespace {
QString qs(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

LinkController::LinkController(CMainFrame& frame, CVynCamSDKDoc& document, Notifier& notifier,
                               FramePipeline& pipeline, CVynCamSDKView& view, LiveOptions options)
    : QObject(&frame),
      frame_(frame),
      document_(document),
      notifier_(notifier),
      options_(std::move(options)),
      pipeline_(pipeline),
      view_(&view) {
  if (options_.namesFile.empty()) options_.namesFile = discovery::namesFileBesideExecutable();
  acquisition_ = std::make_unique<LiveAcquisition>(
      [this](AcquisitionEvent event) {
        // Queued onto the window's thread; the queue keeps the order of the events.
        QMetaObject::invokeMethod(
            this, [this, event = std::move(event)] { handle(event); }, Qt::QueuedConnection);
      },
      [this](const IRFrame& irFrame, const CameraState& camera) { onFrame(irFrame, camera); });
  level_ = document_.image().level;
  span_ = document_.image().span;
  rateWatch_.setSingleShot(true);
  connect(&rateWatch_, &QTimer::timeout, this,
          [this] { frame_.statusPane(StatusPane::FrameRate)->setText(qs(frameRateText(0.0))); });
  bindCommands();
  buildCameraButtons();
  refreshInput();
  refreshCommands();
  connect(&frame_, &CMainFrame::settingsChanged, this, [this] { refreshInput(); });
}

LinkController::~LinkController() {
  acquisition_->disconnect();
  if (tableSlot_) CloseIRCamDataKS(&tableFrame_);
}

void LinkController::setMousePixel(int32_t x, int32_t y) {
  std::lock_guard lock(inputMutex_);
  input_.mouseX = x;
  input_.mouseY = y;
}

void LinkController::parametersChanged() {
  refreshInput();
  PipelineInput input;
  float level, span;
  {
    std::lock_guard lock(inputMutex_);
    input = input_;
    level = level_;
    span = span_;
  }
  pipeline_.retuneStill(input, level, span);
}

void LinkController::setManualWindow(float level, float span) {
  {
    std::lock_guard lock(inputMutex_);
    level_ = level;
    span_ = span;
  }
  parametersChanged();
}

PipelineInput LinkController::input() const {
  std::lock_guard lock(inputMutex_);
  return input_;
}

void LinkController::refreshInput() {
  const AnalyzerSettings& s = document_.settings();
  std::lock_guard lock(inputMutex_);
  input_.env = EnvParams{s.emissivity, s.atmTemp, s.atmTrans, 0.0f};
  input_.agc = document_.agcParams();
  input_.showMouseTemp = s.showMouseTemp;
  input_.table = table_.empty() ? nullptr : table_.data();
}

void LinkController::onFrame(const IRFrame& irFrame, const CameraState& camera) {
  PipelineInput input;
  float level, span;
  {
    std::lock_guard lock(inputMutex_);
    input = input_;
    level = level_;
    span = span_;
  }
  if (!pipeline_.process(irFrame, camera, input, level, span)) return;
  std::lock_guard lock(inputMutex_);
  level_ = level;
  span_ = span;
}

void LinkController::loadTable(int32_t range) {
  table_.assign(65536, 0.0f);
  const CameraState camera = acquisition_->camera();
  SdkStatus status;
  int16_t low = 0, high = 0;
  if (camera.ks) {
    status = GetTempMapTableKS(&tableFrame_, table_.data(), range);
    GetTempRangeValueKS(&tableFrame_, range, &low, &high);
  } else {
    status = GetTempMapTable(table_.data(), range);
    GetTempRangeValue(range, &low, &high);
  }
  if (status != SDK_SUCCESS && !camera.ks) {
    table_.clear();
    notifier_.tell(kTableFailed, kErrorTitle, Severity::Error);
  }
  {
    std::lock_guard lock(inputMutex_);
    if (high > low) {
      input_.rangeMin = low;
      input_.rangeMax = high;
    }
  }
  refreshInput();
}

bool LinkController::connectCamera() {
  if (acquisition_->threadRunning()) return false;
  pipeline_.restart();
  view_->setStatusText({});
  const std::string address = document_.settings().camIp;
  if (address.empty() || !isValidCameraIp(address)) return false;
  AcquisitionOptions options;
  options.address = address;
  options.attemptLimit = document_.settings().netMaxReconnectionAttempt;
  options.retryDelay = options_.retryDelay;
  options.port = options_.port;
  options.namesFile = options_.namesFile;
  if (!acquisition_->connect(options)) {
    notifier_.tell(kThreadFailed, kErrorTitle, Severity::Error);
    return false;
  }
  loadTable(0);
  refreshCommands();
  emit linkChanged(true);
  return true;
}

void LinkController::disconnectCamera() {
  if (acquisition_->connected()) emit disconnecting();
  acquisition_->disconnect();
  view_->stopDisplayTimer();
  live_ = false;
  refreshCommands();
  emit linkChanged(false);
}

void LinkController::live() {
  if (acquisition_->startStreaming() == SDK_SUCCESS) {
    live_ = true;
    view_->startDisplayTimer();
  } else {
    notifier_.tell(kCannotReceive, kMessageNotification);
  }
  refreshCommands();
}

void LinkController::freeze() {
  if (acquisition_->stopStreaming() == SDK_SUCCESS) {
    view_->stopDisplayTimer();
    live_ = false;
  } else {
    notifier_.tell(kCannotReceive, kMessageNotification);
  }
  refreshCommands();
}

void LinkController::chooseFrameRate(FrameRateChoice choice, int32_t userDivisor) {
  const int32_t divisor =
      choice == FrameRateChoice::UserDefined ? userDivisor : divisorFor(choice, cameraRate_);
  document_.settings().frame = divisor;
  acquisition_->setDivisor(divisor);
  refreshCommands();
}

void LinkController::changeRange(int32_t range) {
  document_.settings().dynamicRange = range;
  document_.rebuildIrInfoBlock();
  if (!acquisition_->changeRange(range)) {
    disconnectCamera();
    return;
  }
  loadTable(range);
  refreshCommands();
}

void LinkController::nuc() { acquisition_->nuc(); }

void LinkController::applyHeader(const CamHeaderBlock& header) {
  const CameraState camera = acquisition_->camera();
  if (tableSlot_) CloseIRCamDataKS(&tableFrame_);
  tableFrame_ = IRFrame{};
  tableFrame_.header = header;
  tableSlot_ = CreateIRCamDataKS(&tableFrame_) == SDK_SUCCESS;
  document_.settings().dynamicRange = header.bytes[IRDEX_HEADER_RANGE_INDEX];
  loadTable(document_.settings().dynamicRange);
  const uint8_t model = header.bytes[IRDEX_HEADER_MODEL];
  rangesOffered_ = {};
  if (isKsModel(model)) {
    if (camera.ranges.empty()) rangesOffered_[0] = rangesOffered_[1] = true;
    for (const RangeEntry& entry : camera.ranges) {
      if (entry.type < 0 || entry.type >= kRangeCount) continue;
      rangesOffered_[static_cast<size_t>(entry.type)] = true;
      if (!entry.name.empty()) frame_.command(rangeCommand(entry.type))->setText(qs(entry.name));
    }
    reducedRate_ = header.bytes[header_byte::kReducedRate] == 1;
    cameraRate_ = reducedRate_ ? 9.0f : 30.0f;
    if (reducedRate_) chooseFrameRate(FrameRateChoice::Full);
  } else {
    const bool high = header.bytes[header_byte::kHighRange] != 0;
    rangesOffered_[0] = rangesOffered_[1] = high;
    if (!high && document_.settings().dynamicRange != 0) changeRange(0);
    reducedRate_ = header.bytes[header_byte::kReducedRate] != 0;
  }
  refreshCommands();
}

void LinkController::handle(const AcquisitionEvent& event) {
  using Kind = AcquisitionEvent::Kind;
  switch (event.kind) {
    case Kind::FrameRate:
      // Without a measured rate the pane shows what it shows before any camera.
      frame_.statusPane(StatusPane::FrameRate)
          ->setText(qs(frameRateText(event.code == 1 ? event.value / 10.0 : 0.0)));
      rateWatch_.stop();
      // The receiver may wait for frames that never come and so tell nothing: when the next
      // window is well overdue, the rate shown is withdrawn.
      if (event.code == 1 && event.value > 0)
        rateWatch_.start(static_cast<int>(kLiveRateWindow * 10000.0 / event.value * 1.5 +
                                          kRateOutageSeconds * 1000.0));
      break;
    case Kind::Model:
      frame_.statusPane(StatusPane::Model)->setText(qs(modelText(event.value)));
      break;
    case Kind::PullFailed:
      if (event.code == -100 && event.value == 1) notifier_.tell(kNotSupported);
      break;
    case Kind::HeaderApplied: applyHeader(event.header); break;
    case Kind::TitleChanged:
      document_.settings().camName = event.text;
      frame_.showName(qs(event.text));
      break;
    case Kind::StatusText: view_->setStatusText(qs(event.text)); break;
    case Kind::OperatedByHand: notifier_.tell(kOperatedByHand); break;
    case Kind::StartStreaming:
      QTimer::singleShot(500, this, [this] {
        if (acquisition_->connected()) live();
      });
      break;
    case Kind::Connected: pipeline_.restart(); break;
    case Kind::ThreadEnded: refreshCommands(); break;
  }
  emit eventHandled(static_cast<int>(event.kind));
}

void LinkController::refreshCommands() {
  const bool acquiring = acquisition_->threadRunning() || acquisition_->acquiring();
  const int32_t divisor = acquisition_->divisor();
  frame_.updateCommandContext([&](CommandContext& c) {
    c.acquiring = acquiring;
    c.live = live_;
    c.reducedRate = reducedRate_;
    c.rate = choiceOfDivisor(divisor, cameraRate_);
    c.range = document_.settings().dynamicRange;
    c.rangesOffered = rangesOffered_;
  });
  frame_.command(Command::UserFps)->setText(qs(userDefineText(divisor)));
  if (liveButton_) {
    liveButton_->setText(live_ ? "Freeze" : "Live");
    liveButton_->setEnabled(acquiring);
  }
}

void LinkController::bindCommands() {
  auto on = [this](Command command, std::function<void()> act) {
    frame_.bind(command, this, [act = std::move(act)](bool) { act(); });
  };
  on(Command::Connect, [this] { connectCamera(); });
  on(Command::Disconnect, [this] { disconnectCamera(); });
  on(Command::Live, [this] { live(); });
  on(Command::Freeze, [this] { freeze(); });
  on(Command::Nuc, [this] { nuc(); });
  for (auto choice : {FrameRateChoice::Full, FrameRateChoice::Half, FrameRateChoice::Third,
                      FrameRateChoice::Quarter, FrameRateChoice::OnePerSecond})
    on(frameRateCommand(choice), [this, choice] { chooseFrameRate(choice); });
  on(Command::UserFps, [this] {
    CCameraFPSSetting dialog(acquisition_->divisor(), cameraRate_, &frame_);
    if (dialog.exec() == QDialog::Accepted)
      chooseFrameRate(FrameRateChoice::UserDefined, dialog.divisor());
    else
      refreshCommands();  // the menu shows the choice in force, not the one just clicked
  });
  for (int32_t range = 0; range < kRangeCount; ++range)
    on(rangeCommand(range), [this, range] { changeRange(range); });
}

void LinkController::buildCameraButtons() {
  QWidget* body = frame_.cameraAddress()->parentWidget();
  auto* layout = qobject_cast<QFormLayout*>(body->layout());
  if (!layout) return;
  auto* connectButton = new QPushButton("Connect", body);
  connectButton->setObjectName("connectButton");
  connectButton->setAccessibleName("Connect to the camera");
  connect(connectButton, &QPushButton::clicked, this, [this] { connectCamera(); });
  liveButton_ = new QPushButton("Live", body);
  liveButton_->setObjectName("liveButton");
  liveButton_->setAccessibleName("Live or freeze the picture");
  connect(liveButton_, &QPushButton::clicked, this, [this] { live_ ? freeze() : live(); });
  auto* nucButton = new QPushButton("NUC", body);
  nucButton->setObjectName("nucButton");
  nucButton->setAccessibleName("NUC");
  connect(nucButton, &QPushButton::clicked, this, [this] { nuc(); });
  layout->addRow(connectButton);
  layout->addRow(liveButton_);
  layout->addRow(nucButton);
  const char* motors[] = {"Focus", "Zoom"};
  for (int which = 0; which < 2; ++which) {
    auto* row = new QWidget(body);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    const char* signs[] = {"+", "-"};
    for (int d = 0; d < 2; ++d) {
      auto* button = new QPushButton(signs[d], row);
      button->setObjectName(QString("%1%2").arg(motors[which]).arg(d == 0 ? "Plus" : "Minus"));
      button->setAccessibleName(QString("%1 %2").arg(motors[which]).arg(d == 0 ? "+" : "-"));
      connect(button, &QPushButton::pressed, this,
              [this, which, d] { acquisition_->focusZoom(which, d + 1); });
      connect(button, &QPushButton::released, this,
              [this, which] { acquisition_->focusZoom(which, 0); });
      h->addWidget(button);
    }
    layout->addRow(tr(motors[which]), row);
  }
}

}  // namespace solvane
