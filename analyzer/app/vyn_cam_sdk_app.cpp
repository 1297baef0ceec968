#include "app/vyn_cam_sdk_app.h"

#include "app/notifier.h"
#include "app/settings_store.h"
#include "app/vyn_cam_sdk_doc.h"

#include <algorithm>
#include <thread>

namespace solvane {

const char* buildVersionText() { return SOLVANE_VERSION; }

std::string aboutCaption(const std::string& version) {
  return "Solvane, (Version : " + version + ")";
}

std::string windowTitle(const std::string& shownName) {
  if (shownName.empty()) return kWindowTitle;
  return std::string(kWindowTitle) + " - " + shownName;
}

CVynCamSDKApp::CVynCamSDKApp(std::filesystem::path programFolder, std::string versionText)
    : programFolder_(std::move(programFolder)), versionText_(std::move(versionText)) {}

void CVynCamSDKApp::loadCompanyInfo(Notifier& notifier) {
  if (std::optional<CompanyInfo> company =
          readCompanyFile(desktop::companyFolder(programFolder_))) {
    company_ = std::move(*company);
    return;
  }
  company_ = CompanyInfo{};
  notifier.tell(kCompanyFileMissing);
}

bool CVynCamSDKApp::resetLayoutIfAsked(SettingsStore& store) {
  const bool asked = store.readInt("DLG_INIT", 1) != 0;
  if (asked) {
    store.eraseLayout();
    store.sync();
  }
  setLayoutResetFlag(false);
  return asked;
}

void CVynCamSDKApp::attachDocument(CVynCamSDKDoc* document) {
  document_ = document;
  if (document_) document_->settings().dlgInit = layoutReset_;
}

bool CVynCamSDKApp::layoutResetFlag() const {
  return document_ ? document_->settings().dlgInit : layoutReset_;
}

void CVynCamSDKApp::setLayoutResetFlag(bool value) {
  layoutReset_ = value;
  if (document_) document_->settings().dlgInit = value;
}

bool CVynCamSDKApp::resetWindowLayout(Notifier& notifier) {
  if (!notifier.confirm(kResetLayoutQuestion, kResetLayoutTitle)) return false;
  setLayoutResetFlag(true);
  notifier.tell(kResetLayoutDone, kResetLayoutDoneTitle);
  return true;
}

void CVynCamSDKApp::readSystemInformation() {
  processorCount_ = std::max(1u, std::thread::hardware_concurrency());
}

std::filesystem::path CVynCamSDKApp::helpPath() const {
  const std::filesystem::path candidates[] = {
      programFolder_ / ".." / "share" / "irdex" / "manual" / "index.html",
      programFolder_ / ".." / "share" / "doc" / "irdex" / "manual" / "index.html",
      programFolder_ / ".." / ".." / "packaging" / "manual" / "index.html",
  };
  for (const std::filesystem::path& candidate : candidates) {
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error)) return candidate.lexically_normal();
  }
  return manualPath();
}

}  // namespace solvane
