#include "app/ir_info_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace solvane {
namespace {

AnalyzerSettings sampleSettings() {
  AnalyzerSettings s;
  s.agcMode = 1;
  s.atmTemp = -12.345f;
  s.atmTrans = 0.876f;
  s.emissivity = 0.95f;
  s.dynamicRange = 2;
  s.palette = 7;
  s.zoom = 2.5f;
  s.invert = true;
  s.mirror = false;
  s.flip = true;
  s.tempUnit = 2;
  return s;
}

TEST(IrInfoBlock, FirstBytesFollowTheLayoutAndTheRestIsZero) {
  const IrInfoBlock block = buildIrInfoBlock(sampleSettings(), ImageState{384, 288, 19.5f, -2.0f});
  const std::vector<uint8_t> head(block.begin(), block.begin() + kIrInfoFilledBytes);
  // -12345 = 0xFFFFCFC7, level 195 = 0x00C3, span -20 = 0xFFEC.
  const std::vector<uint8_t> expected = {
      0x80, 0x01, 0x20, 0x01,                     // width 384, height 288
      0x01, 0x00,                                 // AGC mode, gap
      0xC3, 0x00, 0xEC, 0xFF,                     // level x 10, span x 10
      0x00, 0x00,                                 // gap
      0xC7, 0xCF, 0xFF, 0xFF,                     // atmospheric temperature x 1000
      0x6C, 0x03, 0xB6, 0x03,                     // transmission 876, emissivity 950
      0x02, 0x07, 0x19, 0x01, 0x00, 0x01, 0x02};  // range, palette, zoom 25, flags, unit
  EXPECT_EQ(head, expected);
  for (std::size_t i = kIrInfoFilledBytes; i < block.size(); ++i) EXPECT_EQ(block[i], 0) << i;
}

TEST(IrInfoBlock, NewDocumentImageIs320By240) {
  const IrInfoBlock block = buildIrInfoBlock(AnalyzerSettings{}, ImageState{});
  EXPECT_EQ(block[0] | block[1] << 8, 320);
  EXPECT_EQ(block[2] | block[3] << 8, 240);
  EXPECT_EQ(block[6] | block[7] << 8, 500);  // level 50.0
  EXPECT_EQ(block[8] | block[9] << 8, 100);  // span 10.0
}

TEST(IrInfoBlock, OutOfRangeLevelIsClampedNotWrapped) {
  const IrInfoBlock block = buildIrInfoBlock(AnalyzerSettings{}, ImageState{320, 240, 1e6f, -1e6f});
  EXPECT_EQ(static_cast<int16_t>(block[6] | block[7] << 8), 32767);
  EXPECT_EQ(static_cast<int16_t>(block[8] | block[9] << 8), -32768);
}

TEST(AgcRecord, IsPacked41BytesWithTheSettingsInOrder) {
  AnalyzerSettings s;
  s.agcMode = 3;
  s.inputMethod = 2;
  s.outputMethod = 1;
  s.bRate = 0.25f;
  s.sdRate = 5.0f;
  s.intercept = 1;
  s.gamma = 1.5f;
  s.plateau = 100;
  s.epsilon = 0.5f;
  s.psi = 0.3f;
  s.prevPlateau = 4.0f;
  const AgcParams params = agcParamsFrom(s);
  ASSERT_EQ(sizeof(params), 41u);
  uint8_t bytes[41];
  std::memcpy(bytes, &params, sizeof bytes);
  auto i32 = [&](int at) {
    int32_t v;
    std::memcpy(&v, bytes + at, 4);
    return v;
  };
  auto f32 = [&](int at) {
    float v;
    std::memcpy(&v, bytes + at, 4);
    return v;
  };
  EXPECT_EQ(i32(0), 3);
  EXPECT_EQ(i32(4), 2);
  EXPECT_EQ(i32(8), 1);
  EXPECT_EQ(f32(12), 0.25f);
  EXPECT_EQ(f32(16), 5.0f);
  EXPECT_EQ(bytes[20], 1);
  EXPECT_EQ(f32(21), 1.5f);
  EXPECT_EQ(i32(25), 100);
  EXPECT_EQ(f32(29), 0.5f);
  EXPECT_EQ(f32(33), 0.3f);
  EXPECT_EQ(f32(37), 4.0f);

  AnalyzerSettings back;
  applyAgcParams(back, params);
  const int32_t plateau = agcParamsFrom(back).plateau;  // a copy: the record is packed
  EXPECT_EQ(plateau, 100);
  EXPECT_EQ(back.prevPlateau, 4.0f);
  EXPECT_EQ(back.agcMode, 3);
}

}  // namespace
}  // namespace solvane
