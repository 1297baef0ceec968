// The small value types every measurement object shares: kinds, records that travel to the
// alarm table and the object file, image bounds and the view mapping used by hit tests.
#pragma once

#include <irdex.h>

#include <cstdint>
#include <optional>

namespace solvane {

enum class RoiKind : int32_t { Spot = 1, Rect = 2, Circle = 3, Line = 4, Polygon = 5 };

// A kind code read from outside (the object file); nullopt for codes no class has.
std::optional<RoiKind> roiKindFromCode(int32_t code);

enum class EditState : int32_t { Normal = 0, Creating = 1, Selected = 2, Tracking = 3 };

// Which statistic a trend plot or an alarm reads; the alarm table's result codes.
enum class Statistic : int32_t { Value = 0, Min = 1, Max = 2, Average = 3 };

// The alarm table entry of one object. The name travels beside the record (the object owns
// it), so the slot that once held a pointer to it is a reserved word: the record keeps its
// 28 bytes for the tables that copy it whole.
struct AlarmRecord {
  int32_t id = 0;
  uint32_t nameSlot = 0;
  int32_t result = 0;     // Statistic
  int32_t condition = 0;  // 0 above, 1 below
  int32_t output = 0;     // 0 Alarm1, 1 Alarm2
  float value = 20.0f;    // degrees Celsius
  int32_t selected = 0;   // armed
};
static_assert(sizeof(AlarmRecord) == 28);

// The alarm state machine of one object: state 0 idle, 1 in alarm, 2 hold-off.
struct GenerationRecord {
  int32_t condition = 0;
  int32_t count = 0;
};
static_assert(sizeof(GenerationRecord) == 8);
static_assert(sizeof(EnvParams) == 16);

// The eight colours of an object, each 0x00BBGGRR.
enum class RoiColour : int {
  Normal = 0,
  Select,
  Resize,
  Tracker,
  NormalText,
  ShadowText,
  AlarmText,
  AlarmRect,
};
inline constexpr int kRoiColourCount = 8;

enum class TempUnit : int32_t { Celsius = 0, Fahrenheit = 1, Kelvin = 2 };

// The image an object lives in, in pixels.
struct ImageBounds {
  int32_t width = 0;
  int32_t height = 0;
};

// A point in image pixels, fractional where the mouse gives it.
struct ImagePoint {
  double x = 0;
  double y = 0;
};

// How the view shows the image: scaled by the zoom factors, then turned for mirror and flip.
// Objects keep image pixels; the mouse arrives in view pixels.
struct ViewMapping {
  ImageBounds image;
  double zoomX = 1.0;
  double zoomY = 1.0;
  bool mirror = false;
  bool flip = false;

  ImagePoint toImage(double viewX, double viewY) const;
  ImagePoint toView(double imageX, double imageY) const;
  // Image pixels covered by `devicePixels` of the view along each axis (at least a pixel's
  // worth, so tolerances never vanish at high zoom).
  double imageUnitsX(double devicePixels) const;
  double imageUnitsY(double devicePixels) const;
};

// What a point touches on an object.
enum class HitPart { None, Body, Border, Handle };
struct HitResult {
  HitPart part = HitPart::None;
  int handle = -1;  // which handle, for HitPart::Handle
  bool operator==(const HitResult&) const = default;
};

// Handles of rectangles and ellipses: the four corners and the four edge midpoints.
enum BoxHandle : int {
  kTopLeft = 0,
  kTop = 1,
  kTopRight = 2,
  kRight = 3,
  kBottomRight = 4,
  kBottom = 5,
  kBottomLeft = 6,
  kLeft = 7,
};

// One row of pixels an object covers: columns x0 .. x1, both included.
struct PixelSpan {
  int32_t y = 0;
  int32_t x0 = 0;
  int32_t x1 = 0;
};

// The default measurement parameters and the test that tells whether an environment
// differs from them (integer parts of the hundredfold values, as single-precision products).
inline constexpr EnvParams kDefaultEnvironment{0.95f, 20.0f, 1.0f, 0.0f};
bool environmentChanged(const EnvParams& env);

}  // namespace solvane
