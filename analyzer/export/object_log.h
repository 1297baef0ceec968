// The CSV object log: one header line naming the selected objects, then one line of their
// statistics per logged frame. Alarms and schedules keep logs of their own kind.
#pragma once

#include "export/file_names.h"

#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <vector>

namespace solvane::exports {

// Spots log one temperature; every other shape logs minimum, maximum, average and deviation.
enum class ObjectKind { Spot, Area };

// One object's results of one measurement pass, as the measurement code hands them over.
struct ObjectStatistics {
  int32_t id = 0;
  std::string name;
  ObjectKind kind = ObjectKind::Spot;
  float temperature = 0;                                       // spots
  float minimum = 0, maximum = 0, average = 0, deviation = 0;  // areas
};

// At most this many spots and this many other objects go into one log.
inline constexpr std::size_t kMaxSelectedPerKind = 30;

// The objects chosen in "Select Object", spots and areas in the order chosen.
class ObjectSelection {
 public:
  // False (and nothing changes) when the object is already chosen or its kind is full.
  bool add(int32_t id, std::string name, ObjectKind kind);
  bool remove(int32_t id);
  bool contains(int32_t id) const;
  bool empty() const { return spots_.empty() && areas_.empty(); }
  std::size_t count(ObjectKind kind) const;

  struct Entry {
    int32_t id;
    std::string name;
  };
  const std::vector<Entry>& spots() const { return spots_; }
  const std::vector<Entry>& areas() const { return areas_; }

 private:
  std::vector<Entry> spots_;
  std::vector<Entry> areas_;
};

// "Time,", each spot's name and ",", each area's "<name>[Min],<name>[Max],<name>[Aver],
// <name>[Std],", then "\n".
std::string objectLogHeader(const ObjectSelection& selection);

// The local time "MM/DD/YYYY hh:mm:ss:mmm," then the selected spots' "%.2f," and the areas'
// four "%.2f,", the last value ending in "\n". A selected object missing from `results`
// (deleted meanwhile) logs zeros, so the columns stay under their header.
std::string objectLogLine(const ObjectSelection& selection,
                          std::span<const ObjectStatistics> results, const std::tm& localTime,
                          int milliseconds);

// The local time a log line carries, to the millisecond.
struct LogTime {
  std::tm local{};
  int milliseconds = 0;
};
LogTime logTimeNow();

enum class LogOutcome {
  Started,
  NothingSelected,
  CannotCreate,
  Appended,
  NotDue,
  NotRunning,
  WriteFailed
};

// One running log: started with its selection, fed every measurement pass.
class ObjectLog {
 public:
  // The file name's kind: ObjectLog, AlarmObjectLog or ScheduleObjectLog.
  explicit ObjectLog(ExportKind kind = ExportKind::ObjectLog) : kind_(kind) {}

  // Names the file, writes the header (appending, as the file may already exist) and
  // starts the log; nothing is written when nothing is selected.
  LogOutcome start(const std::string& savePath, const std::string& cameraName,
                   ObjectSelection selection, const std::tm& localTime);
  void stop() { running_ = false; }
  bool running() const { return running_; }
  const std::string& path() const { return path_; }

  // One measurement pass: every `objectFrame`-th pass appends a line (the file is reopened
  // each time, so another program may read it while the log runs).
  LogOutcome onMeasurementPass(std::span<const ObjectStatistics> results, int objectFrame,
                               const std::tm& localTime, int milliseconds);

 private:
  ExportKind kind_;
  ObjectSelection selection_;
  std::string path_;
  bool running_ = false;
  int lineCounter_ = 0;
};

}  // namespace solvane::exports
