#pragma once

#include "graph/point_array.h"
#include "plot/mapping.h"

#include <span>

// Maps points, each first multiplied by the scale factors, to pixels exactly as the engine's
// mapX and mapY do for a linear mapping (same operations in the same order, clamping, halves to
// even, NaN far to the left/top), many points at a time.
void MapPoints(std::span<const TPoint> Points, const plot::Mapping& Mapping, double XScaleFactor,
               double YScaleFactor, int* PixelX, int* PixelY);
