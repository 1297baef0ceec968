// The row loops of the KS smoothing for processors with SSE4.1 or AVX2. They do the same
// integer sums and the same three single-precision steps of the division by nine per pixel
// as the baseline loops, only several pixels at a time, so they give the same counts.
#include "temperature/ks_smoothing_paths.h"

#include "temperature/ks_calibration.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace irdex::ks::paths {

namespace {

// Where the scalar loops take over: the edges, and what is left of a row after whole blocks.
void horizontalTail(const uint16_t* p, std::size_t from, std::size_t w, uint32_t* h) {
  for (std::size_t x = from; x + 1 < w; ++x)
    h[x] = static_cast<uint32_t>(p[x - 1]) + p[x] + static_cast<uint32_t>(p[x + 1]);
  h[w - 1] = p[w - 2] + 2u * p[w - 1];
}

void verticalTail(const uint32_t* up, const uint32_t* mid, const uint32_t* down, std::size_t from,
                  std::size_t w, uint16_t* out) {
  for (std::size_t x = from; x < w; ++x) out[x] = ninth(up[x] + mid[x] + down[x]);
}

}  // namespace

__attribute__((target("sse4.1"))) void horizontalSumsSse41(const uint16_t* p, std::size_t w,
                                                           uint32_t* h) {
  h[0] = 2u * p[0] + p[1];
  std::size_t x = 1;
  // Eight pixels read p[x - 1] .. p[x + 8]; the last of them must be inside the row.
  for (; x + 9 <= w; x += 8) {
    const __m128i left = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x - 1));
    const __m128i centre = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x));
    const __m128i right = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x + 1));
    const __m128i low =
        _mm_add_epi32(_mm_add_epi32(_mm_cvtepu16_epi32(left), _mm_cvtepu16_epi32(centre)),
                      _mm_cvtepu16_epi32(right));
    const __m128i high = _mm_add_epi32(_mm_add_epi32(_mm_cvtepu16_epi32(_mm_srli_si128(left, 8)),
                                                     _mm_cvtepu16_epi32(_mm_srli_si128(centre, 8))),
                                       _mm_cvtepu16_epi32(_mm_srli_si128(right, 8)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(h + x), low);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(h + x + 4), high);
  }
  horizontalTail(p, x, w, h);
}

namespace {

__attribute__((target("sse4.1"))) inline __m128i ninthsSse41(__m128i sums) {
  const __m128 value =
      _mm_mul_ps(_mm_add_ps(_mm_cvtepi32_ps(sums), _mm_set1_ps(0.5f)), _mm_set1_ps(1.0f / 9.0f));
  return _mm_cvttps_epi32(value);
}

__attribute__((target("avx2"))) inline __m256i ninthsAvx2(__m256i sums) {
  const __m256 value = _mm256_mul_ps(_mm256_add_ps(_mm256_cvtepi32_ps(sums), _mm256_set1_ps(0.5f)),
                                     _mm256_set1_ps(1.0f / 9.0f));
  return _mm256_cvttps_epi32(value);
}

__attribute__((target("sse4.1"))) inline __m128i sumsSse41(const uint32_t* up, const uint32_t* mid,
                                                           const uint32_t* down, std::size_t x) {
  const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(up + x));
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mid + x));
  const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(down + x));
  return _mm_add_epi32(_mm_add_epi32(a, b), c);
}

__attribute__((target("avx2"))) inline __m256i sumsAvx2(const uint32_t* up, const uint32_t* mid,
                                                        const uint32_t* down, std::size_t x) {
  const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(up + x));
  const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mid + x));
  const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(down + x));
  return _mm256_add_epi32(_mm256_add_epi32(a, b), c);
}

}  // namespace

__attribute__((target("sse4.1"))) void verticalMeansSse41(const uint32_t* up, const uint32_t* mid,
                                                          const uint32_t* down, std::size_t w,
                                                          uint16_t* out) {
  std::size_t x = 0;
  for (; x + 8 <= w; x += 8) {
    // Means are at most 65535, so the unsigned saturation of the packing never clips.
    const __m128i means = _mm_packus_epi32(ninthsSse41(sumsSse41(up, mid, down, x)),
                                           ninthsSse41(sumsSse41(up, mid, down, x + 4)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), means);
  }
  verticalTail(up, mid, down, x, w, out);
}

__attribute__((target("avx2"))) void horizontalSumsAvx2(const uint16_t* p, std::size_t w,
                                                        uint32_t* h) {
  h[0] = 2u * p[0] + p[1];
  std::size_t x = 1;
  // Sixteen pixels read p[x - 1] .. p[x + 16].
  for (; x + 17 <= w; x += 16) {
    const __m256i left = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + x - 1));
    const __m256i centre = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + x));
    const __m256i right = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + x + 1));
    const __m256i low =
        _mm256_add_epi32(_mm256_add_epi32(_mm256_cvtepu16_epi32(_mm256_castsi256_si128(left)),
                                          _mm256_cvtepu16_epi32(_mm256_castsi256_si128(centre))),
                         _mm256_cvtepu16_epi32(_mm256_castsi256_si128(right)));
    const __m256i high = _mm256_add_epi32(
        _mm256_add_epi32(_mm256_cvtepu16_epi32(_mm256_extracti128_si256(left, 1)),
                         _mm256_cvtepu16_epi32(_mm256_extracti128_si256(centre, 1))),
        _mm256_cvtepu16_epi32(_mm256_extracti128_si256(right, 1)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(h + x), low);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(h + x + 8), high);
  }
  horizontalTail(p, x, w, h);
}

__attribute__((target("avx2"))) void verticalMeansAvx2(const uint32_t* up, const uint32_t* mid,
                                                       const uint32_t* down, std::size_t w,
                                                       uint16_t* out) {
  std::size_t x = 0;
  for (; x + 16 <= w; x += 16) {
    // The packing works within 128-bit halves; the permutation puts the 16 means in order.
    const __m256i packed = _mm256_packus_epi32(ninthsAvx2(sumsAvx2(up, mid, down, x)),
                                               ninthsAvx2(sumsAvx2(up, mid, down, x + 8)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x),
                        _mm256_permute4x64_epi64(packed, 0xD8));
  }
  verticalTail(up, mid, down, x, w, out);
}

}  // namespace irdex::ks::paths

#endif
