// The three rows of measurement parameters (emissivity, atmospheric temperature, atmospheric
// transmission) shared by the global emissivity dialog and an object's local environment.
#pragma once

#include "app/notifier.h"
#include "controls/environment_entry.h"
#include "controls/ui/step_field.h"

#include <QWidget>

class QLabel;

namespace solvane::controls {

class EnvironmentFields : public QWidget {
  Q_OBJECT
 public:
  EnvironmentFields(const EnvParams& params, Unit unit, Notifier& notifier,
                    QWidget* parent = nullptr);

  EnvParams env() const { return entry_.env(); }
  const EnvironmentEntry& entry() const { return entry_; }
  // A value chosen elsewhere (the material table) goes through the typed-value rule.
  void setEmissivity(float value);

  StepField* emissivityField() const { return emissivity_; }
  StepField* temperatureField() const { return temperature_; }
  StepField* transmissionField() const { return transmission_; }
  QLabel* temperatureCaption() const { return caption_; }

 signals:
  void changed();

 private:
  void refresh();
  void report(Refusal refusal);

  EnvironmentEntry entry_;
  Notifier& notifier_;
  StepField* emissivity_;
  StepField* temperature_;
  StepField* transmission_;
  QLabel* caption_;
};

}  // namespace solvane::controls
