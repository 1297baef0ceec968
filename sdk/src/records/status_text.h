// The texts of the status codes: the library's own English texts, and the "ERROR : ..."
// texts both programs show to the user.
#pragma once

#include <cstdint>
#include <string>

namespace irdex::status {

// Callers read a result as a signed 16-bit number in a 32-bit integer; the upper bits carry
// nothing.
inline int16_t codeOf(int32_t result) { return static_cast<int16_t>(result & 0xFFFF); }

// The library's English text of a code; "No code." for a code it has no text for.
const char* libraryText(int32_t code);

// The text a program shows for a result: "ERROR : ..." from the table, or
// "ERROR : UNKNOWN <code>" for a code without one. Success has no message (empty).
std::string programMessage(int32_t result);

}  // namespace irdex::status
