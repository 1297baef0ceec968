// The pages of the environment dialog for the keys no other dialog edits: "General"
// (temperature unit, marker and mouse temperatures, time stamp, camera name, reconnection,
// object log period), "Labels" (the object labels' font and colours, with a preview) and
// "Image" (the AGC input and output methods and their parameters).
#pragma once

#include "settings/ui/environment_dlg.h"

namespace solvane::settings {

void addGeneralPages(CEnvironmentDlg& dialog);

}  // namespace solvane::settings
