// The name a camera is shown with: its MAC address looked up in the names file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace solvane {

inline constexpr const char* kDefaultCameraName = "Thermal";

// "%02X:%02X:..." MAC of an IPv4 address from a neighbour table in the layout of
// /proc/net/arp; nothing when the address has no complete entry.
std::optional<std::string> macFromNeighbourTable(std::string_view table, std::string_view ip);
// The camera's name: the names file's entry for its MAC, else "Thermal".
std::string cameraNameFor(std::string_view ip, const std::filesystem::path& neighbourTable,
                          const std::filesystem::path& namesFile);

}  // namespace solvane
