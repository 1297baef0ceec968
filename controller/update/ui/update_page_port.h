// What the firmware update page needs from the window that hosts it.
#pragma once

#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>

#include "update/firmware_update.h"

namespace tessor {

enum class MessageIcon { None, Error, Question };

class UpdatePagePort {
 public:
  virtual ~UpdatePagePort() = default;
  // An open-file dialog for update files (the file must exist); empty when cancelled.
  virtual std::optional<std::string> chooseUpdateFile() = 0;
  virtual void message(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
  // An OK/Cancel question; true for OK.
  virtual bool ask(const std::string& text, const std::string& caption) = 0;
  // The connected camera's firmware version from its system data; empty when unknown.
  virtual std::optional<uint32_t> cameraFirmwareVersion() const = 0;
  // Sends one block record and says whether the camera took it. Called on the worker
  // thread; must return soon once `stop` is requested.
  virtual bool sendFirmwareBlock(const FirmwareBlockRecord& record, std::stop_token stop) = 0;
};

}  // namespace tessor
