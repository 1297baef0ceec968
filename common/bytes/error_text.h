// The "ERROR : ..." texts the programs show for a library status.
#pragma once

#include <cstdint>
#include <string>

namespace bytes {

// "ERROR : ..." of the table, or "ERROR : UNKNOWN <code>" for a code without a text; empty
// for success. The result is read as a signed 16-bit code in a 32-bit integer.
std::string errorText(int32_t result);

}  // namespace bytes
