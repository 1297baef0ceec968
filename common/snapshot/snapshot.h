// The radiometric JPEG snapshot: a plain JPEG picture of the view that also carries the raw
// frame and its parameters in APP1 segments, so the analyzer can load it again and the
// report program can read its parameters. One reader and one writer for every program.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

namespace snapshot {

inline constexpr std::size_t kInfoBlockSize = 260;      // the analyzer's IR information block
inline constexpr std::size_t kCamHeaderSize = 512;      // the camera's header block
inline constexpr std::size_t kPixelChunkBytes = 61440;  // payload of one full pixel segment

// No camera has a larger picture (the largest keeps one extra row for its trailer).
inline constexpr uint16_t kMaxWidth = 640;
inline constexpr uint16_t kMaxHeight = 481;

// Cameras whose header version is at least this keep one extra pixel row in memory.
inline constexpr uint8_t kExtraRowVersion = 33;
// Byte of the camera header that holds its header version.
inline constexpr std::size_t kCamHeaderVersionAt = 4;

using InfoBlock = std::array<uint8_t, kInfoBlockSize>;
using CamHeader = std::array<uint8_t, kCamHeaderSize>;

// What a snapshot carries besides its picture.
struct IrData {
  InfoBlock info{};
  CamHeader camHeader{};
  // Raw counts, row by row: width x height, or width x (height + 1) after reading a file of
  // a camera with the extra row (that row stays zero: files never carry it).
  std::vector<uint16_t> pixels;

  uint16_t width() const;
  uint16_t height() const;
  uint8_t headerVersion() const { return camHeader[kCamHeaderVersionAt]; }
};

// The values of the information block, decoded (little-endian, natural alignment).
struct InfoFields {
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t agcMode = 0;
  int16_t levelTenths = 0;
  int16_t spanTenths = 0;
  int32_t atmTempThousandths = 0;
  uint16_t transmissionThousandths = 0;
  uint16_t emissivityThousandths = 0;
  uint8_t dynamicRange = 0;
  uint8_t palette = 0;
  uint8_t zoomTenths = 0;
  uint8_t invert = 0;
  uint8_t mirror = 0;
  uint8_t flip = 0;
  uint8_t tempUnit = 0;
};
InfoFields decodeInfo(const InfoBlock& block);

// ---- reading -------------------------------------------------------------------------

enum class ReadError {
  None,
  NotJpeg,        // does not begin with FF D8: refused without a message
  CannotOpen,     // the file could not be read at all
  InvalidJpeg,    // a segment length below 2
  MarkerHeader,   // the 32-byte IR segment header is cut short
  NoIrData,       // an APP1 segment without the IR signature
  PrematureEnd,   // a segment's bytes are cut short
  DamagedIrData,  // IR segments that contradict each other or the picture size
  NoInformation,  // the scan ended without an information segment
};

// The analyzer's message for an error ("" for NotJpeg, which is refused silently).
std::string_view messageFor(ReadError error);

enum class ReadMode {
  Everything,       // information and pixels (the analyzer)
  InformationOnly,  // pixel segments are skipped unread (the report program)
};

struct ReadResult {
  ReadError error = ReadError::None;
  IrData data;
  bool ok() const { return error == ReadError::None; }
};

ReadResult readSnapshot(std::span<const uint8_t> file, ReadMode mode = ReadMode::Everything);
ReadResult readSnapshotFile(const std::filesystem::path& path,
                            ReadMode mode = ReadMode::Everything);

// ---- writing -------------------------------------------------------------------------

enum class PixelFormat { Rgb, Bgr, Rgbx, Bgrx, Gray };

// A composed picture in memory; rows are `stride` bytes apart.
struct Picture {
  int width = 0;
  int height = 0;
  int stride = 0;
  PixelFormat format = PixelFormat::Rgb;
  std::span<const uint8_t> pixels;
};

inline constexpr int kDefaultQuality = 85;

// The picture as a baseline JFIF JPEG; empty when the picture is unusable or the encoder
// fails.
std::vector<uint8_t> encodeJpeg(const Picture& picture, int quality = kDefaultQuality);

// Number of pixel segments for a width x height frame.
std::size_t pixelSegmentCount(uint16_t width, uint16_t height);

// The JPEG with the information segment and the pixel segments placed right after its APP0
// segment. Empty when the JPEG does not begin with SOI and APP0, or when `ir` is not a
// writable frame (a size no camera has, or fewer pixels than width x height).
std::vector<uint8_t> insertIrSegments(std::span<const uint8_t> jpeg, const IrData& ir);

enum class WriteError { None, EncodeFailed, CannotCreate, WriteFailed };

struct WriteResult {
  WriteError error = WriteError::None;
  bool irInserted = false;  // false: the file is a plain JPEG
  bool ok() const { return error == WriteError::None; }
};

// Encodes the picture, inserts the IR segments when `ir` is given and usable (else the
// plain JPEG is kept), and puts the file in place through a temporary file beside it, so
// a crash never leaves a half-written snapshot nor loses the file being replaced.
WriteResult writeSnapshotFile(const std::filesystem::path& path, const Picture& picture,
                              const IrData* ir, int quality = kDefaultQuality);

// Writes bytes to `path` through a temporary file beside it and a rename; on failure the
// temporary file is removed and whatever was at `path` is left as it was.
WriteError replaceFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace snapshot
