#include <gtest/gtest.h>
#include <irdex.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "records/byte_order.h"
#include "records/debug_channel.h"
#include "records/temperature_text.h"

namespace {

// Layouts of the pointer records are fixed by natural alignment and field order; files and
// outside callers (ctypes) rely on them as much as on the packed ones.
TEST(RecordLayout, PointerRecordsHaveNaturalAlignment) {
  EXPECT_EQ(offsetof(IRFrame, pixels), 0u);
  EXPECT_EQ(offsetof(IRFrame, pixelCapacity), 8u);
  EXPECT_EQ(offsetof(IRFrame, staging), 16u);
  EXPECT_EQ(offsetof(IRFrame, pendingBytes), 24u);
  EXPECT_EQ(offsetof(IRFrame, readOffset), 28u);
  EXPECT_EQ(offsetof(IRFrame, packetKind), 32u);
  EXPECT_EQ(offsetof(IRFrame, header), 36u);
  EXPECT_EQ(offsetof(IRFrame, sysWord), 548u);
  EXPECT_EQ(offsetof(IRFrame, ackCode1), 560u);
  EXPECT_EQ(offsetof(IRFrame, ksSlot), 564u);
  EXPECT_EQ(offsetof(IRFrame, ksRangeMask), 568u);
  EXPECT_EQ(offsetof(IRFrame, ksCalib), 576u);
  EXPECT_EQ(offsetof(IRFrame, ksSmoothed), 584u);
  EXPECT_EQ(offsetof(IRFrame, driftCorrection), 592u);
  EXPECT_EQ(sizeof(CamSysData), 72u);
  EXPECT_EQ(offsetof(CamTempTable, second), 4u + 2056u);
  EXPECT_EQ(offsetof(CamTempTable, ackCode1), 4u + 2 * 2056u);
  EXPECT_EQ(sizeof(IrdexCanvas), 24u);
}

TEST(RecordLayout, HeaderAccessorsReadTheNamedBytes) {
  IRFrame frame{};
  frame.header.bytes[4] = 33;
  frame.header.bytes[5] = 0x21;
  frame.header.bytes[7] = 2;
  EXPECT_EQ(IRFrameVersion(&frame), 33);
  EXPECT_EQ(IRFrameModel(&frame), 0x21);
  EXPECT_EQ(IRFrameRangeIndex(&frame), 2);
  EXPECT_EQ(IrdexImageSize(640, 480), 640u | (480u << 16));
}

TEST(RecordLayout, ExtensionCarriesTheCameraVersionAndModelAtBytes33And34) {
  IRHeaderExt ext{};
  ext.camHeader[4] = 17;
  ext.camHeader[5] = 1;
  const auto* bytes = reinterpret_cast<const uint8_t*>(&ext);
  EXPECT_EQ(bytes[33], 17);
  EXPECT_EQ(bytes[34], 1);
}

TEST(ByteOrder, RoundTripsLittleEndianValues) {
  uint8_t buffer[8] = {};
  irdex::writeLe32(buffer, 1234567890u);
  EXPECT_EQ(buffer[0], 0xD2);
  EXPECT_EQ(buffer[3], 0x49);
  EXPECT_EQ(irdex::readLe32(buffer), 1234567890u);
  irdex::writeLe16(buffer, 0xFFEC);
  EXPECT_EQ(irdex::readLe16s(buffer), -20);
  irdex::writeLe64(buffer, 0x0102030405060708ull);
  EXPECT_EQ(buffer[0], 0x08);
  EXPECT_EQ(irdex::readLe64(buffer), 0x0102030405060708ull);
  irdex::writeLeFloat(buffer, 0.95f);
  EXPECT_EQ(irdex::readLeFloat(buffer), 0.95f);
}

struct TextCase {
  float value;
  int32_t unit;
  const char* text;
};

class TemperatureText : public ::testing::TestWithParam<TextCase> {};

TEST_P(TemperatureText, FormatsTwoDecimalsDegreeSignAndUnit) {
  EXPECT_EQ(irdex::formatTemperature(GetParam().value, GetParam().unit), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Units, TemperatureText,
                         ::testing::Values(TextCase{36.5f, 0, "36.50\xC2\xB0" "C"},
                                           TextCase{-20.125f, 1, "-20.12\xC2\xB0" "F"},
                                           TextCase{273.15f, 2, "273.15\xC2\xB0" "K"},
                                           TextCase{0.0f, 3, ""}, TextCase{1.0f, -1, ""}),
                         [](const ::testing::TestParamInfo<TextCase>& info) {
                           return "Case" + std::to_string(info.index);
                         });

TEST(TemperatureText, PrintsHugeValuesWhole) {
  const std::string text = irdex::formatTemperature(3.0e38f, 0);
  EXPECT_EQ(text.size(), 39u + 3u + 3u);  // 39 digits, ".00", degree sign and letter
  EXPECT_EQ(text.substr(text.size() - 3), "\xC2\xB0" "C");
}

struct Collected {
  std::vector<std::string> lines;
};

void collect(const char* text, void* user) { static_cast<Collected*>(user)->lines.emplace_back(text); }

TEST(DebugChannel, DeliversToTheHandlerUntilItIsCleared) {
  Collected collected;
  SetDebugOutputHandler(collect, &collected);
  irdex::debug::output("first line");
  irdex::debug::output(std::string_view("second\nwith break\n"));
  SetDebugOutputHandler(nullptr, nullptr);
  irdex::debug::output("not delivered");
  ASSERT_EQ(collected.lines.size(), 2u);
  EXPECT_EQ(collected.lines[0], "first line");
  EXPECT_EQ(collected.lines[1], "second\nwith break\n");
}

}  // namespace
