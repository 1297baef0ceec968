#include "palette/interpolation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessor {

namespace {

// Segment formulas can leave 0..255 only through a position outside the segment; clamping
// keeps such a call from wrapping a channel around.
uint8_t toChannel(double value) {
  if (!(value > 0.0)) return 0;
  if (value >= 255.0) return 255;
  return static_cast<uint8_t>(value);  // truncation, as the channel rules ask
}

template <typename PerChannel>
ColourRef perChannel(ColourRef a, ColourRef b, PerChannel&& f) {
  return makeColour(toChannel(f(redOf(a), redOf(b))), toChannel(f(greenOf(a), greenOf(b))),
                    toChannel(f(blueOf(a), blueOf(b))));
}

double segmentFraction(double p, double s, double e) {
  // A segment of zero width (a peg on the start or end peg) has no inside: its start rules.
  return e - s == 0.0 ? 0.0 : (p - s) / (e - s);
}

double hueChannel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

// The hue of the far end as seen from `from` when turning the way `method` asks.
double targetHue(InterpolationMethod method, double from, double to) {
  const double difference = to - from;
  switch (method) {
    case InterpolationMethod::HslClockwise: return to < from ? to + 1.0 : to;
    case InterpolationMethod::HslAntiClockwise: return to > from ? to - 1.0 : to;
    case InterpolationMethod::HslShortest:
      if (difference > 0.5) return to - 1.0;
      if (difference < -0.5) return to + 1.0;
      return to;
    case InterpolationMethod::HslLongest:
      if (difference > 0.0 && difference < 0.5) return to - 1.0;
      if (difference < 0.0 && difference > -0.5) return to + 1.0;
      return to;
    default: return to;
  }
}

ColourRef hslInterpolate(InterpolationMethod method, ColourRef a, ColourRef b, double t) {
  const Hsl from = toHsl(a);
  const Hsl to = toHsl(b);
  Hsl mixed;
  const double hueEnd = targetHue(method, from.hue, to.hue);
  mixed.hue = from.hue + (hueEnd - from.hue) * t;
  mixed.hue -= std::floor(mixed.hue);
  mixed.saturation = from.saturation + (to.saturation - from.saturation) * t;
  mixed.lightness = from.lightness + (to.lightness - from.lightness) * t;
  return fromHsl(mixed);
}

}  // namespace

Hsl toHsl(ColourRef colour) {
  const double r = redOf(colour) / 255.0;
  const double g = greenOf(colour) / 255.0;
  const double b = blueOf(colour) / 255.0;
  const double high = std::max({r, g, b});
  const double low = std::min({r, g, b});
  Hsl hsl;
  hsl.lightness = (high + low) / 2;
  if (high == low) return hsl;  // a grey has no hue
  const double d = high - low;
  hsl.saturation = hsl.lightness > 0.5 ? d / (2 - high - low) : d / (high + low);
  if (high == r) {
    hsl.hue = (g - b) / d + (g < b ? 6 : 0);
  } else if (high == g) {
    hsl.hue = (b - r) / d + 2;
  } else {
    hsl.hue = (r - g) / d + 4;
  }
  hsl.hue /= 6;
  return hsl;
}

ColourRef fromHsl(const Hsl& hsl) {
  // The round trip through fractions lands a hair below whole channel values; without the
  // nudge, truncation would turn a pure 200 into 199.
  constexpr double kNudge = 1e-6;
  auto channel = [](double v) { return toChannel(v * 255.0 + kNudge); };
  if (hsl.saturation == 0) {
    const uint8_t grey = channel(hsl.lightness);
    return makeColour(grey, grey, grey);
  }
  const double l = hsl.lightness;
  const double s = hsl.saturation;
  const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
  const double p = 2 * l - q;
  return makeColour(channel(hueChannel(p, q, hsl.hue + 1.0 / 3)),
                    channel(hueChannel(p, q, hsl.hue)),
                    channel(hueChannel(p, q, hsl.hue - 1.0 / 3)));
}

ColourRef interpolate(InterpolationMethod method, ColourRef a, ColourRef b, double p, double s,
                      double e) {
  switch (method) {
    case InterpolationMethod::Linear:
      return perChannel(a, b, [&](double ca, double cb) {
        if (s == e) return ca;
        if (e - s == 0.0) return cb;
        if (p == s) return ca;
        if (p == e) return cb;
        return (cb * (p - s) + ca * (e - p)) / (e - s);
      });
    case InterpolationMethod::FlatStart: return a;
    case InterpolationMethod::FlatMiddle:
      return perChannel(a, b, [](double ca, double cb) { return std::floor((ca + cb) / 2); });
    case InterpolationMethod::FlatEnd: return b;
    case InterpolationMethod::Cosine: {
      const double f = (1 - std::cos(std::numbers::pi * segmentFraction(p, s, e))) * 0.5;
      return perChannel(a, b, [&](double ca, double cb) { return ca * (1 - f) + cb * f; });
    }
    case InterpolationMethod::HslClockwise:
    case InterpolationMethod::HslAntiClockwise:
    case InterpolationMethod::HslShortest:
    case InterpolationMethod::HslLongest:
      return hslInterpolate(method, a, b, segmentFraction(p, s, e));
    case InterpolationMethod::Reverse:
      return perChannel(a, b, [&](double ca, double cb) {
        if (s == e) return ca;
        if (e - s == 0.0 || p == s) return cb;
        if (p == e) return ca;
        return (cb * (e - p) + ca * (p - s)) / (e - s);
      });
  }
  return a;
}

}  // namespace tessor
