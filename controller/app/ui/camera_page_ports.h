// The window's halves of the palette and update pages' ports: the camera through the
// window's connection, and every message and question through the window's notifier, so
// that they read the same as the window's own (and tests read them instead of blocking).
#pragma once

#include <memory>

#include "app/core/controller_core.h"
#include "app/core/sdk_camera_link.h"
#include "palette/ui/dialog_palette_port.h"
#include "update/receiver_fed_sender.h"
#include "update/ui/dialog_update_port.h"

namespace tessor {

class WindowPalettePort : public DialogPalettePort {
 public:
  WindowPalettePort(QWidget* parent, SdkCameraLink& link, ControllerCore& core,
                    desktop::Notifier& notifier)
      : DialogPalettePort(parent), link_(link), core_(core), notifier_(notifier) {}

  int sendPalette(const PaletteRecord& record) override;
  void message(const std::string& text, const std::string& caption) override;
  bool cameraIsKt() const override { return core_.cameraIsKt(); }
  void selectVideoPalette(int listIndex) override;

 private:
  SdkCameraLink& link_;
  ControllerCore& core_;
  desktop::Notifier& notifier_;
};

class WindowUpdatePort : public DialogUpdatePort {
 public:
  // Sets itself as the link's answer listener for the window's life.
  WindowUpdatePort(QWidget* parent, SdkCameraLink& link, ControllerCore& core,
                   desktop::Notifier& notifier);
  ~WindowUpdatePort() override;

  void message(const std::string& text, const std::string& caption, MessageIcon icon) override;
  bool ask(const std::string& text, const std::string& caption) override;
  std::optional<uint32_t> cameraFirmwareVersion() const override { return core_.firmwareVersion(); }
  bool sendFirmwareBlock(const FirmwareBlockRecord& record, std::stop_token stop) override;

 private:
  SdkCameraLink& link_;
  ControllerCore& core_;
  desktop::Notifier& notifier_;
  // The receive thread owns the socket's reading, so the camera's verdict on each block
  // comes through it.
  ReceiverFedFirmwareSender sender_;
};

}  // namespace tessor
