// A simulated camera on loopback and an SDK connection to it, for the controller's
// end-to-end stories.
#pragma once

#include <gtest/gtest.h>
#include <irdex.h>
#include <poll.h>

#include <memory>
#include <string>

#include "simulator.h"

namespace tessor::testing {

struct SimLink {
  std::unique_ptr<irsim::Simulator> sim;
  int32_t socket = -1;
  IrdexTimer* keepAlive = nullptr;

  explicit SimLink(const char* model = "kt640", int version = 20) {
    irsim::Options options;
    options.port = 0;  // any free port on 127.0.0.1
    EXPECT_TRUE(irsim::parseModel(model, options.camera, nullptr));
    options.camera.version = static_cast<uint8_t>(version);
    options.notice = [](const std::string&) {};
    sim = std::make_unique<irsim::Simulator>(options);
    std::string error;
    EXPECT_TRUE(sim->start(&error)) << error;
    const std::string port = std::to_string(sim->port());
    EXPECT_EQ(OpenConnect(&socket, &keepAlive, "127.0.0.1", port.c_str(), 2, 1), 1);
  }
  ~SimLink() {
    if (socket != -1) CloseConnect(&socket, keepAlive);
    sim->stop();
  }
  SimLink(const SimLink&) = delete;
  SimLink& operator=(const SimLink&) = delete;

  // The SDK's readers wait without limit: wait for bytes first, with a generous bound.
  bool readable(int timeoutMs = 20000) const {
    pollfd watched{socket, POLLIN, 0};
    return ::poll(&watched, 1, timeoutMs) == 1;
  }

  bool logSays(const std::string& words) const {
    return sim->waitForCommand(
        [&](const irsim::LogEntry& e) { return e.note.find(words) != std::string::npos; },
        std::chrono::seconds(20));
  }
};

}  // namespace tessor::testing
