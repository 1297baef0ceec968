// Builds colormap.bin from the colour stops of palettes.txt, and a PNG picture of every
// palette beside its inversion, one row per palette with its name.
//
// usage: irdex_palette_gen <palettes.txt> <colormap.bin> <picture.png>
#include <png.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kEntries = 256;
using Rgb = std::array<uint8_t, 3>;
using Palette = std::array<Rgb, kEntries>;

struct Stop {
  int entry;
  Rgb colour;
};

struct Definition {
  std::string name;
  int bands = 0;  // 0: a smooth palette
  std::vector<Stop> stops;
};

bool parseColour(const std::string& text, Rgb& colour) {
  if (text.size() != 7 || text[0] != '#') return false;
  for (int c = 0; c < 3; ++c) {
    const std::string pair = text.substr(1 + 2 * c, 2);
    char* end = nullptr;
    const long value = std::strtol(pair.c_str(), &end, 16);
    if (end != pair.c_str() + 2) return false;
    colour[c] = static_cast<uint8_t>(value);
  }
  return true;
}

bool readDefinitions(const char* path, std::vector<Definition>& definitions) {
  std::ifstream in(path);
  if (!in) {
    std::cerr << "cannot read " << path << "\n";
    return false;
  }
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    Definition definition;
    words >> definition.name;
    if (definition.name.empty()) continue;
    std::string word;
    while (words >> word) {
      if (word.rfind("bands=", 0) == 0) {
        definition.bands = std::stoi(word.substr(6));
        continue;
      }
      const auto colon = word.find(':');
      Stop stop{};
      if (colon == std::string::npos || !parseColour(word.substr(colon + 1), stop.colour)) {
        std::cerr << path << ":" << lineNumber << ": bad stop '" << word << "'\n";
        return false;
      }
      stop.entry = std::stoi(word.substr(0, colon));
      if (stop.entry < 0 || stop.entry >= kEntries ||
          (!definition.stops.empty() && stop.entry <= definition.stops.back().entry)) {
        std::cerr << path << ":" << lineNumber << ": stops must rise within 0..255\n";
        return false;
      }
      definition.stops.push_back(stop);
    }
    if (definition.stops.size() < 2 || definition.stops.front().entry != 0 ||
        definition.stops.back().entry != kEntries - 1 || definition.bands == 1) {
      std::cerr << path << ":" << lineNumber << ": a palette runs from entry 0 to 255\n";
      return false;
    }
    definitions.push_back(definition);
  }
  return true;
}

Rgb colourAt(const Definition& definition, int entry) {
  const std::vector<Stop>& stops = definition.stops;
  size_t next = 1;
  while (stops[next].entry < entry) ++next;
  const Stop& a = stops[next - 1];
  const Stop& b = stops[next];
  Rgb colour{};
  for (int c = 0; c < 3; ++c) {
    // Integer arithmetic rounded half up: the same bytes on every machine.
    const int span = b.entry - a.entry;
    const int delta = (b.colour[c] - a.colour[c]) * (entry - a.entry);
    const int rounded =
        delta >= 0 ? (2 * delta + span) / (2 * span) : -((-2 * delta + span) / (2 * span));
    colour[c] = static_cast<uint8_t>(a.colour[c] + rounded);
  }
  return colour;
}

Palette buildPalette(const Definition& definition) {
  Palette palette{};
  for (int i = 0; i < kEntries; ++i) {
    int entry = i;
    if (definition.bands > 1) {
      const int band = i * definition.bands / kEntries;
      entry = band * (kEntries - 1) / (definition.bands - 1);
    }
    palette[i] = colourAt(definition, entry);
  }
  return palette;
}

// 5 x 7 glyphs of the letters the palette names use.
const std::map<char, std::array<const char*, 7>>& glyphs() {
  static const std::map<char, std::array<const char*, 7>> table = {
      {'A', {"01110", "10001", "10001", "11111", "10001", "10001", "10001"}},
      {'B', {"11110", "10001", "10001", "11110", "10001", "10001", "11110"}},
      {'C', {"01110", "10001", "10000", "10000", "10000", "10001", "01110"}},
      {'D', {"11110", "10001", "10001", "10001", "10001", "10001", "11110"}},
      {'E', {"11111", "10000", "10000", "11110", "10000", "10000", "11111"}},
      {'G', {"01110", "10001", "10000", "10111", "10001", "10001", "01111"}},
      {'I', {"01110", "00100", "00100", "00100", "00100", "00100", "01110"}},
      {'L', {"10000", "10000", "10000", "10000", "10000", "10000", "11111"}},
      {'M', {"10001", "11011", "10101", "10101", "10001", "10001", "10001"}},
      {'N', {"10001", "11001", "10101", "10011", "10001", "10001", "10001"}},
      {'O', {"01110", "10001", "10001", "10001", "10001", "10001", "01110"}},
      {'R', {"11110", "10001", "10001", "11110", "10100", "10010", "10001"}},
      {'W', {"10001", "10001", "10001", "10101", "10101", "10101", "01010"}},
      {'Y', {"10001", "10001", "01010", "00100", "00100", "00100", "00100"}},
      {'0', {"01110", "10001", "10011", "10101", "11001", "10001", "01110"}},
      {'1', {"00100", "01100", "00100", "00100", "00100", "00100", "01110"}},
      {'9', {"01110", "10001", "10001", "01111", "00001", "00010", "01100"}},
  };
  return table;
}

class Picture {
 public:
  Picture(int width, int height) : width_(width), height_(height), rgb_(3 * width * height) {}

  void fill(int x0, int y0, int w, int h, Rgb colour) {
    for (int y = y0; y < y0 + h; ++y) {
      for (int x = x0; x < x0 + w; ++x) set(x, y, colour);
    }
  }

  void text(int x0, int y0, const std::string& text, int scale, Rgb colour) {
    for (const char letter : text) {
      const auto found = glyphs().find(static_cast<char>(std::toupper(letter)));
      if (found != glyphs().end()) {
        for (int row = 0; row < 7; ++row) {
          for (int column = 0; column < 5; ++column) {
            if (found->second[row][column] == '1') {
              fill(x0 + column * scale, y0 + row * scale, scale, scale, colour);
            }
          }
        }
      }
      x0 += 6 * scale;
    }
  }

  bool save(const char* path) const {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
      png_init_io(png, file);
      png_set_IHDR(png, info, width_, height_, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                   PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
      png_write_info(png, info);
      for (int y = 0; y < height_; ++y) {
        png_write_row(png, const_cast<png_bytep>(&rgb_[3 * width_ * y]));
      }
      png_write_end(png, nullptr);
      ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
  }

 private:
  void set(int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    for (int c = 0; c < 3; ++c) rgb_[3 * (width_ * y + x) + c] = colour[c];
  }

  int width_;
  int height_;
  std::vector<uint8_t> rgb_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: irdex_palette_gen <palettes.txt> <colormap.bin> <picture.png>\n";
    return 2;
  }
  std::vector<Definition> definitions;
  if (!readDefinitions(argv[1], definitions)) return 1;

  std::vector<uint8_t> file;
  for (const Definition& definition : definitions) {
    const Palette normal = buildPalette(definition);
    for (int i = 0; i < kEntries; ++i) file.insert(file.end(), normal[i].begin(), normal[i].end());
    for (int i = kEntries - 1; i >= 0; --i) {
      file.insert(file.end(), normal[i].begin(), normal[i].end());
    }
  }
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  if (!out.flush()) {
    std::cerr << "cannot write " << argv[2] << "\n";
    return 1;
  }

  // Name, then the normal palette, then its inversion; cold on the left.
  constexpr int kLabel = 130, kBar = 2 * kEntries, kGap = 12, kRow = 28, kMargin = 10;
  const int width = kMargin + kLabel + kBar + kGap + kBar + kMargin;
  const int height = 2 * kMargin + kRow * static_cast<int>(definitions.size());
  Picture picture(width, height);
  picture.fill(0, 0, width, height, {32, 32, 32});
  for (size_t p = 0; p < definitions.size(); ++p) {
    const int y = kMargin + kRow * static_cast<int>(p);
    picture.text(kMargin, y + 6, definitions[p].name, 2, {230, 230, 230});
    const Palette normal = buildPalette(definitions[p]);
    for (int i = 0; i < kEntries; ++i) {
      picture.fill(kMargin + kLabel + 2 * i, y, 2, kRow - 6, normal[i]);
      picture.fill(kMargin + kLabel + kBar + kGap + 2 * i, y, 2, kRow - 6,
                   normal[kEntries - 1 - i]);
    }
  }
  if (!picture.save(argv[3])) {
    std::cerr << "cannot write " << argv[3] << "\n";
    return 1;
  }
  return 0;
}
