#pragma once

#include "plot/engine_state.h"

// World values and pixels through the current area's drawn axes (axis 1..4 for y); pixels
// outside the picture count as its edge. PixelToWorldY with axis 0 uses the current mapping,
// any other axis number gives NaN; AreaMapY of such a number lies far away.

int AreaMapX(const EngineState& e, double x);
int AreaMapY(const EngineState& e, int axis, double y);
double PixelToWorldX(const EngineState& e, int px);
double PixelToWorldY(const EngineState& e, int py, int axis);
