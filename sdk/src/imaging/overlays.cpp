// The overlays, drawn with cairo straight into the caller's 32-bit pixels.
#include "imaging/overlays.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "records/temperature_text.h"
#include "records/units.h"

namespace irdex::imaging {

namespace {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct PatternDeleter {
  void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;
using Pattern = std::unique_ptr<cairo_pattern_t, PatternDeleter>;

constexpr const char* kFontFamily = "Arial";
constexpr double kEndLabelHeight = 17.0;   // bold, weight 700
constexpr double kTickLabelHeight = 16.0;  // regular, weight 400
constexpr int kMajorTickLength = 8;
constexpr int kMinorTickLength = 3;
constexpr int kMidTickLength = 5;
constexpr int kTickLabelGap = 10;
constexpr int kTickLabelRise = 8;
// Beyond this a whole-degree scale means nothing and its numbers stop fitting an int.
constexpr double kLargestScaleValue = 1.0e7;

Surface surfaceFor(const IrdexCanvas& canvas) {
  return Surface(cairo_image_surface_create_for_data(canvas.pixels, CAIRO_FORMAT_ARGB32,
                                                     canvas.width, canvas.height, canvas.stride));
}

void setColour(cairo_t* cr, Rgb c) {
  cairo_set_source_rgb(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0);
}

void fillRect(cairo_t* cr, double x, double y, double w, double h, Rgb c) {
  setColour(cr, c);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
}

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

// The font height is the height of the character cell (ascent plus descent), as the classic
// drawing interfaces count it; the text is placed by the cell's top-left corner.
void drawText(cairo_t* cr, const std::string& text, double x, double top, double cellHeight,
              bool bold) {
  if (text.empty()) return;
  cairo_select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, cellHeight);
  cairo_font_extents_t extents;
  cairo_font_extents(cr, &extents);
  const double cell = extents.ascent + extents.descent;
  const double size = cell > 0 ? cellHeight * cellHeight / cell : cellHeight;
  cairo_set_font_size(cr, size);
  cairo_font_extents(cr, &extents);
  setColour(cr, kBlack);
  cairo_move_to(cr, x, top + extents.ascent);
  cairo_show_text(cr, text.c_str());
  cairo_new_path(cr);
}

int roundToPixel(double v) { return static_cast<int>(std::floor(v + 0.5)); }

// The off-screen panel: white, the palette strip with its black edge (unless there is no
// bar) and the blue strip behind the scale line.
Surface makePanel(int height, int barHeight, std::span<const uint8_t, 768> palette, bool noBar) {
  Surface panel(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kBarPanelWidth, height));
  Context cr(cairo_create(panel.get()));
  cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
  fillRect(cr.get(), 0, 0, kBarPanelWidth, height, kWhite);
  if (noBar) {
    fillRect(cr.get(), kScaleColumn - kStripWidth, 0, kBlueStripWidth, height, kPanelBlue);
    return panel;
  }
  for (int k = 0; k < barHeight; ++k) {
    // The top row shows entry 255 and the bottom approaches entry 0.
    const int entry = 255 - static_cast<int>(int64_t{255} * k / barHeight);
    const Rgb colour{palette[3 * entry], palette[3 * entry + 1], palette[3 * entry + 2]};
    fillRect(cr.get(), 0, kBarLabelBoxHeight + k, kStripWidth, 1, colour);
  }
  fillRect(cr.get(), 0, 0, 1, height, kBlack);
  fillRect(cr.get(), kScaleColumn, 0, kBlueStripWidth, height, kPanelBlue);
  return panel;
}

}  // namespace

std::vector<ScaleTick> scaleTicks(float top, float bottom, int barHeight) {
  std::vector<ScaleTick> ticks;
  const double topValue = top, bottomValue = bottom;
  if (barHeight < 1 || !std::isfinite(topValue) || !std::isfinite(bottomValue)) return ticks;
  if (!(topValue > bottomValue) || std::fabs(topValue) > kLargestScaleValue ||
      std::fabs(bottomValue) > kLargestScaleValue) {
    return ticks;
  }
  const int hi = static_cast<int>(std::floor(topValue));
  const int lo = static_cast<int>(std::ceil(bottomValue));
  const int range = hi - lo;
  if (range < 0) return ticks;  // no whole degree inside the window

  int step = 10, divisions = 5;
  if (range <= 0) {
    step = 5;
  } else if (range < 5) {
    step = 1;
  } else if (range <= 9) {
    step = 2;
    divisions = 4;
  } else if (range <= 25) {
    step = 5;
  }
  const int majors = range / step;
  const int rest = range % step;

  const double scale = barHeight / (topValue - bottomValue);  // pixels per degree
  const int barBottom = barHeight + kBarLabelBoxHeight;
  const int yLo = roundToPixel(barBottom - (lo - bottomValue) * scale);
  // The top tick sits at the row of its own value, hi - rest; also when the top of the
  // window is whole, where the row is 18 only if rest is 0.
  const int yHi = roundToPixel(kBarLabelBoxHeight + (topValue - hi + rest) * scale);

  ticks.push_back({yHi, kMajorTickLength, hi - rest});
  if (range != 0) ticks.push_back({yLo, kMajorTickLength, lo});
  // More major ticks than rows would all fall on one another.
  if (majors < 1 || majors > barHeight) return ticks;
  const double interval = static_cast<double>(yLo - yHi) / majors;
  for (int p = 1; p < majors; ++p) {
    ticks.push_back({yLo - roundToPixel(p * interval), kMajorTickLength, lo + p * step});
  }

  const double minor = interval / divisions;
  if (!(minor > 0)) return ticks;
  auto minorLength = [&](int q) {
    return divisions == 4 && q == 2 ? kMidTickLength : kMinorTickLength;
  };
  for (int p = 0; p < majors; ++p) {
    for (int q = 1; q < divisions; ++q) {
      const int row = roundToPixel(yHi + p * interval + q * minor);
      if (row > barBottom) continue;
      ticks.push_back({row, minorLength(q), std::nullopt});
    }
  }
  for (int q = 1;; ++q) {
    const int row = roundToPixel(yHi - q * minor);
    if (row <= kBarLabelBoxHeight - 1) break;
    ticks.push_back({row, minorLength(q), std::nullopt});
  }
  return ticks;
}

bool isDrawableCanvas(const IrdexCanvas& canvas) {
  return canvas.pixels && canvas.width > 0 && canvas.height > 0 &&
         canvas.stride >= cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, canvas.width) &&
         canvas.stride % 4 == 0;
}

bool drawColorBar(const IrdexCanvas& canvas, std::span<const uint8_t, 768> palette, float level,
                  float span, int32_t unit, bool noBar) {
  if (!isDrawableCanvas(canvas)) return false;
  const int width = canvas.width, height = canvas.height;
  const int barHeight = height - kBarMargin;
  const int x0 = width - kBarPanelOffset;

  float top = level + span / 2, bottom = level - span / 2;
  if (unit == TEMP_UNIT_FAHRENHEIT) {
    top = units::celsiusToFahrenheit(top);
    bottom = units::celsiusToFahrenheit(bottom);
  } else if (unit == TEMP_UNIT_KELVIN) {
    top = units::celsiusToKelvin(top);
    bottom = units::celsiusToKelvin(bottom);
  }

  Surface surface = surfaceFor(canvas);
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return false;
  Context cr(cairo_create(surface.get()));
  cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);

  const Surface panel = makePanel(height, barHeight, palette, noBar);
  if (noBar) {
    cairo_set_source_surface(cr.get(), panel.get(), x0 + kStripWidth, 0);
    cairo_rectangle(cr.get(), x0 + kStripWidth, 0, kStripWidth, height);
  } else {
    cairo_set_source_surface(cr.get(), panel.get(), x0, 0);
    cairo_rectangle(cr.get(), x0, 0, kBarPanelWidth, height);
  }
  cairo_fill(cr.get());

  fillRect(cr.get(), x0, 0, kBarPanelWidth, kBarLabelBoxHeight, kPanelBlue);
  fillRect(cr.get(), x0, height - kBarLabelBoxHeight, kBarPanelWidth, kBarLabelBoxHeight,
           kPanelBlue);
  cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_DEFAULT);
  drawText(cr.get(), formatTemperature(top, unit), x0, 0, kEndLabelHeight, true);
  drawText(cr.get(), formatTemperature(bottom, unit), x0, height - kBarLabelBoxHeight,
           kEndLabelHeight, true);
  cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);

  if (barHeight >= 1) {
    const int line = x0 + kScaleColumn;
    fillRect(cr.get(), line, kBarLabelBoxHeight, 1, barHeight, kBlack);
    for (const ScaleTick& tick : scaleTicks(top, bottom, barHeight)) {
      fillRect(cr.get(), line, tick.row, tick.length, 1, kBlack);
      if (tick.label) {
        cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_DEFAULT);
        drawText(cr.get(), std::to_string(*tick.label), line + kTickLabelGap,
                 tick.row - kTickLabelRise, kTickLabelHeight, false);
        cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
      }
    }
  }
  const bool drawn = cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_flush(surface.get());
  return drawn;
}

namespace {

// A Gouraud-shaded triangle: apex colour at the apex, one colour at both base corners. The
// geometry runs along pixel edges so that the triangle covers the pixel rows apexRow to
// apexRow +- height and the columns x - halfBase to x + halfBase.
void drawMarker(cairo_t* cr, int x, int apexRow, int halfBase, int height, bool pointsUp,
                Rgb apexColour, Rgb baseColour) {
  const double apexX = x + 0.5;
  const double apexY = pointsUp ? apexRow : apexRow + 1.0;
  const double baseY = pointsUp ? apexRow + height + 1.0 : apexRow - height;
  const double left = x - halfBase, right = x + halfBase + 1.0;

  Pattern mesh(cairo_pattern_create_mesh());
  cairo_mesh_pattern_begin_patch(mesh.get());
  cairo_mesh_pattern_move_to(mesh.get(), apexX, apexY);
  cairo_mesh_pattern_line_to(mesh.get(), right, baseY);
  cairo_mesh_pattern_line_to(mesh.get(), left, baseY);
  auto corner = [&](unsigned index, Rgb c) {
    cairo_mesh_pattern_set_corner_color_rgb(mesh.get(), index, c.red / 255.0, c.green / 255.0,
                                            c.blue / 255.0);
  };
  corner(0, apexColour);
  corner(1, baseColour);
  corner(2, baseColour);
  cairo_mesh_pattern_end_patch(mesh.get());

  cairo_set_source(cr, mesh.get());
  cairo_move_to(cr, apexX, apexY);
  cairo_line_to(cr, right, baseY);
  cairo_line_to(cr, left, baseY);
  cairo_close_path(cr);
  cairo_fill(cr);
}

}  // namespace

bool drawMinMaxMarkers(const IrdexCanvas& canvas, int minX, int minY, int maxX, int maxY,
                       int size) {
  if (!isDrawableCanvas(canvas)) return false;
  // A marker larger than this covers any canvas many times over; its corners would leave
  // the coordinate range of the rasteriser.
  constexpr int kLargestMarker = 1 << 16;
  if (size < 0 || size > kLargestMarker) return false;
  const int height = static_cast<int>(1.732 * size);  // sqrt(3): equilateral triangles

  Surface surface = surfaceFor(canvas);
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return false;
  Context cr(cairo_create(surface.get()));
  cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);

  constexpr Rgb kYellow{255, 255, 0}, kRed{255, 0, 0}, kBlue{0, 0, 255};
  // A marker wholly off the canvas is skipped rather than handed to the rasteriser with
  // coordinates it cannot hold.
  auto visible = [&](int64_t x, int64_t y0, int64_t y1) {
    return x + size >= 0 && x - size < canvas.width && y1 >= 0 && y0 < canvas.height;
  };
  if (size > 0) {
    if (visible(maxX, maxY, int64_t{maxY} + height)) {
      drawMarker(cr.get(), maxX, maxY, size, height, true, kYellow, kRed);
    }
    if (visible(minX, int64_t{minY} - height, minY)) {
      drawMarker(cr.get(), minX, minY, size, height, false, kYellow, kBlue);
    }
  }
  const bool drawn = cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_flush(surface.get());
  return drawn;
}

std::string resolvedFontFamily(const std::string& requested) {
  std::string family;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(requested.c_str()));
  if (!pattern) return family;
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
    FcChar8* name = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name) {
      family = reinterpret_cast<const char*>(name);
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return family;
}

}  // namespace irdex::imaging
