// The catalogue's data, built once by the catalogue's accessors.
#pragma once

#include <vector>

#include "camera/settings_catalogue.h"

namespace camera::detail {

std::vector<FieldEntry> buildFields();
std::vector<CommandEntry> buildCommands();

}  // namespace camera::detail
