// The library's debug channel, standing in for the debugger output: every text goes to the
// handler set with SetDebugOutputHandler, or to stderr when IRDEX_DEBUG is set.
#pragma once

#include <string_view>

namespace irdex::debug {

void output(std::string_view text);

}  // namespace irdex::debug
