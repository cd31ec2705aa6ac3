// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/point_array.h"

#include <cstddef>
#include <span>

namespace graph {

// The terms of a linear mapping with the scale factors applied first: a column is
// (x * xScale - xMin) / xSpan * width + left, a row bottom - (y * yScale - yMin) / ySpan * height.
struct MappingTerms {
    double xScale, yScale, xMin, yMin, xSpan, ySpan, width, left, height, bottom;
};

// Maps the points in groups of four with AVX2 and returns how many it mapped: all but the last
// size % 4, which are left to the caller. Only for processors with AVX2.
std::size_t mapPointGroupsAvx2(const PointBlock& points, const MappingTerms& terms, int* pixelX,
                               int* pixelY);

} // namespace graph
