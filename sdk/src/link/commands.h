// Sending command packets: the one road every packet from the program to a camera takes.
#pragma once

#include <irdex.h>

#include <cstdint>
#include <span>

namespace irdex::link {

// Sends the packet whole on the connection and restarts the keep-alive, so a keep-alive
// follows every command at once.
void sendCommand(int socket, IrdexTimer** keepAlive, std::span<const uint8_t> packet);

// The NAK (codes 35 and 1) a receiver answers foreign bytes at a packet start with.
void sendUnknownIdNak(int socket, IrdexTimer** keepAlive);

}  // namespace irdex::link
