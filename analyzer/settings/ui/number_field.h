// One numeric key of a page: the typed text, the limits beside it and a line saying what the
// value does. A refused entry is told at once and the last accepted value comes back.
#pragma once

#include "app/notifier.h"
#include "settings/environment_rules.h"

#include <QWidget>

class QLabel;
class QLineEdit;

namespace solvane::settings {

class NumberField : public QWidget {
  Q_OBJECT
 public:
  NumberField(const NumberRule& rule, Notifier& notifier, QWidget* parent = nullptr);

  const NumberRule& rule() const { return rule_; }
  void setValue(double value);
  // The last accepted value.
  double value() const { return value_; }
  QLineEdit* edit() const { return edit_; }
  QLabel* explanation() const { return explanation_; }

  // How the text typed now stands, without telling anyone.
  Verdict judge(double& value) const;
  // Takes the typed text when it stands; otherwise tells why and shows the last value again.
  bool commit();

 signals:
  void valueChanged(double value);

 private:
  QString text(double value) const;

  const NumberRule& rule_;
  Notifier& notifier_;
  QLineEdit* edit_;
  QLabel* explanation_;
  double value_ = 0.0;
  bool telling_ = false;
};

}  // namespace solvane::settings
