// The analyzer's application object: branding, version, the one-time layout reset and the
// commands that belong to the program rather than to a camera or an image.
#pragma once

#include "app/notifier.h"

#include "app/settings_store.h"

#include "app/company_info.h"

#include <filesystem>
#include <string>

namespace solvane {

class CVynCamSDKDoc;

inline constexpr const char* kWindowTitle = "Solvane";
inline constexpr const char* kApplicationId = "Irdex.Solvane.Analyzer";
inline constexpr const char* kManualFileName = "vyncamsdk.html";
inline constexpr const char* kResetLayoutQuestion = "Do you want to reset window layout.";
inline constexpr const char* kResetLayoutTitle = "Information";
inline constexpr const char* kResetLayoutDone =
    "Please re-execute to initialize the docking dialog!";
inline constexpr const char* kResetLayoutDoneTitle = "Notify Message";

// The version of this build, as the build system numbers the project.
const char* buildVersionText();

// "Solvane, (Version : <version>)".
std::string aboutCaption(const std::string& version);

// "Solvane" alone, or "Solvane - <camera or file name>" while one is shown.
std::string windowTitle(const std::string& shownName);

class CVynCamSDKApp {
 public:
  CVynCamSDKApp(std::filesystem::path programFolder, std::string versionText);

  const std::filesystem::path& programFolder() const { return programFolder_; }
  const std::string& versionText() const { return versionText_; }
  const std::string& brand() const { return company_.brand; }
  const std::string& webLink() const { return company_.webLink; }
  int32_t logoFlag() const { return company_.logoFlag; }
  const CompanyInfo& company() const { return company_; }
  unsigned processorCount() const { return processorCount_; }

  // Start-up step: the company file beside the program. A missing file is told and the
  // program goes on unbranded.
  void loadCompanyInfo(Notifier& notifier);

  // Start-up step: with "DLG_INIT" set, the saved window and docking layout is erased and
  // the flag cleared, so the reset happens once. Returns whether the layout was erased.
  bool resetLayoutIfAsked(SettingsStore& store);

  // From here on the flag lives in the document's settings, which saves it as "DLG_INIT".
  void attachDocument(CVynCamSDKDoc* document);
  bool layoutResetFlag() const;

  // The "Reset window layout" command: asks, and on OK marks the layout for a reset at the
  // next start.
  bool resetWindowLayout(Notifier& notifier);

  std::string aboutCaption() const { return solvane::aboutCaption(versionText_); }
  std::filesystem::path manualPath() const { return programFolder_ / kManualFileName; }
  std::filesystem::path logoPath() const {
    return desktop::companyFolder(programFolder_) / kLogoFileName;
  }
  // What Help opens: the installed HTML manual, or the one of the source tree beside a build,
  // and the file beside the program when neither is there.
  std::filesystem::path helpPath() const;

  // Read once the main window is up; the worker threads are pinned by it.
  void readSystemInformation();

 private:
  void setLayoutResetFlag(bool value);

  std::filesystem::path programFolder_;
  std::string versionText_;
  CompanyInfo company_;
  bool layoutReset_ = true;
  CVynCamSDKDoc* document_ = nullptr;
  unsigned processorCount_ = 1;
};

}  // namespace solvane
