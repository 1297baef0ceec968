#include "app/save_path.h"

#include <filesystem>
#include <system_error>

namespace solvane {

std::vector<std::string> savePathPrefixes(const std::string& path) {
  std::vector<std::string> prefixes;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] != '/') continue;
    if (i == 0 || path[i - 1] == ':' || path[i - 1] == '/') continue;
    prefixes.push_back(path.substr(0, i));
  }
  if (!path.empty() && (prefixes.empty() || prefixes.back() != path)) prefixes.push_back(path);
  return prefixes;
}

std::vector<std::string> ensureSavePath(const std::string& path) {
  std::vector<std::string> made;
  std::error_code error;
  if (path.empty() || std::filesystem::is_directory(path, error)) return made;
  for (const std::string& folder : savePathPrefixes(path)) {
    if (std::filesystem::create_directory(folder, error)) made.push_back(folder);
  }
  return made;
}

}  // namespace solvane
