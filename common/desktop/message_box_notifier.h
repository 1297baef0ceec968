// The notifier of a running program: every message is a modal message box. A plain message
// already on screen is not opened a second time: an unattended program that meets the same
// condition again (a camera operated by hand at every reconnection) would otherwise stack
// one modal box, and one nested event loop, on the other without end.
#pragma once

#include "desktop/notifier.h"

#include <QPointer>
#include <QWidget>

#include <string>
#include <utility>
#include <vector>

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
  std::vector<Message> open_;  // plain messages on screen now, oldest first
};

}  // namespace desktop
