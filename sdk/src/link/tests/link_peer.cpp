#include "link_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "link/message_log.h"
#include "records/byte_order.h"
#include "temperature/ks_slots.h"

namespace irdex::link::testing {
namespace {

int remainingMs(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::max<long long>(0, left.count()));
}

}  // namespace

Listener::Listener(int backlog) {
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd_, backlog) != 0) {
    throw std::runtime_error("loopback listener");
  }
  socklen_t size = sizeof address;
  ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
  port_ = ntohs(address.sin_port);
}

Listener::~Listener() {
  if (fd_ >= 0) ::close(fd_);
}

int Listener::accept(std::chrono::milliseconds bound) {
  pollfd target{fd_, POLLIN, 0};
  if (::poll(&target, 1, static_cast<int>(bound.count())) <= 0) return -1;
  return ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
}

Connection::Connection() {
  Listener listener;
  program = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(listener.port());
  if (::connect(program, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    throw std::runtime_error("loopback connect");
  }
  camera = listener.accept();
  const int on = 1;
  ::setsockopt(camera, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

Connection::~Connection() {
  CloseConnect(&program, keepAlive);
  if (camera >= 0) ::close(camera);
}

void sendAll(int fd, const Bytes& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

Bytes receiveExactly(int fd, std::size_t count, std::chrono::milliseconds bound) {
  Bytes bytes(count);
  std::size_t got = 0;
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (got < count) {
    pollfd target{fd, POLLIN, 0};
    if (::poll(&target, 1, remainingMs(deadline)) <= 0) break;
    const ssize_t n = ::recv(fd, bytes.data() + got, count - got, 0);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return bytes;
}

Bytes receivePacket(int fd, std::chrono::milliseconds bound) {
  Bytes head = receiveExactly(fd, 16, bound);
  if (head.size() < 16) return {};
  const uint32_t length = readLe32(head.data() + 4);
  if (length <= 16) return head;
  const Bytes rest = receiveExactly(fd, length - 16, bound);
  head.insert(head.end(), rest.begin(), rest.end());
  return head;
}

Bytes packet(uint16_t type, const Bytes& payload, uint32_t id, int64_t lengthOverride) {
  Bytes bytes(16, 0);
  writeLe32(bytes.data(), id);
  writeLe32(bytes.data() + 4, lengthOverride >= 0 ? static_cast<uint32_t>(lengthOverride)
                                                  : static_cast<uint32_t>(16 + payload.size()));
  writeLe16(bytes.data() + 8, type);
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  return bytes;
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Bytes keepAlivePacket() { return packet(32); }
uint16_t typeOf(const Bytes& p) { return p.size() >= 16 ? readLe16(p.data() + 8) : 0xFFFF; }
uint32_t lengthOf(const Bytes& p) { return p.size() >= 16 ? readLe32(p.data() + 4) : 0; }

DebugCapture::DebugCapture() { SetDebugOutputHandler(&DebugCapture::collect, this); }
DebugCapture::~DebugCapture() { SetDebugOutputHandler(nullptr, nullptr); }

void DebugCapture::collect(const char* text, void* user) {
  auto* self = static_cast<DebugCapture*>(user);
  std::lock_guard<std::mutex> guard(self->lock_);
  self->lines_.emplace_back(text);
}

std::vector<std::string> DebugCapture::lines() {
  std::lock_guard<std::mutex> guard(lock_);
  return lines_;
}

LogCapture::LogCapture() {
  std::string pattern = (std::filesystem::temp_directory_path() / "irdex-log-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("temporary folder");
  folder_ = pattern;
  setLogFolder(folder_);
}

LogCapture::~LogCapture() {
  setLogFolder("");
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

std::vector<std::string> LogCapture::entries() const {
  std::vector<std::string> lines;
  for (const auto& file : std::filesystem::directory_iterator(folder_)) {
    std::ifstream in(file.path());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
  }
  return lines;
}

FrameRecord::FrameRecord(uint32_t capacity) : pixels(capacity, 0xEEEE), staging(8192, 0) {
  frame.pixels = pixels.data();
  frame.pixelCapacity = capacity;
  frame.staging = staging.data();
}

FrameRecord::~FrameRecord() {
  // A header of an older generation gives back the KS slot the frame holds.
  frame.header.bytes[4] = 0;
  ks::remakeSlotForHeader(frame, -1);
}

void FrameRecord::setHeader(uint8_t version, uint8_t model, uint8_t sizeCode, uint8_t range) {
  frame.header.bytes[4] = version;
  frame.header.bytes[5] = model;
  frame.header.bytes[6] = sizeCode;
  frame.header.bytes[7] = range;
}

Bytes ksHeader(uint8_t version, uint8_t model, uint16_t minCount, uint16_t maxCount,
               int16_t minTemp10, int16_t maxTemp10, int16_t offset10) {
  Bytes header(512, 0);
  header[4] = version;
  header[5] = model;
  writeLe16(header.data() + 118, static_cast<uint16_t>(offset10));
  writeLe16(header.data() + 339, 0x1);  // range 0 calibrated
  writeLe16(header.data() + 347, static_cast<uint16_t>(minTemp10));
  writeLe16(header.data() + 349, static_cast<uint16_t>(maxTemp10));
  writeLe16(header.data() + 355, minCount);
  writeLe16(header.data() + 357, maxCount);
  return header;
}

}  // namespace irdex::link::testing
