// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/point_array.h"
#include "plot/colors.h"

#include <cstdint>
#include <string>
#include <vector>

namespace graph {

// One trace of the graph: its points and how it is drawn.
struct Trace {
    PointArray points;
    plot::Color colour = plot::kBlue;
    std::int32_t symbol = 1;
    bool lineOn = true;
    bool symbolOn = true;
    bool visible = true;
    bool rightAxis = false;
    // Its name in the graph's legend; a graph whose traces have none draws no legend.
    std::string label;

    // Only a visible trace that draws something and has points is ranged and drawn.
    bool counts() const { return visible && (lineOn || symbolOn) && !points.empty(); }
};

using TraceList = std::vector<Trace>;

} // namespace graph
