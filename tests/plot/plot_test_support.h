// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/canvas.h"
#include "plot/engine_host.h"
#include "plot/plot_engine.h"

#include <QPoint>
#include <QRect>
#include <string>
#include <vector>

namespace plot {

// Pixels of `canvas` inside `rect` that have `color`.
int countPixels(const Canvas& canvas, const QRect& rect, Color color);
inline int countPixels(const Canvas& canvas, Color color) {
    return countPixels(canvas, QRect(0, 0, canvas.width(), canvas.height()), color);
}

// The rows of `rect` as text: '#' where the pixel has `color`, '.' elsewhere.
std::vector<std::string> pixelRows(const Canvas& canvas, const QRect& rect, Color color);

// Smallest rectangle around every pixel that differs from `background` (empty when none).
QRect paintedBounds(const Canvas& canvas, Color background);

// An engine drawing on an image of its own.
struct ImageEngine {
    ImageEngine(int width, int height) : host(width, height) {}
    Canvas& canvas() { return host.engineCanvas(); }

    ImageHost host;
    plot::PlotEngine engine{host};
};

// Draws an x and a y axis over the current plot area in the picture's back colour, which hides
// them, so that world values are picture pixels from then on. A y range through zero (a plot
// area at the picture's top edge) still draws its dashed zero line in the frame colour.
void worldIsPixels(plot::PlotEngine& engine, Color backColour);

// A left-button drag from `from` to `to` with Ctrl held throughout: a zoom rectangle.
void ctrlDrag(plot::PlotEngine& engine, QPoint from, QPoint to);

} // namespace plot
