#pragma once

#include "plot/engine_state.h"

// Grid lines across the current plot rectangle with the area's dash patterns: a negative pattern
// draws nothing, 0 a solid line, P > 0 the pixels at distance d from the bottom (left) edge with
// d AND P = 0. Nothing is drawn on the left (bottom) edge, where the axis line lies.
void GridLineX(EngineState& e, int p, bool minor, TColor colour);
void GridLineY(EngineState& e, int p, bool minor, TColor colour);
