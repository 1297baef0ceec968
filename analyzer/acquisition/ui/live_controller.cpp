#include "acquisition/ui/live_controller.h"

#include "alarm/ui/alarm_controller.h"
#include "app/status_panes.h"
#include "app/ui/main_frame.h"
#include "app/vyn_cam_sdk_doc.h"
#include "controls/ui/emissivity_dlg.h"
#include "controls/unit_text.h"
#include "export/ui/export_controller.h"
#include "export/ui/object_log_controller.h"
#include "record/ui/playback_controller.h"
#include "record/ui/record_controller.h"
#include "record/ui/record_set_page.h"
#include "view/view_layout.h"

#include <QLabel>

namespace solvane {
namespace {
QString qs(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

LiveController::LiveController(CMainFrame& frame, CVynCamSDKDoc& document, Notifier& notifier,
                               LiveOptions options)
    : QObject(&frame), document_(document) {
  rerender_.setMaxThreadCount(1);
  pipeline_.setEventSink([this](PipelineEvent event) {
    // Frames come faster than the window needs to hear of each; level and span changes are
    // all told, in order.
    if (std::holds_alternative<FrameComposed>(event) && viewUpdateQueued_.exchange(true)) return;
    QMetaObject::invokeMethod(
        this, [this, event = std::move(event)] { handle(event); }, Qt::QueuedConnection);
  });
  view_ = new CVynCamSDKView(pipeline_, &frame);
  frame.setCentralWidget(view_);
  link_ = new LinkController(frame, document, notifier, pipeline_, *view_, std::move(options));
  viewOptions_ =
      new ViewOptionsController(frame, document, pipeline_, *view_, [this] { rerenderStill(); });
  objects_ = new ObjectsController(frame, document, notifier, pipeline_, *view_,
                                   [this] { rerenderStill(); });
  search_ = new CameraSearchController(frame, document,
                                       [this] { return link_->acquisition().threadRunning(); });
  controls_ = new ControlsController(frame, document, notifier, *link_, pipeline_,
                                     [this] { rerenderStill(); });
  graphs_ = new GraphsController(frame, document, notifier, *link_, *controls_);
  objects_->setLocalEnvironmentEditor([this, &frame, &document, &notifier](int32_t id) {
    editLocalEnvironment(frame, document, notifier, id);
  });
  connect(this, &LiveController::frameComposed, controls_, &ControlsController::showFrame);
  connect(this, &LiveController::frameComposed, graphs_, &GraphsController::showFrame);
  exports_ = new ExportController(frame, document, notifier, pipeline_, *view_);
  objectLog_ = new ObjectLogController(frame, document, notifier, *objects_);
  records_ = new RecordController(frame, document, notifier, exports_->frames(),
                                  [this] { return link_->cameraRate(); });
  playback_ = new PlaybackController(frame, document, notifier, pipeline_, *exports_, *records_,
                                     [this] { link_->disconnectCamera(); });
  connect(link_, &LinkController::eventHandled, this, &LiveController::eventHandled);
  // A camera header brings the camera's frame rate, which the decimations follow.
  connect(link_, &LinkController::eventHandled, records_, [this](int kind) {
    if (kind == static_cast<int>(AcquisitionEvent::Kind::HeaderApplied))
      records_->refreshSettings();
  });
  connect(records_, &RecordController::objectFrameChanged, objectLog_,
          &ObjectLogController::setObjectFrame);
  environment_ = new settings::EnvironmentController(frame, document, notifier);
  environment_->addPages([](settings::CEnvironmentDlg& dialog) {
    auto* page = new CRecordSetPage;
    dialog.addPage("Recording", page,
                   {[page](const AnalyzerSettings& s) { page->load(s); },
                    [page](AnalyzerSettings& s) {
                      page->store(s);
                      return std::string{};
                    }});
  });
  alarms_ = new AlarmController(frame, document, notifier, pipeline_,
                                {*link_, *objects_, *records_, *exports_, *environment_});
  connect(this, &LiveController::frameComposed, alarms_, &AlarmController::showFrame);
  connect(objectLog_, &ObjectLogController::selectionChosen, alarms_,
          [this](const exports::ObjectSelection& selection) {
            alarms_->setLogSelection(selection.empty()
                                         ? std::nullopt
                                         : std::optional<exports::ObjectSelection>(selection));
          });
  // OBJECT FRAME follows the camera's rate too: the alarm's logs and one-shots keep pace.
  connect(records_, &RecordController::objectFrameChanged, alarms_,
          [this] { alarms_->refreshObjectFrame(); });
  connect(&frame, &CMainFrame::settingsChanged, this, [this, &frame, &document] {
    const AnalyzerSettings& s = document.settings();
    pipeline_.changeStillInput([&s, agc = document.agcParams()](PipelineInput& input) {
      input.env = EnvParams{s.emissivity, s.atmTemp, s.atmTrans, 0.0f};
      input.agc = agc;
      input.showMouseTemp = s.showMouseTemp;
    });
    const float shown = lastMouseTemp_ ? inUnit(*lastMouseTemp_, s.tempUnit) : 0.0f;
    frame.statusPane(StatusPane::Temperature)->setText(qs(temperatureText(shown, s.tempUnit)));
    rerenderStill();
  });
  connect(link_, &LinkController::linkChanged, objects_, &ObjectsController::linkChanged);
  connect(view_, &CVynCamSDKView::mouseRead, this,
          [this, &frame, &document](int x, int y, int intensity, std::optional<float> celsius) {
            frame.statusPane(StatusPane::MousePosition)->setText(qs(mousePositionText(x, y)));
            frame.statusPane(StatusPane::Intensity)->setText(qs(intensityText(intensity)));
            if (celsius) {
              lastMouseTemp_ = celsius;
              const int32_t unit = document.settings().tempUnit;
              frame.statusPane(StatusPane::Temperature)
                  ->setText(qs(temperatureText(inUnit(*celsius, unit), unit)));
            }
            link_->setMousePixel(x, y);
          });
}

LiveController::~LiveController() {
  // The acquisition thread and a re-render both publish into the pipeline: stop both before
  // the members go. The window's widgets may be gone already: only the thread is stopped.
  link_->acquisition().disconnect();
  delete playback_;  // its thread also composes into the pipeline
  rerender_.waitForDone();
  // The alarm's stage lives in the pipeline, which goes with this controller: the alarm
  // goes first, while the features it drives are still there.
  delete alarms_;
  alarms_ = nullptr;
  pipeline_.setEventSink({});
}

void LiveController::editLocalEnvironment(CMainFrame& frame, CVynCamSDKDoc& document,
                                          Notifier& notifier, int32_t objectId) {
  controls::LocalEnvironment local;
  QString name;
  if (!objects_->objects().withObject(objectId, [&](CObjectROI& object) {
        name = object.name();
        local.enabled = object.localEnvironmentOn();
        local.params = object.localEnvironment();
      }))
    return;
  controls::CLocalEmissivityDlg dialog(
      name, local, controls::unitFromSetting(document.settings().tempUnit), notifier, &frame);
  emit localEnvironmentDialogOpened(&dialog);
  if (dialog.exec() != QDialog::Accepted) return;
  const controls::LocalEnvironment chosen = dialog.result();
  // The object may have gone while the dialog was open: then there is nothing to change.
  objects_->objects().withObject(objectId, [&](CObjectROI& object) {
    object.setLocalEnvironmentOn(chosen.enabled);
    object.setLocalEnvironment(chosen.params);
  });
  rerenderStill();  // a frozen picture measures with the new values at once
}

void LiveController::rerenderStill() {
  if (link_->isLive()) return;
  rerender_.start([this] { pipeline_.reprocessStill(); });
}

void LiveController::handle(const PipelineEvent& event) {
  if (const auto* levelSpan = std::get_if<LevelSpanChanged>(&event)) {
    // The document keeps the level and span the automatic AGC arrived at (the information
    // block of snapshots and the level/span controls read them there).
    document_.setLevelSpan(levelSpan->level, levelSpan->span);
  } else {
    viewUpdateQueued_ = false;
    emit frameComposed(pipeline_.latest());
    // While live the display timer paints at its own pace; a still picture is painted now.
    if (!view_->displayTimerActive()) {
      view_->refreshScrollBars();
      view_->update();
    }
  }
}

}  // namespace solvane
