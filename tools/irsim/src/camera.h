// The camera the simulator plays: its kind (family, model code, header version, sensor
// size) and its 512-byte header, which also holds the camera's current settings.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace irsim {

enum class Family { FirstGeneration, KT, KS };

inline constexpr uint8_t kModelFirstGeneration = 0;
inline constexpr uint8_t kModelKT = 1;
inline constexpr uint8_t kModelVA320 = 0x20;
inline constexpr uint8_t kModelVI640 = 0x21;
// The model code a header carries under the "bad-model" fault: no program knows it.
inline constexpr uint8_t kUnsupportedModel = 0x7E;

inline constexpr size_t kHeaderSize = 512;
using HeaderBytes = std::array<uint8_t, kHeaderSize>;

// Offsets in the header (the arrangement the programs read; first-generation cameras send
// another arrangement on the wire, see CameraHeader::wireBytes).
namespace hdr {
inline constexpr size_t kVersion = 4;
inline constexpr size_t kModel = 5;
inline constexpr size_t kSizeCodeOrTvMode = 6;
inline constexpr size_t kRange = 7;
inline constexpr size_t kTempOffset = 118;  // i16, tenths of a degree
inline constexpr size_t kDistance = 120;
inline constexpr size_t kReducedRate = 128;
inline constexpr size_t kHighRangeAvailable = 129;
inline constexpr size_t kRangeMask = 339;
inline constexpr size_t kCalMinTemp = 347;   // + 4j, i16 tenths
inline constexpr size_t kCalMaxTemp = 349;   // + 4j, i16 tenths
inline constexpr size_t kCalMinCount = 355;  // + 4j
inline constexpr size_t kCalMaxCount = 357;  // + 4j
inline constexpr size_t kCalName = 363;      // + 10j, 10 bytes
}  // namespace hdr

// One calibrated measurement range of a KS camera of header version 33 or more.
struct KsRange {
  int number = 0;
  int16_t minTenths = 0;
  int16_t maxTenths = 0;
  uint16_t minCount = 0;
  uint16_t maxCount = 0;
  std::string name;
};

// The ranges a KS camera can carry; a header holds at most two of them at once.
std::optional<KsRange> ksRangeCatalogue(int number);

struct CameraConfig {
  uint8_t model = kModelVA320;
  uint8_t sizeCode = 0;  // first generation: 0 = 320 x 240, 1 = 384 x 288
  uint8_t version = 33;
  uint16_t ksRangeMask = 0x0003;
  uint8_t initialRange = 0;
  bool reducedRate = false;      // 9 Hz instead of 30 Hz
  uint32_t firmware = 0;         // 0: the family's default
  int trailerLayout = 0;         // KS frames: 1 or 2; 0: by header version
  int16_t tempOffsetTenths = 0;  // KS: header byte 118 at start
  std::string name = "irsim";
  std::string mac = "02:00:00:00:00:01";
};

Family familyOf(uint8_t version);
// "gen1-320", "gen1-384", "kt640", "va320", "vi640" or a numeric model code; sets model,
// size code and the family's default header version.
bool parseModel(std::string_view text, CameraConfig& config, std::string* error);
bool validateConfig(const CameraConfig& config, std::string* error);
// The model text announced over DNS-SD.
std::string modelText(const CameraConfig& config);
uint32_t firmwareNumber(const CameraConfig& config);

struct SettingOutcome {
  bool accepted = false;
  int16_t reason = 0;  // NAK reason when not accepted
  bool rangeChanged = false;
};

class CameraHeader {
 public:
  explicit CameraHeader(const CameraConfig& config);

  void resetToDefaults();
  const HeaderBytes& bytes() const { return bytes_; }
  // What the camera puts on the wire: the header itself, or for header versions below 17
  // the first-generation arrangement that the receiver moves back into place.
  HeaderBytes wireBytes() const;

  Family family() const { return familyOf(version()); }
  uint8_t version() const { return bytes_[hdr::kVersion]; }
  uint8_t model() const { return realModel_; }
  uint8_t rangeIndex() const { return bytes_[hdr::kRange]; }
  int width() const;
  int height() const;
  bool reducedRate() const { return bytes_[hdr::kReducedRate] == 1; }
  int16_t tempOffsetTenths() const;
  uint16_t rangeMask() const;
  // The calibration of a range as this header carries it (version 33 and above).
  std::optional<KsRange> calibratedRange(int number) const;

  SettingOutcome apply(uint16_t id, uint16_t value, uint32_t word1, uint32_t word2, uint32_t word3);
  void setUnsupportedModel(bool on);

 private:
  void put8(size_t offset, uint32_t value) { bytes_[offset] = static_cast<uint8_t>(value); }
  void put16(size_t offset, uint32_t value);
  void put32(size_t offset, uint32_t value);
  bool setRange(uint16_t value);
  SettingOutcome applyToHeader(uint16_t id, uint16_t value, uint32_t word1, uint32_t word2,
                               uint32_t word3);
  void normalise();

  CameraConfig config_;
  HeaderBytes bytes_{};
  uint8_t realModel_ = 0;
  bool unsupportedModel_ = false;
};

}  // namespace irsim
