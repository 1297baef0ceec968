// Writes the delivered raw-to-temperature tables TempMapTable_L.bin (low range) and
// TempMapTable_M.bin (high range): 65536 little-endian floats each, the temperature in
// degrees Celsius of every raw count.
//
// Detector model. A long-wave microbolometer behind a 14-bit converter sees the band
// radiance of the scene, which near the effective wavelength follows Planck's law:
//
//     L(T) = 1 / (exp(c2 / (lambda * T)) - 1)         (relative, T in kelvin)
//     n(T) = darkCount + gain * L(T)                   (raw count)
//
// darkCount is the count of a scene without radiance; gain is fixed per range so that the
// top of the range's nominal span lands at count 15000, leaving headroom below full scale.
// The table is the inverse,
//
//     T(n) = c2 / (lambda * ln(1 + gain / (n - darkCount))) - 273.15,
//
// strictly rising over the counts the converter can produce (darkCount + 1 .. 16383). Counts
// at or below the dark level hold the temperature of the first count above it, and counts
// beyond full scale hold the temperature of full scale, so the table never falls.
//
// Everything is computed in double and rounded once to float, so the files are the same on
// every build. Usage: irdex_gen_temp_tables <output folder>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double kC2 = 14387.752;  // second radiation constant, um K
constexpr double kKelvin = 273.15;
constexpr int kEntries = 65536;
constexpr int kDarkCount = 1024;
constexpr int kFullScale = 16383;  // 14-bit converter
constexpr int kTopCount = 15000;

struct RangeModel {
  const char* file;
  double wavelength;  // effective wavelength, um
  double nominalLow;  // nominal span, degrees Celsius
  double nominalHigh;
};

// The high range looks through an attenuating filter at a slightly shorter wavelength.
constexpr RangeModel kRanges[] = {
    {"TempMapTable_L.bin", 10.0, -20.0, 130.0},
    {"TempMapTable_M.bin", 9.0, 0.0, 650.0},
};

double radiance(double celsius, double wavelength) {
  return 1.0 / (std::exp(kC2 / (wavelength * (celsius + kKelvin))) - 1.0);
}

std::vector<float> buildTable(const RangeModel& model) {
  const double gain = (kTopCount - kDarkCount) / radiance(model.nominalHigh, model.wavelength);
  const auto temperatureOf = [&](int count) {
    const double signal = count - kDarkCount;
    return static_cast<float>(kC2 / (model.wavelength * std::log1p(gain / signal)) - kKelvin);
  };
  std::vector<float> table(kEntries);
  for (int i = 0; i < kEntries; ++i) {
    int count = i;
    if (count <= kDarkCount) count = kDarkCount + 1;
    if (count > kFullScale) count = kFullScale;
    table[static_cast<std::size_t>(i)] = temperatureOf(count);
  }
  return table;
}

// The table must rise strictly over the real counts, never fall, and cover the range.
bool checkTable(const RangeModel& model, const std::vector<float>& table) {
  for (int i = 1; i < kEntries; ++i) {
    const bool real = i > kDarkCount + 1 && i <= kFullScale;
    const float previous = table[static_cast<std::size_t>(i - 1)];
    const float current = table[static_cast<std::size_t>(i)];
    if (real ? !(current > previous) : !(current >= previous)) {
      std::fprintf(stderr, "%s: not rising at count %d\n", model.file, i);
      return false;
    }
  }
  if (!(table.front() < model.nominalLow && table.back() > model.nominalHigh)) {
    std::fprintf(stderr, "%s: does not cover its nominal range\n", model.file);
    return false;
  }
  return true;
}

bool writeTable(const std::string& path, const std::vector<float>& table) {
  std::vector<unsigned char> bytes(table.size() * 4);
  for (std::size_t i = 0; i < table.size(); ++i) {
    uint32_t bits;
    static_assert(sizeof bits == sizeof(float));
    std::memcpy(&bits, &table[i], sizeof bits);
    for (int b = 0; b < 4; ++b)
      bytes[4 * i + static_cast<std::size_t>(b)] = static_cast<unsigned char>(bits >> (8 * b));
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  for (const RangeModel& model : kRanges) {
    const std::vector<float> table = buildTable(model);
    if (!checkTable(model, table)) return 1;
    const std::string path = std::string(argv[1]) + "/" + model.file;
    if (!writeTable(path, table)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
