// What live acquisition tells the user, word for word.
#pragma once

namespace solvane {

inline constexpr const char* kTitlePrefix = "Solvane - ";
inline constexpr const char* kOperatedByHand = "Camera operated by hand\r\n";
inline constexpr const char* kNotSupported =
    "This function not supported within a connected camera.";
inline constexpr const char* kCannotReceive = "Can't received IR data!";
inline constexpr const char* kMessageNotification = "Message Notification";
inline constexpr const char* kRecordingStopped = "Recording Stopped!";
inline constexpr const char* kThreadFailed = "Failed to create socket thread.";
inline constexpr const char* kTableFailed = "Failed to get temperature LUT!";
inline constexpr const char* kErrorTitle = "Error Message";

}  // namespace solvane
