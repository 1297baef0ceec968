// The measurement and image controls in the running window: "Emissivity etc.", "Level and
// Span", the isotherm editor and its three band switches, the isotherm stage of the frame
// pipeline and the Image Control pane. Every change reaches the document and the pipeline at
// once; a frozen picture is composed again so it shows the change too.
#pragma once

#include "app/notifier.h"
#include "controls/isotherm_painter.h"
#include "controls/level_span_rules.h"
#include "view/frame_pipeline.h"

#include <QObject>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace solvane {

class CMainFrame;
class CVynCamSDKDoc;
class LinkController;

namespace controls {
class CImageControlDlg;
}

// What the isotherm stage paints with: swapped whole by the window's thread, read by the thread
// that composes the frame, so neither waits for the other's work.
class IsothermStage {
 public:
  void configure(const controls::IsothermSettings& settings);
  std::shared_ptr<const controls::IsothermPainter> painter() const;
  // Paints the enabled bands over the picture by each pixel's temperature.
  bool operator()(FrameContext& context) const;

 private:
  mutable std::mutex mutex_;  // guards painter_
  std::shared_ptr<const controls::IsothermPainter> painter_ =
      std::make_shared<controls::IsothermPainter>();
};

class ControlsController : public QObject {
  Q_OBJECT
 public:
  ControlsController(CMainFrame& frame, CVynCamSDKDoc& document, Notifier& notifier,
                     LinkController& link, FramePipeline& pipeline, std::function<void()> rerender);

  const controls::IsothermSettings& isotherms() const { return isotherms_; }
  void applyIsotherms(const controls::IsothermSettings& settings);
  void switchBand(controls::IsothermBand band, bool on);
  // "Apply" of the emissivity dialog.
  void applyEnvironment(const EnvParams& params);
  // The AGC record changed (manual/automatic switch).
  void applyAgc(const AgcParams& agc);
  // An accepted manual window, Celsius.
  void applyManualWindow(float level, float span);
  controls::CImageControlDlg* imageControl() const { return imageControl_; }

 public slots:
  // Each frame the window shows: the pane's level/span read-out follows it.
  void showFrame(const std::shared_ptr<const ComposedFrame>& frame);

 private:
  void bindCommands();
  void buildImageControl();
  void refreshImageControl();
  controls::Unit unit() const;
  void changed();

  CMainFrame& frame_;
  CVynCamSDKDoc& document_;
  Notifier& notifier_;
  LinkController& link_;
  FramePipeline& pipeline_;
  std::function<void()> rerender_;
  std::shared_ptr<IsothermStage> stage_ = std::make_shared<IsothermStage>();
  controls::IsothermSettings isotherms_;
  controls::AgcModeSwitch paneSwitch_;
  controls::CImageControlDlg* imageControl_ = nullptr;
  struct ShownWindow {
    float level, span;
    int32_t unit;
    bool operator==(const ShownWindow&) const = default;
  };
  std::optional<ShownWindow> shownWindow_;
};

}  // namespace solvane
