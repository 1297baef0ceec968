#include <gtest/gtest.h>
#include <irdex.h>

#include <string>

#include "records/status_text.h"

namespace {

using irdex::status::libraryText;
using irdex::status::programMessage;

struct MessageCase {
  int32_t code;
  const char* message;
};

class ProgramMessage : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ProgramMessage, ShowsTheTableText) {
  EXPECT_EQ(programMessage(GetParam().code), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCode, ProgramMessage,
    ::testing::Values(MessageCase{-1, "ERROR : INVALIDE HANDLE"}, MessageCase{-2, "ERROR : OPEN FILE"},
                      MessageCase{-3, "ERROR : CLOSE FILE"}, MessageCase{-4, "ERROR : READ IR IMAGE"},
                      MessageCase{-5, "ERROR : FILE STREAM BUFFER ALLOCATION"},
                      MessageCase{-6, "ERROR : END OF IR IMAGE"},
                      MessageCase{-7, "ERROR : START OF IR IMAGE"},
                      MessageCase{-8, "ERROR : WRITE IR IMAGE"},
                      MessageCase{-9, "ERROR : NOT FOUND WINSOCK DLL"},
                      MessageCase{-10, "ERROR : CONNECT CAMERA"},
                      MessageCase{-11, "ERROR : DISCONNECT CAMERA"},
                      MessageCase{-12, "ERROR : UNKNOWN PACKET ID"},
                      MessageCase{-13, "ERROR : SEND PACKET"},
                      MessageCase{-14, "ERROR : START FRAME POSITION"},
                      MessageCase{-15, "ERROR : IMAGE FILTER SIZE"},
                      MessageCase{-16, "ERROR : IMAGE FRAME COUNT OVER"},
                      MessageCase{-17, "ERROR : PALETTE FILE OPEN"},
                      MessageCase{-18, "ERROR : HXR FILE SIGNATURE"},
                      MessageCase{-19, "ERROR : UNSUPPORT FILTER"},
                      MessageCase{-100, "ERROR : RECEIVE NAK"},
                      MessageCase{-1000, "ERROR : BUFFER ALLOCATION"},
                      // Codes the table has no text for fall to the unknown form.
                      MessageCase{-20, "ERROR : UNKNOWN -20"},
                      MessageCase{-1001, "ERROR : UNKNOWN -1001"},
                      MessageCase{-1002, "ERROR : UNKNOWN -1002"},
                      MessageCase{-21, "ERROR : UNKNOWN -21"},
                      MessageCase{0, "ERROR : UNKNOWN 0"},
                      MessageCase{1, ""}),
    [](const ::testing::TestParamInfo<MessageCase>& info) {
      const int32_t code = info.param.code;
      return (code < 0 ? "Minus" : "Code") + std::to_string(code < 0 ? -code : code);
    });

// Only the low 16 bits of a result are the code.
TEST(ProgramMessage, ReadsTheLowSixteenBitsAsASignedCode) {
  EXPECT_EQ(programMessage(0x7FFF0000 | 0xFFFA), "ERROR : END OF IR IMAGE");  // -6
  EXPECT_EQ(programMessage(0x00010001), "");                                // 1
  EXPECT_EQ(programMessage(0x0001FFEC), "ERROR : UNKNOWN -20");
}

TEST(LibraryText, FollowsTheCodeOrderAndSaysNoCodeOtherwise) {
  EXPECT_STREQ(libraryText(-1), "Handle error.");
  EXPECT_STREQ(libraryText(-9), "Incorrect version of WS2_32.dll");
  EXPECT_STREQ(libraryText(-10), "Connection error from a camera.");
  EXPECT_STREQ(libraryText(-12), "Unknown packet ID.");
  EXPECT_STREQ(libraryText(-16), "Count error of image frame.");
  EXPECT_STREQ(libraryText(-1000), "Buffer allocation error.");
  // -11 and -17 onwards have no library text.
  EXPECT_STREQ(libraryText(-11), "No code.");
  EXPECT_STREQ(libraryText(-17), "No code.");
  EXPECT_STREQ(libraryText(1), "No code.");
}

}  // namespace
