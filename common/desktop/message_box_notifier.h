// The notifier of a running program: every message is a modal message box.
#pragma once

#include "desktop/notifier.h"

#include <QPointer>
#include <QWidget>

#include <string>
#include <utility>

namespace desktop {

class MessageBoxNotifier : public Notifier {
 public:
  explicit MessageBoxNotifier(std::string programTitle) : Notifier(std::move(programTitle)) {}
  // Boxes are centred on the given window once there is one.
  void setParentWindow(QWidget* window) { parent_ = window; }

 protected:
  Answer present(const Message& message) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace desktop
