#include "acquisition/ui/camera_search_controller.h"

#include "app/commands.h"
#include "app/ui/main_frame.h"
#include "app/vyn_cam_sdk_doc.h"
#include "discovery/ui/find_camera_dlg.h"

#include <QLineEdit>

namespace solvane {

CameraSearchController::CameraSearchController(CMainFrame& frame, CVynCamSDKDoc& document,
                                               std::function<bool()> busy)
    : QObject(&frame), frame_(frame), document_(document), busy_(std::move(busy)) {
  frame_.bind(Command::FindCamera, this, [this](bool) { search(); });
}

void CameraSearchController::search() {
  if (busy_ && busy_()) return;
  CFindCamera dialog(&frame_);
  if (dialog.exec() != QDialog::Accepted) return;
  document_.settings().camIp = dialog.ipAddress().toStdString();
  document_.settings().camName = dialog.cameraName().toStdString();
  frame_.cameraAddress()->setText(dialog.ipAddress());
  frame_.showName(dialog.cameraName());
}

}  // namespace solvane
