// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/engine_state.h"

namespace plot {

// The last drawn picture, pixel for pixel, to the clipboard or the printer (see PlotEngine).

void copyGraphToClipboard(EngineState& e);
void printGraph(EngineState& e, bool restore, int positionCode, double fraction);

} // namespace plot
