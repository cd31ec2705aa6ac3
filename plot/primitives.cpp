// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/primitives.h"

#include "plot/clipper.h"
#include "plot/rounding.h"

#include <algorithm>
#include <utility>

namespace plot {

namespace {

QPoint pixelOf(const EngineState& e, double x, double y) {
    if (e.picturePixelMode) {
        return {roundHalfEven(x), roundHalfEven(y)};
    }
    return {mapX(e.currentMapping, x), mapY(e.currentMapping, y)};
}

bool canDraw(const EngineState& e) {
    return e.targetCanvas != nullptr && (e.axesReady || e.picturePixelMode);
}

ClipRect plotRect(const Mapping& m) {
    return {m.mapLeft, m.mapLeft + m.mapWidth, m.mapBottom - m.mapHeight, m.mapBottom};
}

void flushPendingDot(EngineState& e) {
    if (e.pendingDot.active) {
        e.targetCanvas->setPixel(e.pendingDot.x, e.pendingDot.y, e.pendingDot.colour);
        e.pendingDot.active = false;
    }
}

void setPendingDot(EngineState& e, int x, int y) {
    e.pendingDot = PendingDot{true, x, y, e.targetCanvas->pen.color};
}

} // namespace

void moveTo(EngineState& e, double x, double y) {
    if (e.targetCanvas == nullptr) {
        return;
    }
    flushPendingDot(e);
    if (!canDraw(e)) {
        return;
    }
    const QPoint p = pixelOf(e, x, y);
    if (e.picturePixelMode || e.skipClip) {
        e.targetCanvas->moveTo(p.x(), p.y());
    }
    e.penX = p.x();
    e.penY = p.y();
}

void drawTo(EngineState& e, double x, double y) {
    if (!canDraw(e)) {
        return;
    }
    // The clipper may turn the next segment around so that it ends on this vertex and leaves it
    // out; paint the vertex now rather than lose it.
    flushPendingDot(e);
    const QPoint p = pixelOf(e, x, y);
    Canvas& c = *e.targetCanvas;
    if (e.picturePixelMode || e.skipClip) {
        c.lineTo(p.x(), p.y());
        if (c.pen.width == 1) {
            setPendingDot(e, p.x(), p.y());
        }
        e.penX = p.x();
        e.penY = p.y();
        return;
    }
    int x0 = e.penX;
    int y0 = e.penY;
    int x1 = p.x();
    int y1 = p.y();
    e.penX = x1;
    e.penY = y1;
    const ClipRect r = plotRect(e.currentMapping);
    if (!clipSegment(r, x0, y0, x1, y1)) {
        return;
    }
    c.moveTo(x0, y0);
    c.lineTo(x1, y1);
    if (c.pen.width == 1 && x1 < r.right && r.top < y1 && y1 < r.bottom) {
        setPendingDot(e, x1, y1);
    }
}

void plotPixel(EngineState& e, int x, int y, Color colour) {
    if (e.targetCanvas != nullptr) {
        e.targetCanvas->setPixel(x, y, colour < 0 ? e.targetCanvas->pen.color : colour);
    }
}

void plotLine(EngineState& e, Color penColour, int x0, int y0, int x1, int y1) {
    if (e.targetCanvas == nullptr) {
        return;
    }
    Canvas& c = *e.targetCanvas;
    if (penColour >= 0) {
        c.pen.color = penColour;
    }
    c.moveTo(x0, y0);
    c.lineTo(x1, y1);
}

namespace {

// A non-negative brush colour fills, and the outline takes the pen colour or else the brush's.
void applyFillColours(Canvas& c, Color penColour, Color brushColour) {
    if (brushColour >= 0) {
        c.brush.color = brushColour;
        c.pen.color = penColour >= 0 ? penColour : brushColour;
    }
}

} // namespace

void plotRectangle(EngineState& e, Color penColour, Color brushColour, int x0, int y0, int x1,
                   int y1) {
    if (e.targetCanvas != nullptr) {
        applyFillColours(*e.targetCanvas, penColour, brushColour);
        e.targetCanvas->rectangle(x0, y0, x1, y1);
    }
}

void plotPolygon(EngineState& e, Color penColour, Color brushColour,
                 const std::vector<QPoint>& points) {
    if (e.targetCanvas != nullptr) {
        applyFillColours(*e.targetCanvas, penColour, brushColour);
        e.targetCanvas->polygon(points);
    }
}

void plotEllipse(EngineState& e, Color penColour, Color brushColour, int cx, int cy, int radius) {
    if (e.targetCanvas == nullptr) {
        return;
    }
    Canvas& c = *e.targetCanvas;
    applyFillColours(c, penColour, brushColour);
    if (brushColour < 0 && penColour >= 0) {
        c.pen.color = penColour;
    }
    c.ellipse(cx - radius, cy - radius, cx + radius + 1, cy + radius + 1);
}

void saveAttributes(EngineState& e) {
    if (e.targetCanvas != nullptr) {
        e.sparePen = e.targetCanvas->pen;
        e.spareBrush = e.targetCanvas->brush;
    }
}

void restoreAttributes(EngineState& e) {
    if (e.targetCanvas != nullptr) {
        e.targetCanvas->pen = e.sparePen;
        e.targetCanvas->brush = e.spareBrush;
    }
}

} // namespace plot
