#include "snapshot/segment_format.h"
#include "snapshot/snapshot.h"

namespace snapshot {
namespace {

// Field offsets of the information block: natural alignment, gaps at 5 and 10..11.
constexpr std::size_t kWidthAt = 0;
constexpr std::size_t kHeightAt = 2;
constexpr std::size_t kAgcAt = 4;
constexpr std::size_t kLevelAt = 6;
constexpr std::size_t kSpanAt = 8;
constexpr std::size_t kAtmTempAt = 12;
constexpr std::size_t kTransmissionAt = 16;
constexpr std::size_t kEmissivityAt = 18;
constexpr std::size_t kRangeAt = 20;
constexpr std::size_t kPaletteAt = 21;
constexpr std::size_t kZoomAt = 22;
constexpr std::size_t kInvertAt = 23;
constexpr std::size_t kMirrorAt = 24;
constexpr std::size_t kFlipAt = 25;
constexpr std::size_t kUnitAt = 26;

}  // namespace

uint16_t IrData::width() const { return format::readLe16(info.data() + kWidthAt); }
uint16_t IrData::height() const { return format::readLe16(info.data() + kHeightAt); }

InfoFields decodeInfo(const InfoBlock& block) {
  const uint8_t* b = block.data();
  InfoFields fields;
  fields.width = format::readLe16(b + kWidthAt);
  fields.height = format::readLe16(b + kHeightAt);
  fields.agcMode = b[kAgcAt];
  fields.levelTenths = static_cast<int16_t>(format::readLe16(b + kLevelAt));
  fields.spanTenths = static_cast<int16_t>(format::readLe16(b + kSpanAt));
  fields.atmTempThousandths = static_cast<int32_t>(
      static_cast<uint32_t>(b[kAtmTempAt]) | (static_cast<uint32_t>(b[kAtmTempAt + 1]) << 8) |
      (static_cast<uint32_t>(b[kAtmTempAt + 2]) << 16) |
      (static_cast<uint32_t>(b[kAtmTempAt + 3]) << 24));
  fields.transmissionThousandths = format::readLe16(b + kTransmissionAt);
  fields.emissivityThousandths = format::readLe16(b + kEmissivityAt);
  fields.dynamicRange = b[kRangeAt];
  fields.palette = b[kPaletteAt];
  fields.zoomTenths = b[kZoomAt];
  fields.invert = b[kInvertAt];
  fields.mirror = b[kMirrorAt];
  fields.flip = b[kFlipAt];
  fields.tempUnit = b[kUnitAt];
  return fields;
}

}  // namespace snapshot
