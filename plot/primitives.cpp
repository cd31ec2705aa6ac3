#include "plot/primitives.h"

#include "plot/clipper.h"
#include "plot/rounding.h"

#include <algorithm>
#include <utility>

namespace {

QPoint PixelOf(const EngineState& e, double x, double y) {
    if (e.PicturePixelMode) {
        return {RoundHalfEven(x), RoundHalfEven(y)};
    }
    return {MapX(e.CurrentMapping, x), MapY(e.CurrentMapping, y)};
}

bool CanDraw(const EngineState& e) {
    return e.TargetCanvas != nullptr && (e.AxesReady || e.PicturePixelMode);
}

TClipRect PlotRect(const TMapping& m) {
    return {m.MapLeft, m.MapLeft + m.MapWidth, m.MapBottom - m.MapHeight, m.MapBottom};
}

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

void MoveTo(EngineState& e, double x, double y) {
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

void DrawTo(EngineState& e, double x, double y) {
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

void PlotPixel(EngineState& e, int x, int y, TColor colour) {
    if (e.TargetCanvas != nullptr) {
        e.TargetCanvas->SetPixel(x, y, colour < 0 ? e.TargetCanvas->Pen.Color : colour);
    }
}

void PlotLine(EngineState& e, TColor penColour, int x0, int y0, int x1, int y1) {
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

void PlotRectangle(EngineState& e, TColor penColour, TColor brushColour, int x0, int y0, int x1,
                   int y1) {
    if (e.TargetCanvas != nullptr) {
        ApplyFillColours(*e.TargetCanvas, penColour, brushColour);
        e.TargetCanvas->Rectangle(x0, y0, x1, y1);
    }
}

void PlotPolygon(EngineState& e, TColor penColour, TColor brushColour,
                 const std::vector<QPoint>& points) {
    if (e.TargetCanvas != nullptr) {
        ApplyFillColours(*e.TargetCanvas, penColour, brushColour);
        e.TargetCanvas->Polygon(points);
    }
}

void PlotEllipse(EngineState& e, TColor penColour, TColor brushColour, int cx, int cy, int radius) {
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

void SaveAttributes(EngineState& e) {
    if (e.TargetCanvas != nullptr) {
        e.SparePen = e.TargetCanvas->Pen;
        e.SpareBrush = e.TargetCanvas->Brush;
    }
}

void RestoreAttributes(EngineState& e) {
    if (e.TargetCanvas != nullptr) {
        e.TargetCanvas->Pen = e.SparePen;
        e.TargetCanvas->Brush = e.SpareBrush;
    }
}
