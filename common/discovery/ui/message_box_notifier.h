// Messages of the finder shown as modal message boxes with an OK button.
#pragma once

#include <QPointer>
#include <QWidget>

#include "discovery/core/finder_ports.h"

namespace discovery {

class MessageBoxNotifier final : public MessageNotifier {
 public:
  explicit MessageBoxNotifier(QWidget* parent) : parent_(parent) {}
  void message(const std::string& text, const std::string& title) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace discovery
