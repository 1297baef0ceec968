#include "discovery/ui/message_box_notifier.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace discovery {

void MessageBoxNotifier::message(const std::string& text, const std::string& title) {
  const QString caption =
      title.empty() ? QCoreApplication::applicationName() : QString::fromStdString(title);
  const auto icon = title == "Warning" ? QMessageBox::Warning : QMessageBox::NoIcon;
  QMessageBox box(icon, caption, QString::fromStdString(text), QMessageBox::Ok, parent_);
  box.exec();
}

}  // namespace discovery
