// Colour-scheme files come from anywhere: the reader must take any bytes, keep the pegs
// sorted and inside the bar, and leave a gradient that still makes a whole table and
// writes back out.
#include <cstddef>
#include <cstdint>
#include <span>

#include "palette/colour_scheme_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tessor::CGradient gradient;
  const auto outcome =
      tessor::readColourScheme(std::span<const std::uint8_t>(data, size), gradient);
  if (!outcome.ok && outcome.error.empty()) __builtin_trap();
  float previous = 0.0f;
  for (const tessor::CPeg& peg : gradient.pegs()) {
    if (!(peg.position >= previous && peg.position <= 1.0f)) __builtin_trap();
    previous = peg.position;
  }
  if (gradient.makeEntries(256).size() != 768) __builtin_trap();
  (void)tessor::writeColourScheme(gradient);
  return 0;
}
