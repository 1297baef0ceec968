#include "pages/core/motor_drive.h"

namespace pages {

void MotorDrive::open() {
  if (open_) return;
  open_ = true;
  port_.sendSetting(
      camera::SettingCommand{camera::SettingId::FrameRateDivisor, kDriveWindowDivisor});
  port_.setStreaming(true);
}

void MotorDrive::close() {
  if (!open_) return;
  open_ = false;
  port_.setStreaming(false);
  // Back to the full rate once nobody watches the motor.
  port_.sendSetting(camera::SettingCommand{camera::SettingId::FrameRateDivisor, 0});
}

void MotorDrive::drive(MotorAxis axis, MotorDirection direction) {
  camera::SettingCommand command{camera::SettingId::MotorDrive, static_cast<uint16_t>(axis)};
  command.words[0] = static_cast<uint32_t>(direction);
  port_.sendSetting(command);
}

void MotorDrive::press(MotorAxis axis, MotorDirection direction) {
  if (open_) drive(axis, direction);
}

void MotorDrive::release(MotorAxis axis) {
  if (open_) drive(axis, MotorDirection::Stop);
}

}  // namespace pages
