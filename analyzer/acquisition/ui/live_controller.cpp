#include "acquisition/ui/live_controller.h"

#include "app/status_panes.h"
#include "app/ui/main_frame.h"
#include "app/vyn_cam_sdk_doc.h"
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
  connect(link_, &LinkController::eventHandled, this, &LiveController::eventHandled);
  connect(link_, &LinkController::linkChanged, objects_, &ObjectsController::linkChanged);
  connect(view_, &CVynCamSDKView::mouseRead, this,
          [this, &frame, &document](int x, int y, int intensity, std::optional<float> celsius) {
            frame.statusPane(StatusPane::MousePosition)->setText(qs(mousePositionText(x, y)));
            frame.statusPane(StatusPane::Intensity)->setText(qs(intensityText(intensity)));
            if (celsius) {
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
  rerender_.waitForDone();
  pipeline_.setEventSink({});
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
    // While live the display timer paints at its own pace; a still picture is painted now.
    if (!view_->displayTimerActive()) {
      view_->refreshScrollBars();
      view_->update();
    }
  }
}

}  // namespace solvane
