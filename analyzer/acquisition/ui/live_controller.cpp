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
    : QObject(&frame) {
  view_ = new CVynCamSDKView(pipeline_, &frame);
  frame.setCentralWidget(view_);
  link_ = new LinkController(frame, document, notifier, pipeline_, *view_, std::move(options));
  viewOptions_ = new ViewOptionsController(frame, document, pipeline_, *view_, [] {});
  search_ = new CameraSearchController(frame, document,
                                       [this] { return link_->acquisition().threadRunning(); });
  connect(link_, &LinkController::eventHandled, this, &LiveController::eventHandled);
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

}  // namespace solvane
