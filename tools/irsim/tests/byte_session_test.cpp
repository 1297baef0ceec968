// The command reader fed from memory: the same answers as over a socket, whatever way the
// bytes are cut, and each session starting from the camera as it was built.
#include <gtest/gtest.h>
#include "testing/case_name.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "byte_session.h"
#include "camera.h"
#include "simulator.h"
#include "wire.h"

namespace {

using Bytes = std::vector<uint8_t>;

irsim::Options optionsFor(const char* model) {
  irsim::Options options;
  options.notice = [](const std::string&) {};
  std::string error;
  EXPECT_TRUE(irsim::parseModel(model, options.camera, &error)) << error;
  return options;
}

Bytes command(uint16_t type, const Bytes& payload = {}) { return irsim::makePacket(type, payload); }

Bytes setting(uint16_t id, uint16_t value) {
  Bytes payload(32, 0);
  irsim::putLe32(payload.data(), id | (static_cast<uint32_t>(value) << 16));
  return command(irsim::type::kSetting, payload);
}

Bytes join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// The packet types in what the camera sent, in order.
std::vector<uint16_t> typesOf(const Bytes& sent) {
  std::vector<uint16_t> types;
  for (size_t at = 0; at + irsim::kPacketHeadSize <= sent.size();) {
    const irsim::PacketHead head = irsim::parseHead(sent.data() + at);
    types.push_back(head.type);
    if (head.length < irsim::kPacketHeadSize) break;
    at += head.length;
  }
  return types;
}

struct CutCase {
  const char* model;
  size_t piece;  // 0: all bytes at once
};

class ByteSessionCuts : public ::testing::TestWithParam<CutCase> {};

TEST_P(ByteSessionCuts, AnswersEveryPacketHoweverTheBytesAreCut) {
  irsim::Simulator simulator(optionsFor(GetParam().model));
  irsim::ByteSession session(simulator);
  using namespace irsim::type;
  const Bytes conversation = join({command(kHello), command(kRequestDeviceInfo),
                                   command(kRequestSystemData), command(kStartStream)});
  Bytes answers;
  const size_t piece = GetParam().piece == 0 ? conversation.size() : GetParam().piece;
  for (size_t at = 0; at < conversation.size(); at += piece) {
    const size_t n = std::min(piece, conversation.size() - at);
    const Bytes part = session.feed(std::span(conversation).subspan(at, n));
    answers.insert(answers.end(), part.begin(), part.end());
  }
  EXPECT_EQ(typesOf(answers), (std::vector<uint16_t>{kAck, kDeviceInfo, kSystemData, kAck}));
  EXPECT_EQ(session.pending(), 0u);
  EXPECT_TRUE(session.streaming());
  const Bytes frame = session.nextFrame();
  EXPECT_EQ(typesOf(frame), std::vector<uint16_t>{kFrame});
  EXPECT_EQ(simulator.commandLog().size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Table, ByteSessionCuts,
                         ::testing::Values(CutCase{"va320", 0}, CutCase{"va320", 1},
                                           CutCase{"gen1-320", 5}, CutCase{"kt640", 16},
                                           CutCase{"vi640", 17}),
                         [](const auto& info) {
                           using testsupport::caseName;
                           std::string model = info.param.model;
                           std::replace(model.begin(), model.end(), '-', ' ');
                           return caseName(model, "Piece", info.param.piece);
                         });

TEST(ByteSession, ImplausibleLengthEndsTheSessionAndLaterBytesAreIgnored) {
  irsim::Simulator simulator(optionsFor("va320"));
  irsim::ByteSession session(simulator);
  Bytes broken = command(irsim::type::kHello);
  irsim::putLe32(broken.data() + 4, irsim::kMaxCommandLength + 1);
  EXPECT_TRUE(session.feed(broken).empty());
  EXPECT_TRUE(session.closed());
  EXPECT_TRUE(session.feed(command(irsim::type::kRequestDeviceInfo)).empty());
  const auto log = simulator.commandLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].note, "implausible length: connection closed");
}

TEST(ByteSession, TornPacketWaitsForItsRest) {
  irsim::Simulator simulator(optionsFor("va320"));
  irsim::ByteSession session(simulator);
  const Bytes request = command(irsim::type::kRequestDeviceInfo);
  EXPECT_TRUE(session.feed(std::span(request).first(9)).empty());
  EXPECT_EQ(session.pending(), 9u);
  EXPECT_EQ(typesOf(session.feed(std::span(request).subspan(9))),
            std::vector<uint16_t>{irsim::type::kDeviceInfo});
  EXPECT_EQ(session.pending(), 0u);
}

TEST(ByteSession, NextSessionStartsFromTheCameraAsBuilt) {
  irsim::Simulator simulator(optionsFor("va320"));
  const irsim::HeaderBytes built = simulator.header();
  {
    irsim::ByteSession session(simulator);
    // Byte 18 of the header holds what setting 0x0201 stores.
    session.feed(setting(0x0201, 0x5A));
    ASSERT_EQ(simulator.header()[18], 0x5A);
  }
  irsim::ByteSession next(simulator);
  EXPECT_EQ(simulator.header(), built);
  EXPECT_FALSE(next.streaming());
}

}  // namespace
