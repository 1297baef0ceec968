// The analyzer's names for the shared settings store: its INI file is the "solvane" one.
#pragma once

#include "desktop/settings_store.h"

namespace solvane {

inline constexpr const char* kProfileApplication = "solvane";
using desktop::SettingsStore;

}  // namespace solvane
