#include "plot/primitives.h"

#include "plot/engine_state.h"
#include "plot/mapping.h"
#include "plot/rounding.h"

#include <algorithm>
#include <utility>

namespace {

QPoint PixelOf(const EngineState& e, double x, double y) {
    if (e.PicturePixelMode) {
        return {RoundHalfEven(x), RoundHalfEven(y)};
    }
    return {MapX(x), MapY(y)};
}

bool CanDraw(const EngineState& e) {
    return e.TargetCanvas != nullptr && (e.AxesReady || e.PicturePixelMode);
}

TClipRect PlotRect(const TMapping& m) {
    return {m.MapLeft, m.MapLeft + m.MapWidth, m.MapBottom - m.MapHeight, m.MapBottom};
}

using Coord = std::int64_t;

// Round(num / den * factor), the fraction taken first.
Coord CutOffset(Coord num, Coord den, Coord factor) {
    return RoundHalfEven(static_cast<double>(num) / static_cast<double>(den) *
                         static_cast<double>(factor));
}

bool BothAbove(Coord y0, Coord y1, Coord top) {
    return y0 < top && y1 < top;
}
bool BothBelow(Coord y0, Coord y1, Coord bottom) {
    return y0 > bottom && y1 > bottom;
}
bool Within(Coord v, Coord lo, Coord hi) {
    return v >= lo && v <= hi;
}

// The clipper proper, in 64-bit so that any pen position is safe.
bool ClipCoords(const TClipRect& rect, Coord& x0, Coord& y0, Coord& x1, Coord& y1);

void FlushPendingDot(EngineState& e) {
    if (e.PendingDot.Active) {
        e.TargetCanvas->SetPixel(e.PendingDot.X, e.PendingDot.Y, e.PendingDot.Colour);
        e.PendingDot.Active = false;
    }
}

void SetPendingDot(EngineState& e, int x, int y) {
    e.PendingDot = TPendingDot{true, x, y, e.TargetCanvas->Pen.Color};
}

} // namespace

bool ClipSegment(const TClipRect& r, int& x0, int& y0, int& x1, int& y1) {
    Coord a = x0, b = y0, c = x1, d = y1;
    const bool visible = ClipCoords(r, a, b, c, d);
    x0 = static_cast<int>(a);
    y0 = static_cast<int>(b);
    x1 = static_cast<int>(c);
    y1 = static_cast<int>(d);
    return visible;
}

namespace {

bool ClipCoords(const TClipRect& rect, Coord& x0, Coord& y0, Coord& x1, Coord& y1) {
    const Coord left = rect.Left, right = rect.Right, top = rect.Top, bottom = rect.Bottom;
    if (x0 > x1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    if (x0 > left && x1 < right && Within(y0, top, bottom) && Within(y1, top, bottom)) {
        return true;
    }
    if (x1 < left || x0 > right || BothAbove(y0, y1, top) || BothBelow(y0, y1, bottom)) {
        return false;
    }
    if (x0 == x1) {
        if (y0 == y1) {
            return false;
        }
        y0 = std::clamp(y0, top, bottom);
        if (y1 < top) {
            y1 = top - 1;
        } else if (y1 > bottom) {
            y1 = bottom + 1;
        }
        return true;
    }
    if (x0 < left) {
        y0 += CutOffset(left - x0, x1 - x0, y1 - y0);
        x0 = left;
    }
    if (x1 > right) {
        y1 += CutOffset(right + 1 - x1, x1 - x0, y1 - y0);
        x1 = right + 1;
    }
    if (BothAbove(y0, y1, top) || BothBelow(y0, y1, bottom)) {
        return false;
    }
    if (Within(y0, top, bottom) && Within(y1, top, bottom)) {
        return true;
    }
    if (y1 > y0) {
        if (y0 < top) {
            x0 += CutOffset(top - y0, y1 - y0, x1 - x0);
            y0 = top;
        }
        if (y1 > bottom) {
            x1 += CutOffset(bottom + 1 - y1, y1 - y0, x1 - x0);
            y1 = bottom + 1;
        }
    } else {
        if (y1 < top) {
            x1 += CutOffset(top - 1 - y1, y1 - y0, x1 - x0);
            y1 = top - 1;
        }
        if (y0 > bottom) {
            x0 += CutOffset(bottom - y0, y1 - y0, x1 - x0);
            y0 = bottom;
        }
    }
    return true;
}

} // namespace

void MoveTo(double x, double y) {
    EngineState& e = Engine();
    if (e.TargetCanvas == nullptr) {
        return;
    }
    FlushPendingDot(e);
    if (!CanDraw(e)) {
        return;
    }
    const QPoint p = PixelOf(e, x, y);
    if (e.PicturePixelMode || e.SkipClip) {
        e.TargetCanvas->MoveTo(p.x(), p.y());
    }
    e.PenX = p.x();
    e.PenY = p.y();
}

void DrawTo(double x, double y) {
    EngineState& e = Engine();
    if (!CanDraw(e)) {
        return;
    }
    // The clipper may turn the next segment around so that it ends on this vertex and leaves it
    // out; paint the vertex now rather than lose it.
    FlushPendingDot(e);
    const QPoint p = PixelOf(e, x, y);
    Canvas& c = *e.TargetCanvas;
    if (e.PicturePixelMode || e.SkipClip) {
        c.LineTo(p.x(), p.y());
        if (c.Pen.Width == 1) {
            SetPendingDot(e, p.x(), p.y());
        }
        e.PenX = p.x();
        e.PenY = p.y();
        return;
    }
    int x0 = e.PenX;
    int y0 = e.PenY;
    int x1 = p.x();
    int y1 = p.y();
    e.PenX = x1;
    e.PenY = y1;
    const TClipRect r = PlotRect(e.CurrentMapping);
    if (!ClipSegment(r, x0, y0, x1, y1)) {
        return;
    }
    c.MoveTo(x0, y0);
    c.LineTo(x1, y1);
    if (c.Pen.Width == 1 && x1 < r.Right && r.Top < y1 && y1 < r.Bottom) {
        SetPendingDot(e, x1, y1);
    }
}

void PlotPixel(int x, int y, TColor colour) {
    EngineState& e = Engine();
    if (e.TargetCanvas != nullptr) {
        e.TargetCanvas->SetPixel(x, y, colour < 0 ? e.TargetCanvas->Pen.Color : colour);
    }
}

void PlotLine(TColor penColour, int x0, int y0, int x1, int y1) {
    EngineState& e = Engine();
    if (e.TargetCanvas == nullptr) {
        return;
    }
    Canvas& c = *e.TargetCanvas;
    if (penColour >= 0) {
        c.Pen.Color = penColour;
    }
    c.MoveTo(x0, y0);
    c.LineTo(x1, y1);
}

namespace {

// A non-negative brush colour fills, and the outline takes the pen colour or else the brush's.
void ApplyFillColours(Canvas& c, TColor penColour, TColor brushColour) {
    if (brushColour >= 0) {
        c.Brush.Color = brushColour;
        c.Pen.Color = penColour >= 0 ? penColour : brushColour;
    }
}

} // namespace

void PlotRectangle(TColor penColour, TColor brushColour, int x0, int y0, int x1, int y1) {
    EngineState& e = Engine();
    if (e.TargetCanvas != nullptr) {
        ApplyFillColours(*e.TargetCanvas, penColour, brushColour);
        e.TargetCanvas->Rectangle(x0, y0, x1, y1);
    }
}

void PlotPolygon(TColor penColour, TColor brushColour, const std::vector<QPoint>& points) {
    EngineState& e = Engine();
    if (e.TargetCanvas != nullptr) {
        ApplyFillColours(*e.TargetCanvas, penColour, brushColour);
        e.TargetCanvas->Polygon(points);
    }
}

void PlotEllipse(TColor penColour, TColor brushColour, int cx, int cy, int radius) {
    EngineState& e = Engine();
    if (e.TargetCanvas == nullptr) {
        return;
    }
    Canvas& c = *e.TargetCanvas;
    ApplyFillColours(c, penColour, brushColour);
    if (brushColour < 0 && penColour >= 0) {
        c.Pen.Color = penColour;
    }
    c.Ellipse(cx - radius, cy - radius, cx + radius + 1, cy + radius + 1);
}

void SaveAttributes() {
    EngineState& e = Engine();
    if (e.TargetCanvas != nullptr) {
        e.SparePen = e.TargetCanvas->Pen;
        e.SpareBrush = e.TargetCanvas->Brush;
    }
}

void RestoreAttributes() {
    EngineState& e = Engine();
    if (e.TargetCanvas != nullptr) {
        e.TargetCanvas->Pen = e.SparePen;
        e.TargetCanvas->Brush = e.SpareBrush;
    }
}
