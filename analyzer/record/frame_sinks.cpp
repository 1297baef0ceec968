#include "record/frame_sinks.h"

namespace solvane::record {

uint32_t fourccOf(const std::string& code) {
  uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const uint8_t c = i < code.size() ? static_cast<uint8_t>(code[i]) : uint8_t{' '};
    value |= static_cast<uint32_t>(c) << (8 * i);
  }
  return value;
}

}  // namespace solvane::record
