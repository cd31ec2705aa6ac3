#pragma once

#include "plot/canvas.h"

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
