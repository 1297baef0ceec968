#include "export/file_names.h"

#include <algorithm>
#include <cstdio>

namespace solvane::exports {
namespace {

struct KindName {
  const char* tag;
  const char* extension;
};

KindName nameOf(ExportKind kind) {
  switch (kind) {
    case ExportKind::Snapshot: return {"IR", "jpg"};
    case ExportKind::TemperatureMap: return {"TM", "csv"};
    case ExportKind::ObjectLog: return {"Object", "csv"};
    case ExportKind::AlarmObjectLog: return {"AlarmObj", "csv"};
    case ExportKind::ScheduleObjectLog: return {"ShedObj", "csv"};
    case ExportKind::StreamRaw: return {"IRS", "hxr"};
    case ExportKind::StreamMovie: return {"IRS", "avi"};
  }
  return {"IR", "jpg"};
}

}  // namespace

std::string exportFileName(const std::string& savePath, const std::string& cameraName,
                           ExportKind kind, const std::tm& localTime) {
  const KindName name = nameOf(kind);
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", localTime.tm_year + 1900,
                localTime.tm_mon + 1, localTime.tm_mday, localTime.tm_hour, localTime.tm_min,
                localTime.tm_sec);
  std::string camera = cameraName;
  std::replace(camera.begin(), camera.end(), '/', '_');
  std::string path = savePath;
  if (path.empty() || path.back() != '/') path += '/';
  return path + camera + "_" + name.tag + "_" + stamp + "." + name.extension;
}

std::tm localTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

}  // namespace solvane::exports
