#pragma once

#include "plot/plot_area.h"

// World values to pixels and back. Pixel results are clamped to -32768..32767 before rounding
// (halves to even); NaN goes far to the left or top.

// The world-to-pixel mapping that lines and symbols are drawn with: the plot rectangle and the
// world values at its edges (XMin at the left, YMin at the bottom).
struct TMapping {
    int MapLeft = 0;
    int MapWidth = 0;
    int MapBottom = 0;
    int MapHeight = 0;
    double XMin = 0.0;
    double XMax = 0.0;
    double YMin = 0.0;
    double YMax = 0.0;
    bool XLog = false;
    bool YLog = false;
    double XLogSpan = 0.0;
    double YLogSpan = 0.0;
};

int MapX(const TMapping& m, double x);
int MapY(const TMapping& m, double y);
double PixelToWorldY(const TMapping& m, int py);

// The linear mapping of an axis as it was drawn (x axis: origin at the left; y axis: origin at
// the bottom), and back, logarithmic where the axis was.
int AxisPixelX(const TAxisRecord& r, double x);
int AxisPixelY(const TAxisRecord& r, double y);
double AxisWorldX(const TAxisRecord& r, int px);
double AxisWorldY(const TAxisRecord& r, int py);
