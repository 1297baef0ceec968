// The tooltip template's tokens.
#include <gtest/gtest.h>

#include <string>

#include "palette/tests/named_case.h"
#include "palette/tooltip_text.h"

namespace tessor {
namespace {

struct TooltipCase {
  const char* name;
  const char* pattern;
  const char* text;
};

class TooltipTokens : public ::testing::TestWithParam<TooltipCase> {};

TEST_P(TooltipTokens, AreReplacedByThePegsValues) {
  EXPECT_EQ(formatTooltip(GetParam().pattern, 0.4567f, makeColour(255, 10, 128)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Templates, TooltipTokens,
                         ::testing::Values(TooltipCase{"Position", "at &SELPOS", "at 0.46"},
                                           TooltipCase{"Decimal", "&R,&G,&B", "255,10,128"},
                                           TooltipCase{"Hex", "#&HEXR&HEXG&HEXB", "#FF0A80"},
                                           TooltipCase{"Fractions", "&FLOATR &FLOATG &FLOATB",
                                                       "1.000 0.039 0.502"},
                                           TooltipCase{"DoubleAmpersand", "R&&D &&R", "R&D &R"},
                                           TooltipCase{"UnknownTokenStays", "&X &", "&X &"},
                                           TooltipCase{"NoTokens", "plain", "plain"}),
                         testing::CaseName());

}  // namespace
}  // namespace tessor
