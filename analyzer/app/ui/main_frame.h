// The analyzer's main window: menus, tool bar, the five status panes, the thermal view in
// the middle and the dockable panes around it, whose layout is kept in the settings store.
#pragma once

#include "app/commands.h"
#include "app/notifier.h"
#include "app/settings_store.h"
#include "app/status_panes.h"

#include "app/ui/docking_panes.h"

#include <QMainWindow>

#include <array>
#include <functional>

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

  QAction* command(Command command) const { return actions_.at(static_cast<size_t>(command)); }
  // Each command is bound once, by the controller of its feature; a command is enabled only
  // when it is bound and the state allows it. Binding a command twice is a fault.
  void bind(Command command, QObject* context, std::function<void(bool checked)> handler);
  bool isBound(Command command) const { return bound_.at(static_cast<size_t>(command)); }
  // Throws std::logic_error naming every command that is neither bound nor pending: a
  // controller forgot one.
  void requireAllBound() const;
  // What the enabled and checked states follow; every change applies them again.
  const CommandContext& commandContext() const { return context_; }
  void updateCommandContext(const std::function<void(CommandContext&)>& change);

  QDockWidget* pane(const PaneName& name) const;
  QLabel* statusPane(StatusPane pane) const { return statusPanes_.at(static_cast<size_t>(pane)); }
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
  // The window closes: the program ends after this (once, however often it is asked).
  void closing();
  void parametersInitialized();
  // Settings were changed by a dialog: whatever shows them reads them again.
  void settingsChanged();

 public slots:
  void onAppAbout();
  void onHelp();
  void onResetWindowLayout();
  void onInitializeParameters();
  void onSetCameraIp();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void applyCommandLooks();
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
  std::array<QLabel*, kStatusPaneCount> statusPanes_{};
  std::array<QAction*, kCommandCount> actions_{};
  std::array<bool, kCommandCount> bound_{};
  std::array<QMenu*, static_cast<size_t>(Menu::Count)> menus_{};
  CommandContext context_;
  QLineEdit* cameraAddress_ = nullptr;
  bool closed_ = false;
};

}  // namespace solvane
