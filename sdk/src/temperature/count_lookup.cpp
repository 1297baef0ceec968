#include "temperature/count_lookup.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace irdex::temperature {

namespace {

// Written with restrict so that the compiler knows the output never overlaps the counts or the
// table, which it would otherwise have to assume and then read one pixel at a time.
void lookUpBaseline(const uint16_t* __restrict counts, int64_t n, const float* __restrict values,
                    float* __restrict out) {
  for (int64_t k = 0; k < n; ++k) out[k] = values[counts[k]];
}

#if defined(__x86_64__) || defined(__i386__)
// Eight entries per gather. The entries are moved as 32-bit patterns, never as arithmetic
// values, so every float, NaN payloads included, arrives exactly as the table holds it.
__attribute__((target("avx2"))) void lookUpAvx2(const uint16_t* counts, int64_t n,
                                                const float* values, float* out) {
  const auto* table = reinterpret_cast<const int*>(values);
  const __m256i all = _mm256_set1_epi32(-1);
  int64_t k = 0;
  for (; k + 8 <= n; k += 8) {
    const __m256i index =
        _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(counts + k)));
    // The masked form with every lane on: the plain one starts from an undefined register,
    // which the compiler warns about.
    const __m256i entries =
        _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), table, index, all, 4);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), entries);
  }
  for (; k < n; ++k) std::memcpy(out + k, values + counts[k], sizeof(float));
}
#endif

}  // namespace

void lookUpCounts(const uint16_t* counts, int64_t n, const float* values, float* out) {
  lookUpCounts(bestCpuLevel(), counts, n, values, out);
}

void lookUpCounts(CpuLevel level, const uint16_t* counts, int64_t n, const float* values,
                  float* out) {
#if defined(__x86_64__) || defined(__i386__)
  // A path the processor cannot run would stop the program on an illegal instruction.
  if (level == CpuLevel::Avx2 && cpuRuns(level)) {
    lookUpAvx2(counts, n, values, out);
    return;
  }
#endif
  lookUpBaseline(counts, n, values, out);
}

}  // namespace irdex::temperature
