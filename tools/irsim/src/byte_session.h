// A client session fed from memory: the camera's own packet reader and command answers, with
// no socket and no thread, so that any byte sequence can be tried thousands of times a second
// and what the camera answered can be read back directly.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "simulator.h"

namespace irsim {

class ByteSession {
 public:
  // The simulator must not be serving sockets (start()) while a byte session runs: both
  // would change the camera at once. The camera starts as the options built it, so that
  // every session on one simulator begins alike.
  explicit ByteSession(Simulator& simulator);
  ~ByteSession();
  ByteSession(const ByteSession&) = delete;
  ByteSession& operator=(const ByteSession&) = delete;

  // Takes bytes as if they had arrived from the client (a packet may be split across calls)
  // and returns what the camera sent in answer to the packets they completed.
  std::vector<uint8_t> feed(std::span<const uint8_t> bytes);
  // The frame a streaming camera sends next; empty when the client has not started a stream.
  std::vector<uint8_t> nextFrame();

  // The camera ended the session (an implausible packet length).
  bool closed() const;
  bool streaming() const;
  // Bytes of a packet not yet complete.
  size_t pending() const;

 private:
  Simulator& simulator_;
  std::unique_ptr<Simulator::Connection> connection_;
  std::vector<uint8_t> sent_;
};

}  // namespace irsim
