#pragma once

#include "plot/engine_state.h"

// Back to the full ranges: area 0 means every area 1..8. Draws nothing; the caller repaints.
void Unzoom(EngineState& e, int area);
