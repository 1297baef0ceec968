// What the tests know of a camera's receiver, written from the byte layouts and conversion
// rules (not from the simulator's code): the first-generation header moves, the frame sizes
// and the count-to-temperature conversions at the default measurement parameters.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "raw_client.h"
#include "simulator.h"

namespace irsim_test {

using Header = std::array<uint8_t, 512>;

// The receiver's rearrangement of a header whose version is below 17.
inline Header receivedHeader(const std::vector<uint8_t>& wire) {
  Header h{};
  std::copy_n(wire.begin(), 512, h.begin());
  if (wire[4] >= 17) return h;
  auto move = [&](size_t from, size_t to, size_t n) {
    for (size_t i = 0; i < n; ++i) h[to + i] = wire[from + i];
  };
  auto widen = [&](size_t from, size_t to, size_t n) {
    for (size_t i = 0; i < n; ++i) {
      h[to + 2 * i] = wire[from + i];
      h[to + 2 * i + 1] = 0;
    }
  };
  move(5, 8, 6);
  move(11, 6, 1);
  move(12, 14, 16);
  move(28, 31, 24);
  move(52, 7, 1);
  move(53, 55, 8);
  widen(61, 63, 4);
  move(65, 71, 1);
  widen(66, 72, 4);
  h[5] = 0;
  if (wire[4] <= 10) {
    h[128] = 0;
    h[129] = 1;
    h[7] = 0;
  }
  return h;
}

struct Geometry {
  int width, height, pixels;  // pixels per frame packet, extra row included
};

inline Geometry geometryOf(const Header& h) {
  const int version = h[4], model = h[5];
  if (version >= 32 && model == 0x20) return {384, 288, 384 * 289};
  if (version >= 32 && model == 0x21) return {640, 480, 640 * 481};
  if (version >= 17 && version <= 31 && model == 1) return {640, 480, 640 * 481};
  if (version <= 16 && h[6] == 0) return {320, 240, 320 * 240};
  if (version <= 16 && h[6] == 1) return {384, 288, 384 * 288};
  return {0, 0, 0};
}

// First generation: table look-up in count space with emissivity 0.95, atmosphere 20,
// transmission 1 (model 0: no bias; the reflected term is the reflection count).
inline float firstGenerationTemperature(uint16_t n, const std::vector<float>& table) {
  size_t i = 0;
  while (i < table.size() && !(table[i] > 20.0f)) ++i;
  uint16_t reflection = i == table.size() ? 65535 : static_cast<uint16_t>(i - 1);
  if (reflection == 0) reflection = 65535;
  const float g = 0.95f * 1.0f;
  const float index = (static_cast<float>(n) + (g - 1.0f) * static_cast<float>(reflection)) / g;
  const long k = index >= 0.0f ? std::min(65535L, static_cast<long>(index)) : 0L;
  return table[static_cast<size_t>(k)];
}

// KT: temperature codes; with the KT bias the default parameters change nothing.
inline float ktTemperature(uint16_t n, int range) {
  return static_cast<float>(n * (range == 1 ? 0.1 : 0.01) - 30.0);
}

// KS version 32: the built-in lines (the radiance correction at 0.95 gives them back).
inline float ks32Temperature(uint16_t n, int range) {
  if (range == 1) {
    if (n < 2000) return -11.0f;
    if (n > 14000) return 661.0f;
    return static_cast<float>(n - 2000) * 0.055833332f - 10.0f;
  }
  if (n < 2000) return -31.0f;
  if (n > 14000) return 131.0f;
  return static_cast<float>(n - 2000) * 0.013333334f - 30.0f;
}

// KS version 33 and above: the calibration of the header's current range, with the drift
// correction for the temperature offset of byte 118.
struct KsCalibration {
  float minTemp = 0, maxTemp = 0, slope = 0;
  uint16_t minCount = 0, maxCount = 0;
};
inline KsCalibration ksCalibration(const Header& h) {
  const uint16_t mask = le16(&h[339]);
  const int range = h[7];
  int j = 0;
  for (int bit = 0; bit < range; ++bit)
    if (mask & (1u << bit)) ++j;
  KsCalibration c;
  c.minTemp = static_cast<float>(static_cast<int16_t>(le16(&h[347 + 4 * j]))) / 10.0f;
  c.maxTemp = static_cast<float>(static_cast<int16_t>(le16(&h[349 + 4 * j]))) / 10.0f;
  c.minCount = le16(&h[355 + 4 * j]);
  c.maxCount = le16(&h[357 + 4 * j]);
  c.slope =
      (c.maxTemp - c.minTemp) / static_cast<float>(static_cast<uint16_t>(c.maxCount - c.minCount));
  return c;
}
inline float ks33Temperature(uint16_t n, const Header& h) {
  const KsCalibration c = ksCalibration(h);
  const int16_t offset = static_cast<int16_t>(le16(&h[118]));
  const int shift = static_cast<int>(std::trunc(static_cast<float>(offset) * 0.1f / c.slope));
  const int corrected = std::clamp<int>(static_cast<uint16_t>(n + shift), c.minCount, c.maxCount);
  const float t = c.minTemp + static_cast<float>(corrected - c.minCount) * c.slope;
  return std::clamp(t, c.minTemp, c.maxTemp);
}

inline irsim::Options makeOptions(const std::string& model, int version,
                                  const std::string& tableDirectory) {
  irsim::Options options;
  options.port = 0;
  std::string error;
  EXPECT_TRUE(irsim::parseModel(model, options.camera, &error)) << error;
  if (version >= 0) options.camera.version = static_cast<uint8_t>(version);
  options.tableDirectory = tableDirectory;
  options.notice = [](const std::string&) {};
  options.scene.motionPeriod = 0;
  return options;
}

// A folder of its own for each test (table files, log files).
inline std::string scratchDirectory() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "_" + info->name();
  std::replace(name.begin(), name.end(), '/', '_');
  const auto path = std::filesystem::temp_directory_path() /
                    ("irsim_test_" + std::to_string(::getpid()) + "_" + name);
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
  return path.string();
}

struct Camera {
  std::unique_ptr<irsim::Simulator> sim;
  RawClient client;

  explicit Camera(const irsim::Options& options) : sim(new irsim::Simulator(options)) {
    std::string error;
    EXPECT_TRUE(sim->start(&error)) << error;
    EXPECT_TRUE(client.connect(sim->port()));
  }
  // Command 7: system data, then the header, rearranged as the receiver does.
  Header header() {
    client.send(36);
    auto system = client.readType(48);
    EXPECT_TRUE(system.has_value());
    auto packet = client.readType(37);
    EXPECT_TRUE(packet.has_value());
    if (!packet || packet->payload.size() != 512) return Header{};
    return receivedHeader(packet->payload);
  }
  std::vector<uint16_t> frame() {
    auto packet = client.readType(35);
    EXPECT_TRUE(packet.has_value());
    std::vector<uint16_t> pixels;
    if (!packet) return pixels;
    for (size_t i = 0; i + 1 < packet->payload.size(); i += 2)
      pixels.push_back(le16(&packet->payload[i]));
    return pixels;
  }
};

}  // namespace irsim_test
