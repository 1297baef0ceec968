// The address rules of the main window and its caption.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "app/core/connection_rules.h"

namespace {

struct IpCase {
  const char* name;
  const char* text;
  bool valid;
};

void PrintTo(const IpCase& c, std::ostream* os) { *os << c.name; }

class CameraIp : public ::testing::TestWithParam<IpCase> {};

TEST_P(CameraIp, IsCheckedBeforeConnecting) {
  EXPECT_EQ(tessor::isValidCameraIp(GetParam().text), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CameraIp,
    ::testing::Values(IpCase{"seven_characters_one_digit_each", "1.2.3.4", true},
                      IpCase{"fifteen_characters", "192.168.100.200", true},
                      IpCase{"loopback", "127.0.0.1", true},
                      IpCase{"four_digits_in_one_part", "1.2.3.4567", false},
                      IpCase{"only_two_dots", "10.20.3040", false},
                      IpCase{"four_dots", "1.2.3.4.5", false}, IpCase{"too_short", "1.2.3.", false},
                      IpCase{"sixteen_characters", "192.168.100.2000", false},
                      IpCase{"letters", "a.b.c.d.e.f", false}, IpCase{"space", "1.2.3. 4", false},
                      IpCase{"empty", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct StoredCase {
  const char* name;
  const char* stored;
  const char* shown;
};

void PrintTo(const StoredCase& c, std::ostream* os) { *os << c.name; }

class StoredAddress : public ::testing::TestWithParam<StoredCase> {};

TEST_P(StoredAddress, IsShownAsFourPartsWithinTheirRange) {
  EXPECT_EQ(tessor::addressTextOf(tessor::addressParts(GetParam().stored)), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Texts, StoredAddress,
                         ::testing::Values(StoredCase{"plain", "192.168.0.10", "192.168.0.10"},
                                           StoredCase{"empty", "", "0.0.0.0"},
                                           StoredCase{"part_above_255", "300.1.2.3", "255.1.2.3"},
                                           StoredCase{"negative_part", "-5.1.2.3", "0.1.2.3"},
                                           StoredCase{"two_parts", "10.7", "10.7.0.0"},
                                           StoredCase{"five_parts", "1.2.3.4.5", "1.2.3.4"},
                                           StoredCase{"huge_digit_run",
                                                      "99999999999999999999999.1.1.1", "255.1.1.1"},
                                           StoredCase{"garbage", "abc.def", "0.0.0.0"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WindowCaption, CarriesTheProgramVersion) {
  EXPECT_EQ(tessor::windowCaption(TESSOR_VERSION),
            std::string("Tessor (Version : ") + TESSOR_VERSION + ")");
}

}  // namespace
