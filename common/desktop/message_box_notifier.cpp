#include "desktop/message_box_notifier.h"

#include <QMessageBox>

namespace desktop {
namespace {

QMessageBox::Icon iconOf(Severity severity) {
  switch (severity) {
    case Severity::Warning: return QMessageBox::Warning;
    case Severity::Error: return QMessageBox::Critical;
    case Severity::Question: return QMessageBox::Question;
    default: return QMessageBox::Information;
  }
}

QMessageBox::StandardButtons buttonsOf(Buttons buttons) {
  switch (buttons) {
    case Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    default: return QMessageBox::Ok;
  }
}

}  // namespace

Answer MessageBoxNotifier::present(const Message& message) {
  QMessageBox box(iconOf(message.severity), QString::fromStdString(message.title),
                  QString::fromStdString(message.text), buttonsOf(message.buttons), parent_.data());
  switch (box.exec()) {
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Ok;
  }
}

}  // namespace desktop
