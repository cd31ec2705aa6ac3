// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/point_mapping.h"

#include "graph/point_mapping_kernels.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace graph {

namespace {

#if defined(__SSE2__)
// Two points per step. The conversion rounds with the default rounding mode, halves to even, as
// RoundHalfEven does. Returns how many points it mapped.
std::size_t mapPointPairsSse2(const PointBlock& points, const MappingTerms& t, int* pixelX,
                              int* pixelY) {
    const __m128d xScale = _mm_set1_pd(t.xScale);
    const __m128d yScale = _mm_set1_pd(t.yScale);
    const __m128d xMin = _mm_set1_pd(t.xMin);
    const __m128d yMin = _mm_set1_pd(t.yMin);
    const __m128d xSpan = _mm_set1_pd(t.xSpan);
    const __m128d ySpan = _mm_set1_pd(t.ySpan);
    const __m128d lowest = _mm_set1_pd(-32768.0);
    const __m128d highest = _mm_set1_pd(32767.0);
    const __m128d width = _mm_set1_pd(t.width);
    const __m128d left = _mm_set1_pd(t.left);
    const __m128d height = _mm_set1_pd(t.height);
    const __m128d bottom = _mm_set1_pd(t.bottom);
    auto load = [](const NumberColumn& column, std::size_t i) {
        const __m128d raw =
            column.values != nullptr
                ? _mm_loadu_pd(column.values + i)
                : _mm_add_pd(_mm_set1_pd(column.base),
                             _mm_cvtepi32_pd(_mm_loadl_epi64(
                                 reinterpret_cast<const __m128i*>(column.ticks + i))));
        const __m128d divided =
            column.divisor == 1 ? raw : _mm_div_pd(raw, _mm_set1_pd(column.divisor));
        return column.factor == 1 ? divided : _mm_mul_pd(divided, _mm_set1_pd(column.factor));
    };
    auto pixels = [&](__m128d p) {
        const __m128d nan = _mm_cmpunord_pd(p, p);
        const __m128d clamped = _mm_max_pd(_mm_min_pd(p, highest), lowest);
        return _mm_cvtpd_epi32(_mm_or_pd(_mm_and_pd(nan, lowest), _mm_andnot_pd(nan, clamped)));
    };
    std::size_t i = 0;
    for (; i + 2 <= points.size(); i += 2) {
        const __m128d x = load(points.x, i);
        const __m128d y = load(points.y, i);
        const __m128d fx = _mm_div_pd(_mm_sub_pd(_mm_mul_pd(x, xScale), xMin), xSpan);
        const __m128d fy = _mm_div_pd(_mm_sub_pd(_mm_mul_pd(y, yScale), yMin), ySpan);
        const __m128i px = pixels(_mm_add_pd(_mm_mul_pd(fx, width), left));
        const __m128i py = pixels(_mm_sub_pd(bottom, _mm_mul_pd(fy, height)));
        pixelX[i] = _mm_cvtsi128_si32(px);
        pixelX[i + 1] = _mm_cvtsi128_si32(_mm_shuffle_epi32(px, 1));
        pixelY[i] = _mm_cvtsi128_si32(py);
        pixelY[i + 1] = _mm_cvtsi128_si32(_mm_shuffle_epi32(py, 1));
    }
    return i;
}
#endif

MappingKernel widestKernel() {
    for (MappingKernel kernel : {MappingKernel::Avx2, MappingKernel::Sse2})
        if (mappingKernelAvailable(kernel))
            return kernel;
    return MappingKernel::Scalar;
}

} // namespace

bool mappingKernelAvailable(MappingKernel kernel) {
    switch (kernel) {
    case MappingKernel::Scalar:
        return true;
    case MappingKernel::Sse2:
#if defined(__SSE2__)
        return true;
#else
        return false;
#endif
    case MappingKernel::Avx2:
#if defined(__x86_64__) || defined(__i386__)
        return __builtin_cpu_supports("avx2");
#else
        return false;
#endif
    }
    return false;
}

void mapPoints(const PointBlock& points, const plot::Mapping& m, double xScaleFactor,
               double yScaleFactor, int* pixelX, int* pixelY) {
    // Chosen once: the processor does not change under a running program.
    static const MappingKernel kernel = widestKernel();
    mapPoints(points, m, xScaleFactor, yScaleFactor, pixelX, pixelY, kernel);
}

void mapPoints(const PointBlock& points, const plot::Mapping& m, double xScaleFactor,
               double yScaleFactor, int* pixelX, int* pixelY, MappingKernel kernel) {
    const MappingTerms t{xScaleFactor,
                         yScaleFactor,
                         m.xMin,
                         m.yMin,
                         m.xMax - m.xMin,
                         m.yMax - m.yMin,
                         static_cast<double>(m.mapWidth),
                         static_cast<double>(m.mapLeft),
                         static_cast<double>(m.mapHeight),
                         static_cast<double>(m.mapBottom)};
    std::size_t i = 0;
    switch (kernel) {
    case MappingKernel::Avx2:
#if defined(__x86_64__) || defined(__i386__)
        i = mapPointGroupsAvx2(points, t, pixelX, pixelY);
#endif
        break;
    case MappingKernel::Sse2:
#if defined(__SSE2__)
        i = mapPointPairsSse2(points, t, pixelX, pixelY);
#endif
        break;
    case MappingKernel::Scalar:
        break;
    }
    for (; i < points.size(); ++i) {
        const double x = points.x[i] * t.xScale;
        const double y = points.y[i] * t.yScale;
        pixelX[i] = plot::clampToPixel((x - t.xMin) / t.xSpan * t.width + t.left);
        pixelY[i] = plot::clampToPixel(t.bottom - (y - t.yMin) / t.ySpan * t.height);
    }
}

} // namespace graph
