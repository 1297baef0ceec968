// The C boundary: an export never lets an exception reach its C caller.
#pragma once

#include <irdex.h>

namespace irdex {

// Runs an export's body; anything thrown (an allocation that failed, above all) becomes
// `onFailure`.
template <typename Body>
SdkStatus guarded(Body&& body, SdkStatus onFailure = SDK_ERR_BUFFER) noexcept {
  try {
    return body();
  } catch (...) {
    return onFailure;
  }
}

}  // namespace irdex
