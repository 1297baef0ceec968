#include "pages/ui/ks_motorized_dlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

using pages::MotorAxis;
using pages::MotorDirection;

CKSMotorizedDlg::CKSMotorizedDlg(pages::MotorDrive& drive, QWidget* parent)
    : QDialog(parent), drive_(drive) {
  setWindowTitle(tr("Motorized Zoom / Focus"));
  setAccessibleName(windowTitle());
  auto* grid = new QGridLayout(this);
  const struct {
    MotorAxis axis;
    const char* name;
  } axes[] = {{MotorAxis::Zoom, "Zoom"}, {MotorAxis::Focus, "Focus"}};
  for (int row = 0; row < 2; ++row) {
    auto* label = new QLabel(tr(axes[row].name), this);
    label->setAccessibleName(label->text());
    grid->addWidget(label, row, 0);
    for (int column = 0; column < 2; ++column) {
      const MotorDirection direction = column == 0 ? MotorDirection::Plus : MotorDirection::Minus;
      auto* button = new QPushButton(column == 0 ? "+" : "-", this);
      button->setAccessibleName(QString("%1 %2").arg(tr(axes[row].name), button->text()));
      button->setAutoDefault(false);
      const MotorAxis axis = axes[row].axis;
      connect(button, &QPushButton::pressed, this,
              [this, axis, direction] { drive_.press(axis, direction); });
      connect(button, &QPushButton::released, this, [this, axis] { drive_.release(axis); });
      buttons_[row][column] = button;
      grid->addWidget(button, row, column + 1);
    }
  }
}

CKSMotorizedDlg::~CKSMotorizedDlg() { drive_.close(); }

QPushButton* CKSMotorizedDlg::button(MotorAxis axis, MotorDirection direction) const {
  const int row = axis == MotorAxis::Zoom ? 0 : 1;
  const int column = direction == MotorDirection::Plus ? 0 : 1;
  return direction == MotorDirection::Stop ? nullptr : buttons_[row][column];
}

void CKSMotorizedDlg::showEvent(QShowEvent* event) {
  drive_.open();
  QDialog::showEvent(event);
}

void CKSMotorizedDlg::done(int result) {
  drive_.close();
  QDialog::done(result);
}
