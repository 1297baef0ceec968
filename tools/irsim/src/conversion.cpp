#include "conversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>

namespace irsim {

namespace {

constexpr size_t kTableEntries = 65536;
// The suite's default measurement parameters, at which the scene temperatures are read.
constexpr float kEmissivity = 0.95f;
constexpr float kAtmosphere = 20.0f;
// KS built-in lines: count 2000 .. 14000.
constexpr uint16_t kKsFirstCount = 2000;
constexpr uint16_t kKsLastCount = 14000;
constexpr float kKsLowStep = 0.013333334f;
constexpr float kKsHighStep = 0.055833332f;

uint16_t clampCount(long long n, long long low = 0, long long high = 65535) {
  return static_cast<uint16_t>(std::clamp(n, low, high));
}

}  // namespace

float FirstGenerationTables::fallbackEntry(int range, uint32_t count) {
  return range == 1 ? -40.0f + 0.02f * static_cast<float>(count)
                    : -40.0f + 0.005f * static_cast<float>(count);
}

FirstGenerationTables FirstGenerationTables::builtIn() {
  FirstGenerationTables tables;
  for (int range = 0; range < 2; ++range) {
    tables.tables_[range].resize(kTableEntries);
    for (uint32_t i = 0; i < kTableEntries; ++i) tables.tables_[range][i] = fallbackEntry(range, i);
  }
  return tables;
}

FirstGenerationTables FirstGenerationTables::load(const std::string& directory,
                                                  std::string* notice) {
  FirstGenerationTables tables = builtIn();
  const char* names[2] = {"TempMapTable_L.bin", "TempMapTable_M.bin"};
  for (int range = 0; range < 2; ++range) {
    const std::string path = directory + "/" + names[range];
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> raw(kTableEntries * 4);
    if (file)
      file.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()));
    if (!file || file.gcount() != static_cast<std::streamsize>(raw.size())) {
      if (notice) {
        *notice += "irsim: " + path + " missing or short; range " + std::to_string(range) +
                   " uses the built-in table (" +
                   (range == 1 ? "-40 + 0.02 x count" : "-40 + 0.005 x count") + " degrees C)\n";
      }
      continue;
    }
    std::vector<float>& table = tables.tables_[range];
    for (size_t i = 0; i < kTableEntries; ++i) {
      const uint32_t bits = static_cast<uint32_t>(raw[4 * i]) |
                            (static_cast<uint32_t>(raw[4 * i + 1]) << 8) |
                            (static_cast<uint32_t>(raw[4 * i + 2]) << 16) |
                            (static_cast<uint32_t>(raw[4 * i + 3]) << 24);
      float value;
      std::memcpy(&value, &bits, sizeof value);
      table[i] = value;
    }
    tables.fromFile_[range] = true;
  }
  return tables;
}

RawMapper::RawMapper(const CameraHeader& header, const FirstGenerationTables& tables) {
  const int range = header.rangeIndex();
  switch (header.family()) {
    case Family::FirstGeneration: {
      method_ = Method::Table;
      table_ = &tables.table(range);
      // The suite's reflection count: one below the first entry above the atmosphere
      // temperature, 65535 when there is none or that is 0.
      const auto& t = *table_;
      size_t i = 0;
      while (i < t.size() && !(t[i] > kAtmosphere)) ++i;
      const uint16_t r = i == t.size() ? 65535 : static_cast<uint16_t>(i - 1);
      reflectionCount_ = r == 0 ? 65535 : r;
      break;
    }
    case Family::KT:
      method_ = Method::TemperatureCode;
      codeStep_ = range == 1 ? 0.1 : 0.01;
      break;
    case Family::KS:
      if (header.version() == 32) {
        method_ = Method::KsBuiltIn;
        ksHigh_ = range == 1;
        break;
      }
      method_ = Method::KsCalibrated;
      if (auto cal = header.calibratedRange(range)) {
        minTemp_ = static_cast<float>(cal->minTenths) / 10.0f;
        maxTemp_ = static_cast<float>(cal->maxTenths) / 10.0f;
        minCount_ = cal->minCount;
        maxCount_ = cal->maxCount;
        const uint16_t span = static_cast<uint16_t>(maxCount_ - minCount_);
        slope_ = span == 0 ? 1.0f : (maxTemp_ - minTemp_) / static_cast<float>(span);
        const float shift = static_cast<float>(header.tempOffsetTenths()) * 0.1f / slope_;
        driftShift_ = static_cast<int32_t>(std::trunc(shift));
      }
      break;
  }
}

uint16_t RawMapper::tableCount(float celsius) const {
  const auto& t = *table_;
  // Nearest entry of the (rising) table.
  auto it = std::lower_bound(t.begin(), t.end(), celsius);
  size_t k = static_cast<size_t>(it - t.begin());
  if (k == t.size()) k = t.size() - 1;
  if (k > 0 && std::fabs(t[k - 1] - celsius) <= std::fabs(t[k] - celsius)) --k;
  // The suite reads count n as entry trunc((n + (g - 1) R) / g), g = 0.95: find the count
  // that lands on entry k, or the nearest one.
  const float g = kEmissivity;
  const float reflected = (g - 1.0f) * static_cast<float>(reflectionCount_);
  auto entryOf = [&](long long n) {
    const float idx = (static_cast<float>(n) + reflected) / g;
    if (!(idx >= 0.0f)) return 0LL;
    return std::min(static_cast<long long>(idx), 65535LL);
  };
  const long long guess = std::llround(static_cast<double>(k) * g - static_cast<double>(reflected));
  long long best = std::clamp(guess, 0LL, 65535LL);
  long long bestDistance = std::llabs(entryOf(best) - static_cast<long long>(k));
  for (long long n = guess - 2; n <= guess + 2; ++n) {
    if (n < 0 || n > 65535) continue;
    const long long distance = std::llabs(entryOf(n) - static_cast<long long>(k));
    if (distance < bestDistance) {
      best = n;
      bestDistance = distance;
    }
  }
  return static_cast<uint16_t>(best);
}

uint16_t RawMapper::countFor(float celsius) const {
  switch (method_) {
    case Method::Table: return tableCount(celsius);
    case Method::TemperatureCode:
      return clampCount(std::llround((static_cast<double>(celsius) + 30.0) / codeStep_));
    case Method::KsBuiltIn: {
      const float base = ksHigh_ ? -10.0f : -30.0f;
      const float step = ksHigh_ ? kKsHighStep : kKsLowStep;
      return clampCount(kKsFirstCount + std::llround((celsius - base) / step), kKsFirstCount,
                        kKsLastCount);
    }
    case Method::KsCalibrated: {
      const long long n =
          clampCount(minCount_ + std::llround((celsius - minTemp_) / slope_), minCount_, maxCount_);
      // The detector has drifted by the offset the header reports; the suite adds it back.
      return clampCount(n - driftShift_);
    }
  }
  return 0;
}

float RawMapper::temperatureOf(uint16_t count) const {
  switch (method_) {
    case Method::Table: return (*table_)[count];
    case Method::TemperatureCode: return static_cast<float>(count * codeStep_ - 30.0);
    case Method::KsBuiltIn: {
      if (count < kKsFirstCount) return ksHigh_ ? -10.0f : -30.0f;
      if (count > kKsLastCount) return ksHigh_ ? 660.0f : 130.0f;
      const float base = ksHigh_ ? -10.0f : -30.0f;
      const float step = ksHigh_ ? kKsHighStep : kKsLowStep;
      return static_cast<float>(count - kKsFirstCount) * step + base;
    }
    case Method::KsCalibrated: {
      if (count < minCount_) return minTemp_ - 0.1f;
      if (count > maxCount_) return maxTemp_ + 0.1f;
      const float t = minTemp_ + static_cast<float>(count - minCount_) * slope_;
      return std::clamp(t, minTemp_, maxTemp_);
    }
  }
  return 0.0f;
}

}  // namespace irsim
