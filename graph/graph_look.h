// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/axis_settings.h"
#include "plot/colors.h"
#include "plot/plot_engine.h"

#include <QPoint>

namespace graph {

// How a graph looks, whatever draws it: its axes and grids, where the plot rectangle lies in the
// picture, its colours, text and symbol sizes, and where the ruler readout is written.
struct GraphLook {
    AxisSettings xAxis{.caption = "X-Axis"};
    AxisSettings leftAxis{.caption = "Y1-Axis"};
    AxisSettings rightAxis{.caption = "Y2-Axis", .colour = plot::kGreen};
    bool xGridOn = false;
    bool leftGridOn = false;
    bool rightGridOn = false;
    plot::PlotAreaLayout areaLayout{
        .leftPercent = 10, .rightPercent = 90, .topPercent = 10, .bottomPercent = 80};
    plot::Color backColour = plot::kButtonFace;
    plot::Color frameColour = plot::kBlue;
    // The axis texts are 8 points times this scale.
    double fontScale = 1.5;
    int symbolSize = 8;
    // Axis labels in fixed instead of general number format.
    bool fixedNumberFormat = true;
    QPoint readoutPosition{2, 2};
    // Draw the traces through per-column coverage masks instead of one engine call per point;
    // the picture is the same pixel for pixel.
    bool fastDrawing = true;
};

} // namespace graph
