// Raw count to temperature for every camera generation: the table method (first
// generation), temperature codes (KT family), the KS built-in tables, and the radiance
// correction for emissivity, atmosphere and transmission.
//
// Users compare these numbers with other tools to the last digit, so every function here
// rounds exactly where the camera makers' rules round: single precision unless a comment
// says double.
#pragma once

#include "records/camera_generation.h"

#include <irdex.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace irdex::temperature {

inline constexpr int kTableEntries = 65536;
// Returned by the temperature-valued exports for a missing pointer.
inline constexpr float kMissingTemperature = -1000.0f;

// Generation of a frame, from its header version.
using camera::Generation;
using camera::generationOf;

// A float used as a table index: truncated toward zero; NaN and values outside the 32-bit
// signed range count as below 0 (index 0); the rest is limited to 0 .. 65535.
int tableIndex(float value);
// A float truncated toward zero as a 32-bit integer; NaN and out-of-range values give 0.
int32_t truncToInt32(float value);

// First index whose entry exceeds `ta`, minus one, as an unsigned 16-bit count; 0 and
// "none exceeds" both give 65535.
uint16_t reflectionCount(const float* table, float ta);

// Gain and reflected term of versions 0 to 31.
struct Gain {
  float gain;       // (emissivity + bias) x transmission
  float reflected;  // atmospheric temperature (KT family) or the reflection count
};
// `table` is scanned only when the reflected term is the reflection count (model other
// than 1).
Gain gainFor(uint8_t model, const EnvParams& params, const float* table);

// Version 0 to 16: the correction in count space, then the table entry.
float countSpaceTemp(uint16_t count, const Gain& gain, const float* table);
// The table entry that countSpaceTemp reads for `count`.
int countSpaceIndex(uint16_t count, const Gain& gain);
// Version 17 to 31: the count is a temperature code.
float temperatureCodeTemp(uint16_t count, uint8_t rangeIndex, const Gain& gain);
// Version 32: the built-in table of the range with the out-of-range sentinels.
float builtInTemp(uint16_t count, uint8_t rangeIndex);

// The library's two built-in KS tables (65536 floats each), filled when it is loaded.
const float* builtInLowTable();
const float* builtInHighTable();
inline const float* builtInTableFor(uint8_t rangeIndex) {
  return rangeIndex == 1 ? builtInHighTable() : builtInLowTable();
}

// Planck-type radiance term P(T) of a temperature in degrees Celsius.
float radianceTerm(float celsius);
// The temperature whose radiance term gives S = 1 / P + 1.
float temperatureFromRadianceSum(float s);
// Corrects an uncorrected temperature for emissivity x transmission and the reflected
// atmosphere; identity (to float rounding) at 0.95 and 1.
float radianceCorrection(float t0, const EnvParams& params);
// The uncorrected temperature that the correction would turn into `t`.
float inverseRadianceCorrection(float t, const EnvParams& params);
// The analyzer's defaults 0.95 / 20 degrees / 1.0, compared in hundredths.
bool isDefaultParams(const EnvParams& params);

// Corrected temperatures by count, for conversions whose uncorrected temperature depends on
// the count alone: each distinct count is corrected once instead of once per pixel. The
// values are those of correcting pixel by pixel, bit for bit, as the correction is a pure
// function of its input.
class CorrectedCounts {
 public:
  // Counts below `first` read `below`, above `last` read `above`, the rest `table[count]`;
  // all corrected with `params`. Empty when the memory for it cannot be had.
  static std::optional<CorrectedCounts> make(int first, int last, float below, float above,
                                             const float* table, const EnvParams& params);
  // Whether `uses` conversions outnumber the counts a table would correct.
  static bool worthFor(int first, int last, int64_t uses) { return uses > last - first + 1; }

  float operator()(uint16_t count) const {
    if (count < first_) return below_;
    if (count > last_) return above_;
    return values_[static_cast<std::size_t>(count - first_)];
  }

 private:
  CorrectedCounts() = default;
  int first_ = 0;
  int last_ = -1;
  float below_ = 0.0f;
  float above_ = 0.0f;
  std::vector<float> values_;
};

// Every count's result under one set of conversion inputs, built by the per-pixel rule
// itself: a whole image then costs one table read per pixel instead of the arithmetic (two
// exponentials and a logarithm for corrected version 32). The first generation keeps the
// entry index per count, as its result also depends on the caller's table, which may change
// between calls.
struct CountTables {
  std::vector<float> values;      // versions 17 to 32
  std::vector<uint16_t> indexes;  // versions 0 to 16
};

// Converts the counts of one frame by its generation, with the gain and reflected term worked
// out once. Version 33 and above is not handled here (it reads the KS slot).
class PixelConverter {
 public:
  // Whether version 32 counts are corrected always (point and image exports) or only for
  // parameters other than the defaults (region statistics and the KS exports).
  enum class BuiltInCorrection { kAlways, kUnlessDefault };

  // `table` is read for versions 0 to 31 and may be null for version 32.
  PixelConverter(const IRFrame& frame, const EnvParams& params, const float* table,
                 BuiltInCorrection correction);
  float operator()(uint16_t count) const {
    if (countValues_) return countValues_[count];
    if (countIndexes_) return table_[countIndexes_[count]];
    return direct(count);
  }
  // The conversion without any per-count table.
  float direct(uint16_t count) const;
  Generation generation() const { return generation_; }
  // About to convert `uses` counts: switches to per-count tables when that is cheaper. The
  // tables of the last inputs are kept per thread, so a camera's frames with unchanged
  // parameters share them.
  void expectConversions(int64_t uses);
  // The temperature of every count when the converter reads per-count tables, else null.
  const float* countValues() const { return countValues_; }
  // Converts `n` counts into `out`.
  void convertAll(const uint16_t* counts, int64_t n, float* out) const;

 private:
  void composeFirstGeneration();

  Generation generation_;
  uint8_t rangeIndex_;
  EnvParams params_;
  const float* table_;
  Gain gain_{};
  bool correctBuiltIn_;
  std::optional<CorrectedCounts> correctedBuiltIn_;
  std::shared_ptr<const CountTables> countTables_;
  std::shared_ptr<const std::vector<float>> composedValues_;
  const float* countValues_ = nullptr;
  const uint16_t* countIndexes_ = nullptr;
};

// Images from this many pixels on are converted through per-count tables.
inline constexpr int64_t kCountTableMinUses = kTableEntries / 4;

// 3 x 3 mean of the counts around (x, y); neighbours outside the image count as the centre.
uint16_t neighbourhoodMean(const uint16_t* pixels, int width, int height, int x, int y);

}  // namespace irdex::temperature
