// The report program's session file: whatever bytes are on disk, reading them never crashes,
// and what was read is written and read back as the same session (a day's texts survive
// being saved again).
#include "session_store.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const pagana::SessionRead read =
      pagana::parseSession(std::string_view(reinterpret_cast<const char*>(data), size));
  if (read.error != pagana::SessionReadError::None) return 0;
  const pagana::SessionRead again = pagana::parseSession(pagana::encodeSession(read.session));
  if (again.error != pagana::SessionReadError::None || !(again.session == read.session))
    __builtin_trap();
  return 0;
}
