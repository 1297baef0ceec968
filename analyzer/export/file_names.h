// Names of the automatically named export files: SAVE PATH, the camera name, a kind tag and
// the local date and time.
#pragma once

#include <ctime>
#include <string>

namespace solvane::exports {

enum class ExportKind {
  Snapshot,           // "_IR_", .jpg
  TemperatureMap,     // "_TM_", .csv
  ObjectLog,          // "_Object_", .csv
  AlarmObjectLog,     // "_AlarmObj_", .csv
  ScheduleObjectLog,  // "_ShedObj_", .csv
  StreamRaw,          // "_IRS_", .hxr
  StreamMovie,        // "_IRS_", .avi
};

// "<save path>/<camera>_<tag>_YYYYMMDDhhmmss.<ext>" for the given local time. A "/" in the
// camera name becomes "_", so a name can never send the file into another folder.
std::string exportFileName(const std::string& savePath, const std::string& cameraName,
                           ExportKind kind, const std::tm& localTime);

// The local time now, for naming.
std::tm localTimeNow();

}  // namespace solvane::exports
