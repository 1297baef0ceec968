#include "pages/ui/settings_page_widget.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace pages {

namespace {

QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The camera's colour word: red in the lowest byte.
QColor colourOf(int64_t value) {
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

}  // namespace

SettingsPageWidget::SettingsPageWidget(SettingsPageModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
  setAccessibleName(qs(model.caption()));
  auto* outer = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  outer->addLayout(form);
  for (size_t i = 0; i < model.fields().size(); ++i) {
    QWidget* control = makeControl(i);
    controls_[i] = control;
    auto* label = new QLabel(qs(model.fields()[i]->label), this);
    label->setAccessibleName(label->text());
    label->setBuddy(control);
    form->addRow(label, control);
  }
  auto* buttonRow = buttonRow_ = new QHBoxLayout;
  for (std::string_view caption : model.buttons()) {
    auto* button = new QPushButton(qs(caption), this);
    button->setAccessibleName(qs(caption));
    buttons_.emplace(std::string(caption), button);
    connect(button, &QPushButton::clicked, this, [this, caption] { model_.press(caption); });
    buttonRow->addWidget(button);
  }
  buttonRow->addStretch();
  outer->addLayout(buttonRow);
  outer->addStretch();
  model.setRefreshHandler([this] { refresh(); });
  refresh();
}

QWidget* SettingsPageWidget::makeControl(size_t field) {
  const camera::FieldEntry& definition = *model_.fields()[field];
  QWidget* control = nullptr;
  switch (definition.kind) {
    case camera::FieldKind::Choice:
    case camera::FieldKind::Toggle:
    case camera::FieldKind::RangeList: {
      auto* box = new QComboBox(this);
      connect(box, &QComboBox::activated, this, [this, field, box](int index) {
        if (!model_.change(field, box->itemData(index).toLongLong())) showValue(field);
      });
      control = box;
      break;
    }
    case camera::FieldKind::Range: {
      auto* spin = new QSpinBox(this);
      spin->setRange(static_cast<int>(definition.minimum), static_cast<int>(definition.maximum));
      // A typed number goes out once, when it is complete, not digit by digit.
      spin->setKeyboardTracking(false);
      connect(spin, &QSpinBox::valueChanged, this, [this, field](int value) {
        if (!model_.change(field, value)) showValue(field);
      });
      control = spin;
      break;
    }
    case camera::FieldKind::Address: {
      auto* line = new QLineEdit(this);
      line->setValidator(new QRegularExpressionValidator(
          QRegularExpression(R"(^(\d{1,3})(\.\d{1,3}){0,3}$)"), line));
      connect(line, &QLineEdit::editingFinished, this, [this, field, line] {
        const auto address = camera::parseAddress(line->text().toStdString());
        if (!address || !model_.change(field, *address)) showValue(field);
      });
      control = line;
      break;
    }
    case camera::FieldKind::Colour: {
      auto* button = new QPushButton(this);
      connect(button, &QPushButton::clicked, this, [this, field] {
        QColorDialog dialog(colourOf(model_.value(field)), this);
        dialog.setObjectName("colourDialog");
        if (dialog.exec() != QDialog::Accepted) return;
        const QColor chosen = dialog.currentColor();
        model_.change(field, chosen.red() | chosen.green() << 8 | chosen.blue() << 16);
        showValue(field);
      });
      control = button;
      break;
    }
    case camera::FieldKind::Readout: control = new QLabel(this); break;
  }
  control->setMinimumWidth(220);
  control->setObjectName(qs(definition.key));
  control->setAccessibleName(qs(definition.label));
  return control;
}

QPushButton* SettingsPageWidget::addButton(const QString& caption) {
  auto* button = new QPushButton(caption, this);
  button->setAccessibleName(caption);
  buttons_.emplace(caption.toStdString(), button);
  buttonRow_->insertWidget(buttonRow_->count() - 1, button);
  return button;
}

QWidget* SettingsPageWidget::control(std::string_view key) const {
  const auto index = model_.fieldIndex(key);
  if (!index) return nullptr;
  const auto found = controls_.find(*index);
  return found == controls_.end() ? nullptr : found->second;
}

QPushButton* SettingsPageWidget::button(std::string_view caption) const {
  const auto found = buttons_.find(caption);
  return found == buttons_.end() ? nullptr : found->second;
}

void SettingsPageWidget::showValue(size_t field) {
  QWidget* control = controls_.at(field);
  const QSignalBlocker blocker(control);
  const camera::FieldEntry& definition = *model_.fields()[field];
  const int64_t value = model_.value(field);
  switch (definition.kind) {
    case camera::FieldKind::Choice:
    case camera::FieldKind::Toggle:
    case camera::FieldKind::RangeList: {
      auto* box = static_cast<QComboBox*>(control);
      box->clear();
      int current = -1;
      for (const ChoiceEntry& entry : model_.choices(field)) {
        box->addItem(QString::fromStdString(entry.text),
                     QVariant::fromValue<qlonglong>(entry.value));
        if (auto* items = qobject_cast<QStandardItemModel*>(box->model()); items && !entry.enabled)
          items->item(box->count() - 1)->setEnabled(false);
        if (entry.value == value) current = box->count() - 1;
      }
      box->setCurrentIndex(current);
      break;
    }
    case camera::FieldKind::Range:
      static_cast<QSpinBox*>(control)->setValue(static_cast<int>(value));
      break;
    case camera::FieldKind::Address:
      static_cast<QLineEdit*>(control)->setText(
          QString::fromStdString(camera::addressText(static_cast<uint32_t>(value))));
      break;
    case camera::FieldKind::Colour: {
      const QColor colour = colourOf(value);
      auto* button = static_cast<QPushButton*>(control);
      button->setText(colour.name());
      button->setStyleSheet(QString("background-color: %1").arg(colour.name()));
      break;
    }
    case camera::FieldKind::Readout: {
      const auto index = definition.choiceIndex(value);
      static_cast<QLabel*>(control)->setText(index ? qs(definition.choices[*index])
                                                   : QString::number(value));
      break;
    }
  }
}

void SettingsPageWidget::refresh() {
  for (size_t i = 0; i < model_.fields().size(); ++i) showValue(i);
}

}  // namespace pages
