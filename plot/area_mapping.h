// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/engine_state.h"

namespace plot {

// World values and pixels through the current area's drawn axes (axis 1..4 for y); pixels
// outside the picture count as its edge. PixelToWorldY with axis 0 uses the current mapping,
// any other axis number gives NaN; AreaMapY of such a number lies far away.

int areaMapX(const EngineState& e, double x);
int areaMapY(const EngineState& e, int axis, double y);
double pixelToWorldX(const EngineState& e, int px);
double pixelToWorldY(const EngineState& e, int py, int axis);

} // namespace plot
