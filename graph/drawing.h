// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/canvas.h"
#include "plot/plot_engine.h"

namespace graph {

// A whole picture, drawn anew through an engine onto the canvas of the engine's host, at that
// canvas's size: what a plot control shows on the screen, and what is drawn without one.
class Drawing {
public:
    virtual ~Drawing() = default;

    virtual void draw(plot::PlotEngine& engine, plot::Canvas& canvas) = 0;
};

} // namespace graph
