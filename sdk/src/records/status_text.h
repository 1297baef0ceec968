// The library's own English texts of the status codes (the "ERROR : ..." texts the programs
// show are the programs' own, in common/bytes).
#pragma once

#include <cstdint>

namespace irdex::status {

// Callers read a result as a signed 16-bit number in a 32-bit integer; the upper bits carry
// nothing.
inline int16_t codeOf(int32_t result) { return static_cast<int16_t>(result & 0xFFFF); }

// The library's English text of a code; "No code." for a code it has no text for.
const char* libraryText(int32_t code);

}  // namespace irdex::status
