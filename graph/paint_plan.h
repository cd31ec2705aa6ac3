// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/auto_range.h"
#include "graph/trace.h"

#include <vector>

namespace graph {

// The axis settings that decide one axis range.
struct RangeSettings {
    bool automatic = true;
    double fixed0 = -1.0;
    double fixed1 = 1.0;
    double scaleFactor = 1.0;
};

// What a repaint draws: the counting traces per y axis, in store order, and the three ranges.
struct PaintPlan {
    std::vector<int> left;
    std::vector<int> right;
    AxisRange x;
    AxisRange yLeft;
    AxisRange yRight;
};

// Sorts the traces and ranges the axes from the traces' running extremes, so a repaint costs
// nothing per stored point here. Fixed ranges are taken as they stand, not scaled.
PaintPlan planPaint(const TraceList& traces, const RangeSettings& x, const RangeSettings& yLeft,
                    const RangeSettings& yRight, double margin);

} // namespace graph
