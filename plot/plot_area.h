#pragma once

#include "plot/colors.h"

#include <array>

// What a picture's plot areas hold: read by zoom and ruler, and by callers that want to know
// what an area shows.

constexpr int kMaxPlotAreas = 8;
constexpr int kAxisX = 0; // axis record of the X axis; 1..4 are Y1..Y4

struct TFractionWindow {
    double Low = 0.0;
    double High = 1.0;
};

// The visible part of an area's full x and y ranges as fractions; 0, 1, 0, 1 when not zoomed.
struct TZoomWindow {
    double XLow = 0.0;
    double XHigh = 1.0;
    double YLow = 0.0;
    double YHigh = 1.0;
};

struct TPixelRect {
    int Left = 0;
    int Right = 0;
    int Top = 0;
    int Bottom = 0;
};

// One axis as drawn in an area: what zoom and ruler read back.
struct TAxisRecord {
    bool AxisDefined = false;
    bool AxisLog = false;
    TColor AxisColour = clBlack;
    double AxisMin = 0.0;
    double AxisMax = 0.0;
    double AxisLogSpan = 0.0;
    int AxisPixelOrigin = 0;
    int AxisPixelLength = 0;
    TFractionWindow AxisZoomWindow; // visible part of the full range, survives pictures
    TFractionWindow DrawnWindow;    // part actually shown (may be widened to ticks)
    double UnitsPerPixel = 0.0;
    double MinimumStep = 0.0; // rounded to 1, 2 or 5 times a power of ten; 0 = none
    int LabelDecimals = 0;
    int MinimumStepDecimals = 99;
};

enum TGridLine { glXMajor = 0, glXMinor = 1, glYMajor = 2, glYMinor = 3 };

struct TPlotArea {
    TPixelRect AreaRect; // from the percentages, before the pixel margins
    TZoomWindow ZoomWindow;
    bool AreaValid = false;
    bool SkipClip = false;
    std::array<int, 4> GridPattern{4, 7, 4, 7};
    std::array<TAxisRecord, 5> AxisRecord;
    double MinZoomFractionX = 0.0;
    double MinZoomFractionY = 0.0;
    int DrawnYAxisCount = 0; // y axes drawn since the X axis (running mean of the y window)
};
