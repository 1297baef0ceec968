// The Image menu's display choices: palette, invert, mirror, flip, zoom, filters, hot/cold
// markers, and the clipboard copy of the picture. Each choice is kept in the settings, shown
// by the menus' checked states and handed to the pipeline or the view.
#pragma once

#include "view/display_choices.h"
#include "view/frame_pipeline.h"
#include "view/ui/thermal_view.h"

#include <QObject>

#include <functional>

namespace solvane {

class CMainFrame;
class CVynCamSDKDoc;

class ViewOptionsController : public QObject {
  Q_OBJECT
 public:
  // `rerender` runs after a choice that changes the composed picture, so a still picture
  // shows it too.
  ViewOptionsController(CMainFrame& frame, CVynCamSDKDoc& document, FramePipeline& pipeline,
                        CVynCamSDKView& view, std::function<void()> rerender);

  void selectPalette(int32_t index);
  void chooseFilter(FilterKind kind);

 private:
  void bindCommands();
  void refreshViewOptions();
  void showContext();

  CMainFrame& frame_;
  CVynCamSDKDoc& document_;
  FramePipeline& pipeline_;
  CVynCamSDKView& view_;
  std::function<void()> rerender_;
  bool hotCold_ = false;
};

}  // namespace solvane
