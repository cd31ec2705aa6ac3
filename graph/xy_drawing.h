// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/graph_look.h"
#include "graph/trace.h"
#include "plot/plot_engine.h"

namespace graph {

// The share of an automatic range's width added on each side.
constexpr double kAutoMargin = 0.05;

// The graph's paint sequence from a clean start of the engine: frame, x axis, then per y axis
// that has traces the axis and its traces, and the ruler set-up for the mouse. The traces go
// through the fast path where the look asks for it, except onto a canvas that echoes its drawing
// as vector shapes, which pixels painted straight into the picture would escape.
void drawXyGraph(plot::PlotEngine& engine, const plot::Canvas& canvas, const GraphLook& look,
                 const TraceList& traces);

} // namespace graph
