#pragma once

#include "plot/engine_state.h"

#include <QPoint>
#include <vector>

// Polylines, point markers and canvas helpers on the engine state (see PlotEngine).

void MoveTo(EngineState& e, double x, double y);
void DrawTo(EngineState& e, double x, double y);
bool DrawSymbol(EngineState& e, int kind, int size, int fill);

// Draws the queued symbols in queue order and empties the queue.
void DrawSymbolQueue(EngineState& e);

void PlotPixel(EngineState& e, int x, int y, TColor colour);
void PlotLine(EngineState& e, TColor penColour, int x0, int y0, int x1, int y1);
void PlotRectangle(EngineState& e, TColor penColour, TColor brushColour, int x0, int y0, int x1,
                   int y1);
void PlotPolygon(EngineState& e, TColor penColour, TColor brushColour,
                 const std::vector<QPoint>& points);
void PlotEllipse(EngineState& e, TColor penColour, TColor brushColour, int cx, int cy, int radius);
void SaveAttributes(EngineState& e);
void RestoreAttributes(EngineState& e);
