// Little-endian reads and writes of the byte layouts of files and packets. Every record on
// disk or on the wire goes through these instead of casting unaligned pointers.
#pragma once

#include <cstdint>
#include <cstring>

namespace irdex {

inline uint16_t readLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline int16_t readLe16s(const uint8_t* p) { return static_cast<int16_t>(readLe16(p)); }
inline uint32_t readLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t readLe32s(const uint8_t* p) { return static_cast<int32_t>(readLe32(p)); }
inline uint64_t readLe64(const uint8_t* p) {
  return static_cast<uint64_t>(readLe32(p)) | (static_cast<uint64_t>(readLe32(p + 4)) << 32);
}
inline float readLeFloat(const uint8_t* p) {
  const uint32_t bits = readLe32(p);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

inline void writeLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void writeLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void writeLe64(uint8_t* p, uint64_t v) {
  writeLe32(p, static_cast<uint32_t>(v));
  writeLe32(p + 4, static_cast<uint32_t>(v >> 32));
}
inline void writeLeFloat(uint8_t* p, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  writeLe32(p, bits);
}

}  // namespace irdex
