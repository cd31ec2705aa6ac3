// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/point_array.h"
#include "plot/mapping.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace graph {

// The instruction sets that points can be mapped with, all giving the same pixels.
enum class MappingKernel { Scalar, Sse2, Avx2 };

// Whether this build and this processor can run the kernel.
bool mappingKernelAvailable(MappingKernel kernel);

// Maps points, each first multiplied by the scale factors, to pixels exactly as the engine's
// mapX and mapY do for a linear mapping (same operations in the same order, clamping, halves to
// even, NaN far to the left/top), many points at a time with the widest kernel available.
void mapPoints(const PointBlock& points, const plot::Mapping& mapping, double xScaleFactor,
               double yScaleFactor, int* pixelX, int* pixelY);

// The same with the given kernel, which must be available.
void mapPoints(const PointBlock& points, const plot::Mapping& mapping, double xScaleFactor,
               double yScaleFactor, int* pixelX, int* pixelY, MappingKernel kernel);

// The same pixels as mapPoints, one coordinate at a time, for the few points that are mapped
// singly.
class PixelMapper {
public:
    PixelMapper(const plot::Mapping& m, double xScaleFactor, double yScaleFactor)
        : xScale_(xScaleFactor), yScale_(yScaleFactor), xMin_(m.xMin), yMin_(m.yMin),
          xSpan_(m.xMax - m.xMin), ySpan_(m.yMax - m.yMin), width_(m.mapWidth), left_(m.mapLeft),
          height_(m.mapHeight), bottom_(m.mapBottom) {}

    int column(double x) const { return pixel((x * xScale_ - xMin_) / xSpan_ * width_ + left_); }
    int row(double y) const { return pixel(bottom_ - (y * yScale_ - yMin_) / ySpan_ * height_); }
    // The terms that decide the row of a value.
    std::array<double, 5> rowTerms() const { return {yScale_, yMin_, ySpan_, height_, bottom_}; }
    // About the value that maps to a row position, not rounded: the row of the value must be
    // checked before it counts.
    double valueNear(double rowPosition) const {
        return ((bottom_ - rowPosition) / height_ * ySpan_ + yMin_) / yScale_;
    }

private:
    static int pixel(double p) {
#if defined(__SSE2__)
        if (std::isnan(p))
            return -32768;
        // Halves to even, as plot::clampToPixel.
        return _mm_cvtsd_si32(_mm_set_sd(std::clamp(p, -32768.0, 32767.0)));
#else
        return plot::clampToPixel(p);
#endif
    }

    double xScale_, yScale_, xMin_, yMin_, xSpan_, ySpan_, width_, left_, height_, bottom_;
};

} // namespace graph
