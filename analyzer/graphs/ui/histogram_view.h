// The "Histogram View": the distribution of the frame's temperatures inside the display window,
// the pane's own level/span (no narrower than 6 degrees) and the connect and live buttons.
#pragma once

#include "app/notifier.h"
#include "controls/level_span_rules.h"
#include "controls/ui/step_field.h"
#include "graphs/histogram_layout.h"

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;

namespace solvane::graphs {

class HistogramPlotWidget : public QWidget {
  Q_OBJECT
 public:
  explicit HistogramPlotWidget(QWidget* parent = nullptr);
  void setBins(std::vector<double> percentPerBin, double low, double high, controls::Unit unit);
  HistogramLayout currentLayout() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<double> percent_;
  double low_ = 0.0;
  double high_ = 1.0;
  controls::Unit unit_ = controls::Unit::Celsius;
};

class CHistgramPlot : public QWidget {
  Q_OBJECT
 public:
  explicit CHistgramPlot(Notifier& notifier, QWidget* parent = nullptr);

  HistogramPlotWidget* plot() const { return plot_; }
  controls::StepField* levelField() const { return level_; }
  controls::StepField* spanField() const { return span_; }
  QLabel* rangeLabel() const { return range_; }
  QPushButton* connectButton() const { return connect_; }
  QPushButton* liveButton() const { return live_; }
  const std::optional<controls::LevelSpanEntry>& levelSpan() const { return entry_; }

 public slots:
  // Every 12th frame: the raw histogram (an entry per count) and the temperature of a count.
  void setHistogram(const std::vector<int32_t>& counts,
                    const std::function<float(uint16_t)>& celsiusOfCount);
  // The display window the view uses, Celsius, and the unit to show it in.
  void setDisplayWindow(float lowCelsius, float highCelsius, solvane::controls::Unit unit);
  // The pane's level/span, bounded by the current camera range (Celsius).
  void setLevelSpan(float levelCelsius, float spanCelsius, float rangeLowCelsius,
                    float rangeHighCelsius, solvane::controls::Unit unit);
  void setConnected(bool connected);
  void setLive(bool live);

 signals:
  void levelSpanChanged(float levelCelsius, float spanCelsius);
  void connectClicked();
  void liveClicked();

 private:
  void handle(controls::Refusal refusal);
  void rebin();
  void refreshFields();

  Notifier& notifier_;
  HistogramPlotWidget* plot_;
  controls::StepField* level_;
  controls::StepField* span_;
  QLabel* range_;
  QPushButton* connect_;
  QPushButton* live_;
  std::optional<controls::LevelSpanEntry> entry_;
  std::vector<int32_t> counts_;
  std::function<float(uint16_t)> celsiusOfCount_;
  float windowLow_ = 0.0f;
  float windowHigh_ = 0.0f;
  controls::Unit unit_ = controls::Unit::Celsius;
};

}  // namespace solvane::graphs
