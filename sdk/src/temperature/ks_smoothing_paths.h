// The row loops of the KS smoothing per instruction-set level (see records/cpu_dispatch.h).
// Rows are at least two pixels wide.
#pragma once

#include <cstddef>
#include <cstdint>

namespace irdex::ks::paths {

#if defined(__x86_64__) || defined(__i386__)
void horizontalSumsSse41(const uint16_t* p, std::size_t w, uint32_t* h);
void verticalMeansSse41(const uint32_t* up, const uint32_t* mid, const uint32_t* down,
                        std::size_t w, uint16_t* out);
void horizontalSumsAvx2(const uint16_t* p, std::size_t w, uint32_t* h);
void verticalMeansAvx2(const uint32_t* up, const uint32_t* mid, const uint32_t* down, std::size_t w,
                       uint16_t* out);
#endif

}  // namespace irdex::ks::paths
