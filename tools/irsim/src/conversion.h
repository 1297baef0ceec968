// From scene temperatures to the raw counts a camera sends: the inverse of the conversion
// the suite applies to each camera kind with its default measurement parameters
// (emissivity 0.95, atmosphere 20 degrees, transmission 1), so that the suite measures the
// temperature the scene holds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "camera.h"

namespace irsim {

// The count-to-temperature tables of first-generation cameras: the files TempMapTable_L.bin
// (range 0) and TempMapTable_M.bin (range 1), 65536 little-endian floats each, or, where a
// file is missing or short, a built-in linear table (fallbackEntry).
class FirstGenerationTables {
 public:
  // Reads both files from `directory`; `notice` receives one line per table replaced by
  // the built-in one.
  static FirstGenerationTables load(const std::string& directory, std::string* notice);
  static FirstGenerationTables builtIn();
  // Range 0: -40 + 0.005 * count; range 1: -40 + 0.02 * count (degrees Celsius).
  static float fallbackEntry(int range, uint32_t count);

  const std::vector<float>& table(int range) const { return tables_[range == 1 ? 1 : 0]; }
  bool fromFile(int range) const { return fromFile_[range == 1 ? 1 : 0]; }

 private:
  std::array<std::vector<float>, 2> tables_;
  std::array<bool, 2> fromFile_{false, false};
};

class RawMapper {
 public:
  RawMapper(const CameraHeader& header, const FirstGenerationTables& tables);

  // The count the camera sends for a scene temperature (after its own drift, for KS cameras
  // that report a temperature offset).
  uint16_t countFor(float celsius) const;
  // The camera's own reading of a count, without any emissivity correction: what its
  // temperature table reports.
  float temperatureOf(uint16_t count) const;
  // KS cameras of version 33 and above: the count shift the suite adds back for the
  // temperature offset of header byte 118.
  int32_t driftShift() const { return driftShift_; }

 private:
  enum class Method { Table, TemperatureCode, KsBuiltIn, KsCalibrated };
  uint16_t tableCount(float celsius) const;

  Method method_ = Method::Table;
  const std::vector<float>* table_ = nullptr;
  uint16_t reflectionCount_ = 65535;
  double codeStep_ = 0.01;
  bool ksHigh_ = false;
  float minTemp_ = 0, maxTemp_ = 0, slope_ = 1;
  uint16_t minCount_ = 0, maxCount_ = 0;
  int32_t driftShift_ = 0;
};

}  // namespace irsim
