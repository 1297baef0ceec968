// Binds "Environment Setting...": opens the dialog with every page features have added, shows
// the picture with the edited values while it is open, and on OK writes the settings and
// tells the window, view and panes; Cancel puts back what was shown before.
#pragma once

#include "app/notifier.h"
#include "settings/ui/environment_dlg.h"

#include <QObject>

#include <functional>
#include <vector>

namespace solvane {
class CMainFrame;
class CVynCamSDKDoc;
}  // namespace solvane

namespace solvane::settings {

class EnvironmentController : public QObject {
  Q_OBJECT
 public:
  EnvironmentController(CMainFrame& frame, CVynCamSDKDoc& document, Notifier& notifier);

  // A feature's pages: called on every opening, after the general pages, in the order added.
  using PageMaker = std::function<void(CEnvironmentDlg&)>;
  void addPages(PageMaker maker) { makers_.push_back(std::move(maker)); }

  // Runs the dialog; true when it was accepted.
  bool open();

 signals:
  // The dialog is up (tests drive it from here).
  void opened(CEnvironmentDlg* dialog);

 private:
  void preview(CEnvironmentDlg& dialog);

  CMainFrame& frame_;
  CVynCamSDKDoc& document_;
  Notifier& notifier_;
  std::vector<PageMaker> makers_;
  AnalyzerSettings shown_;  // what the window shows while the dialog is open
};

}  // namespace solvane::settings
