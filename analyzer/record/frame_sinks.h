// What the recorder hands to the other recording forms: a movie writer for AVI recordings
// and a temperature-map exporter for CSV series. The export code implements them.
#pragma once

#include <irdex.h>

#include <cstdint>
#include <span>
#include <string>

namespace solvane::record {

// Packs four characters into a FOURCC code, first character in the lowest byte.
constexpr uint32_t fourccOf(const char (&code)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(code[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(code[3])) << 24;
}
uint32_t fourccOf(const std::string& code);

struct MovieSettings {
  std::string path;
  uint32_t fourcc = 0;
  int32_t frameStep = 1;  // time scale: frames per second = frameRate / frameStep
  int32_t frameRate = 1;
  int32_t quality = 10000;
};

// The composed view picture of one processed frame.
struct MovieFrame {
  std::span<const uint8_t> pixels;
  int32_t width = 0;
  int32_t height = 0;
  int32_t bitsPerPixel = 32;
};

class MovieSink {
 public:
  virtual ~MovieSink() = default;
  virtual bool open(const MovieSettings& settings) = 0;
  // False when the frame could not be written; errorText() says why.
  virtual bool append(const MovieFrame& frame) = 0;
  virtual std::string errorText() const = 0;
  virtual bool isOpen() const = 0;
  virtual void close() = 0;
};

// One raw frame of a CSV series; the exporter copies what it keeps (it runs on its own
// thread after this call returns).
struct RawFrame {
  std::span<const uint16_t> pixels;
  int32_t width = 0;
  int32_t height = 0;
  EnvParams env{};
  CamHeaderBlock header{};
};

class TempMapSink {
 public:
  virtual ~TempMapSink() = default;
  virtual void exportFrame(const RawFrame& frame) = 0;
};

}  // namespace solvane::record
