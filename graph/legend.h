// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/canvas.h"
#include "plot/colors.h"
#include "plot/mapping.h"

#include <QRect>
#include <functional>
#include <span>
#include <string>

namespace graph {

// One line of a legend: a sample of the curve's line and symbol, and its name.
struct LegendEntry {
    std::string label;
    plot::Color colour;
    int symbol;
};

// The legend of a plot, drawn onto the picture over the plot area `area` in the canvas's font: a
// box on the ground colour in the first corner, clockwise from the top right, where `covered`
// counts the fewest points of the curves under it (the top right without one). A label wider
// than the area keeps its last word and as much of its start as fits, the cut marked by "...".
void drawLegend(plot::Canvas& canvas, const plot::Mapping& area,
                std::span<const LegendEntry> entries, plot::Color ground, int symbolSize,
                const std::function<long(const QRect&)>& covered = {});

} // namespace graph
