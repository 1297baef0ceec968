#include "byte_session.h"

#include <utility>

#include "connection.h"

namespace irsim {

ByteSession::ByteSession(Simulator& simulator)
    : simulator_(simulator), connection_(std::make_unique<Simulator::Connection>()) {
  // What the settings of an earlier session changed is undone, as for a camera that was
  // switched off and on again; the faults chosen for the simulator stay.
  CameraHeader fresh(simulator_.options_.camera);
  bool unsupported = false;
  for (const Fault& fault : simulator_.faultsNow())
    unsupported = unsupported || fault.kind == Fault::Kind::UnsupportedModel;
  fresh.setUnsupportedModel(unsupported);
  {
    std::lock_guard lock(simulator_.cameraMutex_);
    simulator_.divisor_ = 0;
    simulator_.regions_.fill(CameraRegion{});
    // The counts follow from the header alone; rebuilding them only when it changed keeps a
    // session cheap enough to start thousands of times a second.
    if (fresh.bytes() != simulator_.header_.bytes() ||
        fresh.model() != simulator_.header_.model()) {
      simulator_.header_ = fresh;
      simulator_.mapper_ = std::make_unique<RawMapper>(simulator_.header_, simulator_.tables_);
    }
  }
  connection_->sink = &sent_;
  connection_->lastReceived = std::chrono::steady_clock::now();
  simulator_.updateStats([&](Stats& s) {
    connection_->number = ++s.connections;
    s.clientConnected = true;
  });
}

ByteSession::~ByteSession() {
  simulator_.updateStats([](Stats& s) {
    s.clientConnected = false;
    s.streaming = false;
  });
}

std::vector<uint8_t> ByteSession::feed(std::span<const uint8_t> bytes) {
  Simulator::Connection& c = *connection_;
  if (!c.close) {
    c.received.insert(c.received.end(), bytes.begin(), bytes.end());
    simulator_.readPackets(c);
  }
  return std::exchange(sent_, {});
}

std::vector<uint8_t> ByteSession::nextFrame() {
  Simulator::Connection& c = *connection_;
  if (c.close || !c.streaming) return {};
  simulator_.sendFrame(c);
  ++c.tick;
  return std::exchange(sent_, {});
}

bool ByteSession::closed() const { return connection_->close; }
bool ByteSession::streaming() const { return connection_->streaming; }
size_t ByteSession::pending() const { return connection_->received.size(); }

}  // namespace irsim
