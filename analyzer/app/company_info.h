// The analyzer's names for the shared company file.
#pragma once

#include "desktop/company_info.h"

namespace solvane {

using desktop::CompanyInfo;
using desktop::kCompanyFileMissing;
using desktop::kCompanyFileName;
using desktop::kLogoFileName;
using desktop::readCompanyFile;

}  // namespace solvane
