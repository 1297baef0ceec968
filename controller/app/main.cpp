// Tessor: finds cameras and edits their settings.
#include <QApplication>

#include <filesystem>

#include "app/core/connection_rules.h"
#include "app/ui/vyn_cam_user_control_dlg.h"
#include "desktop/message_box_notifier.h"
#include "desktop/settings_store.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(tessor::kSettingsApplication);
  desktop::MessageBoxNotifier notifier(tessor::kProgramName);
  desktop::SettingsStore settings = desktop::SettingsStore::forUser(tessor::kSettingsApplication);
  CVynCamUserControlDlg::Setup setup;
  setup.notifier = &notifier;
  setup.settings = &settings;
  setup.programFolder = std::filesystem::path(QApplication::applicationDirPath().toStdString());
  CVynCamUserControlDlg window(setup);
  notifier.setParentWindow(&window);
  window.show();
  return window.exec() == QDialog::Accepted ? 0 : 0;
}
