#pragma once

#include "graph/point_array.h"
#include "plot/mapping.h"

#include <span>

namespace graph {

// Maps points, each first multiplied by the scale factors, to pixels exactly as the engine's
// mapX and mapY do for a linear mapping (same operations in the same order, clamping, halves to
// even, NaN far to the left/top), many points at a time.
void mapPoints(std::span<const Point> points, const plot::Mapping& mapping, double xScaleFactor,
               double yScaleFactor, int* pixelX, int* pixelY);

} // namespace graph
