// An 8-bit RGB PNG of a composed picture.
#pragma once

#include "frame_conversion.h"

#include <string>

namespace irdexcli {

// Writes the picture (0xAARRGGBB pixels) to `path` as it stands; throws a run error when it
// cannot be written.
void writePng(const std::string& path, const Picture& picture);

}  // namespace irdexcli
