// The KS camera's motorized zoom and focus: while the drive window is open the camera
// streams at a quarter of its rate; a held "+" or "-" button drives the motor, its release
// stops it.
#pragma once

#include "pages/core/command_port.h"

namespace pages {

enum class MotorAxis : uint16_t { Focus = 0, Zoom = 1 };
enum class MotorDirection : uint32_t { Stop = 0, Plus = 1, Minus = 2 };

// The frame-rate divisor while the window is open.
inline constexpr uint16_t kDriveWindowDivisor = 4;

class MotorDrive {
 public:
  explicit MotorDrive(CommandPort& port) : port_(port) {}

  void open();
  void close();
  void press(MotorAxis axis, MotorDirection direction);
  void release(MotorAxis axis);
  bool isOpen() const { return open_; }

 private:
  void drive(MotorAxis axis, MotorDirection direction);

  CommandPort& port_;
  bool open_ = false;
};

}  // namespace pages
