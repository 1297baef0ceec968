// The simulator reads packets from the programs like a camera: any bytes a client sends must
// be answered or refused without a fault. The first byte picks the camera it plays.
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <thread>

#include "camera.h"
#include "simulator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  irsim::Options options;
  options.notice = [](const std::string&) {};
  std::string error;
  static const char* const kModels[] = {"gen1-320", "gen1-384", "kt640", "va320", "vi640"};
  if (!irsim::parseModel(kModels[data[0] % 5], options.camera, &error)) return 0;
  irsim::Simulator simulator(options);

  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) return 0;
  // The client: sends the input, says it is done, and reads whatever the camera answers
  // until the camera closes (the camera must never block on a full socket).
  std::thread client([&] {
    const uint8_t* p = data + 1;
    size_t left = size - 1;
    while (left > 0) {
      const ssize_t sent = send(ends[0], p, left, MSG_NOSIGNAL);
      if (sent <= 0) break;
      p += sent;
      left -= static_cast<size_t>(sent);
    }
    shutdown(ends[0], SHUT_WR);
    uint8_t sink[65536];
    while (recv(ends[0], sink, sizeof sink, 0) > 0) {
    }
    close(ends[0]);
  });
  simulator.serveSocket(ends[1]);  // takes the descriptor over and closes it
  client.join();
  return 0;
}
