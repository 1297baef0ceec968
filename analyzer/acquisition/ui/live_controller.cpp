#include "acquisition/ui/live_controller.h"

#include "acquisition/acquisition_messages.h"
#include "app/notifier.h"
#include "app/status_panes.h"
#include "app/ui/main_frame.h"
#include "app/vyn_cam_sdk_doc.h"
#include "discovery/core/names_file.h"
#include "discovery/ui/find_camera_dlg.h"
#include "view/ui/filter_dialogs.h"

#include <QAction>
#include <QActionGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace solvane {
namespace {
QString qs(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

LiveController::LiveController(CMainFrame& frame, CVynCamSDKDoc& document, Notifier& notifier,
                               LiveOptions options)
    : QObject(&frame),
      frame_(frame),
      document_(document),
      notifier_(notifier),
      options_(std::move(options)) {
  if (options_.namesFile.empty()) options_.namesFile = discovery::namesFileBesideExecutable();
  view_ = new CVynCamSDKView(pipeline_, &frame_);
  frame_.setCentralWidget(view_);
  acquisition_ = std::make_unique<LiveAcquisition>(
      [this](AcquisitionEvent event) {
        // Queued onto the window's thread; the queue keeps the order of the events.
        QMetaObject::invokeMethod(
            this, [this, event] { handle(event); }, Qt::QueuedConnection);
      },
      [this](const IRFrame& irFrame, const CameraState& camera) { onFrame(irFrame, camera); });
  const AnalyzerSettings& s = document_.settings();
  level_ = document_.image().level;
  span_ = document_.image().span;
  selectPalette(s.palette);
  FilterState filters;
  filters.kernel = s.filter;
  pipeline_.setFilters(filters);
  connect(view_, &CVynCamSDKView::mouseRead, this,
          [this](int x, int y, int intensity, std::optional<float> celsius) {
            frame_.statusPane(2)->setText(qs(mousePositionText(x, y)));
            frame_.statusPane(3)->setText(qs(intensityText(intensity)));
            if (celsius) {
              const int32_t unit = document_.settings().tempUnit;
              frame_.statusPane(4)->setText(qs(temperatureText(inUnit(*celsius, unit), unit)));
            }
            std::lock_guard lock(inputMutex_);
            input_.mouseX = x;
            input_.mouseY = y;
          });
  // The document keeps the level and span the automatic AGC arrived at (the information
  // block of snapshots and the level/span controls read them there).
  auto* levelTimer = new QTimer(this);
  levelTimer->setInterval(50);
  connect(levelTimer, &QTimer::timeout, this, [this] {
    std::lock_guard lock(inputMutex_);
    if (level_ != document_.image().level || span_ != document_.image().span)
      document_.setLevelSpan(level_, span_);
  });
  levelTimer->start();
  wireCommands();
  buildCameraButtons();
  refreshInput();
  refreshViewOptions();
  refreshCommands();
}

LiveController::~LiveController() {
  acquisition_->disconnect();
  if (tableSlot_) CloseIRCamDataKS(&tableFrame_);
}

void LiveController::selectPalette(int32_t index) {
  const bool invert = document_.settings().invert;
  if (!pipeline_.setPalette(index, invert)) return;
  document_.settings().palette = index;
  std::array<uint8_t, 768> colours{};
  if (GetImageLUT(colours.data(), index, invert ? 1 : 0) == SDK_SUCCESS)
    view_->setPaletteColours(colours);
  for (int i = 0; i < 13; ++i)
    if (QAction* a = frame_.command(QString("actionPalette%1").arg(i))) a->setChecked(i == index);
}

void LiveController::refreshInput() {
  const AnalyzerSettings& s = document_.settings();
  std::lock_guard lock(inputMutex_);
  input_.env = EnvParams{s.emissivity, s.atmTemp, s.atmTrans, 0.0f};
  input_.agc = document_.agcParams();
  input_.showMouseTemp = s.showMouseTemp;
  input_.table = table_.empty() ? nullptr : table_.data();
}

void LiveController::refreshViewOptions() {
  const AnalyzerSettings& s = document_.settings();
  ViewOptions o;
  o.zoom = s.zoom;
  o.mirror = s.mirror;
  o.flip = s.flip;
  o.hot = hot_;
  o.cold = cold_;
  o.showTemp = s.showTemp;
  o.timeStamp = s.timeStamp;
  o.unit = s.tempUnit;
  view_->setOptions(o);
}

void LiveController::onFrame(const IRFrame& irFrame, const CameraState& camera) {
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

void LiveController::loadTable(int32_t range) {
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

bool LiveController::connectCamera() {
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
  return true;
}

void LiveController::disconnectCamera() {
  acquisition_->disconnect();
  view_->stopDisplayTimer();
  live_ = false;
  refreshCommands();
}

void LiveController::live() {
  if (acquisition_->startStreaming() == SDK_SUCCESS) {
    live_ = true;
    view_->startDisplayTimer();
  } else {
    notifier_.tell(kCannotReceive, kMessageNotification);
  }
  refreshCommands();
}

void LiveController::freeze() {
  if (acquisition_->stopStreaming() == SDK_SUCCESS) {
    view_->stopDisplayTimer();
    live_ = false;
  } else {
    notifier_.tell(kCannotReceive, kMessageNotification);
  }
  refreshCommands();
}

void LiveController::chooseFrameRate(FrameRateChoice choice, int32_t userDivisor) {
  const int32_t divisor =
      choice == FrameRateChoice::UserDefined ? userDivisor : divisorFor(choice, cameraRate_);
  document_.settings().frame = divisor;
  acquisition_->setDivisor(divisor);
  refreshCommands();
}

void LiveController::changeRange(int32_t range) {
  document_.settings().dynamicRange = range;
  document_.rebuildIrInfoBlock();
  if (!acquisition_->changeRange(range)) {
    disconnectCamera();
    return;
  }
  loadTable(range);
  refreshCommands();
}

void LiveController::nuc() { acquisition_->nuc(); }

void LiveController::applyHeader(const CamHeaderBlock& header) {
  const CameraState camera = acquisition_->camera();
  if (tableSlot_) CloseIRCamDataKS(&tableFrame_);
  tableFrame_ = IRFrame{};
  tableFrame_.header = header;
  tableSlot_ = CreateIRCamDataKS(&tableFrame_) == SDK_SUCCESS;
  document_.settings().dynamicRange = header.bytes[IRDEX_HEADER_RANGE_INDEX];
  loadTable(document_.settings().dynamicRange);
  const uint8_t model = header.bytes[IRDEX_HEADER_MODEL];
  QAction* ranges[] = {frame_.command("actionRangeNormal"), frame_.command("actionRangeHigh"),
                       frame_.command("actionRangeMedical")};
  if (isKsModel(model)) {
    for (auto* a : ranges) a->setEnabled(false);
    if (camera.ranges.empty()) {
      ranges[0]->setEnabled(true);
      ranges[1]->setEnabled(true);
    }
    for (const RangeEntry& entry : camera.ranges) {
      if (entry.type < 0 || entry.type > 2) continue;
      ranges[entry.type]->setEnabled(true);
      if (!entry.name.empty()) ranges[entry.type]->setText(qs(entry.name));
    }
    reducedRate_ = header.bytes[header_byte::kReducedRate] == 1;
    cameraRate_ = reducedRate_ ? 9.0f : 30.0f;
    if (reducedRate_) chooseFrameRate(FrameRateChoice::Full);
  } else {
    const bool high = header.bytes[header_byte::kHighRange] != 0;
    ranges[0]->setEnabled(high);
    ranges[1]->setEnabled(high);
    ranges[2]->setEnabled(false);
    if (!high && document_.settings().dynamicRange != 0) changeRange(0);
    reducedRate_ = header.bytes[header_byte::kReducedRate] != 0;
  }
  refreshCommands();
}

void LiveController::handle(const AcquisitionEvent& event) {
  using Kind = AcquisitionEvent::Kind;
  switch (event.kind) {
    case Kind::FrameRate:
      frame_.statusPane(0)->setText(qs(frameRateText(event.value / 10.0)));
      break;
    case Kind::Model: frame_.statusPane(1)->setText(qs(modelText(event.value))); break;
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

void LiveController::refreshCommands() {
  const bool acquiring = acquisition_->threadRunning() || acquisition_->acquiring();
  auto set = [this](const char* name, bool enabled, std::optional<bool> checked = {}) {
    QAction* a = frame_.command(name);
    if (!a) return;
    a->setEnabled(enabled);
    if (checked) {
      a->setCheckable(true);
      a->setChecked(*checked);
    }
  };
  set("actionConnect", !acquiring);
  set("actionDisconnect", acquiring);
  set("actionLive", acquiring && !live_);
  set("actionFreeze", acquiring && live_);
  set("actionFindCamera", !acquiring);
  set("actionNuc", acquiring);
  const int32_t d = acquisition_->divisor();
  const FrameRateChoice current = choiceOfDivisor(d, cameraRate_);
  const char* rates[] = {"actionFullFps",    "actionHalfFps", "actionThirdFps",
                         "actionQuarterFps", "actionOneFps",  "actionUserFps"};
  for (int i = 0; i < 6; ++i) set(rates[i], !reducedRate_, static_cast<int>(current) == i);
  if (QAction* user = frame_.command("actionUserFps")) user->setText(qs(userDefineText(d)));
  const int32_t range = document_.settings().dynamicRange;
  const char* ranges[] = {"actionRangeNormal", "actionRangeHigh", "actionRangeMedical"};
  for (int i = 0; i < 3; ++i) {
    QAction* a = frame_.command(ranges[i]);
    a->setCheckable(true);
    a->setChecked(range == i);
  }
  if (liveButton_) {
    liveButton_->setText(live_ ? "Freeze" : "Live");
    liveButton_->setEnabled(acquiring);
  }
}

void LiveController::wireCommands() {
  auto on = [this](const char* name, auto slot) {
    if (QAction* a = frame_.command(name)) connect(a, &QAction::triggered, this, slot);
  };
  auto enable = [this](const char* name) {
    if (QAction* a = frame_.command(name)) a->setEnabled(true);
  };
  on("actionConnect", [this] { connectCamera(); });
  on("actionDisconnect", [this] { disconnectCamera(); });
  on("actionLive", [this] { live(); });
  on("actionFreeze", [this] { freeze(); });
  on("actionNuc", [this] { nuc(); });
  on("actionFullFps", [this] { chooseFrameRate(FrameRateChoice::Full); });
  on("actionHalfFps", [this] { chooseFrameRate(FrameRateChoice::Half); });
  on("actionThirdFps", [this] { chooseFrameRate(FrameRateChoice::Third); });
  on("actionQuarterFps", [this] { chooseFrameRate(FrameRateChoice::Quarter); });
  on("actionOneFps", [this] { chooseFrameRate(FrameRateChoice::OnePerSecond); });
  on("actionUserFps", [this] {
    CCameraFPSSetting dialog(acquisition_->divisor(), cameraRate_, &frame_);
    if (dialog.exec() == QDialog::Accepted)
      chooseFrameRate(FrameRateChoice::UserDefined, dialog.divisor());
  });
  on("actionRangeNormal", [this] { changeRange(0); });
  on("actionRangeHigh", [this] { changeRange(1); });
  on("actionRangeMedical", [this] { changeRange(2); });
  on("actionFindCamera", [this] {
    if (acquisition_->threadRunning()) return;
    CFindCamera dialog(&frame_);
    if (dialog.exec() != QDialog::Accepted) return;
    document_.settings().camIp = dialog.ipAddress().toStdString();
    document_.settings().camName = dialog.cameraName().toStdString();
    frame_.cameraAddress()->setText(dialog.ipAddress());
    frame_.showName(dialog.cameraName());
  });
  enable("actionFindCamera");
  for (int i = 0; i < 13; ++i) {
    const QByteArray name = "actionPalette" + QByteArray::number(i);
    if (QAction* a = frame_.command(QString::fromLatin1(name))) {
      a->setEnabled(true);
      a->setCheckable(true);
      connect(a, &QAction::triggered, this, [this, i] { selectPalette(i); });
    }
  }
  auto toggle = [this, &on](const char* name, bool AnalyzerSettings::*field) {
    if (QAction* a = frame_.command(name)) {
      a->setEnabled(true);
      a->setCheckable(true);
      a->setChecked(document_.settings().*field);
    }
    on(name, [this, field] {
      document_.settings().*field = !(document_.settings().*field);
      selectPalette(document_.settings().palette);
      refreshViewOptions();
    });
  };
  toggle("actionInvertPalette", &AnalyzerSettings::invert);
  toggle("actionMirror", &AnalyzerSettings::mirror);
  toggle("actionFlip", &AnalyzerSettings::flip);
  const char* zooms[] = {"actionZoom10", "actionZoom15", "actionZoom20",
                         "actionZoom25", "actionZoom30", "actionZoomFit"};
  for (int i = 0; i < 6; ++i) {
    const float value = i < 5 ? kZoomSteps[i] : 0.0f;
    if (QAction* a = frame_.command(zooms[i])) {
      a->setEnabled(true);
      a->setCheckable(true);
      a->setChecked(document_.settings().zoom == value);
      connect(a, &QAction::triggered, this, [this, value, zooms] {
        document_.settings().zoom = value;
        for (int j = 0; j < 6; ++j)
          frame_.command(zooms[j])->setChecked(document_.settings().zoom ==
                                               (j < 5 ? kZoomSteps[j] : 0.0f));
        refreshViewOptions();
      });
    }
  }
  for (int i = 0; i < 10; ++i) {
    const QByteArray name = "actionFilter" + QByteArray::number(i);
    QAction* a = frame_.command(QString::fromLatin1(name));
    if (!a) continue;
    a->setEnabled(true);
    connect(a, &QAction::triggered, this, [this, i] {
      FilterState f = pipeline_.filters();
      if (i <= 5) {
        f.kernel = kernelTypeOfFilter(i);
        document_.settings().filter = f.kernel;
        if (i == 0) f.bilateral = f.box = f.gaussian = f.stack = false;
      } else if (!editFilter(i, f, &frame_)) {
        return;
      }
      pipeline_.setFilters(f);
    });
  }
  if (QAction* a = frame_.command("actionHotCold")) {
    a->setEnabled(true);
    a->setCheckable(true);
    connect(a, &QAction::toggled, this, [this](bool on) {
      hot_ = cold_ = on;
      refreshViewOptions();
    });
  }
  if (QAction* a = frame_.command("actionCopyClipboard")) {
    a->setEnabled(true);
    connect(a, &QAction::triggered, view_, &CVynCamSDKView::copyToClipboard);
  }
}

void LiveController::buildCameraButtons() {
  QWidget* body = frame_.cameraAddress()->parentWidget();
  auto* layout = qobject_cast<QFormLayout*>(body->layout());
  if (!layout) return;
  auto* connectButton = new QPushButton("Connect", body);
  connectButton->setObjectName("connectButton");
  connect(connectButton, &QPushButton::clicked, this, [this] { connectCamera(); });
  liveButton_ = new QPushButton("Live", body);
  liveButton_->setObjectName("liveButton");
  connect(liveButton_, &QPushButton::clicked, this, [this] { live_ ? freeze() : live(); });
  auto* nucButton = new QPushButton("NUC", body);
  nucButton->setObjectName("nucButton");
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
