// The state of one client's session, shared by the session loop and the command answers.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "simulator.h"

namespace irsim {

struct Simulator::Connection {
  int fd = -1;
  std::vector<uint8_t>* sink = nullptr;  // set: what the camera sends lands here, not on fd
  uint64_t number = 0;
  std::vector<uint8_t> received;
  bool streaming = false;
  bool close = false;
  uint64_t tick = 0;
  uint64_t framesSent = 0;
  uint64_t packetsSent = 0;
  uint32_t updateBlocks = 0;
  std::chrono::steady_clock::time_point nextFrame;
  std::chrono::steady_clock::time_point lastReceived;
  bool stalled = false;
  bool stallOver = false;
  bool stallForever = false;
  std::chrono::steady_clock::time_point stallUntil;
};

}  // namespace irsim
