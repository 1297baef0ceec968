#include "camera.h"

#include <bit>
#include <charconv>
#include <cstring>

#include "wire.h"

namespace irsim {

namespace {

// Firmware numbers the cameras report in their system data. The first generation and the
// KT family give a date number (the analyzer fetches the camera's temperature table only
// from 13031203 on); the KS family a packed version (the controller compares it with
// 0x01000200).
constexpr uint32_t kDateFirmware = 14061801;
constexpr uint32_t kKsFirmware = 0x01000300;

constexpr uint32_t kLoopbackAddress = 0x7F000001;
constexpr uint32_t kLoopbackMask = 0xFF000000;

struct Move {
  size_t wire;
  size_t header;
  size_t count;
};
// Where the first-generation arrangement keeps what the programs read elsewhere.
constexpr Move kFirstGenerationMoves[] = {{5, 8, 6},  {11, 6, 1},  {12, 14, 16}, {28, 31, 24},
                                          {52, 7, 1}, {53, 55, 8}, {65, 71, 1}};
// Received bytes widened to 16-bit values: wire 61..64 -> header 63..70, 66..69 -> 72..79.
constexpr Move kFirstGenerationWidened[] = {{61, 63, 4}, {66, 72, 4}};

}  // namespace

std::optional<KsRange> ksRangeCatalogue(int number) {
  switch (number) {
    case 0: return KsRange{0, -200, 1200, 2000, 14000, "-20~120C"};
    case 1: return KsRange{1, 0, 6500, 1500, 15500, "0~650C"};
    case 2: return KsRange{2, 1000, 12000, 3000, 13000, "100~1200C"};
    case 3: return KsRange{3, -400, 600, 1000, 16000, "-40~60C"};
    default: return std::nullopt;
  }
}

Family familyOf(uint8_t version) {
  if (version <= 16) return Family::FirstGeneration;
  if (version <= 31) return Family::KT;
  return Family::KS;
}

bool parseModel(std::string_view text, CameraConfig& config, std::string* error) {
  struct Named {
    std::string_view name;
    uint8_t model, sizeCode, version;
  };
  static constexpr Named kNamed[] = {{"gen1-320", kModelFirstGeneration, 0, 16},
                                     {"gen1-384", kModelFirstGeneration, 1, 16},
                                     {"kt640", kModelKT, 0, 20},
                                     {"va320", kModelVA320, 0, 33},
                                     {"vi640", kModelVI640, 0, 33}};
  for (const auto& named : kNamed) {
    if (text == named.name) {
      config.model = named.model;
      config.sizeCode = named.sizeCode;
      config.version = named.version;
      return true;
    }
  }
  unsigned value = 0;
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
    base = 16;
  }
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec == std::errc() && end == text.data() + text.size() && !text.empty()) {
    for (const auto& named : kNamed) {
      if (named.model == value) {
        config.model = named.model;
        config.sizeCode = named.sizeCode;
        config.version = named.version;
        return true;
      }
    }
  }
  if (error) {
    *error = "unknown model '" + std::string(text) +
             "' (use gen1-320, gen1-384, kt640, va320, vi640 or 0, 1, 0x20, 0x21)";
  }
  return false;
}

bool validateConfig(const CameraConfig& config, std::string* error) {
  auto fail = [&](std::string text) {
    if (error) *error = std::move(text);
    return false;
  };
  const Family family = familyOf(config.version);
  switch (config.model) {
    case kModelFirstGeneration:
      if (family != Family::FirstGeneration)
        return fail("a first-generation camera has header versions 0..16");
      if (config.sizeCode > 1) return fail("the first-generation size code is 0 or 1");
      if (config.initialRange > 1 || (config.version <= 10 && config.initialRange != 0))
        return fail("this camera has no such range");
      break;
    case kModelKT:
      if (family != Family::KT) return fail("a KT camera has header versions 17..31");
      if (config.initialRange > 1) return fail("a KT camera has ranges 0 and 1");
      break;
    case kModelVA320:
    case kModelVI640:
      if (family != Family::KS) return fail("a KS camera has header versions 32 and above");
      if (config.version == 32) {
        if (config.initialRange > 1) return fail("a version-32 KS camera has ranges 0 and 1");
      } else {
        const int ranges = std::popcount(static_cast<unsigned>(config.ksRangeMask));
        if ((config.ksRangeMask & ~0xFu) != 0 || ranges < 1 || ranges > 2)
          return fail("a KS range mask holds one or two of the ranges 0..3");
        if (config.initialRange > 3 || !(config.ksRangeMask & (1u << config.initialRange)))
          return fail("the starting range is not in the range mask");
      }
      break;
    default: return fail("unknown model code");
  }
  if (config.trailerLayout < 0 || config.trailerLayout > 2)
    return fail("the trailer layout is 1 or 2");
  if (config.name.empty() || config.name.size() > 19) return fail("a name has 1..19 characters");
  return true;
}

std::string modelText(const CameraConfig& config) {
  switch (config.model) {
    case kModelFirstGeneration: return "KT3";
    case kModelKT: return "KT4";
    case kModelVA320: return "KS3-384";
    default: return "KS4-640";
  }
}

uint32_t firmwareNumber(const CameraConfig& config) {
  if (config.firmware != 0) return config.firmware;
  return familyOf(config.version) == Family::KS ? kKsFirmware : kDateFirmware;
}

CameraHeader::CameraHeader(const CameraConfig& config) : config_(config) { resetToDefaults(); }

void CameraHeader::put16(size_t offset, uint32_t value) {
  putLe16(&bytes_[offset], static_cast<uint16_t>(value));
}
void CameraHeader::put32(size_t offset, uint32_t value) { putLe32(&bytes_[offset], value); }

void CameraHeader::resetToDefaults() {
  bytes_.fill(0);
  realModel_ = config_.model;
  put8(hdr::kVersion, config_.version);
  put8(hdr::kModel, config_.model);
  const Family family = familyOf(config_.version);
  put8(hdr::kSizeCodeOrTvMode, family == Family::FirstGeneration ? config_.sizeCode : 0);
  put8(hdr::kRange, config_.initialRange);
  put8(18, 1);  // colour bar
  put8(19, 1);  // temperature information
  put8(20, 1);  // min/max indicator
  put32(31, kLoopbackAddress);
  put32(35, kLoopbackMask);
  put32(39, kLoopbackAddress);
  put8(56, 1);  // centre indicator
  put8(hdr::kReducedRate, config_.reducedRate ? 1 : 0);
  if (family == Family::KS) {
    put8(14, 1);   // AGC auto
    put8(23, 1);   // palette "Iron"
    put8(80, 1);   // display icon
    put8(81, 50);  // brightness
    put8(82, 50);  // contrast
    put8(84, 1);   // NUC by time
    put8(85, 2);
    put8(86, 2);
    put16(88, 1200);
    put16(90, static_cast<uint16_t>(-200));
    put16(hdr::kTempOffset, static_cast<uint16_t>(config_.tempOffsetTenths));
    put16(hdr::kDistance, 10);
    put8(122, 3);
    put8(123, 3);
    put8(124, 3);
    put8(131, 95);   // emissivity
    put8(132, 100);  // transmission
    put16(133, 200);
    if (config_.version >= 33) {
      put16(hdr::kRangeMask, config_.ksRangeMask);
      int j = 0;
      for (int bit = 0; bit < 4 && j < 2; ++bit) {
        if (!(config_.ksRangeMask & (1u << bit))) continue;
        const KsRange range = *ksRangeCatalogue(bit);
        put16(hdr::kCalMinTemp + 4 * j, static_cast<uint16_t>(range.minTenths));
        put16(hdr::kCalMaxTemp + 4 * j, static_cast<uint16_t>(range.maxTenths));
        put16(hdr::kCalMinCount + 4 * j, range.minCount);
        put16(hdr::kCalMaxCount + 4 * j, range.maxCount);
        std::memcpy(&bytes_[hdr::kCalName + 10 * j], range.name.data(),
                    std::min<size_t>(range.name.size(), 10));
        ++j;
      }
    }
  } else {
    put8(8, 1);    // camera ID
    put8(9, 2);    // 9600 baud
    put16(28, 1);  // NUC every 5 minutes
    if (family == Family::KT || config_.version >= 11) put8(hdr::kHighRangeAvailable, 1);
    if (family == Family::FirstGeneration && config_.version <= 10) {
      // The programs read these two fields so for the oldest cameras whatever was sent.
      put16(hdr::kReducedRate, 256);
      put8(hdr::kRange, 0);
    }
  }
  setUnsupportedModel(unsupportedModel_);
}

void CameraHeader::setUnsupportedModel(bool on) {
  unsupportedModel_ = on;
  if (family() == Family::FirstGeneration) {
    // The receiver forces the model of old headers to 0, so only the size code can be wrong.
    put8(hdr::kSizeCodeOrTvMode, on ? 7 : config_.sizeCode);
    put8(hdr::kModel, 0);
  } else {
    put8(hdr::kModel, on ? kUnsupportedModel : realModel_);
  }
  normalise();
}

int CameraHeader::width() const {
  switch (realModel_) {
    case kModelFirstGeneration: return config_.sizeCode == 0 ? 320 : 384;
    case kModelVA320: return 384;
    default: return 640;
  }
}

int CameraHeader::height() const {
  switch (realModel_) {
    case kModelFirstGeneration: return config_.sizeCode == 0 ? 240 : 288;
    case kModelVA320: return 288;
    default: return 480;
  }
}

int16_t CameraHeader::tempOffsetTenths() const {
  return static_cast<int16_t>(getLe16(&bytes_[hdr::kTempOffset]));
}

uint16_t CameraHeader::rangeMask() const { return getLe16(&bytes_[hdr::kRangeMask]); }

std::optional<KsRange> CameraHeader::calibratedRange(int number) const {
  if (version() < 33 || number < 0 || number > 3) return std::nullopt;
  const uint16_t mask = rangeMask();
  if (!(mask & (1u << number))) return std::nullopt;
  int j = 0;
  for (int bit = 0; bit < number; ++bit)
    if (mask & (1u << bit)) ++j;
  if (j > 1) return std::nullopt;
  KsRange range;
  range.number = number;
  range.minTenths = static_cast<int16_t>(getLe16(&bytes_[hdr::kCalMinTemp + 4 * j]));
  range.maxTenths = static_cast<int16_t>(getLe16(&bytes_[hdr::kCalMaxTemp + 4 * j]));
  range.minCount = getLe16(&bytes_[hdr::kCalMinCount + 4 * j]);
  range.maxCount = getLe16(&bytes_[hdr::kCalMaxCount + 4 * j]);
  const char* name = reinterpret_cast<const char*>(&bytes_[hdr::kCalName + 10 * j]);
  range.name.assign(name, strnlen(name, 10));
  return range;
}

HeaderBytes CameraHeader::wireBytes() const {
  HeaderBytes wire = bytes_;
  if (version() >= 17) return wire;
  for (size_t i = 70; i < 80; ++i) wire[i] = 0;
  for (const Move& move : kFirstGenerationMoves)
    std::memcpy(&wire[move.wire], &bytes_[move.header], move.count);
  for (const Move& move : kFirstGenerationWidened)
    for (size_t i = 0; i < move.count; ++i) wire[move.wire + i] = bytes_[move.header + 2 * i];
  return wire;
}

bool CameraHeader::setRange(uint16_t value) {
  switch (family()) {
    case Family::FirstGeneration:
      if (value > 1 || (version() <= 10 && value != 0)) return false;
      break;
    case Family::KT:
      if (value > 1) return false;
      break;
    case Family::KS:
      if (version() == 32 ? value > 1 : (value > 3 || !(rangeMask() & (1u << value)))) return false;
      break;
  }
  put8(hdr::kRange, value);
  return true;
}

SettingOutcome CameraHeader::apply(uint16_t id, uint16_t value, uint32_t word1, uint32_t word2,
                                   uint32_t word3) {
  const SettingOutcome outcome = applyToHeader(id, value, word1, word2, word3);
  normalise();
  return outcome;
}

void CameraHeader::normalise() {
  if (family() != Family::FirstGeneration) return;
  // Bytes the first-generation arrangement cannot carry read, after the receiver's moves,
  // as these: the model is forced to 0, byte 30 repeats byte 33, widened bytes have no
  // high byte.
  bytes_[hdr::kModel] = 0;
  bytes_[30] = bytes_[33];
  for (size_t i : {64, 66, 68, 70, 73, 75, 77, 79}) bytes_[i] = 0;
}

SettingOutcome CameraHeader::applyToHeader(uint16_t id, uint16_t value, uint32_t word1,
                                           uint32_t word2, uint32_t word3) {
  const SettingOutcome accepted{true, 0, false};
  const SettingOutcome refused{false, kReasonUnsupported, false};
  const Family fam = family();
  const bool ks = fam == Family::KS;

  // Settings of both families, kept where the pages read them.
  switch (id) {
    case 0x0201:
    case 0x0202:
    case 0x0203:
    case 0x0204: put8(18 + (id - 0x0201), value); return accepted;
    case 0x0205: put8(24, value); return accepted;
    case 0x0206:
    case 0x0207:
    case 0x0208: put8(56 + (id - 0x0206), value); return accepted;
    case 0x0301:
      put8(22, value);
      if (value == 0) {  // a fixed address; under DHCP the camera keeps what it has
        put32(31, word1);
        put32(35, word2);
        put32(39, word3);
      }
      return accepted;
    case 0x0501:
      // Byte 6 of a first-generation header is its sensor size code, not the TV mode.
      if (fam != Family::FirstGeneration) put8(hdr::kSizeCodeOrTvMode, value);
      return accepted;
    case 0x0503: {
      if (!setRange(value)) return refused;
      SettingOutcome changed = accepted;
      changed.rangeChanged = true;
      return changed;
    }
    case 0x0A01:  // frame-rate divisor: the session keeps it
    case 0x0F01:  // reset: the session rebuilds the header
      return accepted;
    default: break;
  }

  if (!ks) {
    switch (id) {
      case 0x0101:
      case 0x0102:
      case 0x0103:
      case 0x0105:
      case 0x0106:
      case 0x0107:
      case 0x0108:
      case 0x0109:
      case 0x010A:
      case 0x0B01:
      case 0x0B02:
      case 0x0B03: return accepted;  // applied to the picture, not reported in the header
      case 0x0306: put8(8, value); return accepted;
      case 0x0307: put8(9, value); return accepted;
      case 0x0502:
        if (value != 7) put16(28, value);  // 7 asks for one NUC now
        return accepted;
      case 0x0401: put8(47, value); return accepted;
      case 0x0402: put8(48, value); return accepted;
      case 0x0403: put16(49, value); return accepted;
      case 0x0404: put8(51, value); return accepted;
      case 0x0405: put8(52, value); return accepted;
      case 0x0406: put16(53, value); return accepted;
      case 0x0407: put8(60, value); return accepted;
      case 0x0408: put8(61, value); return accepted;
      case 0x0409: put8(62, (bytes_[62] & ~1u) | (value & 1u)); return accepted;
      case 0x040A: return accepted;
      default: return refused;
    }
  }

  switch (id) {
    case 0x0101: put8(14, value); return accepted;
    case 0x0106: put8(15, value); return accepted;
    case 0x0451:
      put8(16, value & 1u);
      put8(17, (value >> 1) & 1u);
      return accepted;
    case 0x0105: put8(23, value); return accepted;
    case 0x0109: put8(25, value); return accepted;
    case 0x010A: put8(27, value); return accepted;
    case 0x0209: put8(80, value); return accepted;
    case 0x0102: put8(81, value); return accepted;
    case 0x0103: put8(82, value); return accepted;
    case 0x010B: put8(83, value); return accepted;
    case 0x010C:
    case 0x010D:
    case 0x010E: put8(122 + (id - 0x010C), value); return accepted;
    case 0x0431:
      put8(84, value);
      put8(85, word1 >> 16);
      put8(86, word1 & 0xFFFFu);
      return accepted;
    case 0x0461: put16(88, value); return accepted;
    case 0x0462: put16(90, value); return accepted;
    case 0x0441:
    case 0x0442: {
      const size_t base = id == 0x0441 ? 93 : 101;
      put16(base, word1 & 0xFFFFu);
      put16(base + 2, word1 >> 16);
      put16(base + 4, word2 & 0xFFFFu);
      put16(base + 6, word2 >> 16);
      return accepted;
    }
    case 0x0471: put8(109, value); return accepted;
    case 0x0411: {
      if (value > 1) return refused;
      const size_t base = 110 + 4 * value;
      put8(base, word1 >> 24);
      put8(base + 1, word1 >> 16);
      put8(base + 2, word1 >> 8);
      put8(base + 3, word1);
      return accepted;
    }
    case 0x0B01:
      put8(130, value);
      put8(131, word1 >> 24);
      put8(132, word1 >> 16);
      put16(133, word1 & 0xFFFFu);
      put16(hdr::kTempOffset, word2 & 0xFFFFu);
      put16(hdr::kDistance, word2 >> 16);
      return accepted;
    case 0x0305:
    case 0x0306:
    case 0x0307:
    case 0x0401:
    case 0x0404:
    case 0x0421:
    case 0x0422:
    case 0x0423:
    case 0x0432:
    case 0x0463:
    case 0x0464:
    case 0x0481:
    case 0x0482:
    case 0x0491: return accepted;  // the session or the picture uses them
    default: return refused;
  }
}

}  // namespace irsim
