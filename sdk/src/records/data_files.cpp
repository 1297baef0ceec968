#include "records/data_files.h"

#include <cstdlib>
#include <system_error>

// Set by the build to the installed data folder of the configured prefix.
#ifndef IRDEX_INSTALL_DATA_DIR
#error "IRDEX_INSTALL_DATA_DIR must name the installed data folder"
#endif

namespace irdex::records {

std::vector<std::filesystem::path> dataFolders() {
  std::vector<std::filesystem::path> folders;
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) folders.push_back(program.parent_path());
  if (const char* chosen = std::getenv("IRDEX_DATA_DIR"); chosen && *chosen) {
    folders.emplace_back(chosen);
  }
  folders.emplace_back(IRDEX_INSTALL_DATA_DIR);
  return folders;
}

std::filesystem::path findDataFile(std::string_view name,
                                   const std::vector<std::filesystem::path>& folders) {
  // A name with a folder part could climb out of the data folders.
  const std::filesystem::path file(name);
  if (file.empty() || file.has_parent_path() || file.is_absolute()) return {};
  for (const auto& folder : folders) {
    std::error_code error;
    const std::filesystem::path candidate = folder / file;
    if (std::filesystem::is_regular_file(candidate, error)) return candidate;
  }
  return {};
}

std::filesystem::path findDataFile(std::string_view name) {
  return findDataFile(name, dataFolders());
}

}  // namespace irdex::records
