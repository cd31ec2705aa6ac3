#pragma once

#include "graph/auto_range.h"
#include "graph/trace.h"

#include <vector>

// The axis settings that decide one axis range.
struct TRangeSettings {
    bool Auto = true;
    double Fixed0 = -1.0;
    double Fixed1 = 1.0;
    double ScaleFactor = 1.0;
};

// What a repaint draws: the counting traces per y axis, in store order, and the three ranges.
struct TPaintPlan {
    std::vector<int> Left;
    std::vector<int> Right;
    TAxisRange X;
    TAxisRange YLeft;
    TAxisRange YRight;
};

// Sorts the traces and ranges the axes from the traces' running extremes, so a repaint costs
// nothing per stored point here. Fixed ranges are taken as they stand, not scaled.
TPaintPlan PlanPaint(const TTraceArray& Traces, const TRangeSettings& X,
                     const TRangeSettings& YLeft, const TRangeSettings& YRight, double Margin);
