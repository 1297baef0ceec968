// Every fault the camera can be asked for, seen from the client's side of the link.
#include <gtest/gtest.h>
#include "testing/case_name.h"

#include "faults.h"
#include "test_support.h"

using namespace irsim_test;

namespace {

irsim::Fault fault(const std::string& text) {
  irsim::Fault parsed;
  std::string error;
  EXPECT_TRUE(irsim::parseFault(text, parsed, &error)) << error;
  return parsed;
}

Camera cameraWith(const std::string& model, int version, const std::vector<std::string>& faults) {
  auto options = makeOptions(model, version, scratchDirectory());
  options.scene.kind = irsim::SceneKind::Flat;
  for (const auto& text : faults) options.faults.push_back(fault(text));
  return Camera(options);
}

TEST(Faults, CloseAfterFramesSendsThatManyWholeFramesThenEnds) {
  Camera camera = cameraWith("gen1-320", 16, {"close-after:2"});
  camera.client.send(33);
  ASSERT_TRUE(camera.client.readType(6));
  for (int i = 0; i < 2; ++i) {
    auto frame = camera.client.read();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->type, 35);
    EXPECT_EQ(frame->payload.size(), 2u * 76800u);
  }
  EXPECT_TRUE(camera.client.waitForEnd());
  EXPECT_EQ(camera.client.trailingBytes(), 0u);
}

TEST(Faults, CloseAfterZeroFramesEndsTheConnectionAtOnce) {
  Camera camera = cameraWith("va320", 33, {"close-after:0"});
  EXPECT_TRUE(camera.client.waitForEnd());
  EXPECT_EQ(camera.client.trailingBytes(), 0u);
}

TEST(Faults, CloseMidPacketLeavesTheNextFrameUnfinished) {
  Camera camera = cameraWith("va320", 33, {"close-mid:1"});
  camera.client.send(33);
  ASSERT_TRUE(camera.client.readType(6));
  ASSERT_TRUE(camera.client.readType(35));
  EXPECT_FALSE(camera.client.read());
  EXPECT_TRUE(camera.client.sawEnd());
  EXPECT_GT(camera.client.partialBytes(), 0u);
  EXPECT_LT(camera.client.partialBytes(), 2u * 384u * 289u);
}

class ForeignBytes : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(ForeignBytes, PrecedeTheChosenPacket) {
  const auto [packetNumber, count] = GetParam();
  Camera camera = cameraWith(
      "va320", 33, {"foreign:" + std::to_string(packetNumber) + ":" + std::to_string(count)});
  camera.client.send(36);  // answers: system data (packet 1), header (packet 2)
  if (packetNumber == 2) {
    auto system = camera.client.read();
    ASSERT_TRUE(system);
    EXPECT_EQ(system->type, 48);
  }
  auto foreign = camera.client.readBytes(static_cast<size_t>(count));
  ASSERT_TRUE(foreign);
  EXPECT_NE(le32(foreign->data()), kId);
  EXPECT_EQ((*foreign)[0], 0xDE);
  auto packet = camera.client.read();
  ASSERT_TRUE(packet);
  EXPECT_EQ(packet->id, kId);
  EXPECT_EQ(packet->type, packetNumber == 1 ? 48 : 37);
}

INSTANTIATE_TEST_SUITE_P(WholeHeadOrOdd, ForeignBytes,
                         ::testing::Values(std::pair{1, 16}, std::pair{2, 16}, std::pair{1, 5}),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Packets", p.first, "Bytes", p.second);
                         });

TEST(Faults, NakWithAChosenReasonRefusesOnlyTheChosenSetting) {
  Camera camera = cameraWith("va320", 33, {"nak:2:0x0503"});
  camera.client.setting(0x0503, 1);
  auto nak = camera.client.read();
  ASSERT_TRUE(nak);
  EXPECT_EQ(nak->type, 21);
  EXPECT_EQ(nak->length, 20u);
  EXPECT_EQ(nak->code(0), 39);
  EXPECT_EQ(nak->code(1), 2);
  EXPECT_EQ(camera.header()[7], 0) << "a refused range change changes nothing";
  camera.client.setting(0x0204, 1);
  auto ack = camera.client.read();
  ASSERT_TRUE(ack);
  EXPECT_EQ(ack->type, 6);
}

TEST(Faults, NakForEveryCommandKeepsAnsweringRequests) {
  Camera camera = cameraWith("kt640", 20, {"nak:0x8001"});
  camera.client.send(33);
  auto nak = camera.client.read();
  ASSERT_TRUE(nak);
  EXPECT_EQ(nak->type, 21);
  EXPECT_EQ(nak->code(0), 33);
  EXPECT_EQ(static_cast<uint16_t>(nak->code(1)), 0x8001);
  EXPECT_EQ(camera.header()[5], 1) << "the header is still served";
  EXPECT_FALSE(camera.sim->stats().streaming);
}

TEST(Faults, StallForGoodSaysNothingMore) {
  Camera camera = cameraWith("va320", 33, {"stall:1"});
  camera.client.send(33);
  ASSERT_TRUE(camera.client.readType(6));
  ASSERT_TRUE(camera.client.readType(35));
  camera.client.send(36);
  ASSERT_TRUE(
      camera.sim->waitForCommand([](const irsim::LogEntry& e) { return e.type == 36; }, kBound));
  camera.sim->stop();
  // Everything the camera sent before it was stopped has arrived: nothing after frame 1.
  EXPECT_TRUE(camera.client.waitForEnd());
  EXPECT_EQ(camera.client.trailingBytes(), 0u);
}

TEST(Faults, StallForAWhileSkipsFramesThenResumes) {
  Camera camera = cameraWith("va320", 33, {"stall:1:300"});
  camera.client.send(33);
  ASSERT_TRUE(camera.client.readType(6));
  const auto first = camera.frame();
  const auto second = camera.frame();
  ASSERT_EQ(first.size(), 384u * 289u);
  ASSERT_EQ(second.size(), 384u * 289u);
  const size_t tickAt = 384 * 288 + 2;
  const uint32_t firstTick = first[tickAt] | (static_cast<uint32_t>(first[tickAt + 1]) << 16);
  const uint32_t secondTick = second[tickAt] | (static_cast<uint32_t>(second[tickAt + 1]) << 16);
  EXPECT_GE(secondTick - firstTick, 2u) << "the frames of the stall are missing";
}

TEST(Faults, SlowLinkDeliversWholeIntactPackets) {
  auto options = makeOptions("gen1-320", 16, scratchDirectory());
  options.scene.kind = irsim::SceneKind::Flat;
  options.faults.push_back(fault("slow:400000"));
  Camera camera(options);
  const Header h = camera.header();
  EXPECT_EQ(h[4], 16);
  camera.client.send(33);
  ASSERT_TRUE(camera.client.readType(6));
  const auto pixels = camera.frame();
  ASSERT_EQ(pixels.size(), 76800u);
  EXPECT_TRUE(
      std::all_of(pixels.begin(), pixels.end(), [&](uint16_t p) { return p == pixels[0]; }));
  EXPECT_NEAR(firstGenerationTemperature(pixels[0], camera.sim->tables().table(0)), 30.0f, 0.02f);
}

class UnsupportedModel : public ::testing::TestWithParam<std::pair<const char*, int>> {};

TEST_P(UnsupportedModel, HeaderCarriesAModelNoProgramKnowsUntilCleared) {
  const auto [model, version] = GetParam();
  Camera camera = cameraWith(model, version, {"bad-model"});
  const Header bad = camera.header();
  EXPECT_EQ(geometryOf(bad).pixels, 0);
  if (version > 16) {
    EXPECT_EQ(bad[5], 0x7E);
  }
  camera.sim->clearFaults();
  EXPECT_GT(geometryOf(camera.header()).pixels, 0);
}

INSTANTIATE_TEST_SUITE_P(EachFamily, UnsupportedModel,
                         ::testing::Values(std::pair{"va320", 33}, std::pair{"kt640", 20},
                                           std::pair{"gen1-384", 16}),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName(p.first, "V", p.second);
                         });

TEST(Faults, AddedThroughTheLibraryApplyToTheRunningCamera) {
  Camera camera = cameraWith("va320", 33, {});
  camera.header();
  camera.sim->addFault(fault("nak:1:0x0204"));
  camera.client.setting(0x0204, 1);
  auto nak = camera.client.read();
  ASSERT_TRUE(nak);
  EXPECT_EQ(nak->type, 21);
}

struct ParseCase {
  const char* text;
  bool valid;
  irsim::Fault::Kind kind;
};

class FaultText : public ::testing::TestWithParam<ParseCase> {};

TEST_P(FaultText, ParsesOrSaysWhy) {
  const ParseCase& c = GetParam();
  irsim::Fault parsed;
  std::string error;
  EXPECT_EQ(irsim::parseFault(c.text, parsed, &error), c.valid) << c.text;
  if (c.valid) {
    EXPECT_EQ(parsed.kind, c.kind);
    irsim::Fault again;
    EXPECT_TRUE(irsim::parseFault(irsim::describeFault(parsed), again, &error));
    EXPECT_EQ(irsim::describeFault(again), irsim::describeFault(parsed));
  } else {
    EXPECT_FALSE(error.empty());
  }
}

using K = irsim::Fault::Kind;
INSTANTIATE_TEST_SUITE_P(Table, FaultText,
                         ::testing::Values(ParseCase{"close-after:3", true, K::CloseAfterFrames},
                                           ParseCase{"close-mid:0", true, K::CloseMidPacket},
                                           ParseCase{"foreign:1", true, K::ForeignBytes},
                                           ParseCase{"foreign:2:7", true, K::ForeignBytes},
                                           ParseCase{"nak:2", true, K::Nak},
                                           ParseCase{"nak:1:0x0503", true, K::Nak},
                                           ParseCase{"stall:5:250", true, K::Stall},
                                           ParseCase{"slow:1000", true, K::SlowLink},
                                           ParseCase{"bad-model", true, K::UnsupportedModel},
                                           ParseCase{"close-after", false, K::CloseAfterFrames},
                                           ParseCase{"close-after:x", false, K::CloseAfterFrames},
                                           ParseCase{"foreign:0", false, K::ForeignBytes},
                                           ParseCase{"nak:70000", false, K::Nak},
                                           ParseCase{"slow:0", false, K::SlowLink},
                                           ParseCase{"bad-model:1", false, K::UnsupportedModel},
                                           ParseCase{"explode", false, K::CloseAfterFrames}),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Case", i, p.text);
                         });

}  // namespace
