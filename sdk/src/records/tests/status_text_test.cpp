#include <gtest/gtest.h>
#include <irdex.h>

#include "records/status_text.h"

namespace {

using irdex::status::libraryText;

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
