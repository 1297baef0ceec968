// One run of the analyzer: the start-up in its fixed order, and what lives until the end.
#pragma once

#include "app/notifier.h"

#include "app/settings_store.h"
#include "app/ui/docking_panes.h"
#include "app/ui/main_frame.h"
#include "app/vyn_cam_sdk_app.h"
#include "app/vyn_cam_sdk_doc.h"

#include <QString>

#include <filesystem>
#include <memory>
#include <optional>

namespace solvane {

struct SessionOptions {
  // Where the data files are: the company file, the logo and the manual.
  std::filesystem::path programFolder;
  // The settings file; the user's own store when not given.
  std::optional<QString> settingsFile;
  // The platform's pictures folder (the default save folder); the platform's when empty.
  std::string picturesFolder;
  std::string versionText;
  // Opens files and links with the desktop's viewer.
  UrlOpener openUrl;
};

class SolvaneSession {
 public:
  // Runs the start-up: company file, settings store, the one-time layout reset, the
  // document (which reads every setting), the main frame and its saved layout.
  SolvaneSession(SessionOptions options, Notifier& notifier);
  ~SolvaneSession();

  // Shows the main window (maximised, as the program starts) and reads the system
  // information.
  void showMainWindow(bool maximised = true);

  CVynCamSDKApp& app() { return app_; }
  CVynCamSDKDoc& document() { return *document_; }
  CMainFrame& mainFrame() { return *frame_; }
  SettingsStore& store() { return *store_; }
  bool layoutWasReset() const { return layoutWasReset_; }

 private:
  CVynCamSDKApp app_;
  std::unique_ptr<SettingsStore> store_;
  bool layoutWasReset_ = false;
  std::unique_ptr<CVynCamSDKDoc> document_;
  std::unique_ptr<CMainFrame> frame_;
};

// The platform's pictures folder, or the home folder's "Pictures" when it names none.
std::string platformPicturesFolder();

}  // namespace solvane
