// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/engine_state.h"
#include "plot/plot_engine.h"

namespace plot {

// Scales, draws and maps one axis of the current plot area, x or y (see PlotEngine::drawAxis).
void drawAxis(EngineState& e, const plot::AxisDescription& axis);

} // namespace plot
