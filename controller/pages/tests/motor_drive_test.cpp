// The motorized zoom and focus drive: what opening, holding, releasing and closing send.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "fake_port.h"
#include "pages/core/motor_drive.h"

namespace {

using camera::SettingCommand;
using camera::SettingId;
using pages::MotorAxis;
using pages::MotorDirection;
using pages_test::Sent;
using pages_test::Streaming;

SettingCommand drive(uint16_t axis, uint32_t direction) {
  return SettingCommand{SettingId::MotorDrive, axis, {direction, 0, 0}};
}

TEST(MotorDrive, OpeningSlowsTheStreamAndStartsIt) {
  pages_test::RecordingPort port;
  pages::MotorDrive motor(port);
  motor.open();
  EXPECT_EQ(port.sent,
            (std::vector<Sent>{SettingCommand{SettingId::FrameRateDivisor, 4}, Streaming{true}}));
}

struct DriveCase {
  const char* name;
  MotorAxis axis;
  MotorDirection direction;
  std::vector<Sent> expected;
};

void PrintTo(const DriveCase& c, std::ostream* os) { *os << c.name; }

class MotorButton : public ::testing::TestWithParam<DriveCase> {};

TEST_P(MotorButton, DrivesWhileHeldAndStopsOnRelease) {
  pages_test::RecordingPort port;
  pages::MotorDrive motor(port);
  motor.open();
  port.sent.clear();
  motor.press(GetParam().axis, GetParam().direction);
  motor.release(GetParam().axis);
  EXPECT_EQ(port.sent, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, MotorButton,
    ::testing::Values(
        DriveCase{"zoom_plus", MotorAxis::Zoom, MotorDirection::Plus, {drive(1, 1), drive(1, 0)}},
        DriveCase{"zoom_minus", MotorAxis::Zoom, MotorDirection::Minus, {drive(1, 2), drive(1, 0)}},
        DriveCase{"focus_plus", MotorAxis::Focus, MotorDirection::Plus, {drive(0, 1), drive(0, 0)}},
        DriveCase{
            "focus_minus", MotorAxis::Focus, MotorDirection::Minus, {drive(0, 2), drive(0, 0)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MotorDrive, ClosingStopsTheStreamAndRestoresTheRateOnce) {
  pages_test::RecordingPort port;
  pages::MotorDrive motor(port);
  motor.open();
  port.sent.clear();
  motor.close();
  motor.close();
  EXPECT_EQ(port.sent,
            (std::vector<Sent>{Streaming{false}, SettingCommand{SettingId::FrameRateDivisor, 0}}));
}

TEST(MotorDrive, ClosedDriveSendsNothing) {
  pages_test::RecordingPort port;
  pages::MotorDrive motor(port);
  motor.press(MotorAxis::Zoom, MotorDirection::Plus);
  motor.release(MotorAxis::Zoom);
  EXPECT_TRUE(port.sent.empty());
}

}  // namespace
