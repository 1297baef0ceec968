#include "graphs/ui/histogram_view.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace solvane::graphs {

namespace {

QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

HistogramPlotWidget::HistogramPlotWidget(QWidget* parent) : QWidget(parent) {
  setAccessibleName("Histogram");
  setMinimumSize(240, 180);
}

void HistogramPlotWidget::setBins(std::vector<double> percentPerBin, double low, double high,
                                  controls::Unit unit) {
  percent_ = std::move(percentPerBin);
  low_ = low;
  high_ = high;
  unit_ = unit;
  update();
}

HistogramLayout HistogramPlotWidget::currentLayout() const {
  return layoutHistogram(width(), height(), percent_, low_, high_, unit_);
}

void HistogramPlotWidget::paintEvent(QPaintEvent*) {
  const HistogramLayout layout = currentLayout();
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.setPen(Qt::black);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  const QRect box(layout.plot.x, layout.plot.y, layout.plot.width, layout.plot.height);

  painter.setPen(QPen(QColor::fromRgb(kHistogramGridColour), 1));
  for (int i = 1; i < kAxisSteps; ++i) {
    painter.drawLine(layout.xTicks[i].position, box.top(), layout.xTicks[i].position, box.bottom());
    painter.drawLine(box.left(), layout.yTicks[i].position, box.right(), layout.yTicks[i].position);
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(40, 70, 160));
  for (const Box& bar : layout.bars) painter.drawRect(bar.x, bar.y, bar.width, bar.height);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Qt::black, 2));
  painter.drawRect(box);

  painter.setPen(Qt::black);
  for (const Tick& tick : layout.xTicks)
    painter.drawText(QRect(tick.position - 30, box.bottom() + 4, 60, 16), Qt::AlignCenter,
                     QString::fromStdString(tick.label));
  for (const Tick& tick : layout.yTicks)
    painter.drawText(QRect(box.left() - 34, tick.position - 8, 30, 16),
                     Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(tick.label));

  QFont xFont(qs(kXCaptionFont));
  xFont.setPixelSize(kXCaptionHeight);
  xFont.setBold(true);
  painter.setFont(xFont);
  painter.drawText(QRect(box.left(), box.bottom() + 22, box.width(), kXCaptionHeight + 6),
                   Qt::AlignCenter, QString::fromStdString(layout.xCaption));
  QFont yFont(qs(kYCaptionFont));
  yFont.setPixelSize(kYCaptionHeight);
  painter.setFont(yFont);
  painter.save();
  painter.translate(4, box.top() + box.height() / 2);
  painter.rotate(-90);
  painter.drawText(QRect(-box.height() / 2, 0, box.height(), kYCaptionHeight + 4), Qt::AlignCenter,
                   qs(kYCaption));
  painter.restore();
}

CHistgramPlot::CHistgramPlot(Notifier& notifier, QWidget* parent)
    : QWidget(parent),
      notifier_(notifier),
      plot_(new HistogramPlotWidget(this)),
      level_(new controls::StepField("Histogram level", this)),
      span_(new controls::StepField("Histogram span", this)),
      range_(new QLabel(this)),
      connect_(new QPushButton(this)),
      live_(new QPushButton(this)) {
  setAccessibleName("Histogram View");
  range_->setAccessibleName("Histogram range");
  connect_->setAccessibleName("Connect");
  live_->setAccessibleName("Live");
  auto* form = new QFormLayout;
  form->addRow("Level", level_);
  form->addRow("Span", span_);
  form->addRow("Range", range_);
  controls::nameFormLabels(form);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(connect_);
  buttons->addWidget(live_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(plot_, 1);
  layout->addLayout(form);
  layout->addLayout(buttons);
  setConnected(false);
  setLive(false);
  level_->setEnabled(false);
  span_->setEnabled(false);
  connect(connect_, &QPushButton::clicked, this, &CHistgramPlot::connectClicked);
  connect(live_, &QPushButton::clicked, this, &CHistgramPlot::liveClicked);
  connect(level_, &controls::StepField::stepped, this,
          [this](int d) { handle(entry_ ? entry_->stepLevel(d) : controls::Refusal::None); });
  connect(span_, &controls::StepField::stepped, this,
          [this](int d) { handle(entry_ ? entry_->stepSpan(d) : controls::Refusal::None); });
  connect(level_, &controls::StepField::typed, this, [this](const QString& t) {
    handle(entry_ ? entry_->typeLevel(t.toStdString()) : controls::Refusal::None);
  });
  connect(span_, &controls::StepField::typed, this, [this](const QString& t) {
    handle(entry_ ? entry_->typeSpan(t.toStdString()) : controls::Refusal::None);
  });
}

void CHistgramPlot::setHistogram(const std::vector<int32_t>& counts,
                                 const std::function<float(uint16_t)>& celsiusOfCount) {
  counts_ = counts;
  celsiusOfCount_ = celsiusOfCount;
  rebin();
}

void CHistgramPlot::setDisplayWindow(float lowCelsius, float highCelsius, controls::Unit unit) {
  windowLow_ = lowCelsius;
  windowHigh_ = highCelsius;
  unit_ = unit;
  rebin();
}

void CHistgramPlot::rebin() {
  const double low = controls::toDisplay(windowLow_, unit_);
  const double high = controls::toDisplay(windowHigh_, unit_);
  std::vector<double> percent;
  if (celsiusOfCount_ && !counts_.empty()) {
    const controls::Unit unit = unit_;
    percent = binHistogram(counts_, low, high, [this, unit](uint16_t raw) {
      return static_cast<double>(controls::toDisplay(celsiusOfCount_(raw), unit));
    });
  }
  plot_->setBins(std::move(percent), low, high, unit_);
}

void CHistgramPlot::setLevelSpan(float levelCelsius, float spanCelsius, float rangeLowCelsius,
                                 float rangeHighCelsius, controls::Unit unit) {
  entry_.emplace(levelCelsius, spanCelsius, rangeLowCelsius, rangeHighCelsius, unit,
                 controls::kHistogramSpanFloor);
  level_->setEnabled(true);
  span_->setEnabled(true);
  refreshFields();
}

void CHistgramPlot::handle(controls::Refusal refusal) {
  if (!entry_) return;
  if (refusal == controls::Refusal::None)
    emit levelSpanChanged(entry_->levelCelsius(), entry_->spanCelsius());
  else
    notifier_.tell(std::string(controls::refusalText(refusal)), std::string(controls::kStatusTitle),
                   Severity::Warning);
  refreshFields();
}

void CHistgramPlot::refreshFields() {
  if (!entry_) return;
  level_->setText(QString::number(entry_->levelTenths() / 10.0, 'f', 1));
  span_->setText(QString::number(entry_->spanTenths() / 10.0, 'f', 1));
  range_->setText(QString::fromStdString(
      controls::histogramRangeLabel(entry_->windowLow(), entry_->windowHigh(), entry_->unit())));
}

void CHistgramPlot::setConnected(bool connected) {
  connect_->setText(qs(connectButtonText(connected)));
}

void CHistgramPlot::setLive(bool live) { live_->setText(qs(liveButtonText(live))); }

}  // namespace solvane::graphs
