// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/engine_state.h"

#include <QPoint>
#include <vector>

namespace plot {

// Polylines, point markers and canvas helpers on the engine state (see PlotEngine).

void moveTo(EngineState& e, double x, double y);
void drawTo(EngineState& e, double x, double y);
bool drawSymbol(EngineState& e, int kind, int size, int fill);

// Draws the queued symbols in queue order and empties the queue.
void drawSymbolQueue(EngineState& e);

void plotPixel(EngineState& e, int x, int y, Color colour);
void plotLine(EngineState& e, Color penColour, int x0, int y0, int x1, int y1);
void plotRectangle(EngineState& e, Color penColour, Color brushColour, int x0, int y0, int x1,
                   int y1);
void plotPolygon(EngineState& e, Color penColour, Color brushColour,
                 const std::vector<QPoint>& points);
void plotEllipse(EngineState& e, Color penColour, Color brushColour, int cx, int cy, int radius);
void saveAttributes(EngineState& e);
void restoreAttributes(EngineState& e);

} // namespace plot
