// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/grid_lines.h"

namespace plot {

namespace {

// Draws the grid line from `from` along `step` over `length` + 1 pixels.
void gridLine(Canvas& c, int pattern, Color colour, QPoint from, QPoint step, int length) {
    if (pattern < 0)
        return;
    if (pattern == 0) {
        const Color pen = c.pen.color;
        c.pen.color = colour;
        c.moveTo(from.x(), from.y());
        c.lineTo(from.x() + step.x() * length, from.y() + step.y() * length);
        c.pen.color = pen;
        return;
    }
    for (int d = 0; d <= length; ++d)
        if ((d & pattern) == 0)
            c.setPixel(from.x() + step.x() * d, from.y() + step.y() * d, colour);
}

} // namespace

void gridLineX(EngineState& e, int p, bool minor, Color colour) {
    const Mapping& m = e.currentMapping;
    if (e.targetCanvas == nullptr || p == m.mapLeft)
        return;
    gridLine(*e.targetCanvas, e.area().gridPattern[minor ? kXMinorGrid : kXMajorGrid], colour,
             QPoint(p, m.mapBottom), QPoint(0, -1), m.mapHeight);
}

void gridLineY(EngineState& e, int p, bool minor, Color colour) {
    const Mapping& m = e.currentMapping;
    if (e.targetCanvas == nullptr || p == m.mapBottom)
        return;
    gridLine(*e.targetCanvas, e.area().gridPattern[minor ? kYMinorGrid : kYMajorGrid], colour,
             QPoint(m.mapLeft, p), QPoint(1, 0), m.mapWidth);
}

} // namespace plot
