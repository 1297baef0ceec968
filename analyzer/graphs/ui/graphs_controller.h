// The graph panes in the running window: the Histogram View fed with every statistics frame's
// histogram and display window, the Hot/Cold Plot View with the composed frames' hottest and
// coldest temperatures, and the Chart View with the measurement objects' results, one series
// per object. The panes redraw at their own pace however fast the frames come.
#pragma once

#include "app/notifier.h"
#include "graphs/object_series.h"
#include "view/frame_pipeline.h"

#include <QObject>

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace solvane {

class CMainFrame;
class CVynCamSDKDoc;
class ControlsController;
class LinkController;

namespace graphs {
class CHistgramPlot;
class CTrendPlotView;
}  // namespace graphs

class GraphsController : public QObject {
  Q_OBJECT
 public:
  GraphsController(CMainFrame& frame, CVynCamSDKDoc& document, Notifier& notifier,
                   LinkController& link, ControlsController& controls);

  graphs::CHistgramPlot* histogram() const { return histogram_; }
  graphs::CTrendPlotView* hotCold() const { return hotCold_; }
  graphs::CTrendPlotView* chart() const { return chart_; }

 public slots:
  // Each frame the window shows.
  void showFrame(const std::shared_ptr<const ComposedFrame>& frame);
  // One measurement pass: series come and go with the objects' ids.
  void showMeasurements(std::span<const graphs::ChartObject> pass);
  // The camera link's state changed: the histogram pane's buttons say what they would do.
  void refreshButtons();

 private:
  void buildPanes();
  void showHistogram(const ComposedFrame& frame);
  static std::vector<graphs::ChartObject> chartObjectsOf(const MeasurementResult& result);
  void refreshSaveFolder();

  CMainFrame& frame_;
  CVynCamSDKDoc& document_;
  Notifier& notifier_;
  LinkController& link_;
  ControlsController& controls_;
  graphs::CHistgramPlot* histogram_ = nullptr;
  graphs::CTrendPlotView* hotCold_ = nullptr;
  graphs::CTrendPlotView* chart_ = nullptr;
  graphs::ObjectSeriesFollower follower_;
  std::shared_ptr<const FrameHistogram> shownHistogram_;
  struct PaneWindow {
    float level, span, low, high;
    int32_t unit;
    bool manual;
    bool operator==(const PaneWindow&) const = default;
  };
  std::optional<PaneWindow> paneWindow_;
  std::string saveFolder_;
};

}  // namespace solvane
