// The report program's session file: whatever bytes are on disk, reading them never crashes.
#include "session_store.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pagana::parseSession(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
