// The camera link as a program sees it: headers of every camera kind, streaming, settings,
// the temperature table, the other commands and the connection rules.
#include <gtest/gtest.h>
#include "testing/case_name.h"

#include <cstring>
#include <fstream>
#include <sstream>

#include "test_support.h"

using namespace irsim_test;

namespace {

struct KindCase {
  const char* model;
  int version;
  uint8_t modelCode, sizeCode;
  int width, height, framePixels;
  uint32_t firmware;
};

class CameraKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(CameraKinds, HeaderAndFramesAreThoseOfTheCamera) {
  const KindCase& k = GetParam();
  Camera camera(makeOptions(k.model, k.version, scratchDirectory()));
  camera.client.send(36);
  auto system = camera.client.read();
  ASSERT_TRUE(system);
  EXPECT_EQ(system->type, 48);
  ASSERT_EQ(system->payload.size(), 64u);
  EXPECT_EQ(le32(&system->payload[10]), k.firmware);

  auto packet = camera.client.read();
  ASSERT_TRUE(packet);
  EXPECT_EQ(packet->id, kId);
  EXPECT_EQ(packet->type, 37);
  EXPECT_EQ(packet->length, 528u);
  ASSERT_EQ(packet->payload.size(), 512u);
  EXPECT_EQ(packet->payload[4], k.version);
  const Header h = receivedHeader(packet->payload);
  EXPECT_EQ(h[5], k.modelCode);
  EXPECT_EQ(h[7], 0);
  if (k.version <= 16) {
    EXPECT_EQ(packet->payload[11], k.sizeCode) << "size code in the first-generation place";
    EXPECT_EQ(h[6], k.sizeCode);
  }
  if (k.version <= 10) {
    EXPECT_EQ(le16(&h[128]), 256);
  }
  // What the receiver makes of the wire bytes is the header the camera holds.
  const irsim::HeaderBytes held = camera.sim->header();
  EXPECT_TRUE(std::equal(h.begin(), h.end(), held.begin()));
  const Geometry g = geometryOf(h);
  EXPECT_EQ(g.width, k.width);
  EXPECT_EQ(g.height, k.height);

  camera.client.send(33);
  auto ack = camera.client.read();
  ASSERT_TRUE(ack);
  EXPECT_EQ(ack->type, 6);
  EXPECT_EQ(ack->code(0), 33);
  auto frame = camera.client.read();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->type, 35);
  EXPECT_EQ(frame->payload.size(), 2u * static_cast<size_t>(k.framePixels));
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, CameraKinds,
    ::testing::Values(KindCase{"gen1-320", 16, 0, 0, 320, 240, 76800, 14061801},
                      KindCase{"gen1-384", 5, 0, 1, 384, 288, 110592, 14061801},
                      KindCase{"gen1-384", 11, 0, 1, 384, 288, 110592, 14061801},
                      KindCase{"kt640", 20, 1, 0, 640, 480, 307840, 14061801},
                      KindCase{"va320", 32, 0x20, 0, 384, 288, 110976, 0x01000300},
                      KindCase{"va320", 33, 0x20, 0, 384, 288, 110976, 0x01000300},
                      KindCase{"vi640", 32, 0x21, 0, 640, 480, 307840, 0x01000300},
                      KindCase{"vi640", 33, 0x21, 0, 640, 480, 307840, 0x01000300}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName(p.model, "V", p.version);
    });

TEST(KsHeader, CarriesRangeMaskCalibrationAndNames) {
  auto options = makeOptions("va320", 33, scratchDirectory());
  options.camera.ksRangeMask = 0x5;  // ranges 0 and 2: the second fills the j = 1 fields
  Camera camera(options);
  const Header h = camera.header();
  EXPECT_EQ(le16(&h[339]), 0x5);
  EXPECT_EQ(static_cast<int16_t>(le16(&h[347])), -200);
  EXPECT_EQ(le16(&h[349]), 1200);
  EXPECT_EQ(le16(&h[355]), 2000);
  EXPECT_EQ(le16(&h[357]), 14000);
  EXPECT_EQ(le16(&h[351]), 1000);
  EXPECT_EQ(le16(&h[353]), 12000);
  EXPECT_EQ(le16(&h[359]), 3000);
  EXPECT_EQ(le16(&h[361]), 13000);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&h[363]), 8), "-20~120C");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&h[373]), 9), "100~1200C");
}

TEST(ReducedRate, IsFlaggedAtHeaderByte128) {
  for (const char* model : {"va320", "kt640"}) {
    auto options = makeOptions(model, -1, scratchDirectory());
    options.camera.reducedRate = true;
    Camera camera(options);
    EXPECT_EQ(camera.header()[128], 1) << model;
  }
  Camera normal(makeOptions("va320", 33, scratchDirectory()));
  EXPECT_EQ(normal.header()[128], 0);
}

TEST(Streaming, StopEndsTheFramesBeforeItsAnswer) {
  Camera camera(makeOptions("va320", 33, scratchDirectory()));
  camera.client.send(33);
  ASSERT_TRUE(camera.client.readType(35));
  ASSERT_TRUE(camera.sim->waitFor([](const irsim::Stats& s) { return s.framesSent >= 3; }, kBound));
  camera.client.send(34);
  // Frames sent before the stop may still be on their way; after its ACK none follows.
  auto ack = camera.client.readType(6);
  ASSERT_TRUE(ack);
  EXPECT_EQ(ack->code(0), 34);
  camera.client.send(36);
  auto next = camera.client.read();
  ASSERT_TRUE(next);
  EXPECT_EQ(next->type, 48);
  EXPECT_FALSE(camera.sim->stats().streaming);
}

class Divisor : public ::testing::TestWithParam<int> {};

TEST_P(Divisor, SendsEveryDivisorPlusOnethFrame) {
  const int d = GetParam();
  Camera camera(makeOptions("va320", 33, scratchDirectory()));
  camera.client.setting(0x0A01, static_cast<uint16_t>(d));
  auto ack = camera.client.read();
  ASSERT_TRUE(ack);
  EXPECT_EQ(ack->type, 6);
  EXPECT_EQ(ack->code(0), 39);
  EXPECT_EQ(ack->code(1), 0x0A01);
  camera.client.send(33);
  std::vector<uint32_t> ticks;
  for (int i = 0; i < 3; ++i) {
    const auto pixels = camera.frame();
    ASSERT_EQ(pixels.size(), 384u * 289u);
    // The camera's frame counter sits in the extra row, behind the mark.
    ticks.push_back(pixels[384 * 288 + 2] | (static_cast<uint32_t>(pixels[384 * 288 + 3]) << 16));
  }
  EXPECT_EQ(ticks[1] - ticks[0], static_cast<uint32_t>(d + 1));
  EXPECT_EQ(ticks[2] - ticks[1], static_cast<uint32_t>(d + 1));
  EXPECT_EQ(camera.sim->stats().divisor, static_cast<uint32_t>(d));
}

INSTANTIATE_TEST_SUITE_P(FullHalfQuarter, Divisor, ::testing::Values(0, 1, 3),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Divisor", p);
                         });

struct SettingCase {
  const char* model;
  int version;
  uint16_t id, value;
  uint32_t w1, w2, w3;
  std::vector<std::pair<size_t, uint8_t>> bytes;
};

class Settings : public ::testing::TestWithParam<SettingCase> {};

TEST_P(Settings, AreAcknowledgedAndShownInTheNextHeader) {
  const SettingCase& s = GetParam();
  Camera camera(makeOptions(s.model, s.version, scratchDirectory()));
  camera.client.setting(s.id, s.value, s.w1, s.w2, s.w3);
  auto ack = camera.client.read();
  ASSERT_TRUE(ack);
  EXPECT_EQ(ack->type, 6);
  EXPECT_EQ(ack->length, 20u);
  EXPECT_EQ(ack->code(0), 39);
  EXPECT_EQ(static_cast<uint16_t>(ack->code(1)), s.id);
  const Header h = camera.header();
  for (const auto& [offset, byte] : s.bytes) EXPECT_EQ(h[offset], byte) << "byte " << offset;
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, Settings,
    ::testing::Values(
        SettingCase{"va320", 33, 0x0204, 1, 0, 0, 0, {{21, 1}}},
        SettingCase{"va320", 33, 0x0451, 3, 0, 0, 0, {{16, 1}, {17, 1}}},
        SettingCase{"va320",
                    33,
                    0x0B01,
                    1,
                    (90u << 24) | (95u << 16) | 250u,
                    (30u << 16) | 15u,
                    0,
                    {{130, 1}, {131, 90}, {132, 95}, {133, 250}, {134, 0}, {118, 15}, {120, 30}}},
        SettingCase{"va320",
                    33,
                    0x0441,
                    0,
                    12 * 65537u,
                    8 * 65537u,
                    0,
                    {{93, 12}, {95, 12}, {97, 8}, {99, 8}}},
        SettingCase{"va320", 33, 0x0431, 3, (2u << 16) | 4u, 0, 0, {{84, 3}, {85, 2}, {86, 4}}},
        SettingCase{"va320",
                    33,
                    0x0411,
                    1,
                    (1u << 24) | (3u << 16) | (20u << 8),
                    0,
                    0,
                    {{114, 1}, {115, 3}, {116, 20}}},
        SettingCase{"va320", 33, 0x0503, 1, 0, 0, 0, {{7, 1}}},
        SettingCase{"vi640", 32, 0x0105, 4, 0, 0, 0, {{23, 4}}},
        SettingCase{"kt640", 20, 0x0306, 42, 0, 0, 0, {{8, 42}}},
        SettingCase{"kt640", 20, 0x0403, 500, 0, 0, 0, {{49, 0xF4}, {50, 0x01}}},
        SettingCase{"kt640", 20, 0x0501, 1, 0, 0, 0, {{6, 1}}},
        SettingCase{"gen1-320", 16, 0x0306, 42, 0, 0, 0, {{8, 42}}},
        SettingCase{"gen1-320",
                    16,
                    0x0301,
                    0,
                    0xC0A80164u,
                    0xFFFFFF00u,
                    0xC0A80101u,
                    {{22, 0},
                     {31, 0x64},
                     {32, 0x01},
                     {33, 0xA8},
                     {34, 0xC0},
                     {36, 0xFF},
                     {39, 0x01},
                     {42, 0xC0}}},
        SettingCase{"gen1-320", 16, 0x0407, 9, 0, 0, 0, {{60, 9}}},
        SettingCase{"gen1-320", 16, 0x0503, 1, 0, 0, 0, {{7, 1}}},
        SettingCase{"gen1-320", 16, 0x0501, 1, 0, 0, 0, {{6, 0}}}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName(p.model, "V", p.version, "Id", testsupport::hexId(p.id), "Value", p.value,
                      "Case", i);
    });

struct RefusalCase {
  const char* model;
  int version;
  uint16_t id, value;
};

class Refusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, AreNakWithReasonOneAndChangeNothing) {
  const RefusalCase& r = GetParam();
  Camera camera(makeOptions(r.model, r.version, scratchDirectory()));
  const Header before = camera.header();
  camera.client.setting(r.id, r.value);
  auto nak = camera.client.read();
  ASSERT_TRUE(nak);
  EXPECT_EQ(nak->type, 21);
  EXPECT_EQ(nak->code(0), 39);
  EXPECT_EQ(nak->code(1), 1);
  EXPECT_EQ(camera.header(), before);
}

INSTANTIATE_TEST_SUITE_P(Unsupported, Refusals,
                         ::testing::Values(RefusalCase{"va320", 33, 0x0503, 2},
                                           RefusalCase{"gen1-320", 10, 0x0503, 1},
                                           RefusalCase{"kt640", 20, 0x0503, 2},
                                           RefusalCase{"kt640", 20, 0x0999, 1},
                                           RefusalCase{"va320", 33, 0x0107, 1}),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName(p.model, "V", p.version, "Id", testsupport::hexId(p.id));
                         });

TEST(Settings, ResetRestoresTheDefaults) {
  Camera camera(makeOptions("va320", 33, scratchDirectory()));
  const Header defaults = camera.header();
  camera.client.setting(0x0204, 1);
  camera.client.setting(0x0F01, 0);
  ASSERT_TRUE(camera.client.readType(6));
  ASSERT_TRUE(camera.client.readType(6));
  EXPECT_EQ(camera.header(), defaults);
}

TEST(TemperatureTable, ComesInTwoHalvesOfTheCamerasOwnConversion) {
  Camera camera(makeOptions("kt640", 20, scratchDirectory()));
  camera.client.send(54);
  for (int half = 0; half < 2; ++half) {
    auto packet = camera.client.read();
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->type, 55 + half);
    ASSERT_EQ(packet->payload.size(), 2056u);
    EXPECT_EQ(le16(&packet->payload[0]), 0);
    EXPECT_EQ(le16(&packet->payload[2]), half);
    EXPECT_EQ(le32(&packet->payload[4]), 64u);
    for (uint32_t i = 0; i < 512; i += 97) {
      const uint32_t bits = le32(&packet->payload[8 + 4 * i]);
      float value;
      std::memcpy(&value, &bits, 4);
      const uint16_t count = static_cast<uint16_t>((half * 512 + i) * 64);
      EXPECT_NEAR(value, ktTemperature(count, 0), 1e-3) << "count " << count;
    }
  }
}

struct CommandCase {
  uint16_t type;
  size_t payloadSize;
  uint32_t id;
  uint16_t answerType;
  int16_t code2;
};

class OtherCommands : public ::testing::TestWithParam<CommandCase> {};

TEST_P(OtherCommands, GetTheCamerasAnswer) {
  const CommandCase& c = GetParam();
  Camera camera(makeOptions("va320", 33, scratchDirectory()));
  std::vector<uint8_t> payload(c.payloadSize);
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(i * 7);
  camera.client.send(c.type, payload, c.id);
  auto answer = camera.client.read();
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->id, kId);
  EXPECT_EQ(answer->type, c.answerType);
  switch (c.answerType) {
    case 6:
    case 21:
      EXPECT_EQ(answer->code(0), static_cast<int16_t>(c.type));
      EXPECT_EQ(answer->code(1), c.code2);
      break;
    case 162:
      ASSERT_EQ(answer->payload.size(), 8u);
      EXPECT_EQ(le16(&answer->payload[4]), 384);
      EXPECT_EQ(le16(&answer->payload[6]), 288);
      break;
    case 48: EXPECT_EQ(answer->payload.size(), 64u); break;
    case 145: EXPECT_EQ(answer->payload, payload); break;
    case 130:
      ASSERT_EQ(answer->payload.size(), 16u);
      EXPECT_EQ(le32(answer->payload.data()), 1u);
      break;
    default: FAIL() << "unexpected answer";
  }
  EXPECT_TRUE(camera.sim->waitForCommand(
      [&](const irsim::LogEntry& e) { return e.type == c.type && e.id == c.id; }, kBound));
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, OtherCommands,
    // Palette and firmware payloads of counting bytes name slot 49 and block 19782: refused
    // (uploads_test.cpp has the ones a camera takes).
    ::testing::Values(CommandCase{40, 9228, kId, 21, 3}, CommandCase{40, 100, kId, 21, 1},
                      CommandCase{49, 1036, 0x11223344, 21, 4}, CommandCase{50, 32, 0x55, 6, 0},
                      CommandCase{56, 2056, kId, 6, 0}, CommandCase{41, 0, 0x01020304, 6, 0},
                      CommandCase{0, 0, kId, 21, 1}, CommandCase{37, 0, kId, 21, 1},
                      CommandCase{36, 0, 0xCAFEBABE, 21, 1}, CommandCase{161, 0, kId, 162, 0},
                      CommandCase{80, 0, kId, 48, 0}, CommandCase{145, 8, 7, 145, 0},
                      CommandCase{129, 2068, 9, 130, 0}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName("Type", p.type, "Payload", p.payloadSize, "Case", i);
    });

TEST(Connection, ASecondClientIsClosedWhileOneIsServed) {
  Camera camera(makeOptions("va320", 33, scratchDirectory()));
  camera.header();  // the first client is being served
  RawClient second;
  ASSERT_TRUE(second.connect(camera.sim->port()));
  EXPECT_TRUE(second.waitForEnd());
  EXPECT_TRUE(camera.sim->waitFor([](const irsim::Stats& s) { return s.turnedAway == 1; }, kBound));
  EXPECT_EQ(camera.header()[4], 33) << "the first client is still served";
}

TEST(Connection, ASilentClientIsDropped) {
  auto options = makeOptions("va320", 33, scratchDirectory());
  options.idleTimeout = std::chrono::milliseconds(200);
  Camera camera(options);
  EXPECT_TRUE(camera.client.waitForEnd());
  EXPECT_EQ(camera.sim->stats().idleDrops, 1u);
}

TEST(Connection, SurvivesClientsThatVanishAtAnyMoment) {
  Camera camera(makeOptions("vi640", 33, scratchDirectory()));
  camera.header();
  camera.client.close();
  ASSERT_TRUE(camera.sim->waitFor(
      [](const irsim::Stats& s) { return s.connections == 1 && !s.clientConnected; }, kBound));
  for (int i = 0; i < 8; ++i) {
    RawClient client;
    ASSERT_TRUE(client.connect(camera.sim->port()));
    client.send(33);
    ASSERT_TRUE(client.readBytes(100 + static_cast<size_t>(i) * 7919));
    if (i % 2)
      client.abort();  // mid-frame, with a reset
    else
      client.close();
    const uint64_t served = static_cast<uint64_t>(i) + 2;
    ASSERT_TRUE(camera.sim->waitFor(
        [&](const irsim::Stats& s) { return s.connections == served && !s.clientConnected; },
        kBound));
  }
  EXPECT_EQ(camera.sim->stats().turnedAway, 0u);
  RawClient last;
  ASSERT_TRUE(last.connect(camera.sim->port()));
  last.send(36);
  EXPECT_TRUE(last.readType(37));
}

TEST(Connection, StopEndsAStreamingClientCleanly) {
  Camera camera(makeOptions("vi640", 33, scratchDirectory()));
  camera.client.send(33);
  ASSERT_TRUE(camera.client.readType(35));
  camera.sim->stop();
  EXPECT_TRUE(camera.client.waitForEnd());
}

TEST(Connection, ListensOnLoopbackOnly) {
  auto options = makeOptions("va320", 33, scratchDirectory());
  options.bindAddress = "10.1.2.3";
  irsim::Simulator sim(options);
  std::string error;
  EXPECT_FALSE(sim.start(&error));
  EXPECT_NE(error.find("loopback"), std::string::npos) << error;
  for (const char* address : {"127.0.0.1", "127.1.2.3", "127.255.255.254"})
    EXPECT_TRUE(irsim::isLoopbackAddress(address)) << address;
  for (const char* address : {"128.0.0.1", "10.0.0.1", "0.0.0.0", "localhost", "", "127.0.0"})
    EXPECT_FALSE(irsim::isLoopbackAddress(address)) << address;
}

TEST(Connection, AnImplausibleLengthEndsTheConnection) {
  Camera camera(makeOptions("va320", 33, scratchDirectory()));
  std::vector<uint8_t> bad = RawClient::packet(39);
  put32(bad, 4, 0x7FFFFFF0);
  camera.client.sendRaw(bad);
  EXPECT_TRUE(camera.client.waitForEnd());
  const auto log = camera.sim->commandLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].length, 0x7FFFFFF0u);
}

TEST(Connection, ServesASocketPairUntilThePeerLeaves) {
  irsim::Simulator sim(makeOptions("vi640", 33, scratchDirectory()));
  int pair[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  std::vector<uint8_t> bytes = RawClient::packet(32);
  const std::vector<uint8_t> header = RawClient::packet(36);
  bytes.insert(bytes.end(), header.begin(), header.end());
  bytes.insert(bytes.end(), {1, 2, 3});  // a torn packet at the end
  ASSERT_EQ(::write(pair[0], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ::shutdown(pair[0], SHUT_WR);
  sim.serveSocket(pair[1]);
  std::vector<uint8_t> answer(16);
  ASSERT_EQ(::read(pair[0], answer.data(), 16), 16);
  EXPECT_EQ(le16(&answer[8]), 48);
  ::close(pair[0]);
  EXPECT_EQ(sim.commandLog().size(), 2u);
}

TEST(CommandLog, RecordsEveryPacketInMemoryAndInItsFile) {
  const std::string folder = scratchDirectory();
  auto options = makeOptions("va320", 33, folder);
  options.logPath = folder + "/commands.log";
  Camera camera(options);
  camera.client.send(32);
  camera.client.setting(0x0204, 1, 5, 6, 7);
  ASSERT_TRUE(camera.client.readType(6));
  ASSERT_TRUE(
      camera.sim->waitForCommand([](const irsim::LogEntry& e) { return e.type == 39; }, kBound));
  const auto log = camera.sim->commandLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].type, 32);
  EXPECT_EQ(log[0].length, 16u);
  EXPECT_EQ(log[1].settingId, 0x0204);
  EXPECT_EQ(log[1].value, 1);
  EXPECT_EQ(log[1].words[0], 5u);
  EXPECT_EQ(log[1].words[2], 7u);
  EXPECT_EQ(log[1].payload.size(), 32u);
  EXPECT_LT(log[0].sequence, log[1].sequence);
  camera.sim->stop();
  std::ifstream file(options.logPath);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_NE(text.str().find("type=32"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("setting=0x0204 value=1 words=5,6,7"), std::string::npos) << text.str();
}

}  // namespace
