// The gradient control's tooltip: a template whose tokens stand for a peg's position and
// colour.
#pragma once

#include <string>
#include <string_view>

#include "palette/peg.h"

namespace tessor {

inline constexpr const char* kDefaultTooltipTemplate =
    "Position: &SELPOS\nRGB(&R, &G, &B)\nHex: #&HEXR&HEXG&HEXB";

// "&SELPOS" the position ("%.2f"); "&R", "&G", "&B" the channels in decimal; "&HEXR",
// "&HEXG", "&HEXB" in hex ("%2.2X"); "&FLOATR", "&FLOATG", "&FLOATB" as fractions of 255
// ("%0.3f"); "&&" a single "&". Anything else stays as written.
std::string formatTooltip(std::string_view pattern, float position, ColourRef colour);

}  // namespace tessor
