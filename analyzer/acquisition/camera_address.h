// Which camera addresses may be dialled, and on which port.
#pragma once

#include <string_view>

namespace solvane {

inline constexpr const char* kCameraPort = "15001";

// Dotted IPv4 text: 7 to 15 characters of digits and dots, exactly three dots and at most
// three digits between them.
bool isValidCameraIp(std::string_view text);

}  // namespace solvane
