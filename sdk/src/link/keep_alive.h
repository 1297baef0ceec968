// The keep-alive of a connection: a 16-byte packet of type 32 every 7000 ms, the first one at
// once. Each timer has a small thread of its own, so a camera that stops reading holds up
// only its own keep-alive.
#pragma once

#include <irdex.h>

#include <chrono>

namespace irdex::link {

inline constexpr std::chrono::milliseconds kKeepAlivePeriod{7000};

// Starts a timer for `socket` that fires at once and then every period; null (errno set)
// when no thread could be made.
IrdexTimer* createKeepAlive(int socket);

// The standard-output text of a timer that could not be made (no line break follows).
void printTimerError(int error);

// Stops and releases the timer without waiting for a keep-alive being sent; that send keeps
// what it uses alive until it ends. Unknown or null handles are ignored.
void deleteKeepAlive(IrdexTimer* timer);

// After a command: the keep-alive goes out at once and the period starts again. When the
// slot is empty a new timer is made for the socket and stored there (its failure printed to
// standard output). A handle that was already deleted is left alone.
void restartKeepAlive(int socket, IrdexTimer** slot);

}  // namespace irdex::link
