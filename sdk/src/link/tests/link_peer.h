// A scripted camera on loopback for the link tests: it writes exactly the bytes a test gives
// it and reads back exactly what the library sent, with generous bounds instead of sleeps.
#pragma once

#include <irdex.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace irdex::link::testing {

using Bytes = std::vector<uint8_t>;

constexpr auto kGenerousWait = std::chrono::seconds(10);

// A listening TCP socket on 127.0.0.1 with a port of the system's choice.
class Listener {
 public:
  explicit Listener(int backlog = 4);
  ~Listener();
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;
  uint16_t port() const { return port_; }
  std::string portText() const { return std::to_string(port_); }
  int fd() const { return fd_; }
  // The next connection, or -1 when none arrives within the bound.
  int accept(std::chrono::milliseconds bound = kGenerousWait);

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
};

// Two ends of one loopback TCP connection: `camera` is the scripted peer, `program` the
// socket handed to the library.
struct Connection {
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  int camera = -1;
  int program = -1;
  IrdexTimer* keepAlive = nullptr;  // closed with the connection
};

void sendAll(int fd, const Bytes& bytes);
// Exactly `count` bytes, or fewer when the bound passes or the other end closes.
Bytes receiveExactly(int fd, std::size_t count, std::chrono::milliseconds bound = kGenerousWait);
// One whole packet (header and payload) as the library sent it; empty on timeout.
Bytes receivePacket(int fd, std::chrono::milliseconds bound = kGenerousWait);

// A camera packet: header with `id`, total length (or `lengthOverride`), type; then payload.
Bytes packet(uint16_t type, const Bytes& payload = {}, uint32_t id = 0x56594E02u,
             int64_t lengthOverride = -1);
Bytes concat(std::initializer_list<Bytes> parts);
Bytes keepAlivePacket();
uint16_t typeOf(const Bytes& packet);
uint32_t lengthOf(const Bytes& packet);

// Collects the texts of the library's debug channel while alive.
class DebugCapture {
 public:
  DebugCapture();
  ~DebugCapture();
  std::vector<std::string> lines();

 private:
  static void collect(const char* text, void* user);
  std::mutex lock_;
  std::vector<std::string> lines_;
};

// Sends the message log to a fresh temporary folder while alive.
class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  const std::string& folder() const { return folder_; }
  // The entries of today's file, one per line.
  std::vector<std::string> entries() const;

 private:
  std::string folder_;
};

// An IRFrame with its own buffers, zeroed as callers prepare it.
struct FrameRecord {
  explicit FrameRecord(uint32_t capacity = 640 * 481);
  ~FrameRecord();
  std::vector<uint16_t> pixels;
  std::vector<uint8_t> staging;
  IRFrame frame{};
  void setHeader(uint8_t version, uint8_t model, uint8_t sizeCode = 0, uint8_t range = 0);
};

// A 512-byte header of a KS camera with one calibrated range.
Bytes ksHeader(uint8_t version, uint8_t model, uint16_t minCount, uint16_t maxCount,
               int16_t minTemp10, int16_t maxTemp10, int16_t offset10);

}  // namespace irdex::link::testing
