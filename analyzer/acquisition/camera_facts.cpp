#include "acquisition/camera_facts.h"

#include <cstring>

namespace solvane {
namespace {

CameraModel modelAt(int32_t index) {
  const ModelFacts& facts = kModels[static_cast<size_t>(index)];
  return CameraModel{facts.width, facts.height, index, facts.ks};
}

}  // namespace

Generation generationOf(uint8_t headerVersion) {
  switch (camera::familyOf(headerVersion)) {
    case camera::Family::FirstGeneration: return Generation::First;
    case camera::Family::KT: return Generation::Kt;
    case camera::Family::KS: break;
  }
  return headerVersion < camera::kFirstCalibratedKsVersion ? Generation::Ks : Generation::KsRows;
}

int32_t cameraTypeOf(uint8_t version, uint8_t model) {
  switch (generationOf(version)) {
    case Generation::First: return 0;
    case Generation::Kt:
      if (model == kModelKtStandard) return 0;
      if (model == kModelKtLarge) return 1;
      return -1;
    case Generation::Ks:
    case Generation::KsRows: break;
  }
  if (model == kModelVa320) return 2;
  if (model == kModelVi640) return 3;
  return -1;
}

std::optional<CameraModel> cameraModelOf(const CamHeaderBlock& header) {
  const uint8_t version = header.bytes[IRDEX_HEADER_VERSION];
  const uint8_t model = header.bytes[IRDEX_HEADER_MODEL];
  const uint8_t sizeCode = header.bytes[header_byte::kSensorSize];
  if (model == kModelVa320) return modelAt(3);
  if (model == kModelVi640) return modelAt(4);
  if (generationOf(version) == Generation::KsRows) return std::nullopt;
  if (model == kModelKtLarge) {
    if (sizeCode <= 1) return modelAt(2);
    return std::nullopt;
  }
  if (model == kModelKtStandard) {
    if (sizeCode == 0) return modelAt(0);
    if (sizeCode == 1) return modelAt(1);
  }
  return std::nullopt;
}

std::vector<RangeEntry> rangeListOf(const CamHeaderBlock& header) {
  std::vector<RangeEntry> list;
  if (generationOf(header.bytes[IRDEX_HEADER_VERSION]) != Generation::KsRows) return list;
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
  if (generationOf(headerVersion) == Generation::KsRows) return static_cast<int16_t>(range);
  return range != 0 ? 1 : 0;
}

}  // namespace solvane
