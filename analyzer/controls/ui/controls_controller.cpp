#include "controls/ui/controls_controller.h"

#include "acquisition/ui/link_controller.h"
#include "app/commands.h"
#include "app/ui/docking_panes.h"
#include "app/ui/main_frame.h"
#include "app/vyn_cam_sdk_doc.h"
#include "controls/ui/emissivity_dlg.h"
#include "controls/ui/image_control_dlg.h"
#include "controls/ui/isotherm_setting_dlg.h"
#include "controls/ui/level_span_dlg.h"

#include <QAction>
#include <QDockWidget>
#include <QVBoxLayout>

namespace solvane {

using controls::IsothermBand;

void IsothermStage::configure(const controls::IsothermSettings& settings) {
  auto fresh = std::make_shared<const controls::IsothermPainter>(settings);
  std::lock_guard lock(mutex_);
  painter_ = std::move(fresh);
}

std::shared_ptr<const controls::IsothermPainter> IsothermStage::painter() const {
  std::lock_guard lock(mutex_);
  return painter_;
}

bool IsothermStage::operator()(FrameContext& context) const {
  const auto current = painter();
  // A picture whose temperatures could not be had is shown as it is, never half painted.
  if (current->anyEnabled()) current->paintByTemperature(context.out.picture, context.out.temps);
  return true;
}

ControlsController::ControlsController(CMainFrame& frame, CVynCamSDKDoc& document,
                                       Notifier& notifier, LinkController& link,
                                       FramePipeline& pipeline, std::function<void()> rerender)
    : QObject(&frame),
      frame_(frame),
      document_(document),
      notifier_(notifier),
      link_(link),
      pipeline_(pipeline),
      rerender_(std::move(rerender)),
      paneSwitch_(document.agcParams()) {
  pipeline_.attach(StageSlot::Isotherm,
                   [stage = stage_](FrameContext& context) { return (*stage)(context); });
  bindCommands();
  buildImageControl();
  // The environment dialog may change the unit or the AGC record: the pane shows them at once.
  connect(&frame_, &CMainFrame::settingsChanged, this, [this] {
    shownWindow_.reset();
    refreshImageControl();
  });
}

controls::Unit ControlsController::unit() const {
  return controls::unitFromSetting(document_.settings().tempUnit);
}

void ControlsController::changed() {
  if (rerender_) rerender_();
}

void ControlsController::applyIsotherms(const controls::IsothermSettings& settings) {
  isotherms_ = settings;
  stage_->configure(settings);
  frame_.updateCommandContext([&settings](CommandContext& c) {
    for (IsothermBand band : controls::kIsothermBands)
      c.isothermBands[static_cast<size_t>(band)] = settings.isEnabled(band);
  });
  changed();
}

void ControlsController::switchBand(IsothermBand band, bool on) {
  // Switched on from the menu, a band's limits are put in order just as the editor would.
  const PipelineInput input = link_.input();
  controls::IsothermEditor editor(isotherms_, unit(), input.rangeMin, input.rangeMax);
  editor.setEnabled(band, on);
  applyIsotherms(editor.settings());
}

void ControlsController::applyEnvironment(const EnvParams& params) {
  AnalyzerSettings& s = document_.settings();
  s.emissivity = params.emissivity;
  s.atmTemp = params.atmosphericTemp;
  s.atmTrans = params.transmission;
  document_.rebuildIrInfoBlock();
  link_.parametersChanged();
  changed();
}

void ControlsController::applyAgc(const AgcParams& agc) {
  document_.setAgcParams(agc);
  link_.parametersChanged();
  refreshImageControl();
  changed();
}

void ControlsController::applyManualWindow(float level, float span) {
  document_.setLevelSpan(level, span);
  link_.setManualWindow(level, span);
  changed();
}

void ControlsController::bindCommands() {
  frame_.bind(Command::Emissivity, this, [this](bool) {
    const AnalyzerSettings& s = document_.settings();
    controls::CEmissivityDlg dialog(EnvParams{s.emissivity, s.atmTemp, s.atmTrans, 0.0f}, unit(),
                                    notifier_, &frame_);
    connect(&dialog, &controls::CEmissivityDlg::applied, this,
            [this](const EnvParams& params) { applyEnvironment(params); });
    dialog.exec();
  });
  frame_.bind(Command::LevelSpan, this, [this](bool) {
    const PipelineInput input = link_.input();
    const ImageState& image = document_.image();
    controls::CLevelSpanDlg dialog(document_.agcParams(), image.level, image.span, input.rangeMin,
                                   input.rangeMax, unit(), notifier_, &frame_);
    connect(&dialog, &controls::CLevelSpanDlg::agcChanged, this,
            [this](const AgcParams& agc) { applyAgc(agc); });
    connect(&dialog, &controls::CLevelSpanDlg::levelSpanChanged, this,
            [this](float level, float span) { applyManualWindow(level, span); });
    dialog.exec();
  });
  frame_.bind(Command::IsothermEditor, this, [this](bool) {
    const PipelineInput input = link_.input();
    controls::CIsothermSettingDlg dialog(isotherms_, unit(), input.rangeMin, input.rangeMax,
                                         notifier_, &frame_);
    connect(&dialog, &controls::CIsothermSettingDlg::settingsChanged, this,
            [this](const controls::IsothermSettings& settings) { applyIsotherms(settings); });
    dialog.exec();
  });
  for (IsothermBand band : controls::kIsothermBands) {
    const auto command = static_cast<Command>(static_cast<size_t>(Command::IsothermInterval) +
                                              static_cast<size_t>(band));
    frame_.bind(command, this, [this, band](bool on) { switchBand(band, on); });
  }
}

void ControlsController::buildImageControl() {
  QDockWidget* pane = frame_.pane(kImageControlPane);
  QWidget* body = pane ? pane->widget() : nullptr;
  auto* layout = body ? qobject_cast<QVBoxLayout*>(body->layout()) : nullptr;
  if (!layout) return;
  imageControl_ = new controls::CImageControlDlg(body);
  imageControl_->setObjectName("imageControl");
  // Below the company logo, if the pane shows one; the stretch stays last.
  layout->insertWidget(std::max(0, layout->count() - 1), imageControl_);

  const FilterState filters = pipeline_.filters();
  imageControl_->setKernelSize(controls::BlurKernel::Box, filters.boxSize);
  imageControl_->setKernelSize(controls::BlurKernel::Stack, filters.stackRadius);
  connect(imageControl_, &controls::CImageControlDlg::automaticChanged, this,
          [this](bool automatic) {
            AgcParams agc = document_.agcParams();
            if (automatic)
              paneSwitch_.setAutomatic(agc);
            else
              paneSwitch_.setManual(agc);
            applyAgc(agc);
          });
  connect(imageControl_, &controls::CImageControlDlg::paletteChanged, this,
          [this](int index, bool invert) {
            // Through the menu's own commands, so the menus and the settings agree.
            if (index >= 0 && static_cast<size_t>(index) < kPalettes.size() &&
                kPalettes[static_cast<size_t>(index)].index != document_.settings().palette)
              frame_.command(paletteCommand(static_cast<size_t>(index)))->trigger();
            if (invert != document_.settings().invert)
              frame_.command(Command::InvertPalette)->trigger();
            refreshImageControl();
          });
  connect(imageControl_, &controls::CImageControlDlg::kernelSizeChanged, this,
          [this](controls::BlurKernel kernel, int size) {
            FilterState f = pipeline_.filters();
            if (kernel == controls::BlurKernel::Box)
              f.boxSize = size;
            else
              f.stackRadius = size;
            pipeline_.setFilters(f);
            changed();
          });
  // A palette or invert chosen from the menu shows in the pane too.
  for (size_t i = 0; i < kPalettes.size(); ++i)
    connect(frame_.command(paletteCommand(i)), &QAction::triggered, this,
            [this] { refreshImageControl(); });
  connect(frame_.command(Command::InvertPalette), &QAction::triggered, this,
          [this] { refreshImageControl(); });
  refreshImageControl();
}

void ControlsController::refreshImageControl() {
  if (!imageControl_) return;
  const AnalyzerSettings& s = document_.settings();
  imageControl_->setAutomatic(controls::AgcModeSwitch::isAutomatic(document_.agcParams()));
  for (size_t i = 0; i < kPalettes.size(); ++i)
    if (kPalettes[i].index == s.palette) imageControl_->setPalette(static_cast<int>(i), s.invert);
  imageControl_->showWindow(document_.image().level, document_.image().span, unit());
}

void ControlsController::showFrame(const std::shared_ptr<const ComposedFrame>& frame) {
  if (!imageControl_ || !frame) return;
  // A new unit shows at once too, not only with the next change of the window.
  const ShownWindow window{frame->level, frame->span, document_.settings().tempUnit};
  if (window == shownWindow_) return;
  shownWindow_ = window;
  imageControl_->showWindow(frame->level, frame->span, unit());
}

}  // namespace solvane
