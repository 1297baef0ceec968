#include "palette/tooltip_text.h"

#include <array>
#include <cstdio>

namespace tessor {

std::string formatTooltip(std::string_view pattern, float position, ColourRef colour) {
  const std::array<uint8_t, 3> channels = {redOf(colour), greenOf(colour), blueOf(colour)};
  auto printed = [](const char* format, auto value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return std::string(text);
  };
  struct Token {
    std::string_view name;
    std::string value;
  };
  // Longer tokens first, so that "&HEXR" is not read as "&H" + "EXR" or "&R" inside it.
  const std::array<Token, 11> tokens = {
      Token{"&&", "&"},
      Token{"&SELPOS", printed("%.2f", static_cast<double>(position))},
      Token{"&FLOATR", printed("%0.3f", channels[0] / 255.0)},
      Token{"&FLOATG", printed("%0.3f", channels[1] / 255.0)},
      Token{"&FLOATB", printed("%0.3f", channels[2] / 255.0)},
      Token{"&HEXR", printed("%2.2X", unsigned{channels[0]})},
      Token{"&HEXG", printed("%2.2X", unsigned{channels[1]})},
      Token{"&HEXB", printed("%2.2X", unsigned{channels[2]})},
      Token{"&R", printed("%u", unsigned{channels[0]})},
      Token{"&G", printed("%u", unsigned{channels[1]})},
      Token{"&B", printed("%u", unsigned{channels[2]})},
  };
  std::string text;
  size_t i = 0;
  while (i < pattern.size()) {
    bool replaced = false;
    if (pattern[i] == '&') {
      for (const Token& token : tokens) {
        if (pattern.substr(i).starts_with(token.name)) {
          text += token.value;
          i += token.name.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) text += pattern[i++];
  }
  return text;
}

}  // namespace tessor
