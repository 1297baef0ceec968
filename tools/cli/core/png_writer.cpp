#include "png_writer.h"

#include "cli_error.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

namespace irdexcli {

void writePng(const std::string& path, const Picture& picture) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                       &std::fclose);
  if (!file) throw CliError(path + ": cannot be created");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    throw CliError(path + ": PNG encoder unavailable");
  }
  // Rows are converted before the encoder's error jump can be taken, so nothing with a
  // destructor is created between setjmp and the encoder calls.
  std::vector<png_byte> rgb(std::size_t{picture.width} * picture.height * 3);
  for (std::size_t i = 0; i < picture.pixels.size() && i * 3 + 2 < rgb.size(); ++i) {
    const uint32_t p = picture.pixels[i];
    rgb[i * 3] = static_cast<png_byte>(p >> 16);
    rgb[i * 3 + 1] = static_cast<png_byte>(p >> 8);
    rgb[i * 3 + 2] = static_cast<png_byte>(p);
  }
  std::vector<png_bytep> rows(picture.height);
  for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = rgb.data() + y * picture.width * 3;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw CliError(path + ": PNG could not be written");
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, picture.width, picture.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fflush(file.get()) != 0) throw CliError(path + ": PNG could not be written");
}

}  // namespace irdexcli
