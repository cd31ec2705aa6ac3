#pragma once

#include "plot/canvas.h"
#include "plot/engine_host.h"
#include "plot/plot_engine.h"

#include <QPoint>
#include <QRect>
#include <string>
#include <vector>

// Pixels of `canvas` inside `rect` that have `color`.
int CountPixels(const Canvas& canvas, const QRect& rect, TColor color);
inline int CountPixels(const Canvas& canvas, TColor color) {
    return CountPixels(canvas, QRect(0, 0, canvas.Width(), canvas.Height()), color);
}

// The rows of `rect` as text: '#' where the pixel has `color`, '.' elsewhere.
std::vector<std::string> PixelRows(const Canvas& canvas, const QRect& rect, TColor color);

// Smallest rectangle around every pixel that differs from `background` (empty when none).
QRect PaintedBounds(const Canvas& canvas, TColor background);

// An engine drawing on an image of its own.
struct ImageEngine {
    ImageEngine(int width, int height) : host(width, height) {}
    Canvas& canvas() { return host.EngineCanvas(); }

    TImageHost host;
    plot::PlotEngine engine{host};
};

// Draws an x and a y axis over the current plot area in the picture's back colour, which hides
// them, so that world values are picture pixels from then on. A y range through zero (a plot
// area at the picture's top edge) still draws its dashed zero line in the frame colour.
void WorldIsPixels(plot::PlotEngine& engine, TColor backColour);

// A left-button drag from `from` to `to` with Ctrl held throughout: a zoom rectangle.
void CtrlDrag(plot::PlotEngine& engine, QPoint from, QPoint to);
