// Faults a test can ask the camera for, as text ("--fault close-after:10") or as values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace irsim {

struct Fault {
  enum class Kind {
    CloseAfterFrames,  // close-after:N       close the connection after N frames
    CloseMidPacket,    // close-mid:N         after N frames send half of the next, then close
    ForeignBytes,      // foreign:N[:BYTES]   BYTES (16) foreign bytes before the N-th packet
    Nak,               // nak:REASON[:ID]     refuse commands (or setting ID only) with REASON
    Stall,             // stall:N[:MS]        after N frames send nothing for MS ms (0: ever)
    SlowLink,          // slow:BYTES_PER_S    trickle everything out at that rate
    UnsupportedModel,  // bad-model           a header whose model no program knows
  };
  Kind kind = Kind::CloseAfterFrames;
  uint32_t count = 0;
  uint32_t bytes = 16;
  int16_t reason = 1;
  uint16_t settingId = 0;  // 0: every command the camera would accept
  uint32_t durationMs = 0;
  uint32_t bytesPerSecond = 0;
};

bool parseFault(std::string_view text, Fault& fault, std::string* error);
std::string describeFault(const Fault& fault);

}  // namespace irsim
