#include "acquisition/acquisition_rules.h"

#include "discovery/core/names_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace solvane {

bool isValidCameraIp(std::string_view text) {
  if (text.size() < 7 || text.size() > 15) return false;
  int dots = 0;
  int digits = 0;
  for (char c : text) {
    if (c == '.') {
      if (digits == 0) return false;
      ++dots;
      digits = 0;
    } else if (c >= '0' && c <= '9') {
      if (++digits > 3) return false;
    } else {
      return false;
    }
  }
  return dots == 3 && digits > 0;
}

int32_t cameraTypeOf(uint8_t version, uint8_t model) {
  if (version <= 16) return 0;
  if (version <= 31) {
    if (model == 0) return 0;
    if (model == 1) return 1;
    return -1;
  }
  if (model == 0x20) return 2;
  if (model == 0x21) return 3;
  return -1;
}

std::optional<CameraModel> cameraModelOf(const CamHeaderBlock& header) {
  const uint8_t version = header.bytes[IRDEX_HEADER_VERSION];
  const uint8_t model = header.bytes[IRDEX_HEADER_MODEL];
  const uint8_t sizeCode = header.bytes[header_byte::kSensorSize];
  if (model == 0x20) return CameraModel{384, 288, 3, true};
  if (model == 0x21) return CameraModel{640, 480, 4, true};
  if (version > 32) return std::nullopt;
  if (model == 1) {
    if (sizeCode <= 1) return CameraModel{640, 480, 2, false};
    return std::nullopt;
  }
  if (model == 0) {
    if (sizeCode == 0) return CameraModel{320, 240, 0, false};
    if (sizeCode == 1) return CameraModel{384, 288, 1, false};
  }
  return std::nullopt;
}

std::vector<RangeEntry> rangeListOf(const CamHeaderBlock& header) {
  std::vector<RangeEntry> list;
  if (header.bytes[IRDEX_HEADER_VERSION] < 33) return list;
  const uint16_t mask = static_cast<uint16_t>(header.bytes[header_byte::kRangeMask] |
                                              (header.bytes[header_byte::kRangeMask + 1] << 8));
  for (int bit = 0; bit < 16; ++bit) {
    if (!(mask & (1u << bit))) continue;
    const size_t at = header_byte::kRangeNames + 10 * list.size();
    // The names area ends with the header; a mask with many bits must not read past it.
    if (at + 10 > sizeof(header.bytes)) break;
    const char* name = reinterpret_cast<const char*>(header.bytes + at);
    list.push_back(RangeEntry{bit, std::string(name, strnlen(name, 10))});
  }
  return list;
}

int16_t rangeCommandValue(uint8_t headerVersion, int32_t range) {
  if (headerVersion > 32) return static_cast<int16_t>(range);
  return range != 0 ? 1 : 0;
}

int32_t divisorFor(FrameRateChoice choice, float cameraRate) {
  switch (choice) {
    case FrameRateChoice::Full: return 0;
    case FrameRateChoice::Half: return 1;
    case FrameRateChoice::Third: return 2;
    case FrameRateChoice::Quarter: return 3;
    case FrameRateChoice::OnePerSecond: return static_cast<int32_t>(cameraRate) - 1;
    case FrameRateChoice::UserDefined: break;
  }
  return 0;
}

double userFramesPerSecond(int32_t seconds) {
  seconds = std::clamp(seconds, 1, 30);
  return std::floor(1000.0 / seconds + 0.5) * 0.001;
}

int32_t divisorFromSeconds(int32_t seconds, float cameraRate) {
  return static_cast<int32_t>(std::floor(cameraRate / userFramesPerSecond(seconds) + 0.5)) - 1;
}

int32_t secondsFromDivisor(int32_t divisor, float cameraRate) {
  double f = 1.0;
  if (cameraRate <= static_cast<float>(divisor + 1))
    f = std::floor(cameraRate * 1000.0 / (divisor + 1) + 0.5) * 0.001;
  if (f <= 0) return 30;
  return std::clamp(static_cast<int32_t>(std::floor(1.0 / f + 0.5)), 1, 30);
}

std::string userDefineText(int32_t divisor) {
  if (divisor < 30) return "User Define...";
  char text[64];
  std::snprintf(text, sizeof text, "User Define(%.3f fps)", 30.0 / (divisor + 1));
  return text;
}

FrameRateChoice choiceOfDivisor(int32_t divisor, float cameraRate) {
  if (divisor >= 0 && divisor <= 3) return static_cast<FrameRateChoice>(divisor);
  if (divisor == static_cast<int32_t>(cameraRate) - 1) return FrameRateChoice::OnePerSecond;
  return FrameRateChoice::UserDefined;
}

float guardLevel(float level, float span, float rangeMin, float rangeMax) {
  if (span != 6.0f) return level;
  if (level <= rangeMin + 3.0f) return rangeMin + 3.0f;
  if (level >= rangeMax - 3.0f) return rangeMax - 3.0f;
  return level;
}

std::optional<int32_t> MeasuredRate::add(double seconds) {
  double rate = seconds > 0 ? 1.0 / seconds : 60.0;
  if (rate > 78.0) rate = 60.0;
  sum_ += rate;
  if (++count_ < 60) return std::nullopt;
  const auto value = static_cast<int32_t>(std::floor(sum_ * 10.0 / 60.0 + 0.5));
  reset();
  return value;
}

std::optional<std::string> macFromNeighbourTable(std::string_view table, std::string_view ip) {
  std::istringstream lines{std::string(table)};
  std::string line;
  std::getline(lines, line);  // column titles
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string address, hwType, flags, mac;
    if (!(fields >> address >> hwType >> flags >> mac)) continue;
    if (address != ip) continue;
    unsigned b[6];
    if (flags == "0x0" || std::sscanf(mac.c_str(), "%x:%x:%x:%x:%x:%x", &b[0], &b[1], &b[2], &b[3],
                                      &b[4], &b[5]) != 6)
      return std::nullopt;
    char text[24];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", b[0] & 0xFF, b[1] & 0xFF,
                  b[2] & 0xFF, b[3] & 0xFF, b[4] & 0xFF, b[5] & 0xFF);
    return std::string(text);
  }
  return std::nullopt;
}

std::string cameraNameFor(std::string_view ip, const std::filesystem::path& neighbourTable,
                          const std::filesystem::path& namesFile) {
  std::ifstream in(neighbourTable);
  if (!in) return kDefaultCameraName;
  std::stringstream table;
  table << in.rdbuf();
  const auto mac = macFromNeighbourTable(table.str(), ip);
  if (!mac) return kDefaultCameraName;
  const auto names = discovery::readNamesFile(namesFile);
  if (!names) return kDefaultCameraName;
  const auto* record = discovery::findStoredName(names->records, *mac);
  if (!record || record->name.empty()) return kDefaultCameraName;
  return record->name;
}

}  // namespace solvane
