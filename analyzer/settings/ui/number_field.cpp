#include "settings/ui/number_field.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace solvane::settings {

NumberField::NumberField(const NumberRule& rule, Notifier& notifier, QWidget* parent)
    : QWidget(parent), rule_(rule), notifier_(notifier) {
  edit_ = new QLineEdit(this);
  edit_->setObjectName(rule.key);
  edit_->setAccessibleName(tr(rule.caption));
  auto* limits = new QLabel(QString("(%1 ~ %2)").arg(text(rule.minimum), text(rule.maximum)), this);
  limits->setAccessibleName(tr("%1 limits").arg(tr(rule.caption)));
  explanation_ = new QLabel(tr(rule.explanation), this);
  explanation_->setWordWrap(true);
  explanation_->setAccessibleName(tr("%1 explanation").arg(tr(rule.caption)));
  QFont small = explanation_->font();
  small.setPointSizeF(small.pointSizeF() * 0.9);
  explanation_->setFont(small);
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(edit_, 0, 0);
  layout->addWidget(limits, 0, 1);
  layout->addWidget(explanation_, 1, 0, 1, 2);
  layout->setColumnStretch(0, 1);
  connect(edit_, &QLineEdit::editingFinished, this, [this] { commit(); });
}

QString NumberField::text(double value) const {
  return QString::number(value, 'f', rule_.decimals);
}

void NumberField::setValue(double value) {
  value_ = value;
  edit_->setText(text(value));
}

Verdict NumberField::judge(double& value) const {
  return checkNumber(rule_, edit_->text().toStdString(), value);
}

bool NumberField::commit() {
  if (telling_) return false;
  double typed = 0.0;
  const Verdict verdict = judge(typed);
  if (verdict != Verdict::Accepted) {
    // The box takes the focus, which ends the editing once more: say it once.
    telling_ = true;
    edit_->setText(text(value_));
    notifier_.tell(std::string(verdictText(verdict)), std::string(kStatusTitle), Severity::Warning);
    telling_ = false;
    return false;
  }
  const bool changed = typed != value_;
  setValue(typed);
  if (changed) emit valueChanged(value_);
  return true;
}

}  // namespace solvane::settings
