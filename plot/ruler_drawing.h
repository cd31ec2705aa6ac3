// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/engine_state.h"

#include <QPoint>

namespace plot {

// The ruler and zoom rectangle on the canvas, drawn so that drawing them a second time at the
// same place removes them.

// (x, y) moved onto the snap steps of the ruler.
QPoint snapRulerPoint(const EngineState& e, int x, int y);

// The ruler at (x, y), kept inside the plot rectangle, with its readout.
void showRuler(EngineState& e, int x, int y, bool draw);

// The zoom rectangle from the band start to (x, y), with the readout.
void showBand(EngineState& e, int x, int y, bool draw);

// The world x and y under the pixel, written at the readout position in the axis colours;
// removing writes the same text in the back colour.
void rulerReadout(EngineState& e, int px, int py, bool draw);

} // namespace plot
