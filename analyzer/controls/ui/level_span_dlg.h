// Menu "Level and Span": the manual/automatic switch and the manual window of the mapping.
#pragma once

#include "app/notifier.h"
#include "controls/level_span_rules.h"
#include "controls/ui/step_field.h"

#include <QDialog>

class QLabel;
class QRadioButton;

namespace solvane::controls {

class CLevelSpanDlg : public QDialog {
  Q_OBJECT
 public:
  // Level and span in Celsius; the bounds of the current camera range in Celsius.
  CLevelSpanDlg(const AgcParams& agc, float levelCelsius, float spanCelsius, float rangeLow,
                float rangeHigh, Unit unit, Notifier& notifier, QWidget* parent = nullptr);

  const AgcParams& agc() const { return agc_; }
  const LevelSpanEntry& entry() const { return entry_; }
  QRadioButton* automaticButton() const { return automatic_; }
  QRadioButton* manualButton() const { return manual_; }
  StepField* levelField() const { return level_; }
  StepField* spanField() const { return span_; }
  QLabel* rangeLabel() const { return range_; }

 signals:
  // The whole record goes to the document whenever it changes.
  void agcChanged(const AgcParams& agc);
  // An accepted level or span, in Celsius, for the document's manual mapping.
  void levelSpanChanged(float levelCelsius, float spanCelsius);

 private:
  void setAutomatic(bool automatic);
  void handle(Refusal refusal);
  void refresh();

  Notifier& notifier_;
  AgcParams agc_;
  AgcModeSwitch modeSwitch_;
  LevelSpanEntry entry_;
  QRadioButton* automatic_;
  QRadioButton* manual_;
  StepField* level_;
  StepField* span_;
  QLabel* range_;
};

}  // namespace solvane::controls
