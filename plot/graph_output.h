#pragma once

#include "plot/engine_state.h"

// The last drawn picture, pixel for pixel, to the clipboard or the printer (see PlotEngine).

void CopyGraphToClipboard(EngineState& e);
void PrintGraph(EngineState& e, bool restore, int positionCode, double fraction);
