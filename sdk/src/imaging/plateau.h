// Plateau histogram equalisation of 8-bit images: every bin is cut to a plateau before the
// running sum becomes the new grey scale. TPE takes a fixed plateau; APE and SAPE derive it
// from the histogram and blend it with the plateau of the previous frame.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace irdex::imaging {

using GreyHistogram = std::array<uint32_t, 256>;
using GreyMap = std::array<uint8_t, 256>;

GreyHistogram greyHistogram(std::span<const uint8_t> image);

// Each returns the grey map to apply, or nothing when the cut histogram holds no pixel (an
// empty image, or a plateau of 0): such an image is left as it is. An empty histogram also
// leaves prevPlateau untouched.
std::optional<GreyMap> plateauMapTPE(const GreyHistogram& histogram, int32_t plateau);
std::optional<GreyMap> plateauMapAPE(const GreyHistogram& histogram, float epsilon, float psi,
                                     float& prevPlateau);
std::optional<GreyMap> plateauMapSAPE(const GreyHistogram& histogram, float psi,
                                      float& prevPlateau);

// The SAPE plateau candidate before the jump limit: the chosen valley of the median-filtered
// histogram, at least 10.
float sapeCandidate(const GreyHistogram& histogram);

// The same on an image, in place.
void equaliseTPE(std::span<uint8_t> image, int32_t plateau);
void equaliseAPE(std::span<uint8_t> image, float epsilon, float psi, float& prevPlateau);
void equaliseSAPE(std::span<uint8_t> image, float psi, float& prevPlateau);

}  // namespace irdex::imaging
