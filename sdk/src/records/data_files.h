// Where the delivered data files (temperature tables, palettes) are found.
//
// A program run from the build tree, or shipped in one folder with its files, finds them
// beside itself; an installed program finds them in the installed data folder. The folder
// beside the program is asked first, so a build tree never picks up an older installed copy.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace irdex::records {

// The folders asked, in order: the running program's own folder, the folder named by the
// environment variable IRDEX_DATA_DIR when it is set (for an interpreter such as Python, whose
// program folder is not the suite's), then the installed data folder. A folder that cannot be
// known (no /proc) is left out.
std::vector<std::filesystem::path> dataFolders();

// The first `folder / name` that is a regular file; empty when none is.
std::filesystem::path findDataFile(std::string_view name,
                                   const std::vector<std::filesystem::path>& folders);

// findDataFile over dataFolders().
std::filesystem::path findDataFile(std::string_view name);

}  // namespace irdex::records
