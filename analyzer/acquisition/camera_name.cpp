#include "acquisition/camera_name.h"

#include "discovery/core/names_file.h"
#include "discovery/core/neighbour_table.h"

#include <fstream>
#include <sstream>

namespace solvane {

std::string cameraNameFor(std::string_view ip, const std::filesystem::path& neighbourTable,
                          const std::filesystem::path& namesFile) {
  std::ifstream in(neighbourTable);
  if (!in) return kDefaultCameraName;
  std::stringstream table;
  table << in.rdbuf();
  const auto mac = discovery::macFromNeighbourTable(table.str(), ip);
  if (!mac) return kDefaultCameraName;
  const auto names = discovery::readNamesFile(namesFile);
  if (!names) return kDefaultCameraName;
  const auto* record = discovery::findStoredName(names->records, *mac);
  if (!record || record->name.empty()) return kDefaultCameraName;
  return record->name;
}

}  // namespace solvane
