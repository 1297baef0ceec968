// The graph panes in the running window, offscreen, fed by the frame pipeline streaming from the
// simulated camera: the histogram and the hot/cold plot follow the composed frames, the chart
// follows the measurement objects, and a pane's bitmap export is its picture.
#include "acquisition/ui/live_controller.h"
#include "app/commands.h"
#include "app/notifier.h"
#include "app/ui/docking_panes.h"
#include "app/ui/solvane_session.h"
#include "app/ui/tests/live_window_fixture.h"
#include "graphs/ui/histogram_view.h"
#include "graphs/ui/trend_plot_view.h"
#include "objects/manager_roi.h"

#include <QAction>
#include <QDockWidget>
#include <QImage>
#include <QLineSeries>
#include <QPushButton>
#include <QtTest>

#include <cmath>
#include <memory>

using namespace solvane;

namespace {

constexpr int kBoundMs = 30000;

graphs::ChartObject spot(int32_t id, float celsius) {
  graphs::ChartObject object;
  object.id = id;
  object.name = "Spot" + std::to_string(id);
  object.sample.objectId = id;
  object.sample.value = object.sample.minimum = object.sample.maximum = object.sample.average =
      celsius;
  return object;
}

}  // namespace

class GraphsWiringTest : public QObject, live_window::LiveWindowFixture {
  Q_OBJECT

 private slots:
  void init() { reset(); }
  void cleanup() { stop(); }

  void panesAreTheGraphViews() {
    openWindow();
    QCOMPARE(session_->mainFrame().pane(kHistogramPane)->widget(), live_->graphs().histogram());
    QCOMPARE(session_->mainFrame().pane(kHotColdPlotPane)->widget(), live_->graphs().hotCold());
    QCOMPARE(session_->mainFrame().pane(kChartViewPane)->widget(), live_->graphs().chart());
  }

  void histogramShowsTheFramesTemperaturesInsideTheWindow() {
    start();
    graphs::CHistgramPlot* histogram = live_->graphs().histogram();
    QTRY_VERIFY_WITH_TIMEOUT(!histogram->plot()->currentLayout().bars.empty(), kBoundMs);
    // The window shown is the one the picture is mapped with.
    const auto frame = live_->pipeline().latest();
    QVERIFY(histogram->levelSpan().has_value());
    QCOMPARE(histogram->levelSpan()->spanTenths(),
             static_cast<int32_t>(std::lround(frame->span * 10)));
    // Automatic mapping: the pane's own level and span wait for the manual mode.
    QVERIFY(!histogram->levelField()->isEnabled());
  }

  void hotColdPlotFollowsTheScenesHottestAndColdestPixels() {
    start();
    graphs::CTrendPlotView* plot = live_->graphs().hotCold();
    QTRY_VERIFY_WITH_TIMEOUT(plot->model().series().at(0).points.size() > 3, kBoundMs);
    const double hottest = plot->model().series().at(0).points.newest().value;
    const double coldest = plot->model().series().at(1).points.newest().value;
    QVERIFY2(std::abs(hottest - sim_->scene().config().hot) < 3.0,
             qPrintable(QString::number(hottest)));
    QVERIFY2(std::abs(coldest - sim_->scene().config().cold) < 3.0,
             qPrintable(QString::number(coldest)));
  }

  void histogramButtonsFreezeAndSayWhatTheyWouldDo() {
    start();
    graphs::CHistgramPlot* histogram = live_->graphs().histogram();
    QCOMPARE(histogram->connectButton()->text(), QString("Disconnect"));
    QCOMPARE(histogram->liveButton()->text(), QString("Freeze"));
    histogram->liveButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!live_->isLive(), kBoundMs);
    QCOMPARE(histogram->liveButton()->text(), QString("Live"));
  }

  void chartSeriesComeAndGoWithTheObjects() {
    openWindow();
    GraphsController& graphs = live_->graphs();
    const std::vector<graphs::ChartObject> two = {spot(3, 30.0f), spot(5, 50.0f)};
    graphs.showMeasurements(two);
    QVERIFY(graphs.chart()->lineOf(3));
    QVERIFY(graphs.chart()->lineOf(5));
    const std::vector<graphs::ChartObject> one = {spot(5, 51.0f)};
    graphs.showMeasurements(one);
    QVERIFY(!graphs.chart()->lineOf(3));
    QCOMPARE(graphs.chart()->model().find(5)->points.size(), size_t{2});
    QCOMPARE(graphs.chart()->model().find(5)->points.newest().value, 51.0);
  }

  void aPlacedSpotGetsItsSeriesFromTheLiveMeasurements() {
    start();
    CManagerROI& objects = live_->objects().objects();
    auto made = objects.makeObject(RoiKind::Spot);
    const int32_t id = made->id();
    QVERIFY(objects.add(std::move(made)));
    GraphsController& graphs = live_->graphs();
    QTRY_VERIFY_WITH_TIMEOUT(graphs.chart()->lineOf(id) != nullptr, kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(graphs.chart()->model().find(id)->points.size() > 1, kBoundMs);
  }

  void exportedBitmapHasThePanesSize() {
    openWindow();
    graphs::CTrendPlotView* plot = live_->graphs().hotCold();
    plot->resize(320, 200);
    const QString path = plot->exportBitmap();
    QVERIFY2(!path.isEmpty(),
             notifier_.shown().empty() ? "" : notifier_.shown().back().text.c_str());
    QVERIFY(path.startsWith(QString::fromStdString(session_->document().settings().savePath)));
    const QImage written(path);
    QCOMPARE(written.size(), plot->size());
  }
};

QTEST_MAIN(GraphsWiringTest)
#include "graphs_wiring_test.moc"
