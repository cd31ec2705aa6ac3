#pragma once

#include "graph/trace.h"
#include "plot/plot_engine.h"

#include <vector>

// How the traces of one y axis are handed to the engine.
struct TTraceStyle {
    double XScaleFactor;
    double YScaleFactor;
    int SymbolSize;
};

// One engine call per point: pen colour, moveTo the first point, then drawTo (or moveTo without
// lines) every further point, each followed by its symbol.
void DrawTracesPerPoint(plot::PlotEngine& Engine, const std::vector<const TTrace*>& Traces,
                        const TTraceStyle& Style);

// The same picture from per-column coverage masks. Returns false, having drawn nothing, where
// the engine state or the trace settings leave the per-point drawing as the only exact way.
bool DrawTracesFast(plot::PlotEngine& Engine, const std::vector<const TTrace*>& Traces,
                    const TTraceStyle& Style);
