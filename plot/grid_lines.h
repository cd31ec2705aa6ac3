// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/engine_state.h"

namespace plot {

// Grid lines across the current plot rectangle with the area's dash patterns: a negative pattern
// draws nothing, 0 a solid line, P > 0 the pixels at distance d from the bottom (left) edge with
// d AND P = 0. Nothing is drawn on the left (bottom) edge, where the axis line lies.
void gridLineX(EngineState& e, int p, bool minor, Color colour);
void gridLineY(EngineState& e, int p, bool minor, Color colour);

} // namespace plot
