// Cameras of the first generation (header version below 17) send their 512-byte header in
// an older arrangement; the receiver moves it into the arrangement every other part reads.
#pragma once

#include <cstdint>

namespace irdex::link {

inline constexpr uint8_t kFirstGenerationLastVersion = 16;

// Rearranges `header` (512 bytes, as received) in place.
void rearrangeFirstGenerationHeader(uint8_t* header);

}  // namespace irdex::link
