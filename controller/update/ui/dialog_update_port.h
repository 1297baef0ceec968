// The dialog half of the update page's port, with the platform's dialogs: the update file
// and message boxes with their icons. The host window adds the camera half.
#pragma once

#include <QPointer>
#include <QWidget>

#include "update/ui/update_page_port.h"

namespace tessor {

class DialogUpdatePort : public UpdatePagePort {
 public:
  explicit DialogUpdatePort(QWidget* parent) : parent_(parent) {}

  std::optional<std::string> chooseUpdateFile() override;
  void message(const std::string& text, const std::string& caption, MessageIcon icon) override;
  bool ask(const std::string& text, const std::string& caption) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace tessor
