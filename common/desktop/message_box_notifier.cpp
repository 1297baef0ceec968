#include "desktop/message_box_notifier.h"

#include <QMessageBox>

#include <algorithm>

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

bool sameMessage(const Message& a, const Message& b) {
  return a.text == b.text && a.title == b.title && a.severity == b.severity;
}

}  // namespace

Answer MessageBoxNotifier::present(const Message& message) {
  // A question is always asked: its caller waits for that answer.
  const bool plain = message.buttons == Buttons::Ok;
  const auto same = [&message](const Message& shown) { return sameMessage(shown, message); };
  if (plain) {
    if (std::any_of(open_.begin(), open_.end(), same)) return Answer::Ok;
    open_.push_back(message);
  }
  QMessageBox box(iconOf(message.severity), QString::fromStdString(message.title),
                  QString::fromStdString(message.text), buttonsOf(message.buttons), parent_.data());
  const int pressed = box.exec();
  if (plain) open_.erase(std::find_if(open_.begin(), open_.end(), same));
  switch (pressed) {
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Ok;
  }
}

}  // namespace desktop
