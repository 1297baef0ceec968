// The controller's fixed texts and the rules of the address it connects to.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tessor {

inline constexpr const char* kCameraPort = "15001";
inline constexpr const char* kProgramName = "Tessor";
inline constexpr const char* kSettingsApplication = "tessor";
inline constexpr const char* kCameraIpKey = "CAM IP";
inline constexpr int kHeaderWaitMs = 2500;

namespace text {
inline constexpr const char* kErrorCaption = "Error Message";
inline constexpr const char* kNotificationCaption = "Error Notification";
inline constexpr const char* kInformationCaption = "Information";
inline constexpr const char* kBadIp = "Failed to check IP validity!";
inline constexpr const char* kNoResponse =
    "No response from host!!\nCheck the camera's network status or camera IP.";
inline constexpr const char* kConnectionFailed =
    "The connection failed:\n  1.This is probably due to network problems.\n  2.Your camera "
    "already connected in another software.\n\nPlease disconnect it and try it again.";
inline constexpr const char* kNewerCamera =
    "PC's data version is less than camera version!\nPlease, should you upgrade to the new pc "
    "software? ";
inline constexpr const char* kDisconnected = "Disconnected signal from a camera!";
inline constexpr const char* kBufferFailed = "Failed a buffer allocation!";
inline constexpr const char* kNotSupported =
    "This function not supported within a connected camera.";
inline constexpr const char* kOperatedByHand = "Camera operated by hand\r\n";
inline constexpr const char* kInitialiseQuestion = "Do you want to initialize the camera?";
inline constexpr const char* kTempTableFailed = "Failed to get temperature LUT!";
inline constexpr const char* kPaletteFailed = "Palette File Open Error!!";
}  // namespace text

// A camera address as the user typed it: 7 to 15 characters, digits and dots only, exactly
// three dots and at most three digits between them.
bool isValidCameraIp(std::string_view text);

// The stored address shown in the address control: up to four parts split at '.', each
// read as a number and held within 0..255; missing parts are 0.
std::array<int, 4> addressParts(std::string_view stored);
std::string addressTextOf(const std::array<int, 4>& parts);

// The window's caption with the program's version.
std::string windowCaption(std::string_view version);

}  // namespace tessor
