// Receive throughput of 384 x 289 and 640 x 481 frames from a loopback camera sending as fast
// as it can: GetIRImages (packet framing, staging buffer, copy into the caller's pixels)
// beside a plain recv loop that reads the same bytes into one buffer. The receiver must keep
// at least 80% of the plain loop's rate.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <irdex.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "bench_peers.h"
#include "records/byte_order.h"

namespace {

using irdex::bench::FrameSize;

// The image and the extra row.
std::size_t framePixels(const FrameSize& size) {
  return static_cast<std::size_t>(size.width) * (size.height + 1);
}
std::size_t packetBytes(const FrameSize& size) { return 16 + framePixels(size) * 2; }
std::string frameName(const FrameSize& size) {
  return std::to_string(size.width) + "x" + std::to_string(size.height + 1);
}

std::vector<uint8_t> makePacket(uint16_t type, std::size_t payload) {
  std::vector<uint8_t> bytes(16 + payload, 0);
  irdex::writeLe32(bytes.data(), 0x56594E02u);
  irdex::writeLe32(bytes.data() + 4, static_cast<uint32_t>(bytes.size()));
  irdex::writeLe16(bytes.data() + 8, type);
  for (std::size_t i = 16; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 13);
  return bytes;
}

bool sendAll(int fd, const std::vector<uint8_t>& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

// A camera on 127.0.0.1 that sends one KT header and then frames until the reader leaves.
class LoopbackCamera {
 public:
  explicit LoopbackCamera(const FrameSize& size) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 1);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    const std::size_t pixels = framePixels(size);
    thread_ = std::thread([this, pixels] {
      const int fd = ::accept(listener_, nullptr, nullptr);
      std::vector<uint8_t> header = makePacket(37, 512);
      header[16 + 4] = 20;  // KT family
      header[16 + 5] = 1;
      const std::vector<uint8_t> frame = makePacket(35, pixels * 2);
      if (sendAll(fd, header)) {
        while (sendAll(fd, frame)) {
        }
      }
      ::close(fd);
    });
  }
  ~LoopbackCamera() {
    thread_.join();
    ::close(listener_);
  }
  std::string port() const { return std::to_string(port_); }
  uint16_t portNumber() const { return port_; }

 private:
  int listener_ = -1;
  uint16_t port_ = 0;
  std::thread thread_;
};

void receive(benchmark::State& state, const FrameSize& size) {
  LoopbackCamera camera(size);
  int32_t socket = -1;
  IrdexTimer* keepAlive = nullptr;
  if (OpenConnect(&socket, &keepAlive, "127.0.0.1", camera.port().c_str(), 2, 1) != 1) {
    state.SkipWithError("no loopback connection");
    return;
  }
  std::vector<uint16_t> pixels(framePixels(size));
  std::vector<uint8_t> staging(8192);
  IRFrame frame{};
  frame.pixels = pixels.data();
  frame.pixelCapacity = static_cast<uint32_t>(pixels.size());
  frame.staging = staging.data();
  GetIRImages(socket, &keepAlive, &frame);  // the header
  for (auto _ : state) {
    if (GetIRImages(socket, &keepAlive, &frame) != 1 || frame.packetKind != 5) {
      state.SkipWithError("frame not received");
      break;
    }
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * packetBytes(size)));
  CloseConnect(&socket, keepAlive);
}

// The same bytes with the socket options the library uses, read by recv into one buffer.
void plainRecv(benchmark::State& state, const FrameSize& size) {
  LoopbackCamera camera(size);
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  const int bufferBytes = 0x20000;
  ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bufferBytes, sizeof bufferBytes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(camera.portNumber());
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    state.SkipWithError("no loopback connection");
    ::close(fd);
    return;
  }
  const std::size_t bytes = packetBytes(size);
  std::vector<uint8_t> buffer(bytes);
  std::size_t headerLeft = 16 + 512;
  while (headerLeft > 0) {
    const ssize_t n = ::recv(fd, buffer.data(), headerLeft, 0);
    if (n <= 0) break;
    headerLeft -= static_cast<std::size_t>(n);
  }
  for (auto _ : state) {
    std::size_t got = 0;
    while (got < bytes) {
      const ssize_t n = ::recv(fd, buffer.data() + got, bytes - got, 0);
      if (n <= 0) {
        state.SkipWithError("connection lost");
        break;
      }
      got += static_cast<std::size_t>(n);
    }
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  ::shutdown(fd, SHUT_RDWR);
  ::close(fd);
}

// 80% of the plain loop's frame rate is 1.25 times its time per frame.
constexpr double kReceiveLimit = 1.25;

void registerAll() {
  for (const FrameSize& size : irdex::bench::kSizes) {
    const std::string peer = "BM_PeerPlainRecv_" + frameName(size) + "/real_time";
    const std::string label = irdex::bench::versus(peer, kReceiveLimit);
    benchmark::RegisterBenchmark(("BM_GetIRImages_" + frameName(size)).c_str(),
                                 [size, label](benchmark::State& state) {
                                   receive(state, size);
                                   state.SetLabel(label);
                                 })
        ->UseRealTime();
    benchmark::RegisterBenchmark(("BM_PeerPlainRecv_" + frameName(size)).c_str(),
                                 [size](benchmark::State& state) { plainRecv(state, size); })
        ->UseRealTime();
  }
}

}  // namespace

int main(int argc, char** argv) {
  registerAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
