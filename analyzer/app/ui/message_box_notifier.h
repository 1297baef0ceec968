// The notifier of the running program: every message is a modal message box.
#pragma once

#include "app/notifier.h"

#include <QPointer>
#include <QWidget>

namespace solvane {

class MessageBoxNotifier : public Notifier {
 public:
  // Boxes are centred on the given window once there is one.
  void setParentWindow(QWidget* window) { parent_ = window; }
  Answer show(const Message& message) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace solvane
