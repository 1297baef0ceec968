// Small builders for the pages' controls: every control a user acts on or reads carries
// its caption as its accessible name.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <span>

namespace analysis::form {

inline QLabel* label(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setAccessibleName(text);
  return l;
}

inline QSpinBox* spin(const QString& name, int minimum, int maximum, QWidget* parent) {
  auto* s = new QSpinBox(parent);
  s->setAccessibleName(name);
  s->setRange(minimum, maximum);
  s->setKeyboardTracking(false);
  return s;
}

inline QDoubleSpinBox* decimal(const QString& name, double minimum, double maximum, int decimals,
                               QWidget* parent) {
  auto* s = new QDoubleSpinBox(parent);
  s->setAccessibleName(name);
  s->setRange(minimum, maximum);
  s->setDecimals(decimals);
  s->setSingleStep(decimals == 2 ? 0.01 : 0.1);
  s->setKeyboardTracking(false);
  return s;
}

template <size_t N>
QComboBox* list(const QString& name, const std::array<const char*, N>& entries, QWidget* parent) {
  auto* c = new QComboBox(parent);
  c->setAccessibleName(name);
  for (const char* entry : entries) c->addItem(entry);
  return c;
}

inline QCheckBox* check(const QString& name, QWidget* parent) {
  auto* c = new QCheckBox(name, parent);
  c->setAccessibleName(name);
  return c;
}

inline QPushButton* button(const QString& name, QWidget* parent) {
  auto* b = new QPushButton(name, parent);
  b->setAccessibleName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace analysis::form
