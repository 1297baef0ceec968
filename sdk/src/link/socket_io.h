// Whole-packet sends and the exact-length reader of the camera link.
#pragma once

#include <irdex.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace irdex::link {

// What the library knows of one open socket: the lock that keeps its packets whole, and who
// is using the descriptor, so that closing it waits until nobody reads from or sends on it.
struct SocketState;

// The state of a socket, made on first use.
std::shared_ptr<SocketState> socketState(int socket);

// Sends the whole packet on the connection, waiting without limit until the socket takes
// it. Packets of one connection go out one at a time and whole, whatever threads send them
// (keep-alive timer, commands, the receiver's NAK). Nothing is sent on socket -1 or on a
// socket being closed; failures go to the message log and are not reported.
void sendWhole(int socket, std::span<const uint8_t> packet);
void sendWhole(const std::shared_ptr<SocketState>& state, int socket,
               std::span<const uint8_t> packet);

// Closes the socket for good: no new reader or sender gets in, the ones inside are woken by
// a shutdown and waited for (a bounded time), then the descriptor is closed.
void closeSocket(int socket);

// Reads exact byte counts from a socket through an 8192-byte staging buffer. Bytes that
// arrive behind the wanted ones stay pending for the next read; the staging buffer and its
// two counters belong to the caller (the IRFrame, or a private buffer of one exchange).
class ExactReader {
 public:
  ExactReader(int socket, uint8_t* staging, uint32_t& pendingBytes, int32_t& readOffset);

  // Fills `destination` with exactly its size: SDK_SUCCESS, -10 when the camera closed the
  // connection, -11 when a receive or the wait failed, -1000 when a buffer is missing.
  SdkStatus read(std::span<uint8_t> destination);
  SdkStatus read(uint8_t* destination, std::size_t count) { return read({destination, count}); }
  // Reads and drops `count` bytes (the rest of a payload nobody wants).
  SdkStatus skip(std::size_t count);

 private:
  int socket_;
  uint8_t* staging_;
  uint32_t& pending_;
  int32_t& offset_;
};

}  // namespace irdex::link
