#include "controls/ui/level_span_dlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace solvane::controls {

CLevelSpanDlg::CLevelSpanDlg(const AgcParams& agc, float levelCelsius, float spanCelsius,
                             float rangeLow, float rangeHigh, Unit unit, Notifier& notifier,
                             QWidget* parent)
    : QDialog(parent),
      notifier_(notifier),
      agc_(agc),
      modeSwitch_(agc),
      entry_(levelCelsius, spanCelsius, rangeLow, rangeHigh, unit),
      automatic_(new QRadioButton("Automatic", this)),
      manual_(new QRadioButton("Manual", this)),
      level_(new StepField("Level", this)),
      span_(new StepField("Span", this)),
      range_(new QLabel(this)) {
  setWindowTitle("Level and Span");
  automatic_->setAccessibleName("Automatic");
  manual_->setAccessibleName("Manual");
  range_->setAccessibleName("Range");
  auto* modes = new QHBoxLayout;
  modes->addWidget(automatic_);
  modes->addWidget(manual_);
  auto* form = new QFormLayout;
  form->addRow("Level", level_);
  form->addRow("Span", span_);
  form->addRow("Range", range_);
  nameFormLabels(form);
  auto* close = new QPushButton("Close", this);
  close->setAccessibleName("Close");
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(modes);
  layout->addLayout(form);
  layout->addWidget(close);

  const bool automatic = AgcModeSwitch::isAutomatic(agc_);
  (automatic ? automatic_ : manual_)->setChecked(true);
  level_->setEnabled(!automatic);
  span_->setEnabled(!automatic);
  connect(automatic_, &QRadioButton::toggled, this, [this](bool on) { setAutomatic(on); });
  connect(level_, &StepField::stepped, this, [this](int d) { handle(entry_.stepLevel(d)); });
  connect(span_, &StepField::stepped, this, [this](int d) { handle(entry_.stepSpan(d)); });
  connect(level_, &StepField::typed, this,
          [this](const QString& t) { handle(entry_.typeLevel(t.toStdString())); });
  connect(span_, &StepField::typed, this,
          [this](const QString& t) { handle(entry_.typeSpan(t.toStdString())); });
  refresh();
}

void CLevelSpanDlg::setAutomatic(bool automatic) {
  if (automatic == AgcModeSwitch::isAutomatic(agc_)) return;
  if (automatic)
    modeSwitch_.setAutomatic(agc_);
  else
    modeSwitch_.setManual(agc_);
  level_->setEnabled(!automatic);
  span_->setEnabled(!automatic);
  emit agcChanged(agc_);
}

void CLevelSpanDlg::handle(Refusal refusal) {
  if (refusal == Refusal::None)
    emit levelSpanChanged(entry_.levelCelsius(), entry_.spanCelsius());
  else
    notifier_.tell(std::string(refusalText(refusal)), std::string(kStatusTitle), Severity::Warning);
  refresh();
}

void CLevelSpanDlg::refresh() {
  level_->setText(QString::number(entry_.levelTenths() / 10.0, 'f', 1));
  span_->setText(QString::number(entry_.spanTenths() / 10.0, 'f', 1));
  range_->setText(QString::fromStdString(entry_.rangeLabel()));
}

}  // namespace solvane::controls
