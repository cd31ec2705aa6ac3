// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/trace.h"
#include "plot/plot_engine.h"

#include <vector>

namespace graph {

// How the traces of one y axis are handed to the engine.
struct TraceStyle {
    double xScaleFactor;
    double yScaleFactor;
    int symbolSize;
};

// One engine call per point: pen colour, moveTo the first point, then drawTo (or moveTo without
// lines, and where the line breaks) every further point, each followed by its symbol.
void drawTracesPerPoint(plot::PlotEngine& engine, const std::vector<const Trace*>& traces,
                        const TraceStyle& style);

// The same picture from per-column coverage masks. Returns false, having drawn nothing, where
// the engine state or the trace settings leave the per-point drawing as the only exact way.
bool drawTracesFast(plot::PlotEngine& engine, const std::vector<const Trace*>& traces,
                    const TraceStyle& style);

} // namespace graph
