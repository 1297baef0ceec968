#include "app/vyn_cam_sdk_doc.h"

#include "app/notifier.h"
#include "app/save_path.h"
#include "app/settings_store.h"

namespace solvane {

CVynCamSDKDoc::CVynCamSDKDoc(SettingsStore& store, SettingsContext context)
    : store_(store), context_(std::move(context)) {
  settings_ = loadSettings(store_, context_);
  ensureSavePath(settings_.savePath);
  image_.level = kNewDocumentLevel;
  image_.span = kNewDocumentSpan;
  rebuildIrInfoBlock();
}

void CVynCamSDKDoc::setAgcParams(const AgcParams& params) {
  applyAgcParams(settings_, params);
  rebuildIrInfoBlock();
}

void CVynCamSDKDoc::setImageSize(uint16_t width, uint16_t height) {
  image_.width = width;
  image_.height = height;
  rebuildIrInfoBlock();
}

void CVynCamSDKDoc::setLevelSpan(float level, float span) {
  image_.level = level;
  image_.span = span;
  rebuildIrInfoBlock();
}

void CVynCamSDKDoc::rebuildIrInfoBlock() { irInfo_ = buildIrInfoBlock(settings_, image_); }

void CVynCamSDKDoc::setCameraIp(const std::string& address) {
  settings_.camIp = address;
  store_.writeString("CAM IP", address);
  store_.sync();
}

bool CVynCamSDKDoc::initializeParameters(Notifier& notifier,
                                         const std::function<void()>& beforeReset) {
  if (!notifier.confirm(kInitializeQuestion, kInitializeTitle)) return false;
  if (beforeReset) beforeReset();
  resetParameters();
  saveSettings();
  return true;
}

void CVynCamSDKDoc::resetParameters() {
  AnalyzerSettings& s = settings_;
  s.useAvi = 0;
  s.agcMode = 0;
  image_.level = kResetLevel;
  image_.span = kResetSpan;
  s.emissivity = 0.95f;
  s.atmTemp = 20.0f;
  s.atmTrans = 1.0f;

  s.dynamicRange = 0;
  s.palette = 11;
  s.zoom = defaultZoom(context_.brand);
  s.invert = false;
  s.mirror = false;
  s.flip = false;
  s.showTemp = false;
  s.showMouseTemp = true;
  s.fourcc = "MSVC";
  s.fourccNum = -1;
  s.aviQuality = 10000;
  s.filter = 0;
  s.saveFrame = 1;
  s.frame = 0;
  s.objectFrame = 2;

  s.inputMethod = 2;
  s.outputMethod = 0;
  s.bRate = 0.01f;
  s.sdRate = 5.0f;
  s.intercept = 0;
  s.gamma = 1.0f;
  s.plateau = 100;
  s.epsilon = 0.5f;
  s.psi = 0.3f;
  s.prevPlateau = 0.0f;

  s.recordCond = 0;
  s.recordPeriod = 1;
  s.recordTimeUnit = 0;
  s.updateCond = 1;
  s.updatePeriod = 1;
  s.updateTimeUnit = 0;
  // Kept as installations know it: the reset turns the time stamp off although a new store
  // starts with it on.
  s.timeStamp = false;

  s.alarmDisplay = false;
  s.alarmDigital = false;
  s.alarmFlash = false;
  s.alarmStore = false;
  s.alarmRecordCheck = false;
  s.alarmRecordSelection = 0;
  s.alarmExportObjects = false;
  s.alarmOneShot = false;
  s.alarmThresholdMs = 2000;
  s.alarmDelayMs = 2000;
  s.alarmIntervalMs = 2000;
  s.dayPeriodCycle = false;
  s.withOneShot = false;
  s.schedRecurPattern = 0;
  s.schedWeekDays = 0;
  s.schedRecordCheck = false;
  s.schedRecordSelection = 0;
  s.schedExport = false;
  s.schedOneShot = false;
  s.schedStartTime = 0;
  s.schedStopTime = 0;

  rebuildIrInfoBlock();
  s.savePath = context_.picturesFolder;
}

void CVynCamSDKDoc::saveSettings() { solvane::saveSettings(store_, settings_); }

}  // namespace solvane
