#include "graphs/ui/trend_plot_view.h"

#include "controls/ui/step_field.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLegend>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <ctime>

namespace solvane::graphs {

namespace {

QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor rgb(uint32_t value) { return QColor::fromRgb(value & 0xFFFFFFu); }

}  // namespace

CPlotRangeSetDlg::CPlotRangeSetDlg(const PlotRange& range, Notifier& notifier, QWidget* parent)
    : QDialog(parent), notifier_(notifier), range_(range) {
  setWindowTitle("Range Setting");
  const RangeFields texts = fieldsOf(range);
  const std::array<std::pair<const char*, const std::string*>, 4> rows = {
      std::pair{"X minimum", &texts.xMin}, std::pair{"X maximum", &texts.xMax},
      std::pair{"Y minimum", &texts.yMin}, std::pair{"Y maximum", &texts.yMax}};
  auto* form = new QFormLayout;
  for (size_t i = 0; i < rows.size(); ++i) {
    fields_[i] = new QLineEdit(QString::fromStdString(*rows[i].second), this);
    fields_[i]->setAccessibleName(rows[i].first);
    form->addRow(rows[i].first, fields_[i]);
  }
  controls::nameFormLabels(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName("OK");
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName("Cancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &CPlotRangeSetDlg::acceptFields);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

void CPlotRangeSetDlg::acceptFields() {
  const RangeCheck check =
      checkRange(RangeFields{fields_[0]->text().toStdString(), fields_[1]->text().toStdString(),
                             fields_[2]->text().toStdString(), fields_[3]->text().toStdString()});
  if (!check.range) {
    notifier_.tell(check.message, std::string(kRangeOrderTitle), Severity::Warning);
    return;
  }
  range_ = *check.range;
  accept();
}

CPlotPropertiesDlg::CPlotPropertiesDlg(bool legend, bool grid, QWidget* parent)
    : QDialog(parent),
      legend_(new QCheckBox("Show legend", this)),
      grid_(new QCheckBox("Show grid", this)) {
  setWindowTitle("Properties");
  legend_->setAccessibleName("Show legend");
  grid_->setAccessibleName("Show grid");
  legend_->setChecked(legend);
  grid_->setChecked(grid);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName("OK");
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName("Cancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(legend_);
  layout->addWidget(grid_);
  layout->addWidget(buttons);
}

CTrendPlotView::CTrendPlotView(TrendMode mode, Notifier& notifier, size_t history, QWidget* parent)
    : QWidget(parent),
      notifier_(notifier),
      model_(mode, history),
      chart_(new QChart),
      view_(new QChartView(chart_, this)),
      xAxis_(new QValueAxis),
      yAxis_(new QValueAxis) {
  setAccessibleName(mode == TrendMode::HotCold ? "Hot/Cold Plot View" : "Chart View");
  view_->setAccessibleName(qs(model_.caption()));
  view_->setRenderHint(QPainter::Antialiasing);
  chart_->setTitle(qs(model_.caption()));
  chart_->setPlotAreaBackgroundBrush(rgb(kPlotAreaColour));
  chart_->setPlotAreaBackgroundVisible(true);
  xAxis_->setTitleText(qs(kXAxisTitle));
  xAxis_->setLabelFormat(qs(kXLabelFormat));
  yAxis_->setTitleText(qs(kYAxisTitle));
  yAxis_->setLabelFormat(qs(kYLabelFormat));
  for (QValueAxis* axis : {xAxis_, yAxis_}) {
    axis->setGridLineColor(rgb(kGridColour));
    axis->setTickCount(6);
  }
  chart_->addAxis(xAxis_, Qt::AlignBottom);
  chart_->addAxis(yAxis_, Qt::AlignLeft);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);

  redrawTimer_.setSingleShot(true);
  connect(&redrawTimer_, &QTimer::timeout, this, &CTrendPlotView::redraw);
  askRange_ = [this](const PlotRange& range) -> std::optional<PlotRange> {
    CPlotRangeSetDlg dialog(range, notifier_, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.range();
  };
  runProperties_ = [](CPlotPropertiesDlg& dialog) { dialog.exec(); };
  clock_.start();
  syncSeries();
  throttle_.markDirty();
  redraw();
}

QLineSeries* CTrendPlotView::lineOf(int32_t key) const {
  const auto found = lines_.find(key);
  return found == lines_.end() ? nullptr : found->second;
}

void CTrendPlotView::syncSeries() {
  for (auto it = lines_.begin(); it != lines_.end();) {
    if (model_.find(it->first)) {
      ++it;
      continue;
    }
    chart_->removeSeries(it->second);
    delete it->second;
    it = lines_.erase(it);
  }
  for (const TrendSeries& s : model_.series()) {
    if (lines_.count(s.key)) continue;
    auto* line = new QLineSeries;
    line->setName(QString::fromStdString(s.name));
    line->setColor(rgb(s.colour));
    chart_->addSeries(line);
    line->attachAxis(xAxis_);
    line->attachAxis(yAxis_);
    lines_[s.key] = line;
  }
}

void CTrendPlotView::addObject(int32_t objectId, const QString& name, uint32_t colour) {
  model_.addObject(objectId, name.toStdString(), colour);
  syncSeries();
  pointsAdded();
}

void CTrendPlotView::removeObject(int32_t objectId) {
  model_.removeObject(objectId);
  syncSeries();
  pointsAdded();
}

void CTrendPlotView::removeAllObjects() {
  model_.removeAllObjects();
  syncSeries();
  pointsAdded();
}

void CTrendPlotView::appendObjects(const std::vector<ObjectSample>& samples, controls::Unit unit) {
  appendObjectsAt(clock_.elapsed() / 1000.0, samples, unit);
}

void CTrendPlotView::appendHotCold(float hotCelsius, float coldCelsius, controls::Unit unit) {
  appendHotColdAt(clock_.elapsed() / 1000.0, hotCelsius, coldCelsius, unit);
}

void CTrendPlotView::appendObjectsAt(double seconds, const std::vector<ObjectSample>& samples,
                                     controls::Unit unit) {
  if (!model_.plotting()) return;
  model_.appendObjects(seconds, samples, unit);
  pointsAdded();
}

void CTrendPlotView::appendHotColdAt(double seconds, float hotCelsius, float coldCelsius,
                                     controls::Unit unit) {
  if (!model_.plotting()) return;
  model_.appendHotCold(seconds, hotCelsius, coldCelsius, unit);
  pointsAdded();
}

void CTrendPlotView::clearPlot() {
  model_.clearPoints();
  clock_.restart();
  pointsAdded();
}

void CTrendPlotView::pointsAdded() {
  throttle_.markDirty();
  if (redrawTimer_.isActive()) return;
  // The first change after a quiet spell is drawn at once; later ones wait for the interval.
  redrawTimer_.start(0);
}

void CTrendPlotView::redraw() {
  const auto now = RedrawThrottle::Clock::now();
  if (!throttle_.takeDue(now)) {
    if (throttle_.dirty()) redrawTimer_.start(static_cast<int>(throttle_.interval().count()));
    return;
  }
  // The chart gets the points of the shown time span only (and one on each side, so lines
  // run to the edges): the history keeps its thousands of points, while the chart's own
  // copies and drawing stay as small as what can be seen.
  const PlotRange shown = model_.shownRange();
  for (const TrendSeries& s : model_.series()) {
    QLineSeries* line = lineOf(s.key);
    if (!line) continue;
    size_t first = 0;
    while (first + 1 < s.points.size() && s.points.at(first + 1).seconds < shown.xMin) ++first;
    size_t end = s.points.size();
    while (end > first + 1 && s.points.at(end - 2).seconds > shown.xMax) --end;
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(end - first));
    for (size_t i = first; i < end; ++i) {
      const PlotPoint p = s.points.at(i);
      points.append(QPointF(p.seconds, p.value));
    }
    line->replace(points);
  }
  xAxis_->setRange(shown.xMin, shown.xMax);
  yAxis_->setRange(shown.yMin, shown.yMax);
  ++redraws_;
}

void CTrendPlotView::fillContextMenu(QMenu& menu) {
  menu.addAction(qs(model_.startStopText()), this, &CTrendPlotView::toggleStart);
  QAction* autoRange = menu.addAction(qs(kAutoRangeText), this, &CTrendPlotView::toggleAutoRange);
  autoRange->setCheckable(true);
  autoRange->setChecked(model_.autoRange());
  QAction* rangeSetting =
      menu.addAction(qs(kRangeSettingText), this, &CTrendPlotView::openRangeSetting);
  rangeSetting->setEnabled(model_.rangeSettingEnabled());
  menu.addAction(qs(kExportBitmapText), this, [this] { exportBitmap(); });
  menu.addAction(qs(kPropertiesText), this, &CTrendPlotView::openProperties);
}

void CTrendPlotView::contextMenuEvent(QContextMenuEvent* event) {
  // Only over the plot itself, not over the axes, title or legend.
  const QPointF inChart = view_->mapToScene(view_->mapFrom(this, event->pos()));
  if (!chart_->plotArea().contains(chart_->mapFromScene(inChart))) return;
  QMenu menu(this);
  fillContextMenu(menu);
  menu.exec(event->globalPos());
}

void CTrendPlotView::toggleStart() { model_.setPlotting(!model_.plotting()); }

void CTrendPlotView::toggleAutoRange() {
  model_.setAutoRange(!model_.autoRange());
  pointsAdded();
}

void CTrendPlotView::openRangeSetting() {
  if (!model_.rangeSettingEnabled()) return;
  if (const auto range = askRange_(model_.storedRange())) {
    model_.setStoredRange(*range);
    pointsAdded();
  }
}

QString CTrendPlotView::exportBitmap() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const QString path = QString::fromStdString(exportBitmapPath(saveFolder_, local).string());
  if (!grab().save(path, "BMP")) {
    notifier_.tell("Failed to write " + path.toStdString(), "Error Message", Severity::Error);
    return {};
  }
  return path;
}

void CTrendPlotView::openProperties() {
  CPlotPropertiesDlg dialog(chart_->legend()->isVisible(), xAxis_->isGridLineVisible(), this);
  runProperties_(dialog);
  if (dialog.result() != QDialog::Accepted) return;
  chart_->legend()->setVisible(dialog.legendBox()->isChecked());
  xAxis_->setGridLineVisible(dialog.gridBox()->isChecked());
  yAxis_->setGridLineVisible(dialog.gridBox()->isChecked());
}

}  // namespace solvane::graphs
