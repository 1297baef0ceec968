#include "view/ui/filter_dialogs.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

namespace solvane {
namespace {

QDialogButtonBox* okCancel(QDialog& dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  return buttons;
}

QSpinBox* intBox(int value, int low, int high, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setRange(low, high);
  box->setValue(value);
  return box;
}

QDoubleSpinBox* floatBox(double value, double low, double high, QWidget* parent) {
  auto* box = new QDoubleSpinBox(parent);
  box->setRange(low, high);
  box->setDecimals(2);
  box->setValue(value);
  return box;
}

}  // namespace

bool editFilter(FilterKind kind, FilterState& f, QWidget* parent) {
  if (!isBlur(kind)) return false;
  QDialog dialog(parent);
  auto* form = new QFormLayout(&dialog);
  QSpinBox* first = nullptr;
  QSpinBox* second = nullptr;
  QDoubleSpinBox* sigma = nullptr;
  QDoubleSpinBox* spatial = nullptr;
  QDoubleSpinBox* range = nullptr;
  if (kind == FilterKind::Bilateral) {
    dialog.setObjectName("CBilateralFilterDlg");
    dialog.setWindowTitle("Bi-Lateral filter");
    spatial = floatBox(f.bilateralSpatial, 0.1, 50.0, &dialog);
    range = floatBox(f.bilateralRange, 0.1, 255.0, &dialog);
    form->addRow("Spatial sigma", spatial);
    form->addRow("Range sigma", range);
  } else {
    dialog.setObjectName("CKernelSizeDlg");
    dialog.setWindowTitle("Kernel Size");
    if (kind == FilterKind::Box) {
      first = intBox(f.boxSize, 1, 99, &dialog);
      form->addRow("Kernel size", first);
    } else if (kind == FilterKind::FastGaussian) {
      first = intBox(f.gaussianWidth, 1, 99, &dialog);
      second = intBox(f.gaussianHeight, 1, 99, &dialog);
      sigma = floatBox(f.gaussianSigma, 0.1, 50.0, &dialog);
      form->addRow("Kernel width", first);
      form->addRow("Kernel height", second);
      form->addRow("Sigma", sigma);
    } else {
      first = intBox(f.stackRadius, 1, 99, &dialog);
      form->addRow("Radius", first);
    }
  }
  // Each field is announced by its row's label.
  for (int row = 0; row < form->rowCount(); ++row) {
    QLayoutItem* label = form->itemAt(row, QFormLayout::LabelRole);
    QLayoutItem* field = form->itemAt(row, QFormLayout::FieldRole);
    if (!label || !field || !field->widget()) continue;
    if (auto* text = qobject_cast<QLabel*>(label->widget()))
      field->widget()->setAccessibleName(text->text());
  }
  form->addRow(okCancel(dialog));
  if (dialog.exec() != QDialog::Accepted) return false;
  switch (kind) {
    case FilterKind::Box:
      f.blur = Blur::Box;
      f.boxSize = first->value();
      break;
    case FilterKind::FastGaussian:
      f.blur = Blur::Gaussian;
      f.gaussianWidth = first->value();
      f.gaussianHeight = second->value();
      f.gaussianSigma = static_cast<float>(sigma->value());
      break;
    case FilterKind::FastStackBlur:
      f.blur = Blur::Stack;
      f.stackRadius = first->value();
      break;
    default:
      f.blur = Blur::Bilateral;
      f.bilateralSpatial = static_cast<float>(spatial->value());
      f.bilateralRange = static_cast<float>(range->value());
      break;
  }
  return true;
}

}  // namespace solvane
