#include "controls/ui/environment_fields.h"

#include <QFormLayout>
#include <QLabel>

namespace solvane::controls {

namespace {

QString fractionText(const FractionEntry& e) { return QString::number(double{e.value()}, 'g', 6); }
QString temperatureText(const TemperatureEntry& e) { return QString::number(e.shown(), 'g', 6); }

}  // namespace

EnvironmentFields::EnvironmentFields(const EnvParams& params, Unit unit, Notifier& notifier,
                                     QWidget* parent)
    : QWidget(parent),
      entry_(params, unit),
      notifier_(notifier),
      emissivity_(new StepField("Emissivity", this)),
      temperature_(new StepField("Atmospheric temperature", this)),
      transmission_(new StepField("Atmospheric transmission", this)),
      caption_(new QLabel(QString::fromStdString(atmosphericTempCaption(unit)), this)) {
  caption_->setAccessibleName("Atmospheric temperature unit");
  auto* form = new QFormLayout(this);
  form->addRow("Emissivity", emissivity_);
  form->addRow(caption_, temperature_);
  form->addRow("Atmospheric Trans.", transmission_);
  nameFormLabels(form);

  auto wire = [this](StepField* field, auto step, auto type) {
    connect(field, &StepField::stepped, this, [this, step](int delta) {
      report(step(delta));
      refresh();
    });
    connect(field, &StepField::typed, this, [this, type](const QString& text) {
      report(type(text.toStdString()));
      refresh();
    });
  };
  wire(
      emissivity_, [this](int d) { return entry_.emissivity.step(d); },
      [this](const std::string& t) { return entry_.emissivity.typeText(t); });
  wire(
      temperature_, [this](int d) { return entry_.atmosphericTemp.step(d); },
      [this](const std::string& t) { return entry_.atmosphericTemp.typeText(t); });
  wire(
      transmission_, [this](int d) { return entry_.transmission.step(d); },
      [this](const std::string& t) { return entry_.transmission.typeText(t); });
  refresh();
}

void EnvironmentFields::setEmissivity(float value) {
  report(entry_.emissivity.type(value));
  refresh();
}

void EnvironmentFields::refresh() {
  emissivity_->setText(fractionText(entry_.emissivity));
  temperature_->setText(temperatureText(entry_.atmosphericTemp));
  transmission_->setText(fractionText(entry_.transmission));
}

void EnvironmentFields::report(Refusal refusal) {
  if (refusal == Refusal::None) {
    emit changed();
    return;
  }
  notifier_.tell(std::string(refusalText(refusal)), std::string(kStatusTitle), Severity::Warning);
}

}  // namespace solvane::controls
