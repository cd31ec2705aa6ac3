// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/engine_state.h"
#include "plot/plot_engine.h"

namespace plot {

// Picture life cycle on the engine state (see PlotEngine).

void startGraph(EngineState& e, Color backColour, Color frameColour, double scale);
void setPlotArea(EngineState& e, const plot::PlotAreaLayout& layout);
void finishGraph(EngineState& e);
void setLineWidth(EngineState& e, int n);
void setPenColour(EngineState& e, Color colour);

} // namespace plot
