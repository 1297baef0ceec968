// The controller's main window: the camera address, Connect/Disconnect, Find Camera,
// Initialized, the logo button, and the two page sets (KT and KS) in one place. Every rule
// lives in ControllerCore; the window shows its state and forwards what happens.
#pragma once

#include <QDialog>
#include <QString>

#include <filesystem>
#include <map>
#include <memory>

#include "app/core/controller_core.h"
#include "discovery/ui/find_camera_dlg.h"

class CKSMotorizedDlg;
class QAction;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTimer;

namespace desktop {
class Notifier;
class SettingsStore;
}  // namespace desktop
namespace pages {
class SettingsPageWidget;
}
namespace analysis {
class CKSAlarmConfigDlg;
class CTabAlarmDlg;
class CTabIsothermDlg;
class CTabSpotDlg;
}  // namespace analysis
namespace tessor {
class CTabPaletteDlg;
class CTabUpdateDlg;
class SdkCameraLink;
class WindowPalettePort;
class WindowUpdatePort;
}  // namespace tessor

class CVynCamUserControlDlg : public QDialog, private tessor::ConnectTimer {
  Q_OBJECT

 public:
  struct Setup {
    desktop::Notifier* notifier = nullptr;
    desktop::SettingsStore* settings = nullptr;
    std::filesystem::path programFolder;  // the company file and logo
    discovery::FinderSetup finder;
  };

  explicit CVynCamUserControlDlg(Setup setup, QWidget* parent = nullptr);
  ~CVynCamUserControlDlg() override;

  tessor::ControllerCore& core() { return *core_; }
  QLineEdit* ipEdit() const { return ip_; }
  QLineEdit* portEdit() const { return port_; }
  QPushButton* connectButton() const { return connect_; }
  QPushButton* findButton() const { return find_; }
  QPushButton* initializeButton() const { return initialize_; }
  QPushButton* logoButton() const { return logo_; }
  QTabWidget* ktTabs() const { return ktTabs_; }
  QTabWidget* ksTabs() const { return ksTabs_; }
  pages::SettingsPageWidget* pageWidget(camera::Page page) const;
  // The finder dialog while it is open (tests answer it).
  CFindCameraDlg* finderDialog() const { return finderDialog_; }
  QAction* aboutAction() const { return aboutAction_; }
  // The motorized zoom and focus window while it is open.
  CKSMotorizedDlg* motorDialog() const { return motorDialog_; }
  tessor::CTabPaletteDlg* palettePage() const { return palettePage_; }
  // One page serves both sets: it sits in the tab set shown.
  tessor::CTabUpdateDlg* updatePage() const { return updatePage_; }
  analysis::CTabAlarmDlg* alarmPage() const { return alarmPage_; }
  analysis::CTabSpotDlg* spotPage() const { return spotPage_; }
  analysis::CTabIsothermDlg* isothermPage() const { return isothermPage_; }
  analysis::CKSAlarmConfigDlg* alarmConfigPage() const { return alarmConfigPage_; }

 private:
  void start(std::chrono::milliseconds wait) override;
  void stop() override;

  void buildTabs();
  void loadCompany();
  void openFinder();
  void applyState();
  void showAddress(const std::string& stored);
  void placeUpdateTab(QTabWidget* tabs);
  void onEvent(const tessor::ReceiverEvent& event);

  Setup setup_;
  std::unique_ptr<tessor::SdkCameraLink> link_;
  std::unique_ptr<tessor::ControllerCore> core_;
  std::unique_ptr<tessor::WindowPalettePort> palettePort_;
  std::unique_ptr<tessor::WindowUpdatePort> updatePort_;
  tessor::CTabPaletteDlg* palettePage_ = nullptr;
  tessor::CTabUpdateDlg* updatePage_ = nullptr;
  QWidget* updateTab_ = nullptr;
  analysis::CTabAlarmDlg* alarmPage_ = nullptr;
  analysis::CTabSpotDlg* spotPage_ = nullptr;
  analysis::CTabIsothermDlg* isothermPage_ = nullptr;
  analysis::CKSAlarmConfigDlg* alarmConfigPage_ = nullptr;
  QTimer* timer_ = nullptr;
  QLineEdit* ip_ = nullptr;
  QLineEdit* port_ = nullptr;
  QPushButton* connect_ = nullptr;
  QPushButton* find_ = nullptr;
  QPushButton* initialize_ = nullptr;
  QPushButton* logo_ = nullptr;
  QTabWidget* ktTabs_ = nullptr;
  QTabWidget* ksTabs_ = nullptr;
  std::map<camera::Page, pages::SettingsPageWidget*> pageWidgets_;
  camera::Page shownImagePage_ = camera::Page::KsImage32;
  int firstTabRequests_ = 0;
  QString logoLink_;
  CFindCameraDlg* finderDialog_ = nullptr;
  QAction* aboutAction_ = nullptr;
  CKSMotorizedDlg* motorDialog_ = nullptr;
};
