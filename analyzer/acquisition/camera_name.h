// The name a camera is shown with: its MAC address looked up in the names file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace solvane {

inline constexpr const char* kDefaultCameraName = "Thermal";

// The camera's name: the names file's entry for the MAC the neighbour table (in the layout
// of /proc/net/arp) gives its address, else "Thermal".
std::string cameraNameFor(std::string_view ip, const std::filesystem::path& neighbourTable,
                          const std::filesystem::path& namesFile);

}  // namespace solvane
