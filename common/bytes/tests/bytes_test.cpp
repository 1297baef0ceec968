// The programs' byte layouts and status texts.
#include "bytes/byte_order.h"
#include "bytes/error_text.h"

#include <irdex.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace bytes {
namespace {

TEST(ByteOrder, WritesLowByteFirstAndReadsBackSigned) {
  std::array<uint8_t, 4> buffer{};
  writeLe16(buffer.data(), 0xFF38);  // -200
  EXPECT_EQ(buffer[0], 0x38);
  EXPECT_EQ(buffer[1], 0xFF);
  EXPECT_EQ(readLe16s(buffer.data()), -200);
  writeLe32(buffer.data(), 0x01020304u);
  EXPECT_EQ(buffer, (std::array<uint8_t, 4>{4, 3, 2, 1}));
  writeLeFloat(buffer.data(), 0.95f);
  EXPECT_EQ(readLeFloat(buffer.data()), 0.95f);
}

struct TextCase {
  const char* name;
  int32_t result;
  const char* text;
};
void PrintTo(const TextCase& c, std::ostream* out) { *out << c.name; }
class ErrorText : public testing::TestWithParam<TextCase> {};
TEST_P(ErrorText, NamesTheStatus) { EXPECT_EQ(errorText(GetParam().result), GetParam().text); }
INSTANTIATE_TEST_SUITE_P(
    Statuses, ErrorText,
    testing::Values(
        TextCase{.name = "success", .result = SDK_SUCCESS, .text = ""},
        TextCase{
            .name = "disconnected", .result = SDK_ERR_RECEIVE, .text = "ERROR : DISCONNECT CAMERA"},
        TextCase{.name = "nak", .result = SDK_ERR_NAK, .text = "ERROR : RECEIVE NAK"},
        // Only the low 16 bits carry the code.
        TextCase{.name = "upperBitsIgnored",
                 .result = static_cast<int32_t>(0x7FFF0000u | (SDK_ERR_NAK & 0xFFFF)),
                 .text = "ERROR : RECEIVE NAK"},
        TextCase{.name = "withoutText", .result = -1001, .text = "ERROR : UNKNOWN -1001"}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace bytes
