#pragma once

#include "plot/colors.h"
#include "plot/engine_host.h"
#include "plot/engine_state.h"

// Picture life cycle of the plotting engine. A picture is StartGraph, then per plot area
// SetPlotArea, the axes, the series, and at the end FinishGraph.

// Builds the state kept across pictures (zoom windows, spare pen and brush, settings table).
// StartGraph runs it once by itself.
void InitEngine();

// Begins a picture on the host's canvas: background, frame, engine font, all areas reset.
void StartGraph(TEngineHost& owner, TColor backColour, TColor frameColour, double scale);

// Opens the next plot area (at most eight per picture).
void SetPlotArea(int leftPercent, int rightPercent, int topPercent, int bottomPercent,
                 int leftPixels, int rightPixels, int topPixels, int bottomPixels, bool clip);

// Draws what is still pending: the end dot of the last line and the queued symbols.
void FinishGraph();

// Pen width in pixels; n <= 0 is ignored.
void SetLineWidth(int n);

// The pen colour series are drawn with.
void SetPenColour(TColor colour);

// Called by a host that goes away, so that the engine never reaches it again.
void ForgetEngineHost(const TEngineHost* host);
