// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/engine_state.h"

namespace plot {

// Mouse zoom and measuring ruler on the last drawn picture (see PlotEngine).

void setupRuler(EngineState& e, Color colour, int textX, int textY, int alignment, int flags);
void mouseDown(EngineState& e, MouseButton button, int shift, int x, int y);
void mouseMove(EngineState& e, int shift, int x, int y);
void mouseUp(EngineState& e, MouseButton button, int shift, int x, int y);

// Narrows the axes of the current area to the zoom rectangle; a click unzooms the area.
void applyZoom(EngineState& e);

} // namespace plot
