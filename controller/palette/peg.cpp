#include "palette/peg.h"

#include <atomic>

namespace tessor {

namespace {
// Ids are never reused for the life of the program, whichever thread makes the peg.
std::atomic<uint32_t>& idCounter() {
  static std::atomic<uint32_t> counter{0};
  return counter;
}
uint32_t takeId() { return idCounter().fetch_add(1, std::memory_order_relaxed); }
}  // namespace

CPeg::CPeg() : id(takeId()) {}
CPeg::CPeg(ColourRef colourValue, float positionValue)
    : colour(colourValue), position(positionValue), id(takeId()) {}

uint32_t CPeg::peekNextId() { return idCounter().load(std::memory_order_relaxed); }

}  // namespace tessor
