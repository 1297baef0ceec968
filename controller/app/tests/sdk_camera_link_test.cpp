// The connection through the SDK against the simulated camera: events in order, the
// temperature table of each camera, and packets that arrive together with a header.
#include <gtest/gtest.h>
#include <irdex.h>

#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "app/core/sdk_camera_link.h"
#include "simulator.h"

namespace {

constexpr auto kBound = std::chrono::seconds(20);

// The receive thread's events, collected as the window would get them.
class EventLog {
 public:
  void add(tessor::ReceiverEvent event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
    changed_.notify_all();
  }
  template <typename E>
  int count() const {
    std::lock_guard lock(mutex_);
    int n = 0;
    for (const auto& e : events_) n += std::holds_alternative<E>(e);
    return n;
  }
  template <typename E>
  bool waitFor(int atLeast) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kBound, [&] {
      int n = 0;
      for (const auto& e : events_) n += std::holds_alternative<E>(e);
      return n >= atLeast;
    });
  }
  std::vector<tessor::ReceiveError> errors() const {
    std::lock_guard lock(mutex_);
    std::vector<tessor::ReceiveError> out;
    for (const auto& e : events_)
      if (auto* error = std::get_if<tessor::ReceiveError>(&e)) out.push_back(*error);
    return out;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<tessor::ReceiverEvent> events_;
};

std::unique_ptr<irsim::Simulator> startCamera(const std::string& address, const char* model,
                                              int version) {
  irsim::Options options;
  options.bindAddress = address;
  options.port = irsim::kDefaultPort;
  EXPECT_TRUE(irsim::parseModel(model, options.camera, nullptr));
  options.camera.version = static_cast<uint8_t>(version);
  options.notice = [](const std::string&) {};
  options.scene.motionPeriod = 0;
  auto sim = std::make_unique<irsim::Simulator>(options);
  std::string error;
  EXPECT_TRUE(sim->start(&error)) << error;
  return sim;
}

std::string addressFor(int salt) {
  const unsigned id = static_cast<unsigned>(::getpid());
  return "127." + std::to_string(20 + id % 200) + "." + std::to_string(250 - salt) + "." +
         std::to_string(1 + (id / 200) % 250);
}

TEST(SdkCameraLink, EachConnectionGetsTheTableOfItsCamera) {
  EventLog events;
  tessor::SdkCameraLink link([&](tessor::ReceiverEvent e) { events.add(std::move(e)); });
  const std::string address = addressFor(1);
  {
    auto ks = startCamera(address, "va320", 32);
    ASSERT_TRUE(link.open(address));
    link.sendCommand(camera::CommandIndex::RequestHeader);
    ASSERT_TRUE(events.waitFor<tessor::HeaderArrived>(1));
    const auto table = link.temperatureTable();
    ASSERT_EQ(table.size(), 65536u);
    EXPECT_EQ(table[0], -30.0f);
    EXPECT_EQ(table[20000], 130.0f);
    link.close();
  }
  auto kt = startCamera(address, "kt640", 20);
  ASSERT_TRUE(link.open(address));
  link.sendCommand(camera::CommandIndex::RequestHeader);
  ASSERT_TRUE(events.waitFor<tessor::HeaderArrived>(2));
  std::vector<float> expected(65536);
  ASSERT_EQ(GetTempMapTable(expected.data(), 0), 1);
  EXPECT_EQ(link.temperatureTable(), expected);
  link.close();
}

TEST(SdkCameraLink, KtCameraStreamsThreeFramesAfterEachHeader) {
  EventLog events;
  tessor::SdkCameraLink link([&](tessor::ReceiverEvent e) { events.add(std::move(e)); });
  const std::string address = addressFor(2);
  auto kt = startCamera(address, "kt640", 20);
  ASSERT_TRUE(link.open(address));
  link.sendCommand(camera::CommandIndex::RequestHeader);
  ASSERT_TRUE(kt->waitForCommand([](const irsim::LogEntry& e) { return e.type == 34; }, kBound));
  auto types = [&] {
    std::vector<uint16_t> out;
    for (const auto& e : kt->commandLog())
      if (e.type == 33 || e.type == 34 || e.type == 36) out.push_back(e.type);
    return out;
  };
  EXPECT_EQ(types(), (std::vector<uint16_t>{36, 33, 34}));
  ASSERT_TRUE(events.waitFor<tessor::ImageReady>(3));
  EXPECT_TRUE(events.errors().empty());
  EXPECT_FALSE(link.image().empty());
  link.close();
}

// Packets that come in with a header (here: the answers to two requests sent back to back)
// wait in the staging buffer for the next read; none of them may be lost.
TEST(SdkCameraLink, PacketsBehindAHeaderAreNotLost) {
  EventLog events;
  tessor::SdkCameraLink link([&](tessor::ReceiverEvent e) { events.add(std::move(e)); });
  const std::string address = addressFor(3);
  auto ks = startCamera(address, "va320", 33);
  ASSERT_TRUE(link.open(address));
  constexpr int kPairs = 20;
  for (int i = 0; i < kPairs; ++i) {
    link.sendCommand(camera::CommandIndex::RequestHeader);
    link.sendCommand(camera::CommandIndex::RequestHeader);
    ASSERT_TRUE(events.waitFor<tessor::HeaderArrived>(2 * (i + 1)))
        << "headers: " << events.count<tessor::HeaderArrived>();
  }
  EXPECT_TRUE(events.errors().empty()) << "status " << events.errors().front().status;
  link.close();
}

TEST(SdkCameraLink, ClosingEndsTheReceiverWithoutAWord) {
  EventLog events;
  tessor::SdkCameraLink link([&](tessor::ReceiverEvent e) { events.add(std::move(e)); });
  const std::string address = addressFor(4);
  auto ks = startCamera(address, "vi640", 33);
  ASSERT_TRUE(link.open(address));
  link.sendCommand(camera::CommandIndex::RequestHeader);
  ASSERT_TRUE(events.waitFor<tessor::HeaderArrived>(1));
  link.close();
  ASSERT_TRUE(ks->waitFor([](const irsim::Stats& s) { return !s.clientConnected; },
                          std::chrono::milliseconds(20000)));
  EXPECT_TRUE(events.errors().empty());
}

}  // namespace
