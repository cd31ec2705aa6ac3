// SPDX-License-Identifier: GPL-3.0-or-later
// Built with -ffp-contract=off: a multiply and an add fused into one step would round
// differently from the engine's mapping.
#include "graph/point_mapping_kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace graph {

namespace {

// Clamped, NaN far left or top; the conversion rounds halves to even, as RoundHalfEven.
__attribute__((target("avx2"))) __m128i pixels(__m256d p) {
    const __m256d lowest = _mm256_set1_pd(-32768.0);
    const __m256d highest = _mm256_set1_pd(32767.0);
    return _mm256_cvtpd_epi32(_mm256_blendv_pd(_mm256_max_pd(_mm256_min_pd(p, highest), lowest),
                                               lowest, _mm256_cmp_pd(p, p, _CMP_UNORD_Q)));
}

// Four numbers of a column from number i on.
__attribute__((target("avx2"))) __m256d load(const NumberColumn& column, std::size_t i) {
    const __m256d raw =
        column.values != nullptr
            ? _mm256_loadu_pd(column.values + i)
            : _mm256_add_pd(_mm256_set1_pd(column.base),
                            _mm256_cvtepi32_pd(_mm_loadu_si128(
                                reinterpret_cast<const __m128i*>(column.ticks + i))));
    const __m256d divided =
        column.divisor == 1 ? raw : _mm256_div_pd(raw, _mm256_set1_pd(column.divisor));
    return column.factor == 1 ? divided : _mm256_mul_pd(divided, _mm256_set1_pd(column.factor));
}

} // namespace

__attribute__((target("avx2"))) std::size_t
mapPointGroupsAvx2(const PointBlock& points, const MappingTerms& t, int* pixelX, int* pixelY) {
    const __m256d xScale = _mm256_set1_pd(t.xScale);
    const __m256d yScale = _mm256_set1_pd(t.yScale);
    const __m256d xMin = _mm256_set1_pd(t.xMin);
    const __m256d yMin = _mm256_set1_pd(t.yMin);
    const __m256d xSpan = _mm256_set1_pd(t.xSpan);
    const __m256d ySpan = _mm256_set1_pd(t.ySpan);
    const __m256d width = _mm256_set1_pd(t.width);
    const __m256d left = _mm256_set1_pd(t.left);
    const __m256d height = _mm256_set1_pd(t.height);
    const __m256d bottom = _mm256_set1_pd(t.bottom);
    std::size_t i = 0;
    for (; i + 4 <= points.size(); i += 4) {
        const __m256d x = load(points.x, i);
        const __m256d y = load(points.y, i);
        const __m256d fx = _mm256_div_pd(_mm256_sub_pd(_mm256_mul_pd(x, xScale), xMin), xSpan);
        const __m256d fy = _mm256_div_pd(_mm256_sub_pd(_mm256_mul_pd(y, yScale), yMin), ySpan);
        const __m256d px = _mm256_add_pd(_mm256_mul_pd(fx, width), left);
        const __m256d py = _mm256_sub_pd(bottom, _mm256_mul_pd(fy, height));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixelX + i), pixels(px));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixelY + i), pixels(py));
    }
    return i;
}

} // namespace graph

#endif
