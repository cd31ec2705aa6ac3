// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/colors.h"

#include <array>

namespace plot {

// What a picture's plot areas hold: read by zoom and ruler, and by callers that want to know
// what an area shows.

constexpr int kMaxPlotAreas = 8;
constexpr int kAxisX = 0; // axis record of the X axis; 1..4 are Y1..Y4

struct FractionWindow {
    double low = 0.0;
    double high = 1.0;
};

// The visible part of an area's full x and y ranges as fractions; 0, 1, 0, 1 when not zoomed.
struct ZoomWindow {
    double xLow = 0.0;
    double xHigh = 1.0;
    double yLow = 0.0;
    double yHigh = 1.0;
};

struct PixelRect {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// One axis as drawn in an area: what zoom and ruler read back.
struct AxisRecord {
    bool axisDefined = false;
    bool axisLog = false;
    Color axisColour = kBlack;
    double axisMin = 0.0;
    double axisMax = 0.0;
    double axisLogSpan = 0.0;
    int axisPixelOrigin = 0;
    int axisPixelLength = 0;
    FractionWindow axisZoomWindow; // visible part of the full range, survives pictures
    FractionWindow drawnWindow;    // part actually shown (may be widened to ticks)
    double unitsPerPixel = 0.0;
    double minimumStep = 0.0; // rounded to 1, 2 or 5 times a power of ten; 0 = none
    int labelDecimals = 0;
    int minimumStepDecimals = 99;
};

enum GridLine { kXMajorGrid = 0, kXMinorGrid = 1, kYMajorGrid = 2, kYMinorGrid = 3 };

struct PlotArea {
    PixelRect areaRect; // from the percentages, before the pixel margins
    ZoomWindow zoomWindow;
    bool areaValid = false;
    bool skipClip = false;
    std::array<int, 4> gridPattern{4, 7, 4, 7};
    std::array<AxisRecord, 5> axisRecord;
    double minZoomFractionX = 0.0;
    double minZoomFractionY = 0.0;
    int drawnYAxisCount = 0; // y axes drawn since the X axis (running mean of the y window)
};

} // namespace plot
