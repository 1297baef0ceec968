// Byte layout of the IR segments (APP1) inside a snapshot, shared by reader and writer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace snapshot::format {

inline constexpr uint8_t kMarkerPrefix = 0xFF;
inline constexpr uint8_t kStartOfImage = 0xD8;
inline constexpr uint8_t kApp0 = 0xE0;
inline constexpr uint8_t kApp1 = 0xE1;

inline constexpr std::size_t kLengthBytes = 2;
inline constexpr std::size_t kSegmentHeaderBytes = 32;
// A segment's length counts itself and the segment header besides the payload.
inline constexpr std::size_t kSegmentOverhead = kLengthBytes + kSegmentHeaderBytes;

inline constexpr uint8_t kSignature0 = 'K';
inline constexpr uint8_t kSignature1 = 'T';
inline constexpr uint8_t kSignatureSpace = 0x20;
inline constexpr std::size_t kKindAt = 4;
inline constexpr std::size_t kCountAt = 5;
inline constexpr std::size_t kIndexAt = 6;

inline constexpr uint8_t kKindInformation = 0;
inline constexpr uint8_t kKindPixels = 1;

inline uint16_t readBe16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline void writeBe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}
inline uint16_t readLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace snapshot::format
