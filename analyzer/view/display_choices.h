// The display choices the Image menu offers, each written once: the palettes, the filters
// and the zoom steps, in menu order.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace solvane {

struct PaletteChoice {
  int32_t index;     // the library's palette index
  const char* name;  // "<name> colormap" in the menu
};
inline constexpr std::array kPalettes{
    PaletteChoice{0, "Yellow"},   PaletteChoice{1, "Rainbow"}, PaletteChoice{2, "Rain900"},
    PaletteChoice{3, "Rain10"},   PaletteChoice{4, "Midgrey"}, PaletteChoice{5, "Midgreen"},
    PaletteChoice{6, "Medical"},  PaletteChoice{7, "Iron10"},  PaletteChoice{8, "Iron"},
    PaletteChoice{9, "Greyred"},  PaletteChoice{10, "Grey10"}, PaletteChoice{11, "Grey"},
    PaletteChoice{12, "Glowbow"},
};
inline constexpr int32_t kGreyPalette = 11;

enum class FilterKind {
  None,
  SoftenSlightly,
  SoftenStrongly,
  SharpenSlightly,
  SharpenStrong,
  Median,
  Box,
  FastGaussian,
  FastStackBlur,
  Bilateral,
};

struct FilterChoice {
  FilterKind kind;
  const char* text;
  int32_t kernelType;  // the library's kernel type; 0 for none
  bool blur;           // one of the blurs, of which only one runs at a time
};
inline constexpr std::array kFilters{
    FilterChoice{FilterKind::None, "None", 0, false},
    FilterChoice{FilterKind::SoftenSlightly, "Soften Slightly", 3, false},
    FilterChoice{FilterKind::SoftenStrongly, "Soften Strongly", 2, false},
    FilterChoice{FilterKind::SharpenSlightly, "Sharpening Slightly", 4, false},
    FilterChoice{FilterKind::SharpenStrong, "Sharpening Strong", 5, false},
    // The library has no median kernel: the entry leaves the image as it is.
    FilterChoice{FilterKind::Median, "Median Filter", 0, false},
    FilterChoice{FilterKind::Box, "Box Filter", 0, true},
    FilterChoice{FilterKind::FastGaussian, "Fast Gaussian Filter", 0, true},
    FilterChoice{FilterKind::FastStackBlur, "Fast Stack Blur Filter", 0, true},
    FilterChoice{FilterKind::Bilateral, "Bi-Lateral filter", 0, true},
};

// The library's kernel type of a fixed-kernel filter; 0 for the blurs and "None".
int32_t kernelTypeOf(FilterKind kind);
// The filter kind a stored kernel type ("FILTER") stands for; None for unknown types.
FilterKind filterOfKernelType(int32_t kernelType);
bool isBlur(FilterKind kind);

struct ZoomChoice {
  float factor;  // 0 fits the picture into the window
  const char* text;
};
inline constexpr std::array kZooms{
    ZoomChoice{1.0f, "zoom 1x"}, ZoomChoice{1.5f, "zoom 1.5x"},
    ZoomChoice{2.0f, "zoom 2x"}, ZoomChoice{2.5f, "zoom 2.5x"},
    ZoomChoice{3.0f, "zoom 3x"}, ZoomChoice{0.0f, "Fit the image in the window"},
};

}  // namespace solvane
