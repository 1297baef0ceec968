#include "app/ui/solvane_session.h"

#include "app/notifier.h"

#include <QDir>
#include <QStandardPaths>

namespace solvane {

std::string platformPicturesFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (folder.isEmpty()) folder = QDir::homePath() + "/Pictures";
  return folder.toStdString();
}

SolvaneSession::SolvaneSession(SessionOptions options, Notifier& notifier)
    : app_(options.programFolder,
           options.versionText.empty() ? buildVersionText() : options.versionText) {
  app_.loadCompanyInfo(notifier);
  store_ = options.settingsFile
               ? std::make_unique<SettingsStore>(*options.settingsFile)
               : std::make_unique<SettingsStore>(SettingsStore::forUser(kProfileApplication));
  layoutWasReset_ = app_.resetLayoutIfAsked(*store_);

  SettingsContext context{app_.brand(), options.picturesFolder.empty() ? platformPicturesFolder()
                                                                       : options.picturesFolder};
  document_ = std::make_unique<CVynCamSDKDoc>(*store_, std::move(context));
  app_.attachDocument(document_.get());

  frame_ =
      std::make_unique<CMainFrame>(app_, *document_, *store_, notifier, std::move(options.openUrl));
  frame_->restoreLayout();
}

SolvaneSession::~SolvaneSession() {
  // A session that ends without its window being closed still writes what a close writes.
  if (frame_) frame_->close();
  app_.attachDocument(nullptr);
}

void SolvaneSession::showMainWindow(bool maximised) {
  if (maximised) {
    frame_->showMaximized();
  } else {
    frame_->show();
  }
  app_.readSystemInformation();
}

}  // namespace solvane
