// A coloured stop of a gradient, and the colour word the camera programs use for it.
#pragma once

#include <cstdint>

namespace tessor {

// Red in the low byte, then green, then blue: the colour word stored in colour-scheme files.
using ColourRef = uint32_t;

constexpr ColourRef makeColour(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<ColourRef>(red) | (static_cast<ColourRef>(green) << 8) |
         (static_cast<ColourRef>(blue) << 16);
}
constexpr uint8_t redOf(ColourRef c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t greenOf(ColourRef c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t blueOf(ColourRef c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

class CPeg {
 public:
  // Every peg made takes a fresh id from one program-wide counter; copies keep the id.
  CPeg();
  CPeg(ColourRef colour, float position);

  ColourRef colour = 0;
  float position = 0.0f;
  uint32_t id = 0;

  // The id the next peg made will get (for tests that watch ids advance).
  static uint32_t peekNextId();
};

}  // namespace tessor
