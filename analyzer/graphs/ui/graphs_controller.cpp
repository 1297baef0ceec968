#include "graphs/ui/graphs_controller.h"

#include "acquisition/ui/link_controller.h"
#include "app/commands.h"
#include "app/ui/docking_panes.h"
#include "app/ui/main_frame.h"
#include "app/vyn_cam_sdk_doc.h"
#include "controls/level_span_rules.h"
#include "controls/ui/controls_controller.h"
#include "graphs/ui/histogram_view.h"
#include "graphs/ui/trend_plot_view.h"
#include "objects/measurement_pass.h"

#include <QAction>
#include <QDockWidget>

namespace solvane {

GraphsController::GraphsController(CMainFrame& frame, CVynCamSDKDoc& document, Notifier& notifier,
                                   LinkController& link, ControlsController& controls)
    : QObject(&frame),
      frame_(frame),
      document_(document),
      notifier_(notifier),
      link_(link),
      controls_(controls) {
  buildPanes();
  connect(&link_, &LinkController::eventHandled, this, [this] { refreshButtons(); });
  // Streaming starts and stops without an event of its own: the commands that do it, and the
  // frames themselves, tell the buttons.
  for (Command command : {Command::Connect, Command::Disconnect, Command::Live, Command::Freeze})
    connect(frame_.command(command), &QAction::triggered, this, [this] { refreshButtons(); });
  refreshButtons();
}

void GraphsController::buildPanes() {
  histogram_ = new graphs::CHistgramPlot(notifier_, &frame_);
  histogram_->setObjectName("histogramView");
  hotCold_ = new graphs::CTrendPlotView(graphs::TrendMode::HotCold, notifier_,
                                        graphs::kDefaultHistory, &frame_);
  hotCold_->setObjectName("hotColdPlotView");
  chart_ = new graphs::CTrendPlotView(graphs::TrendMode::TimePlot, notifier_,
                                      graphs::kDefaultHistory, &frame_);
  chart_->setObjectName("chartView");
  const std::pair<PaneName, QWidget*> panes[] = {
      {kHistogramPane, histogram_}, {kHotColdPlotPane, hotCold_}, {kChartViewPane, chart_}};
  // Room for the axis labels: narrower, the histogram's temperatures run into each other and
  // the trend plots elide theirs.
  histogram_->setMinimumSize(340, 300);
  hotCold_->setMinimumSize(300, 220);
  chart_->setMinimumSize(300, 220);
  for (const auto& [name, body] : panes) {
    if (QDockWidget* pane = frame_.pane(name)) pane->setWidget(body);
  }
  refreshSaveFolder();

  // The pane's buttons act through the window's commands, so their rules stay in one place.
  connect(histogram_, &graphs::CHistgramPlot::connectClicked, this, [this] {
    const bool acquiring = frame_.commandContext().acquiring;
    frame_.command(acquiring ? Command::Disconnect : Command::Connect)->trigger();
    refreshButtons();
  });
  connect(histogram_, &graphs::CHistgramPlot::liveClicked, this, [this] {
    const bool live = frame_.commandContext().live;
    frame_.command(live ? Command::Freeze : Command::Live)->trigger();
    refreshButtons();
  });
  connect(histogram_, &graphs::CHistgramPlot::levelSpanChanged, this,
          [this](float level, float span) { controls_.applyManualWindow(level, span); });
}

void GraphsController::refreshButtons() {
  const CommandContext& context = frame_.commandContext();
  histogram_->setConnected(context.acquiring);
  histogram_->setLive(context.live);
}

void GraphsController::refreshSaveFolder() {
  const std::string& folder = document_.settings().savePath;
  if (folder == saveFolder_) return;
  saveFolder_ = folder;
  hotCold_->setSaveFolder(folder);
  chart_->setSaveFolder(folder);
}

void GraphsController::showFrame(const std::shared_ptr<const ComposedFrame>& frame) {
  if (!frame) return;
  refreshSaveFolder();
  refreshButtons();
  const auto unit = controls::unitFromSetting(document_.settings().tempUnit);
  if (frame->hotCold) hotCold_->appendHotCold(frame->hotCold->hot, frame->hotCold->cold, unit);
  if (frame->histogram && frame->histogram != shownHistogram_) showHistogram(*frame);
  if (frame->measurements) showMeasurements(chartObjectsOf(*frame->measurements));
}

std::vector<graphs::ChartObject> GraphsController::chartObjectsOf(const MeasurementResult& result) {
  // A spot plots its temperature, an area its average (the objects' own plot function is not
  // part of the results yet). Statistics are in degrees Celsius, as the plot expects.
  std::vector<graphs::ChartObject> pass;
  pass.reserve(result.objects.size());
  for (const ObjectMeasurement& object : result.objects) {
    const bool spot = object.kind == RoiKind::Spot;
    graphs::ChartObject chart;
    chart.id = object.id;
    chart.name = object.name.toStdString();
    chart.valid = object.stats.valid;
    chart.sample.objectId = object.id;
    chart.sample.plotFunction = spot ? 0 : 3;
    chart.sample.value = object.stats.avgTemp;
    chart.sample.minimum = object.stats.minTemp;
    chart.sample.maximum = object.stats.maxTemp;
    chart.sample.average = object.stats.avgTemp;
    pass.push_back(std::move(chart));
  }
  return pass;
}

void GraphsController::showHistogram(const ComposedFrame& frame) {
  shownHistogram_ = frame.histogram;
  const int32_t tempUnit = document_.settings().tempUnit;
  const auto unit = controls::unitFromSetting(tempUnit);
  histogram_->setHistogram(shownHistogram_->counts, [counts = shownHistogram_](uint16_t raw) {
    return counts->celsiusOfCount.empty() ? 0.0f : counts->celsiusOfCount[raw];
  });
  histogram_->setDisplayWindow(frame.level - frame.span / 2.0f, frame.level + frame.span / 2.0f,
                               unit);
  // The pane's own level and span follow the window shown; they edit the manual window, so
  // they only take input while the mapping is manual, and are not rewritten under the
  // user's hands while nothing changed.
  const PipelineInput input = link_.input();
  const bool manual = !controls::AgcModeSwitch::isAutomatic(document_.agcParams());
  const PaneWindow now{frame.level, frame.span, input.rangeMin, input.rangeMax, tempUnit, manual};
  if (paneWindow_ == now) return;
  paneWindow_ = now;
  histogram_->setLevelSpan(frame.level, frame.span, input.rangeMin, input.rangeMax, unit);
  histogram_->levelField()->setEnabled(manual);
  histogram_->spanField()->setEnabled(manual);
}

void GraphsController::showMeasurements(std::span<const graphs::ChartObject> pass) {
  const graphs::SeriesChanges changes = follower_.follow(pass);
  for (int32_t id : changes.removed) chart_->removeObject(id);
  for (const graphs::AddedSeries& added : changes.added)
    chart_->addObject(added.id, QString::fromStdString(added.name), added.colour);
  chart_->appendObjects(graphs::samplesOf(pass),
                        controls::unitFromSetting(document_.settings().tempUnit));
}

}  // namespace solvane
