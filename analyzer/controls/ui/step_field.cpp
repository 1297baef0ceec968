#include "controls/ui/step_field.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace solvane::controls {

StepField::StepField(const QString& name, QWidget* parent)
    : QWidget(parent),
      edit_(new QLineEdit(this)),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
  edit_->setAccessibleName(name);
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  up_->setAccessibleName(name + " up");
  down_->setAccessibleName(name + " down");
  up_->setAutoRepeat(true);
  down_->setAutoRepeat(true);
  auto* buttons = new QVBoxLayout;
  buttons->setSpacing(0);
  buttons->addWidget(up_);
  buttons->addWidget(down_);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(edit_, 1);
  row->addLayout(buttons);
  connect(up_, &QToolButton::clicked, this, [this] { emit stepped(1); });
  connect(down_, &QToolButton::clicked, this, [this] { emit stepped(-1); });
  // Typed text is judged once the user leaves the field or presses Enter, not per keystroke.
  connect(edit_, &QLineEdit::editingFinished, this, [this] {
    if (edit_->isModified()) {
      edit_->setModified(false);
      emit typed(edit_->text());
    }
  });
}

QString StepField::text() const { return edit_->text(); }

void StepField::setText(const QString& text) {
  edit_->setText(text);
  edit_->setModified(false);
}

void nameFormLabels(QFormLayout* form) {
  for (int row = 0; row < form->rowCount(); ++row) {
    QLayoutItem* item = form->itemAt(row, QFormLayout::LabelRole);
    auto* label = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
    if (label && label->accessibleName().isEmpty()) label->setAccessibleName(label->text());
  }
}

}  // namespace solvane::controls
