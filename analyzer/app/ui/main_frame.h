// The analyzer's main window: menus, tool bar, the five status panes, the thermal view in
// the middle and the dockable panes around it, whose layout is kept in the settings store.
#pragma once

#include "app/notifier.h"

#include "app/settings_store.h"

#include "app/ui/docking_panes.h"

#include <QMainWindow>

#include <array>

class QLabel;
class QLineEdit;

namespace solvane {

class CVynCamSDKApp;
class CVynCamSDKDoc;

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  CMainFrame(CVynCamSDKApp& app, CVynCamSDKDoc& document, SettingsStore& store, Notifier& notifier,
             UrlOpener openUrl, QWidget* parent = nullptr);

  // The command of the given object name ("ID_..." style names, see the menus); nullptr if
  // there is none.
  QAction* command(const QString& objectName) const;
  QDockWidget* pane(const PaneName& name) const;
  QLabel* statusPane(int index) const { return statusPanes_.at(index); }
  QLineEdit* cameraAddress() const { return cameraAddress_; }

  // Puts back the layout saved at the last close, if there is one.
  void restoreLayout();
  void saveLayout();

  // The title "Solvane", or "Solvane - name" while a camera or file is shown.
  void showName(const QString& name);

 signals:
  // Around "Initialize paramers": what the parameters drive stops before they change, and
  // the panes and the view refresh after.
  void aboutToInitializeParameters();
  void parametersInitialized();

 public slots:
  void onAppAbout();
  void onHelp();
  void onResetWindowLayout();
  void onInitializeParameters();
  void onSetCameraIp();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QAction* addCommand(QMenu* menu, const char* objectName, const QString& text,
                      bool enabled = false);
  void buildMenus();
  void buildToolBar();
  void buildStatusBar();
  void buildPanes();
  QWidget* buildCameraControlBody();
  QWidget* buildImageControlBody();
  void refreshStatusPanes();

  CVynCamSDKApp& app_;
  CVynCamSDKDoc& document_;
  SettingsStore& store_;
  Notifier& notifier_;
  UrlOpener openUrl_;
  QToolBar* toolBar_ = nullptr;
  std::array<QLabel*, 5> statusPanes_{};
  QLineEdit* cameraAddress_ = nullptr;
  bool closed_ = false;
};

}  // namespace solvane
