// The scene's temperatures come back out of the camera's counts through the conversion
// the suite applies to each camera kind; and the DNS-SD announcement.
#include <gtest/gtest.h>
#include "testing/case_name.h"

#include <cstring>
#include <fstream>

#include "announce.h"
#include "test_support.h"

using namespace irsim_test;

namespace {

// A rising, curved table, unlike the built-in line, so that the camera must read the file.
float curvedEntry(uint32_t i) {
  const double x = static_cast<double>(i);
  return static_cast<float>(-50.0 + 0.0002 * x + 1.5e-7 * x * x);
}

void writeCurvedTables(const std::string& folder) {
  for (const char* name : {"TempMapTable_L.bin", "TempMapTable_M.bin"}) {
    std::ofstream file(folder + "/" + name, std::ios::binary);
    for (uint32_t i = 0; i < 65536; ++i) {
      const float value = curvedEntry(i) * (name[13] == 'M' ? 2.0f : 1.0f);
      file.write(reinterpret_cast<const char*>(&value), 4);
    }
  }
}

struct SceneCase {
  const char* model;
  int version;
  bool curvedTables;   // first generation: table files present
  int16_t tempOffset;  // KS: header byte 118
  int range;
};

class SceneTemperatures : public ::testing::TestWithParam<SceneCase> {
 protected:
  // The temperature the suite reads from a count, for this camera and its header.
  float measure(uint16_t n, const Header& h, const std::vector<float>& table) const {
    const int version = h[4];
    if (version <= 16) return firstGenerationTemperature(n, table);
    if (version <= 31) return ktTemperature(n, h[7]);
    if (version == 32) return ks32Temperature(n, h[7]);
    return ks33Temperature(n, h);
  }
  // What one count step is worth here, around temperature t.
  float precision(const Header& h, const std::vector<float>& table, float t) const {
    const int version = h[4];
    if (version <= 16) {
      const auto it = std::lower_bound(table.begin(), table.end(), t);
      const size_t k = std::min<size_t>(static_cast<size_t>(it - table.begin()), 65534);
      return 2.0f * (table[k + 1] - table[k]) + 1e-4f;
    }
    if (version <= 31) return h[7] == 1 ? 0.1f : 0.01f;
    if (version == 32) return h[7] == 1 ? 0.056f : 0.014f;
    return 2.0f * ksCalibration(h).slope;
  }
};

TEST_P(SceneTemperatures, ComeBackThroughTheCamerasConversion) {
  const SceneCase& s = GetParam();
  const std::string folder = scratchDirectory();
  if (s.curvedTables) writeCurvedTables(folder);
  std::vector<float> table(65536);
  for (uint32_t i = 0; i < 65536; ++i) {
    table[i] = s.curvedTables ? curvedEntry(i) * (s.range == 1 ? 2.0f : 1.0f)
                              // The documented built-in line of the simulator.
                              : (s.range == 1 ? -40.0f + 0.02f * static_cast<float>(i)
                                              : -40.0f + 0.005f * static_cast<float>(i));
  }

  for (const irsim::SceneKind kind :
       {irsim::SceneKind::Blobs, irsim::SceneKind::Gradient, irsim::SceneKind::Flat}) {
    SCOPED_TRACE(irsim::sceneKindName(kind));
    auto options = makeOptions(s.model, s.version, folder);
    options.camera.tempOffsetTenths = s.tempOffset;
    options.scene.kind = kind;
    options.scene.background = 22.5f;
    options.scene.hot = 95.0f;
    options.scene.cold = -5.0f;
    options.scene.flat = 36.6f;
    options.scene.gradientLow = 10.0f;
    options.scene.gradientHigh = 110.0f;
    Camera camera(options);
    if (s.range != 0) {
      // A range change recalibrates the camera.
      camera.client.setting(0x0503, static_cast<uint16_t>(s.range));
      auto ack = camera.client.read();
      ASSERT_TRUE(ack);
      ASSERT_EQ(ack->type, 6);
    }
    const Header h = camera.header();
    ASSERT_EQ(h[7], s.range);
    const Geometry g = geometryOf(h);
    camera.client.send(33);
    const auto pixels = camera.frame();
    ASSERT_EQ(pixels.size(), static_cast<size_t>(g.pixels));
    auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y * g.width + x)]; };
    auto expectAt = [&](int x, int y, float expected) {
      if (h[4] >= 33) {  // a scene beyond the calibrated range reads as its limit
        const KsCalibration c = ksCalibration(h);
        expected = std::clamp(expected, c.minTemp, c.maxTemp);
      }
      const float t = measure(at(x, y), h, table);
      EXPECT_NEAR(t, expected, precision(h, table, expected)) << "pixel " << x << "," << y;
    };
    switch (kind) {
      case irsim::SceneKind::Blobs: {
        // The first frame of a connection shows the scene at time 0.
        const auto hot = camera.sim->scene().hotCentre(0);
        const auto cold = camera.sim->scene().coldCentre(0);
        expectAt(hot.x, hot.y, 95.0f);
        expectAt(hot.x + camera.sim->scene().plateauRadius() / 2, hot.y, 95.0f);
        expectAt(cold.x, cold.y, -5.0f);
        expectAt(2, 2, 22.5f);
        expectAt(g.width - 3, g.height - 3, 22.5f);
        break;
      }
      case irsim::SceneKind::Gradient:
        for (int x : {0, g.width / 3, g.width - 1})
          expectAt(x, g.height / 2, 10.0f + 100.0f * static_cast<float>(x) / (g.width - 1));
        break;
      case irsim::SceneKind::Flat:
        expectAt(0, 0, 36.6f);
        expectAt(g.width / 2, g.height / 2, 36.6f);
        break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryConversion, SceneTemperatures,
    ::testing::Values(SceneCase{"gen1-320", 16, true, 0, 0}, SceneCase{"gen1-384", 12, true, 0, 1},
                      SceneCase{"gen1-320", 16, false, 0, 0}, SceneCase{"gen1-320", 8, false, 0, 0},
                      SceneCase{"kt640", 20, false, 0, 0}, SceneCase{"kt640", 25, false, 0, 1},
                      SceneCase{"va320", 32, false, 0, 0}, SceneCase{"vi640", 32, false, 0, 1},
                      SceneCase{"va320", 33, false, 0, 0}, SceneCase{"vi640", 33, false, 0, 1},
                      SceneCase{"va320", 33, false, 25, 0}, SceneCase{"vi640", 33, false, -40, 1}),
    [](const auto& info) {
      [[maybe_unused]] const auto& p = info.param;
      [[maybe_unused]] const auto i = info.index;
      using testsupport::caseName;
      return caseName(p.model, "V", p.version, "Range", p.range, "Case", i);
    });

TEST(SceneMotion, TheHotDiscIsWhereTheSceneSaysInEveryFrame) {
  auto options = makeOptions("va320", 33, scratchDirectory());
  options.scene.motionPeriod = 12;
  Camera camera(options);
  const Header h = camera.header();
  camera.client.send(33);
  std::vector<int> xs;
  for (int i = 0; i < 4; ++i) {
    const auto pixels = camera.frame();
    ASSERT_EQ(pixels.size(), 384u * 289u);
    const uint32_t tick =
        pixels[384 * 288 + 2] | (static_cast<uint32_t>(pixels[384 * 288 + 3]) << 16);
    const auto hot = camera.sim->scene().hotCentre(tick);
    xs.push_back(hot.x);
    EXPECT_NEAR(ks33Temperature(pixels[static_cast<size_t>(hot.y * 384 + hot.x)], h), 80.0f, 0.03f);
  }
  EXPECT_NE(xs.front(), xs.back()) << "the disc moves";
}

TEST(KsTrailer, CarriesTheCamerasOwnMeasurementsInRawCounts) {
  for (const auto& [layout, mark, shift] :
       {std::tuple{1, 0x56594E02u, 0}, std::tuple{2, 0x56594E03u, 44}}) {
    auto options = makeOptions("va320", 33, scratchDirectory());
    options.camera.trailerLayout = layout;
    Camera camera(options);
    camera.header();
    // Region 1 as a spot on the hot disc.
    const auto hot = camera.sim->scene().hotCentre(0);
    camera.client.setting(0x0422, (11 << 8) | 1, (static_cast<uint32_t>(hot.x) << 16) | hot.y, 0);
    ASSERT_TRUE(camera.client.readType(6));
    camera.client.send(33);
    auto packet = camera.client.readType(35);
    ASSERT_TRUE(packet);
    const uint8_t* image = packet->payload.data();
    const uint8_t* row = image + 2 * 384 * 288;
    uint16_t low = 65535, high = 0;
    for (size_t i = 0; i < 384 * 288; ++i) {
      low = std::min(low, le16(image + 2 * i));
      high = std::max(high, le16(image + 2 * i));
    }
    const uint16_t spot = le16(image + 2 * (hot.y * 384 + hot.x));
    EXPECT_EQ(le32(row), mark);
    EXPECT_EQ(le16(row + 108 + shift), spot);
    EXPECT_EQ(le16(row + 110 + shift), spot);
    EXPECT_EQ(le32(row + 152 + shift), spot);
    EXPECT_EQ(le32(row + 196 + shift), 1u);
    EXPECT_EQ(le16(row + 112 + shift), 0) << "region 2 is off";
    EXPECT_EQ(le16(row + 148 + shift), low);
    EXPECT_EQ(le16(row + 150 + shift), high);
    EXPECT_EQ(le32(row + 236 + shift), 256u);
    EXPECT_EQ(le16(row + 240 + shift), le16(image + 2 * (144 * 384 + 192)));
  }
}

TEST(Announce, TxtRecordHoldsTheFourKeysAsDnsStrings) {
  irsim::Announcement a;
  a.model = "KS3-384";
  a.name = "irsim";
  a.ip = "127.0.0.1";
  a.mac = "02:00:00:00:00:01";
  const std::string txt = irsim::buildTxtRecord(a);
  const std::string expected = std::string("\x0d") + "model=KS3-384" + "\x0a" + "name=irsim" +
                               "\x0c" + "ip=127.0.0.1" + "\x15" + "mac=02:00:00:00:00:01";
  EXPECT_EQ(txt, expected);
}

TEST(Announce, AMissingLibraryIsAClearFailure) {
  irsim::Announcement a;
  a.instanceName = "irsim";
  a.library = "libirsim_no_such_dns_sd.so.9";
  irsim::Announcer announcer;
  std::string error;
  EXPECT_FALSE(announcer.start(a, &error));
  EXPECT_NE(error.find("libirsim_no_such_dns_sd.so.9"), std::string::npos) << error;
  EXPECT_FALSE(announcer.registered());
}

TEST(CameraConfig, RefusesKindsThatDoNotExist) {
  struct Case {
    const char* model;
    int version;
    uint16_t mask;
    uint8_t range;
  };
  for (const Case& c :
       {Case{"gen1-320", 17, 3, 0}, Case{"kt640", 16, 3, 0}, Case{"kt640", 32, 3, 0},
        Case{"va320", 31, 3, 0}, Case{"va320", 33, 0x7, 0}, Case{"va320", 33, 0, 0},
        Case{"va320", 33, 0x3, 2}, Case{"gen1-320", 10, 3, 1}}) {
    irsim::CameraConfig config;
    ASSERT_TRUE(irsim::parseModel(c.model, config, nullptr));
    config.version = static_cast<uint8_t>(c.version);
    config.ksRangeMask = c.mask;
    config.initialRange = c.range;
    std::string error;
    EXPECT_FALSE(irsim::validateConfig(config, &error)) << c.model << " " << c.version;
    EXPECT_FALSE(error.empty());
  }
  irsim::CameraConfig config;
  EXPECT_FALSE(irsim::parseModel("ks999", config, nullptr));
}

}  // namespace
