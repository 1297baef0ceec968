// The simulator reads packets from the programs like a camera: any bytes a client sends must
// be answered or refused without a fault. The first byte picks the camera it plays, where the
// bytes are cut into pieces (a packet torn across reads) and whether a streamed frame is
// taken at the end (the camera regions that settings placed are drawn into it; one input in
// eight, since a frame costs more than all the commands).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "byte_session.h"
#include "camera.h"
#include "simulator.h"
#include "wire.h"

namespace {

constexpr const char* kModels[] = {"gen1-320", "gen1-384", "kt640", "va320", "vi640"};
constexpr std::size_t kModelCount = sizeof kModels / sizeof kModels[0];
// How the client's bytes arrive: all at once (0) or in reads of this many bytes.
constexpr std::size_t kPieces[] = {0, 1, 7, 16, 17, 48, 4096};

std::unique_ptr<irsim::Simulator> simulators[kModelCount];

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Loading the conversion tables and building the scene once per camera, not per input.
  for (std::size_t i = 0; i < kModelCount; ++i) {
    irsim::Options options;
    options.notice = [](const std::string&) {};
    std::string error;
    if (!irsim::parseModel(kModels[i], options.camera, &error)) __builtin_trap();
    simulators[i] = std::make_unique<irsim::Simulator>(options);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const uint8_t choice = data[0];
  irsim::Simulator& simulator = *simulators[choice % kModelCount];
  const std::size_t piece = kPieces[(choice / kModelCount) % 7];
  const std::span<const uint8_t> bytes(data + 1, size - 1);

  simulator.clearCommandLog();
  irsim::ByteSession session(simulator);
  if (piece == 0) {
    session.feed(bytes);
  } else {
    for (std::size_t at = 0; at < bytes.size() && !session.closed(); at += piece)
      session.feed(bytes.subspan(at, std::min(piece, bytes.size() - at)));
  }
  // What is still held is the start of one packet not yet complete, never more.
  if (!session.closed() && session.pending() >= irsim::kMaxCommandLength) __builtin_trap();
  // A frame at most per input: frames are large, and commands are what is fuzzed here.
  if ((choice & 0xE0) == 0xE0 && !session.closed() && session.streaming() &&
      session.nextFrame().empty())
    __builtin_trap();
  return 0;
}
