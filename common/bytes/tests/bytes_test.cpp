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
  int32_t result;
  const char* text;
};
void PrintTo(const TextCase& c, std::ostream* out) { *out << c.result; }
class ErrorText : public testing::TestWithParam<TextCase> {};
TEST_P(ErrorText, NamesTheStatus) { EXPECT_EQ(errorText(GetParam().result), GetParam().text); }
INSTANTIATE_TEST_SUITE_P(
    EveryCode, ErrorText,
    testing::Values(
        TextCase{-1, "ERROR : INVALIDE HANDLE"}, TextCase{-2, "ERROR : OPEN FILE"},
        TextCase{-3, "ERROR : CLOSE FILE"}, TextCase{-4, "ERROR : READ IR IMAGE"},
        TextCase{-5, "ERROR : FILE STREAM BUFFER ALLOCATION"},
        TextCase{-6, "ERROR : END OF IR IMAGE"}, TextCase{-7, "ERROR : START OF IR IMAGE"},
        TextCase{-8, "ERROR : WRITE IR IMAGE"}, TextCase{-9, "ERROR : NOT FOUND WINSOCK DLL"},
        TextCase{-10, "ERROR : CONNECT CAMERA"}, TextCase{-11, "ERROR : DISCONNECT CAMERA"},
        TextCase{-12, "ERROR : UNKNOWN PACKET ID"}, TextCase{-13, "ERROR : SEND PACKET"},
        TextCase{-14, "ERROR : START FRAME POSITION"}, TextCase{-15, "ERROR : IMAGE FILTER SIZE"},
        TextCase{-16, "ERROR : IMAGE FRAME COUNT OVER"}, TextCase{-17, "ERROR : PALETTE FILE OPEN"},
        TextCase{-18, "ERROR : HXR FILE SIGNATURE"}, TextCase{-19, "ERROR : UNSUPPORT FILTER"},
        TextCase{-100, "ERROR : RECEIVE NAK"}, TextCase{-1000, "ERROR : BUFFER ALLOCATION"},
        // Codes the table has no text for fall to the unknown form.
        TextCase{-20, "ERROR : UNKNOWN -20"}, TextCase{-1001, "ERROR : UNKNOWN -1001"},
        TextCase{-1002, "ERROR : UNKNOWN -1002"}, TextCase{-21, "ERROR : UNKNOWN -21"},
        TextCase{0, "ERROR : UNKNOWN 0"}, TextCase{SDK_SUCCESS, ""},
        // Only the low 16 bits carry the code, read as a signed number.
        TextCase{static_cast<int32_t>(0x7FFF0000u | 0xFFFAu), "ERROR : END OF IR IMAGE"},
        TextCase{0x00010001, ""}, TextCase{0x0001FFEC, "ERROR : UNKNOWN -20"}));

}  // namespace
}  // namespace bytes
