#pragma once

#include "plot/engine_state.h"
#include "plot/plot_engine.h"

// Picture life cycle on the engine state (see PlotEngine).

void StartGraph(EngineState& e, TColor backColour, TColor frameColour, double scale);
void SetPlotArea(EngineState& e, const plot::PlotAreaLayout& layout);
void FinishGraph(EngineState& e);
void SetLineWidth(EngineState& e, int n);
void SetPenColour(EngineState& e, TColor colour);
