#include "tiff_writer.h"

#include "cli_error.h"

#include <tiffio.h>

#include <cstdio>
#include <vector>

namespace irdexcli {
namespace {

// A classic TIFF addresses 4 GiB; leave room for the directories.
constexpr uint64_t kClassicLimit = 0xF0000000ull;

// libtiff reports through process-wide handlers; the writer throws instead of printing.
void quietHandler(const char*, const char*, va_list) {}

}  // namespace

TiffWriter::TiffWriter(const std::string& path, uint32_t width, uint32_t height, uint32_t pages)
    : path_(path), width_(width), height_(height), pages_(pages) {
  TIFFSetWarningHandler(quietHandler);
  TIFFSetErrorHandler(quietHandler);
  const uint64_t bytes = uint64_t{width} * height * sizeof(float) * pages;
  tiff_ = TIFFOpen(path.c_str(), bytes > kClassicLimit ? "w8" : "w");
  if (!tiff_) throw CliError(path + ": cannot be created as TIFF");
}

TiffWriter::~TiffWriter() {
  if (tiff_) TIFFClose(tiff_);
}

void TiffWriter::addPage(std::span<const float> temperatures) {
  if (!tiff_ || temperatures.size() < std::size_t{width_} * height_)
    throw CliError(path_ + ": TIFF page without its temperatures");
  TIFFSetField(tiff_, TIFFTAG_IMAGEWIDTH, width_);
  TIFFSetField(tiff_, TIFFTAG_IMAGELENGTH, height_);
  TIFFSetField(tiff_, TIFFTAG_BITSPERSAMPLE, 32);
  TIFFSetField(tiff_, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
  TIFFSetField(tiff_, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tiff_, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(tiff_, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff_, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
  TIFFSetField(tiff_, TIFFTAG_ROWSPERSTRIP, height_);
  if (pages_ > 1) {
    TIFFSetField(tiff_, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
    TIFFSetField(tiff_, TIFFTAG_PAGENUMBER, written_, pages_);
  }
  if (written_ == 0) {
    // ImageJ reads its own description to open the pages as one stack of slices.
    char description[128];
    std::snprintf(description, sizeof description, "ImageJ=1.11a\nimages=%u\nslices=%u\nunit=C\n",
                  pages_, pages_);
    TIFFSetField(tiff_, TIFFTAG_IMAGEDESCRIPTION, description);
  }
  const tmsize_t bytes = static_cast<tmsize_t>(std::size_t{width_} * height_ * sizeof(float));
  // libtiff takes a non-const buffer but only reads it when nothing is compressed.
  if (TIFFWriteEncodedStrip(tiff_, 0, const_cast<float*>(temperatures.data()), bytes) != bytes ||
      !TIFFWriteDirectory(tiff_)) {
    throw CliError(path_ + ": TIFF page " + std::to_string(written_) + " could not be written");
  }
  ++written_;
}

void TiffWriter::close() {
  if (!tiff_) return;
  TIFF* tiff = tiff_;
  tiff_ = nullptr;
  const bool flushed = TIFFFlush(tiff) == 1;
  TIFFClose(tiff);
  if (!flushed) throw CliError(path_ + ": TIFF could not be completed");
}

}  // namespace irdexcli
