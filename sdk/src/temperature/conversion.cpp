#include "temperature/conversion.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <new>

#include "temperature/count_lookup.h"

namespace irdex::temperature {

namespace {

// Constants of the radiance model: the second radiation constant (um K), the detector's
// effective wavelength (um) and its offset; the double forms are the single-precision
// constants widened, as the cameras compute them.
constexpr float kC2 = 14387.752f;
constexpr float kWavelength = 9.364f;
constexpr float kKelvinOffset = 273.15f;
constexpr float kWavelengthOffset = 178.4f;
constexpr double kC2Wide = 14387.751953125;
constexpr double kWavelengthWide = 9.36400032043457;
constexpr double kOffsetOverWavelength = 19.051685333251953;
constexpr double kKelvinOffsetWide = 273.1499938964844;
constexpr float kReferenceEmissivity = 0.95f;

// Built-in KS lines: counts 2000 .. 14000 span -30 .. 130 (low) and -10 .. 660 (high).
constexpr int kBuiltInFirstCount = 2000;
constexpr int kBuiltInLastCount = 14000;

struct BuiltInLine {
  float slope, offset, below, above, floor, ceiling;
};
constexpr BuiltInLine kLowLine{0.013333334f, 30.0f, -30.1f, 130.1f, -30.0f, 130.0f};
constexpr BuiltInLine kHighLine{0.055833332f, 10.0f, -10.1f, 660.1f, -10.0f, 660.0f};

class BuiltInTables {
 public:
  BuiltInTables() {
    fill(low_, kLowLine);
    fill(high_, kHighLine);
  }
  const float* low() const { return low_.data(); }
  const float* high() const { return high_.data(); }

 private:
  static void fill(std::array<float, kTableEntries>& table, const BuiltInLine& line) {
    for (int i = 0; i < kTableEntries; ++i) {
      float value;
      if (i < kBuiltInFirstCount) {
        value = line.below;
      } else if (i > kBuiltInLastCount) {
        value = line.above;
      } else {
        value = static_cast<float>(i - kBuiltInFirstCount) * line.slope - line.offset;
      }
      if (value < line.floor) value = line.floor;
      if (value > line.ceiling) value = line.ceiling;
      table[static_cast<std::size_t>(i)] = value;
    }
  }
  std::array<float, kTableEntries> low_;
  std::array<float, kTableEntries> high_;
};

const BuiltInTables& builtInTables() {
  static const BuiltInTables tables;
  return tables;
}

// The tables are ready before any export can be called.
[[maybe_unused]] const bool kBuiltInTablesReady = (builtInTables(), true);

}  // namespace

int32_t truncToInt32(float value) {
  // 2^31 is exact in float; anything at or beyond it (or NaN) has no 32-bit value.
  if (!(value >= -2147483648.0f && value < 2147483648.0f)) return 0;
  return static_cast<int32_t>(value);
}

int tableIndex(float value) {
  const int32_t index = truncToInt32(value);
  if (index > kTableEntries - 1) return kTableEntries - 1;
  if (index < 0) return 0;
  return index;
}

uint16_t reflectionCount(const float* table, float ta) {
  for (int i = 0; i < kTableEntries; ++i) {
    if (table[i] > ta) {
      const auto count = static_cast<uint16_t>(i - 1);
      return count == 0 ? uint16_t{65535} : count;
    }
  }
  return 65535;
}

Gain gainFor(uint8_t model, const EnvParams& params, const float* table) {
  const bool kt = model == 1;
  const float bias = kt ? 0.05f : 0.0f;
  Gain result;
  result.gain = (params.emissivity + bias) * params.transmission;
  result.reflected = kt ? params.atmosphericTemp
                        : static_cast<float>(reflectionCount(table, params.atmosphericTemp));
  return result;
}

int countSpaceIndex(uint16_t count, const Gain& gain) {
  const float corrected =
      (static_cast<float>(count) + (gain.gain - 1.0f) * gain.reflected) / gain.gain;
  return tableIndex(corrected);
}

float countSpaceTemp(uint16_t count, const Gain& gain, const float* table) {
  return table[countSpaceIndex(count, gain)];
}

float temperatureCodeTemp(uint16_t count, uint8_t rangeIndex, const Gain& gain) {
  const double step = rangeIndex == 1 ? 0.1 : 0.01;
  const double t0 = count * step - 30.0;
  const float reflected = (gain.gain - 1.0f) * gain.reflected;
  return static_cast<float>((t0 + reflected) / gain.gain);
}

float builtInTemp(uint16_t count, uint8_t rangeIndex) {
  const bool high = rangeIndex == 1;
  if (count < kBuiltInFirstCount) return high ? -11.0f : -31.0f;
  if (count > kBuiltInLastCount) return high ? 661.0f : 131.0f;
  return builtInTableFor(rangeIndex)[count];
}

const float* builtInLowTable() { return builtInTables().low(); }
const float* builtInHighTable() { return builtInTables().high(); }

float radianceTerm(float celsius) {
  const float scaled = (celsius + kKelvinOffset) * kWavelength + kWavelengthOffset;
  const float exponent = kC2 / scaled;
  return static_cast<float>(1.0 / (std::exp(static_cast<double>(exponent)) - 1.0));
}

float temperatureFromRadianceSum(float s) {
  return static_cast<float>(kC2Wide / (std::log(static_cast<double>(s)) * kWavelengthWide) -
                            kOffsetOverWavelength - kKelvinOffsetWide);
}

float radianceCorrection(float t0, const EnvParams& params) {
  const float r = params.emissivity * params.transmission;
  const float reflected = radianceTerm(params.atmosphericTemp) * ((r - kReferenceEmissivity) / r);
  const float object = radianceTerm(t0) * (kReferenceEmissivity / r);
  const float s = 1.0f / (reflected + object) + 1.0f;
  return temperatureFromRadianceSum(s);
}

float inverseRadianceCorrection(float t, const EnvParams& params) {
  const float r = params.emissivity * params.transmission;
  const float seen =
      (r * radianceTerm(t) - radianceTerm(params.atmosphericTemp) * (r - kReferenceEmissivity)) /
      kReferenceEmissivity;
  const float s = 1.0f / seen + 1.0f;
  return temperatureFromRadianceSum(s);
}

bool isDefaultParams(const EnvParams& params) {
  return truncToInt32(params.emissivity * 100.0f) == 95 &&
         truncToInt32(params.atmosphericTemp * 100.0f) == 2000 &&
         truncToInt32(params.transmission * 100.0f) == 100;
}

PixelConverter::PixelConverter(const IRFrame& frame, const EnvParams& params, const float* table,
                               BuiltInCorrection correction)
    : generation_(generationOf(IRFrameVersion(&frame))),
      rangeIndex_(IRFrameRangeIndex(&frame)),
      params_(params),
      table_(table),
      correctBuiltIn_(correction == BuiltInCorrection::kAlways || !isDefaultParams(params)) {
  if (generation_ == Generation::kFirst || generation_ == Generation::kKt)
    gain_ = gainFor(IRFrameModel(&frame), params, table);
}

float PixelConverter::direct(uint16_t count) const {
  switch (generation_) {
    case Generation::kFirst: return countSpaceTemp(count, gain_, table_);
    case Generation::kKt: return temperatureCodeTemp(count, rangeIndex_, gain_);
    case Generation::kKsBuiltIn: {
      if (correctedBuiltIn_) return (*correctedBuiltIn_)(count);
      const float t0 = builtInTemp(count, rangeIndex_);
      return correctBuiltIn_ ? radianceCorrection(t0, params_) : t0;
    }
    case Generation::kKsCalibrated: break;
  }
  return kMissingTemperature;
}

namespace {

// Everything a converter's per-count result depends on besides the count (and, for the
// first generation, the caller's table). Floats are compared by their bits, so a changed
// parameter always rebuilds and NaN parameters never match stale tables by accident.
struct CountTableKey {
  uint32_t generation, rangeIndex, correct, gain, reflected, emissivity, atmosphere, transmission;
  bool operator==(const CountTableKey&) const = default;
};

uint32_t bitsOf(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

struct CountTableCache {
  bool valid = false;
  CountTableKey key{};
  std::shared_ptr<const CountTables> tables;
};

// Per thread, so cameras served by different threads never wait for each other; a converter
// holds its own reference, so a rebuild never pulls a table from under it.
thread_local CountTableCache lastCountTables;

// First generation: the caller's table read through the count indexes, with the copy of the
// table it was read from. A whole frame compares the table once instead of reading it twice
// per pixel.
struct ComposedCache {
  std::shared_ptr<const CountTables> indexes;
  std::vector<float> tableCopy;
  std::shared_ptr<const std::vector<float>> values;
};
thread_local ComposedCache lastComposed;

}  // namespace

void PixelConverter::expectConversions(int64_t uses) {
  if (generation_ == Generation::kKsCalibrated || countTables_) return;
  if (uses >= kCountTableMinUses) {
    const bool builtIn = generation_ == Generation::kKsBuiltIn;
    const bool countSpace = generation_ == Generation::kFirst;
    const CountTableKey key{static_cast<uint32_t>(generation_),
                            rangeIndex_,
                            builtIn && correctBuiltIn_,
                            builtIn ? 0u : bitsOf(gain_.gain),
                            builtIn ? 0u : bitsOf(gain_.reflected),
                            builtIn && correctBuiltIn_ ? bitsOf(params_.emissivity) : 0u,
                            builtIn && correctBuiltIn_ ? bitsOf(params_.atmosphericTemp) : 0u,
                            builtIn && correctBuiltIn_ ? bitsOf(params_.transmission) : 0u};
    CountTableCache& cache = lastCountTables;
    if (!cache.valid || !(cache.key == key)) {
      try {
        auto tables = std::make_shared<CountTables>();
        if (countSpace) {
          tables->indexes.resize(kTableEntries);
          for (int n = 0; n < kTableEntries; ++n)
            tables->indexes[static_cast<std::size_t>(n)] =
                static_cast<uint16_t>(countSpaceIndex(static_cast<uint16_t>(n), gain_));
        } else {
          tables->values.resize(kTableEntries);
          // The correction is a pure function of the uncorrected temperature, so a run of
          // equal inputs (the out-of-range counts) is corrected once.
          float lastInput = 0.0f;
          float lastOutput = 0.0f;
          bool haveLast = false;
          for (int n = 0; n < kTableEntries; ++n) {
            const auto count = static_cast<uint16_t>(n);
            float value;
            if (builtIn && correctBuiltIn_) {
              const float t0 = builtInTemp(count, rangeIndex_);
              if (!haveLast || bitsOf(t0) != bitsOf(lastInput)) {
                lastInput = t0;
                lastOutput = radianceCorrection(t0, params_);
                haveLast = true;
              }
              value = lastOutput;
            } else {
              value = direct(count);
            }
            tables->values[static_cast<std::size_t>(n)] = value;
          }
        }
        cache.tables = std::move(tables);
        cache.key = key;
        cache.valid = true;
      } catch (const std::bad_alloc&) {
        cache = CountTableCache{};
      }
    }
    if (cache.valid) {
      countTables_ = cache.tables;
      if (countSpace) {
        countIndexes_ = countTables_->indexes.data();
        composeFirstGeneration();
      } else {
        countValues_ = countTables_->values.data();
      }
      return;
    }
  }
  if (generation_ != Generation::kKsBuiltIn || !correctBuiltIn_ || correctedBuiltIn_) return;
  if (!CorrectedCounts::worthFor(kBuiltInFirstCount, kBuiltInLastCount, uses)) return;
  correctedBuiltIn_ = CorrectedCounts::make(
      kBuiltInFirstCount, kBuiltInLastCount, builtInTemp(kBuiltInFirstCount - 1, rangeIndex_),
      builtInTemp(kBuiltInLastCount + 1, rangeIndex_), builtInTableFor(rangeIndex_), params_);
}

void PixelConverter::composeFirstGeneration() {
  ComposedCache& cache = lastComposed;
  const std::size_t bytes = sizeof(float) * kTableEntries;
  if (cache.indexes != countTables_ || cache.tableCopy.size() != kTableEntries ||
      std::memcmp(cache.tableCopy.data(), table_, bytes) != 0) {
    try {
      cache = ComposedCache{};
      auto values = std::make_shared<std::vector<float>>(kTableEntries);
      for (int n = 0; n < kTableEntries; ++n)
        (*values)[static_cast<std::size_t>(n)] = table_[countIndexes_[n]];
      cache.tableCopy.assign(table_, table_ + kTableEntries);
      cache.values = std::move(values);
      cache.indexes = countTables_;
    } catch (const std::bad_alloc&) {
      cache = ComposedCache{};
      return;  // the indexes alone still serve
    }
  }
  composedValues_ = cache.values;
  countValues_ = composedValues_->data();
}

void PixelConverter::convertAll(const uint16_t* counts, int64_t n, float* out) const {
  if (countValues_) {
    lookUpCounts(counts, n, countValues_, out);
  } else if (countIndexes_) {
    const uint16_t* indexes = countIndexes_;
    const float* table = table_;
    for (int64_t k = 0; k < n; ++k) out[k] = table[indexes[counts[k]]];
  } else {
    for (int64_t k = 0; k < n; ++k) out[k] = direct(counts[k]);
  }
}

std::optional<CorrectedCounts> CorrectedCounts::make(int first, int last, float below, float above,
                                                     const float* table, const EnvParams& params) {
  CorrectedCounts result;
  result.first_ = first;
  result.last_ = last;
  result.below_ = radianceCorrection(below, params);
  result.above_ = radianceCorrection(above, params);
  try {
    result.values_.resize(static_cast<std::size_t>(last >= first ? last - first + 1 : 0));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  for (std::size_t k = 0; k < result.values_.size(); ++k)
    result.values_[k] = radianceCorrection(table[first + static_cast<int>(k)], params);
  return result;
}

uint16_t neighbourhoodMean(const uint16_t* pixels, int width, int height, int x, int y) {
  const auto at = [&](int px, int py) {
    return pixels[static_cast<std::ptrdiff_t>(width) * py + px];
  };
  const uint32_t centre = at(x, y);
  uint32_t sum = 0;
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const int nx = x + dx;
      const int ny = y + dy;
      const bool inside = nx >= 0 && nx < width && ny >= 0 && ny < height;
      sum += inside ? at(nx, ny) : centre;
    }
  }
  return static_cast<uint16_t>(sum / 9);
}

}  // namespace irdex::temperature
