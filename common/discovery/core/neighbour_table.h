// The MAC address of a camera the machine has talked to, from the kernel's neighbour table:
// cameras are named by MAC, but connected to by address.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace discovery {

// "%02X:%02X:..." MAC of an IPv4 address from a neighbour table in the layout of
// /proc/net/arp (a title line, then address, type, flags, MAC, ...); nothing when the
// address has no complete entry or its MAC is not six hex bytes.
std::optional<std::string> macFromNeighbourTable(std::string_view table, std::string_view ip);

}  // namespace discovery
