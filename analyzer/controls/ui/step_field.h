// A value with a text field and a spin control (up and down buttons): the widget only reports
// steps and typed text; the dialog's rule decides what stands and writes the text back.
#pragma once

#include <QWidget>

class QFormLayout;
class QLineEdit;
class QToolButton;

namespace solvane::controls {

class StepField : public QWidget {
  Q_OBJECT
 public:
  // `name` is the accessible name of the text field; the buttons take it with " up"/" down".
  explicit StepField(const QString& name, QWidget* parent = nullptr);

  QString text() const;
  void setText(const QString& text);
  QLineEdit* edit() const { return edit_; }
  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }

 signals:
  void stepped(int delta);
  void typed(const QString& text);

 private:
  QLineEdit* edit_;
  QToolButton* up_;
  QToolButton* down_;
};

// Row captions of a form are read too: each takes its own text as its accessible name.
void nameFormLabels(QFormLayout* form);

}  // namespace solvane::controls
