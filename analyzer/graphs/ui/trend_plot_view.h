// The trend panes drawn with Qt Charts: the "Chart View" (time plot of the measurement objects)
// and the "Hot/Cold Plot View". Points go into the bounded model at once; the chart is rebuilt
// from it at most a few times a second, however fast the frames come.
#pragma once

#include "app/notifier.h"
#include "graphs/redraw_throttle.h"
#include "graphs/trend_plot.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <map>

class QChart;
class QChartView;
class QCheckBox;
class QLineEdit;
class QLineSeries;
class QMenu;
class QValueAxis;

namespace solvane::graphs {

class CPlotRangeSetDlg : public QDialog {
  Q_OBJECT
 public:
  CPlotRangeSetDlg(const PlotRange& range, Notifier& notifier, QWidget* parent = nullptr);
  PlotRange range() const { return range_; }
  QLineEdit* field(int index) const { return fields_[index]; }  // x min, x max, y min, y max
  // OK: the four fields replace the range only when both minimums lie below their maximums.
  void acceptFields();

 private:
  Notifier& notifier_;
  PlotRange range_;
  std::array<QLineEdit*, 4> fields_{};
};

class CPlotPropertiesDlg : public QDialog {
  Q_OBJECT
 public:
  CPlotPropertiesDlg(bool legend, bool grid, QWidget* parent = nullptr);
  QCheckBox* legendBox() const { return legend_; }
  QCheckBox* gridBox() const { return grid_; }

 private:
  QCheckBox* legend_;
  QCheckBox* grid_;
};

class CTrendPlotView : public QWidget {
  Q_OBJECT
 public:
  CTrendPlotView(TrendMode mode, Notifier& notifier, size_t history = kDefaultHistory,
                 QWidget* parent = nullptr);

  const TrendPlot& model() const { return model_; }
  QChart* chart() const { return chart_; }
  QChartView* chartView() const { return view_; }
  QValueAxis* xAxis() const { return xAxis_; }
  QValueAxis* yAxis() const { return yAxis_; }
  QLineSeries* lineOf(int32_t key) const;
  int redrawCount() const { return redraws_; }

  // Where "&Export (Bitmap)" writes ("SAVE PATH").
  void setSaveFolder(std::filesystem::path folder) { saveFolder_ = std::move(folder); }
  // The dialogs of the context menu run through these; tests answer without a modal loop.
  void setRangeDialog(std::function<std::optional<PlotRange>(const PlotRange&)> ask) {
    askRange_ = std::move(ask);
  }
  void setPropertiesDialog(std::function<void(CPlotPropertiesDlg&)> run) {
    runProperties_ = std::move(run);
  }

  // Fills a context menu with the pane's commands in their current state.
  void fillContextMenu(QMenu& menu);

 public slots:
  void addObject(int32_t objectId, const QString& name, uint32_t colour);
  void removeObject(int32_t objectId);
  void removeAllObjects();
  // Points stamped with the seconds since the plot was started or cleared.
  void appendObjects(const std::vector<solvane::graphs::ObjectSample>& samples,
                     solvane::controls::Unit unit);
  void appendHotCold(float hotCelsius, float coldCelsius, solvane::controls::Unit unit);
  void appendObjectsAt(double seconds, const std::vector<solvane::graphs::ObjectSample>& samples,
                       solvane::controls::Unit unit);
  void appendHotColdAt(double seconds, float hotCelsius, float coldCelsius,
                       solvane::controls::Unit unit);
  void clearPlot();
  void toggleStart();
  void toggleAutoRange();
  void openRangeSetting();
  // Writes the pane's picture; the path written, or empty after telling why not.
  QString exportBitmap();
  void openProperties();

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void syncSeries();
  void pointsAdded();
  void redraw();

  Notifier& notifier_;
  TrendPlot model_;
  QChart* chart_;
  QChartView* view_;
  QValueAxis* xAxis_;
  QValueAxis* yAxis_;
  std::map<int32_t, QLineSeries*> lines_;
  RedrawThrottle throttle_;
  QTimer redrawTimer_;
  QElapsedTimer clock_;
  int redraws_ = 0;
  std::filesystem::path saveFolder_;
  std::function<std::optional<PlotRange>(const PlotRange&)> askRange_;
  std::function<void(CPlotPropertiesDlg&)> runProperties_;
};

}  // namespace solvane::graphs
