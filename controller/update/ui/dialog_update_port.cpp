#include "update/ui/dialog_update_port.h"

#include <QFileDialog>
#include <QMessageBox>

namespace tessor {

namespace {
QMessageBox::Icon boxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

std::optional<std::string> DialogUpdatePort::chooseUpdateFile() {
  QFileDialog dialog(parent_, "File Selection", QString(), kUpdateFileFilter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix("bin");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

void DialogUpdatePort::message(const std::string& text, const std::string& caption,
                               MessageIcon icon) {
  QMessageBox box(boxIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                  QMessageBox::Ok, parent_);
  box.setAccessibleName(caption.empty() ? QString("Message") : QString::fromStdString(caption));
  box.exec();
}

bool DialogUpdatePort::ask(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Question, QString::fromStdString(caption),
                  QString::fromStdString(text), QMessageBox::Ok | QMessageBox::Cancel, parent_);
  box.setAccessibleName(QString::fromStdString(caption));
  return box.exec() == QMessageBox::Ok;
}

}  // namespace tessor
