// The CSV temperature map of one frame: H lines of W temperatures in degrees Celsius.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace solvane::exports {

// The map's text: each value "%.2f", "," between values, "\n" after the last of a row.
// Empty when `temperatures` holds fewer than width x height values.
std::string formatTemperatureMap(std::span<const float> temperatures, int width, int height);

enum class TempMapOutcome {
  Written,
  AlreadyExists,  // a map of that name exists: a second export within the same second
  CannotCreate,   // "Failed to create a file!!"
  WriteFailed,    // the disk refused the bytes; the partial file is removed
  NoFrame,        // nothing to convert
};

inline constexpr const char* kFailedToCreateFile = "Failed to create a file!!";

// Creates the file only if no file of that name exists (checked and created in one step,
// so two exports racing for the same name leave one file) and writes the map.
TempMapOutcome writeTemperatureMap(const std::string& path, std::span<const float> temperatures,
                                   int width, int height);

// Runs each export in a short-lived thread of its own and keeps the threads, so none
// outlives the exporter: the destructor waits for every running export.
class TemperatureMapExporter {
 public:
  // Gives the frame's temperatures (width x height values); runs on the export thread.
  using Conversion = std::function<std::vector<float>()>;
  using Done = std::function<void(const std::string& path, TempMapOutcome)>;

  explicit TemperatureMapExporter(Done done = {}) : done_(std::move(done)) {}
  ~TemperatureMapExporter();
  TemperatureMapExporter(const TemperatureMapExporter&) = delete;
  TemperatureMapExporter& operator=(const TemperatureMapExporter&) = delete;

  void start(std::string path, int width, int height, Conversion conversion);
  // Waits for every export started so far.
  void waitAll();

 private:
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> finished;
  };
  // Joins the workers that have finished, so a long series does not pile up threads.
  void reapFinished();

  Done done_;
  std::mutex mutex_;  // guards workers_
  std::vector<Worker> workers_;
};

}  // namespace solvane::exports
