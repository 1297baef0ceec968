#include "imaging/render_mapping.h"

#include <cmath>

namespace irdex::imaging {

GreyMapping::GreyMapping(const CountWindow& window, const AgcSettings& settings)
    : window_(window),
      diff_(static_cast<double>(window.hi) - static_cast<double>(window.lo)),
      intercept_(static_cast<float>(settings.intercept)),
      gamma_(settings.gamma) {
  switch (settings.outputMethod) {
    case kLinear: kind_ = window.core ? Kind::kCoreLinear : Kind::kLinear; break;
    case kTPE:
    case kAPE:
    case kSAPE: kind_ = Kind::kPremap; break;
    default: kind_ = Kind::kNonLinear; break;
  }
  // Formed in double and rounded to float, as the Linear rule says.
  linearFactor_ = static_cast<float>((255.0 - settings.intercept) / diff_);
  powerFactor_ = 255.0 / static_cast<double>(std::pow(static_cast<float>(diff_), settings.gamma));

  if (kind_ == Kind::kCoreLinear) {
    const double lo = window.lo;
    const double intercept = settings.intercept;
    double high = (window.coreHi - lo) * 255.0 / diff_;
    double low = (window.coreLo - lo) * 255.0 / diff_;
    const double squeeze = 1.0 - (high - low) / 255.0;
    high = 255.0 - (255.0 - high) * squeeze;
    low = low * squeeze;
    coreLowGrey_ = low;
    coreHighGrey_ = high;
    // Each segment rises by `rise` over `run` counts; the rise is multiplied before the
    // division so that the segment ends land on their grey levels exactly. A segment of zero
    // width has no slope: its pixels keep the segment's end grey level (see coreLinear).
    lowRise_ = low - intercept;
    coreRise_ = high - low - intercept;
    highRise_ = 255.0 - high - intercept;
  }
}

uint8_t GreyMapping::coreLinear(int32_t count) const {
  const double intercept = intercept_;
  if (count <= window_.coreLo) {
    if (window_.coreLo == window_.lo) return clampGrey(coreLowGrey_);
    return clampGrey(intercept + static_cast<double>(count - window_.lo) * lowRise_ /
                                     (window_.coreLo - window_.lo));
  }
  if (count <= window_.coreHi) {
    // Reached only when the core has width: count lies above coreLo.
    return clampGrey(coreLowGrey_ + intercept +
                     static_cast<double>(count - window_.coreLo) * coreRise_ /
                         (window_.coreHi - window_.coreLo));
  }
  if (window_.hi == window_.coreHi) return 255;
  return clampGrey(coreHighGrey_ + intercept +
                   static_cast<double>(count - window_.coreHi) * highRise_ /
                       (window_.hi - window_.coreHi));
}

uint8_t GreyMapping::operator()(int32_t count) const {
  const int64_t offset = static_cast<int64_t>(count) - window_.lo;
  switch (kind_) {
    case Kind::kLinear: return clampGrey(static_cast<float>(offset) * linearFactor_ + intercept_);
    case Kind::kCoreLinear: return coreLinear(count);
    case Kind::kNonLinear:
      if (offset < 0) return 0;
      return clampGrey(static_cast<double>(std::pow(static_cast<float>(offset), gamma_)) *
                       powerFactor_);
    case Kind::kPremap: return clampGrey(static_cast<double>(offset) * 255.0 / diff_);
  }
  return 0;
}

}  // namespace irdex::imaging
