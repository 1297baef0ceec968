// The one way a settings page reaches the camera: the window's connection, or a recording
// fake in the tests.
#pragma once

#include "camera/setting_ids.h"

namespace pages {

class CommandPort {
 public:
  virtual ~CommandPort() = default;
  // Sends one setting command (command index 10); true when the link took it.
  virtual bool sendSetting(const camera::SettingCommand& command) = 0;
  // Asks the camera for its header (command index 7), which refreshes every page.
  virtual void requestHeader() = 0;
  // Starts (command index 3) or stops (index 4) the camera's frame stream.
  virtual void setStreaming(bool on) = 0;
};

}  // namespace pages
