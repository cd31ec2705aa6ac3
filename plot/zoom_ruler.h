#pragma once

#include "plot/engine_state.h"

// Mouse zoom and measuring ruler on the last drawn picture (see PlotEngine).

void SetupRuler(EngineState& e, TColor colour, int textX, int textY, int alignment, int flags);
void MouseDown(EngineState& e, TMouseButton button, int shift, int x, int y);
void MouseMove(EngineState& e, int shift, int x, int y);
void MouseUp(EngineState& e, TMouseButton button, int shift, int x, int y);

// Narrows the axes of the current area to the zoom rectangle; a click unzooms the area.
void ApplyZoom(EngineState& e);
