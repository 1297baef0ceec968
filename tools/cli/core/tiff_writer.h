// Multi-page 32-bit float TIFF of temperatures (degrees Celsius), one page per frame, in
// the layout ImageJ and FIJI open as a stack.
#pragma once

#include <cstdint>
#include <span>
#include <string>

typedef struct tiff TIFF;

namespace irdexcli {

class TiffWriter {
 public:
  // Opens `path` for `pages` pages of width x height; BigTIFF when a classic file could not
  // hold them. Throws a run error when the file cannot be made.
  TiffWriter(const std::string& path, uint32_t width, uint32_t height, uint32_t pages);
  ~TiffWriter();
  TiffWriter(const TiffWriter&) = delete;
  TiffWriter& operator=(const TiffWriter&) = delete;

  void addPage(std::span<const float> temperatures);
  // Throws when the file could not be completed.
  void close();

 private:
  std::string path_;
  TIFF* tiff_ = nullptr;
  uint32_t width_;
  uint32_t height_;
  uint32_t pages_;
  uint32_t written_ = 0;
};

}  // namespace irdexcli
