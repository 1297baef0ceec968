// A command port that remembers what the pages sent.
#pragma once

#include <variant>
#include <vector>

#include "pages/core/command_port.h"

namespace pages_test {

struct HeaderRequest {
  bool operator==(const HeaderRequest&) const = default;
};
struct Streaming {
  bool on = false;
  bool operator==(const Streaming&) const = default;
};
using Sent = std::variant<camera::SettingCommand, HeaderRequest, Streaming>;

class RecordingPort : public pages::CommandPort {
 public:
  bool sendSetting(const camera::SettingCommand& command) override {
    sent.emplace_back(command);
    return true;
  }
  void requestHeader() override { sent.emplace_back(HeaderRequest{}); }
  void setStreaming(bool on) override { sent.emplace_back(Streaming{on}); }
  std::vector<Sent> sent;
};

}  // namespace pages_test
