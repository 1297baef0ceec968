// Sizes and positions of the IR stream file: where frames start and how long each is.
#pragma once

#include <cstdint>
#include <string_view>

namespace irdex::stream {

inline constexpr uint32_t kFrameMark = 1234567890;  // 0x499602D2, opens every frame
inline constexpr int32_t kDefaultTiming = 33;       // stored for a timing of 0 or below
inline constexpr int32_t kHeaderBytes = 21;         // IRHeader
inline constexpr int32_t kExtensionBytes = 1001;    // IRHeaderExt
inline constexpr int32_t kFirstGenerationHeaderBytes = 17;
inline constexpr int32_t kPlainFirstFrame = kHeaderBytes;                       // 21
inline constexpr int32_t kExtendedFirstFrame = kHeaderBytes + kExtensionBytes;  // 1022
inline constexpr int32_t kLastVersionWithoutExtension = 16;
inline constexpr int32_t kFirstVersionWithTimeStamp = 20;
inline constexpr int32_t kFirstVersionWithExtraRow = 32;
inline constexpr int64_t kMaxStreamFileBytes = 629'145'600;  // 600 MiB
inline constexpr int32_t kMaxFirstLayoutCounter = 9600;

// The later exports know only the pixel count; the three sensor widths are told apart by it.
constexpr int64_t widthForPixelCount(int64_t pixelCount) {
  if (pixelCount == 640 * 480) return 640;
  if (pixelCount >= 320 * 240 && pixelCount <= 77039) return 320;
  return 384;
}

constexpr int32_t firstFramePosition(bool extension) {
  return extension ? kExtendedFirstFrame : kPlainFirstFrame;
}
constexpr int32_t firstFramePositionForVersion(int32_t version) {
  return firstFramePosition(version > kLastVersionWithoutExtension);
}

// The shape of one frame of a given version and pixel count.
struct FrameLayout {
  int64_t pixelCount = 0;  // N, as the caller passes it
  int64_t width = 0;       // W, derived from N
  bool timeStamp = false;  // 8-byte time stamp and 2W - 16 filler after the timing value
  bool extraRow = false;   // one further row of W pixels after the image

  static constexpr FrameLayout forVersion(int32_t version, int64_t pixelCount) {
    FrameLayout layout;
    layout.pixelCount = pixelCount;
    layout.width = widthForPixelCount(pixelCount);
    layout.timeStamp = version >= kFirstVersionWithTimeStamp;
    layout.extraRow = version >= kFirstVersionWithExtraRow;
    return layout;
  }
  // The layout of the first exports: mark, timing and pixels only.
  static constexpr FrameLayout plain(int64_t pixelCount) { return forVersion(0, pixelCount); }

  constexpr int64_t fillerBytes() const { return timeStamp ? 2 * width - 16 : 0; }
  // Bytes before the pixels: mark, timing and (with time stamps) stamp and filler.
  constexpr int64_t headBytes() const { return timeStamp ? 16 + fillerBytes() : 8; }
  constexpr int64_t pixelsPerFrame() const { return pixelCount + (extraRow ? width : 0); }
  constexpr int64_t frameBytes() const { return headBytes() + 2 * pixelsPerFrame(); }
};

// The longest frame head of any layout (the widest sensor's filler).
inline constexpr int64_t kMaxHeadBytes = FrameLayout::forVersion(20, 640 * 480).headBytes();

// Stream files carry the extension in any case; a name with anything after it is refused.
inline bool hasStreamFileExtension(std::string_view name) {
  if (name.size() < 3) return false;
  const std::string_view tail = name.substr(name.size() - 3);
  constexpr std::string_view kExtension = "hxr";
  for (std::size_t i = 0; i < 3; ++i) {
    char c = tail[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kExtension[i]) return false;
  }
  return true;
}

}  // namespace irdex::stream
