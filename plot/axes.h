#pragma once

#include "plot/engine_state.h"
#include "plot/plot_engine.h"

// Scale, draw and map one axis of the current plot area (see PlotEngine::drawAxis).
void DrawXAxis(EngineState& e, const plot::AxisDescription& axis);
void DrawYAxis(EngineState& e, const plot::AxisDescription& axis);
