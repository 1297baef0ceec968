// The KS range list read from the header's range mask and name fields.
#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "pages/core/range_list.h"

namespace {

struct RangeCase {
  const char* name;
  uint16_t mask;
  std::vector<pages::MeasurementRange> expected;
};

void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.name; }

class RangeList : public ::testing::TestWithParam<RangeCase> {};

TEST_P(RangeList, TakesSetBitsInOrderNamedByTheFields) {
  std::array<uint8_t, 512> header{};
  header[339] = static_cast<uint8_t>(GetParam().mask);
  header[340] = static_cast<uint8_t>(GetParam().mask >> 8);
  const std::string names[] = {"first", "0123456789"};
  for (size_t n = 0; n < 2; ++n)
    for (size_t i = 0; i < names[n].size(); ++i)
      header[363 + 10 * n + i] = static_cast<uint8_t>(names[n][i]);
  EXPECT_EQ(pages::measurementRanges(header), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, RangeList,
    ::testing::Values(RangeCase{"none", 0, {}}, RangeCase{"range_0_only", 0x0001, {{0, "first"}}},
                      RangeCase{"ranges_0_and_2", 0x0005, {{0, "first"}, {2, "0123456789"}}},
                      RangeCase{"third_bit_ignored", 0x0007, {{0, "first"}, {1, "0123456789"}}},
                      RangeCase{"high_bit", 0x8000, {{15, "first"}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
