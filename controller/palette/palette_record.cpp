#include "palette/palette_record.h"

#include <png.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

namespace tessor {

namespace {

int truncated(double v) { return static_cast<int>(std::trunc(v)); }

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// libpng reports errors by longjmp: nothing with a destructor may live in this frame.
bool encodePng(std::FILE* file, const uint8_t* rgbRows, int height, char* message, size_t size) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) {
    std::snprintf(message, size, "the picture encoder could not start");
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::snprintf(message, size, "the picture could not be encoded");
    return false;
  }
  png_init_io(png, file);
  png_set_compression_level(png, 9);
  png_set_compression_mem_level(png, 9);
  png_set_IHDR(png, info, 1, static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int row = 0; row < height; ++row)
    png_write_row(png, const_cast<png_bytep>(rgbRows + 3 * row));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

// A folder only this process may read, removed with everything in it when done.
class PrivateFolder {
 public:
  PrivateFolder() {
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) return;
    std::string pattern = (base / "tessor-palette-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~PrivateFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace

std::array<uint8_t, 4> yCbCrEntry(uint8_t red, uint8_t green, uint8_t blue) {
  const double r = red, g = green, b = blue;
  const int y = truncated(0.257 * r + 0.504 * g + 0.098 * b + 0.5) + 16;
  const int cb = truncated(0.439 * b - 0.291 * g - 0.148 * r + 0.5) + 128;
  const int cr = truncated(0.439 * r - 0.368 * g - 0.071 * b + 0.5) + 128;
  return {static_cast<uint8_t>(cb), static_cast<uint8_t>(y), 0, static_cast<uint8_t>(cr)};
}

bool buildPaletteRecord(std::span<const uint8_t> entries, int slot, std::span<const uint8_t> png,
                        PaletteRecord& record, std::string* error) {
  if (entries.size() != kPaletteEntryCount * 3) {
    if (error) *error = "a user palette needs 256 colours";
    return false;
  }
  if (slot < 0 || slot >= kUserPaletteSlots) {
    if (error) *error = "there is no user palette slot " + std::to_string(slot);
    return false;
  }
  if (png.size() > kPalettePictureCapacity) {
    if (error)
      *error = "the palette picture has " + std::to_string(png.size()) + " bytes; at most " +
               std::to_string(kPalettePictureCapacity) + " fit";
    return false;
  }
  record.fill(0);
  record[kPaletteSlotOffset] = static_cast<uint8_t>(slot);
  auto entryOf = [&](size_t colour) {
    return yCbCrEntry(entries[3 * colour + 2], entries[3 * colour + 1], entries[3 * colour]);
  };
  auto place = [&](size_t entry, const std::array<uint8_t, 4>& bytes) {
    std::copy(bytes.begin(), bytes.end(), record.begin() + kPaletteEntriesOffset + 4 * entry);
  };
  for (size_t i = 2; i < kPaletteEntryCount; ++i) place(255 - i, entryOf(i));
  // The camera's list runs the other way and has no room for colour 0: colour 1 fills both
  // of its last entries.
  place(254, entryOf(1));
  place(255, entryOf(1));
  const auto length = static_cast<uint32_t>(png.size());
  for (int i = 0; i < 4; ++i)
    record[kPalettePictureLengthOffset + i] = static_cast<uint8_t>(length >> (8 * i));
  std::copy(png.begin(), png.end(), record.begin() + kPalettePictureOffset);
  return true;
}

bool writePalettePng(const std::string& path, std::span<const uint8_t> entries,
                     std::string* error) {
  const size_t height = entries.size() / 3;
  if (height == 0 || entries.size() % 3 != 0) {
    if (error) *error = "a palette picture needs whole colours";
    return false;
  }
  std::vector<uint8_t> rgb(entries.size());
  for (size_t i = 0; i < height; ++i) {
    rgb[3 * i] = entries[3 * i + 2];
    rgb[3 * i + 1] = entries[3 * i + 1];
    rgb[3 * i + 2] = entries[3 * i];
  }
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    if (error) *error = "the palette picture " + path + " cannot be written";
    return false;
  }
  char message[128] = {};
  if (!encodePng(file.get(), rgb.data(), static_cast<int>(height), message, sizeof message)) {
    if (error) *error = message;
    return false;
  }
  if (std::fclose(file.release()) != 0) {
    if (error) *error = "the palette picture " + path + " could not be written whole";
    return false;
  }
  return true;
}

namespace {

// The picture through a private folder; empty with the reason when it cannot be had whole.
std::vector<uint8_t> palettePicture(std::span<const uint8_t> entries, std::string* error) {
  PrivateFolder folder;
  if (folder.path().empty()) {
    *error = "no private temporary folder for the palette picture";
    return {};
  }
  const std::string path = (folder.path() / kPalettePictureName).string();
  if (!writePalettePng(path, entries, error)) return {};
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> png;
  char buffer[4096];
  while (in && png.size() <= kPalettePictureCapacity) {
    in.read(buffer, sizeof buffer);
    png.insert(png.end(), buffer, buffer + in.gcount());
  }
  if (png.size() > kPalettePictureCapacity) {
    *error = "the palette picture does not fit the palette record";
    return {};
  }
  if (!in.eof()) {
    *error = "the palette picture could not be read back";
    return {};
  }
  return png;
}

}  // namespace

PaletteUpload preparePaletteUpload(const CGradient& gradient, int slot) {
  PaletteUpload upload;
  const std::vector<uint8_t> entries = gradient.makeEntries(static_cast<int>(kPaletteEntryCount));
  const std::vector<uint8_t> png = palettePicture(entries, &upload.pictureError);
  if (!upload.pictureError.empty()) {
    // The palette still goes, without a picture; a cut picture would be a broken one.
    std::fputs("File could not be opened\n", stdout);
    std::fflush(stdout);
  }
  if (!buildPaletteRecord(entries, slot, png, upload.record, &upload.error)) return upload;
  upload.pictureBytes = png.size();
  upload.ok = true;
  return upload;
}

}  // namespace tessor
