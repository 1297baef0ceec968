// The analyzer's document: the persisted settings, the AGC parameter record, the level and
// span of the image mapping and the IR information block of the image.
#pragma once

#include "app/notifier.h"

#include "app/settings_store.h"

#include "app/analyzer_settings.h"
#include "app/ir_info_block.h"

#include <irdex.h>

#include <functional>
#include <string>

namespace solvane {

inline constexpr const char* kInitializeQuestion = "Do you want to initialize parameters.";
inline constexpr const char* kInitializeTitle = "Information";

// Level and span of a new document, and after a parameter reset (degrees Celsius).
inline constexpr float kNewDocumentLevel = 50.0f;
inline constexpr float kNewDocumentSpan = 10.0f;
inline constexpr float kResetLevel = 19.5f;
inline constexpr float kResetSpan = 2.0f;

class CVynCamSDKDoc {
 public:
  // Reads every setting from the store once, and makes the save folder when it is missing.
  CVynCamSDKDoc(SettingsStore& store, SettingsContext context);

  const AnalyzerSettings& settings() const { return settings_; }
  AnalyzerSettings& settings() { return settings_; }
  const SettingsContext& context() const { return context_; }

  AgcParams agcParams() const { return agcParamsFrom(settings_); }
  void setAgcParams(const AgcParams& params);

  const ImageState& image() const { return image_; }
  void setImageSize(uint16_t width, uint16_t height);
  void setLevelSpan(float level, float span);

  const IrInfoBlock& irInfoBlock() const { return irInfo_; }
  // Refills the block from the current settings and image state.
  void rebuildIrInfoBlock();

  // The camera-IP dialog's choice, written to the store at once so that it survives a crash.
  void setCameraIp(const std::string& address);

  // The "Initialize paramers" command: asks, then resets the parameters, rebuilds the block
  // and saves. Returns whether the reset was made. `beforeReset` lets the program stop what
  // the parameters drive (recording, objects, alarms) before they change.
  bool initializeParameters(Notifier& notifier, const std::function<void()>& beforeReset = {});
  // The reset itself, without asking.
  void resetParameters();

  // Writes every setting (the document's close, and the end of a parameter reset).
  void saveSettings();

 private:
  SettingsStore& store_;
  SettingsContext context_;
  AnalyzerSettings settings_;
  ImageState image_;
  IrInfoBlock irInfo_{};
};

}  // namespace solvane
