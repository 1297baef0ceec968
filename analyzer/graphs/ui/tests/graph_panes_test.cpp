// The graph panes without a display: chart captions and axes, series that follow the objects,
// the throttled redraw, the context menu and its dialogs, the bitmap export, the histogram.
#include "graphs/ui/histogram_view.h"
#include "graphs/ui/trend_plot_view.h"

#include <QAbstractButton>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QValueAxis>

using namespace solvane;
using namespace solvane::graphs;
using controls::Unit;

namespace {

QStringList menuTexts(CTrendPlotView& view) {
  QMenu menu;
  view.fillContextMenu(menu);
  QStringList texts;
  for (QAction* action : menu.actions()) texts << action->text();
  return texts;
}

QAction* menuAction(QMenu& menu, const QString& text) {
  for (QAction* action : menu.actions())
    if (action->text() == text) return action;
  return nullptr;
}

void expectAccessibleNames(QWidget* root) {
  for (QWidget* w : root->findChildren<QWidget*>()) {
    const bool acted = qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w) ||
                       qobject_cast<QLabel*>(w) || qobject_cast<QChartView*>(w);
    if (acted) QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->metaObject()->className()));
  }
}

float celsiusOf(uint16_t raw) { return raw / 100.0f - 20.0f; }

}  // namespace

class GraphPanesTest : public QObject {
  Q_OBJECT

 private slots:
  void captions_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("caption");
    QTest::newRow("time plot") << int(TrendMode::TimePlot) << "Time Plot";
    QTest::newRow("hot/cold plot") << int(TrendMode::HotCold) << "Hot/Cold Plot";
  }
  void captions() {
    QFETCH(int, mode);
    QFETCH(QString, caption);
    ScriptedNotifier notifier;
    CTrendPlotView view(static_cast<TrendMode>(mode), notifier);
    QCOMPARE(view.chart()->title(), caption);
    QCOMPARE(view.xAxis()->titleText(), QString("Second"));
    QCOMPARE(view.yAxis()->titleText(), QString("Temperature"));
    QCOMPARE(view.xAxis()->labelFormat(), QString("%.3f"));
    QCOMPARE(view.yAxis()->labelFormat(), QString("%.2f"));
    QCOMPARE(view.xAxis()->gridLineColor(), QColor(0x96, 0x96, 0x96));
    QCOMPARE(view.chart()->plotAreaBackgroundBrush().color(), QColor(Qt::white));
    QCOMPARE(view.xAxis()->min(), 0.0);
    QCOMPARE(view.xAxis()->max(), 10.0);
    QCOMPARE(view.yAxis()->min(), -1000.0);
    QCOMPARE(view.yAxis()->max(), 1000.0);
  }

  void hotColdSeries() {
    ScriptedNotifier notifier;
    CTrendPlotView view(TrendMode::HotCold, notifier);
    QCOMPARE(view.lineOf(0)->name(), QString("Hot"));
    QCOMPARE(view.lineOf(0)->color(), QColor(Qt::red));
    QCOMPARE(view.lineOf(1)->name(), QString("Cold"));
    QCOMPARE(view.lineOf(1)->color(), QColor(Qt::blue));
  }

  void seriesFollowTheObjects() {
    ScriptedNotifier notifier;
    CTrendPlotView view(TrendMode::TimePlot, notifier);
    view.addObject(3, "Sp1", 0x00FF00);
    view.addObject(4, "Ar1", 0xFF00FF);
    QCOMPARE(view.chart()->series().size(), 2);
    QCOMPARE(view.lineOf(4)->name(), QString("Ar1"));
    view.removeObject(3);
    QCOMPARE(view.chart()->series().size(), 1);
    QVERIFY(!view.lineOf(3));
    view.removeAllObjects();
    QCOMPARE(view.chart()->series().size(), 0);
  }

  void manyPointsAreDrawnInFewRedrawsAndStayBounded() {
    ScriptedNotifier notifier;
    CTrendPlotView view(TrendMode::TimePlot, notifier, 100);
    view.addObject(1, "Sp1", 0);
    QTRY_VERIFY_WITH_TIMEOUT(view.redrawCount() >= 2, 10000);  // the object's series is drawn
    const int before = view.redrawCount();
    view.toggleAutoRange();  // the whole history is shown
    for (int i = 0; i < 5000; ++i)
      view.appendObjectsAt(i / 30.0, {ObjectSample{1, 0, float(i % 50), 0, 0, 0}}, Unit::Celsius);
    QTRY_COMPARE_WITH_TIMEOUT(view.lineOf(1)->count(), 100, 10000);
    QVERIFY(view.redrawCount() - before <= 3);
    QCOMPARE(view.lineOf(1)->at(99).x(), 4999 / 30.0);
  }

  // The chart holds what the shown span can show, one point beyond each edge, whatever the
  // history keeps: its copies and drawing stay small when the history is long.
  void chartHoldsOnlyTheShownSpan() {
    ScriptedNotifier notifier;
    CTrendPlotView view(TrendMode::TimePlot, notifier, 4096);  // fixed span 0 to 10 s
    view.addObject(1, "Sp1", 0);
    for (int i = 0; i < 600; ++i)  // 20 s at 30 points a second
      view.appendObjectsAt(i / 30.0, {ObjectSample{1, 0, 20.0f, 0, 0, 0}}, Unit::Celsius);
    QTRY_COMPARE_WITH_TIMEOUT(view.lineOf(1)->count(), 302, 10000);  // 0 to 10 s, and 10.03 s
    QCOMPARE(view.lineOf(1)->at(0).x(), 0.0);
    QCOMPARE(view.lineOf(1)->at(301).x(), 301 / 30.0);
    QCOMPARE(view.model().series().front().points.size(), 600u);
  }

  void contextMenuShowsTheActionsInState() {
    ScriptedNotifier notifier;
    CTrendPlotView view(TrendMode::HotCold, notifier);
    QCOMPARE(menuTexts(view), (QStringList{"&Stop", "&Auto Range", "Range Setting",
                                           "&Export (Bitmap)", "Properties..."}));
    QMenu menu;
    view.fillContextMenu(menu);
    QVERIFY(!menuAction(menu, "Range Setting")->isEnabled());
    menuAction(menu, "&Stop")->trigger();
    QCOMPARE(menuTexts(view).front(), QString("&Start"));
    QMenu stopped;
    view.fillContextMenu(stopped);
    QVERIFY(menuAction(stopped, "Range Setting")->isEnabled());
    menuAction(stopped, "&Auto Range")->trigger();
    QMenu again;
    view.fillContextMenu(again);
    QVERIFY(menuAction(again, "&Auto Range")->isChecked());
  }

  void stoppedPlotTakesNoPoints() {
    ScriptedNotifier notifier;
    CTrendPlotView view(TrendMode::HotCold, notifier);
    view.toggleStart();
    view.appendHotColdAt(1.0, 40.0f, 10.0f, Unit::Celsius);
    QVERIFY(view.model().series()[0].points.empty());
  }

  void rangeDialog_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("ordered") << QStringList{"0", "20", "-10", "90"} << true;
    QTest::newRow("x minimum at maximum") << QStringList{"5", "5", "0", "1"} << false;
    QTest::newRow("y minimum over maximum") << QStringList{"0", "1", "9", "1"} << false;
  }
  void rangeDialog() {
    QFETCH(QStringList, fields);
    QFETCH(bool, accepted);
    ScriptedNotifier notifier;
    CPlotRangeSetDlg dialog(PlotRange{}, notifier);
    for (int i = 0; i < 4; ++i) dialog.field(i)->setText(fields[i]);
    dialog.acceptFields();
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    if (accepted) {
      QCOMPARE(dialog.range(), (PlotRange{0, 20, -10, 90}));
    } else {
      QCOMPARE(QString::fromStdString(notifier.shown().back().text),
               QString("The minimum value is less than maximum value."));
      QCOMPARE(QString::fromStdString(notifier.shown().back().title), QString("Warning"));
    }
  }

  void rangeSettingSetsTheAxes() {
    ScriptedNotifier notifier;
    CTrendPlotView view(TrendMode::HotCold, notifier);
    view.toggleStart();
    view.setRangeDialog([](const PlotRange&) { return std::optional(PlotRange{0, 60, 0, 100}); });
    view.openRangeSetting();
    QTRY_COMPARE_WITH_TIMEOUT(view.xAxis()->max(), 60.0, 10000);
    QCOMPARE(view.yAxis()->max(), 100.0);
  }

  void exportWritesABitmapInTheSaveFolder() {
    ScriptedNotifier notifier;
    QTemporaryDir folder;
    CTrendPlotView view(TrendMode::HotCold, notifier);
    view.resize(320, 240);
    view.setSaveFolder(folder.path().toStdString());
    const QString path = view.exportBitmap();
    QVERIFY2(!path.isEmpty(), notifier.shown().empty() ? "" : notifier.shown().back().text.c_str());
    QVERIFY(QFileInfo(path).fileName().startsWith("IRP_"));
    QVERIFY(path.endsWith(".bmp"));
    QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(folder.path()).absoluteFilePath());
    QVERIFY(!QImage(path).isNull());
  }

  void exportIntoAMissingFolderSaysSo() {
    ScriptedNotifier notifier;
    QTemporaryDir folder;
    CTrendPlotView view(TrendMode::HotCold, notifier);
    view.setSaveFolder((folder.path() + "/missing/deeper").toStdString());
    QVERIFY(view.exportBitmap().isEmpty());
    QCOMPARE(QString::fromStdString(notifier.shown().back().title), QString("Error Message"));
  }

  void propertiesHideTheGrid() {
    ScriptedNotifier notifier;
    CTrendPlotView view(TrendMode::HotCold, notifier);
    view.setPropertiesDialog([](CPlotPropertiesDlg& dialog) {
      dialog.gridBox()->setChecked(false);
      dialog.accept();
    });
    view.openProperties();
    QVERIFY(!view.xAxis()->isGridLineVisible());
  }

  void histogramBarsFollowTheWindow() {
    ScriptedNotifier notifier;
    CHistgramPlot pane(notifier);
    pane.resize(400, 400);
    std::vector<int32_t> counts(65536, 0);
    counts[3000] = 75;   // 10 °C
    counts[10000] = 25;  // 80 °C, outside the window
    pane.setHistogram(counts, celsiusOf);
    pane.setDisplayWindow(0.0f, 40.0f, Unit::Celsius);
    const HistogramLayout layout = pane.plot()->currentLayout();
    QCOMPARE(int(layout.bars.size()), 1);
    QCOMPARE(layout.topPercent, 75);
    QCOMPARE(QString::fromStdString(layout.xCaption), QString("Temperature (Celsius)"));
    QVERIFY(!pane.grab().isNull());
  }

  void histogramSpanFloor() {
    ScriptedNotifier notifier;
    CHistgramPlot pane(notifier);
    QSignalSpy changed(&pane, &CHistgramPlot::levelSpanChanged);
    pane.setLevelSpan(50.0f, 6.0f, -20.0f, 130.0f, Unit::Celsius);
    QCOMPARE(pane.rangeLabel()->text(), QString::fromUtf8("47.00 - 53.00 \xC2\xB0"
                                                          "C"));
    pane.spanField()->downButton()->click();
    QCOMPARE(QString::fromStdString(notifier.shown().back().text),
             QString("Span must be greater than 6 degrees!"));
    QCOMPARE(changed.count(), 0);
    pane.levelField()->upButton()->click();
    QCOMPARE(changed.count(), 1);
  }

  void everyPaneNamesItsControls() {
    ScriptedNotifier notifier;
    CTrendPlotView trend(TrendMode::TimePlot, notifier);
    expectAccessibleNames(&trend);
    CHistgramPlot histogram(notifier);
    expectAccessibleNames(&histogram);
    CPlotRangeSetDlg range(PlotRange{}, notifier);
    expectAccessibleNames(&range);
    CPlotPropertiesDlg properties(true, true);
    expectAccessibleNames(&properties);
  }

  void histogramButtonsShowTheAction() {
    ScriptedNotifier notifier;
    CHistgramPlot pane(notifier);
    QCOMPARE(pane.connectButton()->text(), QString("Connect"));
    QCOMPARE(pane.liveButton()->text(), QString("Live"));
    pane.setConnected(true);
    pane.setLive(true);
    QCOMPARE(pane.connectButton()->text(), QString("Disconnect"));
    QCOMPARE(pane.liveButton()->text(), QString("Freeze"));
  }
};

QTEST_MAIN(GraphPanesTest)
#include "graph_panes_test.moc"
