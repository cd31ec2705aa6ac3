#include "plot/grid_lines.h"

namespace {

// Draws the grid line from `from` along `step` over `length` + 1 pixels.
void GridLine(Canvas& c, int pattern, TColor colour, QPoint from, QPoint step, int length) {
    if (pattern < 0)
        return;
    if (pattern == 0) {
        const TColor pen = c.Pen.Color;
        c.Pen.Color = colour;
        c.MoveTo(from.x(), from.y());
        c.LineTo(from.x() + step.x() * length, from.y() + step.y() * length);
        c.Pen.Color = pen;
        return;
    }
    for (int d = 0; d <= length; ++d)
        if ((d & pattern) == 0)
            c.SetPixel(from.x() + step.x() * d, from.y() + step.y() * d, colour);
}

} // namespace

void GridLineX(EngineState& e, int p, bool minor, TColor colour) {
    const TMapping& m = e.CurrentMapping;
    if (e.TargetCanvas == nullptr || p == m.MapLeft)
        return;
    GridLine(*e.TargetCanvas, e.Area().GridPattern[minor ? glXMinor : glXMajor], colour,
             QPoint(p, m.MapBottom), QPoint(0, -1), m.MapHeight);
}

void GridLineY(EngineState& e, int p, bool minor, TColor colour) {
    const TMapping& m = e.CurrentMapping;
    if (e.TargetCanvas == nullptr || p == m.MapBottom)
        return;
    GridLine(*e.TargetCanvas, e.Area().GridPattern[minor ? glYMinor : glYMajor], colour,
             QPoint(m.MapLeft, p), QPoint(1, 0), m.MapWidth);
}
