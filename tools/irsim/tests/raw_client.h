// A minimal camera-link client for the tests, written from the byte layouts alone: it opens
// a TCP connection on loopback, sends command packets and reads whole packets back.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace irsim_test {

inline constexpr uint32_t kId = 0x56594E02;
// Every wait of a test is bounded, generously: a slow CI machine must not fail a test.
inline constexpr auto kBound = std::chrono::seconds(20);

inline uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

struct Packet {
  uint32_t id = 0;
  uint32_t length = 0;
  uint16_t type = 0;
  std::vector<uint8_t> payload;
  int16_t code(int i) const { return static_cast<int16_t>(le16(payload.data() + 2 * i)); }
};

class RawClient {
 public:
  RawClient() = default;
  ~RawClient() { close(); }
  RawClient(const RawClient&) = delete;
  RawClient& operator=(const RawClient&) = delete;

  bool connect(uint16_t port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  // Close with a reset instead of an orderly end, as a crashing program would.
  void abort() {
    linger hard{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    close();
  }

  void sendRaw(const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return;
      done += static_cast<size_t>(n);
    }
  }
  static std::vector<uint8_t> packet(uint16_t type, const std::vector<uint8_t>& payload = {},
                                     uint32_t id = kId) {
    std::vector<uint8_t> bytes(16 + payload.size(), 0);
    put32(bytes, 0, id);
    put32(bytes, 4, static_cast<uint32_t>(bytes.size()));
    put16(bytes, 8, type);
    std::copy(payload.begin(), payload.end(), bytes.begin() + 16);
    return bytes;
  }
  void send(uint16_t type, const std::vector<uint8_t>& payload = {}, uint32_t id = kId) {
    sendRaw(packet(type, payload, id));
  }
  // A setting command as the programs build it: value << 16 | id, three words, 16 zeros.
  void setting(uint16_t settingId, uint16_t value, uint32_t w1 = 0, uint32_t w2 = 0,
               uint32_t w3 = 0) {
    std::vector<uint8_t> payload(32, 0);
    put32(payload, 0, (static_cast<uint32_t>(value) << 16) | settingId);
    put32(payload, 4, w1);
    put32(payload, 8, w2);
    put32(payload, 12, w3);
    send(39, payload);
  }

  // Exactly n bytes, or nothing when the peer ends the connection first or the bound passes.
  std::optional<std::vector<uint8_t>> readBytes(size_t n) {
    std::vector<uint8_t> bytes;
    bytes.reserve(n);
    const auto deadline = std::chrono::steady_clock::now() + kBound;
    uint8_t chunk[65536];
    while (bytes.size() < n) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return std::nullopt;
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      const ssize_t got = ::recv(fd_, chunk, std::min(sizeof chunk, n - bytes.size()), 0);
      if (got <= 0) {
        eof_ = got == 0;
        partial_ = bytes.size();
        return std::nullopt;
      }
      bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
  }
  std::optional<Packet> read() {
    auto head = readBytes(16);
    if (!head) return std::nullopt;
    Packet p;
    p.id = le32(head->data());
    p.length = le32(head->data() + 4);
    p.type = le16(head->data() + 8);
    if (p.length < 16) return p;
    auto payload = readBytes(p.length - 16);
    if (!payload) return std::nullopt;
    p.payload = std::move(*payload);
    return p;
  }
  // The next packet of the given type; other packets (frames, say) are passed over.
  std::optional<Packet> readType(uint16_t type, int limit = 1000) {
    for (int i = 0; i < limit; ++i) {
      auto p = read();
      if (!p || p->type == type) return p;
    }
    return std::nullopt;
  }
  // True when the peer ends the connection (within the bound), after reading what is left.
  bool waitForEnd() {
    const auto deadline = std::chrono::steady_clock::now() + kBound;
    uint8_t chunk[65536];
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
      if (got == 0) return true;
      if (got < 0) return errno == ECONNRESET;
      trailing_ += static_cast<size_t>(got);
    }
    return false;
  }
  bool sawEnd() const { return eof_; }
  size_t partialBytes() const { return partial_; }
  size_t trailingBytes() const { return trailing_; }

 private:
  int fd_ = -1;
  bool eof_ = false;
  size_t partial_ = 0;
  size_t trailing_ = 0;
};

}  // namespace irsim_test
