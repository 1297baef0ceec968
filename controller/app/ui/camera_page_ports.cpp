#include "app/ui/camera_page_ports.h"

#include <cstring>

#include "camera/settings_catalogue.h"

namespace tessor {

namespace {
constexpr const char* kVideoPaletteKey = "kt_video.palette";
}

int WindowPalettePort::sendPalette(const PaletteRecord& record) {
  PaletteBlock block;
  static_assert(sizeof block.bytes == kPaletteRecordSize);
  std::memcpy(block.bytes, record.data(), sizeof block.bytes);
  return link_.sendPalette(block);
}

void WindowPalettePort::message(const std::string& text, const std::string& caption) {
  notifier_.tell(text, caption, desktop::Severity::Information);
}

void WindowPalettePort::selectVideoPalette(int listIndex) {
  // The camera took the palette with the upload; the list only shows it.
  if (auto* video = core_.page(camera::Page::KtVideo)) video->show(kVideoPaletteKey, listIndex);
}

WindowUpdatePort::WindowUpdatePort(QWidget* parent, SdkCameraLink& link, ControllerCore& core,
                                   desktop::Notifier& notifier)
    : DialogUpdatePort(parent),
      link_(link),
      core_(core),
      notifier_(notifier),
      sender_([&link](const FirmwareBlock& block) { return link.sendFirmware(block) == 1; }) {
  link_.setAnswerListener([this](bool acknowledged) { sender_.answerArrived(acknowledged); });
}

WindowUpdatePort::~WindowUpdatePort() { link_.setAnswerListener({}); }

void WindowUpdatePort::message(const std::string& text, const std::string& caption,
                               MessageIcon icon) {
  notifier_.tell(
      text, caption,
      icon == MessageIcon::Error ? desktop::Severity::Error : desktop::Severity::Information);
}

bool WindowUpdatePort::ask(const std::string& text, const std::string& caption) {
  return notifier_.confirm(text, caption);
}

bool WindowUpdatePort::sendFirmwareBlock(const FirmwareBlockRecord& record, std::stop_token stop) {
  return sender_(record, stop);
}

}  // namespace tessor
