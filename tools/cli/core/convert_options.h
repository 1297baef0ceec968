// Options shared by the subcommands that write frames: the measurement parameters and the
// picture's palette and window.
#pragma once

#include "arguments.h"
#include "frame_conversion.h"

#include <vector>

namespace irdexcli {

std::vector<OptionRule> environmentOptions();
std::vector<OptionRule> renderOptions();
EnvOverrides environmentFrom(const Arguments& args);
RenderOptions renderFrom(const Arguments& args);

}  // namespace irdexcli
