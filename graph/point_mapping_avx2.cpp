// SPDX-License-Identifier: GPL-3.0-or-later
// Built with -ffp-contract=off: a multiply and an add fused into one step would round
// differently from the engine's mapping.
#include "graph/point_mapping_kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace graph {

__attribute__((target("avx2"))) std::size_t
mapPointGroupsAvx2(std::span<const Point> points, const MappingTerms& t, int* pixelX, int* pixelY) {
    const __m256d scale = _mm256_setr_pd(t.xScale, t.yScale, t.xScale, t.yScale);
    const __m256d minimum = _mm256_setr_pd(t.xMin, t.yMin, t.xMin, t.yMin);
    const __m256d span = _mm256_setr_pd(t.xSpan, t.ySpan, t.xSpan, t.ySpan);
    const __m256d lowest = _mm256_set1_pd(-32768.0);
    const __m256d highest = _mm256_set1_pd(32767.0);
    const __m256d width = _mm256_set1_pd(t.width);
    const __m256d left = _mm256_set1_pd(t.left);
    const __m256d height = _mm256_set1_pd(t.height);
    const __m256d bottom = _mm256_set1_pd(t.bottom);
    const double* raw = reinterpret_cast<const double*>(points.data());
    std::size_t i = 0;
    for (; i + 4 <= points.size(); i += 4) {
        const __m256d a = _mm256_loadu_pd(raw + 2 * i);     // x0 y0 x1 y1
        const __m256d b = _mm256_loadu_pd(raw + 2 * i + 4); // x2 y2 x3 y3
        const __m256d fa = _mm256_div_pd(_mm256_sub_pd(_mm256_mul_pd(a, scale), minimum), span);
        const __m256d fb = _mm256_div_pd(_mm256_sub_pd(_mm256_mul_pd(b, scale), minimum), span);
        // Unpacking works within each half of the register: x0 x2 x1 x3 and y0 y2 y1 y3.
        const __m256d px = _mm256_add_pd(_mm256_mul_pd(_mm256_unpacklo_pd(fa, fb), width), left);
        const __m256d py = _mm256_sub_pd(bottom, _mm256_mul_pd(_mm256_unpackhi_pd(fa, fb), height));
        // Clamped, NaN far left or top; the conversion rounds halves to even, as RoundHalfEven.
        const __m256d cx = _mm256_blendv_pd(_mm256_max_pd(_mm256_min_pd(px, highest), lowest),
                                            lowest, _mm256_cmp_pd(px, px, _CMP_UNORD_Q));
        const __m256d cy = _mm256_blendv_pd(_mm256_max_pd(_mm256_min_pd(py, highest), lowest),
                                            lowest, _mm256_cmp_pd(py, py, _CMP_UNORD_Q));
        constexpr int kInOrder = _MM_SHUFFLE(3, 1, 2, 0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixelX + i),
                         _mm_shuffle_epi32(_mm256_cvtpd_epi32(cx), kInOrder));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixelY + i),
                         _mm_shuffle_epi32(_mm256_cvtpd_epi32(cy), kInOrder));
    }
    return i;
}

} // namespace graph

#endif
