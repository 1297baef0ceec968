#include "view/ui/view_options_controller.h"

#include "app/commands.h"
#include "app/ui/main_frame.h"
#include "app/vyn_cam_sdk_doc.h"
#include "view/ui/filter_dialogs.h"

namespace solvane {

ViewOptionsController::ViewOptionsController(CMainFrame& frame, CVynCamSDKDoc& document,
                                             FramePipeline& pipeline, CVynCamSDKView& view,
                                             std::function<void()> rerender)
    : QObject(&frame),
      frame_(frame),
      document_(document),
      pipeline_(pipeline),
      view_(view),
      rerender_(std::move(rerender)) {
  const AnalyzerSettings& s = document_.settings();
  selectPalette(s.palette);
  FilterState filters;
  filters.kernel = s.filter;
  pipeline_.setFilters(filters);
  bindCommands();
  refreshViewOptions();
  connect(&frame_, &CMainFrame::settingsChanged, this, [this] {
    selectPalette(document_.settings().palette);
    refreshViewOptions();
  });
}

void ViewOptionsController::selectPalette(int32_t index) {
  const bool invert = document_.settings().invert;
  if (!pipeline_.setPalette(index, invert)) return;
  document_.settings().palette = index;
  std::array<uint8_t, 768> colours{};
  if (GetImageLUT(colours.data(), index, invert ? 1 : 0) == SDK_SUCCESS)
    view_.setPaletteColours(colours);
  showContext();
}

void ViewOptionsController::chooseFilter(FilterKind kind) {
  FilterState f = pipeline_.filters();
  if (isBlur(kind)) {
    if (!editFilter(kind, f, &frame_)) return;
  } else {
    f.kernel = kernelTypeOf(kind);
    document_.settings().filter = f.kernel;
    if (kind == FilterKind::None) f.blur = Blur::None;
  }
  pipeline_.setFilters(f);
  if (rerender_) rerender_();
}

void ViewOptionsController::showContext() {
  const AnalyzerSettings& s = document_.settings();
  frame_.updateCommandContext([&](CommandContext& c) {
    c.palette = s.palette;
    c.invert = s.invert;
    c.mirror = s.mirror;
    c.flip = s.flip;
    c.zoom = s.zoom;
    c.hotCold = hotCold_;
  });
}

void ViewOptionsController::refreshViewOptions() {
  const AnalyzerSettings& s = document_.settings();
  ViewOptions o;
  o.zoom = s.zoom;
  o.mirror = s.mirror;
  o.flip = s.flip;
  o.hot = hotCold_;
  o.cold = hotCold_;
  o.showTemp = s.showTemp;
  o.timeStamp = s.timeStamp;
  o.unit = s.tempUnit;
  view_.setOptions(o);
  showContext();
}

void ViewOptionsController::bindCommands() {
  for (size_t i = 0; i < kPalettes.size(); ++i) {
    const int32_t index = kPalettes[i].index;
    frame_.bind(paletteCommand(i), this, [this, index](bool) {
      selectPalette(index);
      if (rerender_) rerender_();
    });
  }
  auto toggle = [this](Command command, bool AnalyzerSettings::*field) {
    frame_.bind(command, this, [this, field](bool) {
      document_.settings().*field = !(document_.settings().*field);
      selectPalette(document_.settings().palette);
      refreshViewOptions();
      if (rerender_) rerender_();
    });
  };
  toggle(Command::InvertPalette, &AnalyzerSettings::invert);
  toggle(Command::Mirror, &AnalyzerSettings::mirror);
  toggle(Command::Flip, &AnalyzerSettings::flip);
  for (size_t i = 0; i < kZooms.size(); ++i) {
    const float factor = kZooms[i].factor;
    frame_.bind(zoomCommand(i), this, [this, factor](bool) {
      document_.settings().zoom = factor;
      refreshViewOptions();
    });
  }
  for (size_t i = 0; i < kFilters.size(); ++i) {
    const FilterKind kind = kFilters[i].kind;
    frame_.bind(filterCommand(i), this, [this, kind](bool) { chooseFilter(kind); });
  }
  frame_.bind(Command::HotCold, this, [this](bool on) {
    hotCold_ = on;
    refreshViewOptions();
    if (rerender_) rerender_();
  });
  frame_.bind(Command::CopyClipboard, this, [this](bool) { view_.copyToClipboard(); });
}

}  // namespace solvane
