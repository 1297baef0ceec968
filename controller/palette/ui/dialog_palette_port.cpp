#include "palette/ui/dialog_palette_port.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

#include "palette/colour_scheme_file.h"

namespace tessor {

void DialogPalettePort::message(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                  QString::fromStdString(text), QMessageBox::Ok, parent_);
  box.setAccessibleName(QString::fromStdString(caption));
  box.exec();
}

std::optional<ColourRef> DialogPalettePort::chooseColour(ColourRef initial) {
  const QColor chosen =
      QColorDialog::getColor(QColor(redOf(initial), greenOf(initial), blueOf(initial)), parent_);
  if (!chosen.isValid()) return std::nullopt;
  return makeColour(static_cast<uint8_t>(chosen.red()), static_cast<uint8_t>(chosen.green()),
                    static_cast<uint8_t>(chosen.blue()));
}

std::optional<std::string> DialogPalettePort::chooseSchemeToLoad() {
  const QString path =
      QFileDialog::getOpenFileName(parent_, "Load", QString(), kColourSchemeFilter);
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<std::string> DialogPalettePort::chooseSchemeToSave() {
  QFileDialog dialog(parent_, "Save", kColourSchemeDefaultName, kColourSchemeFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(kColourSchemeExtension);
  dialog.selectFile(kColourSchemeDefaultName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

}  // namespace tessor
