#include "settings/ui/environment_controller.h"

#include "app/ui/main_frame.h"
#include "app/vyn_cam_sdk_doc.h"
#include "settings/environment_rules.h"
#include "settings/ui/general_pages.h"

namespace solvane::settings {

EnvironmentController::EnvironmentController(CMainFrame& frame, CVynCamSDKDoc& document,
                                             Notifier& notifier)
    : QObject(&frame), frame_(frame), document_(document), notifier_(notifier) {
  frame_.bind(Command::Environment, this, [this](bool) { open(); });
  // After a reset the view and the panes follow the new values as after the dialog.
  connect(&frame_, &CMainFrame::parametersInitialized, this,
          [this] { emit frame_.settingsChanged(); });
}

void EnvironmentController::preview(CEnvironmentDlg& dialog) {
  const AnalyzerSettings edited = dialog.current();
  applyChanges(document_.settings(), shown_, edited);
  shown_ = edited;
  emit frame_.settingsChanged();
}

bool EnvironmentController::open() {
  const AnalyzerSettings opening = document_.settings();
  CEnvironmentDlg dialog(opening, notifier_, &frame_);
  addGeneralPages(dialog);
  for (const PageMaker& make : makers_) make(dialog);
  shown_ = opening;
  connect(&dialog, &CEnvironmentDlg::edited, this, [this, &dialog] { preview(dialog); });
  emit opened(&dialog);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  // Whatever was previewed goes back first; what was accepted is then applied on top.
  applyChanges(document_.settings(), shown_, opening);
  if (accepted) {
    applyChanges(document_.settings(), opening, dialog.settings());
    document_.rebuildIrInfoBlock();
    document_.saveSettings();
    if (frame_.commandContext().acquiring && !document_.settings().camName.empty()) {
      frame_.showName(QString::fromStdString(document_.settings().camName));
    }
  }
  emit frame_.settingsChanged();
  return accepted;
}

}  // namespace solvane::settings
