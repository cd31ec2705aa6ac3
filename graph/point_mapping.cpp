// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/point_mapping.h"

#include "plot/rounding.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace graph {

namespace {

int clampedPixel(double p) {
    if (std::isnan(p))
        return -32768;
    return plot::roundHalfEven(std::clamp(p, -32768.0, 32767.0));
}

} // namespace

void mapPoints(std::span<const Point> points, const plot::Mapping& m, double xScaleFactor,
               double yScaleFactor, int* pixelX, int* pixelY) {
    const double xSpan = m.xMax - m.xMin;
    const double ySpan = m.yMax - m.yMin;
    const double width = m.mapWidth;
    const double left = m.mapLeft;
    const double height = m.mapHeight;
    const double bottom = m.mapBottom;
    std::size_t i = 0;
#if defined(__SSE2__)
    // Two points per step: x of both in one register, y of both in the other. The conversion
    // rounds with the default rounding mode, halves to even, as RoundHalfEven does.
    const __m128d scale = _mm_set_pd(yScaleFactor, xScaleFactor);
    const __m128d minimum = _mm_set_pd(m.yMin, m.xMin);
    const __m128d span = _mm_set_pd(ySpan, xSpan);
    const __m128d lowest = _mm_set1_pd(-32768.0);
    const __m128d highest = _mm_set1_pd(32767.0);
    const __m128d vWidth = _mm_set1_pd(width);
    const __m128d vLeft = _mm_set1_pd(left);
    const __m128d vHeight = _mm_set1_pd(height);
    const __m128d vBottom = _mm_set1_pd(bottom);
    auto pixels = [&](__m128d p) {
        const __m128d nan = _mm_cmpunord_pd(p, p);
        const __m128d clamped = _mm_max_pd(_mm_min_pd(p, highest), lowest);
        return _mm_cvtpd_epi32(_mm_or_pd(_mm_and_pd(nan, lowest), _mm_andnot_pd(nan, clamped)));
    };
    const double* raw = reinterpret_cast<const double*>(points.data());
    for (; i + 2 <= points.size(); i += 2) {
        const __m128d a = _mm_loadu_pd(raw + 2 * i);     // x0 y0
        const __m128d b = _mm_loadu_pd(raw + 2 * i + 2); // x1 y1
        const __m128d fa = _mm_div_pd(_mm_sub_pd(_mm_mul_pd(a, scale), minimum), span);
        const __m128d fb = _mm_div_pd(_mm_sub_pd(_mm_mul_pd(b, scale), minimum), span);
        const __m128d fx = _mm_unpacklo_pd(fa, fb);
        const __m128d fy = _mm_unpackhi_pd(fa, fb);
        const __m128i px = pixels(_mm_add_pd(_mm_mul_pd(fx, vWidth), vLeft));
        const __m128i py = pixels(_mm_sub_pd(vBottom, _mm_mul_pd(fy, vHeight)));
        pixelX[i] = _mm_cvtsi128_si32(px);
        pixelX[i + 1] = _mm_cvtsi128_si32(_mm_shuffle_epi32(px, 1));
        pixelY[i] = _mm_cvtsi128_si32(py);
        pixelY[i + 1] = _mm_cvtsi128_si32(_mm_shuffle_epi32(py, 1));
    }
#endif
    for (; i < points.size(); ++i) {
        const double x = points[i].x * xScaleFactor;
        const double y = points[i].y * yScaleFactor;
        pixelX[i] = clampedPixel((x - m.xMin) / xSpan * width + left);
        pixelY[i] = clampedPixel(bottom - (y - m.yMin) / ySpan * height);
    }
}

} // namespace graph
