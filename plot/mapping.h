// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/plot_area.h"
#include "plot/rounding.h"

#include <algorithm>
#include <cmath>

namespace plot {

// World values to pixels and back. Pixel results are clamped to -32768..32767 before rounding
// (halves to even); NaN goes far to the left or top.

// The world-to-pixel mapping that lines and symbols are drawn with: the plot rectangle and the
// world values at its edges (xMin at the left, yMin at the bottom).
struct Mapping {
    int mapLeft = 0;
    int mapWidth = 0;
    int mapBottom = 0;
    int mapHeight = 0;
    double xMin = 0.0;
    double xMax = 0.0;
    double yMin = 0.0;
    double yMax = 0.0;
    bool xLog = false;
    bool yLog = false;
    double xLogSpan = 0.0;
    double yLogSpan = 0.0;
};

// The pixel of a mapped coordinate, as every mapping here rounds it: far-away points stay finite
// so that the clipper can cut them; NaN goes far to the left or top.
inline int clampToPixel(double p) {
    if (std::isnan(p)) {
        return -32768;
    }
    return roundHalfEven(std::clamp(p, -32768.0, 32767.0));
}

int mapX(const Mapping& m, double x);
int mapY(const Mapping& m, double y);
double pixelToWorldY(const Mapping& m, int py);

// The linear mapping of an axis as it was drawn (x axis: origin at the left; y axis: origin at
// the bottom), and back, logarithmic where the axis was.
int axisPixelX(const AxisRecord& r, double x);
int axisPixelY(const AxisRecord& r, double y);
double axisWorldX(const AxisRecord& r, int px);
double axisWorldY(const AxisRecord& r, int py);

} // namespace plot
