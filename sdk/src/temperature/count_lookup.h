// out[k] = values[counts[k]] over a whole image: the inner loop of every table conversion.
#pragma once

#include <cstdint>

#include "records/cpu_dispatch.h"

namespace irdex::temperature {

// On the fastest path this processor has. `values` holds 65,536 entries.
void lookUpCounts(const uint16_t* counts, int64_t n, const float* values, float* out);
// On the path of `level` (the baseline where the processor cannot run it), for tests.
void lookUpCounts(CpuLevel level, const uint16_t* counts, int64_t n, const float* values,
                  float* out);

}  // namespace irdex::temperature
